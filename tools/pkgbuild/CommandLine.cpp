#include <cerrno>
#include <cstdlib>

#include "BuildError.h"
#include "BuildOptions.h"
#include "core/PackageFormat.h"

const char* UsageText() {
    return "usage:\n"
           "  pkgbuild build --stub STUB --out OUT [options] DIR\n"
           "  pkgbuild inspect FILE [--json]\n"
           "  pkgbuild --help\n"
           "\n"
           "build packs every file under DIR behind a copy of STUB.\n"
           "  --engine \"NAME [ARGS]\"    the program started after extraction (placed first)\n"
           "  --language NAME=FILE      language entry from key=value lines (repeatable)\n"
           "  --config-url URL          base URL of the update server\n"
           "  --info-file NAME          name of the update information file\n"
           "  --agent-name NAME         file name of the automatic-update agent\n"
           "  --token SECRET            secret token (stored scrambled)\n"
           "  --hidden                  run hidden, as with /hide\n"
           "  --download URL,SETUPNAME,ALWAYS,SIZE   download settings (third header block)\n"
           "  --show-temp-notice  --run-from-temp-copy  --activity-bar  --agent-logging\n"
           "  --download-package  --confirm-download   --install-agent  --agent\n"
           "                            trailer flags\n"
           "  --store                   store records without compression\n"
           "  --volume-size BYTES       split into volumes of at most BYTES each\n"
           "  --threads N               compression threads (default: one per core)\n"
           "  --no-progress             no progress bar\n"
           "\n"
           "inspect prints the trailer, header blocks, records and checksum verdict;\n"
           "--json prints one JSON object instead. Exit code 1 for a damaged or\n"
           "missing package.\n";
}

namespace {

uint64_t ParseCount(const std::string& option, const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        throw BuildError(option + " needs a decimal number, not \"" + text + "\"");
    errno = 0;
    const unsigned long long v = std::strtoull(text.c_str(), nullptr, 10);
    if (errno != 0) throw BuildError(option + " value " + text + " is too large");
    return v;
}

DownloadSettings ParseDownload(const std::string& text) {
    // URL,SETUPNAME,ALWAYS,SIZE: split from the right so that a URL may hold commas.
    DownloadSettings d;
    std::string rest = text;
    std::string* fields[] = {&d.size, &d.always, &d.setupName};
    for (std::string* f : fields) {
        const size_t comma = rest.rfind(',');
        if (comma == std::string::npos)
            throw BuildError("--download needs URL,SETUPNAME,ALWAYS,SIZE, got \"" + text + "\"");
        *f = rest.substr(comma + 1);
        rest.erase(comma);
    }
    d.url = rest;
    ParseCount("--download SIZE", d.size);
    return d;
}

}  // namespace

Command ParseCommandLine(const std::vector<std::string>& args) {
    Command cmd;
    if (args.empty()) throw BuildError("no command given");
    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h" || verb == "help") return cmd;

    size_t i = 1;
    auto value = [&](const std::string& option) -> std::string {
        if (i + 1 >= args.size()) throw BuildError(option + " needs a value");
        return args[++i];
    };

    if (verb == "inspect") {
        cmd.kind = Command::kInspect;
        for (; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (a == "--json") cmd.inspect.json = true;
            else if (a == "--help") { cmd.kind = Command::kHelp; return cmd; }
            else if (a.rfind("--", 0) == 0) throw BuildError("unknown option " + a);
            else if (cmd.inspect.file.empty()) cmd.inspect.file = a;
            else throw BuildError("inspect takes one file");
        }
        if (cmd.inspect.file.empty()) throw BuildError("inspect needs a FILE");
        return cmd;
    }
    if (verb != "build") throw BuildError("unknown command \"" + verb + "\"");

    cmd.kind = Command::kBuild;
    BuildOptions& o = cmd.build;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help") { cmd.kind = Command::kHelp; return cmd; }
        else if (a == "--stub") o.stub = value(a);
        else if (a == "--out") o.out = value(a);
        else if (a == "--engine") o.engine = value(a);
        else if (a == "--language") {
            const std::string v = value(a);
            const size_t eq = v.find('=');
            if (eq == std::string::npos || eq == 0 || eq + 1 == v.size())
                throw BuildError("--language needs NAME=FILE, got \"" + v + "\"");
            o.languages.emplace_back(v.substr(0, eq), v.substr(eq + 1));
        }
        else if (a == "--config-url") o.configUrl = value(a);
        else if (a == "--info-file") o.infoFile = value(a);
        else if (a == "--agent-name") o.agentName = value(a);
        else if (a == "--token") o.token = value(a);
        else if (a == "--hidden") o.hidden = true;
        else if (a == "--download") { o.download = ParseDownload(value(a)); o.hasDownload = true; }
        else if (a == "--show-temp-notice") o.flags |= pkg::kShowTempDriveNotice;
        else if (a == "--run-from-temp-copy") o.flags |= pkg::kRunFromTempCopy;
        else if (a == "--activity-bar") o.flags |= pkg::kShowActivityBar;
        else if (a == "--agent-logging") o.flags |= pkg::kAgentLogging;
        else if (a == "--download-package") o.downloadPackage = true;
        else if (a == "--confirm-download") o.confirmDownload = true;
        else if (a == "--install-agent") o.installAgent = true;
        else if (a == "--agent") o.isAgent = true;
        else if (a == "--store") o.store = true;
        else if (a == "--volume-size") o.volumeSize = ParseCount(a, value(a));
        else if (a == "--threads") o.threads = static_cast<int>(ParseCount(a, value(a)) % 1024);
        else if (a == "--no-progress") o.progress = false;
        else if (a.rfind("--", 0) == 0) throw BuildError("unknown option " + a);
        else if (o.sourceDir.empty()) o.sourceDir = a;
        else throw BuildError("build takes one DIR (got \"" + o.sourceDir + "\" and \"" + a + "\")");
    }
    if (o.stub.empty()) throw BuildError("build needs --stub STUB");
    if (o.out.empty()) throw BuildError("build needs --out OUT");
    if (o.sourceDir.empty()) throw BuildError("build needs a source folder DIR");
    if (o.downloadPackage && !o.hasDownload)
        throw BuildError("--download-package needs the download settings of --download");
    return cmd;
}
