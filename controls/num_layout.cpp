#include "controls/num_layout.h"

namespace numedit {

LayoutBoxes ComputeLayout(const LayoutInput& in) {
    const int H = in.textHeight;
    const int F = in.valueWidth, W = in.fieldWidth, LM = in.leftMarkWidth, RM = in.rightMarkWidth;
    const int T = LM + W + RM;
    const int A = in.clientWidth - in.leftMargin - in.rightMargin;

    int y = 0;
    switch (in.vAlign) {
    case VAlign::Top: y = in.topMargin; break;
    case VAlign::Bottom: y = in.clientHeight - H - in.bottomMargin; break;
    case VAlign::Center: y = (in.clientHeight - H - in.topMargin - in.bottomMargin) / 2 + in.topMargin; break;
    }

    // The value is right-aligned inside the field that follows the left
    // mark, so digits added on the right push the others to the left.
    int xl = 0, x = 0, xr = 0;
    switch (in.align) {
    case HAlign::Left:
        xl = in.leftMargin;
        x = in.leftMargin + LM + W - F;
        xr = in.leftMargin + LM + W;
        break;
    case HAlign::Right: {
        const int right = in.clientWidth - RM - in.rightMargin - 1;
        xl = right - W - LM;
        x = right - F;
        xr = right;
        break;
    }
    case HAlign::Center: {
        const int start = in.leftMargin + A / 2 - T / 2;
        xl = start;
        x = start + LM + W - F;
        xr = in.leftMargin + A / 2 + T / 2 - RM;
        break;
    }
    }
    LayoutBoxes b;
    b.leftMark = {xl, y, xl + LM, y + H};
    b.text = {x, y, x + F, y + H};
    b.rightMark = {xr, y, xr + RM, y + H};
    return b;
}

Point CaretPos(const LayoutBoxes& boxes, int caretOffset) {
    return {boxes.text.left + caretOffset - 1, boxes.text.top};
}

}  // namespace numedit
