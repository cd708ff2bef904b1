#include "app/form_designer/item_samples.h"

#include "print/Wbprn/painter_canvas.h"
#include "print/core/calibration.h"
#include "text/sjis_qt.h"

namespace form_design {

namespace {

using F = print::FormItem;

// One device pixel per form unit.
constexpr int kUnitDpi = 160;

// The widest texts of their kind a waybill realistically carries: an
// address line of the entry form's full 40 bytes, a long name with its
// honorific, a mobile telephone number, a goods line of 30 bytes.
QString longSample(F item) {
    switch (item) {
    case F::Add1: case F::MyAdd1: return QStringLiteral("北海道札幌市中央区北一条西二十七丁目１２");
    case F::Add2: case F::MyAdd2: return QStringLiteral("サンシャインマンション弐番館一二三四号室");
    case F::Name: return QStringLiteral("勘解由小路　左衛門之助　様");
    case F::MyName: return QStringLiteral("株式会社ヴァム通販　発送センター");
    case F::Tel: case F::MyTel: return QStringLiteral("090-1234-5678");
    case F::Goods1: case F::Goods2: case F::Goods3: return QStringLiteral("冷凍食品・生鮮品詰め合わせ五点");
    default: return {};
    }
}

struct Samples {
    std::vector<std::string> bytes;
    std::vector<QString> text;
};

const Samples& samples() {
    static const Samples all = [] {
        Samples s;
        for (int i = 0; i < static_cast<int>(F::Count); ++i) {
            const auto item = static_cast<F>(i);
            const QString text = longSample(item);
            // Postal-code digits, dates and marks as on the calibration page.
            s.bytes.push_back(text.isEmpty() ? print::calibrationSample(item) : sjis::fromQString(text));
            s.text.push_back(sjis::toQString(s.bytes.back()));
        }
        return s;
    }();
    return all;
}

}  // namespace

const std::string& itemSample(print::FormItem item) { return samples().bytes.at(static_cast<std::size_t>(item)); }
const QString& itemSampleText(print::FormItem item) { return samples().text.at(static_cast<std::size_t>(item)); }

SpillCheck::SpillCheck() : measure_(std::make_unique<wbprn::PrintFontMeasure>(kUnitDpi, kUnitDpi)) {}
SpillCheck::~SpillCheck() = default;

int SpillCheck::sampleWidth(print::FormItem item, int points) { return measure_->width(points, itemSample(item)); }

std::vector<Spill> SpillCheck::spills(const print::Form& form) {
    std::vector<Spill> out;
    for (std::size_t i = 0; i < form.items.size(); ++i) {
        const auto& p = form.items[i];
        Spill s{i, p.u + sampleWidth(p.item, p.size) > p.right,
                p.v + wbprn::pixelSizeFor(p.size, kUnitDpi) > p.bottom};
        if (s.tooWide || s.tooTall) out.push_back(s);
    }
    return out;
}

QString spillText(const print::FormItemPlace& place, const Spill& spill) {
    const QString why = spill.tooWide && spill.tooTall ? QStringLiteral("幅・高さ")
                        : spill.tooWide                ? QStringLiteral("幅")
                                                       : QStringLiteral("高さ");
    return QStringLiteral("はみ出す: %1 %2（%3）")
        .arg(QString::fromLatin1(place.key), sjis::toQString(place.label), why);
}

}  // namespace form_design
