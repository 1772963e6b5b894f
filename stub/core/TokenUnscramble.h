#pragma once
// The secret token of a package is stored scrambled as lower-case letters.
// Unscrambling a damaged token yields a random decimal number, so that two
// damaged tokens practically never compare equal.
#include <cstdint>
#include <functional>
#include <string>

namespace pkg {

std::string TokenUnscramble(const std::string& text);
// The same, telling whether the text was a sound token; secret is set only then.
bool TokenUnscramble(const std::string& text, std::string& secret);

// Scrambles a secret. The random source gives bytes for the key and padding;
// secrets up to 16 bytes give 42 letters, longer ones a longer text.
std::string TokenScramble(const std::string& secret, const std::function<uint8_t()>& randomByte);
std::string TokenScramble(const std::string& secret);

}  // namespace pkg
