// The form designer through its widgets: pictures of the empty form, boxes
// dragged, resized and nudged with the real mouse and keys, the font size,
// the check, saving and starting again from the saved form, and the hook on
// the printer set-up dialog.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPdfWriter>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <cmath>
#include <fstream>

#include "print/WbPrinterSetupDialog.h"
#include "print/core/form_file.h"
#include "store/file_read.h"
#include "tests/app/form_designer/designer_driver.h"
#include "tests/print/test_printer_box_support.h"

using designer_test::Designer;
using form_design::mmOf;
using form_design::unitsOf;

namespace {

print::Form readBack(const std::string& path) {
    std::string text;
    if (readWholeFile(path, text) != 0) return {};
    auto read = print::parseForm(text, "read");
    return read.form.value_or(print::Form{});
}

QString writePdf(const QString& path, QSizeF pageMm) {
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(pageMm, QPageSize::Millimeter));
    pdf.setPageMargins({});
    QPainter p(&pdf);
    p.drawRect(QRect(100, 100, 2000, 1000));
    return path;
}

void writeBytes(const std::string& path, const std::string& bytes) { std::ofstream(path) << bytes; }

}  // namespace

class FormDesignerTest : public QObject {
    Q_OBJECT

private slots:
    void picturesGiveTheFormItsSize_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("widthMm");
        QTest::addColumn<double>("heightMm");
        QTest::addColumn<QString>("dpi");
        QTest::newRow("PNG at 300 dpi") << "scan.png" << 203.2 << 101.6 << "300 dpi";
        QTest::newRow("JPEG at 200 dpi") << "photo.jpg" << 203.2 << 101.6 << "200 dpi";
        QTest::newRow("PDF page") << "form.pdf" << 230.0 << 110.0 << "200 dpi";
    }
    void picturesGiveTheFormItsSize() {
        QFETCH(QString, file);
        QFETCH(double, widthMm);
        QFETCH(double, heightMm);
        QFETCH(QString, dpi);
        Designer d;
        const QString path = QString::fromStdString(d.folder.file(file.toStdString()));
        if (file.endsWith(QStringLiteral(".pdf")))
            writePdf(path, QSizeF(widthMm, heightMm));
        else
            designer_test::writeScan(path, 8, 4, file.endsWith(QStringLiteral(".png")) ? 300 : 200);
        QVERIFY(d.window->openScan(path));
        QVERIFY2(d.boxes.errors.isEmpty(), qPrintable(d.boxes.errors.join(u'|')));
        QVERIFY2(d.window->Label_Scan->text().contains(dpi), qPrintable(d.window->Label_Scan->text()));
        QVERIFY(std::abs(d.window->Spin_WidthMm->value() - widthMm) < 0.3);
        QVERIFY(std::abs(d.window->Spin_HeightMm->value() - heightMm) < 0.3);
        QCOMPARE(d.window->design().form().width, unitsOf(d.window->Spin_WidthMm->value()));
        QCOMPARE(d.window->design().form().height, unitsOf(d.window->Spin_HeightMm->value()));
    }

    void aPictureThatCannotBeReadSaysSoAndKeepsTheForm_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text named .png") << "scan.png" << QByteArray("not a picture");
        QTest::newRow("broken PDF") << "form.pdf" << QByteArray("%PDF-1.4\nbroken");
        QTest::newRow("missing file") << "gone.jpg" << QByteArray();
    }
    void aPictureThatCannotBeReadSaysSoAndKeepsTheForm() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        Designer d;
        const std::string path = d.folder.file(file.toStdString());
        if (!bytes.isEmpty()) writeBytes(path, bytes.toStdString());
        const print::Form before = d.window->design().form();
        QVERIFY(!d.window->openScan(QString::fromStdString(path)));
        QCOMPARE(d.boxes.errors.size(), 1);
        QVERIFY2(d.boxes.errors[0].startsWith(file + QStringLiteral(" を読み込めません")), qPrintable(d.boxes.errors[0]));
        QVERIFY(d.window->design().form() == before);
        QCOMPARE(d.window->Label_Scan->text(), QStringLiteral("画像なし"));
    }

    void dragNudgeResizeAndFontSizeAreSavedAsSet() {
        Designer d;
        const QString scan = QString::fromStdString(d.folder.file("scan.png"));
        QVERIFY(d.window->openScan(designer_test::writeScan(scan, 8, 4, 300)));
        // The first goods line, into the free corner above the goods column.
        const std::size_t g1 = d.indexOf("g1");
        QVERIFY(g1 != SIZE_MAX);
        d.click(g1);
        QCOMPARE(d.canvas().selected(), std::optional<std::size_t>(g1));
        QCOMPARE(d.window->List_Items->currentRow(), static_cast<int>(g1));
        const double pxPerMm = d.pixelsPerMm();

        // The handle at the bottom-right corner resizes.
        const form_design::BoxMm start = d.window->design().box(g1);
        const QPoint narrower(-d.pixels(25), 0);
        d.drag(d.canvas().boxRect(g1).bottomRight().toPoint(), narrower);
        const form_design::BoxMm resized = d.window->design().box(g1);
        QCOMPARE(resized.left, start.left);
        QVERIFY(std::abs(resized.width() - (start.width() + narrower.x() / pxPerMm)) < 1e-6);

        // A drag moves the box by the mouse's way in millimetres.
        const QPoint way(d.pixels(12), -d.pixels(6));
        d.drag(d.centreOf(g1), way);
        const form_design::BoxMm dragged = d.window->design().box(g1);
        QVERIFY(std::abs(dragged.left - (resized.left + way.x() / pxPerMm)) < 1e-6);
        QVERIFY(std::abs(dragged.top - (resized.top + way.y() / pxPerMm)) < 1e-6);
        QVERIFY(std::abs(dragged.width() - resized.width()) < 1e-9);

        // Ten nudges of 0.1 mm add up to 1 mm although each is 0.63 units;
        // Shift nudges by 1 mm.
        d.key(Qt::Key_Right, {}, 10);
        d.key(Qt::Key_Down, Qt::ShiftModifier, 2);
        d.key(Qt::Key_Up);
        const form_design::BoxMm nudged = d.window->design().box(g1);
        QVERIFY(std::abs(nudged.left - (dragged.left + 1.0)) < 1e-9);
        QVERIFY(std::abs(nudged.top - (dragged.top + 1.9)) < 1e-9);

        d.window->Spin_FontSize->setFocus();
        d.window->Spin_FontSize->selectAll();
        QTest::keyClicks(d.window->Spin_FontSize, QStringLiteral("12"));
        QCOMPARE(d.window->design().place(g1).size, 12);

        d.saveAs(QStringLiteral("ゆうパック 元払"), QStringLiteral("yupack"));
        QVERIFY2(d.boxes.errors.isEmpty(), qPrintable(d.boxes.errors.join(u'|')));
        QVERIFY2(d.boxes.questions.isEmpty(), qPrintable(d.boxes.questions.join(u'|')));
        const print::Form saved = readBack(d.formPath("yupack"));
        const print::FormItemPlace* p = saved.find(print::FormItem::Goods1);
        QVERIFY(p != nullptr);
        QCOMPARE(p->u, unitsOf(nudged.left));
        QCOMPARE(p->v, unitsOf(nudged.top));
        QCOMPARE(p->right, p->u + unitsOf(nudged.width()));
        QCOMPARE(p->bottom, p->v + unitsOf(nudged.height()));
        QCOMPARE(p->size, 12);
        QCOMPARE(saved.name, std::string("ゆうパック 元払"));
        QCOMPARE(saved.width, unitsOf(203.2));
        // Every other item stays where the built-in form has it.
        for (const auto& place : saved.items)
            if (place.item != print::FormItem::Goods1) QCOMPARE(place.u, print::builtinForm().find(place.item)->u);

        // The next time, the saved form is there to start from, as saved.
        d.reopen();
        QCOMPARE(d.window->ComboBox_Base->count(), 2);
        d.window->ComboBox_Base->setFocus();
        QTest::keyClick(d.window->ComboBox_Base, Qt::Key_Down);
        QCOMPARE(d.window->Edit_Id->text(), QStringLiteral("yupack"));
        QCOMPARE(d.window->design().place(g1).u, p->u);
        QCOMPARE(d.window->design().place(g1).size, 12);
    }

    void nudgesAreStoredFromTheirSumInMillimetres() {
        Designer d;
        const std::size_t tel = d.indexOf("tel");
        d.click(tel);
        const int u0 = d.window->design().place(tel).u;
        QList<int> seen;
        for (int n = 1; n <= 5; ++n) {
            d.key(Qt::Key_Right);
            seen << d.window->design().place(tel).u - u0;
        }
        // 0.63 units a press: 1, 1, 2, 3, 3 (rounded sums), never 1 per press.
        QCOMPARE(seen, (QList<int>{1, 1, 2, 3, 3}));
        // Stopped at the page's edge.
        d.key(Qt::Key_Right, Qt::ShiftModifier, 400);
        QCOMPARE(d.window->design().place(tel).right, d.window->design().form().width);
    }

    void theBuiltInFormAndBadNamesAreRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("error");
        QTest::newRow("built-in id") << "新しい用紙" << "pelican" << "組み込みの用紙（pelican）は上書きできません";
        QTest::newRow("built-in id, other case") << "新しい用紙" << "Pelican" << "組み込みの用紙（Pelican）は上書きできません";
        QTest::newRow("path in id") << "新しい用紙" << "../x" << "ID は半角の英数字と - _ で付けてください";
        QTest::newRow("no id") << "新しい用紙" << "" << "ID は半角の英数字と - _ で付けてください";
        QTest::newRow("no name") << "" << "sagawa" << "用紙の名前を入れてください";
    }
    void theBuiltInFormAndBadNamesAreRefused() {
        QFETCH(QString, name);
        QFETCH(QString, id);
        QFETCH(QString, error);
        Designer d;
        d.saveAs(name, id);
        QCOMPARE(d.boxes.errors.size(), 1);
        QVERIFY2(d.boxes.errors[0].startsWith(error), qPrintable(d.boxes.errors[0]));
        QVERIFY(!QDir(QString::fromStdString(d.folder.file("forms"))).exists());
        QVERIFY(d.window->savedPath().isEmpty());
    }

    void anotherFormOfTheSameIdIsReplacedOnlyWhenTheUserSaysSo() {
        Designer d;
        d.saveAs(QStringLiteral("一つ目"), QStringLiteral("sagawa"));
        d.reopen();
        d.window->Spin_FontSize->setValue(11);
        d.saveAs(QStringLiteral("二つ目"), QStringLiteral("sagawa"));
        QCOMPARE(d.boxes.questions, QStringList{QStringLiteral("用紙 sagawa はもうあります。上書きしますか?")});
        QCOMPARE(readBack(d.formPath("sagawa")).name, std::string("一つ目"));
        d.boxes.answer(true);
        QTest::mouseClick(d.window->Button_Save, Qt::LeftButton);
        QCOMPARE(readBack(d.formPath("sagawa")).name, std::string("二つ目"));
        // Saving again the form just saved asks nothing.
        QTest::mouseClick(d.window->Button_Save, Qt::LeftButton);
        QCOMPARE(d.boxes.questions.size(), 2);
    }

    void samplesThatSpillAreMarked() {
        Designer d;
        const std::size_t zip = d.indexOf("zip1");
        d.click(zip);
        const auto marked = [&] {
            for (int i = 0; i < d.window->List_Problems->count(); ++i)
                if (d.window->List_Problems->item(i)->text().startsWith(QStringLiteral("はみ出す: zip1 ")))
                    return d.window->List_Problems->item(i)->text();
            return QString();
        };
        QVERIFY(marked().isEmpty());
        d.window->Spin_FontSize->setValue(72);  // one digit, wider and taller than its box
        QVERIFY2(marked().endsWith(QStringLiteral("（幅・高さ）")), qPrintable(marked()));
        d.window->Spin_FontSize->setValue(14);
        QVERIFY(marked().isEmpty());
        // Narrowed with the handle until the digit no longer fits across.
        const QPoint corner = d.canvas().boxRect(zip).bottomRight().toPoint();
        d.drag(corner, QPoint(-static_cast<int>(d.canvas().boxRect(zip).width()), 0));
        QVERIFY2(marked().endsWith(QStringLiteral("（幅）")), qPrintable(marked()));
    }

    void aFormWithProblemsShowsThemAndIsNeitherPrintedNorSavedUnasked() {
        Designer d;
        const std::size_t zip1 = d.indexOf("zip1");
        d.click(zip1);
        // Onto the next box: the two areas overlap.
        d.key(Qt::Key_Right, Qt::ShiftModifier, 3);
        const auto shown = [&] {
            QStringList lines;
            for (int i = 0; i < d.window->List_Problems->count(); ++i) lines << d.window->List_Problems->item(i)->text();
            return lines;
        };
        QVERIFY2(shown().contains(QStringLiteral("zip1: 枠が zip2 の枠と重なっています")), qPrintable(shown().join(u'|')));
        QTest::mouseClick(d.window->Button_Calibration, Qt::LeftButton);
        QCOMPARE(d.boxes.errors.size(), 1);
        QVERIFY2(d.boxes.errors[0].startsWith(QStringLiteral("この用紙には問題があるため印刷できません: zip1 ")),
                 qPrintable(d.boxes.errors[0]));
        QVERIFY(d.boxes.questions.isEmpty());  // no job was begun
        d.saveAs(QStringLiteral("重なった用紙"), QStringLiteral("overlap"));
        QCOMPARE(d.boxes.questions,
                 QStringList{QStringLiteral("この用紙には問題があり、直すまで印刷には使えません。保存しますか?")});
        QVERIFY(!QFileInfo::exists(QString::fromStdString(d.formPath("overlap"))));
        // Moved back, the problem is gone.
        d.key(Qt::Key_Left, Qt::ShiftModifier, 3);
        QVERIFY(!shown().join(u'|').contains(QStringLiteral("重なっています")));
    }

    void thePrinterSetUpOpensTheDesigner() {
        using namespace printer_box_test;
        usePrinters({fakePrinter("A")});
        TWbPrinterSetupDialog dialog;
        QWidget* openedOver = nullptr;
        bool shown = true;
        TWbPrinterSetupDialog::runner() = [&](WbPrinterSetupWindow& w) {
            shown = w.Button_FormDesigner->isVisibleTo(&w);
            return false;
        };
        dialog.Execute();
        QVERIFY(!shown);  // nobody to open it
        dialog.OpenFormDesigner = [&](QWidget* parent) { openedOver = parent; };
        QString text;
        QWidget* window = nullptr;
        TWbPrinterSetupDialog::runner() = [&](WbPrinterSetupWindow& w) {
            text = w.Button_FormDesigner->text();
            shown = w.Button_FormDesigner->isVisibleTo(&w);
            window = &w;
            w.Button_FormDesigner->click();
            return false;
        };
        dialog.Execute();
        TWbPrinterSetupDialog::runner() = nullptr;
        QCOMPARE(text, QStringLiteral("用紙デザイン…"));
        QVERIFY(shown);
        QVERIFY(openedOver != nullptr);
        QCOMPARE(openedOver, window);
    }
};

QTEST_MAIN(FormDesignerTest)
#include "form_designer_test.moc"
