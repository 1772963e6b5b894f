#include "HeaderBlocks.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "BuildError.h"
#include "core/TokenUnscramble.h"

namespace {

constexpr char kEntrySeparator = '\x01';
constexpr char kLanguageSeparator = '\x02';

void RejectChars(const std::string& what, const std::string& text, const std::string& forbidden) {
    for (char c : forbidden) {
        if (text.find(c) != std::string::npos) {
            std::string shown = c == '|' ? "'|'" : c == '\0' ? "a NUL byte" : "a control byte 0x0" + std::to_string(int(c));
            throw BuildError(what + " must not contain " + shown);
        }
    }
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw BuildError("cannot read language file " + path);
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) throw BuildError("cannot read language file " + path);
    return s.str();
}

std::string List(const std::vector<std::string>& fields, char sep) {
    std::string out(1, sep);
    for (const auto& f : fields) out += f + sep;
    return out;
}

}  // namespace

std::string MakeLanguageEntry(const std::string& name, const std::string& lines, const std::string& source) {
    const std::string forbidden = std::string("\x01\x02", 2) + '\0';
    RejectChars("language name \"" + name + "\"", name, forbidden);
    std::vector<std::string> fields{name};
    std::istringstream in(lines);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == ';' || line[first] == '#') continue;
        if (line.find('=') == std::string::npos)
            throw BuildError(source + " line " + std::to_string(number) + " is not key=value");
        RejectChars(source + " line " + std::to_string(number), line, forbidden);
        fields.push_back(line);
    }
    return List(fields, kEntrySeparator);
}

HeaderBlocks MakeHeaderBlocks(const BuildOptions& o) {
    HeaderBlocks blocks;
    if (!o.languages.empty()) {
        std::vector<std::string> entries;
        for (const auto& [name, file] : o.languages)
            entries.push_back(MakeLanguageEntry(name, ReadTextFile(file), file));
        blocks.language = List(entries, kLanguageSeparator);
    }

    const std::string listChars = std::string("|") + '\0';
    const std::string scrambled = pkg::TokenScramble(o.token);
    struct { const char* what; const std::string* text; } checks[] = {
        {"--config-url", &o.configUrl}, {"--info-file", &o.infoFile}, {"--agent-name", &o.agentName},
        {"--download URL", &o.download.url},
        {"--download SETUPNAME", &o.download.setupName}, {"--download ALWAYS", &o.download.always},
    };
    for (const auto& c : checks) RejectChars(std::string(c.what), *c.text, listChars);

    // Empty fields get the builder's defaults: a bare URL scheme and names
    // without a base part.
    blocks.config = List({o.configUrl.empty() ? "http://" : o.configUrl,
                          o.infoFile.empty() ? ".info" : o.infoFile,
                          o.agentName.empty() ? ".exe" : o.agentName, scrambled, o.hidden ? "1" : "0"},
                         '|');
    if (o.hasDownload) {
        blocks.hasDownload = true;
        blocks.download = List({o.download.url, o.download.setupName, o.download.always,
                                pkg::TokenScramble(o.token), o.download.size},
                               '|');
    }
    return blocks;
}
