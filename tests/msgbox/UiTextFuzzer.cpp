// Feeds arbitrary bytes to the text handling of the boxes and the language lookup: the
// mark-up conversion, the text-area measurement, the button resolver and the choice of
// the language entry must never crash. Bold ranges are offsets at the moment they were
// found (later deletions may leave them past the end; the text control clamps them), so
// only their order is checked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/ButtonSet.h"
#include "ui/LanguageStrings.h"
#include "ui/MarkupText.h"
#include "ui/MsgBoxGeometry.h"
#include "ui/MsgBoxKeys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  MarkupResult r = ConvertMarkup(input);
  for (const BoldRange& b : r.bold)
    if (b.start < 0 || b.end <= b.start || static_cast<size_t>(b.end) > input.size()) std::abort();
  Size2 area = MsgBoxTextAreaSize(r.text, 13, [](const std::string& line) { return static_cast<int>(line.size()) * 7; });
  if (area.cx < 10 || area.cx > 610 || area.cy < 0) std::abort();

  const uint32_t style = size >= 4 ? static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 : 0;
  ButtonSet set = ResolveButtons(style, input);
  for (int code = 0; code < 128; code += 7) DecideBoxInput(set, set.focusSlot, {BoxInput::KeyDown, code});
  DecideBoxInput(set, set.focusSlot, {BoxInput::AltChar, size ? data[size - 1] : 0});

  LanguageStrings lang(input, size ? data[0] : 9);
  lang.Text("s0", "default");
  lang.Charset();
  lang.FontSize();
  ResolveIniLangText(input, "x<?>y", "<?>");
  return 0;
}
