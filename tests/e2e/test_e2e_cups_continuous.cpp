// Continuous waybill forms through CUPS's own Epson 24-pin driver: the
// ESC/P stream the printer receives must run one 4-inch form per page.
#include <gtest/gtest.h>

#include <QFile>
#include <chrono>
#include <memory>

#include "app/batch/batch_window.h"
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

TEST_F(CupsContinuous, F11FeedsOneFormForTheWaybillAndOneForTheEnd) {
    auto p = start(1);
    EXPECT_EQ(p->form->ComboBox2->itemText(0), wbprn::continuousFormPaperName()) << "listed first";
    EXPECT_EQ(p->form->ComboBox2->currentText(), wbprn::continuousFormPaperName());
    // The preview shows the page the job will use.
    EXPECT_EQ(print_preview::currentPageSetup().page.paper, QSizeF(576, 288));
    p->printYes();
    EXPECT_EQ(p->boxes.questions, QStringList{QStringLiteral("印刷しますか?")});
    EXPECT_TRUE(p->boxes.errors.isEmpty()) << p->boxes.errors.join(u'|').toStdString();
    const auto jobs = e2e::waitForJobs(1, 30s);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_TRUE(jobs[0].options.split(u' ').contains(QStringLiteral("media=Custom.8x4in"))) << jobs[0].options.toStdString();
    const escp::Stream s = stream(jobs[0]);
    expectOneFormPerPage(s);
    ASSERT_EQ(s.pages.size(), 2u) << "the waybill, then the empty page to the tear-off edge";
    EXPECT_TRUE(s.pages[0].firstInk);
    EXPECT_FALSE(s.pages[1].firstInk);
}

TEST_F(CupsContinuous, ABatchOfTenFeedsElevenFormsEachWaybillAtTheSamePlace) {
    auto p = start(1);
    const QString csv = ordersFile(p->dir, 10);
    p->form->SpeedButton_F9->click();
    auto* window = p->form->findChild<TBatchWindow*>(QStringLiteral("Form_Batch"));
    ASSERT_NE(window, nullptr);
    window->openFile(csv);
    p->boxes.answer(true);
    window->Button_Print->click();
    EXPECT_EQ(p->boxes.questions.value(0), QStringLiteral("10件を印刷しますか?\nプリンタ: Wc24pin\n用紙選択: 連続(４インチ)"));
    EXPECT_TRUE(p->boxes.errors.isEmpty()) << p->boxes.errors.join(u'|').toStdString();
    const auto jobs = e2e::waitForJobs(1, 60s);
    ASSERT_EQ(jobs.size(), 1u);
    const escp::Stream s = stream(jobs[0]);
    expectOneFormPerPage(s);
    ASSERT_EQ(s.pages.size(), 11u) << "44 inches of forms";
    ASSERT_TRUE(s.pages[0].firstInk);
    for (std::size_t i = 1; i < 10; ++i) EXPECT_EQ(s.pages[i].firstInk, s.pages[0].firstInk) << "waybill " << i + 1;
    EXPECT_FALSE(s.pages[10].firstInk);
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
    EXPECT_EQ(s.pages.size(), 2u);
}

TEST_F(CupsContinuous, AQueueDeletedAfterTheStartIsNamedAndGetsNoJob) {
    auto p = start(1);
    ASSERT_TRUE(e2e::run(QStringLiteral("lpadmin"), {QStringLiteral("-h"), e2e::mainSocket(), QStringLiteral("-x"),
                                                     QStringLiteral("Wc24pin")}));
    p->printYes();
    EXPECT_EQ(p->boxes.errors, QStringList{QStringLiteral("プリンタ Wc24pin が見つかりません.")});
    EXPECT_TRUE(e2e::waitForJobs(1, 1s).empty());
}
