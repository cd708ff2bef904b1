#include <gtest/gtest.h>

#include "controls/num_layout.h"

namespace {

using numedit::Box;
using numedit::ComputeLayout;
using numedit::HAlign;
using numedit::LayoutInput;
using numedit::VAlign;

LayoutInput base(HAlign a, int F, int W, int LM, int RM) {
    LayoutInput in;
    in.clientWidth = 117;
    in.clientHeight = 20;
    in.textHeight = 16;
    in.align = a;
    in.valueWidth = F;
    in.fieldWidth = W;
    in.leftMarkWidth = LM;
    in.rightMarkWidth = RM;
    return in;
}

TEST(NumLayout, HorizontalBoxes) {
    struct Case {
        const char* name;
        LayoutInput in;
        Box leftMark, text, rightMark;
    };
    const Case cases[] = {
        // Empty value, right-aligned: a zero-width text box at CW - 3.
        {"right empty", base(HAlign::Right, 0, 0, 0, 0), {114, 2, 114, 18}, {114, 2, 114, 18}, {114, 2, 114, 18}},
        {"right marks", base(HAlign::Right, 30, 30, 9, 11), {64, 2, 73, 18}, {73, 2, 103, 18}, {103, 2, 114, 18}},
        {"left fixed", base(HAlign::Left, 8, 24, 0, 0), {2, 2, 2, 18}, {18, 2, 26, 18}, {26, 2, 26, 18}},
        {"left marks", base(HAlign::Left, 30, 30, 9, 11), {2, 2, 11, 18}, {11, 2, 41, 18}, {41, 2, 52, 18}},
        // A = 113, T = 51: start = 2 + 56 - 25.
        {"center", base(HAlign::Center, 30, 30, 9, 12), {33, 2, 42, 18}, {42, 2, 72, 18}, {71, 2, 83, 18}},
    };
    for (const auto& c : cases) {
        const auto b = ComputeLayout(c.in);
        EXPECT_EQ(b.leftMark, c.leftMark) << c.name;
        EXPECT_EQ(b.text, c.text) << c.name;
        EXPECT_EQ(b.rightMark, c.rightMark) << c.name;
    }
}

TEST(NumLayout, DivisionTruncatesTowardZero) {
    // A field wider than the control: A div 2 and T div 2 of odd and
    // negative amounts.
    LayoutInput in = base(HAlign::Center, 101, 101, 0, 0);
    in.clientWidth = 3;  // A = -1: -1 / 2 == 0, not -1
    const auto b = ComputeLayout(in);
    EXPECT_EQ(b.text.left, 2 + 0 - 50);
    in.vAlign = VAlign::Center;
    in.clientHeight = 15;  // 15 - 16 - 4 = -5: -5 / 2 == -2
    EXPECT_EQ(ComputeLayout(in).text.top, -2 + 2);
}

TEST(NumLayout, VerticalPlacementAndCaret) {
    LayoutInput in = base(HAlign::Right, 0, 0, 0, 0);
    in.clientHeight = 40;
    in.vAlign = VAlign::Top;
    EXPECT_EQ(ComputeLayout(in).text.top, 2);
    in.vAlign = VAlign::Bottom;
    EXPECT_EQ(ComputeLayout(in).text.top, 40 - 16 - 2);
    in.vAlign = VAlign::Center;
    EXPECT_EQ(ComputeLayout(in).text.top, (40 - 16 - 4) / 2 + 2);
    in.bottomMargin = 0;
    EXPECT_EQ(ComputeLayout(in).text.bottom - ComputeLayout(in).text.top, 16);

    // Empty value: caret at CW - 4.
    const auto b = ComputeLayout(base(HAlign::Right, 0, 0, 0, 0));
    EXPECT_EQ(numedit::CaretPos(b, 0), (numedit::Point{113, 2}));
    const auto v = ComputeLayout(base(HAlign::Right, 25, 25, 0, 0));
    EXPECT_EQ(numedit::CaretPos(v, 25).x, v.text.right - 1);
}

}  // namespace
