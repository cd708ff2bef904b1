#pragma once
// The bar above the batch table: the entry form's values that go onto
// every waybill whose row has none of its own (sender, shipping date,
// goods, delivery date, time band, special handling). Each shows as a
// ticked box with its value; taking the tick off leaves that value off the
// batch's waybills, while the entry form keeps it.
#include <QList>
#include <QString>
#include <QWidget>
#include <array>

#include "print/core/waybill_fields.h"

class QCheckBox;
class QLabel;

class BatchSharedValues final : public QWidget {
    Q_OBJECT
public:
    explicit BatchSharedValues(QWidget* parent = nullptr);

    // Shows the entry form's values; a value the form does not set has no
    // box. A box the user cleared stays clear while its value is the same;
    // a changed value comes ticked again, as the user's new choice.
    void showValues(const print::WaybillFields& form);
    // `form` without the values the user cleared here.
    print::WaybillFields applied(print::WaybillFields form) const;
    // The boxes in their order on the bar (for the window's tab order).
    QList<QWidget*> boxes() const;

signals:
    void changed();  // the user ticked or cleared a box

private:
    struct Item {
        QCheckBox* box = nullptr;
        QString shown;  // the caption the box got from the form last
    };
    static constexpr std::size_t kItems = 6;
    QLabel* Label_Shared = nullptr;
    std::array<Item, kItems> items_{};
};
