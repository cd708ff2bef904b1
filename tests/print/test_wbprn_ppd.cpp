// Reading a queue's paper sizes, input slots and resolution from its PPD.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "print/Wbprn/continuous_form.h"
#include "print/Wbprn/cups/queue_capabilities.h"
#include "text/sjis_qt.h"

using wbprn::parseResolution;
using wbprn::readPpdCapabilities;

namespace {
const std::string kPpdDir = VP_TEST_PPD_DIR;
}

TEST(QueueCapabilitiesPpd, PapersBinsDefaultsAndPrintableArea) {
    const auto caps = readPpdCapabilities((kPpdDir + "/wb360.ppd").c_str());
    ASSERT_TRUE(caps);
    ASSERT_EQ(caps->papers.size(), 3u);
    struct Want {
        std::uint16_t code;
        const char* keyword;
        const char* name;
        double w, l, left, top;
    };
    const Want want[] = {{256, "Slip", "送り状", 612, 396, 9, 9},
                         {9, "A4", "A4", 595, 842, 18, 18},
                         {1, "Letter", "Letter", 612, 792, 18, 18}};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& p = caps->papers[i];
        EXPECT_EQ(p.code, want[i].code) << i;
        EXPECT_EQ(p.keyword, want[i].keyword);
        EXPECT_EQ(p.name, QString::fromUtf8(want[i].name));
        EXPECT_DOUBLE_EQ(p.widthPt, want[i].w);
        EXPECT_DOUBLE_EQ(p.lengthPt, want[i].l);
        EXPECT_DOUBLE_EQ(p.leftPt, want[i].left);
        EXPECT_DOUBLE_EQ(p.topPt, want[i].top);
    }
    ASSERT_EQ(caps->bins.size(), 3u);
    EXPECT_EQ(caps->bins[0].name, QStringLiteral("手差し"));
    EXPECT_EQ(caps->bins[1].keyword, "Tractor");
    EXPECT_EQ(caps->bins[2].code, 258);
    EXPECT_EQ(caps->defaultPaper, 256);
    EXPECT_EQ(caps->defaultBin, 256);
    EXPECT_EQ(caps->dpiX, 360);
    EXPECT_EQ(caps->dpiY, 360);

    const auto low = readPpdCapabilities((kPpdDir + "/wb203.ppd").c_str());
    ASSERT_TRUE(low);
    EXPECT_EQ(low->dpiX, 203);
    EXPECT_EQ(low->defaultPaper, 9);
    EXPECT_EQ(low->bins.size(), 2u);
}

TEST(QueueCapabilitiesPpd, ShiftJisPpdAndUnreadableFiles) {
    const std::string path = testing::TempDir() + "/sjis.ppd";
    {
        std::ofstream out(path, std::ios::binary);
        out << "*PPD-Adobe: \"4.3\"\n*LanguageEncoding: JIS83-RKSJ\n*ModelName: \"x\"\n"
            << "*OpenUI *InputSlot/Source: PickOne\n*DefaultInputSlot: Tractor\n"
            << "*InputSlot Tractor/" << sjis::fromQString(QStringLiteral("トラクタ")) << ": \"\"\n"
            << "*CloseUI: *InputSlot\n*DefaultResolution: 180x360dpi\n";
    }
    const auto caps = readPpdCapabilities(path.c_str());
    ASSERT_TRUE(caps);
    ASSERT_EQ(caps->bins.size(), 1u);
    EXPECT_EQ(caps->bins[0].name, QStringLiteral("トラクタ"));
    EXPECT_TRUE(caps->papers.empty());
    EXPECT_EQ(caps->dpiX, 180);
    EXPECT_EQ(caps->dpiY, 360);
    std::remove(path.c_str());

    EXPECT_FALSE(readPpdCapabilities((testing::TempDir() + "/missing.ppd").c_str()));
}

TEST(QueueCapabilitiesPpd, ResolutionTexts) {
    struct Case {
        const char* text;
        int x, y;  // 0: not a resolution
    };
    for (Case c : {Case{"360dpi", 360, 360}, Case{"360x180dpi", 360, 180}, Case{"600dpcm", 0, 0},
                   Case{"0dpi", 0, 0}, Case{"-300dpi", 0, 0}, Case{"", 0, 0}, Case{"dpi", 0, 0}}) {
        const auto r = parseResolution(c.text);
        if (c.x == 0) {
            EXPECT_FALSE(r) << c.text;
        } else {
            ASSERT_TRUE(r) << c.text;
            EXPECT_EQ(r->first, c.x);
            EXPECT_EQ(r->second, c.y);
        }
    }
    EXPECT_FALSE(parseResolution(nullptr));
}

TEST(QueueCapabilitiesPpd, ThePageOfOneContinuousFormComesFirstWhereTheQueueHasOne) {
    const std::string custom =
        "*HWMargins: 18 12 18 6\n*VariablePaperSize: True\n*MaxMediaWidth: \"%W\"\n*MaxMediaHeight: \"%H\"\n"
        "*CustomPageSize True: \"pop pop pop <</PageSize[5 -2 roll]/ImagingBBox null>>setpagedevice\"\n"
        "*ParamCustomPageSize Width: 1 points 36 %W\n*ParamCustomPageSize Height: 2 points 36 %H\n"
        "*ParamCustomPageSize WidthOffset: 3 points 0 0\n*ParamCustomPageSize HeightOffset: 4 points 0 0\n"
        "*ParamCustomPageSize Orientation: 5 int 0 0\n";
    auto customUpTo = [&](const char* w, const char* h) {
        std::string text = custom;
        for (std::size_t at; (at = text.find("%W")) != std::string::npos;) text.replace(at, 2, w);
        for (std::size_t at; (at = text.find("%H")) != std::string::npos;) text.replace(at, 2, h);
        return text;
    };
    struct Case {
        const char* what;
        std::string extra;      // PPD lines besides Letter
        const char* keyword;    // of the one-form page; empty: none listed
        double left, top, right, bottom;
    };
    const Case cases[] = {
        {"custom sizes up to 15 x 1200 inches", customUpTo("1080", "86400"), "Custom.8x4in", 18, 6, 558, 276},
        {"custom sizes too short for a form", customUpTo("1080", "252"), "", 0, 0, 0, 0},
        {"custom sizes too narrow for a form", customUpTo("540", "86400"), "", 0, 0, 0, 0},
        {"a size of its own 4 inches long",
         "*PageSize Form4/Form: \"\"\n*PaperDimension Form4/Form: \"612 288\"\n*ImageableArea Form4/Form: \"9 9 603 279\"\n",
         "Form4", 9, 9, 603, 279},
        {"nothing one form long", "", "", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const std::string path = testing::TempDir() + "/form.ppd";
        {
            std::ofstream out(path, std::ios::binary);
            out << "*PPD-Adobe: \"4.3\"\n*LanguageEncoding: UTF-8\n*ModelName: \"x\"\n"
                << "*OpenUI *PageSize/Media Size: PickOne\n*DefaultPageSize: Letter\n*PageSize Letter/US Letter: \"\"\n"
                << "*CloseUI: *PageSize\n*PaperDimension Letter/US Letter: \"612 792\"\n"
                << "*ImageableArea Letter/US Letter: \"18 18 594 774\"\n"
                << c.extra;
        }
        const auto caps = readPpdCapabilities(path.c_str());
        ASSERT_TRUE(caps) << c.what;
        for (std::size_t i = 1; i < caps->papers.size(); ++i)
            EXPECT_NE(caps->papers[i].keyword, "Custom") << c.what << ": a range is no paper";
        const auto& first = caps->papers.at(0);
        if (!*c.keyword) {
            EXPECT_NE(first.code, wbprn::kContinuousFormPaperCode) << c.what;
            EXPECT_EQ(caps->defaultPaper, 1) << c.what;
            continue;
        }
        EXPECT_EQ(first.keyword, c.keyword) << c.what;
        EXPECT_EQ(first.code, wbprn::kContinuousFormPaperCode) << c.what;
        EXPECT_EQ(first.name, QStringLiteral("送り状（連続 4インチ）")) << c.what;
        EXPECT_DOUBLE_EQ(first.lengthPt, 288) << c.what;
        EXPECT_DOUBLE_EQ(first.leftPt, c.left) << c.what;
        EXPECT_DOUBLE_EQ(first.topPt, c.top) << c.what;
        EXPECT_DOUBLE_EQ(first.rightPt, c.right) << c.what;
        EXPECT_DOUBLE_EQ(first.bottomPt, c.bottom) << c.what;
        EXPECT_EQ(caps->defaultPaper, 1) << c.what << ": the queue's own default stays";
        std::remove(path.c_str());
    }
}

TEST(ContinuousForm, PagesPerForm) {
    struct Case {
        double lengthPt, forms;
        bool whole, oneForm;
    };
    for (Case c : {Case{288, 1, true, true}, Case{288.4, 1, true, true}, Case{576, 2, true, false},
                   Case{792, 2.75, false, false}, Case{252, 0.875, false, false}, Case{0, 0, false, false}}) {
        const wbprn::FormFeed f = wbprn::formFeedOf(c.lengthPt);
        EXPECT_DOUBLE_EQ(f.forms, c.forms) << c.lengthPt;
        EXPECT_EQ(f.whole, c.whole) << c.lengthPt;
        EXPECT_EQ(f.oneForm(), c.oneForm) << c.lengthPt;
    }
}
