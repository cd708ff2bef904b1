#include "transfer/pipeline.h"

#include "text/sjis.h"
#include "transfer/classify.h"
#include "transfer/han_conv.h"
#include "transfer/labels.h"
#include "transfer/sjis_literal.h"
#include "transfer/text_functions.h"

namespace transfer {
namespace {

constexpr std::size_t kReadLines = 16;   // lines the compaction looks at
constexpr std::size_t kSlotLines = 7;    // lines the transfer classifies
constexpr std::size_t kZipHeadBytes = 8;
constexpr std::size_t kZipRestBytes = 80;

std::string lineAt(const std::vector<std::string>& lines, std::size_t i) {
    return i < lines.size() ? lines[i] : std::string();
}

// Bytes taken by the first `chars` characters of the text.
std::size_t bytesOfChars(std::string_view s, std::size_t chars) {
    std::size_t at = 0;
    for (; chars > 0 && at < s.size(); --chars) at += sjis::charBytes(s, at);
    return at;
}

// The window's hidden working controls, held as plain values. Each step
// writes its input control before it runs and reads its result afterwards,
// in the same order as the window's own steps, so the values a step leaves
// behind are the ones the next step expects.
class TransferSteps {
public:
    explicit TransferSteps(std::string_view memoText) : Memo1(memoLines(memoText)) {}

    TransferResult BitBtn_1Click();

private:
    // Mail/web mark count of Edit_HowManyWords into its caption.
    void SpeedButton_HowManyWordsClick() {
        SpeedButton_HowManyWords = std::to_string(mailWebMarkCount(Edit_HowManyWords));
    }
    void SpeedButton_ZipTel_ChkClick() { SpeedButton_ZipTel_Chk = verdictCaption(zipTelVerdict(Edit_ZipTel_chk)); }
    void SpeedButton_46Click() { Label_46 = isPrefectureName(Edit_46) ? "0" : "xxxx"; }
    void SpeedButton_Name_AddrClick() {
        const NameAddrCount c = nameAddrCount(Edit_HowManyWords);
        Label_na_1 = std::to_string(c.chars);
        Label_na_2 = std::to_string(c.marks);
    }
    void SpeedButton_ZenMClick() { Edit_M = Han_Conv(Edit_M); }

    void SpeedButton_Memo21Click();
    void SpeedButton_Memo22Click();
    void SpeedButton_trimClick();
    void SpeedButton_1lineClick();

    std::vector<std::string> Memo1;
    std::vector<std::string> Memo2;
    std::string Label_org;
    std::string Edit_HowManyWords, SpeedButton_HowManyWords;
    std::string Edit_ZipTel_chk, SpeedButton_ZipTel_Chk;
    std::string Edit_46, Label_46;
    std::string Label_na_1, Label_na_2;
    std::string Edit_M, NumEdit_ZenChk;
    // Each of the seven lines as it was pasted: the compacted line, or for
    // a line that received the text after a postal code, that text.
    std::vector<std::string> pasted_;
};

// Compaction, first half: the non-blank lines without mail/web marks among
// the first 16, padded to 16 lines in Memo2.
void TransferSteps::SpeedButton_Memo21Click() {
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < kReadLines; ++i) {
        const std::string line = sjis::trim(lineAt(Memo1, i));
        if (line.empty()) continue;
        Edit_HowManyWords = line;
        SpeedButton_HowManyWordsClick();
        if (Str_ToInt0(SpeedButton_HowManyWords) > 0) {
            Edit_HowManyWords.clear();
            SpeedButton_HowManyWords = "0";
        } else {
            kept.push_back(line);
        }
    }
    // The window's Memo2 wraps long lines at its width; this list keeps each
    // line whole instead, so a long address line is never broken in two
    // (and no wrapped part can push a line beyond the sixteenth).
    Memo2 = std::move(kept);
    Memo2.resize(kReadLines);
}

// Compaction, second half: Memo1 receives Memo2's non-empty lines.
void TransferSteps::SpeedButton_Memo22Click() {
    Memo1.clear();
    for (std::size_t i = 0; i < kReadLines; ++i) {
        std::string line = sjis::trim(lineAt(Memo2, i));
        if (!line.empty()) Memo1.push_back(std::move(line));
    }
}

// Label stripping of the first seven lines; a line that opens with a number
// of three or more characters is made half-width, the seventh line always
// (it is converted after every pass, its own included).
void TransferSteps::SpeedButton_trimClick() {
    std::vector<std::string> t(kSlotLines);
    for (std::size_t i = 0; i < kSlotLines; ++i) t[i] = sjis::trim(lineAt(Memo1, i));
    for (std::size_t i = 0; i < kSlotLines; ++i) {
        t[i] = Space_Trim(stripLabels(t[i]));
        NumEdit_ZenChk = Num_Reading(t[i]);
        if (sjis::lengthInChars(NumEdit_ZenChk) > 2) {
            Edit_M = t[i];
            SpeedButton_ZenMClick();
            t[i] = Edit_M;
        }
        Edit_M = t[kSlotLines - 1];
        SpeedButton_ZenMClick();
        t[kSlotLines - 1] = Edit_M;
    }
    Memo1 = std::move(t);
}

// Postal-code split: a line opening with a half-width postal code keeps the
// code; the text after it (bytes 9 to 88) moves to the first empty later
// line, or is lost when there is none.
void TransferSteps::SpeedButton_1lineClick() {
    std::vector<std::string> lines(kSlotLines);
    for (std::size_t i = 0; i < kSlotLines; ++i) lines[i] = sjis::trim(lineAt(Memo1, i));
    for (std::size_t k = 0; k < kSlotLines; ++k) {
        // The code is looked for with its hyphen read, so one typed as a
        // double-byte mark ("100‐0001") still fills the eight bytes.
        const std::string head(sjis::prefixBytes(hyphensBetweenDigits(lines[k]), kZipHeadBytes));
        // A double-byte character cut by the 88th byte is dropped whole.
        std::string rest = sjis::substrBytes(lines[k], bytesOfChars(lines[k], sjis::lengthInChars(head)) + 1,
                                             kZipRestBytes);
        Edit_ZipTel_chk = head;
        SpeedButton_ZipTel_ChkClick();
        if (SpeedButton_ZipTel_Chk != verdictCaption(ZipTelVerdict::Zip) || sjis::lengthInChars(rest) <= 6)
            continue;
        lines[k] = head;
        for (std::size_t j = k + 1; j < kSlotLines; ++j) {
            if (sjis::trim(lines[j]).empty()) {
                pasted_[j] = sjis::trim(rest);
                lines[j] = std::move(rest);
                break;
            }
        }
    }
    Memo1 = std::move(lines);
}

TransferResult TransferSteps::BitBtn_1Click() {
    TransferResult result;
    SpeedButton_Memo21Click();
    SpeedButton_Memo22Click();
    result.compacted = Memo2;
    const std::size_t n = Memo1.size();
    if (n == 0) {
        result.message = noTextMessage();
        result.memo = Memo1;
        return result;
    }
    if (n > kSlotLines) {
        result.focus = FocusAfter::Memo;
        result.message = tooManyLinesMessage(static_cast<int>(n));
        result.memo = Memo1;
        return result;
    }
    pasted_.resize(kSlotLines);
    for (std::size_t i = 0; i < kSlotLines; ++i) pasted_[i] = lineAt(Memo1, i);
    SpeedButton_trimClick();
    SpeedButton_1lineClick();

    std::vector<std::string> l(kSlotLines);
    for (std::size_t i = 0; i < kSlotLines; ++i) l[i] = sjis::trim(lineAt(Memo1, i));

    // Slots are first come, first served: a filled slot is never overwritten.
    // A line that finds its slot taken is told back to the user.
    std::optional<std::string> zip, prefecture, addressA, addressB, name, tel;
    std::vector<bool> unplaced(kSlotLines, false);
    std::size_t at = 0;  // the line being offered
    const auto offer = [&](std::optional<std::string>& slot, const std::string& line) {
        if (!slot) slot = line;
        else unplaced[at] = true;
    };

    for (at = 0; at < kSlotLines; ++at) {
        std::string& line = l[at];
        Label_org = sjis::trim(line);
        Edit_ZipTel_chk = Label_org;
        SpeedButton_ZipTel_ChkClick();
        if (SpeedButton_ZipTel_Chk == verdictCaption(ZipTelVerdict::Zip)) {
            offer(zip, line);
            line.clear();
        } else if (SpeedButton_ZipTel_Chk == verdictCaption(ZipTelVerdict::Tel)) {
            offer(tel, line);
            line.clear();
        }
    }

    for (at = 0; at < kSlotLines; ++at) {
        const std::string& line = l[at];
        if (line.empty()) continue;
        Edit_46 = line;
        SpeedButton_46Click();
        if (Label_46 == "0") {
            offer(prefecture, line);
            continue;
        }
        Edit_HowManyWords = line;
        SpeedButton_Name_AddrClick();
        const std::size_t chars = sjis::lengthInChars(line);
        if (Str_ToInt0(Label_na_2) > 0 && chars >= 7) {
            if (!addressA) addressA = line;
            else offer(addressB, line);
        } else {
            offer(name, line);
        }
    }

    TransferFields f;
    f.zip = halfWidthCode(zip.value_or(""));
    f.add1 = sjis::trim(prefecture.value_or("")) + sjis::trim(addressA.value_or(""));
    f.add2 = addressB.value_or("");
    f.name = name.value_or("");
    f.tel = halfWidthCode(tel.value_or(""));
    result.fields = std::move(f);
    for (std::size_t i = 0; i < kSlotLines; ++i)
        if (unplaced[i]) result.unplaced.push_back({i, pasted_[i]});
    result.memo = Memo1;
    result.focus = FocusAfter::Zip;
    return result;
}

}  // namespace

std::vector<std::string> memoLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t br = text.find_first_of("\r\n", start);
        if (br == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, br - start));
        start = br + (text.compare(br, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

std::string repairSjis(std::string_view text) {
    static const std::string geta = sjisLiteral("〓");
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!sjis::isLeadByte(c)) {
            out.push_back(text[i]);
            continue;
        }
        const auto t = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (t >= 0x40 && t <= 0xFC && t != 0x7F) {
            out.append(text.substr(i, 2));
            ++i;
        } else {
            out.append(geta);  // the next byte stands on its own
        }
    }
    return out;
}

TransferResult runTransfer(std::string_view memoText) {
    return TransferSteps(repairSjis(memoText)).BitBtn_1Click();
}

std::string noTextMessage() {
    static const std::string m = sjisLiteral("転送テキストがありません");
    return m;
}

std::string tooManyLinesMessage(int lines) {
    static const std::string head = sjisLiteral(" ７行以内に収めてください  現在 ");
    static const std::string tail = sjisLiteral("行です");
    return head + std::to_string(lines) + tail;
}

}  // namespace transfer
