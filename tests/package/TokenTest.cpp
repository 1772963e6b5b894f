#include <gtest/gtest.h>

#include <algorithm>

#include "PackageFixture.h"
#include "core/TGFileInfo.h"
#include "core/TokenUnscramble.h"

namespace {

bool IsFailedToken(const std::string& s) {
    return !s.empty() && s.size() <= 5 && std::all_of(s.begin(), s.end(), ::isdigit) && std::stoi(s) <= 99998;
}

}  // namespace

TEST(Token, ScrambleRoundTrips) {
    const std::string secrets[] = {"", "x", "hunter2", "sixteen-bytes-ok", "a secret longer than sixteen bytes",
                                   std::string("\0\x01\xff|*", 5)};
    for (const auto& secret : secrets) {
        const std::string scrambled = pkg::TokenScramble(secret);
        EXPECT_TRUE(std::all_of(scrambled.begin(), scrambled.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            << scrambled;
        if (secret.size() <= 16) {
            EXPECT_EQ(scrambled.size(), 42u) << secret;
        }
        EXPECT_EQ(pkg::TokenUnscramble(scrambled), secret);
        // Every scramble differs, and still gives the same secret.
        EXPECT_EQ(pkg::TokenUnscramble(pkg::TokenScramble(secret)), secret);
    }
}

TEST(Token, DamagedTokensGiveARandomNumber) {
    const std::string good = pkg::TokenScramble("secret");
    auto damaged = [&](size_t at, char c) {
        std::string s = good;
        s[at] = c;
        return s;
    };
    // A token whose padding counts point beyond its end, with a correct checksum:
    // B2 = p = 200 after unscrambling (key 0 because B1 = Bn).
    auto craft = [](std::vector<uint8_t> b) {
        uint8_t sum = 0;
        for (size_t i = 0; i < b.size(); ++i)
            if (i != b.size() - 2) sum = static_cast<uint8_t>(sum + b[i]);
        b[b.size() - 2] = sum;
        std::string out;
        for (uint8_t v : b) {
            out.push_back(static_cast<char>("0123456789ABCDEF"[v >> 4] + 50));
            out.push_back(static_cast<char>("0123456789ABCDEF"[v & 15] + 50));
        }
        return out;
    };
    const std::string cases[] = {
        "",
        "bbbb",                              // too short
        damaged(10, good[10] == 'b' ? 'c' : 'b'),  // checksum byte no longer matches
        damaged(0, 'A'),                     // not a letter of the alphabet used
        good.substr(0, 40),                  // cut off
        craft({5, 200, 1, 0, 0, 0, 0, 0, 0, 5}),
        craft({5, 1, 200, 0, 0, 0, 0, 0, 0, 5}),
    };
    for (const auto& c : cases) {
        std::string secret = "untouched";
        EXPECT_FALSE(pkg::TokenUnscramble(c, secret)) << c;
        EXPECT_EQ(secret, "untouched");
        EXPECT_TRUE(IsFailedToken(pkg::TokenUnscramble(c))) << c;
    }
    std::string secret;
    EXPECT_TRUE(pkg::TokenUnscramble(craft({5, 0, 1, 'o', 'k', 0, 5}), secret));
    EXPECT_EQ(secret, "ok");
}

TEST(Token, SameTokenComparesUnscrambledDownloadTokens) {
    fixture::TempDir dir;
    auto package = [&](const std::string& name, const std::string& token) {
        fixture::Package p;
        p.trailer.HeaderCount = 3;
        p.blocks.push_back("|http://dl|setup.exe|0|" + token + "|100|");
        return TGFileInfo(dir.Write(name, p.Build()));
    };
    const TGFileInfo a = package("a", pkg::TokenScramble("one"));
    const TGFileInfo b = package("b", pkg::TokenScramble("one"));
    const TGFileInfo c = package("c", pkg::TokenScramble("two"));
    const TGFileInfo d = package("d", "damaged");
    const TGFileInfo e = package("e", "damaged");
    EXPECT_NE(a.DownloadToken(false), b.DownloadToken(false));
    EXPECT_TRUE(a.SameToken(b));
    EXPECT_FALSE(a.SameToken(c));
    EXPECT_FALSE(a.SameToken(d));
    EXPECT_FALSE(d.SameToken(e));  // two damaged tokens do not match (random numbers)
    EXPECT_EQ(a.DownloadToken(true), "one");
}
