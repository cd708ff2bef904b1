// batch check and batch print run as a program: JSON per data row, bad
// input refused with its line number, one PDF of the printable rows, and
// nothing written but a whole PDF where it may go.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

#include "tests/support/cli_run.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_folder.h"
#include "text/sjis_convert.h"

namespace {

QString data(const char* name) { return QStringLiteral(VP_BATCH_DATA "/") + QString::fromUtf8(name); }

std::vector<QJsonObject> rows(const QByteArray& out) {
    std::vector<QJsonObject> r;
    for (const QByteArray& line : out.split('\n'))
        if (!line.isEmpty()) r.push_back(QJsonDocument::fromJson(line).object());
    return r;
}

QStringList problemFields(const QJsonObject& row) {
    QStringList f;
    for (const QJsonValue& p : row[QStringLiteral("problems")].toArray())
        f << p.toObject()[QStringLiteral("field")].toString();
    return f;
}

}  // namespace

class TestBatchCli : public QObject {
    Q_OBJECT

private slots:
    void trackingNumbersAreCheckedAndCountedOn() {
        struct Case {
            QStringList args;
            int exitCode;
            QByteArray out;
        } cases[] = {
            {{QStringLiteral("check"), QStringLiteral("A1234-5678-9013D")}, 0,
             R"({"number":"123456789013","valid":true})" "\n"},
            {{QStringLiteral("check"), QStringLiteral("123456789014")}, 1,
             R"({"number":"123456789014","valid":false})" "\n"},
            {{QStringLiteral("next"), QStringLiteral("123456789013"), QStringLiteral("2")}, 0,
             "123456789024\n123456789035\n"},
            {{QStringLiteral("next"), QStringLiteral("12345678901")}, 1, ""},
            {{QStringLiteral("next"), QStringLiteral("123456789013"), QStringLiteral("0")}, 2, ""},
        };
        for (const Case& c : cases) {
            const CliRun r = runCli(QStringList{QStringLiteral("tracking")} + c.args, {});
            QCOMPARE(r.exitCode, c.exitCode);
            QCOMPARE(r.out, c.out);
        }
        QVERIFY(runCli({QStringLiteral("tracking"), QStringLiteral("check"), QStringLiteral("123456789014")}, {})
                    .err.contains("伝票番号の検査数字が合いません"));
    }

    // --form: the numbers of that form, by its rule; a form without
    // numbers takes none, and a form that cannot be had stops the command.
    void trackingNumbersFollowTheNamedForm() {
        QTemporaryDir dir;
        const QByteArray builtin = readFile(QStringLiteral(VP_BATCH_DATA "/../../../data/forms/pelican.form"));
        QVERIFY(builtin.contains("tracking = mod7\ntracking_digits = 12\n"));
        const auto write = [&](const char* name, const char* rule) {
            QByteArray text = builtin;
            text.replace("tracking = mod7\ntracking_digits = 12\n", rule);
            QFile f(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
        };
        write("ten.form", "tracking = digits\ntracking_digits = 10\n");
        write("bare.form", "tracking = none\ntracking_digits = 0\n");
        const QString ten = dir.filePath(QStringLiteral("ten.form")), bare = dir.filePath(QStringLiteral("bare.form"));
        struct Case {
            QStringList args;
            int exitCode;
            QByteArray out;
        } cases[] = {
            {{QStringLiteral("next"), QStringLiteral("0123456789"), QStringLiteral("2"), QStringLiteral("--form"), ten}, 0,
             "0123456790\n0123456791\n"},
            {{QStringLiteral("check"), QStringLiteral("--form"), ten, QStringLiteral("123456789013")}, 1,
             R"({"number":"123456789013","valid":false})" "\n"},
            {{QStringLiteral("check"), QStringLiteral("123456789013"), QStringLiteral("--form"), bare}, 1,
             R"({"number":"123456789013","valid":false})" "\n"},
            {{QStringLiteral("check"), QStringLiteral("123456789013"), QStringLiteral("--form"),
              dir.filePath(QStringLiteral("gone.form"))}, 1, ""},
        };
        for (const Case& c : cases) {
            const CliRun r = runCli(QStringList{QStringLiteral("tracking")} + c.args, {});
            QCOMPARE(r.exitCode, c.exitCode);
            QCOMPARE(r.out, c.out);
        }
    }

    // A number in another encoding, or with a terminal's escape: the JSON
    // stays valid UTF-8 (bad bytes become U+FFFD), the reason is escaped.
    void trackingCheckWritesValidJsonOfAnyArgument() {
        const CliRun r = runProgram(QStringLiteral("/bin/sh"),
                                    {QStringLiteral("-c"), QStringLiteral(R"sh(exec "$0" tracking check "$(printf '1\377\300\0332')")sh"),
                                     QStringLiteral(VP_CLI_PATH)},
                                    {});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(QString::fromUtf8(r.out).toUtf8(), r.out);  // valid UTF-8 as it stands
        QJsonParseError error{};
        const QJsonObject o = QJsonDocument::fromJson(r.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(o[QStringLiteral("number")].toString(), QStringLiteral(u"1\uFFFD\uFFFD\u001B2"));
        QVERIFY2(!r.err.contains('\x1B') && !r.err.contains('\xFF'), r.err.constData());
        QVERIFY(r.err.contains("\\xFF"));
    }

    void checkReportsEveryRow() {
        const CliRun r = runCli({QStringLiteral("batch"), QStringLiteral("check"), data("shop_utf8_bom.csv"),
                                 QStringLiteral("--date"), QStringLiteral("2025/12/01")},
                                {});
        QCOMPARE(r.exitCode, 0);
        const auto all = rows(r.out);
        QCOMPARE(all.size(), std::size_t{3});
        QCOMPARE(all[0][QStringLiteral("row")].toInt(), 2);
        QCOMPARE(all[1][QStringLiteral("row")].toInt(), 4);  // a quoted line break counts
        QCOMPARE(problemFields(all[0]), QStringList());
        QCOMPARE(all[0][QStringLiteral("fields")].toObject()[QStringLiteral("zip")].toString(),
                 QStringLiteral("105-0011"));
        QCOMPARE(problemFields(all[1]), (QStringList{QStringLiteral("zip"), QStringLiteral("tel")}));
        QCOMPARE(problemFields(all[2]), (QStringList{QStringLiteral("name"), QStringLiteral("delivery_date")}));

        // Taking the repairs leaves only the character Shift-JIS lacks.
        const CliRun fixed = runCli({QStringLiteral("batch"), QStringLiteral("check"), data("shop_utf8_bom.csv"),
                                     QStringLiteral("--date"), QStringLiteral("2025/12/01"),
                                     QStringLiteral("--accept-repairs")},
                                    {});
        const auto again = rows(fixed.out);
        QCOMPARE(problemFields(again[1]), QStringList());
        QCOMPARE(again[1][QStringLiteral("fields")].toObject()[QStringLiteral("tel")].toString(),
                 QStringLiteral("0312345678"));
        QCOMPARE(problemFields(again[2]), QStringList{QStringLiteral("name")});
    }

    // A row without the consignee's telephone is listed with a warning.
    void aMissingTelephoneIsListedAsAWarning() {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("notel.csv"));
        writeFile(csv, "郵便番号,住所,氏名,電話番号\n1050011,東京都港区芝公園4-2-8,山田太郎,\n");
        const CliRun r = runCli({QStringLiteral("batch"), QStringLiteral("check"), csv}, {});
        QCOMPARE(r.exitCode, 0);
        const auto all = rows(r.out);
        QCOMPARE(all.size(), std::size_t{1});
        QCOMPARE(problemFields(all[0]), QStringList{QStringLiteral("tel")});
        QVERIFY(all[0][QStringLiteral("problems")].toArray()[0].toObject()[QStringLiteral("warning")].toBool());
    }

    // A stray quote swallows no order: each row of the file is listed, the
    // ones with the quote flagged with the lines it ran across.
    void checkListsEveryOrderAroundAStrayQuote() {
        const CliRun r = runCli({QStringLiteral("batch"), QStringLiteral("check"), data("stray_quote.csv"),
                                 QStringLiteral("--date"), QStringLiteral("2025/12/01")},
                                {});
        QCOMPARE(r.exitCode, 0);
        const auto all = rows(r.out);
        QCOMPARE(all.size(), std::size_t{5});
        const int lines[] = {2, 3, 4, 5, 7};
        for (std::size_t i = 0; i < all.size(); ++i) QCOMPARE(all[i][QStringLiteral("row")].toInt(), lines[i]);
        QCOMPARE(all[1][QStringLiteral("fields")].toObject()[QStringLiteral("name")].toString(),
                 QStringLiteral("佐藤 花子"));
        QCOMPARE(problemFields(all[0]), QStringList{QStringLiteral("row")});
        QVERIFY(all[0][QStringLiteral("problems")].toArray()[0].toObject()[QStringLiteral("text")].toString().contains(
            QStringLiteral("2〜4行目")));
        QCOMPARE(problemFields(all[1]), QStringList());
        QCOMPARE(problemFields(all[3]), QStringList());  // a quoted address on two lines is fine
        QCOMPARE(problemFields(all[4]), QStringList());
    }

    void savedMappingFileIsUsed() {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("o.csv"));
        const QString map = dir.filePath(QStringLiteral("m.txt"));
        writeFile(csv, "送り先,宛先住所,宛先〒,TEL\n山田,東京都港区芝公園1,1050011,03-3433-1111\n");
        writeFile(map, "送り先\tname\n宛先住所\taddress\n宛先〒\tzip\nTEL\ttel\n");
        const CliRun r = runCli({QStringLiteral("batch"), QStringLiteral("check"), csv, QStringLiteral("--mapping"), map}, {});
        QCOMPARE(r.exitCode, 0);
        const auto all = rows(r.out);
        QCOMPARE(all.size(), std::size_t{1});
        QCOMPARE(problemFields(all[0]), QStringList());
        QCOMPARE(all[0][QStringLiteral("fields")].toObject()[QStringLiteral("name")].toString(), QStringLiteral("山田"));
    }

    void codesAreCheckedAgainstThePostalTableAndTextsAgainstTheirPlaces() {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("o.csv"));
        writeFile(csv, "郵便番号,住所,電話番号,氏名\n"
                       "105-0011,東京都港区芝公園4-2-8,03-3433-1111,a\n"
                       "1050011,大阪府大阪市北区梅田1-1,03-3433-1111,b\n"
                       "999-9999,東京都港区芝公園1,03-3433-1111,c\n"
                       // Within the entry form's 80 bytes, but wider than the name's place.
                       "105-0011,東京都港区芝公園4-2-8,03-3433-1111,ペリカン株式会社東日本支社営業第一部第二課配送センター長　山田太郎\n");
        const CliRun r = runCli({QStringLiteral("batch"), QStringLiteral("check"), csv}, {});
        QCOMPARE(r.exitCode, 0);
        const auto all = rows(r.out);
        QCOMPARE(all.size(), std::size_t{4});
        QCOMPARE(problemFields(all[0]), QStringList());
        QCOMPARE(problemFields(all[1]), QStringList{QStringLiteral("zip")});
        QCOMPARE(problemFields(all[3]), QStringList{QStringLiteral("name")});
        QVERIFY(all[3][QStringLiteral("problems")].toArray()[0].toObject()[QStringLiteral("text")].toString().contains(
            QStringLiteral("はみ出します")));
        QVERIFY(all[1][QStringLiteral("problems")].toArray()[0].toObject()[QStringLiteral("text")].toString().contains(
            QStringLiteral("一致しません")));
        QCOMPARE(problemFields(all[2]), QStringList{QStringLiteral("zip")});
        // Without a readable table the codes are checked for their form only.
        const CliRun off = runCli({QStringLiteral("batch"), QStringLiteral("check"), csv, QStringLiteral("--table"),
                                   dir.filePath(QStringLiteral("missing.bin"))},
                                  {});
        QCOMPARE(off.exitCode, 0);
        QCOMPARE(problemFields(rows(off.out)[1]), QStringList());
        QVERIFY(QString::fromUtf8(off.err).contains(QStringLiteral("郵便番号データを読めません")));
    }

    void badInputIsRefusedWithItsLine() {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("bad.csv"));
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        writeFile(csv, "zip,name\n1050011,\"open\n1050011,b\n");
        for (const QStringList& args : {QStringList{QStringLiteral("check"), csv},
                                        QStringList{QStringLiteral("print"), csv, QStringLiteral("--pdf"), pdf}}) {
            const CliRun r = runCli(QStringList{QStringLiteral("batch")} + args, {});
            QCOMPARE(r.exitCode, 1);
            QVERIFY(r.out.isEmpty());
            QVERIFY2(QString::fromUtf8(r.err).contains(QStringLiteral("2行目")), r.err.constData());
        }
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(runCli({QStringLiteral("batch"), QStringLiteral("print"), csv}, {}).exitCode, 2);
        QCOMPARE(runCli({QStringLiteral("batch"), QStringLiteral("check"), csv, QStringLiteral("--pdf"), pdf}, {}).exitCode, 2);
        QCOMPARE(runCli({QStringLiteral("batch"), QStringLiteral("check"), dir.filePath(QStringLiteral("none"))}, {}).exitCode, 1);
    }

    // A named pipe (no writer ever comes) given as the order file or the
    // mapping is refused at once instead of being waited on.
    void pipesAndDevicesAreRefusedWithoutWaiting() {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("o.csv"));
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        writeFile(csv, "氏名,住所,郵便番号\n山田,東京都港区芝公園1,1050011\n");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const QStringList cases[] = {{fifo}, {csv, QStringLiteral("--mapping"), fifo}};
        for (const QStringList& args : cases) {
            QElapsedTimer t;
            t.start();
            const CliRun r = runCli(QStringList{QStringLiteral("batch"), QStringLiteral("check")} + args, {});
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(QString::fromUtf8(r.err).contains(QStringLiteral("通常のファイルではありません")), r.err.constData());
            QVERIFY2(t.elapsed() < 10000, "waited on the pipe");
        }
    }

    void printRendersPrintableRowsThenOneEmptyPage() {
        const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        if (pdfinfo.isEmpty()) QSKIP("pdfinfo not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        const CliRun r = runCli({QStringLiteral("batch"), QStringLiteral("print"), data("shop_utf8_bom.csv"),
                                 QStringLiteral("--pdf"), pdf, QStringLiteral("--date"), QStringLiteral("2025/12/01")},
                                {});
        QCOMPARE(r.exitCode, 0);
        QProcess info;
        info.start(pdfinfo, {pdf});
        QVERIFY(info.waitForFinished());
        // One row prints (two have problems), and no empty page after it.
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(text));
    }

    // A PDF is written whole or not at all. With the temporary folder full
    // the document is still made whole; with no room for it where it goes,
    // the run fails (exit code 1, no "印刷しました") and the previous file
    // stays as it was, nothing left beside it. The full disk is a 24 KB
    // tmpfs when the test may mount one, else a file size limit (SIGXFSZ
    // ignored, so writes past it fail with EFBIG).
    void aFailedWriteIsNeverReportedAsPrinted() {
        ScratchFolder small;
        const bool tmpfs = small.mountTmpfs("24k");
        QTemporaryDir dir;
        const QString one = dir.filePath(QStringLiteral("one.csv")), fifty = dir.filePath(QStringLiteral("fifty.csv"));
        QByteArray orders = "郵便番号,住所,氏名,電話番号\n";
        writeFile(one, orders + "105-0011,東京都港区芝公園4-2-8,山田太郎,03-1234-5678\n");
        for (int i = 0; i < 50; ++i) orders += "105-0011,東京都港区芝公園4-2-8,山田" + QByteArray::number(i) + "太郎,03-1234-5678\n";
        writeFile(fifty, orders);
        const QString keep = QString::fromStdString(small.file("keep.pdf"));
        QCOMPARE(runCli({QStringLiteral("batch"), QStringLiteral("print"), one, QStringLiteral("--pdf"), keep}, {}).exitCode, 0);
        const QByteArray good = readFile(keep);
        QVERIFY(good.startsWith("%PDF-"));
        QStringList files{QStringLiteral("keep.pdf")};
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (tmpfs) {
            spit(small.file("filler"), std::string(64 * 1024, 'x'));  // cut off where the disk is full
            files.prepend(QStringLiteral("filler"));
            env.insert(QStringLiteral("TMPDIR"), QString::fromStdString(small.path()));
            const QString elsewhere = dir.filePath(QStringLiteral("whole.pdf"));
            const CliRun whole = runCli({QStringLiteral("batch"), QStringLiteral("print"), fifty, QStringLiteral("--pdf"),
                                         elsewhere}, {}, env);
            QCOMPARE(whole.exitCode, 0);
            QVERIFY(readFile(elsewhere).trimmed().endsWith("%%EOF"));
        }

        const QStringList args{QStringLiteral("batch"), QStringLiteral("print"), fifty, QStringLiteral("--pdf"), keep};
        const CliRun r = tmpfs ? runCli(args, {}, env)
                               : runProgram(QStringLiteral("sh"),
                                            QStringList{QStringLiteral("-c"),
                                                        QStringLiteral("trap '' XFSZ; ulimit -f 40; exec \"$0\" \"$@\""),
                                                        QStringLiteral(VP_CLI_PATH)} + args,
                                            {});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(!QString::fromUtf8(r.err).contains(QStringLiteral("印刷しました")), r.err.constData());
        QCOMPARE(readFile(keep), good);
        QCOMPARE(QDir(QString::fromStdString(small.path())).entryList(QDir::Files | QDir::Hidden, QDir::Name), files);
    }

    // An output that is one of the inputs, or an existing file that is not
    // a PDF, is refused before anything is written.
    void outputsThatAreInputsOrOtherFilesAreRefused() {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("x.csv")), map = dir.filePath(QStringLiteral("m.txt"));
        const QString notes = dir.filePath(QStringLiteral("notes.pdf"));
        writeFile(csv, "郵便番号,住所,氏名\n105-0011,東京都港区芝公園4-2-8,山田太郎\n");
        writeFile(map, "郵便番号\tzip\n住所\taddress\n氏名\tname\n");
        writeFile(notes, "not a PDF\n");
        for (const QString& target : {csv, map, notes}) {
            const QByteArray before = readFile(target);
            const CliRun r = runCli({QStringLiteral("batch"), QStringLiteral("print"), csv, QStringLiteral("--mapping"),
                                     map, QStringLiteral("--pdf"), target},
                                    {});
            QCOMPARE(r.exitCode, 1);
            QCOMPARE(readFile(target), before);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    // Values that are not what an option takes are named (shown escaped and
    // cut short, whatever they hold), and an encoding that was a guess is
    // named with the way to choose the other.
    void optionValuesAndGuessesAreNamed() {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("o.csv")), map = dir.filePath(QStringLiteral("m.txt"));
        // "はな" in UTF-8, which is also the CP932 bytes of "縺ｯ縺ｪ".
        writeFile(csv, "zip,address,name\n1050011,Minato-ku Tokyo,\xE3\x81\xAF\xE3\x81\xAA\n");
        writeFile(map, "zip\tzip\nname\t\x1B[2J\x1B]0;owned\x07\n");
        const struct {
            QStringList args;
            int exitCode;
            const char* err;
        } cases[] = {
            {{QStringLiteral("--date"), QStringLiteral("abc")}, 2, "日付ではありません"},
            {{QStringLiteral("--date"), QStringLiteral("2026/02/30")}, 2, "日付ではありません"},
            {{QStringLiteral("--date"), QString(100000, u'9')}, 2, "日付ではありません"},
            {{QStringLiteral("--encoding"), QStringLiteral("latin1")}, 2, "--encoding"},
            {{QStringLiteral("--mapping"), map}, 1, "\\x1B[2J\\x1B]0;owned\\x07"},
            {{}, 0, "UTF-8 として読みました"},
        };
        for (const auto& c : cases) {
            const CliRun r = runCli(QStringList{QStringLiteral("batch"), QStringLiteral("check"), csv} + c.args, {});
            QCOMPARE(r.exitCode, c.exitCode);
            QVERIFY2(r.err.contains(c.err), r.err.left(300).constData());
            QVERIFY2(!r.err.contains('\x1B') && r.err.size() < 4000, r.err.left(300).constData());
            if (c.exitCode == 0) QVERIFY(r.out.contains("はな"));
        }
        const CliRun cp932 = runCli({QStringLiteral("batch"), QStringLiteral("check"), csv, QStringLiteral("--encoding"),
                                     QStringLiteral("cp932")}, {});
        QCOMPARE(cp932.exitCode, 0);
        QVERIFY(cp932.out.contains("縺ｯ縺ｪ"));
    }

    // Yahoo!'s item file opened by itself: its order file beside it is read
    // with it, the layout is named per waybill and in the usage text.
    void anItemFileIsReadWithItsOrderFile() {
        const CliRun r = runCli({QStringLiteral("batch"), QStringLiteral("check"), data("yahoo/yahoo_item_sjis.csv")}, {});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains("注文ファイル yahoo_order_sjis.csv と合わせて読み込みました"), r.err.constData());
        QVERIFY(r.err.contains("teashop-10009999"));
        const auto waybills = rows(r.out);
        QCOMPARE(waybills.size(), std::size_t{4});
        QCOMPARE(waybills[1][QStringLiteral("layout")].toString(), QStringLiteral("Yahoo!ショッピング"));
        QCOMPARE(waybills[1][QStringLiteral("fields")].toObject()[QStringLiteral("g2")].toString(), QStringLiteral("急須 ×1"));
        const CliRun usage = runCli({QStringLiteral("batch")}, {});
        QCOMPARE(usage.exitCode, 2);
        QVERIFY(usage.err.contains("\"楽天ペイ\"") && usage.err.contains("\"au PAY マーケット\""));
    }

    // Under cron or sudo there is no XDG_RUNTIME_DIR; Qt's remark about it
    // is not the tool's to print.
    void standardErrorCarriesOnlyTheToolsOwnWords() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        for (const QStringList& args :
             {QStringList{QStringLiteral("check"), data("shop_utf8_bom.csv")},
              QStringList{QStringLiteral("print"), data("shop_utf8_bom.csv"), QStringLiteral("--pdf"), pdf}}) {
            const CliRun r = runCli(QStringList{QStringLiteral("batch")} + args, {}, env);
            QCOMPARE(r.exitCode, 0);
            QVERIFY2(!r.err.contains("XDG_RUNTIME_DIR") && !r.err.contains("QStandardPaths"), r.err.constData());
        }
    }

    // A platform's file: one object per waybill with its order and layout;
    // printed with a first form number, every waybill's order and tracking
    // number lands in the history and comes back in the confirmation file.
    void ordersPrintWithTrackingNumbersAndComeBackAsConfirmation() {
        const CliRun check = runCli({QStringLiteral("batch"), QStringLiteral("check"), data("shopify_orders.csv"),
                                     QStringLiteral("--date"), QStringLiteral("2026/12/07")},
                                    {});
        QCOMPARE(check.exitCode, 0);
        QVERIFY(check.err.contains("Shopify の注文ファイルとして読み込みました"));
        const auto waybills = rows(check.out);
        QCOMPARE(waybills.size(), std::size_t{4});
        QCOMPARE(waybills[2][QStringLiteral("row")].toInt(), 6);
        QCOMPARE(waybills[2][QStringLiteral("order")].toString(), QStringLiteral("#1003"));
        QCOMPARE(waybills[2][QStringLiteral("layout")].toString(), QStringLiteral("Shopify"));
        const CliRun plain = runCli({QStringLiteral("batch"), QStringLiteral("check"), data("shop_utf8_bom.csv")}, {});
        QVERIFY(rows(plain.out)[0][QStringLiteral("layout")].isNull());

        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("h.db"));
        auto print = [&](const QString& first) {
            return runCli({QStringLiteral("batch"), QStringLiteral("print"), data("amazon_orders_utf8.txt"),
                           QStringLiteral("--pdf"), dir.filePath(QStringLiteral("out.pdf")), QStringLiteral("--db"), db,
                           QStringLiteral("--date"), QStringLiteral("2026/12/07"), QStringLiteral("--first-number"),
                           first},
                          {});
        };
        // A first number with a wrong check digit is refused; nothing is printed or recorded.
        const CliRun refused = print(QStringLiteral("123456789014"));
        QCOMPARE(refused.exitCode, 2);
        QVERIFY(refused.err.contains("伝票番号の検査数字が合いません"));
        QVERIFY(!QFile::exists(db));
        QCOMPARE(print(QStringLiteral("1234-5678-9013")).exitCode, 0);

        const CliRun list = runCli({QStringLiteral("history"), QStringLiteral("list"), QStringLiteral("--db"), db}, {});
        QStringList recorded;
        for (const QJsonObject& row : rows(list.out))
            recorded << row[QStringLiteral("order")].toString() + QLatin1Char(' ') +
                            row[QStringLiteral("tracking")].toString();
        QCOMPARE(recorded, (QStringList{QStringLiteral("250-7654321-7654321 123456789035"),
                                        QStringLiteral("250-7654321-7654321 123456789024"),
                                        QStringLiteral("250-1234567-1234567 123456789013")}));

        const CliRun amazon = runCli({QStringLiteral("history"), QStringLiteral("export"), QStringLiteral("--shipped"),
                                      QStringLiteral("amazon"), QStringLiteral("--db"), db},
                                     {});
        QCOMPARE(amazon.exitCode, 0);
        const QList<QByteArray> lines = amazon.out.split('\n');
        QCOMPARE(lines.size(), 6);  // header, four items, the end of the last line
        QVERIFY(lines[1].startsWith("250-1234567-1234567\t11111111111111\t2\t2026-12-07\t"));
        QVERIFY(lines[1].contains("\t123456789013\t"));
        // A range without shipped rows: a message and no output.
        const CliRun none = runCli({QStringLiteral("history"), QStringLiteral("export"), QStringLiteral("--shipped"),
                                    QStringLiteral("plain"), QStringLiteral("--db"), db, QStringLiteral("--to"),
                                    QStringLiteral("2000-01-01")},
                                   {});
        QCOMPARE(none.exitCode, 1);
        QVERIFY(none.out.isEmpty());
        QVERIFY(none.err.contains("出荷済みの注文"));
    }

    // Each platform's order file printed with a first form number comes back
    // as that platform's own shipping file: a line per parcel (per item for
    // Qoo10), each form's number in it, no other platform's.
    void everyPlatformsOrdersComeBackInItsOwnFile() {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("h.db"));
        const struct {
            const char* file;
            const char* layout;
            const char* first;  // the first form's number: 2000… for the first platform, 3000… the next
            int parcels, lines;
            bool shiftJis;
        } cases[] = {
            {"rakuten_pay_sjis.csv", "rakuten", "200000000001", 6, 6, true},
            {"eccube_orders_sjis.csv", "ec-cube", "300000000005", 6, 6, true},
            {"qoo10_delivery_utf8.csv", "qoo10", "400000000002", 4, 5, false},
            {"yahoo/yahoo_order_sjis.csv", "yahoo", "500000000006", 4, 4, false},
        };
        for (const auto& c : cases) {
            const CliRun print = runCli({QStringLiteral("batch"), QStringLiteral("print"), data(c.file), QStringLiteral("--pdf"),
                                         dir.filePath(QStringLiteral("out.pdf")), QStringLiteral("--db"), db,
                                         QStringLiteral("--date"), QStringLiteral("2026/12/07"),
                                         QStringLiteral("--first-number"), QString::fromLatin1(c.first)},
                                        {});
            QVERIFY2(print.exitCode == 0, print.err.constData());
        }
        for (const auto& c : cases) {
            const CliRun out = runCli({QStringLiteral("history"), QStringLiteral("export"), QStringLiteral("--shipped"),
                                       QString::fromLatin1(c.layout), QStringLiteral("--db"), db},
                                      {});
            QVERIFY2(out.exitCode == 0, out.err.constData());
            const QString text = c.shiftJis ? QString::fromStdString(sjis::toUtf8(out.out.toStdString()))
                                            : QString::fromUtf8(out.out);
            QCOMPARE(text.count(QStringLiteral("\r\n")), c.lines + 1);
            for (int k = 0; k < c.parcels; ++k)
                QVERIFY2(text.contains(QString::fromLatin1(c.first).left(10) + QString::number(k)), c.layout);
            for (const auto& other : cases)
                if (&other != &c) QVERIFY(!text.contains(QString::fromLatin1(other.first).left(4)));
        }
    }
};

QTEST_GUILESS_MAIN(TestBatchCli)
#include "batch_cli_test.moc"
