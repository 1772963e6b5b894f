#pragma once
// Self-delimited lists: a text whose first character is its field separator and
// which ends with the same character, e.g. "|&OK|&Cancel|". Fields are numbered
// from 0. All operations are pure string functions; a NUL byte ends the scan.
#include <cstdint>
#include <string>
#include <vector>

class SelfDelimitedList {
public:
    // Separators tried, in order, when a list has to be rebuilt.
    static const std::string& SeparatorCandidates();

    // ---- reading ----
    // Number of fields; 0 when the list is shorter than 2 characters or its last
    // character differs from its first.
    static int Count(const std::string& list);
    // Field i (0-based, -1 = last). Empty, missing or unclosed fields give def.
    static std::string Field(const std::string& list, int index, const std::string& def = "");
    // Field i as a 64-bit integer (optional blanks and sign), def on failure.
    static int64_t IntField(const std::string& list, int index, int64_t def = 0);
    // Value of the first field name=value (name compared without case); def when
    // absent or the list is not closed, emptyDef when present with an empty value.
    static std::string Value(const std::string& list, const std::string& name,
                             const std::string& def = "", const std::string& emptyDef = "");
    // New lists of the name parts / value parts of all name=value fields.
    static std::string Names(const std::string& list);
    static std::string Values(const std::string& list);
    // New list of name=value fields, as many as the longer of both lists has.
    static std::string Pairs(const std::string& names, const std::string& values);
    // Whether separator + text + separator occurs in the list; with trim the text
    // and the fields are compared trimmed.
    static bool Contains(const std::string& list, const std::string& text, bool trim = false,
                         bool ignoreCase = false);
    // Index of the first field equal to text (or starting with it when prefix),
    // compared trimmed and upper-cased; def when there is none.
    static int IndexOf(const std::string& list, const std::string& text, bool prefix = false,
                       int def = -1);
    // All complete fields, in order (empty when the list holds none).
    static std::vector<std::string> Fields(const std::string& list);

    // ---- building ----
    // A list of the texts with separator "|" (another candidate when a text holds
    // "|"), optionally without duplicates; no texts give the empty string.
    static std::string FromArray(const std::vector<std::string>& texts, bool removeDuplicates = false);
    // The list with the texts added as fields; the separator changes only when a
    // new text contains it.
    static std::string Append(const std::string& list, const std::vector<std::string>& texts);
    static std::string Append(const std::string& list, const std::string& text);
    // Field i replaced (the list grows with empty fields when shorter).
    static std::string SetField(const std::string& list, int index, const std::string& text);
    static std::string DeleteField(const std::string& list, int index);
    static std::string Reverse(const std::string& list);
    // Fields in first-occurrence order, each once (trimmed, case-insensitive).
    static std::string Distinct(const std::string& list);
    // Empty fields removed from the end and/or the start.
    static std::string TrimEmpty(const std::string& list, bool atEnd = true, bool atStart = true);
    // Rewritten with the first candidate separator that occurs in no field.
    static std::string Normalise(const std::string& list);
    // Every separator replaced by c.
    static std::string ChangeSeparator(const std::string& list, char c);

    // Builds a list from fields with the preferred separator (when possible) or the
    // first candidate that no field contains. Empty fields vector gives "".
    static std::string Build(const std::vector<std::string>& fields, char preferred = '|');

    // Helpers shared with other text code.
    static std::string Trim(const std::string& s);
    static std::string Upper(const std::string& s);
};
