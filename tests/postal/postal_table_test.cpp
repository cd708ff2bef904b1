// The table reader: code lookups on the bundled table, the accepted ways of
// writing a code, and refusal of damaged or hostile table files.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "postal/table_format.h"
#include "postal/table_locator.h"
#include "postal/table_writer.h"
#include "tests/postal/postal_fixture.h"
#include "tests/support/scratch_folder.h"

using postal::Candidate;
using postal::Table;
using postal::TableError;

namespace {

// "pref city town" of every candidate, in UTF-8.
std::vector<std::string> places(const std::vector<Candidate>& cs) {
    std::vector<std::string> out;
    for (const Candidate& c : cs) out.push_back(u8(c.pref) + " " + u8(c.city) + " " + u8(c.town));
    return out;
}

}  // namespace

TEST(PostalLookup, KnownCodesOfTheBundledTable) {
    struct Case {
        const char* zip;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"1050011", {"東京都 港区 芝公園"}},
        {"1000013", {"東京都 千代田区 霞が関"}},
        {"0600042", {"北海道 札幌市中央区 大通西"}},
        {"9071801", {"沖縄県 八重山郡与那国町 与那国"}},
        // The code for the towns a city's list does not name.
        {"1050000", {"東京都 港区 "}},
        // One code for two cities.
        {"1900100", {"東京都 あきる野市 ", "東京都 西多摩郡日の出町 "}},
        // A town split over two codes: each code names it.
        {"1050014", {"東京都 港区 芝"}},
        {"1080014", {"東京都 港区 芝"}},
        // A floor of a high-rise: its building's block stands for it.
        {"1006001", {"東京都 千代田区 霞が関霞が関ビル"}},
        {"0000000", {}},
        {"1006", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(places(bundledTable().lookup(c.zip)), c.want) << c.zip;
}

TEST(PostalLookup, OneCodeForManyTownsKeepsTheDataOrder) {
    const auto cs = bundledTable().lookup("4380078");
    ASSERT_EQ(cs.size(), 17u);
    EXPECT_EQ(u8(cs.front().town), "旭ケ丘");
    EXPECT_EQ(u8(cs.back().town), "本町");
    for (const Candidate& c : cs) EXPECT_EQ(c.zip, "4380078");
    EXPECT_EQ(u8(cs.front().prefKana), "ｼｽﾞｵｶｹﾝ");
    EXPECT_EQ(u8(cs.front().cityKana), "ｲﾜﾀｼ");
}

TEST(PostalLookup, CodeWrittenInTheUsualWays) {
    struct Case {
        std::string text;
        const char* digits;  // nullptr: not a code
    };
    const Case cases[] = {
        {"1050011", "1050011"},
        {"105-0011", "1050011"},
        {sj("１０５－００１１"), "1050011"},
        {sj("〒105-0011"), "1050011"},
        {sj("　105ー0011 "), "1050011"},
        {"10500111", nullptr},
        {"105-001", nullptr},
        {"1050-011", nullptr},
        {"105 0011", nullptr},
        {"105--0011", nullptr},
        {"abc", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        const auto d = postal::zipDigits(c.text);
        EXPECT_EQ(d.value_or("none"), c.digits ? c.digits : "none") << u8(c.text);
    }
    EXPECT_EQ(postal::formatZip("1050011"), "105-0011");
    EXPECT_EQ(bundledTable().lookup(sj("〒１０５－００１１")), bundledTable().lookup("1050011"));
}

TEST(PostalLookup, PrefixesOfThreeAndFiveDigits) {
    const auto three = bundledTable().lookupPrefix("105");
    ASSERT_GT(three.size(), 10u);
    for (std::size_t i = 0; i < three.size(); ++i) {
        EXPECT_EQ(three[i].zip.substr(0, 3), "105");
        if (i > 0) {
            EXPECT_LE(three[i - 1].zip, three[i].zip);
        }
    }
    const auto five = bundledTable().lookupPrefix("105-00");
    ASSERT_FALSE(five.empty());
    EXPECT_EQ(five.front().zip, "1050000");
    for (const Candidate& c : five) EXPECT_EQ(c.zip.substr(0, 5), "10500");
    EXPECT_EQ(bundledTable().lookupPrefix("1", 5).size(), 5u);
    EXPECT_TRUE(bundledTable().lookupPrefix("x").empty());
    EXPECT_GT(bundledTable().entryCount(), 100000u);
}

// ---- Damaged and hostile tables ------------------------------------------

namespace {

std::string smallTable() {
    postal::TableRow a{"1050011", sj("東京都"), "", sj("港区"), "", sj("芝公園"), "", "", false};
    postal::TableRow b{"1500002", sj("東京都"), "", sj("渋谷区"), "", sj("渋谷"), "", "", false};
    return postal::encodeTable({a, b});
}

void putU32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The bytes with one 32-bit field changed and the checksum made right
// again, so the reader's own checks of counts and offsets are what must
// catch the damage.
std::string withField(std::string b, std::size_t at, std::uint32_t v) {
    putU32(b, at, v);
    putU32(b, 32, postal::format::checksum(std::string_view(b).substr(postal::format::kHeaderBytes)));
    return b;
}

}  // namespace

TEST(PostalTableFile, DamagedOrHostileFilesAreRefused) {
    const std::string good = smallTable();
    ASSERT_EQ(Table(good).lookup("1050011").size(), 1u);
    // Layout of smallTable(): 1 prefecture, 2 cities, 2 entries.
    const std::size_t cities = 40 + 8;
    const std::size_t entries = cities + 2 * 12;
    const std::size_t blob = entries + 2 * 12;  // where the string area starts
    std::string flipped = good;
    flipped[good.size() - 1] ^= 0x01;
    std::string oddString = good;
    oddString[blob + 1] = '\x7F';  // the empty string at offset 0 gets a huge length
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"truncated header", good.substr(0, 20)},
        {"truncated body", good.substr(0, good.size() - 1)},
        {"one byte more", good + "x"},
        {"bad magic", "XPPOSTAL" + good.substr(8)},
        {"other version", withField(good, 8, 2)},
        {"checksum", flipped},
        {"huge entry count", withField(good, 24, 0xFFFFFFFFu)},
        {"huge city count", withField(good, 20, 0x10000000u)},
        {"string area past the end", withField(good, 28, 0xFFFFFFF0u)},
        {"prefecture name past the end", withField(good, 40, 0x7FFFFFFFu)},
        {"city of a missing prefecture", withField(good, cities + 8, 5)},
        {"entry of a missing city", withField(good, entries + 4, 9)},
        {"unknown flags", withField(good, entries + 4, 0x00100000u)},
        {"record past the end", withField(good, entries + 8, static_cast<std::uint32_t>(good.size()))},
        {"code of eight digits", withField(good, entries, 10000000u)},
        {"codes out of order", withField(good, entries, 9999999u)},
        {"string longer than the area", withField(oddString, 36, 0)},
    };
    for (const auto& [name, bytes] : cases) EXPECT_THROW(Table{bytes}, TableError) << name;
}

TEST(PostalTableFile, WrittenRowsReadBackWhole) {
    postal::TableRow home{"1000013", sj("東京都"), sj("ﾄｳｷｮｳﾄ"), sj("千代田区"), sj("ﾁﾖﾀﾞｸ"),
                          sj("霞が関"), sj("ｶｽﾐｶﾞｾｷ"), "", false};
    postal::TableRow office{"1008926", sj("東京都"), "", sj("千代田区"), "", sj("霞が関１丁目２－２"), "",
                            sj("厚生労働省"), true};
    const Table t(postal::encodeTable({office, home}));
    const auto h = t.lookup("1000013");
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(h[0], (Candidate{"1000013", home.pref, home.city, home.town, home.townKana, home.prefKana,
                               home.cityKana, "", false}));
    const auto o = t.lookup("1008926");
    ASSERT_EQ(o.size(), 1u);
    EXPECT_TRUE(o[0].business);
    EXPECT_EQ(u8(o[0].office), "厚生労働省");
    // Kana given by one row of a city serves every row of it.
    EXPECT_EQ(u8(o[0].cityKana), "ﾁﾖﾀﾞｸ");
    EXPECT_THROW(postal::encodeTable({postal::TableRow{"105001", "", "", "", "", "", "", "", false}}),
                 std::invalid_argument);
}

TEST(PostalTableFile, SearchOrderAndLoadingOnFirstUse) {
    ScratchFolder base;
    const auto paths = postal::tablePaths(base.path(), "/opt/vp/bin");
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[0], base.file("vamu_Pelican_postal.bin"));
    EXPECT_EQ(paths[1].rfind("/opt/vp/bin/../", 0), 0u);
    EXPECT_EQ(paths[1].substr(paths[1].size() - 26), "vamu-pelican/jp_postal.bin");
    EXPECT_EQ(paths[2], VP_BUNDLED_TABLE);

    // Without an imported table the bundled one is read, on the first get().
    postal::LazyTable lazy(base.path(), "");
    EXPECT_TRUE(lazy.path().empty());
    ASSERT_NE(lazy.get(), nullptr);
    EXPECT_EQ(lazy.path(), VP_BUNDLED_TABLE);
    // An imported table is preferred once it is there and the table is read again.
    spit(base.file("vamu_Pelican_postal.bin"), smallTable());
    lazy.reset();
    ASSERT_NE(lazy.get(), nullptr);
    EXPECT_EQ(lazy.get()->entryCount(), 2u);
    // A damaged one is passed over for the bundled one, and that is told
    // once; nothing throws.
    spit(base.file("vamu_Pelican_postal.bin"), smallTable().substr(0, 100));
    lazy.reset();
    ASSERT_NE(lazy.get(), nullptr);
    EXPECT_EQ(lazy.path(), VP_BUNDLED_TABLE);
    EXPECT_GT(lazy.get()->entryCount(), 100000u);
    const std::string notice = lazy.takeNotice();
    EXPECT_NE(notice.find(base.file("vamu_Pelican_postal.bin")), std::string::npos) << notice;
    EXPECT_NE(notice.find("同梱"), std::string::npos) << notice;
    EXPECT_EQ(lazy.takeNotice(), "");
    // With no other file to fall back to, the lookups are off with a reason.
    for (const std::string& only : {base.file("none.bin"), base.file("vamu_Pelican_postal.bin")}) {
        postal::LazyTable fixed(only);
        EXPECT_EQ(fixed.get(), nullptr) << only;
        EXPECT_FALSE(fixed.error().empty()) << only;
    }
}
