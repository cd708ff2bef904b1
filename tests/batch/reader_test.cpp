// Order files: encodings, CSV quoting, bad input with its line number,
// header mapping (the B2 layout included), address joining and saved
// mappings.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "batch/address_join.h"
#include "batch/batch_file.h"
#include "tests/support/scratch_folder.h"
#include "text/sjis_convert.h"

using namespace batch;

namespace {

std::string fixture(const char* name) {
    std::ifstream in(std::string(VP_BATCH_DATA) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::vector<std::string>> fieldsOf(std::string_view text, char delim = ',') {
    std::vector<std::vector<std::string>> out;
    for (Record& r : parseRecords(text, delim)) out.push_back(std::move(r.fields));
    return out;
}

using Rows = std::vector<std::vector<std::string>>;

}  // namespace

TEST(BatchReader, SplitsQuotedFieldsAndLineEnds) {
    struct Case {
        const char* text;
        Rows rows;
    } cases[] = {
        {"a,b\r\nc,d", {{"a", "b"}, {"c", "d"}}},              // CR LF, last line without a break
        {"a,b\n\n\nc,d\n", {{"a", "b"}, {"c", "d"}}},          // blank lines skipped
        {"\"x,y\",\"he said \"\"hi\"\"\"\n", {{"x,y", "he said \"hi\""}}},
        {"\"two\r\nlines\",z\n", {{"two\nlines", "z"}}},       // line break inside quotes
        {"a,,\n", {{"a", "", ""}}},                            // empty fields kept
        {"\"q\"tail,b\n", {{"qtail", "b"}}},                   // text after a closing quote kept
        {"mid\"quote,b\n", {{"mid\"quote", "b"}}},             // a quote inside a field is text
        {"\"\",x\n", {{"", "x"}}},
    };
    for (const Case& c : cases) EXPECT_EQ(fieldsOf(c.text), c.rows) << c.text;
    EXPECT_EQ(fieldsOf("a\tb,c\n", '\t'), (Rows{{"a", "b,c"}}));
    EXPECT_EQ(guessDelimiter("zip\tname\taddress,with comma\n"), '\t');
    EXPECT_EQ(guessDelimiter("zip,name,\"a\tb\"\n"), ',');
}

TEST(BatchReader, RecordsKnowTheirLine) {
    // Whatever the line ends, a line break inside quotes counts.
    for (const char* end : {"\n", "\r\n", "\r"}) {
        std::string text = "h1,h2\n\"a\nb\",c\n\nd,e\n";
        for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += std::strlen(end))
            text.replace(at, 1, end);
        const auto recs = parseRecords(text, ',');
        ASSERT_EQ(recs.size(), 3u) << end;
        EXPECT_EQ(recs[1].line, 2) << end;
        EXPECT_EQ(recs[2].line, 5) << end;
    }
}

TEST(BatchReader, TakesExactlyTheMostOrders) {
    std::string text = "zip,name\n";
    for (std::size_t i = 0; i < kMaxRecords; ++i) text += "1,a\n";
    EXPECT_EQ(parseRecords(text, ',').size(), kMaxRecords + 1);
    try {
        parseRecords(text + "1,a\n", ',');
        ADD_FAILURE() << "one order too many was taken";
    } catch (const InputError& e) {
        EXPECT_EQ(e.line(), static_cast<int>(kMaxRecords) + 2);
    }
}

// A platform writing a row per item (Shopify: 2.2 rows an order) is held
// to the number of orders, not rows, and its export of the most orders
// passes the byte limit; one order more is refused at its first row.
TEST(BatchReader, TakesExactlyTheMostOrdersHoweverManyRowsEach) {
    const std::string sample = fixture("shopify_orders.csv");
    const std::size_t end1 = sample.find('\n'), end2 = sample.find('\n', end1 + 1), end3 = sample.find('\n', end2 + 1);
    const std::string header = sample.substr(0, end1 + 1);
    // The sample's first order: its address row and an item row, after the order number.
    const std::string first = sample.substr(end1 + 1 + 5, end2 - end1 - 5);
    const std::string item = sample.substr(end2 + 1 + 5, end3 - end2 - 5);
    for (const std::size_t orders : {kMaxOrders, kMaxOrders + 1}) {
        std::string text = header;
        int firstRowOfLast = 0, line = 1;
        for (std::size_t i = 0; i < orders; ++i) {
            const std::string no = "#" + std::to_string(100000 + i);
            firstRowOfLast = ++line;
            text += no + first;
            for (std::size_t k = 0; k < (i % 5 == 0 ? 2U : 1U); ++k, ++line) text += no + item;
        }
        EXPECT_LE(text.size(), kMaxFileBytes / 2);
        const OrderFile f = readOrderFile(text);
        EXPECT_GT(f.records.size(), 2 * kMaxOrders);
        try {
            EXPECT_EQ(ordersOf(f, guessMapping(f.header, false)).size(), kMaxOrders);
            EXPECT_EQ(orders, kMaxOrders);
        } catch (const InputError& e) {
            EXPECT_EQ(orders, kMaxOrders + 1);
            EXPECT_EQ(e.line(), firstRowOfLast);
        }
    }
}

TEST(BatchReader, TellsUtf8FromShiftJis) {
    const std::string utf8 = "郵便番号,氏名\n105-0011,山田\n";
    const std::string sjis = *sjis::fromUtf8(utf8);
    EXPECT_EQ(decodeText(utf8).encoding, Encoding::Utf8);
    EXPECT_EQ(decodeText("\xEF\xBB\xBF" + utf8).encoding, Encoding::Utf8Bom);
    EXPECT_EQ(decodeText("\xEF\xBB\xBF" + utf8).utf8, utf8);
    const DecodedText d = decodeText(sjis);
    EXPECT_EQ(d.encoding, Encoding::Cp932);
    EXPECT_EQ(d.utf8, utf8);
    // Half-width katakana only: not UTF-8, valid CP932.
    EXPECT_EQ(decodeText("\xB6\xC5\n").utf8, "ｶﾅ\n");
    EXPECT_EQ(decodeText("a,b\x1A").utf8, "a,b");  // a DOS end-of-file mark
    EXPECT_FALSE(decodeText("\xEF\xBB\xBF" + utf8).ambiguous);  // the mark settles it

    // Bytes both encodings read: a guess that says so, and a choice.
    struct Case {
        const char* bytes;
        Encoding taken;
        const char* text;
    } both[] = {
        // "はな" in UTF-8; as CP932 rare kanji and half-width kana.
        {"\xE3\x81\xAF\xE3\x81\xAA", Encoding::Utf8, "はな"},
        // As CP932 mostly hiragana and full-width letters; as UTF-8 control codes.
        {"\xE3\x82\x82\xC2\x82\xC2\x82\x60", Encoding::Cp932, "繧つつＡ"},
    };
    for (const Case& c : both) {
        const DecodedText d = decodeText(c.bytes);
        EXPECT_TRUE(d.ambiguous) << c.text;
        EXPECT_EQ(d.encoding, c.taken) << c.text;
        EXPECT_EQ(d.utf8, c.text);
    }
    EXPECT_EQ(decodeText(both[0].bytes, EncodingChoice::Cp932).utf8, "縺ｯ縺ｪ");
    EXPECT_EQ(decodeText(both[1].bytes, EncodingChoice::Utf8).encoding, Encoding::Utf8);
    EXPECT_FALSE(decodeText(both[0].bytes, EncodingChoice::Utf8).ambiguous);
    EXPECT_THROW(decodeText(sjis, EncodingChoice::Utf8), InputError);
    EXPECT_THROW(decodeText("\xE3\x81\x80", EncodingChoice::Cp932), InputError);  // "\u3040" has no CP932 reading
}

TEST(BatchReader, BadInputNamesTheLine) {
    struct Case {
        std::string bytes;
        int line;
        const char* words;
    } cases[] = {
        {std::string("a,b\nc,d\n\0x", 10), 3, "NUL"},
        {std::string("a,b\rc,d\r\0x", 10), 3, "NUL"},           // CR-only line ends
        {std::string("a,b\r\n\"c\rd\"\r\n\0", 13), 4, "NUL"},  // a lone CR inside quotes
        {"a,b\nc,\"open\nstill open\n", 2, "閉じていません: 2〜3行目がひとつの欄になります"},
        {"a,\"b\nc,d\n", 1, "閉じていません"},
        {"a\n\x01\n", 2, "制御文字"},
        {"ok\nok\n\x80\x80\n", 3, "判別できません"},                // neither encoding
        {"\xEF\xBB\xBF" "ok\n\x82\xA0\n", 2, "UTF-8"},             // BOM, then Shift-JIS
        {"ok\n\x82", 2, "判別できません"},                          // lead byte cut off
        {std::string(kMaxFileBytes + 1, 'a'), 1, "大きすぎます"},
        {"", 1, "空です"},
        {"zip,name\n", 2, "行がありません"},
    };
    for (const Case& c : cases) {
        try {
            readOrderFile(c.bytes);
            ADD_FAILURE() << c.words;
        } catch (const InputError& e) {
            EXPECT_EQ(e.line(), c.line) << c.words;
            EXPECT_NE(std::string(e.what()).find(c.words), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind(std::to_string(c.line) + "行目", 0), 0u) << e.what();
        }
    }
    EXPECT_THROW(parseRecords(std::string(kMaxFields + 1, ','), ','), InputError);
}

// A quote that opens a field and runs across line ends: read as text,
// with a note naming the lines, when the lines are records of their own;
// a quoted cell with a line break (an address on two lines) stays one.
TEST(BatchReader, StrayQuotesNeverJoinRecords) {
    struct Case {
        const char* text;
        char delim;
        Rows rows;
        std::vector<std::vector<std::string>> notes;  // per data record
    } cases[] = {
        // Tab-separated: a quote is text unless it quotes the whole field.
        {"h1\th2\n\"tea set\tx\ny\t12\" record\n", '\t', {{"\"tea set", "x"}, {"y", "12\" record"}}, {{}, {}}},
        {"h1\th2\n\"a\"\"b\"\tx\n", '\t', {{"a\"b", "x"}}, {{}}},
        {"h1\th2\n\"two\nlines\"\tx\n", '\t', {{"two\nlines", "x"}}, {{}}},
        {"h1\th2\n\"x\ty\nz\tw\"\n", '\t', {{"\"x", "y"}, {"z", "w\""}}, {{"2行目の引用符"}, {}}},
        // Comma-separated: the rows a quote would swallow come out as rows.
        {"h1,h2\n\"x,y\nz,\"w\"\n", ',', {{"\"x", "y"}, {"z", "w"}},
         {{"2行目の引用符 (\") が3行目まで閉じていません: 2〜3行目をそれぞれの行として読みました"}, {}}},
        {"h1,h2,h3\n\"addr\nline 2\",x,y\n", ',', {{"addr\nline 2", "x", "y"}}, {{}}},
        // Kept as one field, but the record is off: the lines are named.
        {"h1,h2,h3\n\"addr\nline 2\",x\n", ',', {{"addr\nline 2", "x"}},
         {{"2〜3行目が引用符 (\") の中の改行でひとつの行として読まれています"}}},
    };
    for (const Case& c : cases) {
        std::vector<Record> recs = parseRecords(c.text, c.delim);
        ASSERT_EQ(recs.size(), c.rows.size() + 1) << c.text;
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(recs[i + 1].fields, c.rows[i]) << c.text;
            ASSERT_EQ(recs[i + 1].notes.size(), c.notes[i].size()) << c.text;
            for (std::size_t k = 0; k < c.notes[i].size(); ++k)
                EXPECT_EQ(recs[i + 1].notes[k].rfind(c.notes[i][k], 0), 0u) << recs[i + 1].notes[k];
        }
    }
}

TEST(BatchMapping, GuessesFromHeaderWords) {
    const std::vector<std::string> header = {"注文番号", "〒", "ＴＥＬ", "お名前", "住所１", "住所2",
                                             "Item", "配達希望日", "配達時間帯", "Zip Code", "ご依頼主名"};
    const Mapping m = guessMapping(header, false);
    const Mapping expected = {Target::OrderNo, Target::Zip, Target::Tel, Target::Name, Target::Address,
                              Target::Address2, Target::G1, Target::DeliveryDate, Target::TimeBand,
                              Target::None /* second postal column */, Target::None /* sender tab in use */};
    EXPECT_EQ(m, expected);
    EXPECT_EQ(guessMapping(header, true).back(), Target::MyName);
    EXPECT_FALSE(hasConsigneeColumn(guessMapping({"注文番号", "金額"}, false)));
    const OrderFile f = readOrderFile("注文番号,金額\n1,100\n");
    EXPECT_THROW(ordersOf(f, guessMapping(f.header, false)), InputError);
}

TEST(BatchMapping, ReadsTheB2LayoutWithoutHelp) {
    const OrderFile f = readOrderFile(fixture("b2_sjis.csv"));
    EXPECT_EQ(f.encoding, Encoding::Cp932);
    EXPECT_TRUE(f.b2);
    const std::vector<Order> orders = ordersOf(f, guessMapping(f.header, true));
    ASSERT_EQ(orders.size(), 3u);
    const Order& a = orders[0];
    EXPECT_EQ(a.line, 2);
    EXPECT_EQ(a[Col::Zip], "1050011");
    EXPECT_EQ(a[Col::Add1], "東京都港区芝公園4-2-8");
    EXPECT_EQ(a[Col::Add2], "芝ビル3F");
    EXPECT_EQ(a[Col::Name], "山田太郎　様");
    EXPECT_EQ(a[Col::G1], "りんご");
    EXPECT_EQ(a[Col::G2], "みかん");
    EXPECT_EQ(a[Col::DeliveryDate], "2026/12/09");
    EXPECT_EQ(a[Col::TimeBand], "0812");
    EXPECT_EQ(a[Col::ShipDate], "2026/12/07");
    EXPECT_EQ(a[Col::My], "ペリカン商店");
    EXPECT_EQ(a[Col::MyAdd1], "大阪府大阪市北区梅田1-1-1");
    EXPECT_EQ(orders[1][Col::Name], "株式会社北海　総務部　佐藤花子　様");
    EXPECT_EQ(orders[1][Col::Special], "2");
    // Without the file's sender the ご依頼主 columns stay unused.
    EXPECT_EQ(ordersOf(f, guessMapping(f.header, false))[0][Col::My], "");
}

TEST(BatchMapping, JoinsSplitAddressesAtANaturalPoint) {
    struct Case {
        const char* street;
        const char* rest;
        const char* add1;
        const char* add2;
    } cases[] = {
        {"東京都港区芝公園4-2-8", "芝ビル", "東京都港区芝公園4-2-8", "芝ビル"},
        // Broken before the house number.
        {"北海道札幌市中央区北一条西二丁目大通公園1-1", "",
         "北海道札幌市中央区北一条西二丁目大通公園", "1-1"},
        // A house number is not broken at its hyphen.
        {"神奈川県足柄上郡中井町井ノ口あいう1234-5678", "ビル",
         "神奈川県足柄上郡中井町井ノ口あいう", "1234-5678 ビル"},
        // No digit: the last place-name end that fits.
        {"和歌山県東牟婁郡那智勝浦町大字那智山あいうえおかきく", "",
         "和歌山県東牟婁郡那智勝浦町", "大字那智山あいうえおかきく"},
        // Nothing natural: cut at the last whole character.
        {"あいうえおかきくけこさしすせそたちつてとなにぬね", "",
         "あいうえおかきくけこさしすせそたちつてと", "なにぬね"},
    };
    for (const Case& c : cases) {
        const AddressLines l = joinAddress(c.street, c.rest);
        EXPECT_EQ(l.add1, c.add1) << c.street;
        EXPECT_EQ(l.add2, c.add2) << c.street;
        EXPECT_LE(sjisWidth(l.add1), kAddressLineBytes);
    }
    EXPECT_EQ(sjisWidth("ｱA亜"), 4u);
    // The orders break where the form's address line ends (17 characters
    // at its print size), so the line fits its place.
    EXPECT_EQ(addressRoomBytes(), 34u);
    const AddressLines fit = joinAddress("北海道札幌市中央区北一条西2丁目1番地", "", addressRoomBytes());
    EXPECT_EQ(fit.add1, "北海道札幌市中央区北一条西2丁目");
    EXPECT_EQ(fit.add2, "1番地");

    // Address pieces that repeat what came before are not doubled.
    const OrderFile f = readOrderFile("都道府県,市区町村,住所,氏名\n東京都,港区,東京都港区芝公園1,a\n");
    EXPECT_EQ(ordersOf(f, guessMapping(f.header, false))[0][Col::Add1], "東京都港区芝公園1");
}

TEST(BatchMapping, SavedMappingsRoundTripByHeaderName) {
    ScratchFolder dir;
    const std::vector<std::string> header = {"送り先", "宛先住所", "メモ"};
    const Mapping m = {Target::Name, Target::Address, Target::None};
    saveMapping(dir.path(), "店A", mappingToText(header, m));
    saveMapping(dir.path(), "店B", mappingToText(header, {Target::None, Target::Address, Target::Name}));
    EXPECT_EQ(savedMappingNames(dir.path()), (std::vector<std::string>{"店A", "店B"}));
    // Applied to a file whose columns come in another order.
    EXPECT_EQ(mappingFromText(*loadMapping(dir.path(), "店A"), {"メモ", "宛先住所", "送り先"}),
              (Mapping{Target::None, Target::Address, Target::Name}));
    EXPECT_FALSE(loadMapping(dir.path(), "ない"));
    for (const char* bad : {"", "../x", "a/b", ".hidden"}) {
        EXPECT_FALSE(isValidMappingName(bad)) << bad;
        EXPECT_THROW(saveMapping(dir.path(), bad, ""), InputError) << bad;
    }
    EXPECT_THROW(mappingFromText("zip\tunknown_key\n", header), InputError);
    // An unknown key is named with its control characters escaped.
    try {
        mappingFromText("zip\t\x1B]2;x\x07\n", header);
        ADD_FAILURE() << "an unknown key was taken";
    } catch (const InputError& e) {
        EXPECT_NE(std::string(e.what()).find("\\x1B]2;x\\x07"), std::string::npos) << e.what();
    }
    // A saved mapping far larger than any mapping is refused, not read whole.
    spit(dir.file("vamu_Pelican_mappings/大.txt"), std::string(kMaxMappingBytes + 1, '#'));
    EXPECT_THROW(loadMapping(dir.path(), "大"), InputError);
}

TEST(BatchMapping, SavedMappingFitsOnlyTheColumnsItWasMadeFor) {
    const std::vector<std::string> header = {"送り先", "宛先住所", "メモ", "メモ"};
    const Mapping m = {Target::Name, Target::Address, Target::None, Target::G1};
    const std::string text = mappingToText(header, m);
    // Columns of the same name keep their own fields.
    EXPECT_EQ(mappingFromText(text, header), m);
    struct Case {
        std::vector<std::string> header;
        bool fits;
    };
    const Case cases[] = {
        {header, true},
        {{"メモ", "宛先住所", "メモ", " 送り先 "}, true},  // another order, blanks around a name
        {{"送り先", "宛先住所", "メモ"}, false},          // a column fewer
        {{"送り先", "宛先住所", "メモ", "メモ", "電話"}, false},
        {{"zip", "address", "name"}, false},
        {{}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(mappingFitsHeader(text, c.header), c.fits) << c.header.size();
    // A text of an earlier version lists the used columns only.
    EXPECT_FALSE(mappingFitsHeader("送り先\tname\n", header));
    EXPECT_FALSE(mappingFitsHeader("no tab here\n", header));
}

TEST(BatchFile, UnprintedOrdersSaveAndReadBack) {
    const OrderFile f = readOrderFile(fixture("shop_utf8_bom.csv"));
    EXPECT_EQ(f.encoding, Encoding::Utf8Bom);
    const std::vector<Order> orders = ordersOf(f, guessMapping(f.header, false));
    ASSERT_EQ(orders.size(), 3u);
    EXPECT_EQ(orders[0][Col::Name], "田中 \"Tanaka\" 商店");
    EXPECT_EQ(orders[0][Col::G1], "ギフトセット (大)");  // one line on the form
    EXPECT_EQ(orders[1].line, 4);  // the quoted line break counts

    const std::string csv = ordersToCsv(orders);
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF", 0), 0u);
    const OrderFile back = readOrderFile(csv);
    const std::vector<Order> again = ordersOf(back, guessMapping(back.header, false));
    ASSERT_EQ(again.size(), orders.size());
    for (std::size_t i = 0; i < orders.size(); ++i) {
        EXPECT_EQ(again[i].text, orders[i].text) << i;
        EXPECT_EQ(again[i].orderNo, orders[i].orderNo) << i;
    }
}

TEST(BatchFile, UnprintedOrdersCarryNoLiveFormula) {
    Order o;
    o[Col::Zip] = "105-0011";
    o[Col::Add1] = "@SUM(A1:A9)";
    o[Col::Name] = "=cmd|' /C calc'!A0";
    o[Col::Tel] = "-1";
    o[Col::G1] = "+1";
    o[Col::G2] = "a=b";
    const std::string csv = ordersToCsv({o});
    for (const char* cell : {"\"'@SUM(A1:A9)\"", "\"'=cmd|' /C calc'!A0\"", "\"'-1\"", "\"'+1\"", "\"a=b\""})
        EXPECT_NE(csv.find(cell), std::string::npos) << cell << "\n" << csv;
    // Read back by the program, the texts are what they were.
    const OrderFile back = readOrderFile(csv);
    const std::vector<Order> again = ordersOf(back, guessMapping(back.header, false));
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].text, o.text);
}
