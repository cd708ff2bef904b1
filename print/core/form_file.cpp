#include "print/core/form_file.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <utility>

#include "text/utf8.h"

namespace print {

namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

// A comment after a value starts at ';' or '#' that follows a blank.
std::string_view withoutComment(std::string_view s) {
    for (std::size_t i = 1; i < s.size(); ++i)
        if ((s[i] == ';' || s[i] == '#') && (s[i - 1] == ' ' || s[i - 1] == '\t')) return s.substr(0, i);
    return s;
}

// A decimal integer, optionally negative, of at most nine digits: every
// number of a form is far smaller, and nine digits always fit an int.
std::optional<int> decimal(std::string_view s) {
    const bool negative = !s.empty() && s.front() == '-';
    if (negative) s.remove_prefix(1);
    if (s.empty() || s.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

const char* trackingName(TrackingRule rule) {
    switch (rule) {
    case TrackingRule::None: return "none";
    case TrackingRule::Mod7: return "mod7";
    case TrackingRule::Digits: return "digits";
    }
    return "none";
}

std::optional<TrackingRule> trackingRuleOf(std::string_view name) {
    for (const TrackingRule r : {TrackingRule::None, TrackingRule::Mod7, TrackingRule::Digits})
        if (name == trackingName(r)) return r;
    return std::nullopt;
}

enum class Section { None, Form, Carrier, Items };

std::optional<Section> sectionOf(std::string_view name) {
    if (name == "form") return Section::Form;
    if (name == "carrier") return Section::Carrier;
    if (name == "items") return Section::Items;
    return std::nullopt;
}

// The keys of [form] and [carrier]; text keys take the rest of the line.
constexpr std::string_view kFormNumbers[] = {"width", "height", "page_length", "tracking_digits"};
constexpr std::string_view kFormTexts[] = {"name", "tracking"};
constexpr std::string_view kCarrierTexts[] = {"name", "method", "amazon_code", "rakuten_code"};

template <std::size_t N>
bool among(const std::string_view (&keys)[N], std::string_view key) {
    return std::find(std::begin(keys), std::end(keys), key) != std::end(keys);
}

class Reader {
public:
    explicit Reader(std::string id) { form_.id = std::move(id); }

    FormRead read(std::string_view text) {
        if (text.size() > kMaxFormFileBytes) {
            fail("", "ファイルが大きすぎます (" + std::to_string(kMaxFormFileBytes / 1024) + " KiB まで)");
            return finish();
        }
        if (text.substr(0, 3) == "\xef\xbb\xbf") text.remove_prefix(3);  // a byte-order mark
        int number = 0;
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            line(++number, text.substr(0, end));
            text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        }
        complete();
        return finish();
    }

private:
    Form form_;
    std::vector<FormProblem> problems_;
    std::map<std::string, std::string> formValues_, carrierValues_;
    std::set<Section> seenSections_;
    Section section_ = Section::None;
    int lineNumber_ = 0;

    void fail(std::string item, std::string message) { problems_.push_back({std::move(item), std::move(message)}); }
    // A problem on the current line; the line is named in the message, or
    // as the item when there is no key to name.
    void failHere(std::string item, const std::string& message) {
        if (item == lineName()) return fail(std::move(item), message);
        fail(std::move(item), lineName() + ": " + message);
    }
    std::string lineName() const { return "行 " + std::to_string(lineNumber_); }

    void line(int number, std::string_view raw) {
        lineNumber_ = number;
        if (text::firstBadUtf8(raw) != std::string_view::npos) return failHere(lineName(), "UTF-8 の文字ではないバイトがあります");
        const std::string_view s = trimmed(raw);
        if (s.empty() || s.front() == ';' || s.front() == '#') return;
        if (s.front() == '[') return sectionLine(trimmed(withoutComment(s)));
        const std::size_t eq = s.find('=');
        if (eq == std::string_view::npos) return failHere(lineName(), "「キー = 値」の形ではありません");
        const std::string key(trimmed(s.substr(0, eq)));
        const std::string_view rest = s.substr(eq + 1);
        if (key.empty()) return failHere(lineName(), "キーがありません");
        switch (section_) {
        case Section::None: return failHere(key, "節 ([form] など) の前に値があります");
        case Section::Form:
            if (among(kFormTexts, key)) return keep(formValues_, key, trimmed(key == "name" ? rest : withoutComment(rest)));
            if (among(kFormNumbers, key)) return keep(formValues_, key, trimmed(withoutComment(rest)));
            return failHere(key, "[form] に " + key + " というキーはありません");
        case Section::Carrier:
            if (among(kCarrierTexts, key)) return keep(carrierValues_, key, trimmed(rest));
            return failHere(key, "[carrier] に " + key + " というキーはありません");
        case Section::Items: return itemLine(key, trimmed(withoutComment(rest)));
        }
    }

    void sectionLine(std::string_view s) {
        if (s.size() < 2 || s.back() != ']') return failHere(lineName(), "節の名前が ] で閉じていません");
        const std::string name(trimmed(s.substr(1, s.size() - 2)));
        const std::optional<Section> section = sectionOf(name);
        if (!section) {
            section_ = Section::None;
            return failHere(lineName(), "[" + name + "] という節はありません");
        }
        if (!seenSections_.insert(*section).second) failHere(lineName(), "[" + name + "] が二度あります");
        section_ = *section;
    }

    void keep(std::map<std::string, std::string>& values, const std::string& key, std::string_view value) {
        if (!values.emplace(key, std::string(value)).second) failHere(key, key + " が二度あります");
    }

    void itemLine(const std::string& key, std::string_view value) {
        const FormItemPlace* known = itemByKey(key);
        if (!known) return failHere(key, key + " という項目はありません");
        const auto index = static_cast<std::size_t>(known->item);
        if (std::any_of(form_.items.begin(), form_.items.end(), [&](const FormItemPlace& p) { return p.item == known->item; }))
            return failHere(key, key + " が二度あります");
        std::vector<int> numbers;
        while (true) {
            const std::size_t comma = value.find(',');
            const std::string_view part = trimmed(value.substr(0, comma));
            const std::optional<int> n = decimal(part);
            if (!n) return failHere(key, "「" + std::string(part) + "」は整数ではありません");
            numbers.push_back(*n);
            if (comma == std::string_view::npos) break;
            value.remove_prefix(comma + 1);
        }
        if (numbers.size() != 5 && numbers.size() != 6)
            return failHere(key, "値は「大きさ, u, v, 右, 下[, バイト数]」の5つか6つの整数です");
        FormItemPlace place = *known;
        place.size = numbers[0];
        place.u = numbers[1];
        place.v = numbers[2];
        place.right = numbers[3];
        place.bottom = numbers[4];
        form_.items.push_back(place);
        form_.byteLimits[index] = numbers.size() == 6 ? numbers[5] : 0;
    }

    std::optional<std::string> take(std::map<std::string, std::string>& values, const std::string& key) {
        const auto it = values.find(key);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }

    void number(const std::string& key, int& out, std::optional<int> fallback) {
        const std::optional<std::string> text = take(formValues_, key);
        if (!text) {
            if (fallback) out = *fallback;
            else fail(key, "[form] に " + key + " がありません");
            return;
        }
        const std::optional<int> n = decimal(*text);
        if (!n) return fail(key, key + " の「" + *text + "」は整数ではありません");
        out = *n;
    }

    // The values gathered, once every line is read.
    void complete() {
        if (!seenSections_.count(Section::Form)) fail("", "[form] の節がありません");
        if (!seenSections_.count(Section::Items)) fail("", "[items] の節がありません");
        const std::optional<std::string> name = take(formValues_, "name");
        if (name) form_.name = *name;
        else fail("name", "[form] に name がありません");
        number("width", form_.width, std::nullopt);
        number("height", form_.height, std::nullopt);
        number("page_length", form_.pageLength, form_.height);
        const std::optional<std::string> rule = take(formValues_, "tracking");
        if (!rule) {
            fail("tracking", "[form] に tracking がありません (none, mod7, digits のどれか)");
        } else if (const std::optional<TrackingRule> r = trackingRuleOf(*rule)) {
            form_.tracking = *r;
        } else {
            fail("tracking", "伝票番号の規則「" + *rule + "」はありません (none, mod7, digits のどれか)");
        }
        number("tracking_digits", form_.trackingDigits, form_.tracking == TrackingRule::None ? std::optional(0) : std::nullopt);

        FormCarrier carrier;
        carrier.name = take(carrierValues_, "name").value_or("");
        if (carrier.name.empty()) fail("carrier", "[carrier] に name (運送会社の名前) がありません");
        carrier.method = take(carrierValues_, "method").value_or("");
        carrier.amazonCode = take(carrierValues_, "amazon_code").value_or("Other");
        carrier.rakutenCode = take(carrierValues_, "rakuten_code").value_or("");
        form_.carrier = std::move(carrier);
        std::sort(form_.items.begin(), form_.items.end(),
                  [](const FormItemPlace& a, const FormItemPlace& b) { return a.item < b.item; });
    }

    FormRead finish() {
        FormRead r;
        if (problems_.empty()) r.form = std::move(form_);
        r.problems = std::move(problems_);
        return r;
    }
};

}  // namespace

FormRead parseForm(std::string_view text, std::string id) { return Reader(std::move(id)).read(text); }

std::string formText(const Form& form) {
    std::string out;
    out += "; vamu_Pelican form file (UTF-8). Places in form units of 1/160 inch.\n";
    out += "[form]\n";
    out += "name = " + form.name + "\n";
    out += "width = " + std::to_string(form.width) + "\n";
    out += "height = " + std::to_string(form.height) + "\n";
    out += "page_length = " + std::to_string(form.pageLength) + "\n";
    out += std::string("tracking = ") + trackingName(form.tracking) + "\n";
    out += "tracking_digits = " + std::to_string(form.trackingDigits) + "\n";
    out += "\n[carrier]\n";
    out += "name = " + form.carrier.name + "\n";
    out += "method = " + form.carrier.method + "\n";
    out += "amazon_code = " + form.carrier.amazonCode + "\n";
    out += "rakuten_code = " + form.carrier.rakutenCode + "\n";
    out += "\n[items]\n";
    out += "; key = size, u, v, right, bottom[, bytes]\n";
    for (const FormItemPlace& p : form.items) {
        out += std::string(p.key) + " = " + std::to_string(p.size) + ", " + std::to_string(p.u) + ", " +
               std::to_string(p.v) + ", " + std::to_string(p.right) + ", " + std::to_string(p.bottom);
        const auto index = static_cast<std::size_t>(p.item);
        if (index < form.byteLimits.size() && form.byteLimits[index] != 0)
            out += ", " + std::to_string(form.byteLimits[index]);
        out += "\n";
    }
    return out;
}

}  // namespace print
