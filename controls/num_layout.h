#pragma once
// Where the numeric control draws its value, its marks and its caret, in
// client-area pixels. Plain integer arithmetic; "/" truncates toward zero,
// which matters for negative room in a control narrower than its field.
namespace numedit {

enum class HAlign { Left, Right, Center };
enum class VAlign { Top, Bottom, Center };

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Box&) const = default;
};

struct LayoutInput {
    int clientWidth = 0, clientHeight = 0;
    int textHeight = 0;  // H: height of "M" in the font
    int leftMargin = 2, topMargin = 2, rightMargin = 2, bottomMargin = 2;
    HAlign align = HAlign::Right;
    VAlign vAlign = VAlign::Center;
    int valueWidth = 0;      // F: the formatted value as drawn
    int fieldWidth = 0;      // W: the field template
    int leftMarkWidth = 0;   // LM (0 while no value and no fixed option)
    int rightMarkWidth = 0;  // RM
};

struct LayoutBoxes {
    Box leftMark, text, rightMark;
};

LayoutBoxes ComputeLayout(const LayoutInput& in);

// Top-left of the caret: caretOffset is the width of the text in front of it.
struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};
Point CaretPos(const LayoutBoxes& boxes, int caretOffset);

}  // namespace numedit
