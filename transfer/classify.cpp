#include "transfer/classify.h"

#include <algorithm>

#include "text/sjis.h"
#include "transfer/han_conv.h"
#include "transfer/sjis_literal.h"
#include "transfer/str_count.h"

namespace transfer {

const std::vector<std::string>& mailWebMarks() {
    static const auto marks = sjisLiterals({"@", ".com", ".jp", ".co", ".org", ".ne", ".net"});
    return marks;
}

const std::vector<std::string>& digitMarks() {
    static const auto marks = sjisLiterals({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "-",
                                            "０", "１", "２", "３", "４", "５", "６", "７", "８", "９", "－"});
    return marks;
}

const std::vector<std::string>& nameAddrMarks() {
    static const auto marks = [] {
        std::vector<std::string> m = digitMarks();
        // Address words; building words in both widths of katakana.
        for (auto& w : sjisLiterals({"北海道", "都", "県", "府", "市", "区", "町", "村", "字", "番地", "丁目", "階", "号",
                                     "F", "Ｆ", "郵便局", "局留", "局止",
                                     "ビル", "ﾋﾞﾙ", "メゾン", "ﾒｿﾞﾝ", "マンション", "ﾏﾝｼｮﾝ", "ハイツ", "ﾊｲﾂ",
                                     "コーポ", "ｺｰﾎﾟ", "カーサ", "ｶｰｻ",
                                     "小学校", "中学", "中学校", "高校", "高等学校"}))
            m.push_back(std::move(w));
        return m;
    }();
    return marks;
}

const std::vector<std::string>& prefectureNames() {
    static const auto names = sjisLiterals({
        "北海道", "青森県", "岩手県", "宮城県", "秋田県", "山形県", "福島県", "茨城県", "栃木県", "群馬県",
        "埼玉県", "千葉県", "東京都", "神奈川県", "新潟県", "富山県", "石川県", "福井県", "山梨県", "長野県",
        "岐阜県", "静岡県", "愛知県", "三重県", "滋賀県", "京都府", "大阪府", "兵庫県", "奈良県", "和歌山県",
        "鳥取県", "島根県", "岡山県", "広島県", "山口県", "徳島県", "香川県", "愛媛県", "高知県", "福岡県",
        "佐賀県", "長崎県", "熊本県", "大分県", "宮崎県", "鹿児島県", "沖縄県"});
    return names;
}

static int countAll(std::string_view text, const std::vector<std::string>& marks, std::size_t from = 0) {
    int n = 0;
    for (std::size_t i = from; i < marks.size(); ++i) n += Str_Count(text, marks[i]);
    return n;
}

// The sum of Str_Count over the 22 digit marks in one pass: every digit mark
// is a single character, so this is the number of characters that are one.
static int countDigitMarks(std::string_view t) {
    int n = 0;
    for (std::size_t i = 0; i < t.size();) {
        const auto c = static_cast<unsigned char>(t[i]);
        if (sjis::isLeadByte(c) && i + 1 < t.size()) {
            const auto d = static_cast<unsigned char>(t[i + 1]);
            // "０".."９" are 0x824F..0x8258, "－" is 0x817C.
            if ((c == 0x82 && d >= 0x4F && d <= 0x58) || (c == 0x81 && d == 0x7C)) ++n;
            i += 2;
        } else {
            if ((c >= '0' && c <= '9') || c == '-') ++n;
            ++i;
        }
    }
    return n;
}

int mailWebMarkCount(std::string_view text) { return countAll(text, mailWebMarks()); }

ZipTelVerdict zipTelVerdict(std::string_view text) {
    // A hyphen typed as "ー" between digits counts as the hyphen it stands
    // for; it replaces one character by one, so the length stays.
    const std::string t = hyphensBetweenDigits(sjis::trim(text));
    const int n = static_cast<int>(sjis::lengthInChars(t));
    // Every digit mark is one character, so this counts characters.
    const int others = n - countDigitMarks(t);
    if (n == 8 && others == 0) return ZipTelVerdict::Zip;
    if (n >= 10 && others <= 1) return ZipTelVerdict::Tel;
    if (n >= 10 && others >= 3) return ZipTelVerdict::Address;
    return ZipTelVerdict::Undecided;
}

const std::string& verdictCaption(ZipTelVerdict v) {
    static const auto captions = sjisLiterals({"〒", "TEL", "ADD", "〒/電話番工判断"});
    return captions[static_cast<std::size_t>(v)];
}

bool isPrefectureName(std::string_view text) {
    const auto& names = prefectureNames();
    return std::find(names.begin(), names.end(), text) != names.end();
}

NameAddrCount nameAddrCount(std::string_view text) {
    const std::string t = sjis::trim(text);
    const std::size_t digitCount = digitMarks().size();  // the list opens with them
    return {static_cast<int>(sjis::lengthInChars(t)), countDigitMarks(t) + countAll(t, nameAddrMarks(), digitCount)};
}

}  // namespace transfer
