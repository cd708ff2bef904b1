// Per-order checks: what prints, what is refused and why, what a
// spreadsheet broke and how it is mended.
#include <gtest/gtest.h>

#include <algorithm>

#include "batch/batch_file.h"
#include "batch/order_check.h"
#include "batch/overflow_problems.h"
#include "batch/postal_check.h"
#include "tests/postal/town_cases.h"
#include "text/sjis_convert.h"

using namespace batch;

namespace {

std::string sj(const char* utf8) { return *sjis::fromUtf8(utf8); }

print::WaybillFields defaults() {
    print::WaybillFields d;
    d.dpix = d.dpiy = "360";
    d.date = "2026/12/07";
    d.g1 = sj("雑貨");
    d.timeBand[2] = true;
    d.my = sj("ペリカン商店");
    return d;
}

Order goodOrder() {
    Order o;
    o.line = 2;
    o.fieldCount = o.headerCount = 5;
    o[Col::Zip] = "1050011";
    o[Col::Add1] = "東京都港区芝公園4-2-8";
    o[Col::Name] = "山田太郎";
    o[Col::Tel] = "03-3433-1111";
    return o;
}

// "field:repair" for each problem, for compact comparison.
std::vector<std::string> summary(const CheckedOrder& c) {
    std::vector<std::string> out;
    for (const Problem& p : c.problems) out.push_back(std::string(problemKey(p)) + ":" + p.repair);
    return out;
}

}  // namespace

TEST(OrderCheck, AGoodOrderPrintsWithTheBatchDefaults) {
    const CheckedOrder c = checkOrder(goodOrder(), defaults(), {});
    EXPECT_TRUE(c.printable()) << (c.problems.empty() ? "" : c.problems[0].text);
    EXPECT_EQ(c.fields.zip, "105-0011");  // seven digits get the hyphen
    EXPECT_EQ(c.fields.add1, sj("東京都港区芝公園4-2-8"));
    EXPECT_EQ(c.fields.g1, sj("雑貨"));
    EXPECT_EQ(c.fields.date, "2026/12/07");
    EXPECT_TRUE(c.fields.timeBand[2]);
    EXPECT_EQ(c.fields.my, sj("ペリカン商店"));
    EXPECT_EQ(c.fields.dpix, "360");
}

TEST(OrderCheck, ColumnsOverrideDefaults) {
    Order o = goodOrder();
    o[Col::G2] = "みかん";
    o[Col::DeliveryDate] = "2026年12月9日";
    o[Col::TimeBand] = "１２〜１４時";
    o[Col::Special] = "冷蔵・空港";
    o[Col::ShipDate] = "2026-12-08";
    o[Col::My] = "別の店";
    o[Col::MyZip] = "5300001";
    const CheckedOrder c = checkOrder(o, defaults(), {});
    ASSERT_TRUE(c.printable()) << c.problems[0].text;
    EXPECT_EQ(c.fields.g1, "");  // the order's goods replace the default lines
    EXPECT_EQ(c.fields.g2, sj("みかん"));
    EXPECT_EQ(c.fields.deDate1 + c.fields.deDate2 + c.fields.deDate3, "261209");
    EXPECT_EQ(c.fields.date, "2026/12/08");
    EXPECT_EQ(c.fields.timeBand, (std::array<bool, 6>{false, true, false, false, false, false}));
    EXPECT_EQ(c.fields.special, (std::array<bool, 5>{false, false, true, true, false}));
    EXPECT_EQ(c.fields.my, sj("別の店"));
    EXPECT_EQ(c.fields.myZip, "530-0001");
}

TEST(OrderCheck, TimeBandsAndCoolCodes) {
    struct Case {
        const char* band;
        int box;  // -1: none
    } bands[] = {{"0812", 0}, {"午前中", 0}, {"1214", 1}, {"14-16", 2}, {"1618", 3},
                 {"18時～20時", 4}, {"2021", 5}, {"指定なし", -1}};
    for (const Case& b : bands) {
        Order o = goodOrder();
        o[Col::TimeBand] = b.band;
        const CheckedOrder c = checkOrder(o, defaults(), {});
        ASSERT_TRUE(c.printable()) << b.band;
        for (int i = 0; i < 6; ++i) EXPECT_EQ(c.fields.timeBand[static_cast<std::size_t>(i)], i == b.box) << b.band;
    }
    struct Cool {
        const char* code;
        std::array<bool, 5> special;
    } cools[] = {{"1", {false, false, false, false, true}}, {"2", {false, false, false, true, false}},
                 {"0", {}}, {"冷凍 冷蔵", {false, false, false, true, true}}};
    for (const Cool& k : cools) {
        Order o = goodOrder();
        o[Col::Special] = k.code;
        const CheckedOrder c = checkOrder(o, defaults(), {});
        ASSERT_TRUE(c.printable()) << k.code;
        EXPECT_EQ(c.fields.special, k.special) << k.code;
    }
}

TEST(OrderCheck, ProblemsNameTheField) {
    struct Case {
        Col col;
        const char* value;
        std::vector<std::string> problems;
    } cases[] = {
        {Col::Zip, "", {"zip:"}},
        {Col::Zip, "105-001", {"zip:"}},
        {Col::Zip, "〒１０５－００１１", {}},
        {Col::Add1, "", {"add1:"}},
        {Col::Add1, "東京都港区芝公園四丁目二番八号ペリカンビル", {"add1:"}},  // 42 bytes
        {Col::Name, "", {"name:"}},
        {Col::Name, "𠮷野家", {"name:"}},  // no Shift-JIS form
        {Col::Name, "髙橋", {}},           // an NEC/IBM extension character is fine
        {Col::G1, "1234567890123456789012345678901", {"g1:"}},
        {Col::DeliveryDate, "2026/02/30", {"delivery_date:"}},
        {Col::DeliveryDate, "明日", {"delivery_date:"}},
        {Col::DeliveryDate, "2026/12/06", {"delivery_date:"}},  // before shipping
        {Col::DeliveryDate, "12/9", {}},
        {Col::TimeBand, "1921", {"time_band:"}},
        {Col::Special, "ゴルフ スキー", {"special:"}},
        {Col::Special, "ワレモノ", {"special:"}},
        {Col::ShipDate, "someday", {"date:"}},
    };
    for (const Case& c : cases) {
        Order o = goodOrder();
        o[c.col] = c.value;
        EXPECT_EQ(summary(checkOrder(o, defaults(), {})), c.problems) << c.value;
    }
    const CheckedOrder bad = [] {
        Order o = goodOrder();
        o[Col::Name] = "𠮷野家";
        return checkOrder(o, defaults(), {});
    }();
    EXPECT_NE(bad.problems[0].text.find("「𠮷」は「〓」"), std::string::npos) << bad.problems[0].text;
    EXPECT_EQ(bad.fields.custo1, sj("〓野家"));

    Order ragged = goodOrder();
    ragged.fieldCount = 3;
    const CheckedOrder r = checkOrder(ragged, defaults(), {});
    EXPECT_EQ(summary(r), std::vector<std::string>{"row:"});
    EXPECT_NE(r.problems[0].text.find("2行目"), std::string::npos);
}

TEST(OrderCheck, SpreadsheetDamageIsOfferedAsARepair) {
    struct Case {
        Col col;
        const char* damaged;
        const char* repaired;
    } cases[] = {
        {Col::Zip, "600000", "060-0000"},
        {Col::Zip, "1,050,011", "105-0011"},
        {Col::Tel, "312345678", "0312345678"},
        {Col::Tel, "9012345678", "09012345678"},
        {Col::Tel, "312,345,678", "0312345678"},
        {Col::DeliveryDate, "46000", "2025/12/09"},
        {Col::TimeBand, "812", "0812"},
    };
    for (const Case& c : cases) {
        Order o = goodOrder();
        o[Col::ShipDate] = "2025/12/01";
        o[c.col] = c.damaged;
        const CheckedOrder checked = checkOrder(o, defaults(), {});
        ASSERT_EQ(checked.problems.size(), 1u) << c.damaged;
        EXPECT_EQ(checked.problems[0].repair, c.repaired) << c.damaged;
        const CheckedOrder mended = checkOrder(withRepairs(o, checked.problems), defaults(), {});
        EXPECT_TRUE(mended.printable()) << c.damaged;
    }
    Order lost = goodOrder();
    lost[Col::Tel] = "3.12346E+08";  // digits already gone: nothing to offer
    const CheckedOrder c = checkOrder(lost, defaults(), {});
    ASSERT_EQ(summary(c), std::vector<std::string>{"tel:"});
}

TEST(OrderCheck, PluggedChecksSeeTheOrder) {
    std::string seenZip, seenAddress;
    Checks checks;
    checks.postal = [&](std::string_view zip, std::string_view address) {
        seenZip = zip;
        seenAddress = address;
        return zip == "1050011" ? PostalVerdict::Mismatch : PostalVerdict::Unknown;
    };
    Order o = goodOrder();
    o[Col::Add2] = "ビル";
    EXPECT_EQ(summary(checkOrder(o, defaults(), checks)), std::vector<std::string>{"zip:"});
    EXPECT_EQ(seenZip, "1050011");
    EXPECT_EQ(seenAddress, "東京都港区芝公園4-2-8ビル");
    checks.postal = [](std::string_view, std::string_view) { return PostalVerdict::Unavailable; };
    checks.waybill = [](const print::WaybillFields& f, std::vector<Problem>& out) {
        if (f.custo1.size() > 4) out.push_back({Col::Name, "はみ出します", {}});
    };
    EXPECT_EQ(summary(checkOrder(o, defaults(), checks)), std::vector<std::string>{"name:"});
}

TEST(OrderCheck, PostalCodesFitTheirAddressDownToTheTown) {
    const postal::Table table = postal::Table::load(VP_BUNDLED_TABLE);
    Checks checks;
    checks.postal = postalCheckOf(table);
    for (const TownCase& c : townCases()) {
        Order o = goodOrder();
        o[Col::Zip] = c.zip;
        o[Col::Add1] = c.address;
        const std::vector<std::string> problems = summary(checkOrder(o, defaults(), checks));
        EXPECT_EQ(std::count(problems.begin(), problems.end(), "zip:"), c.matches ? 0 : 1) << c.zip << " " << c.address;
    }
}

TEST(OrderCheck, OverflowsBecomeProblemsOfTheirColumn) {
    using print::FormItem;
    const Checks checks{{}, overflowCheckOf([](const print::WaybillFields&) {
                            // Three postal code boxes, the name, and an item outside the paper.
                            return std::vector<print::Overflow>{{FormItem::Zip1, 40, 30, false},
                                                                {FormItem::Zip5, 40, 30, false},
                                                                {FormItem::Name, 900, 800, false},
                                                                {FormItem::MyTel, 100, 10, true}};
                        })};
    const CheckedOrder c = checkOrder(goodOrder(), defaults(), checks);
    EXPECT_EQ(summary(c), (std::vector<std::string>{"zip:", "name:", "my_tel:"}));
    EXPECT_NE(c.problems[1].text.find("おなまえが枠からはみ出します"), std::string::npos) << c.problems[1].text;
    EXPECT_NE(c.problems[2].text.find("範囲の外"), std::string::npos) << c.problems[2].text;
    EXPECT_EQ(colOf(FormItem::DeliveryMonth), Col::DeliveryDate);
    EXPECT_EQ(colOf(FormItem::Frozen), Col::Special);
    EXPECT_EQ(colOf(FormItem::Goods3), Col::G3);
}

// A form other than the built-in one limits its items to so many bytes:
// the check names each text past its limit on its column, the built-in
// form's own file limits nothing; the address lines break where the form's
// おところ① ends.
TEST(OrderCheck, AFormsByteLimitsAndAddressRoomApply) {
    print::Form form = print::builtinForm();
    form.id = "narrow";
    form.byteLimits[static_cast<std::size_t>(print::FormItem::Name)] = 6;
    form.byteLimits[static_cast<std::size_t>(print::FormItem::Goods1)] = 4;  // 雑貨: just fits
    const Checks checks{{}, overflowCheckOf([](const print::WaybillFields&) { return std::vector<print::Overflow>{}; })};
    print::WaybillFields d = defaults();
    d.form = &form;
    const CheckedOrder c = checkOrder(goodOrder(), d, checks);
    ASSERT_EQ(summary(c), std::vector<std::string>{"name:"});
    EXPECT_EQ(c.problems[0].text, "おなまえが長すぎます (8バイト、この用紙では6バイトまで)");
    d.g1 = sj("雑貨類");
    EXPECT_EQ(summary(checkOrder(goodOrder(), d, checks)), (std::vector<std::string>{"g1:", "name:"}));  // drawing order

    print::Form builtinFile = form;
    builtinFile.id = print::builtinForm().id;
    d.form = &builtinFile;
    EXPECT_TRUE(checkOrder(goodOrder(), d, checks).problems.empty());

    EXPECT_EQ(addressRoomBytes(form), addressRoomBytes());
    form.byteLimits[static_cast<std::size_t>(print::FormItem::Add1)] = 20;
    EXPECT_EQ(addressRoomBytes(form), 20u);
    const OrderFile f = readOrderFile("住所,氏名\n北海道札幌市中央区北一条西2丁目1番地,a\n");
    const Order o = ordersOf(f, guessMapping(f.header, false), addressRoomBytes(form)).at(0);
    EXPECT_EQ(o[Col::Add1], "北海道札幌市中央区");
    EXPECT_EQ(o[Col::Add2], "北一条西2丁目1番地");
}
