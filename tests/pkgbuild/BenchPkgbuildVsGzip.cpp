// Compares building a package with compressing the same data with `gzip -6`.
// Usage: bench_pkgbuild_vs_gzip [MEGABYTES] [ROUNDS]   (default 200 MiB, 2 rounds)
// Generates mixed data (text, random, structured binary, sparse) in a temporary
// folder, times both in alternating rounds (the best round of each counts, which
// keeps other load on a shared machine out of the figures), prints the times
// and their ratio, and removes the folder.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "BuildOptions.h"
#include "PackageWriter.h"

namespace {

struct XorShift {
    uint64_t s;
    uint64_t operator()() {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }
};

std::string MakeData(int kind, size_t size, uint64_t seed) {
    XorShift rng{seed * 2654435761u + 1};
    std::string d;
    d.reserve(size);
    static const char* words[] = {"setup", "driver", "copy", "file", "error", "warning", "done",
                                  "registry", "value", "install", "folder", "update", "check"};
    while (d.size() < size) {
        switch (kind) {
        case 0: {  // log-like text
            d += "2026-12-11 12:";
            d += std::to_string(rng() % 60) + ":" + std::to_string(rng() % 60) + " ";
            for (int w = 0; w < 8; ++w) d += std::string(words[rng() % 13]) + " ";
            d += std::to_string(rng() % 100000) + "\n";
            break;
        }
        case 1:  // incompressible
            for (int i = 0; i < 64; ++i) d.push_back(static_cast<char>(rng()));
            break;
        case 2: {  // structured binary records with small variations
            char rec[32] = {};
            const uint64_t v = rng();
            std::snprintf(rec, sizeof rec, "REC%08u", static_cast<unsigned>(d.size() / 32));
            rec[20] = static_cast<char>(v & 0x0F);
            rec[24] = static_cast<char>((v >> 8) & 0x03);
            d.append(rec, sizeof rec);
            break;
        }
        default:  // mostly zeros
            d.append(4000, '\0');
            for (int i = 0; i < 96; ++i) d.push_back(static_cast<char>(rng()));
        }
    }
    d.resize(size);
    return d;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// CPU seconds (user + system) used so far by this process or by its children.
double CpuSeconds(int who) {
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

uint64_t FileSize(const std::string& p) {
    struct stat st{};
    return ::stat(p.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const uint64_t megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 200;
    const uint64_t total = megabytes << 20;
    char tmpl[] = "/tmp/pkgbench-XXXXXX";
    if (!mkdtemp(tmpl)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = tmpl, src = dir + "/src";
    ::mkdir(src.c_str(), 0755);

    // Files of 1-9 MiB cycling through the four kinds (about 30 % text, 25 %
    // random, 25 % structured, 20 % sparse by size).
    uint64_t written = 0;
    for (int i = 0; written < total; ++i) {
        const size_t size = static_cast<size_t>(std::min<uint64_t>(total - written, (1u + i % 9) << 20));
        const int kinds[] = {0, 1, 2, 0, 3, 1, 2, 0, 3, 2, 1, 0};
        std::ofstream(src + "/file" + std::to_string(i) + ".dat", std::ios::binary) << MakeData(kinds[i % 12], size, i);
        written += size;
    }
    std::string stub(2048, '\0');
    stub[0] = 'M';
    stub[1] = 'Z';
    stub[0x3D] = 1;
    stub.replace(256, 4, std::string("PE\0\0", 4));
    std::ofstream(dir + "/stub.exe", std::ios::binary) << stub;
    std::system(("sync; cat " + src + "/* > /dev/null").c_str());  // same warm cache for both

    BuildOptions options;
    options.stub = dir + "/stub.exe";
    options.out = dir + "/package.exe";
    options.sourceDir = src;
    options.progress = false;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2;
    double pkgSeconds = 1e30, gzipSeconds = 1e30, pkgCpu = 1e30, gzipCpu = 1e30;
    BuildResult built;
    uint64_t gzipBytes = 0;
    for (int round = 0; round < rounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        double cpu = CpuSeconds(RUSAGE_SELF);
        try {
            built = BuildPackage(options);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "pkgbuild failed: %s\n", e.what());
            std::system(("rm -rf " + dir).c_str());
            return 1;
        }
        pkgSeconds = std::min(pkgSeconds, Seconds(start));
        pkgCpu = std::min(pkgCpu, CpuSeconds(RUSAGE_SELF) - cpu);

        start = std::chrono::steady_clock::now();
        cpu = CpuSeconds(RUSAGE_CHILDREN);
        const int rc = std::system(("cat " + src + "/* | gzip -6 -c > " + dir + "/all.gz").c_str());
        gzipSeconds = std::min(gzipSeconds, Seconds(start));
        gzipCpu = std::min(gzipCpu, CpuSeconds(RUSAGE_CHILDREN) - cpu);  // cat and gzip
        gzipBytes = FileSize(dir + "/all.gz");
        if (rc != 0) {
            std::fprintf(stderr, "gzip failed\n");
            std::system(("rm -rf " + dir).c_str());
            return 1;
        }
    }
    std::system(("rm -rf " + dir).c_str());

    std::printf("pkgbuild vs gzip -6 on %llu MiB of mixed data (%u cores, best of %d rounds)\n",
                static_cast<unsigned long long>(megabytes), std::thread::hardware_concurrency(), rounds);
    std::printf("  pkgbuild: %7.2f s wall %7.2f s CPU  %llu bytes (%.1f %%), %llu records\n", pkgSeconds, pkgCpu,
                static_cast<unsigned long long>(built.outputBytes), 100.0 * built.outputBytes / total,
                static_cast<unsigned long long>(built.records));
    std::printf("  gzip -6:  %7.2f s wall %7.2f s CPU  %llu bytes (%.1f %%)\n", gzipSeconds, gzipCpu,
                static_cast<unsigned long long>(gzipBytes),
                100.0 * gzipBytes / total);
    std::printf("  time ratio pkgbuild / gzip -6: %.2f wall, %.2f CPU (goal: at most 1.00 wall;\n"
                "  on a machine busy with other work the wall figures are noisy, the CPU ones are not)\n",
                pkgSeconds / gzipSeconds, pkgCpu / gzipCpu);
    return 0;
}
