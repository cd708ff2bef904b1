#include "transfer/labels.h"

#include "text/sjis.h"
#include "transfer/sjis_literal.h"

namespace transfer {

const std::vector<std::string>& labelList() {
    // "TEL" stands twice; the second removal finds nothing, kept so the list
    // reads as the program has always used it.
    static const auto labels = sjisLiterals({
        "：", ":", "様",
        "〒", "郵便番号", "ゆうびんばんごう",
        "℡番号", "℡", "TEL", "Tel", "tel", "Ｔｅｌ", "ｔｅｌ", "TEL", "ＴＥＬ",
        "お電話番号", "電話番号", "お電話", "電話", "おでんわ", "でんわ",
        "おなまえ", "お名前", "御名前", "名前", "御氏名", "ご氏名", "氏名",
        "おところ１", "おところ２", "おところ1", "おところ2", "おところ", "ところ",
        "ご住所", "住所１", "住所２", "住所1", "住所2", "住所",
        "ご送付先", "送付先", "お送り先", "送り先", "お届け先", "届け先"});
    return labels;
}

std::string removeAll(std::string_view text, std::string_view mark) {
    if (mark.empty() || text.find(mark) == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, mark.size(), mark) == 0) {
            i += mark.size();
        } else {
            const std::size_t n = sjis::charBytes(text, i);
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

std::string stripLabels(std::string_view line) {
    std::string s(line);
    for (const std::string& label : labelList()) {
        if (s.find(label) != std::string::npos) s = removeAll(s, label);
        s.erase(0, s.size() - sjis::trimLeftView(s).size());  // trim left in place
    }
    return s;
}

}  // namespace transfer
