#include "app/batch/batch_shared_values.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QStringList>

#include "text/sjis_qt.h"

namespace {

using Fields = print::WaybillFields;

QString joined(std::initializer_list<const std::string*> parts, const QString& separator) {
    QStringList texts;
    for (const std::string* p : parts)
        if (!p->empty()) texts << sjis::toQString(*p);
    return texts.join(separator);
}

// The captions of the time band and special handling boxes of the entry form.
const char16_t* const kTimeBands[] = {u"午前中", u"12→14時", u"14→16時", u"16→18時", u"18→20時", u"20→21時"};
const char16_t* const kSpecials[] = {u"ゴルフ", u"スキー", u"空港", u"冷蔵", u"冷凍"};

// One value of the entry form: its box, the caption before the value, how
// the value reads and how the batch goes without it.
struct Kind {
    const char* name;
    const char16_t* caption;
    QString (*value)(const Fields&);
    void (*clear)(Fields&);
};

// In the order of what a wrong value costs most: handling and time band first.
const Kind kKinds[] = {
    {"CheckBox_SharedSpecial", u"取扱",
     [](const Fields& f) {
         QStringList on;
         for (std::size_t i = 0; i < f.special.size(); ++i)
             if (f.special[i]) on << QString::fromUtf16(kSpecials[i]);
         return on.join(QStringLiteral("・"));
     },
     [](Fields& f) { f.special = {}; }},
    {"CheckBox_SharedTimeBand", u"時間帯",
     [](const Fields& f) {
         // The layout marks the first band only.
         for (std::size_t i = 0; i < f.timeBand.size(); ++i)
             if (f.timeBand[i]) return QString::fromUtf16(kTimeBands[i]);
         return QString();
     },
     [](Fields& f) { f.timeBand = {}; }},
    {"CheckBox_SharedDeliveryDate", u"お届け日",
     [](const Fields& f) { return joined({&f.deDate1, &f.deDate2, &f.deDate3}, QStringLiteral("/")); },
     [](Fields& f) { f.deDate1.clear(), f.deDate2.clear(), f.deDate3.clear(); }},
    {"CheckBox_SharedShipDate", u"出荷日",
     [](const Fields& f) { return f.printDate ? sjis::toQString(f.date) : QString(); },
     [](Fields& f) { f.printDate = false; }},
    {"CheckBox_SharedGoods", u"品名", [](const Fields& f) { return joined({&f.g1, &f.g2, &f.g3}, QStringLiteral(" / ")); },
     [](Fields& f) { f.g1.clear(), f.g2.clear(), f.g3.clear(); }},
    {"CheckBox_SharedSender", u"ご依頼主",
     [](const Fields& f) {
         // Named by what the user knows it by; any field shows that it prints.
         for (const std::string* s : {&f.my, &f.myAdd1, &f.myAdd2, &f.myTel, &f.myZip})
             if (f.printSender && !s->empty()) return sjis::toQString(*s);
         return QString();
     },
     [](Fields& f) { f.printSender = false; }},
};

}  // namespace

BatchSharedValues::BatchSharedValues(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Panel_Shared"));
    static_assert(std::size(kKinds) == kItems);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Label_Shared = new QLabel(this);
    Label_Shared->setObjectName(QStringLiteral("Label_Shared"));
    Label_Shared->setToolTip(QStringLiteral("ファイルに値のない行には、メイン画面のこの値を印刷します"));
    layout->addWidget(Label_Shared);
    for (std::size_t i = 0; i < kItems; ++i) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QString::fromLatin1(kKinds[i].name));
        box->setToolTip(QStringLiteral("チェックを外すと、この一括印刷では使いません（メイン画面はそのまま）"));
        box->hide();
        connect(box, &QCheckBox::toggled, this, &BatchSharedValues::changed);
        layout->addWidget(box);
        items_[i].box = box;
    }
    layout->addStretch(1);
    print::WaybillFields nothing;
    nothing.printDate = nothing.printSender = false;
    showValues(nothing);
}

void BatchSharedValues::showValues(const print::WaybillFields& form) {
    bool any = false;
    for (std::size_t i = 0; i < kItems; ++i) {
        Item& item = items_[i];
        const QString value = kKinds[i].value(form);
        const QSignalBlocker quiet(item.box);
        if (value.isEmpty()) {
            item.box->hide();
            item.shown.clear();
            continue;
        }
        const QString caption = QString::fromUtf16(kKinds[i].caption) + QStringLiteral(": ") + value;
        if (caption != item.shown) item.box->setChecked(true);
        item.shown = caption;
        item.box->setText(caption);
        item.box->show();
        any = true;
    }
    Label_Shared->setText(any ? QStringLiteral("ファイルにない項目に使う値:") : QStringLiteral("ファイルにない項目に使う値: なし"));
}

print::WaybillFields BatchSharedValues::applied(print::WaybillFields form) const {
    for (std::size_t i = 0; i < kItems; ++i)
        if (!items_[i].shown.isEmpty() && !items_[i].box->isChecked()) kKinds[i].clear(form);
    return form;
}

QList<QWidget*> BatchSharedValues::boxes() const {
    QList<QWidget*> out;
    for (const Item& item : items_) out << item.box;
    return out;
}
