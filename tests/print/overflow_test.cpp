// The form's item areas and the overflow check over them, with a stand-in
// for the print font: a double-byte character is 20 pixels wide, a
// single-byte one 11, whatever the size (so the same bytes as half-width
// text are wider than as full-width text).
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "print/core/form_items.h"
#include "print/core/layout.h"
#include "print/core/overflow.h"
#include "text/sjis.h"

using print::FormItem;
using print::Overflow;

namespace print {
void PrintTo(const Overflow& o, std::ostream* os) {
    *os << formItem(o.item).key << " width " << o.width << " room " << o.room << (o.outside ? " outside" : "");
}
}  // namespace print

namespace {

int fakeWidth(int, const std::string& text) {
    int w = 0;
    for (std::size_t i = 0; i < text.size(); i += sjis::charBytes(text, i))
        w += sjis::charBytes(text, i) == 2 ? 20 : 11;
    return w;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

const std::string kFullA = "\x82\x60";  // "Ａ"

// 160 dpi: one device pixel per form unit, so the name's room is 560 - 180.
struct OverflowCheck : ::testing::Test {
    print::WaybillFields f;
    OverflowCheck() {
        f.dpix = f.dpiy = "160";
        f.printDate = false;
        f.printSender = false;
    }
    std::vector<Overflow> check(const std::optional<print::ImageableArea>& imageable = {}) const {
        return print::findOverflows(print::planWaybill(f), print::DeviceMap::of(f), fakeWidth, imageable);
    }
};

}  // namespace

TEST(FormItems, AreasStartAtTheirItemAndNeverOverlap) {
    const auto items = print::formItems();
    ASSERT_EQ(items.size(), static_cast<std::size_t>(FormItem::Count));
    for (const auto& a : items) {
        SCOPED_TRACE(a.key);
        EXPECT_LT(a.u, a.right);
        EXPECT_LT(a.v, a.bottom);
        EXPECT_LE(a.right, print::kFormWidth);
        EXPECT_LE(a.bottom, print::kFormHeight);
        for (const auto& b : items) {
            if (&a == &b) continue;
            const bool apart = a.right <= b.u || b.right <= a.u || a.bottom <= b.v || b.bottom <= a.v;
            EXPECT_TRUE(apart) << "overlaps " << b.key;
        }
    }
}

TEST(FormItems, AreasMapWithScaleAndMargins) {
    print::WaybillFields f;
    f.dpix = f.dpiy = "360";
    f.prnTop = "10";
    f.prnLeft = "-5";
    const print::DeviceMap map = print::DeviceMap::of(f);
    // u 180 → 405, 560 → 1260, v 240 → 540, 290 → 653 (652.5 rounds up).
    EXPECT_EQ(map.area(FormItem::Name), (print::DeviceRect{400, 550, 1255, 663}));
    // Every planned text starts at the top-left corner of its area.
    f.zip = "123-4567";
    f.add1 = f.g3 = f.my = "x";
    f.timeBand[5] = true;
    f.special[4] = true;
    for (const auto& item : print::planWaybill(f)) {
        const print::DeviceRect r = map.area(item.item);
        EXPECT_EQ(r.x, item.x) << print::formItem(item.item).key;
        EXPECT_EQ(r.y, item.y) << print::formItem(item.item).key;
    }
}

TEST_F(OverflowCheck, WidthAgainstTheAreaAtItsEdges) {
    struct Case { const char* what; std::string name; int width; bool over; };
    const Case cases[] = {
        {"exactly fitting", repeat(kFullA, 19), 380, false},
        {"one character over", repeat(kFullA, 19) + "A", 391, true},
        {"one full-width over", repeat(kFullA, 20), 400, true},
        {"same bytes half-width", repeat("A", 38), 418, true},
        {"half-width that fits", repeat("A", 34), 374, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        f.custo1 = c.name;
        const auto found = check();
        if (!c.over) {
            EXPECT_TRUE(found.empty());
            continue;
        }
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0], (Overflow{FormItem::Name, c.width, 380, false}));
    }
    // The area moves with the margins: the room stays the same.
    f.prnLeft = "37";
    f.prnTop = "-12";
    f.custo1 = repeat(kFullA, 19);
    EXPECT_TRUE(check().empty());
}

TEST_F(OverflowCheck, ImageableAreaWithTheMargins) {
    // An imageable area of 1000 × 600 pixels; goods start at 810.
    const print::ImageableArea page{1000, 600, 160};
    f.g1 = repeat("A", 10);  // 110 wide: ends at 920
    EXPECT_TRUE(check(page).empty());
    f.prnLeft = "80";  // ends at exactly 1000: still inside
    EXPECT_TRUE(check(page).empty());
    f.prnLeft = "81";
    EXPECT_EQ(check(page), (std::vector<Overflow>{{FormItem::Goods1, 110, 109, true}}));

    // Left and top margins that push a text off the top-left corner.
    f.g1.clear();
    f.custo1 = "x";
    f.prnLeft = "-181";
    EXPECT_EQ(check(page), (std::vector<Overflow>{{FormItem::Name, 11, 380, true}}));
    f.prnLeft = "-180";
    EXPECT_TRUE(check(page).empty());
    f.prnTop = "-241";
    EXPECT_EQ(check(page).size(), 1u);

    // The bottom edge: a 10-point em at 160 dpi is 22 pixels high.
    f.prnLeft = f.prnTop = "";
    f.custo1.clear();
    f.printSender = true;
    f.myTel = "1";  // v 520, 12 points: 27 pixels, so it ends at 547
    EXPECT_TRUE(check({{1000, 547, 160}}).empty());
    EXPECT_EQ(check({{1000, 546, 160}}), (std::vector<Overflow>{{FormItem::MyTel, 11, 305, true}}));
}
