#include <gtest/gtest.h>

#include "controls/num_filter.h"
#include "text/sjis_convert.h"

namespace {

std::string S(const char* utf8) { return *sjis::fromUtf8(utf8); }

struct Case {
    const char* input;  // UTF-8, converted to Shift-JIS
    const char* expected;
};

TEST(FilterText, DefaultOptions) {
    const Case cases[] = {
        {"１２３", "123"},
        {"1,234.5678", "1234.567"},
        {"12a3", "12"},
        {"-5-3", "-5"},
        {" 12", ""},
        {"1234567890", ""},
        {"123456789", "123456789"},
        {"-123456789", "-123456789"},  // the minus is not an integer digit
        {"0012", "0012"},
        {"１，２３４．５", "1234.5"},
        {"－１２", "-12"},
        {",-5", ""},  // the comma counts as a position: "-" is no longer first
        {"1.2.3", "1.2"},
        {"1..", "1."},
        {"", ""},
        {"abc", ""},
        {"12東京", "12"},
        {"１２ｱ", "12"},  // a half-width katakana passes the conversion but is no digit
        {"1,,,,2", "12"},
        {"12345678901.5", ""},  // too many integer digits are never cut
    };
    for (const auto& c : cases)
        EXPECT_EQ(numedit::FilterText(S(c.input), {}), c.expected) << c.input;
}

TEST(FilterText, MalformedShiftJisEndsTheReading) {
    EXPECT_EQ(numedit::FilterText(std::string("12\x82"), {}), "12");   // lead byte at the end
    EXPECT_EQ(numedit::FilterText(std::string("12\x80" "3"), {}), "12");
    EXPECT_EQ(numedit::FilterText(std::string("12\xFD" "3"), {}), "12");
    EXPECT_EQ(numedit::FilterText(std::string("1\0" "2", 3), {}), "1");
    // Control characters are characters like any other: they end the reading.
    EXPECT_EQ(numedit::FilterText(std::string("\x01" "12"), {}), "");
    EXPECT_EQ(numedit::FilterText(std::string("12\t3"), {}), "12");
}

TEST(FilterText, OptionsLimitTheValue) {
    struct OptCase {
        numedit::FilterOptions opt;
        const char* input;
        const char* expected;
    };
    const OptCase cases[] = {
        {{3, 0, true}, "999", "999"},
        {{3, 0, true}, "1000", ""},
        {{3, 0, true}, "12.5", "12"},
        {{9, 3, false}, "-5", ""},
        {{9, 3, false}, "5-", "5"},
        {{9, 2, true}, "3.14159", "3.14"},
        {{9, 1, true}, "3.14", "3.1"},
        {{0, 2, true}, "5", ""},
        {{0, 2, true}, ".25", ".25"},
        {{0, 2, true}, "-", "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(numedit::FilterText(S(c.input), c.opt), c.expected) << c.input;
}

TEST(StripLeadingZeros, Examples) {
    const Case cases[] = {
        {"0012", "12"}, {"000", "0"},        {"0.5", "0.5"}, {".5", "0.5"},
        {"-007.25", "-7.25"}, {"-", "-"},   {".", "0."},    {"", ""},
        {"0", "0"},     {"-0", "-0"},        {"100", "100"}, {"00.", "0."},
        {"-.5", "-0.5"},
    };
    for (const auto& c : cases) EXPECT_EQ(numedit::StripLeadingZeros(c.input, false), c.expected) << c.input;
    EXPECT_EQ(numedit::StripLeadingZeros("0012", true), "0012");
    EXPECT_EQ(numedit::StripLeadingZeros(".5", true), ".5");
}

}  // namespace
