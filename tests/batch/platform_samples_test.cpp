// Every platform's sample order file, read as a user would open it, against
// the waybills it must give: each waybill's consignee, order number and
// goods lines are its own order's and no other's.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "batch/item_file.h"
#include "batch/order_check.h"

using namespace batch;

namespace {

std::string data(const std::string& name) { return std::string(VP_BATCH_DATA) + "/" + name; }

// Blanks (half- and full-width) and hyphens out, so that a name or number
// compares whichever way the platform spells it.
std::string bare(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ' ' || s[i] == '-') continue;
        if (s.compare(i, 3, "\u3000") == 0) {
            i += 2;
            continue;
        }
        out += s[i];
    }
    return out;
}

struct Person {
    std::string name, zip, address, tel;
};
// The consignees the samples were made with (invented).
const std::map<char, Person> kPeople = {
    {'A', {"山田太郎", "1050011", "東京都港区芝公園428芝ビル3F", "0334331111"}},
    {'B', {"佐藤花子", "0600001", "北海道札幌市中央区北一条西21", "0112223333"}},
    {'C', {"高橋美咲", "5300001", "大阪府大阪市北区梅田111梅田ハイツ201", "0663450000"}},
    {'D', {"伊藤健", "9800811", "宮城県仙台市青葉区一番町311", "0221112222"}},
    {'E', {"中村健", "4600008", "愛知県名古屋市中区栄351", "0522223333"}},
    {'F', {"小林誠", "8120011", "福岡県福岡市博多区博多駅前211", "0924445555"}},
};

struct Waybill {
    char person;
    std::string order;
    std::vector<std::string> goods;
};

// The four orders every sample holds: one item, two items, a gift to
// someone other than the buyer, three of one item.
std::vector<Waybill> fourOrders(const std::string& prefix, const std::string& suffix = {}) {
    return {{'A', prefix + "1001" + suffix, {"緑茶 100g ×1"}},
            {'B', prefix + "1002" + suffix, {"湯呑み ×1", "急須 ×1"}},
            {'C', prefix + "1003" + suffix, {"煎茶詰め合わせ ×1"}},
            {'D', prefix + "1004" + suffix, {"抹茶 ×3"}}};
}

std::vector<Waybill> plus(std::vector<Waybill> w, const std::vector<Waybill>& more) {
    w.insert(w.end(), more.begin(), more.end());
    return w;
}

}  // namespace

TEST(PlatformSamples, EveryWaybillIsItsOwnOrders) {
    struct Sample {
        std::string file;
        std::string_view layout;
        Encoding encoding;
        std::vector<Waybill> waybills;
        std::string notice;  // a notice the reading gives, or empty
    } samples[] = {
        // Two destinations of one order (送付先ID) are two parcels.
        {"rakuten_pay_sjis.csv", "楽天ペイ", Encoding::Cp932,
         plus(fourOrders("399999-20261207-00000"), {{'E', "399999-20261207-000001005", {"ほうじ茶 ×1"}},
                                                    {'E', "399999-20261207-000001005", {"玄米茶 ×2"}}}),
         {}},
        {"rakuten_old_sjis.csv", "楽天", Encoding::Cp932, fourOrders("299999-20261207-0"), {}},
        // The item file beside the order file is joined; its stray order is named.
        {"yahoo/yahoo_order_sjis.csv", "Yahoo!ショッピング", Encoding::Cp932, fourOrders("teashop-1000"),
         "商品ファイルの注文 teashop-10009999 は注文ファイルにありません (印刷されません)"},
        {"colorme_sales_all_sjis.csv", "カラーミー", Encoding::Cp932, fourOrders("8800"), {}},
        // 送料 and 手数料 lines are no goods; two 出荷ID of one order are two parcels.
        {"eccube_orders_sjis.csv", "EC-CUBE", Encoding::Cp932,
         plus(fourOrders(""), {{'E', "1005", {"ほうじ茶 ×1"}}, {'F', "1005", {"玄米茶 ×2"}}}), {}},
        {"qoo10_delivery_utf8.csv", "Qoo10", Encoding::Utf8Bom, fourOrders("4440"), {}},
        {"futureshop_sjis.csv", "futureshop", Encoding::Cp932, fourOrders("FS-2026120700"), {}},
        // A line written twice is one line.
        {"aupay_sjis.csv", "au PAY マーケット", Encoding::Cp932, fourOrders("3300"), {}},
    };
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.file);
        const OrderFile file = readOrderFiles(data(s.file), {});
        EXPECT_EQ(file.layout, s.layout);
        EXPECT_EQ(file.encoding, s.encoding);
        if (!s.notice.empty()) {
            EXPECT_NE(std::find(file.notices.begin(), file.notices.end(), s.notice), file.notices.end());
        }
        const std::vector<Order> orders = ordersOf(file, guessMapping(file.header, false));
        ASSERT_EQ(orders.size(), s.waybills.size());
        for (std::size_t i = 0; i < orders.size(); ++i) {
            const Order& o = orders[i];
            const Waybill& want = s.waybills[i];
            const Person& p = kPeople.at(want.person);
            SCOPED_TRACE(want.order);
            EXPECT_EQ(o.orderNo, want.order);
            EXPECT_EQ(bare(o[Col::Name]), p.name);
            EXPECT_EQ(bare(o[Col::Zip]), p.zip);
            EXPECT_EQ(bare(o[Col::Add1] + o[Col::Add2]), p.address);
            EXPECT_EQ(bare(o[Col::Tel]), p.tel);
            std::vector<std::string> goods = want.goods;
            goods.resize(3);
            EXPECT_EQ((std::vector<std::string>{o[Col::G1], o[Col::G2], o[Col::G3]}), goods);
            const CheckedOrder c = checkOrder(o, {}, {});
            for (const Problem& problem : c.problems) ADD_FAILURE() << problem.text;
        }
    }
}

TEST(PlatformSamples, ItemFilesAddressesAndTwoLayouts) {
    // An address in one field: prefecture, city and town on ①, the rest on ②.
    const OrderFile qoo10 = readOrderFiles(data("qoo10_delivery_utf8.csv"), {});
    const Order first = ordersOf(qoo10, guessMapping(qoo10.header, false)).front();
    EXPECT_EQ(first[Col::Add1], "東京都港区芝公園");
    EXPECT_EQ(first[Col::Add2], "4-2-8 芝ビル3F");
    // The item file alone is refused; the order file read with it instead.
    const OrderFile items = readOrderFile(readFileBytes(data("yahoo/yahoo_item_sjis.csv")));
    EXPECT_THROW(ordersOf(items, guessMapping(items.header, false)), InputError);
    const OrderFile viaItems = readOrderFiles(data("yahoo/yahoo_item_sjis.csv"), {});
    EXPECT_EQ(viaItems.layout, "Yahoo!ショッピング");
    EXPECT_EQ(ordersOf(viaItems, guessMapping(viaItems.header, false)).at(1)[Col::G2], "急須 ×1");
    // The order file alone gives waybills without goods, and says so.
    OrderFile alone = readOrderFile(readFileBytes(data("yahoo/yahoo_order_sjis.csv")));
    const std::vector<Order> bare = ordersOf(alone, guessMapping(alone.header, false));
    EXPECT_EQ(bare.size(), 4u);
    EXPECT_EQ(bare[0][Col::G1], "");
    // An item file that is none is refused by name.
    EXPECT_THROW(readOrderFiles(data("yahoo/yahoo_order_sjis.csv"), data("rakuten_pay_sjis.csv")), InputError);
    // A header of two layouts takes the more specific one and names the other.
    const OrderFile both = readOrderFile(
        "注文番号,送付先ID,送付先郵便番号1,送付先住所郡市区,送付先住所それ以降の住所,受注番号,送付先住所都道府県,送付先名字\n"
        "1,1,105,港区,芝公園1,1,東京都,山田\n");
    EXPECT_EQ(both.layout, "楽天ペイ");
    EXPECT_EQ(layoutNotice(both.layout, both.otherLayout),
              "楽天ペイ の注文ファイルとして読み込みました (楽天 の形にも合いますが、より多くの列が合うほうにしました)");
}
