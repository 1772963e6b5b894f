#include "core/TokenUnscramble.h"

#include <chrono>
#include <random>
#include <vector>

namespace pkg {

namespace {

std::mt19937& Generator() {
    static std::mt19937 gen([] {
        std::random_device rd;
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        return static_cast<unsigned>(rd()) ^ static_cast<unsigned>(now);
    }());
    return gen;
}

int HexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

constexpr uint8_t kLetterShift = 50;  // character codes are stored shifted by 50
constexpr size_t kMinBytes = 21;       // 42 letters

}  // namespace

std::string TokenUnscramble(const std::string& text) {
    std::string secret;
    if (TokenUnscramble(text, secret)) return secret;
    return std::to_string(std::uniform_int_distribution<int>(0, 99998)(Generator()));
}

bool TokenUnscramble(const std::string& text, std::string& secret) {
    std::vector<uint8_t> b;  // b[0] is B1
    b.reserve(text.size() / 2);
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        const int hi = HexValue(static_cast<unsigned char>(text[i] - kLetterShift));
        const int lo = HexValue(static_cast<unsigned char>(text[i + 1] - kLetterShift));
        if (hi < 0 || lo < 0) return false;  // not a token at all
        b.push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
    const size_t n = b.size();
    if (n <= 4) return false;

    uint8_t sum = 0;
    for (size_t i = 0; i < n; ++i)
        if (i != n - 2) sum = static_cast<uint8_t>(sum + b[i]);
    if (sum != b[n - 2]) return false;

    const uint8_t key = b[0] ^ b[n - 1];
    for (size_t i = 1; i + 1 < n; ++i) b[i] ^= key;
    const size_t p = b[1], q = b[2];
    // The secret is the n-p-q-4 bytes from B(p+4); a damaged p or q that would
    // reach outside the token makes it a failed token.
    if (p + q + 4 > n) return false;
    const size_t length = n - p - q - 4;
    const size_t first = p + 3;  // index of B(p+4)
    if (first + length > n) return false;
    secret.assign(b.begin() + static_cast<std::ptrdiff_t>(first),
                  b.begin() + static_cast<std::ptrdiff_t>(first + length));
    return true;
}

std::string TokenScramble(const std::string& secret, const std::function<uint8_t()>& randomByte) {
    const size_t m = secret.size();
    const size_t n = m + 5 > kMinBytes ? m + 5 : kMinBytes;
    const size_t padding = n - m - 4;  // p + q, with q >= 1
    const size_t p = padding > 1 ? randomByte() % padding : 0;
    const size_t q = padding - p;
    std::vector<uint8_t> plain(n);
    for (auto& c : plain) c = randomByte();
    plain[1] = static_cast<uint8_t>(p);
    plain[2] = static_cast<uint8_t>(q);
    for (size_t i = 0; i < m; ++i) plain[p + 3 + i] = static_cast<uint8_t>(secret[i]);

    std::vector<uint8_t> b = plain;
    const uint8_t key = b[0] ^ b[n - 1];
    for (size_t i = 1; i + 1 < n; ++i) b[i] = plain[i] ^ key;
    uint8_t sum = 0;
    for (size_t i = 0; i < n; ++i)
        if (i != n - 2) sum = static_cast<uint8_t>(sum + b[i]);
    b[n - 2] = sum;

    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(2 * n);
    for (uint8_t v : b) {
        out.push_back(static_cast<char>(digits[v >> 4] + kLetterShift));
        out.push_back(static_cast<char>(digits[v & 15] + kLetterShift));
    }
    return out;
}

std::string TokenScramble(const std::string& secret) {
    return TokenScramble(secret, [] { return static_cast<uint8_t>(Generator()() & 0xFF); });
}

}  // namespace pkg
