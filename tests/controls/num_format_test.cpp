#include <gtest/gtest.h>

#include "controls/num_format.h"

namespace {

using numedit::FormatOptions;

TEST(NumFormat, SplitAndGroup) {
    const auto p = numedit::SplitValue("-1234.50");
    EXPECT_EQ(p.sign, "-");
    EXPECT_EQ(p.integer, "1234");
    EXPECT_EQ(p.point, ".");
    EXPECT_EQ(p.decimals, "50");
    const auto q = numedit::SplitValue("12");
    EXPECT_EQ(q.point, "");
    EXPECT_EQ(q.decimals, "");

    const std::pair<const char*, const char*> groups[] = {
        {"", ""}, {"1", "1"}, {"123", "123"}, {"1234", "1,234"}, {"123456", "123,456"}, {"1234567", "1,234,567"},
    };
    for (const auto& [in, out] : groups) EXPECT_EQ(numedit::GroupDigits(in), out) << in;
}

TEST(NumFormat, FormatValueAndDisplay) {
    struct Case {
        FormatOptions f;
        const char* value;
        const char* formatted;
        const char* display;
    };
    FormatOptions fixed2;
    fixed2.decimalFixed = true;
    fixed2.decimalLength = 2;
    FormatOptions intFixed;
    intFixed.integerFixed = true;
    FormatOptions noComma;
    noComma.comma = false;
    FormatOptions marks;
    marks.leftMark = "\\";
    marks.rightMark = "yen";
    FormatOptions fixed0;
    fixed0.decimalFixed = true;
    fixed0.decimalLength = 0;
    const Case cases[] = {
        {{}, "1234.5", "1,234.5", "1,234.5"},
        {{}, "-1234567", "-1,234,567", "-1,234,567"},
        {{}, "", "", ""},
        {{}, "-", "-", "-"},
        {fixed2, "7", "7.00", "7.00"},
        {fixed2, "", "0.00", "0.00"},
        {fixed2, "3.1", "3.10", "3.10"},
        {fixed2, "-", "-0.00", "-0.00"},
        {fixed0, "7", "7", "7"},
        {intFixed, "", "0", "0"},
        {intFixed, "12", "12", "12"},
        {noComma, "1234", "1234", "1234"},
        {marks, "1000", "1,000", "\\1,000yen"},
        {marks, "", "", ""},  // no value, no marks
    };
    for (const auto& c : cases) {
        EXPECT_EQ(numedit::FormatValue(c.value, c.f), c.formatted) << c.value;
        EXPECT_EQ(numedit::DisplayText(c.value, c.f), c.display) << c.value;
    }
}

TEST(NumFormat, TemplatesAndCaretPrefix) {
    FormatOptions f;
    EXPECT_EQ(numedit::FieldTemplate("1234", f), "1,234");  // no fixed options: the value itself
    EXPECT_EQ(numedit::MaxTemplate(f), "-000,000,000.000");

    FormatOptions i3;
    i3.integerFixed = true;
    i3.integerLength = 3;
    i3.minus = false;
    i3.comma = false;
    EXPECT_EQ(numedit::FieldTemplate("5", i3), "000");
    EXPECT_EQ(numedit::FieldTemplate("", i3), "000");
    i3.minus = true;
    EXPECT_EQ(numedit::FieldTemplate("5", i3), "-000");

    FormatOptions d2;
    d2.decimalFixed = true;
    d2.decimalLength = 2;
    EXPECT_EQ(numedit::FieldTemplate("12.5", d2), "12.00");
    EXPECT_EQ(numedit::FieldTemplate("", d2), "0.00");
    // The caret stands after the typed decimals, inside the zero fill.
    EXPECT_EQ(numedit::CaretPrefix("12.5", d2), "12.5");
    EXPECT_EQ(numedit::CaretPrefix("", d2), "0");
    EXPECT_EQ(numedit::CaretPrefix("1234.", f), "1,234.");

    // Without decimals a fixed decimal part adds no point to the field.
    FormatOptions d0;
    d0.decimalFixed = true;
    d0.decimalLength = 0;
    EXPECT_EQ(numedit::FieldTemplate("7", d0), numedit::FormatValue("7", d0));
}

}  // namespace
