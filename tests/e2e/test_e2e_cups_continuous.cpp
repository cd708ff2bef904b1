// Continuous waybill forms through CUPS's own Epson 24-pin driver: the
// ESC/P stream the printer receives must run one 4-inch form per page.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QtCore/qtestsupport_core.h>
#include <chrono>
#include <memory>

#include "app/batch/batch_window.h"
#include "batch/tracking_number.h"
#include "history/history_store.h"
#include "print/Form_SLIP97YPrn.h"
#include "print/WbPrinterSetupDialog.h"
#include "print/printer_file.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/continuous_form.h"
#include "print/preview_page.h"
#include "tests/e2e/cups_program.h"
#include "tests/e2e/cups_test.h"
#include "tests/e2e/escp_pages.h"
#include "text/sjis_convert.h"

using namespace std::chrono_literals;
using e2e::Program;
using e2e::sj;

namespace {

constexpr int kInch = 180;  // ESC/P vertical units

// The main scheduler with a dot-matrix queue as CUPS sets it up.
class CupsContinuous : public e2e::MainSchedulerTest {
protected:
    void SetUp() override {
        MainSchedulerTest::SetUp();
        if (IsSkipped()) return;
        dotMatrix_ = std::make_unique<e2e::AddedQueue>(QStringLiteral("Wc24pin"),
                                                       QStringLiteral("drv:///sample.drv/epson24.ppd"));
        ASSERT_TRUE(dotMatrix_->added());
    }
    void TearDown() override { dotMatrix_.reset(); }

    // The program with both feed modes registered on the dot-matrix queue.
    static std::unique_ptr<Program> start(int feed) {
        auto p = std::make_unique<Program>(sj("[手差し]\r\nPrnName=Wc24pin\r\n[連続(４インチ)]\r\nPrnName=Wc24pin\r\n"));
        p->selectFeed(feed);
        return p;
    }

    static escp::Stream stream(const e2e::CapturedJob& job) {
        QFile f(job.pdfPath);  // the capture backend's name; ESC/P here
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        escp::Stream s = escp::read(f.readAll().toStdString());
        EXPECT_EQ(s.error, "");
        return s;
    }

    // Pages of exactly one form: a 4-inch page length, nothing on a page
    // that would run past it, no movement after the last form feed.
    static void expectOneFormPerPage(const escp::Stream& s) {
        ASSERT_TRUE(s.pageLength);
        EXPECT_EQ(*s.pageLength, 4 * kInch);
        for (const auto& page : s.pages) EXPECT_LT(page.advanced, 4 * kInch);
        EXPECT_FALSE(s.trailingContent);
    }

    std::unique_ptr<e2e::AddedQueue> dotMatrix_;
};

QString ordersFile(const QTemporaryDir& dir, int count) {
    std::string csv = "郵便番号,住所,氏名,電話番号,品名\r\n";
    for (int i = 0; i < count; ++i)
        csv += "1050011,東京都港区芝公園4-2-" + std::to_string(i + 1) + ",山田" + std::to_string(i + 1) +
               "様,03-3433-1111,りんご\r\n";
    const QString path = dir.filePath(QStringLiteral("orders.csv"));
    QFile f(path);
    const std::string bytes = *sjis::fromUtf8(csv);
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

}  // namespace

// Each waybill is one page ended by one form feed, F11 and the batch alike;
// the blank form after the job comes only when it is ticked in the set-up
// dialog (kept in that feed mode's record only), and the next number
// proposed is the first form not fed.
TEST_F(CupsContinuous, EachWaybillFeedsOneFormAndTheNextNumberFollowsTheFormsFed) {
    for (const bool feedAfter : {false, true}) {
        SCOPED_TRACE(feedAfter ? "a blank form after each job" : "no blank form");
        e2e::clearCaptures();
        const std::size_t blank = feedAfter ? 1 : 0;
        auto p = start(1);
        TWbPrinterSetupDialog::runner() = [feedAfter](WbPrinterSetupWindow& w) {
            EXPECT_EQ(w.CheckBox_FeedAfterJob->text(), QStringLiteral("印刷後に用紙を1枚送る"));
            EXPECT_FALSE(w.CheckBox_FeedAfterJob->isChecked()) << "off unless ticked";
            w.CheckBox_FeedAfterJob->setChecked(feedAfter);
            return true;
        };
        p->form->BitBtn_PrnSet->click();
        TWbPrinterSetupDialog::runner() = nullptr;
        EXPECT_EQ(printer_file::readRecord(p->dir.path(), QStringLiteral("連続(４インチ)")).feedAfterJob, feedAfter);
        EXPECT_FALSE(printer_file::readRecord(p->dir.path(), QStringLiteral("手差し")).feedAfterJob);
        EXPECT_EQ(p->form->ComboBox2->currentText(), wbprn::continuousFormPaperName());
        EXPECT_EQ(print_preview::currentPageSetup().page.paper, QSizeF(576, 288)) << "the preview's page";
        p->boxes.numbers.push_back(QStringLiteral("123456789013"));
        p->printYes();
        EXPECT_TRUE(p->boxes.errors.isEmpty()) << p->boxes.errors.join(u'|').toStdString();
        const QString afterF11 = QString::fromStdString(batch::nextTracking("123456789013", 1 + blank));
        EXPECT_EQ(p->form->proposedFirstNumber(), afterF11);

        const QString csv = ordersFile(p->dir, 3);
        p->form->SpeedButton_F9->click();
        auto* window = p->form->findChild<TBatchWindow*>(QStringLiteral("Form_Batch"));
        ASSERT_NE(window, nullptr);
        window->openFile(csv);
        EXPECT_EQ(window->Edit_FirstNumber->text(), afterF11);
        p->boxes.answer(true);
        window->Button_Print->click();
        EXPECT_TRUE(p->boxes.errors.isEmpty()) << p->boxes.errors.join(u'|').toStdString();
        EXPECT_EQ(p->boxes.questions.value(1),
                  QStringLiteral("3件を印刷しますか?\nプリンタ: Wc24pin\n用紙選択: 連続(４インチ)\n伝票番号: ") + afterF11 +
                      QStringLiteral(" ～ ") + QString::fromStdString(batch::nextTracking(afterF11.toStdString(), 2)));
        EXPECT_EQ(window->Edit_FirstNumber->text(),
                  QString::fromStdString(batch::nextTracking(afterF11.toStdString(), 3 + blank)));

        const auto jobs = e2e::waitForJobs(2, 60s);
        ASSERT_EQ(jobs.size(), 2u);
        EXPECT_TRUE(jobs[0].options.split(u' ').contains(QStringLiteral("media=Custom.8x4in"))) << jobs[0].options.toStdString();
        for (std::size_t j = 0; j < 2; ++j) {
            const std::size_t waybills = j == 0 ? 1 : 3;
            const escp::Stream s = stream(jobs[j]);
            expectOneFormPerPage(s);
            ASSERT_EQ(s.pages.size(), waybills + blank) << "job " << j + 1;
            ASSERT_TRUE(s.pages[0].firstInk);
            for (std::size_t i = 1; i < waybills; ++i) EXPECT_EQ(s.pages[i].firstInk, s.pages[0].firstInk) << "waybill " << i + 1;
            if (feedAfter) {
                EXPECT_FALSE(s.pages.back().firstInk) << "the blank form";
            }
        }
    }
}

TEST_F(CupsContinuous, ManualSheetsKeepThePaperChosen) {
    auto p = start(0);
    EXPECT_EQ(p->form->ComboBox2->currentText(), QStringLiteral("US Letter"));
    // Continuous feed on the same printer, then back: the sheet is Letter again.
    p->selectFeed(1);
    p->selectFeed(0);
    EXPECT_EQ(p->form->ComboBox2->currentText(), QStringLiteral("US Letter"));
    p->printYes();
    const auto jobs = e2e::waitForJobs(1, 30s);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_TRUE(jobs[0].options.split(u' ').contains(QStringLiteral("media=Letter"))) << jobs[0].options.toStdString();
    const escp::Stream s = stream(jobs[0]);
    EXPECT_EQ(s.pageLength, 11 * kInch);
    EXPECT_EQ(s.pages.size(), 1u);
}

// The registered queue deleted while the window is open: the printer watch
// names it in the printer line; F11, the batch and the calibration print
// refuse and no other queue gets a waybill. Added back, it is taken again
// without a feed-mode switch, and only it is in the history.
TEST_F(CupsContinuous, ADeletedQueueIsNamedRefusedAndTakenAgainWhenBack) {
    auto p = start(1);
    const QString gone = QStringLiteral("登録したプリンタ Wc24pin が見つかりません");
    const auto waitForPrinterLine = [&](const QString& text) {
        for (int i = 0; i < 600 && p->form->ComboBox1->currentText() != text; ++i) QTest::qWait(100);
        return p->form->ComboBox1->currentText();
    };
    ASSERT_TRUE(e2e::deleteQueue(QStringLiteral("Wc24pin")));
    ASSERT_EQ(waitForPrinterLine(gone), gone) << "the watch, with nothing printed";
    EXPECT_EQ(p->form->Panel_HelpMess->text(), gone);

    p->boxes.errors.clear();
    p->printYes();
    p->form->SpeedButton_F9->click();
    auto* window = p->form->findChild<TBatchWindow*>(QStringLiteral("Form_Batch"));
    ASSERT_NE(window, nullptr);
    window->openFile(ordersFile(p->dir, 1));
    window->Button_Print->click();
    EXPECT_EQ(p->boxes.errors, QStringList(2, gone + u'.'));
    EXPECT_TRUE(p->boxes.questions.isEmpty()) << p->boxes.questions.join(u'|').toStdString();
    TForm_SLIP97YPrn margins(p->form.get());
    margins.setMainForm(p->form.get());
    EXPECT_THROW(margins.BitBtn_TestPrnClick(), EWbPrinterWithheld);
    EXPECT_TRUE(e2e::waitForJobs(1, 2s).empty());

    ASSERT_TRUE(e2e::addQueue(QStringLiteral("Wc24pin"), QStringLiteral("drv:///sample.drv/epson24.ppd")));
    ASSERT_EQ(waitForPrinterLine(QStringLiteral("Wc24pin")), QStringLiteral("Wc24pin"));
    EXPECT_EQ(p->form->Panel_HelpMess->text(), QString());
    p->boxes.errors.clear();
    p->printYes();
    EXPECT_TRUE(p->boxes.errors.isEmpty()) << p->boxes.errors.join(u'|').toStdString();
    const auto jobs = e2e::waitForJobs(1, 30s);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].queue, QStringLiteral("Wc24pin"));
    store::HistoryStore history(p->dir.filePath(QStringLiteral("vamu_Pelican.db")).toStdString());
    const auto rows = history.list({});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].printer, "Wc24pin");
}
