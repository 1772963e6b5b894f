// Runs every list operation on arbitrary texts and checks the properties that
// must hold whatever the input.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "util/SelfDelimitedList.h"

using L = SelfDelimitedList;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string list = in.ConsumeRandomLengthString(256);
    const std::string text = in.ConsumeRandomLengthString(64);
    const int index = in.ConsumeIntegralInRange<int>(-3, 40);
    const char sep = in.ConsumeIntegral<char>();
    std::vector<std::string> texts;
    while (in.remaining_bytes() > 0 && texts.size() < 8) texts.push_back(in.ConsumeRandomLengthString(32));

    (void)L::Count(list);
    (void)L::Field(list, index, "d");
    (void)L::IntField(list, index, 7);
    (void)L::Value(list, text, "d", "e");
    (void)L::Names(list);
    (void)L::Values(list);
    (void)L::Pairs(list, text);
    (void)L::Contains(list, text, index & 1, index & 2);
    (void)L::IndexOf(list, text, index & 1, -1);
    (void)L::Append(list, texts);
    (void)L::SetField(list, index, text);
    (void)L::DeleteField(list, index);
    (void)L::Reverse(list);
    (void)L::Distinct(list);
    (void)L::TrimEmpty(list, index & 1, index & 2);
    (void)L::Normalise(list);
    (void)L::ChangeSeparator(list, sep);

    // Building from texts without NUL keeps every text as its own field.
    // (Texts that use up every byte value leave no separator; they are skipped.)
    bool clean = true;
    size_t total = 0;
    for (const auto& t : texts) {
        clean = clean && t.find('\0') == std::string::npos;
        total += t.size();
    }
    clean = clean && total < 200;
    if (clean) {
        const std::string built = L::FromArray(texts);
        if (L::Fields(built) != texts) __builtin_trap();
        if (!texts.empty() && L::Count(built) != static_cast<int>(texts.size())) __builtin_trap();
        const std::string appended = L::Append(built, text.find('\0') == std::string::npos ? text : "x");
        if (!texts.empty() && L::Count(appended) != static_cast<int>(texts.size()) + 1) __builtin_trap();
    }
    // Reading never yields more fields than the list has separators.
    if (L::Count(list) > static_cast<int>(list.size())) __builtin_trap();
    return 0;
}
