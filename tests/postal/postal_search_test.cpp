// Address → postal code and the code-against-address check, on the bundled
// table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "postal/address_key.h"
#include "postal/postal_search.h"
#include "postal/town_key.h"
#include "tests/postal/postal_fixture.h"

namespace {

std::vector<std::string> zips(const std::vector<postal::Candidate>& cs) {
    std::vector<std::string> out;
    for (const auto& c : cs) out.push_back(c.zip);
    return out;
}

}  // namespace

TEST(PostalReverse, AddressesWrittenInTheUsualWays) {
    struct Case {
        const char* address;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"東京都港区芝公園4-2-8", {"1050011"}},
        {"港区芝公園４－２－８", {"1050011"}},           // no prefecture, full-width
        {"東京都　港区 芝公園", {"1050011"}},            // blanks
        {"千代田区霞ヶ関1-2-2", {"1000013"}},            // ヶ for ケ/が
        {"千代田区霞ケ関", {"1000013"}},
        {"台東区池の端1", {"1100008"}},                   // の for 之
        {"多摩市一の宮3", {"2060002"}},                   // の for ノ
        {"榛東村長岡", {"3703501"}},                      // 郡 left out
        {"群馬県北群馬郡榛東村長岡", {"3703501"}},
        {"東京都港区", {"1050000"}},                      // the city alone
        {"東京都港区芝5-1", {"1050014", "1080014"}},      // a town on two codes
        {"府中市", {"1830000", "7260000"}},               // two cities of one name
        {"広島県府中市", {"7260000"}},
        {"東京都港区芝公", {"1050011"}},                  // stops inside a town's name
        // 大通西 1-19丁目 and from 20丁目 have codes of their own.
        {"北海道札幌市中央区大通西5", {"0600042", "0640820"}},
        {"ほげほげ", {}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zips(postal::reverseLookup(bundledTable(), sj(c.address))), c.want) << c.address;
}

TEST(PostalReverse, AnAmbiguousPrefixOffersEveryTownItBegins) {
    const auto cs = postal::reverseLookup(bundledTable(), sj("東京都港区芝"));
    const auto z = zips(cs);
    // 芝 itself (two codes), 芝浦 (two), 芝公園 and 芝大門.
    for (const char* want : {"1050011", "1050012", "1050014", "1050023", "1080014", "1080023"})
        EXPECT_NE(std::find(z.begin(), z.end(), want), z.end()) << want;
    EXPECT_EQ(postal::reverseLookup(bundledTable(), sj("東京都"), 5).size(), 5u);
}

TEST(PostalCheck, CodeAgainstAddress) {
    struct Case {
        const char* zip;
        const char* address;
        bool known, matches;
    };
    const Case cases[] = {
        {"1050011", "東京都港区芝公園4-2-8", true, true},
        {"105-0011", "港区芝公園4-2-8", true, true},     // prefecture left out
        {"1050011", "東京都港区六本木", true, false},     // another town of the city
        {"1050011", "大阪府大阪市北区梅田", true, false},
        {"1050011", "東京都千代田区", true, false},
        {"1050011", "", true, false},
        {"3703501", "榛東村長岡", true, true},
        {"1900100", "東京都西多摩郡日の出町平井", true, true},  // second of two cities
        {"0000000", "東京都港区", false, false},
        {"abc", "東京都港区", false, false},
    };
    for (const Case& c : cases) {
        const auto r = postal::checkAddress(bundledTable(), c.zip, sj(c.address));
        EXPECT_EQ(r.known, c.known) << c.zip << " " << c.address;
        EXPECT_EQ(r.matches, c.matches) << c.zip << " " << c.address;
        EXPECT_EQ(r.expected.empty(), !c.known);
    }
}

TEST(PostalKey, FoldsTheVariantsOfOneAddress) {
    const std::string key = postal::addressKey(sj("東京都　港区 芝公園４－２－８"));
    EXPECT_EQ(key, postal::addressKey(sj("東京都港区芝公園4-2-8")));
    EXPECT_EQ(postal::addressKey(sj("霞ヶ関")), postal::addressKey(sj("霞が関")));
    EXPECT_EQ(postal::addressKey(sj("霞ヶ関")), postal::addressKey(sj("霞ケ関")));
    EXPECT_EQ(postal::addressKey(sj("一之江")), postal::addressKey(sj("一ノ江")));
    EXPECT_EQ(postal::addressKey(sj("ＡＢｃ")), "ABC");
    EXPECT_EQ(postal::afterGun(sj("北群馬郡榛東村")), sj("榛東村"));
    EXPECT_EQ(postal::afterGun(sj("港区")), "");
    EXPECT_EQ(postal::townKey(sj("大字北二十一条〇一（１～３丁目）")), postal::townKey(sj("北21条1")));
    EXPECT_FALSE(postal::beginsWithTown("AB12", "AB1"));  // 本町1 does not begin 本町12
}
