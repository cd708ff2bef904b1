#include "history/history_csv.h"

#include <array>

#include "text/sjis_convert.h"

namespace store {

namespace {

constexpr const char* kHeader[] = {
    "印刷日時", "プリンタ", "ジョブ", "用紙", "郵便番号", "おところ①", "おところ②", "おなまえ", "でんわ",
    "発送日", "日付印字", "ご希望お届け日", "品名1", "品名2", "品名3", "ご希望時間帯", "特殊扱い",
    "ご依頼主印字", "ご依頼主郵便番号", "ご依頼主おところ①", "ご依頼主おところ②", "ご依頼主おなまえ",
    "ご依頼主でんわ", "注文番号", "伝票番号"};

constexpr std::array<const char*, 6> kTimeBands = {"午前中", "12→14時", "14→16時", "16→18時", "18→20時", "20→21時"};
constexpr std::array<const char*, 5> kSpecial = {"ゴルフ", "スキー", "空港", "冷蔵", "冷凍"};

template <std::size_t N>
std::string captions(const std::array<bool, N>& boxes, const std::array<const char*, N>& names) {
    std::string out;
    for (std::size_t i = 0; i < N; ++i) {
        if (!boxes[i]) continue;
        if (!out.empty()) out += ' ';
        out += names[i];
    }
    return out;
}

// The requested delivery date as "yy/mm/dd", empty when none was given.
std::string deliveryDate(const WaybillRecord& r) {
    if (r.deDate1.empty() && r.deDate2.empty() && r.deDate3.empty()) return {};
    return sjis::toUtf8(r.deDate1) + "/" + sjis::toUtf8(r.deDate2) + "/" + sjis::toUtf8(r.deDate3);
}

}  // namespace

std::string historyCsv(std::span<const WaybillRecord> rows) {
    std::string out = "\xEF\xBB\xBF";
    auto line = [&out](std::initializer_list<std::string_view> fields) {
        bool first = true;
        for (const std::string_view f : fields) {
            if (!first) out += ',';
            first = false;
            out += csvField(f);
        }
        out += "\r\n";
    };
    auto u = [](const std::string& sjisText) { return sjis::toUtf8(sjisText); };
    auto yesNo = [](bool b) { return b ? std::string("1") : std::string("0"); };
    {
        bool first = true;
        for (const char* h : kHeader) {
            if (!first) out += ',';
            first = false;
            out += csvField(h);
        }
        out += "\r\n";
    }
    for (const WaybillRecord& r : rows) {
        const Consignee& c = r.consignee;
        line({r.time, u(r.printer), std::to_string(r.job), u(r.feedMode), u(c.zip), u(c.add1), u(c.add2),
              u(c.name), u(c.tel), u(r.date), yesNo(r.printDate), deliveryDate(r), u(r.g1), u(r.g2), u(r.g3),
              captions(r.timeBand, kTimeBands), captions(r.special, kSpecial), yesNo(r.printSender), u(r.myZip),
              u(r.myAdd1), u(r.myAdd2), u(r.myName), u(r.myTel), u(r.orderNo), r.tracking});
    }
    return out;
}

}  // namespace store
