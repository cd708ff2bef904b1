// A batch of orders through the private CUPS scheduler: the batch window
// and the command line each submit one job whose pages are the waybills in
// order, each text at its computed position, and no empty page after; a
// document that cannot be written whole submits nothing.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <chrono>
#include <cmath>
#include <fstream>

#include "app/batch/batch_window.h"
#include "batch/batch_file.h"
#include "history/history_store.h"
#include "tests/e2e/cups_program.h"
#include "tests/e2e/cups_test.h"
#include "tests/support/scratch_folder.h"
#include "text/sjis_convert.h"

using namespace std::chrono_literals;

namespace {

using CupsBatch = e2e::MainSchedulerTest;

// Two orders to print and one without a name between them.
const char kOrders[] =
    "郵便番号,住所,建物名,氏名,電話番号,品名,時間帯\r\n"
    "1050011,東京都港区芝公園4-2-8,芝ビル3F,山田太郎,03-3433-1111,りんご,午前中\r\n"
    "5300001,大阪府大阪市北区梅田1-1-1,,,06-6345-0000,みかん,\r\n"
    "8100001,福岡県福岡市中央区天神1-1-1,,鈴木一郎,092-111-2222,かに,1618\r\n";

QString writeOrders(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("orders.csv"));
    QFile f(path);
    const std::string bytes = *sjis::fromUtf8(kOrders);
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

// The waybills the batch prints, laid out with the given defaults.
std::vector<std::vector<print::DrawItem>> plannedPages(const QString& csv, const print::WaybillFields& defaults) {
    QFile f(csv);
    f.open(QIODevice::ReadOnly);
    const batch::OrderFile file = batch::readOrderFile(f.readAll().toStdString());
    std::vector<std::vector<print::DrawItem>> pages;
    for (const batch::Order& o : batch::ordersOf(file, batch::guessMapping(file.header, false))) {
        const batch::CheckedOrder c = batch::checkOrder(o, defaults, {});
        if (c.printable()) pages.push_back(print::planWaybill(c.fields));
    }
    return pages;
}

// Every page of the job holds its waybill's texts at their places (within
// 0.5 pt), and the job has no page after the last waybill.
void expectPages(const QString& pdf, const std::vector<std::vector<print::DrawItem>>& pages, double dpi,
                 QPointF origin) {
    const auto info = e2e::run(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages.size()))))
        << info->toStdString();
    const auto words = e2e::pdfWords(pdf);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (const auto& item : pages[p]) {
            const QString text = sjis::toQString(item.text);
            const double x = origin.x() + item.x * 72.0 / dpi, y = origin.y() + item.y * 72.0 / dpi;
            const e2e::Word* best = nullptr;
            for (const auto& w : words) {
                if (w.page != static_cast<int>(p) + 1 || !text.startsWith(w.text)) continue;
                if (!best || std::hypot(w.xMin - x, w.yMin - y) < std::hypot(best->xMin - x, best->yMin - y)) best = &w;
            }
            ASSERT_NE(best, nullptr) << "page " << p + 1 << ": not found: " << text.toStdString();
            EXPECT_NEAR(best->xMin, x, 0.5) << text.toStdString();
            EXPECT_NEAR(best->yMin, y, 0.5) << text.toStdString();
        }
    }
}

}  // namespace

TEST_F(CupsBatch, BatchWindowPrintsOneJobAndRecordsEachWaybill) {
    e2e::Program p;
    const QString csv = writeOrders(p.dir);
    p.form->SpeedButton_F9->click();
    auto* window = p.form->findChild<TBatchWindow*>(QStringLiteral("Form_Batch"));
    ASSERT_NE(window, nullptr);
    window->openFile(csv);
    p.boxes.answer(true);   // 2件を印刷しますか?
    p.boxes.answer(false);  // keep the unprinted row unsaved
    window->Button_Print->click();
    EXPECT_EQ(p.boxes.questions.value(0), QStringLiteral("2件を印刷しますか?\nプリンタ: Wb203\n用紙選択: 手差し"));
    EXPECT_TRUE(p.boxes.errors.isEmpty()) << p.boxes.errors.join(u'|').toStdString();

    const auto jobs = e2e::waitForJobs(1, 10s);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].queue, QStringLiteral("Wb203"));
    EXPECT_EQ(jobs[0].title, QStringLiteral("vamu_Pelican  "));
    EXPECT_TRUE(jobs[0].options.split(u' ').contains(QStringLiteral("print-scaling=none")));
    // The same layout as a single print, at the printer's resolution.
    print::WaybillFields form = gatherWaybillFields(*p.form);
    form.dpix = form.dpiy = "203";
    expectPages(jobs[0].pdfPath, plannedPages(csv, form), 203, QPointF(18, 18));

    store::HistoryStore history(p.dir.filePath(QStringLiteral("vamu_Pelican.db")).toStdString());
    const auto rows = history.list({});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_GT(rows[0].job, 0);
    EXPECT_EQ(rows[0].printer, "Wb203");
}

TEST_F(CupsBatch, CommandLineSubmitsThePrintableRowsToAQueue) {
    QTemporaryDir dir;
    const QString csv = writeOrders(dir);
    QProcess cli;
    cli.setWorkingDirectory(dir.path());  // where the print's history is kept
    cli.start(QStringLiteral(VP_CLI_PATH), {QStringLiteral("batch"), QStringLiteral("print"), csv,
                                           QStringLiteral("--printer"), QStringLiteral("Wb360"),
                                           QStringLiteral("--date"), QStringLiteral("2026/12/07")});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const auto jobs = e2e::waitForJobs(1, 10s);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].queue, QStringLiteral("Wb360"));
    print::WaybillFields defaults;
    defaults.dpix = defaults.dpiy = "360";
    defaults.prnTop = defaults.prnLeft = "0";
    defaults.date = "2026/12/07";
    expectPages(jobs[0].pdfPath, plannedPages(csv, defaults), 360, QPointF(9, 9));
}

// With the temporary folder full, the print document cannot be written
// whole: neither the command line nor the window's F11 may hand the
// printer what there is, call it printed, or record it in the history.
TEST_F(CupsBatch, ADocumentNotWrittenWholeIsNeitherSubmittedNorRecorded) {
    ScratchFolder full;
    if (!full.mountTmpfs("24k")) GTEST_SKIP() << "mounting a small tmpfs needs root (CAP_SYS_ADMIN)";
    {
        // Fill it, so the first block of any document has no room.
        std::ofstream filler(full.file("filler"), std::ios::binary);
        const std::string block(4096, 'x');
        for (int i = 0; i < 16 && filler; ++i) filler.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    QTemporaryDir dir;
    const QString csv = writeOrders(dir);
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), QString::fromStdString(full.path()));
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(VP_CLI_PATH), {QStringLiteral("batch"), QStringLiteral("print"), csv,
                                           QStringLiteral("--printer"), QStringLiteral("Wb360")});
    ASSERT_TRUE(cli.waitForFinished(30000));
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    EXPECT_EQ(cli.exitCode(), 1) << err.toStdString();
    EXPECT_FALSE(err.contains(QStringLiteral("印刷しました"))) << err.toStdString();

    e2e::Program p;
    const QByteArray tmpBefore = qgetenv("TMPDIR");
    qputenv("TMPDIR", QByteArray::fromStdString(full.path()));
    p.printYes();
    qputenv("TMPDIR", tmpBefore);
    ASSERT_EQ(p.boxes.errors.size(), 1);
    EXPECT_TRUE(p.boxes.errors[0].contains(QStringLiteral("Cannot write the print document")))
        << p.boxes.errors[0].toStdString();

    EXPECT_TRUE(e2e::waitForJobs(1, 3s).empty());
    const QString db = p.dir.filePath(QStringLiteral("vamu_Pelican.db"));
    if (QFile::exists(db)) {
        EXPECT_TRUE(store::HistoryStore(db.toStdString()).list({}).empty());
    }
}

// A platform's order file printed from the first form number on: each
// waybill is recorded with its order and the number of the form it went
// onto, and the shipping confirmation carries them back.
TEST_F(CupsBatch, OrdersPrintOntoNumberedFormsAndComeBackAsConfirmation) {
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("orders.txt"));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("order-id\torder-item-id\trecipient-name\tship-address-1\tship-city\tship-state\tship-postal-code\t"
            "ship-phone-number\tproduct-name\tquantity-purchased\r\n"
            "250-0000001-0000001\t10000000000001\t山田 太郎\t芝公園4-2-8\t港区\t東京都\t105-0011\t03-3433-1111\t"
            "ノート\t2\r\n"
            "250-0000001-0000001\t10000000000002\t山田 太郎\t芝公園4-2-8\t港区\t東京都\t105-0011\t03-3433-1111\t"
            "ペン\t1\r\n"
            "250-0000002-0000002\t20000000000001\t鈴木 一郎\t天神1-1-1\t福岡市中央区\t福岡県\t810-0001\t"
            "092-111-2222\t手帳\t1\r\n");
    f.close();
    auto cli = [&](const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(VP_CLI_PATH), args);
        p.waitForFinished(30000);
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return p.readAllStandardOutput();
    };
    cli({QStringLiteral("batch"), QStringLiteral("print"), csv, QStringLiteral("--printer"), QStringLiteral("Wb360"),
         QStringLiteral("--date"), QStringLiteral("2026/12/07"), QStringLiteral("--first-number"),
         QStringLiteral("A123456789013A")});
    const auto jobs = e2e::waitForJobs(1, 10s);
    ASSERT_EQ(jobs.size(), 1u);
    const auto info = e2e::run(QStringLiteral("pdfinfo"), {jobs[0].pdfPath});
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n")))) << info->toStdString();

    // Recorded in the current folder's history, the job's id with each row.
    store::HistoryStore history(dir.filePath(QStringLiteral("vamu_Pelican.db")).toStdString());
    const auto rows = history.list({});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].orderNo, "250-0000001-0000001");
    EXPECT_EQ(rows[1].tracking, "123456789013");
    EXPECT_EQ(rows[1].orderItems, "10000000000001:2 10000000000002:1");
    EXPECT_EQ(rows[0].tracking, "123456789024");
    EXPECT_GT(rows[0].job, 0);

    const QByteArray plain =
        cli({QStringLiteral("history"), QStringLiteral("export"), QStringLiteral("--shipped"), QStringLiteral("plain")});
    EXPECT_EQ(plain, QByteArray("\xEF\xBB\xBF\"注文番号\",\"伝票番号\",\"出荷日\",\"配送会社\"\r\n"
                                "\"250-0000001-0000001\",\"123456789013\",\"2026/12/07\",\"日本通運\"\r\n"
                                "\"250-0000002-0000002\",\"123456789024\",\"2026/12/07\",\"日本通運\"\r\n"));
}
