#include "app/main_form/continuous_page.h"

#include <QComboBox>
#include <cmath>

#include "app/main_form/form_main.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/continuous_form.h"
#include "services/message_boxes.h"

namespace {

// 11.69, 2.75, 3: two decimals at most, no trailing zeros.
QString shortNumber(double v) { return QString::number(std::round(v * 100) / 100); }

}  // namespace

bool continuousFeed(const TForm_Main& form) { return form.ComboBox_SEL->currentIndex() == 1; }

bool confirmFormFeed(QWidget* parent, const TForm_Main& form) {
    if (!continuousFeed(form)) return true;
    const double length = WbPrinter().PaperLayout().paper.height();
    const wbprn::FormFeed feed = wbprn::formFeedOf(length);
    if (feed.oneForm()) return true;
    const QString inches = shortNumber(length / 72);
    const QString question =
        feed.whole
            ? QStringLiteral("用紙の長さが%1インチのため、送り状1枚ごとに連続用紙を%2枚分送ります。このまま印刷しますか?")
                  .arg(inches, shortNumber(feed.forms))
            : QStringLiteral("用紙の長さが%1インチのため、送り状1枚ごとに連続用紙を%2枚分送り、"
                             "次の送り状はミシン目にかかります。このまま印刷しますか?")
                  .arg(inches, shortNumber(feed.forms));
    return messageBoxes().question(parent, question);
}
