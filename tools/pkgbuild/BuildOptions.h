#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct DownloadSettings {
    std::string url, setupName, always, size;
};

struct BuildOptions {
    std::string stub;
    std::string out;
    std::string sourceDir;
    std::string engine;  // name plus optional arguments, as given
    std::vector<std::pair<std::string, std::string>> languages;  // name, file
    std::string configUrl, infoFile, agentName, token;
    bool hidden = false;
    bool hasDownload = false;
    DownloadSettings download;
    uint8_t flags = 0;
    bool downloadPackage = false, confirmDownload = false, installAgent = false, isAgent = false;
    bool store = false;
    uint64_t volumeSize = 0;  // 0: one file
    int threads = 0;          // 0: one per core
    bool progress = true;     // shown only on a terminal
};

struct InspectOptions {
    std::string file;
    bool json = false;
};

// What the command line asked for.
struct Command {
    enum Kind { kHelp, kBuild, kInspect } kind = kHelp;
    BuildOptions build;
    InspectOptions inspect;
};

// Parses argv (without the program name); throws BuildError with a usage hint.
Command ParseCommandLine(const std::vector<std::string>& args);
const char* UsageText();
