#include "util/SelfDelimitedList.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace {

// The part of a list that operations look at: everything before the first NUL.
std::string Scan(const std::string& s) {
    const size_t nul = s.find('\0');
    return nul == std::string::npos ? s : s.substr(0, nul);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char PickSeparator(const std::vector<std::string>& fields, char preferred) {
    auto unused = [&](char c) {
        for (const auto& f : fields)
            if (f.find(c) != std::string::npos) return false;
        return true;
    };
    if (preferred != '\0' && unused(preferred)) return preferred;
    for (char c : SelfDelimitedList::SeparatorCandidates())
        if (unused(c)) return c;
    for (int c = 1; c < 256; ++c)
        if (unused(static_cast<char>(c))) return static_cast<char>(c);
    return preferred != '\0' ? preferred : '|';  // every byte is taken: nothing better exists
}

// Removes blanks directly after a separator and blanks directly before "=", so
// that " Key = v" is found like "Key= v".
std::string SqueezeBlanks(const std::string& s, char sep) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ' ' && !out.empty() && out.back() == sep) continue;
        if (c == ' ') {
            size_t j = i;
            while (j < s.size() && s[j] == ' ') ++j;
            if (j < s.size() && s[j] == '=') { i = j - 1; continue; }
        }
        out.push_back(c);
    }
    return out;
}

}  // namespace

const std::string& SelfDelimitedList::SeparatorCandidates() {
    static const std::string candidates = std::string("|*~^!@#$&") + static_cast<char>(0xFF);
    return candidates;
}

std::string SelfDelimitedList::Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string SelfDelimitedList::Upper(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

int SelfDelimitedList::Count(const std::string& list) {
    const std::string s = Scan(list);
    if (s.size() < 2 || s.back() != s.front()) return 0;
    return static_cast<int>(std::count(s.begin() + 1, s.end(), s.front()));
}

std::vector<std::string> SelfDelimitedList::Fields(const std::string& list) {
    std::vector<std::string> fields;
    const std::string s = Scan(list);
    if (s.empty()) return fields;
    const char sep = s.front();
    size_t start = 1;
    for (;;) {
        const size_t next = s.find(sep, start);
        if (next == std::string::npos) break;  // an unclosed trailing field is not a field
        fields.push_back(s.substr(start, next - start));
        start = next + 1;
    }
    return fields;
}

std::string SelfDelimitedList::Field(const std::string& list, int index, const std::string& def) {
    if (index == -1) index = Count(list) - 1;
    if (index < 0) return def;
    const std::string s = Scan(list);
    if (s.empty()) return def;
    const char sep = s.front();
    size_t start = 1;
    for (int k = 0;; ++k) {
        const size_t next = s.find(sep, start);
        if (next == std::string::npos) return def;
        if (k == index) {
            return next == start ? def : s.substr(start, next - start);
        }
        start = next + 1;
    }
}

int64_t SelfDelimitedList::IntField(const std::string& list, int index, int64_t def) {
    const std::string text = Trim(Field(list, index, ""));
    if (text.empty()) return def;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0') return def;
    return static_cast<int64_t>(v);
}

std::string SelfDelimitedList::Value(const std::string& list, const std::string& name,
                                     const std::string& def, const std::string& emptyDef) {
    std::string s = Scan(list);
    if (s.size() < 3 || s.back() != s.front()) return def;
    const char sep = s.front();
    std::string key = std::string(1, sep) + name;
    if (name.empty() || name.back() != '=' || name == "=") key += '=';
    if (sep != ' ' && s.find(' ') != std::string::npos) s = SqueezeBlanks(s, sep);
    const std::string upper = Upper(s);
    const size_t at = upper.find(Upper(key));
    if (at == std::string::npos) return def;
    const size_t begin = at + key.size();
    const size_t end = s.find(sep, begin);
    if (end == std::string::npos) return def;
    if (end == begin) return emptyDef;
    return s.substr(begin, end - begin);
}

static std::string SplitParts(const std::string& list, bool wantNames) {
    std::vector<std::string> parts;
    for (const auto& f : SelfDelimitedList::Fields(list)) {
        const size_t eq = f.find('=');
        if (eq == std::string::npos) continue;
        parts.push_back(wantNames ? f.substr(0, eq) : f.substr(eq + 1));
    }
    return SelfDelimitedList::Build(parts);
}

std::string SelfDelimitedList::Names(const std::string& list) { return SplitParts(list, true); }
std::string SelfDelimitedList::Values(const std::string& list) { return SplitParts(list, false); }

std::string SelfDelimitedList::Pairs(const std::string& names, const std::string& values) {
    const auto n = Fields(names), v = Fields(values);
    std::vector<std::string> out;
    for (size_t i = 0; i < std::max(n.size(), v.size()); ++i)
        out.push_back((i < n.size() ? n[i] : "") + "=" + (i < v.size() ? v[i] : ""));
    return Build(out);
}

bool SelfDelimitedList::Contains(const std::string& list, const std::string& text, bool trim,
                                 bool ignoreCase) {
    std::string s = Scan(list);
    if (s.empty()) return false;
    const char sep = s.front();
    std::string needle = trim ? Trim(text) : text;
    if (trim) {
        s = std::string(1, sep);
        for (const auto& f : Fields(list)) s += Trim(f) + sep;
    }
    needle = std::string(1, sep) + needle + sep;
    if (ignoreCase) {
        s = Upper(s);
        needle = Upper(needle);
    }
    return s.find(needle) != std::string::npos;
}

int SelfDelimitedList::IndexOf(const std::string& list, const std::string& text, bool prefix,
                               int def) {
    const std::string want = Upper(Trim(text));
    const auto fields = Fields(list);
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string f = Upper(Trim(fields[i]));
        if (prefix ? f.compare(0, want.size(), want) == 0 : f == want) return static_cast<int>(i);
    }
    return def;
}

std::string SelfDelimitedList::Build(const std::vector<std::string>& fields, char preferred) {
    if (fields.empty()) return "";
    std::vector<std::string> clean;
    clean.reserve(fields.size());
    for (const auto& f : fields) clean.push_back(Scan(f));
    const char sep = PickSeparator(clean, preferred);
    std::string out(1, sep);
    for (const auto& f : clean) {
        out += f;
        out += sep;
    }
    return out;
}

static char SeparatorOf(const std::string& list) {
    const size_t nul = list.find('\0');
    return (list.empty() || nul == 0) ? '|' : list.front();
}

std::string SelfDelimitedList::FromArray(const std::vector<std::string>& texts, bool removeDuplicates) {
    const std::string list = Build(texts);
    return removeDuplicates ? Distinct(list) : list;
}

std::string SelfDelimitedList::Append(const std::string& list, const std::vector<std::string>& texts) {
    auto fields = Fields(list);
    fields.insert(fields.end(), texts.begin(), texts.end());
    return Build(fields, SeparatorOf(list));
}

std::string SelfDelimitedList::Append(const std::string& list, const std::string& text) {
    return Append(list, std::vector<std::string>{text});
}

std::string SelfDelimitedList::SetField(const std::string& list, int index, const std::string& text) {
    auto fields = Fields(list);
    if (index == -1) index = fields.empty() ? 0 : static_cast<int>(fields.size()) - 1;
    if (index < 0) return Scan(list);
    if (static_cast<size_t>(index) >= fields.size()) fields.resize(static_cast<size_t>(index) + 1);
    fields[static_cast<size_t>(index)] = text;
    return Build(fields, SeparatorOf(list));
}

std::string SelfDelimitedList::DeleteField(const std::string& list, int index) {
    auto fields = Fields(list);
    if (index == -1) index = static_cast<int>(fields.size()) - 1;
    if (index < 0 || static_cast<size_t>(index) >= fields.size()) return Scan(list);
    fields.erase(fields.begin() + index);
    return Build(fields, SeparatorOf(list));
}

std::string SelfDelimitedList::Reverse(const std::string& list) {
    auto fields = Fields(list);
    std::reverse(fields.begin(), fields.end());
    return Build(fields, SeparatorOf(list));
}

std::string SelfDelimitedList::Distinct(const std::string& list) {
    std::vector<std::string> out, seen;
    for (const auto& f : Fields(list)) {
        const std::string k = Upper(Trim(f));
        if (std::find(seen.begin(), seen.end(), k) != seen.end()) continue;
        seen.push_back(k);
        out.push_back(f);
    }
    return Build(out, SeparatorOf(list));
}

std::string SelfDelimitedList::TrimEmpty(const std::string& list, bool atEnd, bool atStart) {
    auto fields = Fields(list);
    if (atEnd)
        while (!fields.empty() && fields.back().empty()) fields.pop_back();
    if (atStart)
        while (!fields.empty() && fields.front().empty()) fields.erase(fields.begin());
    return Build(fields, SeparatorOf(list));
}

std::string SelfDelimitedList::Normalise(const std::string& list) {
    std::string s = Scan(list);
    if (s.empty()) return s;
    const char sep = s.front();
    for (char& c : s)
        if (c == sep) c = '\0';
    char chosen = '\0';
    for (char c : SeparatorCandidates())
        if (s.find(c) == std::string::npos) { chosen = c; break; }
    if (chosen == '\0') {
        for (int c = 1; c < 256 && chosen == '\0'; ++c)
            if (s.find(static_cast<char>(c)) == std::string::npos) chosen = static_cast<char>(c);
    }
    if (chosen == '\0') chosen = sep;
    for (char& c : s)
        if (c == '\0') c = chosen;
    return s.size() == 1 ? std::string() : s;
}

std::string SelfDelimitedList::ChangeSeparator(const std::string& list, char c) {
    std::string s = Scan(list);
    if (s.empty()) return s;
    const char sep = s.front();
    for (char& ch : s)
        if (ch == sep) ch = c;
    return s;
}
