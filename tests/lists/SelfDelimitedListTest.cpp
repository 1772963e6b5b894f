#include "util/SelfDelimitedList.h"

#include <gtest/gtest.h>

using L = SelfDelimitedList;
using namespace std::string_literals;

TEST(SelfDelimitedListRead, CountsOnlyClosedLists) {
    struct Case { std::string list; int count; } cases[] = {
        {"", 0}, {"|", 0}, {"||", 1}, {"|a|b|", 2}, {"|a|b", 0}, {"a|b|", 0},
        {",x,,y,", 3}, {"\x01" "a\x01" "b\x01", 2},
        {"|a|\0b|"s, 1},  // the scan stops at the NUL and sees "|a|"
    };
    for (const auto& c : cases) EXPECT_EQ(L::Count(c.list), c.count) << c.list;
    EXPECT_EQ(L::Count("|a|b|\0|c|"s), 2);  // only "|a|b|" is seen
}

TEST(SelfDelimitedListRead, FieldsAndDefaults) {
    struct Case { std::string list; int index; std::string expect; } cases[] = {
        {"|a|b|c|", 0, "a"},  {"|a|b|c|", 2, "c"},  {"|a|b|c|", -1, "c"},
        {"|a||c|", 1, "DEF"}, {"|a|b|c|", 3, "DEF"}, {"|a|b|c|", -2, "DEF"},
        {"", 0, "DEF"},       {"|a|b", 1, "DEF"},    {"|a|b", 0, "a"},
        {"|a|b", -1, "DEF"},  {"|a|\0b|"s, 1, "DEF"}, {":x:y:", 1, "y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(L::Field(c.list, c.index, "DEF"), c.expect) << c.list << " #" << c.index;
}

TEST(SelfDelimitedListRead, IntegerFields) {
    EXPECT_EQ(L::IntField("|12|-7| 42 |x|99999999999|", 0, -1), 12);
    EXPECT_EQ(L::IntField("|12|-7| 42 |x|99999999999|", 1, -1), -7);
    EXPECT_EQ(L::IntField("|12|-7| 42 |x|99999999999|", 2, -1), 42);
    EXPECT_EQ(L::IntField("|12|-7| 42 |x|99999999999|", 3, -1), -1);
    EXPECT_EQ(L::IntField("|12|-7| 42 |x|99999999999|", 4, -1), 99999999999LL);
    EXPECT_EQ(L::IntField("|99999999999999999999|", 0, -1), -1);  // overflow
    EXPECT_EQ(L::IntField("|5x|", 0, -1), -1);
}

TEST(SelfDelimitedListRead, ValueLookup) {
    struct Case { std::string list, name, expect; } cases[] = {
        {"|A=1|a=2|", "a", "1"},                // first of two names differing in case
        {"|Key=v|", "KEY", "v"},
        {"|  Key   =v|", "key", "v"},            // blanks after separator and before "="
        {"|Key= v |", "key", " v "},             // blanks after "=" belong to the value
        {"|Key=v", "key", "DEF"},                // not closed
        {"|Key=|", "key", "EMPTY"},              // present but empty
        {"|Other=1|", "key", "DEF"},
        {"|Key=1|", "key=", "1"},                // name already ending with "="
        {"|==x|", "=", "x"},                     // the name "=" gets a second "="
        {"||", "key", "DEF"},                    // too short
        {"\x01" "English\x01" "s0=Title\x01", "S0", "Title"},
        {"|KeyX=1|Key=2|", "Key", "2"},          // whole name only
        {"|a=1|\0b=2|"s, "b", "DEF"},            // NUL ends the scan
    };
    for (const auto& c : cases)
        EXPECT_EQ(L::Value(c.list, c.name, "DEF", "EMPTY"), c.expect) << c.list << " / " << c.name;
}

TEST(SelfDelimitedListRead, NamesValuesPairs) {
    EXPECT_EQ(L::Names("|a=1|plain|b=2|"), "|a|b|");
    EXPECT_EQ(L::Values("|a=1|plain|b=x=y|"), "|1|x=y|");
    EXPECT_EQ(L::Names("|plain|"), "");
    EXPECT_EQ(L::Pairs("|a|b|c|", "|1|2|"), "|a=1|b=2|c=|");
    EXPECT_EQ(L::Pairs("|a|", ",1,2,"), "|a=1|=2|");
    // A value holding "|" must not break the new list.
    EXPECT_EQ(L::Fields(L::Values(",a=x|y,")), std::vector<std::string>{"x|y"});
}

TEST(SelfDelimitedListRead, ContainsAndIndexOf) {
    const std::string list = "| Alpha |beta|Gamma|";
    EXPECT_TRUE(L::Contains(list, "beta"));
    EXPECT_FALSE(L::Contains(list, "Alpha"));
    EXPECT_TRUE(L::Contains(list, "Alpha", true));
    EXPECT_FALSE(L::Contains(list, "BETA"));
    EXPECT_TRUE(L::Contains(list, "BETA", false, true));
    EXPECT_TRUE(L::Contains(list, " alpha", true, true));
    EXPECT_FALSE(L::Contains(list, "et"));
    EXPECT_FALSE(L::Contains("", ""));

    EXPECT_EQ(L::IndexOf(list, "alpha"), 0);
    EXPECT_EQ(L::IndexOf(list, " GAMMA "), 2);
    EXPECT_EQ(L::IndexOf(list, "gam", false, -5), -5);
    EXPECT_EQ(L::IndexOf(list, "gam", true), 2);
    EXPECT_EQ(L::IndexOf(list, "delta", true, 77), 77);
}

TEST(SelfDelimitedListBuild, FromArrayAndAppend) {
    EXPECT_EQ(L::FromArray({"a", "b"}), "|a|b|");
    EXPECT_EQ(L::FromArray({}), "");
    EXPECT_EQ(L::FromArray({"a|b", "c"}), "*a|b*c*");
    EXPECT_EQ(L::FromArray({"a|*~", "c"}), "^a|*~^c^");
    EXPECT_EQ(L::FromArray({"a", "B", "A", " b "}, true), "|a|B|");

    EXPECT_EQ(L::Append("|a|", std::vector<std::string>{"b", "c"}), "|a|b|c|");
    EXPECT_EQ(L::Append("", "x"), "|x|");
    EXPECT_EQ(L::Append(",a,", "b"), ",a,b,");
    // A new text holding the separator moves the list to another separator.
    const std::string moved = L::Append("|a|", "b|c");
    EXPECT_EQ(moved, "*a*b|c*");
    EXPECT_EQ(L::Field(moved, 1), "b|c");
}

TEST(SelfDelimitedListBuild, SetAndDeleteFields) {
    EXPECT_EQ(L::SetField("|a|b|", 1, "x"), "|a|x|");
    EXPECT_EQ(L::SetField("|a|", 3, "d"), "|a|||d|");
    EXPECT_EQ(L::SetField("", 0, "z"), "|z|");
    EXPECT_EQ(L::SetField(",a,b,", 0, "x|y"), ",x|y,b,");
    EXPECT_EQ(L::SetField(",a,b,", 0, "x,y"), "|x,y|b|");
    EXPECT_EQ(L::SetField("|a|b|", -1, "z"), "|a|z|");

    EXPECT_EQ(L::DeleteField("|a|b|c|", 1), "|a|c|");
    EXPECT_EQ(L::DeleteField("|a|b|c|", -1), "|a|b|");
    EXPECT_EQ(L::DeleteField("|a|", 0), "");
    EXPECT_EQ(L::DeleteField("|a|b|", 5), "|a|b|");
}

TEST(SelfDelimitedListBuild, ReorderingAndCleaning) {
    EXPECT_EQ(L::Reverse(",a,b,c,"), ",c,b,a,");
    EXPECT_EQ(L::Reverse(""), "");
    EXPECT_EQ(L::Distinct("|a| A |b|a|B|"), "|a|b|");
    EXPECT_EQ(L::TrimEmpty("|||a||b|||"), "|a||b|");
    EXPECT_EQ(L::TrimEmpty("|||a||b|||", true, false), "|||a||b|");
    EXPECT_EQ(L::TrimEmpty("|||a||b|||", false, true), "|a||b|||");
    EXPECT_EQ(L::TrimEmpty("||||"), "");
}

TEST(SelfDelimitedListBuild, NormaliseAndChangeSeparator) {
    struct Case { std::string in, out; } cases[] = {
        {",a,b,", "|a|b|"},
        {",a|b,c,", "*a|b*c*"},
        {"|", ""},
        {"", ""},
        {",a|*~^!@#$&,", "\xFF" "a|*~^!@#$&\xFF"},
    };
    for (const auto& c : cases) EXPECT_EQ(L::Normalise(c.in), c.out) << c.in;
    EXPECT_EQ(L::ChangeSeparator("|a|b|", ','), ",a,b,");
    EXPECT_EQ(L::ChangeSeparator("", ','), "");
}
