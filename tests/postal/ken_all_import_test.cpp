// The importer of Japan Post's CSV files, on small samples in their format.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "postal/ken_all_import.h"
#include "postal/postal_search.h"
#include "tests/postal/postal_fixture.h"
#include "store/file_error.h"
#include "tests/support/scratch_folder.h"

namespace {

// KEN_ALL rows: code, town reading, prefecture, city, town.
std::string kenAllRow(const char* zip, const char* kana, const char* pref, const char* city, const char* town) {
    return std::string("\"13101\",\"100  \",\"") + zip + "\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"" + kana + "\",\"" + pref +
           "\",\"" + city + "\",\"" + town + "\",0,0,0,0,0,0\r\n";
}

const std::string kKenAll = sj(
    kenAllRow("1000000", "ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ", "東京都", "千代田区", "以下に掲載がない場合") +
    kenAllRow("1000013", "ｶｽﾐｶﾞｾｷ(ﾂｷﾞﾉﾋﾞﾙｦﾉｿﾞｸ)", "東京都", "千代田区", "霞が関（次のビルを除く）") +
    kenAllRow("1000013", "ｶｽﾐｶﾞｾｷ(ｿﾉﾀ)", "東京都", "千代田区", "霞が関（その他）") +
    kenAllRow("1006090", "ｶｽﾐｶﾞｾｷｶｽﾐｶﾞｾｷﾋﾞﾙ(ﾁｶｲ･ｶｲｿｳﾌﾒｲ)", "東京都", "千代田区", "霞が関霞が関ビル（地階・階層不明）") +
    kenAllRow("1006012", "ｶｽﾐｶﾞｾｷｶｽﾐｶﾞｾｷﾋﾞﾙ(12ｶｲ)", "東京都", "千代田区", "霞が関霞が関ビル（１２階）") +
    kenAllRow("0285102", "ｸｽﾞﾏｷ(ﾀﾞｲ40ﾁﾜﾘ", "岩手県", "岩手郡葛巻町", "葛巻（第４０地割「５７番地１２５、") +
    kenAllRow("0285102", "57ﾊﾞﾝﾁ125)", "岩手県", "岩手郡葛巻町", "１７６を除く」～第４５地割）") +
    kenAllRow("4090211", "ｺｽｹﾞﾑﾗﾉﾂｷﾞﾆ664ﾊﾞﾝﾁｲｺｳｶﾞｸﾙﾊﾞｱｲ", "山梨県", "北都留郡小菅村",
              "小菅村の次に６６４番地以降がくる場合") +
    kenAllRow("3771524", "ﾂﾏｺﾞｲﾑﾗｲﾁｴﾝ", "群馬県", "吾妻郡嬬恋村", "嬬恋村一円") +
    kenAllRow("5220341", "ｲﾁｴﾝ", "滋賀県", "犬上郡多賀町", "一円") + "\x1A");

const std::string kJigyosyo =
    sj("\"13101\",\"(ｶﾌﾞ) ﾆﾎﾝﾕｳｾｲ\",\"株式会社　日本郵政\",\"東京都\",\"千代田区\",\"大手町\",\"２丁目３－１\","
       "\"1008798\",\"100  \",\"銀座\",0,0,0\r\n");

}  // namespace

TEST(PostalImport, KenAllQuirksAreResolved) {
    struct Want {
        const char* zip;
        const char* town;
        const char* kana;
    };
    const Want want[] = {
        {"1000000", "", ""},
        {"1000013", "霞が関", "ｶｽﾐｶﾞｾｷ"},  // its second row names the same town: kept once
        {"1006090", "霞が関霞が関ビル", "ｶｽﾐｶﾞｾｷｶｽﾐｶﾞｾｷﾋﾞﾙ"},
        {"1006012", "霞が関霞が関ビル１２階", "ｶｽﾐｶﾞｾｷｶｽﾐｶﾞｾｷﾋﾞﾙ12ｶｲ"},
        {"0285102", "葛巻", "ｸｽﾞﾏｷ"},  // two rows joined
        {"4090211", "", ""},
        {"3771524", "", ""},
        {"5220341", "一円", "ｲﾁｴﾝ"},  // a town really named so
    };
    const auto rows = postal::readKenAll(kKenAll, "KEN_ALL.CSV");
    ASSERT_EQ(rows.size(), std::size(want));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].zip, want[i].zip);
        EXPECT_EQ(u8(rows[i].town), want[i].town) << want[i].zip;
        EXPECT_EQ(u8(rows[i].townKana), want[i].kana) << want[i].zip;
        EXPECT_FALSE(rows[i].business);
    }
    EXPECT_EQ(u8(rows[4].city), "岩手郡葛巻町");
    EXPECT_EQ(u8(rows[4].prefKana), "ﾄｳｷｮｳﾄ");
}

TEST(PostalImport, ImportedTableServesHomesAndBusinesses) {
    ScratchFolder dir;
    spit(dir.file("KEN_ALL.CSV"), kKenAll);
    spit(dir.file("JIGYOSYO.CSV"), kJigyosyo);
    const std::string out = dir.file("table.bin");
    EXPECT_EQ(postal::importTable(dir.file("KEN_ALL.CSV"), dir.file("JIGYOSYO.CSV"), out), 9u);
    const postal::Table t = postal::Table::load(out);
    const auto office = t.lookup("1008798");
    ASSERT_EQ(office.size(), 1u);
    EXPECT_TRUE(office[0].business);
    EXPECT_EQ(u8(office[0].town), "大手町２丁目３－１");
    EXPECT_EQ(u8(office[0].office), "株式会社　日本郵政");
    EXPECT_EQ(u8(office[0].cityKana), "ﾁﾖﾀﾞｸ");
    const auto back = postal::reverseLookup(t, sj("千代田区霞ヶ関3-1"));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].zip, "1000013");
    EXPECT_EQ(postal::importTable(dir.file("KEN_ALL.CSV"), "", out), 8u);
    EXPECT_TRUE(postal::Table::load(out).lookup("1008798").empty());
}

TEST(PostalImport, MalformedFileNamesItsLineAndKeepsTheOldTable) {
    const std::string good = sj(kenAllRow("1000013", "ｶｽﾐｶﾞｾｷ", "東京都", "千代田区", "霞が関"));
    // A town that ends in the first byte of a double-byte character.
    std::string halfCharacter = sj(kenAllRow("1000013", "", "東京都", "千代田区", "@"));
    halfCharacter.replace(halfCharacter.find('@'), 1, "\x82");
    struct Case {
        std::string kenAll;
        const char* message;  // the start of the error's text
    };
    const Case cases[] = {
        {good + good + "\"1\",\"2\"\r\n", "KEN_ALL.CSV 3行目: 列の数が15ではありません"},
        {good + sj(kenAllRow("105001", "", "東京都", "港区", "芝")), "KEN_ALL.CSV 2行目: 郵便番号が7桁"},
        {good + sj(kenAllRow("1050011", "", "", "港区", "芝")), "KEN_ALL.CSV 2行目: 都道府県名か"},
        {good + "\"13101\",\"100  \",\"1000013\r\n", "KEN_ALL.CSV 2行目: 引用符が閉じていません"},
        {good + "\"13101\"x,\"100\"\r\n", "KEN_ALL.CSV 2行目: 引用符の後に"},
        {good + halfCharacter, "KEN_ALL.CSV 2行目: Shift-JIS"},
        {"", "KEN_ALL.CSV 1行目: データがありません"},
        {"\r\n\r\n", "KEN_ALL.CSV 1行目: データがありません"},
    };
    ScratchFolder dir;
    const std::string out = dir.file("table.bin");
    spit(out, "old table bytes");
    for (const Case& c : cases) {
        spit(dir.file("KEN_ALL.CSV"), c.kenAll);
        try {
            postal::importTable(dir.file("KEN_ALL.CSV"), "", out);
            ADD_FAILURE() << c.message;
        } catch (const postal::ImportError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
        EXPECT_EQ(slurp(out), "old table bytes");
    }
    // A business file with the wrong columns, and a missing file.
    spit(dir.file("KEN_ALL.CSV"), good);
    spit(dir.file("JIGYOSYO.CSV"), good);
    EXPECT_THROW(postal::importTable(dir.file("KEN_ALL.CSV"), dir.file("JIGYOSYO.CSV"), out), postal::ImportError);
    EXPECT_THROW(postal::importTable(dir.file("none.csv"), "", out), FileError);
    EXPECT_EQ(slurp(out), "old table bytes");
}

// A town whose bracket never closes is joined over a few rows of its code
// only; the rows after them stand as towns of their own.
TEST(PostalImport, JoiningOfAnUnclosedTownStopsAfterAFewRows) {
    std::string csv = sj(kenAllRow("1000001", "", "東京都", "千代田区", "千代田（"));
    for (int i = 1; i < 40; ++i) csv += sj(kenAllRow("1000001", "", "東京都", "千代田区", ("町" + std::to_string(i)).c_str()));
    const auto rows = postal::readKenAll(csv, "KEN_ALL.CSV");
    ASSERT_GT(rows.size(), 20u);
    ASSERT_LT(rows.size(), 35u);
    EXPECT_EQ(u8(rows[0].town), "千代田");
    EXPECT_EQ(u8(rows.back().town), "町39");
}

// A table over the reader's size limit (64 MB) is refused before the old
// one is touched: the program could not read it. (Business rows carry three
// long texts each, so the file that makes such a table is quick to read.)
TEST(PostalImport, ATableTheReaderWouldRefuseIsNeverWritten) {
    ScratchFolder dir;
    std::string business;
    for (int i = 0; i < 540; ++i) {
        std::string office = std::to_string(i);
        office.resize(64000, 'a');
        const std::string half = office.substr(0, 32000);  // the town is 町域 and 番地 joined
        business += "\"13101\",\"x\",\"" + office + "\",\"" + sj("東京都") + "\",\"" + sj("千代田区") + "\",\"" + half +
                    "\",\"" + half + "\",\"1008798\",\"100  \",\"x\",0,0,0\r\n";
    }
    spit(dir.file("KEN_ALL.CSV"), sj(kenAllRow("1000013", "ｶｽﾐｶﾞｾｷ", "東京都", "千代田区", "霞が関")));
    spit(dir.file("JIGYOSYO.CSV"), business);
    const std::string out = dir.file("table.bin");
    spit(out, "old table bytes");
    try {
        postal::importTable(dir.file("KEN_ALL.CSV"), dir.file("JIGYOSYO.CSV"), out);
        ADD_FAILURE() << "imported";
    } catch (const postal::ImportError& e) {
        EXPECT_NE(std::string(e.what()).find("64MB"), std::string::npos) << e.what();
    }
    EXPECT_EQ(slurp(out), "old table bytes");
}
