#include "batch/header_recognition.h"

#include <array>
#include <optional>

namespace batch {

namespace {

struct Prefix {
    std::string_view key;
    Role role;
};
// Longer prefixes before the ones they start with ("shipping" before "ship").
constexpr Prefix kPrefixes[] = {
    {"お届け先", Role::Consignee}, {"届け先", Role::Consignee},   {"送付先", Role::Consignee},
    {"配送先", Role::Consignee},   {"配達先", Role::Consignee},   {"受取人", Role::Consignee},
    {"shipping", Role::Consignee}, {"shipto", Role::Consignee},   {"ship", Role::Consignee},
    {"recipient", Role::Consignee}, {"delivery", Role::Consignee},
    {"注文者", Role::Orderer},     {"購入者", Role::Orderer},     {"billing", Role::Orderer},
    {"buyer", Role::Orderer},      {"orderer", Role::Orderer},    {"bill", Role::Orderer},
    {"ご依頼主", Role::Sender},    {"依頼主", Role::Sender},      {"sender", Role::SenderWord},
};

// A field word and the target of each part number (part 0 and 1 take the
// first). A repeated target means the parts are joined into one field.
struct Word {
    std::string_view key;
    std::array<Target, 3> parts;
};
constexpr Target N = Target::None;
constexpr Word one(std::string_view key, Target t) { return {key, {t, N, N}}; }
constexpr Word kWords[] = {
    {"郵便番号", {Target::Zip, Target::Zip, N}}, {"〒", {Target::Zip, Target::Zip, N}},
    {"zip", {Target::Zip, Target::Zip, N}}, {"zipcode", {Target::Zip, Target::Zip, N}},
    {"postal", {Target::Zip, Target::Zip, N}}, {"postalcode", {Target::Zip, Target::Zip, N}},
    {"postcode", {Target::Zip, Target::Zip, N}},
    {"住所", {Target::Address, Target::Address2, Target::Building}},
    {"address", {Target::Address, Target::Address2, Target::Building}},
    {"おところ", {Target::Address, Target::Address2, N}},
    one("都道府県", Target::Pref), one("住所都道府県", Target::Pref), one("prefecture", Target::Pref),
    one("state", Target::Pref), one("province", Target::Pref), one("provincename", Target::Pref),
    one("市区町村", Target::City), one("住所市区町村", Target::City), one("都市区", Target::City),
    one("住所都市区", Target::City), one("city", Target::City),
    one("都道府県名", Target::Pref), one("都道府県(名称)", Target::Pref), one("都道府県区分", Target::Pref),
    one("郡市区", Target::City), one("住所郡市区", Target::City),
    one("それ以降の住所", Target::Street), one("住所それ以降の住所", Target::Street),
    one("番地", Target::Street), one("町域番地", Target::Street), one("町名番地", Target::Street),
    one("町名・番地", Target::Street), one("町以降", Target::Street), one("住所町以降", Target::Street),
    one("street", Target::Street),
    one("建物名", Target::Building), one("建物", Target::Building), one("ビル名", Target::Building),
    one("建物名・部屋番号", Target::Building), one("アパートマンション名", Target::Building),
    one("アパートマンション", Target::Building), one("building", Target::Building),
    one("氏名", Target::Name), one("お名前", Target::Name), one("名前", Target::Name), one("名", Target::Name),
    one("宛名", Target::Name), one("おなまえ", Target::Name), one("name", Target::Name),
    one("fullname", Target::Name), one("firstname", Target::Name), one("givenname", Target::Name),
    // Split names as EC-CUBE and futureshop head them: お名前(姓), 氏名（名）.
    one("お名前(姓)", Target::Family), one("お名前(名)", Target::Name), one("氏名(姓)", Target::Family),
    one("氏名(名)", Target::Name), one("名前(姓)", Target::Family), one("名前(名)", Target::Name),
    one("名字", Target::Family), one("苗字", Target::Family), one("姓", Target::Family),
    one("lastname", Target::Family), one("familyname", Target::Family), one("surname", Target::Family),
    one("会社名", Target::Company), one("company", Target::Company), one("companyname", Target::Company),
    {"会社・部門", {Target::Company, Target::Department, N}},
    one("部署名", Target::Department), one("部署", Target::Department), one("部門", Target::Department),
    one("department", Target::Department),
    one("敬称", Target::Honorific),
    {"電話番号", {Target::Tel, Target::Tel, Target::Tel}}, {"電話", {Target::Tel, Target::Tel, Target::Tel}},
    {"tel", {Target::Tel, Target::Tel, Target::Tel}}, {"phone", {Target::Tel, Target::Tel, Target::Tel}},
    {"telephone", {Target::Tel, Target::Tel, Target::Tel}},
    {"phonenumber", {Target::Tel, Target::Tel, Target::Tel}}, {"でんわ", {Target::Tel, Target::Tel, Target::Tel}},
    {"品名", {Target::G1, Target::G2, Target::G3}}, {"商品名", {Target::G1, Target::G2, Target::G3}},
    {"item", {Target::G1, Target::G2, Target::G3}}, {"itemname", {Target::G1, Target::G2, Target::G3}},
    one("product", Target::G1), one("productname", Target::G1), one("内容品", Target::G1),
    one("lineitemname", Target::G1),
    one("数量", Target::Quantity), one("個数", Target::Quantity), one("quantity", Target::Quantity),
    one("qty", Target::Quantity), one("lineitemquantity", Target::Quantity),
    one("quantitypurchased", Target::Quantity), one("販売個数", Target::Quantity),
    one("注文番号", Target::OrderNo), one("受注番号", Target::OrderNo), one("注文id", Target::OrderNo),
    one("orderid", Target::OrderNo), one("ordernumber", Target::OrderNo), one("amazonorderid", Target::OrderNo),
    one("orderitemid", Target::OrderItemId),
    one("お届け日", Target::DeliveryDate), one("お届け日指定", Target::DeliveryDate),
    one("配達希望日", Target::DeliveryDate), one("お届け予定(指定)日", Target::DeliveryDate),
    one("お届け希望日", Target::DeliveryDate), one("配達指定日", Target::DeliveryDate),
    one("配達日指定", Target::DeliveryDate), one("配送希望日", Target::DeliveryDate), one("配達日", Target::DeliveryDate),
    one("着日指定", Target::DeliveryDate), one("deliverydate", Target::DeliveryDate),
    one("時間帯", Target::TimeBand), one("配達時間帯", Target::TimeBand), one("配達希望時間帯", Target::TimeBand),
    one("お届け時間帯", Target::TimeBand), one("お届け時間(名称)", Target::TimeBand),
    one("配送時間帯", Target::TimeBand), one("配送希望時間", Target::TimeBand), one("希望時間帯", Target::TimeBand), one("timeband", Target::TimeBand),
    one("deliverytime", Target::TimeBand),
    one("クール区分", Target::Special), one("クール", Target::Special), one("特殊取扱", Target::Special),
    one("special", Target::Special),
    one("出荷予定日", Target::ShipDate), one("出荷日", Target::ShipDate), one("発送日", Target::ShipDate),
    one("shipdate", Target::ShipDate),
};

const Word* findWord(std::string_view key) {
    for (const Word& w : kWords)
        if (w.key == key) return &w;
    return nullptr;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The sender's field for one the header names.
Target senderTarget(Target t) {
    switch (t) {
    case Target::Zip: return Target::MyZip;
    case Target::Address:
    case Target::Pref:
    case Target::City:
    case Target::Street: return Target::MyAddress;
    case Target::Address2:
    case Target::Building: return Target::MyBuilding;
    case Target::Name:
    case Target::Family:
    case Target::Company:
    case Target::Department: return Target::MyName;
    case Target::Tel: return Target::MyTel;
    default: return Target::None;
    }
}

// Fields that belong to a person and so to a role; the rest (goods, dates,
// order numbers) are the order's whatever the prefix.
bool isPersonal(Target t) { return senderTarget(t) != Target::None || t == Target::Honorific; }

// Which columns feed each target, so that a later column does not take a
// field an earlier or more specific one already feeds.
class Claims {
public:
    // A column's claim on target t, made in the given pass. Parts of one
    // field (the three of a telephone number) are joined; other fields
    // take their first column. Special handling and the sender's fields
    // join whatever columns feed them within one pass.
    bool take(Target t, int part, int pass) {
        Slot& s = slots_[static_cast<std::size_t>(t)];
        const bool joinsAll = t == Target::Special || t >= Target::MyZip;
        const bool joinsParts = t == Target::Zip || t == Target::Tel;
        const unsigned bit = part > 0 ? 1u << part : ~0u;
        if (s.pass != 0) {
            if (s.pass != pass) return false;
            if (!joinsAll && !(joinsParts && (s.parts & bit) == 0 && part > 0)) return false;
        }
        s.pass = pass;
        s.parts |= bit;
        return true;
    }

private:
    struct Slot {
        int pass = 0;
        unsigned parts = 0;
    };
    std::array<Slot, static_cast<std::size_t>(Target::Count)> slots_{};
};

}  // namespace

namespace {

std::string keyOnce(std::string_view utf8) {
    const std::string n = normaliseHeader(utf8);
    std::string out;
    out.reserve(n.size());
    for (std::size_t i = 0; i < n.size(); ++i) {
        // ①②③ are E2 91 A0..A2.
        if (n.compare(i, 2, "\xE2\x91") == 0 && i + 2 < n.size() && n[i + 2] >= '\xA0' && n[i + 2] <= '\xA2') {
            out += static_cast<char>('1' + (n[i + 2] - '\xA0'));
            i += 2;
        } else if (n[i] != ':' && n[i] != '"') {  // a full-width quote comes through as '"'
            out += n[i];
        }
    }
    return out;
}

}  // namespace

std::string headerKey(std::string_view utf8) {
    std::string key = keyOnce(utf8);
    // Dropping a separator can join the stray bytes of broken UTF-8 around
    // it into a character that normalises otherwise (a full-width blank);
    // go again until the key stays as it is, so a key is its own key.
    for (int round = 0; round < 8; ++round) {
        std::string next = keyOnce(key);
        if (next == key) break;
        key = std::move(next);
    }
    return key;
}

HeaderMeaning recogniseHeader(std::string_view utf8) {
    std::string key = headerKey(utf8);
    int part = 0;
    if (key.size() > 1 && key.back() >= '1' && key.back() <= '3' && !isDigit(key[key.size() - 2])) {
        part = key.back() - '0';
        key.pop_back();
    }
    auto meaning = [&](Role role, const Word& w) -> std::optional<HeaderMeaning> {
        const Target t = w.parts[static_cast<std::size_t>(part > 0 ? part - 1 : 0)];
        if (t == Target::None) return std::nullopt;
        // A prefix names whose field it is; order-wide fields take none.
        if (role != Role::Plain && !isPersonal(t)) return std::nullopt;
        return HeaderMeaning{role, t, part};
    };
    // The whole header first: お届け日 and deliverydate are words, not a
    // prefix and a word.
    if (const Word* w = findWord(key))
        if (auto m = meaning(Role::Plain, *w)) return *m;
    for (const Prefix& p : kPrefixes) {
        if (key.size() <= p.key.size() || key.compare(0, p.key.size(), p.key) != 0) continue;
        if (const Word* w = findWord(std::string_view(key).substr(p.key.size())))
            if (auto m = meaning(p.role, *w)) return *m;
    }
    return {};
}

Mapping recogniseColumns(const std::vector<std::string>& header, bool fileSender) {
    std::vector<HeaderMeaning> meanings;
    meanings.reserve(header.size());
    for (const std::string& h : header) meanings.push_back(recogniseHeader(h));

    Mapping m(header.size(), Target::None);
    Claims claims;
    int pass = 0;
    // Columns of one role in file order, each to the field `as` gives it.
    auto assign = [&](Role role, Target (*as)(Target)) {
        ++pass;
        for (std::size_t i = 0; i < meanings.size(); ++i) {
            if (meanings[i].role != role || meanings[i].target == Target::None) continue;
            const Target t = as(meanings[i].target);
            if (t != Target::None && claims.take(t, meanings[i].part, pass)) m[i] = t;
        }
    };
    auto asConsignee = [](Target t) { return t; };
    assign(Role::Consignee, asConsignee);
    assign(Role::Plain, asConsignee);
    // "sender" columns in a file that names no other consignee are where
    // the parcel goes; the orderer's then is the buyer.
    const bool senderWordIsConsignee = !hasConsigneeColumn(m);
    if (senderWordIsConsignee) assign(Role::SenderWord, asConsignee);
    // A file of orders without a separate consignee ships to the buyer.
    const bool toOrderer = !hasConsigneeColumn(m);
    if (toOrderer) assign(Role::Orderer, asConsignee);
    if (fileSender) {
        assign(Role::Sender, senderTarget);
        if (!senderWordIsConsignee) assign(Role::SenderWord, senderTarget);
        if (!toOrderer) assign(Role::Orderer, senderTarget);
    }
    return m;
}

}  // namespace batch
