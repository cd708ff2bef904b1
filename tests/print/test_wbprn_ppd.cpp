// Reading a queue's paper sizes, input slots and resolution from its PPD.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

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
