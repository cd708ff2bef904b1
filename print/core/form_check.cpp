#include "print/core/form_check.h"

#include <string>
#include <string_view>

#include "text/utf8.h"

namespace print {

namespace {

using F = FormItem;

std::string number(int n) { return std::to_string(n); }

// Text of a form that goes into files and exports: UTF-8 without control
// characters, of a bounded length.
std::string textProblem(std::string_view text, std::size_t maxBytes, bool required) {
    if (text.empty()) return required ? "がありません" : "";
    if (text.size() > maxBytes) return "が長すぎます (" + std::to_string(maxBytes) + " バイトまで)";
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = text::utf8SequenceAt(text, i);
        if (n == 0) return "に UTF-8 ではないバイトがあります";
        if (n == 1 && (static_cast<unsigned char>(text[i]) < 0x20 || text[i] == 0x7f)) return "に制御文字があります";
        i += n;
    }
    if (text.front() == ' ' || text.back() == ' ') return "の前後に空白があります";
    return "";
}

// Items that print one character each: a postal-code digit or a mark.
bool oneCharacter(FormItem item) {
    return (item >= F::Zip1 && item <= F::Zip7) || (item >= F::MyZip1 && item <= F::MyZip7) ||
           (item >= F::TimeBand1 && item <= F::Frozen);
}

// Items the layout fills from one field, box by box: a form prints all of
// a row or none, else a postal code or a date would come out cut short.
struct Row {
    FormItem first, last;
    const char* what;
};
constexpr Row kRows[] = {
    {F::Zip1, F::Zip7, "お届け先の郵便番号"},
    {F::MyZip1, F::MyZip7, "ご依頼主の郵便番号"},
    {F::ShipYear, F::ShipDay, "発送日"},
    {F::DeliveryYear, F::DeliveryDay, "お届け日"},
};

// A waybill cannot do without where it goes and to whom.
constexpr FormItem kRequired[] = {F::Add1, F::Name};

// A place made outside the reader (the designer) might carry no key.
std::string keyOf(const FormItemPlace& p) { return p.key ? p.key : ""; }

bool overlap(const FormItemPlace& a, const FormItemPlace& b) {
    return a.u < b.right && b.u < a.right && a.v < b.bottom && b.v < a.bottom;
}

class Checker {
public:
    explicit Checker(const Form& form) : form_(form) {}

    std::vector<FormProblem> run() {
        whole();
        for (std::size_t i = 0; i < form_.items.size(); ++i) item(i);
        for (std::size_t i = 0; i < form_.items.size(); ++i)
            for (std::size_t j = i + 1; j < form_.items.size(); ++j)
                if (overlap(form_.items[i], form_.items[j]))
                    add(keyOf(form_.items[i]), "枠が " + keyOf(form_.items[j]) + " の枠と重なっています");
        for (const FormItem required : kRequired)
            if (!form_.find(required)) add(formItem(required).key, "必要な項目がありません");
        for (const Row& row : kRows) rowComplete(row);
        return std::move(problems_);
    }

private:
    const Form& form_;
    std::vector<FormProblem> problems_;

    void add(std::string item, std::string message) { problems_.push_back({std::move(item), std::move(message)}); }

    void text(const char* key, const char* what, std::string_view value, std::size_t maxBytes, bool required) {
        if (const std::string p = textProblem(value, maxBytes, required); !p.empty()) add(key, what + p);
    }

    void whole() {
        text("name", "用紙の名前", form_.name, kMaxFormNameBytes, true);
        text("carrier", "運送会社の名前", form_.carrier.name, kMaxCarrierTextBytes, true);
        text("method", "サービスの名前", form_.carrier.method, kMaxCarrierTextBytes, false);
        text("amazon_code", "Amazon の運送会社コード", form_.carrier.amazonCode, kMaxCarrierTextBytes, false);
        text("rakuten_code", "楽天の配送会社コード", form_.carrier.rakutenCode, kMaxCarrierTextBytes, false);
        const std::string sides = "1 から " + number(kMaxFormSide) + " まで";
        if (form_.width < 1 || form_.width > kMaxFormSide) add("width", "用紙の幅 " + number(form_.width) + " は " + sides + "です");
        if (form_.height < 1 || form_.height > kMaxFormSide)
            add("height", "用紙の高さ " + number(form_.height) + " は " + sides + "です");
        if (form_.pageLength < form_.height || form_.pageLength > kMaxFormSide)
            add("page_length", "送りの長さ " + number(form_.pageLength) + " は用紙の高さから " + number(kMaxFormSide) + " までです");
        if (form_.tracking != TrackingRule::None &&
            (form_.trackingDigits < kMinTrackingDigits || form_.trackingDigits > kMaxTrackingDigits))
            add("tracking_digits", "伝票番号の桁数 " + number(form_.trackingDigits) + " は " + number(kMinTrackingDigits) +
                                       " から " + number(kMaxTrackingDigits) + " までです");
    }

    void item(std::size_t index) {
        const FormItemPlace& p = form_.items[index];
        const std::string key = keyOf(p);
        const auto slot = static_cast<std::size_t>(p.item);
        if (slot >= static_cast<std::size_t>(F::Count)) return add("行 " + number(static_cast<int>(index) + 1), "項目の種類が不明です");
        if (index > 0 && form_.items[index - 1].item >= p.item)
            add(key, form_.items[index - 1].item == p.item ? "項目が二度あります" : "項目の順序が違います");
        if (p.size < kMinFontPoints || p.size > kMaxFontPoints)
            add(key, "文字の大きさ " + number(p.size) + " pt は " + number(kMinFontPoints) + " から " +
                         number(kMaxFontPoints) + " pt までです");
        if (p.right <= p.u || p.bottom <= p.v) {
            add(key, "枠の右端・下端が左端・上端より先にありません");
        } else if (p.u < 0 || p.v < 0 || p.right > form_.width || p.bottom > form_.height) {
            add(key, "枠 (" + number(p.u) + ", " + number(p.v) + ")–(" + number(p.right) + ", " + number(p.bottom) +
                         ") が用紙 " + number(form_.width) + " × " + number(form_.height) + " の外に出ています");
        } else {
            // One em of the font in form units is size × 160 / 72.
            const long em72 = static_cast<long>(p.size) * 160;
            if (em72 > static_cast<long>(p.bottom - p.v) * 72)
                add(key, "文字 " + number(p.size) + " pt が枠の高さ " + number(p.bottom - p.v) + " に収まりません");
            else if (oneCharacter(p.item) && em72 > static_cast<long>(p.right - p.u) * 72)
                add(key, "文字 " + number(p.size) + " pt が枠の幅 " + number(p.right - p.u) + " に収まりません");
        }
        const int bytes = form_.byteLimits[slot];
        if (bytes < 0 || bytes > kMaxItemBytes)
            add(key, "バイト数の上限 " + number(bytes) + " は 0 から " + number(kMaxItemBytes) + " までです");
    }

    void rowComplete(const Row& row) {
        int present = 0, count = 0;
        const FormItemPlace* missing = nullptr;
        for (auto i = static_cast<int>(row.first); i <= static_cast<int>(row.last); ++i, ++count) {
            if (form_.find(static_cast<FormItem>(i))) ++present;
            else if (!missing) missing = &formItem(static_cast<FormItem>(i));
        }
        if (present > 0 && present < count) add(missing->key, std::string(row.what) + "の枠が一部しかありません");
    }
};

}  // namespace

std::vector<FormProblem> checkForm(const Form& form) { return Checker(form).run(); }

}  // namespace print
