// Keys of search and completion, and the CSV export.
#include <gtest/gtest.h>

#include "history/history_csv.h"
#include "history/history_text.h"
#include "text/sjis_convert.h"

namespace {
std::string S(const char* utf8) { return *sjis::fromUtf8(utf8); }
}  // namespace

TEST(HistoryText, KeysIgnoreWidthHyphensAndCase) {
    EXPECT_EQ(store::telKey(S("０３－１２３４（５６）78 9")), "03123456789");
    EXPECT_EQ(store::telKey(S("内線なし")), "");
    EXPECT_EQ(store::telKey("\x82"), "");  // a lone lead byte at the end

    const struct {
        const char* in;
        const char* want;
    } folds[] = {
        {"ＡＢＣ１２３－", "abc123-"},
        {"山田　太郎", "山田 太郎"},
        {"ﾔﾏﾀﾞ ﾊﾟﾝ ｳﾞｨ ｯﾄﾞ", "ヤマダ パン ヴィ ッド"},
        {"ｶﾟ ﾟ", "カ゜ ゜"},  // a mark that joins nothing stays as its own sign
        {"a\tb\x01" "c", "abc"},
        {"\xff\xc3(\xe3\x81", "("},  // invalid UTF-8 bytes are dropped
    };
    for (const auto& f : folds) EXPECT_EQ(store::searchFold(f.in), f.want) << f.in;

    EXPECT_EQ(store::prefixBound("03"), "04");
    EXPECT_EQ(store::prefixBound("a\xff\xff"), "b");
    EXPECT_EQ(store::prefixBound("\xff"), "");
    EXPECT_EQ(store::utf8Length("山田a"), 3u);
}

TEST(HistoryCsv, QuotesEveryFieldAndDisarmsFormulas) {
    const struct {
        const char* in;
        const char* want;
    } fields[] = {
        {"", "\"\""},
        {"山田", "\"山田\""},
        {"say \"hi\", ok\r\nnext", "\"say \"\"hi\"\", ok\r\nnext\""},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+81-3-1234", "\"'+81-3-1234\""},
        {"-1", "\"'-1\""},
        {"@SUM(A1)", "\"'@SUM(A1)\""},
        {"a=b", "\"a=b\""},
    };
    for (const auto& f : fields) EXPECT_EQ(store::csvField(f.in), f.want) << f.in;

    store::WaybillRecord r;
    r.time = "2026-12-01 10:00:00";
    r.consignee.name = S("山田太郎");
    r.deDate1 = "26";
    r.deDate2 = "12";
    r.deDate3 = "03";
    r.timeBand[0] = true;
    r.special = {false, true, false, false, true};
    r.printDate = false;
    r.job = 7;
    r.orderNo = "#1001";
    r.tracking = "123456789013";
    const std::string csv = store::historyCsv(std::span(&r, 1));
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF\"印刷日時\",", 0), 0u);
    const std::string row = csv.substr(csv.find("\r\n") + 2);
    EXPECT_EQ(row,
              "\"2026-12-01 10:00:00\",\"\",\"7\",\"\",\"\",\"\",\"\",\"山田太郎\",\"\",\"\",\"0\",\"26/12/03\","
              "\"\",\"\",\"\",\"午前中\",\"スキー 冷凍\",\"1\",\"\",\"\",\"\",\"\",\"\",\"#1001\",\"123456789013\"\r\n");
}
