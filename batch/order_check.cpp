#include "batch/order_check.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <optional>

#include "batch/address_join.h"
#include "text/sjis_convert.h"

namespace batch {

namespace {

using namespace std::chrono;

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<int> toInt(std::string_view s) {
    int v = 0;
    if (!allDigits(s) || s.size() > 9) return std::nullopt;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

std::string twoDigits(unsigned v) {
    return std::string{static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10)};
}

std::string formatDate(const year_month_day& d) {
    return std::to_string(static_cast<int>(d.year())) + "/" + twoDigits(static_cast<unsigned>(d.month())) + "/" +
           twoDigits(static_cast<unsigned>(d.day()));
}

class Checker {
public:
    Checker(const Order& o, const print::WaybillFields& defaults, const Checks& checks)
        : o_(o), checks_(checks) {
        out_.fields = defaults;
    }

    CheckedOrder run();

private:
    void problem(Col c, std::string text, std::string repair = {}) {
        out_.problems.push_back({c, std::move(text), std::move(repair)});
    }
    // A warning the user accepted for this order holds the row back no more.
    void warning(Col c, std::string text) {
        const auto& accepted = o_.accepted;
        const bool taken = std::any_of(accepted.begin(), accepted.end(), [&](const OrderNote& n) {
            return n.col == c && n.text == text && (c == Col::Count || n.value == o_[c]);
        });
        out_.problems.push_back({c, std::move(text), {}, true, taken});
    }
    // Shift-JIS of the text; characters it cannot hold are named, with the
    // "〓" that prints in their place.
    std::string encode(Col c, const std::string& utf8);
    void limit(Col c, const std::string& sjis, std::size_t bytes);
    void zip(Col c, std::string& target, bool required);
    void tel(Col c, std::string& target);
    std::optional<year_month_day> date(Col c, const std::string& text, std::optional<year_month_day> after);
    void timeBand();
    void special();

    const Order& o_;
    const Checks& checks_;
    CheckedOrder out_;
};

std::string Checker::encode(Col c, const std::string& utf8) {
    if (auto s = sjis::fromUtf8(utf8)) return *s;
    std::string bad;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t len = std::min(sjis::utf8SeqLen(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        const std::string ch = utf8.substr(i, len);
        if (!sjis::canEncode(ch) && bad.find(ch) == std::string::npos) bad += ch;
        i += len;
    }
    problem(c, "Shift-JISにない文字「" + bad + "」は「〓」と印字されます");
    return sjis::fromUtf8Lossy(utf8);
}

void Checker::limit(Col c, const std::string& sjis, std::size_t bytes) {
    if (sjis.size() > bytes)
        problem(c, std::string(colCaption(c)) + "が長すぎます (" + std::to_string(sjis.size()) + "バイト、" +
                       std::to_string(bytes) + "バイトまで)");
}

void Checker::zip(Col c, std::string& target, bool required) {
    const std::string raw = o_[c];
    std::string z = halfWidthDigits(raw);
    if (z.empty()) {
        if (required) problem(c, "郵便番号がありません");
        target.clear();
        return;
    }
    std::string digits, plain;
    for (char ch : z) {
        if (ch != '-') digits += ch;
        if (ch != ',') plain += ch;
    }
    const bool hyphened = z.size() == 8 && z[3] == '-';
    if (!allDigits(digits) || digits.size() != 7 || (z.size() != 7 && !hyphened)) {
        // A spreadsheet that took the code for a number drops a leading
        // zero (Hokkaido codes start with 0) or adds thousands commas.
        if (allDigits(plain) && (plain.size() == 6 || (plain.size() == 7 && plain != z))) {
            if (plain.size() == 6) plain.insert(0, "0");
            const std::string fixed = plain.substr(0, 3) + "-" + plain.substr(3);
            problem(c, "郵便番号が表計算ソフトで崩れています: " + raw + " → " + fixed, fixed);
        } else {
            problem(c, "郵便番号の形が違います: " + raw);
        }
        target = encode(c, raw);
        return;
    }
    // Seven digits get the hyphen, as on the entry form: the form's boxes
    // take bytes 1-3 and 5-8.
    target = digits.substr(0, 3) + "-" + digits.substr(3);
    if (c == Col::Zip && checks_.postal) {
        const std::string address = o_[Col::Add1] + o_[Col::Add2];
        switch (checks_.postal(digits, address)) {
        case PostalVerdict::Unknown: problem(c, "郵便番号 " + target + " はありません"); break;
        case PostalVerdict::Mismatch: problem(c, "郵便番号と住所が一致しません"); break;
        case PostalVerdict::Ok:
        case PostalVerdict::Unavailable: break;
        }
    }
}

void Checker::tel(Col c, std::string& target) {
    const std::string raw = o_[c];
    const std::string t = halfWidthDigits(raw);
    std::string plain;
    for (char ch : t)
        if (ch != ',') plain += ch;
    if (t.find_first_of("Ee") != std::string::npos && t.find('+') != std::string::npos) {
        problem(c, "電話番号が数値に変わって桁が失われています: " + raw);
    } else if (allDigits(plain) && plain[0] != '0' && (plain.size() == 9 || plain.size() == 10)) {
        // Japanese numbers start with 0; nine or ten digits without it are
        // a number whose leading zero a spreadsheet dropped.
        problem(c, "電話番号が表計算ソフトで崩れています: " + raw + " → 0" + plain, "0" + plain);
    } else if (plain != t && allDigits(plain)) {
        problem(c, "電話番号が表計算ソフトで崩れています: " + raw + " → " + plain, plain);
    }
    // The carrier calls before delivering; a waybill without a number
    // prints only once the user has looked at it.
    if (c == Col::Tel && t.empty()) warning(c, "でんわがありません（配達の連絡ができません）");
    target = encode(c, t);
    limit(c, target, kTelBytes);
}

// yyyy/mm/dd, yyyy-mm-dd, yyyy.mm.dd, yyyymmdd, yyyy年m月d日; m/d takes the
// year of `after` (the next year when the day has passed). A spreadsheet's
// day number (days since 1899-12-30) is offered as a repair.
std::optional<year_month_day> Checker::date(Col c, const std::string& text, std::optional<year_month_day> after) {
    // A date with a time of day ("2025-07-10 00:00:00", as EC-CUBE writes
    // it) is that date.
    std::string_view datePart = text;
    if (const std::size_t blank = datePart.find(' '); blank != std::string_view::npos) {
        const std::string time = halfWidthDigits(datePart.substr(blank + 1));
        if (time.find(':') != std::string::npos &&
            std::all_of(time.begin(), time.end(), [](char ch) { return ch == ':' || (ch >= '0' && ch <= '9'); }))
            datePart = datePart.substr(0, blank);
    }
    std::string s = halfWidthDigits(datePart);
    for (const char* sep : {"年", "月", "日", "-", "."}) {
        for (std::size_t p = s.find(sep); p != std::string::npos; p = s.find(sep))
            s.replace(p, std::char_traits<char>::length(sep), std::string_view(sep) == "日" ? "" : "/");
    }
    std::vector<std::string_view> parts;
    std::string_view rest = s;
    while (true) {
        const std::size_t slash = rest.find('/');
        parts.push_back(rest.substr(0, slash));
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    std::optional<int> y, m, d;
    if (parts.size() == 1 && parts[0].size() == 8) {
        y = toInt(parts[0].substr(0, 4));
        m = toInt(parts[0].substr(4, 2));
        d = toInt(parts[0].substr(6, 2));
    } else if (parts.size() == 1 && parts[0].size() == 5 && toInt(parts[0])) {
        const year_month_day serial{sys_days{year{1899} / December / 30} + days{*toInt(parts[0])}};
        if (serial.year() >= year{2000} && serial.year() <= year{2099}) {
            const std::string fixed = formatDate(serial);
            problem(c, std::string(colCaption(c)) + "が表計算ソフトで数値に変わっています: " + text + " → " + fixed, fixed);
            return std::nullopt;
        }
    } else if (parts.size() == 3) {
        y = toInt(parts[0]);
        m = toInt(parts[1]);
        d = toInt(parts[2]);
    } else if (parts.size() == 2 && after) {
        m = toInt(parts[0]);
        d = toInt(parts[1]);
        y = static_cast<int>(after->year());
        if (m && d && year_month_day{year{*y} / *m / *d} < *after) ++*y;
    }
    if (y && *y < 100) *y += 2000;
    if (!y || !m || !d || *y < 2000 || *y > 2099) {
        problem(c, std::string(colCaption(c)) + "が日付ではありません: " + text);
        return std::nullopt;
    }
    const year_month_day ymd{year{*y} / month{static_cast<unsigned>(*m)} / day{static_cast<unsigned>(*d)}};
    if (!ymd.ok()) {
        problem(c, std::string(colCaption(c)) + "がありえない日付です: " + text);
        return std::nullopt;
    }
    return ymd;
}

void Checker::timeBand() {
    std::string t = halfWidthDigits(o_[Col::TimeBand]);
    if (t.empty()) return;  // the batch's own choice stays
    for (const char* drop : {"時", ":00", "〜", "～", "~", "-", "→", "から", "まで"})
        for (std::size_t p = t.find(drop); p != std::string::npos; p = t.find(drop))
            t.erase(p, std::char_traits<char>::length(drop));
    struct Band { std::string_view code; int box; };
    static constexpr Band kBands[] = {
        {"0812", 0}, {"午前中", 0}, {"午前", 0}, {"am", 0}, {"AM", 0}, {"1214", 1}, {"1416", 2},
        {"1618", 3}, {"1820", 4}, {"2021", 5}, {"0", -1}, {"なし", -1}, {"指定なし", -1},
    };
    out_.fields.timeBand = {};
    if (t == "812") {
        problem(Col::TimeBand, "時間帯が表計算ソフトで崩れています: 812 → 0812", "0812");
        return;
    }
    for (const Band& b : kBands) {
        if (t == b.code) {
            if (b.box >= 0) out_.fields.timeBand[static_cast<std::size_t>(b.box)] = true;
            return;
        }
    }
    problem(Col::TimeBand, "この伝票にない時間帯です: " + o_[Col::TimeBand]);
}

void Checker::special() {
    const std::string& s = o_[Col::Special];
    if (s.empty()) return;
    static constexpr std::string_view kWords[] = {"ゴルフ", "スキー", "空港", "冷蔵", "冷凍"};
    out_.fields.special = {};
    std::string_view rest = s;
    while (!rest.empty()) {
        std::size_t cut = rest.find_first_of(" ,/");
        std::size_t skip = 1;
        for (std::string_view sep : {"\u3000", "・", "、"}) {
            const std::size_t p = rest.find(sep);
            if (p < cut) cut = p, skip = sep.size();
        }
        const std::string_view word = rest.substr(0, cut);
        rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + skip);
        if (word.empty() || word == "0" || word == "通常" || word == "なし") continue;
        // Cool codes of send-list files: 1 frozen, 2 chilled.
        if (word == "1") out_.fields.special[4] = true;
        else if (word == "2") out_.fields.special[3] = true;
        else {
            const auto* it = std::find(std::begin(kWords), std::end(kWords), word);
            if (it == std::end(kWords)) {
                problem(Col::Special, "この伝票にない取扱です: " + std::string(word));
                continue;
            }
            out_.fields.special[static_cast<std::size_t>(it - std::begin(kWords))] = true;
        }
    }
    if (out_.fields.special[0] && out_.fields.special[1])
        problem(Col::Special, "ゴルフとスキーは一緒に選べません");
}

CheckedOrder Checker::run() {
    print::WaybillFields& f = out_.fields;
    if (o_.fieldCount != o_.headerCount)
        problem(Col::Count, std::to_string(o_.line) + "行目の列の数 (" + std::to_string(o_.fieldCount) +
                                ") が見出し (" + std::to_string(o_.headerCount) + ") と違います");

    zip(Col::Zip, f.zip, true);
    f.add1 = encode(Col::Add1, o_[Col::Add1]);
    f.add2 = encode(Col::Add2, o_[Col::Add2]);
    if (f.add1.empty() && f.add2.empty()) problem(Col::Add1, "おところがありません");
    limit(Col::Add1, f.add1, kAddressLineBytes);
    limit(Col::Add2, f.add2, kAddressLineBytes);
    f.custo1 = encode(Col::Name, o_[Col::Name]);
    if (f.custo1.empty()) problem(Col::Name, "おなまえがありません");
    limit(Col::Name, f.custo1, kNameBytes);
    tel(Col::Tel, f.tel);

    // The goods lines of the order replace the batch's goods as a whole.
    if (!o_[Col::G1].empty() || !o_[Col::G2].empty() || !o_[Col::G3].empty()) {
        f.g1 = encode(Col::G1, o_[Col::G1]);
        f.g2 = encode(Col::G2, o_[Col::G2]);
        f.g3 = encode(Col::G3, o_[Col::G3]);
    }
    limit(Col::G1, f.g1, kGoodsBytes);
    limit(Col::G2, f.g2, kGoodsBytes);
    limit(Col::G3, f.g3, kGoodsBytes);

    std::optional<year_month_day> ship;
    if (!o_[Col::ShipDate].empty()) {
        ship = date(Col::ShipDate, o_[Col::ShipDate], std::nullopt);
        if (ship) f.date = formatDate(*ship);
    } else if (f.date.size() == 10) {
        const auto y = toInt(std::string_view(f.date).substr(0, 4));
        const auto m = toInt(std::string_view(f.date).substr(5, 2));
        const auto d = toInt(std::string_view(f.date).substr(8, 2));
        if (y && m && d) ship = year{*y} / month{static_cast<unsigned>(*m)} / day{static_cast<unsigned>(*d)};
    }
    if (!o_[Col::DeliveryDate].empty()) {
        f.deDate1.clear(), f.deDate2.clear(), f.deDate3.clear();
        if (const auto de = date(Col::DeliveryDate, o_[Col::DeliveryDate], ship)) {
            if (ship && ship->ok() && *de < *ship) problem(Col::DeliveryDate, "お届け日が出荷日より前です");
            f.deDate1 = twoDigits(static_cast<unsigned>(static_cast<int>(de->year()) % 100));
            f.deDate2 = twoDigits(static_cast<unsigned>(de->month()));
            f.deDate3 = twoDigits(static_cast<unsigned>(de->day()));
        }
    }
    timeBand();
    special();

    // The file's sender, when the order holds one, replaces the sender tab.
    if (!o_[Col::My].empty() || !o_[Col::MyAdd1].empty() || !o_[Col::MyZip].empty()) {
        f.printSender = true;
        zip(Col::MyZip, f.myZip, false);
        f.myAdd1 = encode(Col::MyAdd1, o_[Col::MyAdd1]);
        f.myAdd2 = encode(Col::MyAdd2, o_[Col::MyAdd2]);
        f.my = encode(Col::My, o_[Col::My]);
        f.myTel = encode(Col::MyTel, halfWidthDigits(o_[Col::MyTel]));
        limit(Col::MyAdd1, f.myAdd1, kAddressLineBytes);
        limit(Col::MyAdd2, f.myAdd2, kAddressLineBytes);
        limit(Col::My, f.my, kNameBytes);
    }
    // What reading the order's rows found holds until its cell is corrected.
    for (const OrderNote& n : o_.notes)
        if (n.col == Col::Count || o_[n.col] == n.value) problem(n.col, n.text);
    if (checks_.waybill && !out_.hasErrors()) checks_.waybill(f, out_.problems);
    return std::move(out_);
}

}  // namespace

bool CheckedOrder::printable() const {
    return std::all_of(problems.begin(), problems.end(), [](const Problem& p) { return p.accepted; });
}

bool CheckedOrder::hasErrors() const {
    return std::any_of(problems.begin(), problems.end(), [](const Problem& p) { return !p.warning; });
}

std::string_view problemKey(const Problem& p) { return p.col == Col::Count ? "row" : colKey(p.col); }

std::string halfWidthDigits(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const std::string_view rest = s.substr(i);
        // Full-width digits U+FF10..U+FF19 are EF BC 90..99.
        if (rest.size() >= 3 && rest[0] == '\xEF' && rest[1] == '\xBC' && rest[2] >= '\x90' && rest[2] <= '\x99') {
            out += static_cast<char>('0' + (rest[2] - '\x90'));
            i += 3;
            continue;
        }
        bool done = false;
        for (std::string_view dash : {"－", "ー", "‐", "−", "―", "ｰ"}) {
            if (rest.substr(0, dash.size()) == dash) {
                out += '-';
                i += dash.size();
                done = true;
                break;
            }
        }
        if (done) continue;
        for (std::string_view drop : {"〒", "\u3000", " ", "\t"}) {
            if (rest.substr(0, drop.size()) == drop) {
                i += drop.size();
                done = true;
                break;
            }
        }
        if (done) continue;
        out += s[i++];
    }
    return out;
}

CheckedOrder checkOrder(const Order& order, const print::WaybillFields& defaults, const Checks& checks) {
    return Checker(order, defaults, checks).run();
}

Order withRepairs(Order order, const std::vector<Problem>& problems) {
    for (const Problem& p : problems)
        if (!p.repair.empty() && p.col != Col::Count) order[p.col] = p.repair;
    return order;
}

Order withWarningsAccepted(Order order, const std::vector<Problem>& problems) {
    for (const Problem& p : problems)
        if (p.warning && !p.accepted)
            order.accepted.push_back({p.col, p.text, p.col == Col::Count ? std::string() : order[p.col]});
    return order;
}

}  // namespace batch
