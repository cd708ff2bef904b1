// Orders as the sales platforms write them: header recognition, the
// platform layouts by their sample files, and grouping rows into waybills.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "batch/batch_file.h"
#include "batch/header_recognition.h"
#include "batch/order_check.h"
#include "batch/order_grouping.h"
#include "batch/platform_layouts.h"
#include "tests/support/full_width.h"

using namespace batch;

namespace batch {
// Targets by their key in failure messages.
std::ostream& operator<<(std::ostream& os, Target t) { return os << targetKey(t); }
}  // namespace batch

namespace {

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(VP_BATCH_DATA) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Read {
    OrderFile file;
    std::vector<Order> orders;
};

Read readSample(const std::string& name, bool fileSender = false) {
    Read r{readOrderFile(fixture(name)), {}};
    r.orders = ordersOf(r.file, guessMapping(r.file.header, fileSender));
    return r;
}

std::vector<std::string> problemTexts(const Order& o) {
    std::vector<std::string> out;
    for (const Problem& p : checkOrder(o, {}, {}).problems) out.push_back(p.text);
    return out;
}

bool hasProblemWith(const Order& o, std::string_view words) {
    for (const std::string& t : problemTexts(o))
        if (t.find(words) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(HeaderRecognition, PrefixWordAndPartInAnyWidth) {
    struct Prefix {
        std::string_view text;
        Role role;
    } prefixes[] = {{"", Role::Plain},          {"送付先", Role::Consignee}, {"お届け先", Role::Consignee},
                    {"配送先", Role::Consignee}, {"受取人", Role::Consignee}, {"Shipping ", Role::Consignee},
                    {"ship-", Role::Consignee},  {"Recipient_", Role::Consignee}, {"注文者", Role::Orderer},
                    {"購入者：", Role::Orderer}, {"Billing ", Role::Orderer},  {"buyer-", Role::Orderer},
                    {"ご依頼主", Role::Sender}};
    struct Word {
        std::string_view text;
        std::array<Target, 4> byPart;  // no number, 1, 2, 3
    } words[] = {
        {"郵便番号", {Target::Zip, Target::Zip, Target::Zip, Target::None}},
        {"住所", {Target::Address, Target::Address, Target::Address2, Target::Building}},
        {"Address", {Target::Address, Target::Address, Target::Address2, Target::Building}},
        {"電話番号", {Target::Tel, Target::Tel, Target::Tel, Target::Tel}},
        {"phone-number", {Target::Tel, Target::Tel, Target::Tel, Target::Tel}},
        {"名字", {Target::Family, Target::Family, Target::None, Target::None}},
        {"Postal Code", {Target::Zip, Target::Zip, Target::Zip, Target::None}},
        {"City", {Target::City, Target::City, Target::None, Target::None}},
    };
    const std::string_view numbers[][4] = {{"", "1", "2", "3"}, {"", "１", "２", "３"}, {"", "①", "②", "③"}};
    for (const Prefix& p : prefixes) {
        for (const Word& w : words) {
            for (const auto& digits : numbers) {
                for (int part = 0; part < 4; ++part) {
                    for (bool wide : {false, true}) {
                        std::string header = std::string(p.text) + std::string(w.text) + std::string(digits[part]);
                        if (wide) header = fullWidth(header);
                        const Target want = w.byPart[static_cast<std::size_t>(part)];
                        const HeaderMeaning got = recogniseHeader(header);
                        EXPECT_EQ(got.target, want) << header;
                        if (want != Target::None) {
                            EXPECT_EQ(got.role, p.role) << header;
                        }
                    }
                }
            }
        }
    }
    // Order-wide fields need no prefix; unknown columns stay unknown.
    const std::pair<std::string_view, Target> whole[] = {
        {"受注番号", Target::OrderNo},       {"order-id", Target::OrderNo},
        {"order-item-id", Target::OrderItemId}, {"Lineitem quantity", Target::Quantity},
        {"個数", Target::Quantity},           {"お届け時間帯", Target::TimeBand},
        {"お届け日指定", Target::DeliveryDate}, {"送付先住所：都道府県", Target::Pref},
        {"送付先住所：町以降", Target::Street}, {"Lineitem name", Target::G1},
        {"Email", Target::None},              {"Lineitem price", Target::None},
        {"送付先名字フリガナ", Target::None},   {"お届け先コード", Target::None},
        {"ship-service-level", Target::None},  {"送付先時間帯", Target::None},
        {"送付先住所郡市区", Target::City},    {"送付先住所それ以降の住所", Target::Street},
        {"配送先 都道府県名", Target::Pref},   {"配送先_都道府県(名称)", Target::Pref},
        {"お届け先都道府県区分", Target::Pref}, {"お届け先氏名（姓）", Target::Family},
        {"配送先_お名前(名)", Target::Name},   {"配送先_お名前(セイ)", Target::None},
        {"ShipPrefecture", Target::Pref},      {"お届け時間(名称)", Target::TimeBand},
    };
    for (const auto& [text, target] : whole) EXPECT_EQ(recogniseHeader(text).target, target) << text;
}

TEST(HeaderRecognition, TheConsigneesColumnsWin) {
    using T = Target;
    struct Case {
        std::vector<std::string> header;
        bool fileSender;
        Mapping want;
    } cases[] = {
        // The more specific consignee column wins; the other is unused.
        {{"住所", "送付先住所1", "氏名"}, false, {T::None, T::Address, T::Name}},
        // The orderer's columns never print as the consignee's ...
        {{"注文者氏名", "送付先氏名", "注文者郵便番号", "送付先郵便番号"}, false, {T::None, T::Name, T::None, T::Zip}},
        // ... and fill the sender when asked, after the ご依頼主 columns.
        {{"注文者氏名", "送付先氏名", "ご依頼主名"}, true, {T::None, T::Name, T::MyName}},
        {{"注文者氏名", "注文者電話番号", "送付先氏名"}, true, {T::MyName, T::MyTel, T::Name}},
        // Without any consignee column the orderer is the consignee.
        {{"Billing Name", "Billing Zip", "buyer-email"}, false, {T::Name, T::Zip, T::None}},
        // Parts of one field are joined, a repeated part is not.
        {{"送付先郵便番号1", "送付先郵便番号2", "送付先郵便番号2"}, false, {T::Zip, T::Zip, T::None}},
        {{"電話番号", "TEL"}, false, {T::Tel, T::None}},
        // "sender" is the destination where nothing else names one (the
        // buyer then is the "orderer"), else the shipper.
        {{"ordererName", "senderName", "senderAddress"}, false, {T::None, T::Name, T::Address}},
        {{"senderName", "recipientName"}, true, {T::MyName, T::Name}},
        // Shopify's "Name" is the order number; "Shipping Street" repeats the address.
        {{"Name", "Shipping Name", "Shipping Address1", "Lineitem name", "Shipping Street"},
         false,
         {T::OrderNo, T::Name, T::Address, T::G1, T::None}},
    };
    for (const Case& c : cases) EXPECT_EQ(guessMapping(c.header, c.fileSender), c.want) << c.header[0];
}

TEST(PlatformLayouts, SampleFilesReadWithoutHelp) {
    struct Expect {
        std::string file;
        std::string_view layout;
        Encoding encoding;
        std::size_t waybills;
    } cases[] = {
        {"shopify_orders.csv", "Shopify", Encoding::Utf8, 4},
        {"amazon_orders_utf8.txt", "Amazon", Encoding::Utf8, 5},
        {"amazon_orders_sjis.txt", "Amazon", Encoding::Cp932, 5},
        {"rakuten_orders_sjis.csv", "楽天", Encoding::Cp932, 2},
        {"b2_sjis.csv", "B2", Encoding::Cp932, 3},
        {"shop_utf8_bom.csv", "", Encoding::Utf8Bom, 3},
    };
    for (const Expect& e : cases) {
        const Read r = readSample(e.file);
        EXPECT_EQ(r.file.layout, e.layout) << e.file;
        EXPECT_EQ(r.file.encoding, e.encoding) << e.file;
        EXPECT_EQ(r.orders.size(), e.waybills) << e.file;
    }
    EXPECT_EQ(layoutNotice("Shopify"), "Shopify の注文ファイルとして読み込みました");
}

TEST(PlatformLayouts, ShopifyOrdersBecomeOneWaybillEach) {
    const Read r = readSample("shopify_orders.csv");
    const Order& first = r.orders[0];
    EXPECT_EQ(first.orderNo, "#1001");
    EXPECT_EQ(first.line, 2);
    EXPECT_EQ(first[Col::Zip], "1500001");  // the apostrophe of a spreadsheet's text cell is dropped
    EXPECT_EQ(first[Col::Add1], "東京都渋谷区神宮前1-2-3");
    EXPECT_EQ(first[Col::Add2], "原宿ハイツ101");
    EXPECT_EQ(first[Col::Name], "山田 太郎");
    EXPECT_EQ(first[Col::Tel], "0312345678");
    EXPECT_EQ(first.items.size(), 3u);
    EXPECT_EQ(first[Col::G1], "有機緑茶 100g ×2");
    EXPECT_EQ(first[Col::G3], "湯呑み ×3");
    EXPECT_TRUE(problemTexts(first).empty());
    // The company joins the name line; a code without its leading zero is offered mended.
    EXPECT_EQ(r.orders[1][Col::Name], "北海商事\u3000佐藤 次郎");
    EXPECT_EQ(checkOrder(r.orders[1], {}, {}).problems.at(0).repair, "060-0001");
    // Five items: two lines and "他3点".
    EXPECT_EQ(r.orders[2][Col::G2], "煎茶 ×2");
    EXPECT_EQ(r.orders[2][Col::G3], "他3点");
    // A quantity that is no number: the item stays, the quantity goes, and
    // the row is flagged until the line is corrected.
    Order bad = r.orders[3];
    EXPECT_EQ(bad[Col::G1], "番茶");
    EXPECT_TRUE(hasProblemWith(bad, "数量が数字ではありません: 二"));
    bad[Col::G1] = "番茶 ×2";
    EXPECT_FALSE(hasProblemWith(bad, "数量"));
}

TEST(PlatformLayouts, AmazonGiftOrdersAndDisagreeingRows) {
    for (const char* file : {"amazon_orders_utf8.txt", "amazon_orders_sjis.txt"}) {
        const Read r = readSample(file);
        ASSERT_EQ(r.orders.size(), 5u) << file;
        const Order& two = r.orders[0];
        EXPECT_EQ(two[Col::Add1], "東京都港区芝公園4-2-8");
        EXPECT_EQ(two[Col::Add2], "芝ビル3F");
        ASSERT_EQ(two.items.size(), 2u);
        EXPECT_EQ(two.items[1], (OrderItem{"ボールペン", "1", "22222222222222"}));
        EXPECT_TRUE(problemTexts(two).empty()) << problemTexts(two).front();
        // A gift: the same order to two people, two waybills, nothing flagged.
        EXPECT_EQ(r.orders[1].orderNo, r.orders[2].orderNo);
        EXPECT_EQ(r.orders[2][Col::Name], "中村 健");
        EXPECT_TRUE(problemTexts(r.orders[1]).empty());
        // The same person at two addresses: two waybills, both flagged.
        EXPECT_EQ(r.orders[3].orderNo, r.orders[4].orderNo);
        EXPECT_TRUE(hasProblemWith(r.orders[3], "7行目とおところ①が違います"));
        EXPECT_TRUE(hasProblemWith(r.orders[4], "6行目とおところ①が違います"));
    }
}

// A stray quote must never address one order to another's consignee nor
// hide an order: every order of the file is a waybill of its own.
TEST(PlatformLayouts, StrayQuotesKeepEachOrderItsConsignee) {
    struct Expect {
        std::string file;
        std::vector<std::string> names;
        std::vector<int> lines;
        std::string flagged;  // a problem on the first waybill, or empty
    } cases[] = {
        {"amazon_stray_quote.txt", {"山田 太郎", "佐藤 花子", "鈴木 一郎"}, {2, 3, 4}, ""},
        {"amazon_stray_quote_address.txt",
         {"山田 太郎", "佐藤 花子", "鈴木 一郎", "高橋 三郎"},
         {2, 3, 4, 5},
         "2行目の引用符 (\") が4行目まで閉じていません: 2〜4行目をそれぞれの行として読みました"},
        {"stray_quote.csv",
         {"山田 太郎", "佐藤 花子", "鈴木 一郎", "高橋 三郎", "伊藤 四郎"},
         {2, 3, 4, 5, 7},
         "2行目の引用符 (\") が4行目まで閉じていません: 2〜4行目をそれぞれの行として読みました"},
    };
    for (const Expect& e : cases) {
        const Read r = readSample(e.file);
        ASSERT_EQ(r.orders.size(), e.names.size()) << e.file;
        for (std::size_t i = 0; i < r.orders.size(); ++i) {
            EXPECT_EQ(r.orders[i][Col::Name], e.names[i]) << e.file;
            EXPECT_EQ(r.orders[i].line, e.lines[i]) << e.file;
        }
        EXPECT_EQ(r.orders[1][Col::Zip], "060-0001") << e.file;
        EXPECT_EQ(e.flagged.empty(), problemTexts(r.orders[0]).empty()) << e.file;
        if (!e.flagged.empty()) {
            EXPECT_TRUE(hasProblemWith(r.orders[0], e.flagged)) << e.file;
        }
        for (std::size_t i = 1; i < r.orders.size(); ++i)
            EXPECT_TRUE(problemTexts(r.orders[i]).empty()) << e.file << " " << problemTexts(r.orders[i]).front();
    }
    EXPECT_EQ(readSample("amazon_stray_quote.txt").orders[0][Col::G1], "\"Deluxe tea set ×1");
    // The legitimate two-line address stays one cell.
    const Read csv = readSample("stray_quote.csv");
    EXPECT_EQ(csv.orders[3][Col::Add1] + csv.orders[3][Col::Add2], "大阪府大阪市中央区本町1-1 本町ビル3F");
}

// A header with the columns of two platforms: each row's order number
// comes from whichever column holds it, never wiped out by the other.
TEST(PlatformLayouts, HeaderOfTwoLayoutsKeepsEveryRowsOrderNumber) {
    struct Case {
        const char* text;
        const char* orderNo;
    } cases[] = {
        {"Name,Shipping Name,Shipping Address1,Shipping Zip,Lineitem name,order-id,order-item-id,recipient-name\n"
         "#1001,山田 太郎,東京都港区芝公園1,105-0011,茶,,,\n"
         "#1001,,,,湯呑み,,,\n",
         "#1001"},
        {"order-id,order-item-id,recipient-name,ship-address-1,ship-postal-code,product-name,Name,Shipping Name,"
         "Shipping Address1,Lineitem name\n"
         "250-1,111,山田 太郎,東京都港区芝公園1,105-0011,茶,,,,\n"
         "250-1,222,山田 太郎,東京都港区芝公園1,105-0011,湯呑み,,,,\n",
         "250-1"},
    };
    for (const Case& c : cases) {
        const OrderFile file = readOrderFile(c.text);
        const std::vector<Order> orders = ordersOf(file, guessMapping(file.header, false));
        ASSERT_EQ(orders.size(), 1u) << c.text;
        EXPECT_EQ(orders[0].orderNo, c.orderNo);
        EXPECT_EQ(orders[0].items.size(), 2u);
    }
}

TEST(PlatformLayouts, RakutenSplitColumnsAreJoined) {
    const Read r = readSample("rakuten_orders_sjis.csv");
    const Order& o = r.orders[0];
    EXPECT_EQ(o[Col::Zip], "150-0001");
    EXPECT_EQ(o[Col::Add1], "東京都渋谷区神宮前1-2-3");
    EXPECT_EQ(o[Col::Name], "木村\u3000花子");
    EXPECT_EQ(o[Col::Tel], "03-1234-5678");
    EXPECT_EQ(o[Col::G2], "みかん 3kg ×2");
    const CheckedOrder c = checkOrder(o, {}, {});
    EXPECT_TRUE(c.printable()) << c.problems.front().text;
    EXPECT_TRUE(c.fields.timeBand[2]);  // 14:00-16:00
    // The orderer fills the sender only when asked.
    EXPECT_EQ(o[Col::My], "");
    const Read withSender = readSample("rakuten_orders_sjis.csv", true);
    EXPECT_EQ(withSender.orders[0][Col::My], "木村\u3000拓也");
    EXPECT_EQ(withSender.orders[0][Col::MyAdd1], "大阪府大阪市北区梅田1-1-1");
    EXPECT_EQ(withSender.orders[0][Col::MyZip], "530-0001");
}

// Numbers that differ in blanks are other orders, never joined; a copy
// with a spreadsheet's text mark joins only a waybill to the same consignee.
TEST(OrderGrouping, OnlyTheSameOrderNumberCellJoins) {
    struct Case {
        const char* rows;
        std::vector<std::size_t> items;  // per waybill
    } cases[] = {
        {"1001,東京都港区1,甲,x\n 1001,東京都港区1,甲,y\n", {1, 1}},
        {"1001,東京都港区1,甲,x\n\"1001\t\",東京都港区1,甲,y\n", {1, 1}},
        {"1001,東京都港区1,甲,x\n1001 ,,,y\n", {1, 1}},              // no continuation of another number
        {"1001,東京都港区1,甲,x\n'1001,東京都港区1,甲,y\n'1001,,,z\n", {3}},
        {"1001,東京都港区1,甲,x\n'1001,東京都港区2,甲,y\n", {1, 1}},
        {"1001,東京都港区1,甲,x\n'1001,,,y\n", {1, 1}},
        {"1001,東京都港区1,甲,x\n1001,東京都港区1,甲,y\n", {2}},
    };
    for (const Case& c : cases) {
        const OrderFile file = readOrderFile(std::string("注文番号,住所,氏名,品名\n") + c.rows);
        const std::vector<Order> orders = ordersOf(file, guessMapping(file.header, false));
        std::vector<std::size_t> items;
        for (const Order& o : orders) items.push_back(o.items.size());
        EXPECT_EQ(items, c.items) << c.rows;
        // Saved and read back, the waybills stay as they are.
        const OrderFile back = readOrderFile(ordersToCsv(orders));
        EXPECT_EQ(ordersOf(back, guessMapping(back.header, false)).size(), orders.size()) << c.rows;
    }
}

TEST(OrderGrouping, ContinuationRowsAndGoodsLines) {
    auto row = [](int line, std::string no, const std::string& name, std::string item, std::string qty = "1") {
        Order o;
        o.line = line;
        o.orderNo = std::move(no);
        o[Col::Name] = name;
        o[Col::Add1] = name.empty() ? "" : "東京都港区1";
        o.items.push_back({std::move(item), std::move(qty), {}});
        return o;
    };
    // A continuation row joins the last waybill of its order, even after
    // another order; a row without an order number is never joined.
    const std::vector<Order> w = groupOrders({row(2, "A", "甲", "x"), row(3, "B", "乙", "y"), row(4, "A", "", "z"),
                                              row(5, "", "丙", "p"), row(6, "", "", "q")});
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(w[0][Col::G2], "z ×1");
    EXPECT_EQ(w[3].line, 6);
    // Long names are shortened so that the quantity still shows.
    const GoodsLines g = goodsLines({{std::string(40, 'a'), "12", {}}, {"b", "", {}}});
    EXPECT_EQ(g.lines[0], std::string(23, 'a') + "… ×12");  // 30 bytes
    EXPECT_EQ(g.lines[1], "b");
}
