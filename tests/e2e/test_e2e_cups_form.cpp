// The whole program path against the real CUPS scheduler: the main window,
// its printer box and feed modes, F11 answered Yes, and the job as the
// printer receives it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <chrono>
#include <memory>

#include "app/app_windows.h"
#include "app/form_main.h"
#include "app/sjis_line_edit.h"
#include "print/Wb_d97_Dot.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/core/layout.h"
#include "tests/e2e/cups_harness.h"
#include "tests/support/scripted_boxes.h"
#include "text/sjis_qt.h"

using namespace std::chrono_literals;

namespace {

QByteArray sj(const char* utf8) { return QByteArray::fromStdString(sjis::fromQString(QString::fromUtf8(utf8))); }

// The main window in a scratch folder (with an optional printer file), the
// hidden layout window, scripted boxes.
struct Program {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    ScriptedBoxes boxes;
    std::unique_ptr<TWb_d97_Dot> layoutWindow = std::make_unique<TWb_d97_Dot>();
    std::unique_ptr<TForm_Main> form;

    explicit Program(const QByteArray& printerFile = {}) {
        QDir::setCurrent(dir.path());
        if (!printerFile.isEmpty()) {
            QFile f(dir.filePath(QStringLiteral("vamu_a500.ini")));
            f.open(QIODevice::WriteOnly);
            f.write(printerFile);
        }
        Wb_d97_Dot = layoutWindow.get();
        form = std::make_unique<TForm_Main>();
        Form_Main = form.get();
        form->show();
        boxes.errors.clear();  // a fresh folder has no sender file
        form->Edit_Zip->setText(QStringLiteral("1234567"));
        form->Edit_Add1->setText(QStringLiteral("東京都千代田区丸の内１－２－３"));
        form->Edit_Custo1->setText(QStringLiteral("日通太郎様"));
        form->Edit_tel->setText(QStringLiteral("03-1234-5678"));
        form->Edit_G1->setText(QStringLiteral("書籍"));
        form->Edit_My->setText(QStringLiteral("依頼主商店"));
    }
    ~Program() {
        form.reset();
        Form_Main = nullptr;
        Wb_d97_Dot = nullptr;
        QDir::setCurrent(previousDir);
    }
    void printYes() {
        boxes.answer(true);
        form->SpeedButton_F11->click();
    }
    void selectFeed(int i) {
        form->ComboBox_SEL->setCurrentIndex(i);
        emit form->ComboBox_SEL->activated(i);
    }
    // What the layout draws for the window's fields as they are now.
    std::vector<print::DrawItem> plan() const { return print::planWaybill(gatherWaybillFields(*form)); }
};

// Every planned text found in the job's first page at the device position
// (dpi, printable-area origin in points) within 0.5 pt.
void expectAtPositions(const QString& pdf, const std::vector<print::DrawItem>& items, double dpi, QPointF origin) {
    const auto words = e2e::pdfWords(pdf);
    ASSERT_FALSE(words.empty());
    for (const auto& item : items) {
        const QString text = sjis::toQString(item.text);
        const double x = origin.x() + item.x * 72.0 / dpi, y = origin.y() + item.y * 72.0 / dpi;
        const e2e::Word* best = nullptr;
        for (const auto& w : words) {
            if (w.page != 1 || !text.startsWith(w.text)) continue;
            if (!best || std::hypot(w.xMin - x, w.yMin - y) < std::hypot(best->xMin - x, best->yMin - y)) best = &w;
        }
        ASSERT_NE(best, nullptr) << text.toStdString();
        EXPECT_NEAR(best->xMin, x, 0.5) << text.toStdString();
        EXPECT_NEAR(best->yMin, y, 0.5) << text.toStdString();
    }
}

class CupsProgram : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        if (e2e::fixtureDir(&why).isEmpty()) GTEST_SKIP() << why.toStdString();
        e2e::useScheduler(e2e::mainSocket());
        e2e::clearCaptures();
    }
};

}  // namespace

TEST_F(CupsProgram, F11PrintsOneTwoPageJobAsLaidOut) {
    Program p;
    ASSERT_EQ(p.form->ComboBox1->currentText(), QStringLiteral("Wb203")) << "fresh folder: usable printer 0";
    ASSERT_EQ(p.form->ComboBox1->count(), 2) << "the rejecting queue is never listed";
    p.printYes();
    EXPECT_EQ(p.boxes.questions, QStringList{QStringLiteral("印刷しますか?")});
    EXPECT_TRUE(p.boxes.errors.isEmpty()) << p.boxes.errors.join(u'|').toStdString();
    EXPECT_EQ(p.form->Label_dpix->text(), QStringLiteral("203"));
    const auto jobs = e2e::waitForJobs(1, 10s);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].queue, QStringLiteral("Wb203"));
    EXPECT_EQ(jobs[0].title, QStringLiteral("vamu_Pelican  "));
    EXPECT_TRUE(jobs[0].options.split(u' ').contains(QStringLiteral("media=A4"))) << jobs[0].options.toStdString();
    EXPECT_TRUE(jobs[0].options.split(u' ').contains(QStringLiteral("print-scaling=none")));
    const auto info = e2e::run(QStringLiteral("pdfinfo"), {jobs[0].pdfPath});
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));
    // A4 on this queue: printable area from (18, 18) pt.
    expectAtPositions(jobs[0].pdfPath, p.plan(), 203, QPointF(18, 18));
}

TEST_F(CupsProgram, BadMarginAndTwoPrints) {
    Program p;
    p.form->Label_Prn_Top->setText(QStringLiteral("Top"));
    p.printYes();
    EXPECT_EQ(p.boxes.errors, QStringList{QStringLiteral("'Top' is not a valid integer value.")});
    p.form->Label_Prn_Top->setText(QStringLiteral("0"));
    p.printYes();
    p.printYes();
    const auto jobs = e2e::waitForJobs(3, 3s);
    EXPECT_EQ(jobs.size(), 2u) << "the aborted document never became a job";
}

TEST_F(CupsProgram, NoQueueAtAll) {
    e2e::useScheduler(e2e::emptySocket());
    Program p;
    p.boxes.errors.clear();
    const QString before = p.form->Label_dpix->text();
    p.printYes();
    EXPECT_EQ(p.boxes.errors, QStringList{QStringLiteral("TWbPrinter.CheckNoPrinter: No Printer.")});
    EXPECT_EQ(p.form->Label_dpix->text(), before);
    e2e::useScheduler(e2e::mainSocket());
    EXPECT_TRUE(e2e::waitForJobs(1, 500ms).empty());
}

TEST_F(CupsProgram, FeedModesSwitchQueuesAndMargins) {
    // 手差し: Wb360 (usable 1) without margins; 連続: Wb203 (usable 0), 20 down, 10 left.
    Program p(sj("[手差し]\r\nPrnName=Wb360\r\nPrnNoIndex=1\r\nvamPrn_Top=0\r\nvamPrn_Left=0\r\n"
                 "[連続(４インチ)]\r\nPrnName=Wb203\r\nPrnNoIndex=0\r\nvamPrn_Top=20\r\nvamPrn_Left=-10\r\n"));
    EXPECT_EQ(p.form->ComboBox1->currentText(), QStringLiteral("Wb360"));
    EXPECT_EQ(p.form->ComboBox2->currentText(), QStringLiteral("送り状"));
    EXPECT_EQ(p.form->ComboBox3->currentText(), QStringLiteral("手差し"));

    p.selectFeed(1);
    EXPECT_EQ(p.form->ComboBox1->currentText(), QStringLiteral("Wb203"));
    EXPECT_EQ(p.form->ComboBox2->currentText(), QStringLiteral("A4"));
    EXPECT_EQ(p.form->ComboBox3->currentText(), QStringLiteral("手差し"));
    EXPECT_EQ(p.form->Label_Prn_Top->text(), QStringLiteral("20"));
    p.printYes();
    ASSERT_TRUE(p.boxes.errors.isEmpty()) << p.boxes.errors.join(u'|').toStdString();
    const auto shifted = p.plan();
    p.form->Label_Prn_Top->setText(QStringLiteral("0"));
    p.form->Label_Prn_Left->setText(QStringLiteral("0"));
    const auto plain = p.plan();
    ASSERT_EQ(shifted.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(shifted[i].x, plain[i].x - 10);
        EXPECT_EQ(shifted[i].y, plain[i].y + 20);
    }
    const auto jobs = e2e::waitForJobs(1, 10s);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].queue, QStringLiteral("Wb203"));
    expectAtPositions(jobs[0].pdfPath, shifted, 203, QPointF(18, 18));
}
