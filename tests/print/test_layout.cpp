// Waybill layout on a recording surface: positions, byte picking, marks,
// margins, scale rounding and the errors raised before anything is drawn.
// Built twice: on the compiled form, and (VP_LAYOUT_FORM_FILE) on the form
// read from the bundled form file, which must draw exactly the same.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "print/core/form_library.h"
#include "print/core/layout.h"
#include "print/core/recording_surface.h"
#include "print/core/str_to_int.h"

using print::DrawItem;
using print::RecordingSurface;
using print::WaybillFields;

namespace {

const std::string kMark = print::kMark;

// The form every case prints on.
const print::Form* caseForm() {
#ifdef VP_LAYOUT_FORM_FILE
    static const print::FormEntry entry = print::readFormFile(VP_LAYOUT_FORM_FILE);
    if (!entry.form) throw std::runtime_error("the bundled form file is not usable");
    return &*entry.form;
#else
    return nullptr;
#endif
}

// A waybill on the cases' form with nothing to print.
WaybillFields onForm() {
    WaybillFields f;
    f.form = caseForm();
    return f;
}

// A waybill with nothing to print but the resolution.
WaybillFields blank(const char* dpi = "360") {
    WaybillFields f = onForm();
    f.dpix = f.dpiy = dpi;
    f.printDate = false;
    f.printSender = false;
    return f;
}

std::vector<DrawItem> draw(const WaybillFields& f) {
    RecordingSurface s;
    print::layoutWaybill(f, s);
    std::vector<DrawItem> out;
    for (const auto& c : s.calls) out.push_back({c.size, c.x, c.y, c.text});
    return out;
}

}  // namespace

TEST(LayoutScale, RoundsTiesToEvenAndMapsHalfUp) {
    struct Case { int dpi; long long raw; int u; int x; };
    const Case cases[] = {
        {360, 22500, 190, 428},  // 427.5 rounds up
        {360, 22500, 30, 68},
        {203, 12688, 190, 241},  // 12687.5 → even 12688
        {203, 12688, 30, 38},
        {201, 12562, 190, 239},  // 12562.5 → even 12562; 238.678
        {600, 37500, 497, 1864},
        {1, 62, 160, 1},         // 62.5 → 62
        {3, 188, 0, 0},          // 187.5 → 188
        {-1, -62, 0, 0},         // -62.5 → -62 (even)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(print::scaleRaw(c.dpi), c.raw);
        EXPECT_EQ(print::mapPosition(c.raw, c.u, 0), c.x);
    }
    // Floor, not truncation, for a negative product; margins are unscaled.
    EXPECT_EQ(print::mapPosition(-22500, 1, 0), -2);  // floor(-1.75)
    EXPECT_EQ(print::mapPosition(22500, 190, -5), 423);
}

TEST(LayoutScale, OutOfRangePositionsRaise) {
    const std::int64_t big = print::scaleRaw(std::numeric_limits<std::int32_t>::max());
    EXPECT_THROW(print::mapPosition(big, 810, 0), print::LayoutRangeError);
    EXPECT_THROW(print::mapPosition(22500, 30, std::numeric_limits<std::int32_t>::max()), print::LayoutRangeError);
    EXPECT_THROW(print::mapPosition(-22500, 30, std::numeric_limits<std::int32_t>::min()), print::LayoutRangeError);
    EXPECT_EQ(print::mapPosition(0, 810, std::numeric_limits<std::int32_t>::min()),
              std::numeric_limits<std::int32_t>::min());
}

TEST(StrToInt, AcceptsTheClassicFormsAndRefusesTheRest) {
    struct Case { const char* text; std::optional<std::int32_t> value; };
    const Case cases[] = {
        {"0", 0}, {"360", 360}, {"-5", -5}, {"+7", 7}, {"  12", 12}, {"007", 7},
        {"2147483647", 2147483647}, {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"$1F", 31}, {"0x10", 16}, {"-0X10", -16}, {"$7FFFFFFF", 2147483647},
        {"", std::nullopt}, {" ", std::nullopt}, {"-", std::nullopt}, {"$", std::nullopt},
        {"Top", std::nullopt}, {"12 ", std::nullopt}, {"1.5", std::nullopt}, {"1e3", std::nullopt},
        {"2147483648", std::nullopt}, {"-2147483649", std::nullopt}, {"99999999999999999999", std::nullopt},
        {"$FFFFFFFF", std::nullopt}, {"0x", std::nullopt}, {"--1", std::nullopt}, {"\t1", std::nullopt},
        {"\x82\x50", std::nullopt},  // full-width digit one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(print::parseInt32(c.text), c.value);
    }
}

TEST(StrToInt, ErrorMessageQuotesTheTextInUtf8) {
    try {
        print::strToInt("\x82\x50\x82\x51");  // "１２"
        FAIL();
    } catch (const print::ConvertError& e) {
        EXPECT_STREQ(e.what(), "'１２' is not a valid integer value");
    }
}

TEST(Layout, PostalCodeBoxesTakeBytes1To3And5To8) {
    struct Case { const char* zip; std::vector<std::string> digits; };
    const Case cases[] = {
        {"123-4567", {"1", "2", "3", "4", "5", "6", "7"}},
        {"1234567", {"1", "2", "3", "5", "6", "7"}},              // the 4 is byte 4: skipped
        {"123-45678901", {"1", "2", "3", "4", "5", "6", "7"}},     // bytes past 8 ignored
        {"12", {"1", "2"}},
        {"", {}},
    };
    const int x360[7] = {428, 529, 630, 788, 898, 1008, 1118};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zip);
        WaybillFields f = blank();
        f.zip = c.zip;
        auto items = draw(f);
        ASSERT_EQ(items.size(), c.digits.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].text, c.digits[i]);
            EXPECT_EQ(items[i].y, 68);
            EXPECT_EQ(items[i].size, 14);
        }
    }
    // The 123-4567 example at 360 dpi lands on the documented pixels.
    WaybillFields f = blank();
    f.zip = "123-4567";
    auto items = draw(f);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(items[i].x, x360[i]) << i;
}

TEST(Layout, HalfOfADoubleByteCharacterIsNeverDrawnInAZipBox) {
    WaybillFields f = blank();
    // "１２-4567": bytes 1-4 are two full-width digits, so boxes 1-3 stay
    // empty; bytes 5-8 are "-456".
    f.zip = "\x82\x50\x82\x51-4567";
    auto items = draw(f);
    std::vector<std::string> texts;
    for (auto& i : items) texts.push_back(i.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"-", "4", "5", "6"}));
}

TEST(Layout, FullWaybillInTableOrderWithFontStateFirst) {
    WaybillFields f = onForm();
    f.dpix = f.dpiy = "360";
    f.zip = "123-4567";
    f.date = "2010/12/18";
    f.deDate1 = "10"; f.deDate2 = "12"; f.deDate3 = "24";
    f.add1 = "A1"; f.add2 = "A2"; f.g1 = "G1"; f.g2 = "G2"; f.g3 = "G3";
    f.custo1 = "NAME"; f.tel = "03-1234-5678";
    f.myZip = "987-6543"; f.myAdd1 = "M1"; f.myAdd2 = "M2"; f.my = "ME"; f.myTel = "06-1111-2222";
    f.timeBand[2] = true;
    f.special[0] = true;

    RecordingSurface s;
    print::layoutWaybill(f, s);
    ASSERT_EQ(s.calls.size(), 33u);
    for (const auto& c : s.calls) {
        EXPECT_EQ(c.face, print::kFaceName);
        EXPECT_EQ(c.color, print::kBlack);
        EXPECT_EQ(c.brush, print::kWhite);
    }
    // Text, size and form position of each item, in drawing order.
    struct Want { std::string text; int size, u, v; };
    const Want want[] = {
        {"1", 14, 190, 30}, {"2", 14, 235, 30}, {"3", 14, 280, 30}, {"4", 14, 350, 30},
        {"5", 14, 399, 30}, {"6", 14, 448, 30}, {"7", 14, 497, 30},
        {"10", 10, 560, 38}, {"12", 10, 630, 38}, {"18", 10, 690, 38},
        {"10", 10, 560, 96}, {"12", 10, 630, 96}, {"24", 10, 690, 96},
        {"A1", 10, 180, 80}, {"A2", 10, 180, 140},
        {"G1", 10, 810, 160}, {"G2", 10, 810, 190}, {"G3", 10, 810, 220},
        {"NAME", 10, 180, 240}, {"03-1234-5678", 10, 245, 290},
        {"9", 14, 190, 325}, {"8", 14, 235, 325}, {"7", 14, 280, 325}, {"6", 14, 350, 325},
        {"5", 14, 399, 325}, {"4", 14, 448, 325}, {"3", 14, 497, 325},
        {"M1", 10, 180, 380}, {"M2", 10, 180, 420}, {"ME", 10, 180, 485}, {"06-1111-2222", 12, 255, 520},
        {kMark, 18, 560, 236}, {kMark, 14, 655, 250},
    };
    for (std::size_t i = 0; i < s.calls.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s.calls[i].text, want[i].text);
        EXPECT_EQ(s.calls[i].size, want[i].size);
        EXPECT_EQ(s.calls[i].x, print::mapPosition(22500, want[i].u, 0));
        EXPECT_EQ(s.calls[i].y, print::mapPosition(22500, want[i].v, 0));
    }
}

TEST(Layout, MarginsShiftEveryItemUnscaledAtAnyResolution) {
    for (const char* dpi : {"203", "360", "600"}) {
        SCOPED_TRACE(dpi);
        WaybillFields f = blank(dpi);
        f.zip = "123-4567"; f.add1 = "A"; f.printSender = true; f.my = "B";
        f.timeBand[0] = true; f.special[4] = true;
        auto plain = draw(f);
        f.prnTop = "10";
        f.prnLeft = "-5";
        auto moved = draw(f);
        ASSERT_EQ(plain.size(), moved.size());
        for (std::size_t i = 0; i < plain.size(); ++i) {
            EXPECT_EQ(moved[i].x, plain[i].x - 5);
            EXPECT_EQ(moved[i].y, plain[i].y + 10);
        }
    }
}

TEST(Layout, BadCaptionsRaiseBeforeAnythingIsDrawn) {
    struct Case { const char* dpix; const char* dpiy; const char* top; const char* left; const char* message; };
    const Case cases[] = {
        {"360", "360", "Top", "", "'Top' is not a valid integer value"},
        {"360", "360", "", "Left", "'Left' is not a valid integer value"},
        {"", "360", "", "", "'' is not a valid integer value"},
        {"360", "x", "", "", "'x' is not a valid integer value"},
        {"abc", "x", "Top", "", "'abc' is not a valid integer value"},  // first bad one wins
        {"360", "360", " ", "", "' ' is not a valid integer value"},   // blank is not empty
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        WaybillFields f = blank();
        f.dpix = c.dpix; f.dpiy = c.dpiy; f.prnTop = c.top; f.prnLeft = c.left;
        f.zip = "123-4567";
        RecordingSurface s;
        try {
            print::layoutWaybill(f, s);
            ADD_FAILURE() << "no error";
        } catch (const print::ConvertError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_TRUE(s.calls.empty());
    }
}

TEST(Layout, HugeResolutionOrMarginRaisesRangeErrorBeforeDrawing) {
    struct Case { const char* dpi; const char* top; const char* left; bool fits; };
    const Case cases[] = {
        {"2147483647", "", "", false},
        {"-2147483648", "", "", false},
        {"500000000", "", "", false},          // 810 units × 3125000 px/unit
        {"360", "2147483647", "", false},      // 68 + max
        {"360", "-2147483648", "", true},      // every y is positive before the margin
        {"360", "", "-2147483648", true},
        {"2000000", "", "", true},             // largest items still fit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dpi) + " " + c.top + " " + c.left);
        WaybillFields f = blank(c.dpi);
        f.prnTop = c.top; f.prnLeft = c.left;
        f.zip = "1";
        f.g1 = "far right";
        RecordingSurface s;
        if (c.fits) {
            EXPECT_NO_THROW(print::layoutWaybill(f, s));
            EXPECT_EQ(s.calls.size(), 2u);
        } else {
            EXPECT_THROW(print::layoutWaybill(f, s), print::LayoutRangeError);
            EXPECT_TRUE(s.calls.empty());
        }
    }
}

TEST(Layout, CheckBoxesChooseWhatIsDrawn) {
    WaybillFields f = blank();
    f.date = "2010/12/18";
    f.deDate1 = "11";
    f.myZip = "123-4567"; f.myAdd1 = "a"; f.myAdd2 = "b"; f.my = "c"; f.myTel = "d";
    auto count = [](const std::vector<DrawItem>& items, int y) {
        int n = 0;
        for (auto& i : items) n += i.y == y;
        return n;
    };
    // Both unchecked: only the delivery date is left.
    auto items = draw(f);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, "11");
    EXPECT_EQ(items[0].y, 216);  // v = 96

    f.printDate = true;
    items = draw(f);
    EXPECT_EQ(count(items, 86), 3);  // v = 38
    EXPECT_EQ(items.size(), 4u);

    f.printDate = false;
    f.printSender = true;
    items = draw(f);
    EXPECT_EQ(items.size(), 1u + 7 + 4);
    EXPECT_EQ(items.back().size, 12);  // sender telephone

    // A short date leaves the missing boxes empty.
    f.printDate = true;
    f.printSender = false;
    f.date = "2010/1";
    items = draw(f);
    EXPECT_EQ(count(items, 86), 2);
}

TEST(Layout, MarksFirstTimeBandOnlyAndEverySpecialBox) {
    struct Case { std::array<bool, 6> band; std::array<bool, 5> special; std::vector<std::pair<int, int>> uv; };
    const Case cases[] = {
        {{}, {}, {}},
        {{true, false, false, false, false, false}, {}, {{560, 156}}},
        {{false, false, false, false, false, true}, {}, {{560, 356}}},
        {{false, true, false, true, false, true}, {}, {{560, 196}}},
        {{}, {false, false, true, true, false}, {{655, 300}, {655, 350}}},     // 空港 + 冷蔵
        {{}, {false, false, false, true, true}, {{655, 350}, {695, 350}}},     // 冷蔵 + 冷凍
        {{}, {false, true, false, false, false}, {{695, 250}}},
        {{true, true, true, true, true, true}, {true, true, true, true, true},
         {{560, 156}, {655, 250}, {695, 250}, {655, 300}, {655, 350}, {695, 350}}},
    };
    for (std::size_t n = 0; n < std::size(cases); ++n) {
        SCOPED_TRACE(n);
        WaybillFields f = blank("160");  // 1 px per form unit
        f.timeBand = cases[n].band;
        f.special = cases[n].special;
        auto items = draw(f);
        ASSERT_EQ(items.size(), cases[n].uv.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].text, kMark);
            EXPECT_EQ(items[i].x, cases[n].uv[i].first);
            EXPECT_EQ(items[i].y, cases[n].uv[i].second);
            EXPECT_EQ(items[i].size, items[i].x == 560 ? 18 : 14);
        }
    }
}

TEST(Layout, LongTextIsDrawnWholeOnOneCall) {
    WaybillFields f = blank();
    std::string sixty;
    for (int i = 0; i < 60; ++i) sixty += "\x82\xa0";  // 60 × "あ"
    f.add1 = sixty;
    f.g1 = std::string(300, 'x');
    auto items = draw(f);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, sixty);
    EXPECT_EQ(items[0].size, 10);
    EXPECT_EQ(items[1].text.size(), 300u);
}

TEST(Layout, SurfaceErrorsPropagate) {
    // Records like RecordingSurface, but the third text fails.
    struct Failing : print::Surface {
        RecordingSurface rec;
        void setFontName(const std::string& f) override { rec.setFontName(f); }
        void setFontSize(int p) override { rec.setFontSize(p); }
        void setFontColor(print::Color c) override { rec.setFontColor(c); }
        void setBrushColor(print::Color c) override { rec.setBrushColor(c); }
        void textOut(int x, int y, const std::string& t) override {
            if (rec.calls.size() == 2) throw std::runtime_error("surface broke");
            rec.textOut(x, y, t);
        }
    } s;
    WaybillFields f = blank();
    f.zip = "123-4567";
    EXPECT_THROW(print::layoutWaybill(f, s), std::runtime_error);
    EXPECT_EQ(s.rec.calls.size(), 2u);
}
