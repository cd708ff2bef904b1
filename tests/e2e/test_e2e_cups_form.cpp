// The whole program path against the real CUPS scheduler: the main window,
// its printer box and feed modes, F11 answered Yes, and the job as the
// printer receives it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QRegularExpression>
#include <chrono>

#include "tests/e2e/cups_program.h"
#include "tests/e2e/cups_test.h"
#include "print/WbPrinterSetupDialog.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/preview_page.h"
#include "tests/print/page_ink.h"

using namespace std::chrono_literals;
using e2e::expectAtPositions;
using e2e::Program;
using e2e::sj;

namespace {

using CupsProgram = e2e::MainSchedulerTest;

}  // namespace

TEST_F(CupsProgram, F11PrintsOneOnePageJobAsLaidOut) {
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
    EXPECT_TRUE(info->contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << info->toStdString();
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
    // No page one form long on this queue: the box says so, F11 asks first.
    EXPECT_EQ(p.form->ComboBox2->currentText(), QStringLiteral("このプリンタは4インチの連続用紙を選べません"));
    EXPECT_EQ(p.form->ComboBox3->currentText(), QStringLiteral("手差し"));
    EXPECT_EQ(p.form->Label_Prn_Top->text(), QStringLiteral("20"));
    p.boxes.answer(true);
    p.printYes();
    EXPECT_EQ(p.boxes.questions.value(0),
              QStringLiteral("用紙の長さが11.69インチのため、送り状1枚ごとに連続用紙を2.92枚分送り、"
                             "次の送り状はミシン目にかかります。このまま印刷しますか?"));
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

TEST_F(CupsProgram, APrintAppearsInTheHistoryWithItsJob) {
    Program p;
    p.printYes();
    ASSERT_TRUE(p.boxes.errors.isEmpty()) << p.boxes.errors.join(u'|').toStdString();
    const auto jobs = e2e::waitForJobs(1, 10s);
    ASSERT_EQ(jobs.size(), 1u);
    // The capture backend names its files after the scheduler's job id.
    const QString job = QFileInfo(jobs[0].pdfPath).completeBaseName().mid(4);
    const auto out = e2e::run(QStringLiteral(VP_CLI_PATH),
                              {QStringLiteral("history"), QStringLiteral("list"), QStringLiteral("--db"),
                               p.dir.filePath(QStringLiteral("vamu_Pelican.db"))});
    ASSERT_TRUE(out);
    ASSERT_EQ(out->count(u'\n'), 1) << out->toStdString();
    const QJsonObject row = QJsonDocument::fromJson(out->toUtf8()).object();
    EXPECT_EQ(row.value(QStringLiteral("name")).toString(), QStringLiteral("日通太郎様"));
    EXPECT_EQ(row.value(QStringLiteral("g1")).toString(), QStringLiteral("書籍"));
    EXPECT_EQ(row.value(QStringLiteral("printer")).toString(), jobs[0].queue);
    EXPECT_EQ(QString::number(row.value(QStringLiteral("job")).toInteger()), job);
}

TEST_F(CupsProgram, PreviewShowsThePageThatF11Sends) {
    Program p;  // Wb203: A4, printable area from (18, 18) pt
    p.form->Label_Prn_Top->setText(QStringLiteral("9"));
    p.form->Label_Prn_Left->setText(QStringLiteral("-4"));
    const print_preview::PageSetup setup = print_preview::currentPageSetup();
    EXPECT_EQ(setup.dpi, 203);
    EXPECT_EQ(setup.page.printable.topLeft(), QPointF(18, 18));
    const print::WaybillFields fields = print_preview::printFields(*p.form, setup, WbPrinter().Scale());
    print_preview::PreviewPage page;
    page.update(fields, setup);
    const QImage preview = page.render(false);

    p.printYes();
    const auto jobs = e2e::waitForJobs(1, 10s);
    ASSERT_EQ(jobs.size(), 1u);
    const auto printed = page_ink::firstPage(jobs[0].pdfPath, 203);
    ASSERT_TRUE(printed);
    EXPECT_LE(std::abs(printed->width() - preview.width()), 1);
    const QStringList problems =
        page_ink::inkDifferences(*printed, preview, fields, QPointF(18, 18) * (203 / 72.0), 1.0);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QStringLiteral("; ")).toStdString();
}

namespace {

QStringList jobOptions(const e2e::CapturedJob& job) { return job.options.split(u' '); }

}  // namespace

TEST_F(CupsProgram, AQueueAddedInFrontMovesNoFeedModeToAnotherPrinter) {
    // As the program registered them: 手差し on Wb360 (then usable 1), 連続 on Wb203 (usable 0).
    const QByteArray file = sj("[手差し]\r\nPrnName=Wb360\r\nPrnNoIndex=1\r\nvamPrn_Top=0\r\nvamPrn_Left=0\r\n"
                               "[連続(４インチ)]\r\nPrnName=Wb203\r\nPrnNoIndex=0\r\nvamPrn_Top=0\r\nvamPrn_Left=0\r\n");
    e2e::AddedQueue first(QStringLiteral("Wa100"), QStringLiteral(VP_E2E_PPD_DIR "/wb360.ppd"));  // sorts before every other queue
    ASSERT_TRUE(first.added());  // listed first from the next start on
    Program p(file);
    ASSERT_EQ(p.form->ComboBox1->count(), 3);
    EXPECT_EQ(p.form->ComboBox1->currentText(), QStringLiteral("Wb360"));
    p.printYes();
    p.selectFeed(1);
    EXPECT_EQ(p.form->ComboBox1->currentText(), QStringLiteral("Wb203"));
    p.boxes.answer(true);  // A4 on the continuous form, all the same
    p.printYes();
    EXPECT_TRUE(p.boxes.errors.isEmpty()) << p.boxes.errors.join(u'|').toStdString();
    const auto jobs = e2e::waitForJobs(2, 10s);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].queue, QStringLiteral("Wb360"));
    EXPECT_EQ(jobs[1].queue, QStringLiteral("Wb203"));
}

TEST_F(CupsProgram, EachFeedModeKeepsItsPaperAndBinAcrossRuns) {
    QByteArray saved;
    {
        Program p(sj("[連続(４インチ)]\r\nPrnName=Wb203\r\n"));
        // 手差し: Wb360 on A4 from the tractor, chosen in the set-up dialog.
        TWbPrinterSetupDialog::runner() = [](WbPrinterSetupWindow& w) {
            w.ComboBox_Printer->setCurrentIndex(w.ComboBox_Printer->findText(QStringLiteral("Wb360")));
            w.ComboBox_Paper->setCurrentIndex(w.ComboBox_Paper->findText(QStringLiteral("A4")));
            w.ComboBox_Bin->setCurrentIndex(w.ComboBox_Bin->findText(QStringLiteral("トラクタ")));
            return true;
        };
        p.form->BitBtn_PrnSet->click();
        TWbPrinterSetupDialog::runner() = nullptr;
        p.selectFeed(1);  // another printer in between
        p.selectFeed(0);
        EXPECT_EQ(p.form->ComboBox2->currentText(), QStringLiteral("A4"));
        p.printYes();
        ASSERT_TRUE(p.boxes.errors.isEmpty()) << p.boxes.errors.join(u'|').toStdString();
        QFile f(p.dir.filePath(QStringLiteral("vamu_a500.ini")));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        saved = f.readAll();
    }
    Program again(saved);
    again.printYes();
    const auto jobs = e2e::waitForJobs(2, 10s);
    ASSERT_EQ(jobs.size(), 2u);
    for (const auto& job : jobs) {
        EXPECT_EQ(job.queue, QStringLiteral("Wb360"));
        EXPECT_TRUE(jobOptions(job).contains(QStringLiteral("media=A4"))) << job.options.toStdString();
        EXPECT_TRUE(jobOptions(job).contains(QStringLiteral("InputSlot=Tractor"))) << job.options.toStdString();
    }
}
