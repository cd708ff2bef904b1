#include "tools/layout_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>
#include <cstdio>

#include "text/sjis_convert.h"
#include "tools/json_out.h"

namespace cli {

namespace {

[[noreturn]] void fail(const QString& key, const char* why) {
    throw JsonInputError("key \"" + key.toStdString() + "\": " + why);
}

// Far more than any field of the form holds; a longer text is refused
// rather than laid out at length.
constexpr std::size_t kMaxFieldBytes = 65536;

std::string sjisText(const QJsonObject& o, const QString& key) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull()) return {};
    if (!v.isString()) fail(key, "expected a string");
    const QString text = v.toString();
    // A lone surrogate (from a "\ud800" escape) has no character at all;
    // converting it would print "?" in its place.
    auto sjis = text.isValidUtf16() ? sjis::fromUtf8(text.toStdString()) : std::nullopt;
    if (!sjis) fail(key, "holds a character that Shift-JIS cannot represent");
    if (sjis->size() > kMaxFieldBytes) fail(key, "longer than 65536 bytes");
    return *sjis;
}

// A caption that the layout parses itself: a string as it stands, or an
// integer written as its decimal text.
std::string captionText(const QJsonObject& o, const QString& key) {
    const QJsonValue v = o.value(key);
    if (v.isDouble()) {
        const double d = v.toDouble();
        if (d != std::floor(d) || std::fabs(d) > 9.0e15) fail(key, "expected an integer or a string");
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", d);
        return buf;
    }
    return sjisText(o, key);
}

bool flag(const QJsonObject& o, const QString& key, bool byDefault) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull()) return byDefault;
    if (!v.isBool()) fail(key, "expected true or false");
    return v.toBool();
}

template <std::size_t N>
void flags(const QJsonObject& o, const QString& key, std::array<bool, N>& out) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull()) return;
    const QJsonArray a = v.toArray();
    if (!v.isArray() || a.size() != static_cast<qsizetype>(N)) fail(key, N == 6 ? "expected 6 booleans" : "expected 5 booleans");
    for (std::size_t i = 0; i < N; ++i) {
        if (!a[static_cast<qsizetype>(i)].isBool()) fail(key, "expected booleans only");
        out[i] = a[static_cast<qsizetype>(i)].toBool();
    }
}

const char* const kKeys[] = {"zip", "add1", "add2", "name", "tel", "g1", "g2", "g3", "date",
                             "print_date", "de1", "de2", "de3", "print_sender", "my_zip", "my_add1",
                             "my_add2", "my_name", "my_tel", "time_band", "special", "dpix", "dpiy",
                             "top", "left"};

}  // namespace

print::WaybillFields waybillFromJson(const QByteArray& json) {
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
    if (err.error != QJsonParseError::NoError)
        throw JsonInputError("invalid JSON at offset " + std::to_string(err.offset) + ": " +
                             err.errorString().toStdString());
    if (!doc.isObject()) throw JsonInputError("expected one JSON object");
    const QJsonObject o = doc.object();
    for (auto it = o.begin(); it != o.end(); ++it) {
        bool known = false;
        for (const char* k : kKeys) known = known || it.key() == QLatin1String(k);
        if (!known) fail(it.key(), "unknown key");
    }
    auto key = [](const char* k) { return QString::fromLatin1(k); };
    print::WaybillFields f;
    f.zip = sjisText(o, key("zip"));
    f.add1 = sjisText(o, key("add1"));
    f.add2 = sjisText(o, key("add2"));
    f.custo1 = sjisText(o, key("name"));
    f.tel = sjisText(o, key("tel"));
    f.g1 = sjisText(o, key("g1"));
    f.g2 = sjisText(o, key("g2"));
    f.g3 = sjisText(o, key("g3"));
    f.date = sjisText(o, key("date"));
    f.printDate = flag(o, key("print_date"), true);
    f.deDate1 = sjisText(o, key("de1"));
    f.deDate2 = sjisText(o, key("de2"));
    f.deDate3 = sjisText(o, key("de3"));
    f.printSender = flag(o, key("print_sender"), true);
    f.myZip = sjisText(o, key("my_zip"));
    f.myAdd1 = sjisText(o, key("my_add1"));
    f.myAdd2 = sjisText(o, key("my_add2"));
    f.my = sjisText(o, key("my_name"));
    f.myTel = sjisText(o, key("my_tel"));
    flags(o, key("time_band"), f.timeBand);
    flags(o, key("special"), f.special);
    f.dpix = captionText(o, key("dpix"));
    f.dpiy = captionText(o, key("dpiy"));
    f.prnTop = captionText(o, key("top"));
    f.prnLeft = captionText(o, key("left"));
    return f;
}

std::string drawCallJson(const print::RecordingSurface::Call& c) {
    return json::Object().number("x", c.x).number("y", c.y).number("size", c.size)
        .string("text", sjis::toUtf8(c.text)).str();
}

}  // namespace cli
