// Wildcard matching ("*", "?", "[...]" classes, "\" escapes) and string lists.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "Msc.h"

namespace {

// 1 match, 0 no match, 2 text ran out under a "*": every enclosing "*" gives
// up too, which keeps the search from retrying hopeless positions.
int Match(const char* p, const char* t, bool ignoreCase) {
  auto fold = [ignoreCase](char c) {
    return ignoreCase ? tolower(static_cast<unsigned char>(c)) : static_cast<unsigned char>(c);
  };
  for (; *p; ++p, ++t) {
    if (*p == '\\' && p[1] == '\0') return 1;  // a trailing "\" takes whatever remains
    if (*t == '\0' && *p != '*') return 0;
    switch (*p) {
      case '?':
        break;
      case '*': {
        while (p[1] == '*') ++p;
        if (p[1] == '\0') return 1;
        for (; *t; ++t) {
          int r = Match(p + 1, t, ignoreCase);
          if (r != 0) return r;
        }
        return 2;
      }
      case '[': {
        const char* q = p + 1;
        bool negate = *q == '^' || *q == '!';
        if (negate) ++q;
        bool found = false;
        int c = fold(*t);
        while (*q && *q != ']') {
          char lo;
          if (*q == '\\' && q[1]) {
            lo = q[1];
            q += 2;
          } else {
            lo = *q++;
          }
          char hi = lo;
          if (*q == '-' && q[1] && q[1] != ']') {
            ++q;
            if (*q == '\\' && q[1]) {
              hi = q[1];
              q += 2;
            } else {
              hi = *q++;
            }
          }
          if (c >= fold(lo) && c <= fold(hi)) found = true;
        }
        if (*q != ']') return 0;  // a class without "]" never matches
        if (found == negate) return 0;
        p = q;
        break;
      }
      case '\\':
        ++p;
        if (fold(*p) != fold(*t)) return 0;
        break;
      default:
        if (fold(*p) != fold(*t)) return 0;
        break;
    }
  }
  return *t == '\0' ? 1 : 0;
}

}  // namespace

int MscRegularMatch(const char* pattern, const char* text, short fIgnoreCase) {
  if (!pattern || !text) return 0;
  // The give-up value stays inside the search: callers see 1 or 0.
  return Match(pattern, text, fIgnoreCase != 0) == 1 ? 1 : 0;
}

BOOL MscStringListFindItem(const char* pattern, std::vector<CString>& list, CString& found, short fIgnoreCase) {
  for (const CString& item : list) {
    if (MscRegularMatch(pattern, item, fIgnoreCase) == 1) {
      found = item;
      return TRUE;
    }
  }
  return FALSE;
}

BOOL MscStringListFindItem(const char* pattern, std::vector<CString>& list, short fIgnoreCase) {
  CString found;
  return MscStringListFindItem(pattern, list, found, fIgnoreCase);
}

void MscListSort(std::vector<CString>& list) {
  std::sort(list.begin(), list.end(), [](const CString& a, const CString& b) { return strcmp(a, b) < 0; });
}

void MscExclusionList(std::vector<CString>& list, std::vector<CString>& exclusions, std::vector<CString>& result) {
  std::vector<CString> kept;
  for (const CString& item : list) {
    bool excluded = false;
    for (const CString& ex : exclusions)
      if (item == ex) excluded = true;
    if (!excluded) kept.push_back(item);
  }
  result.swap(kept);  // result may be one of the inputs
}

void MscStringListMakeUpper(std::vector<CString>& list) {
  for (CString& item : list) item.MakeUpper();
}
