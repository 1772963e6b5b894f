// pkgbuild: builds packages behind a setup stub and inspects them.
#include <iostream>
#include <string>
#include <vector>

#include "BuildError.h"
#include "BuildOptions.h"
#include "Inspect.h"
#include "PackageWriter.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        const Command cmd = ParseCommandLine(args);
        switch (cmd.kind) {
        case Command::kHelp:
            std::cout << UsageText();
            return 0;
        case Command::kInspect:
            return RunInspect(cmd.inspect, std::cout);
        case Command::kBuild: {
            const BuildResult r = BuildPackage(cmd.build);
            if (r.strippedPackage) std::cerr << "pkgbuild: note: the stub carried a package; only its program was used\n";
            if (r.movedPeHeader) std::cerr << "pkgbuild: note: moved the stub's PE header to offset 256\n";
            std::cout << "packed " << r.files << " files (" << r.inputBytes << " bytes) into " << r.records
                      << " records, " << r.outputBytes << " bytes in " << r.volumes.size() << " volume"
                      << (r.volumes.size() == 1 ? "" : "s") << ":\n";
            for (const auto& v : r.volumes) std::cout << "  " << v << "\n";
            return 0;
        }
        }
    } catch (const BuildError& e) {
        std::cerr << "pkgbuild: error: " << e.what() << "\n";
        if (args.empty()) std::cerr << UsageText();
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "pkgbuild: error: " << e.what() << "\n";
        return 1;
    }
    return 1;
}
