// vamu_pelican_cli form list / form check, and --form on layout, print and
// batch: forms found in the folder and the bundled one, problems as JSON,
// a form that fails its check refused with nothing written, and the draw
// calls following the form chosen.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/cli_run.h"
#include "tests/support/file_bytes.h"

namespace {

QByteArray builtinText() { return readFile(QStringLiteral(VP_SOURCE_FORMS "/pelican.form")); }

// The bundled file with one line changed.
QByteArray edited(const QByteArray& from, const QByteArray& to) {
    QByteArray text = builtinText();
    const qsizetype at = text.indexOf(from);
    if (at < 0) qFatal("no line %s", from.constData());
    return text.replace(at, from.size(), to);
}

std::vector<QJsonObject> lines(const QByteArray& out) {
    std::vector<QJsonObject> r;
    for (const QByteArray& line : out.split('\n'))
        if (!line.isEmpty()) r.push_back(QJsonDocument::fromJson(line).object());
    return r;
}

QString firstProblemItem(const QJsonObject& o) {
    const QJsonArray problems = o[QStringLiteral("problems")].toArray();
    return problems.isEmpty() ? QString() : problems.first().toObject()[QStringLiteral("item")].toString();
}

const QByteArray kFields = R"({"dpix":160,"dpiy":160,"zip":"123-4567","name":"山田太郎","print_date":false,"print_sender":false})";

}  // namespace

// A folder with forms/moved.form (the postal code boxes 10 units to the
// right) and forms/off.form (a goods line past the page's edge).
class TestFormCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

private slots:
    void initTestCase() {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("forms")));
        writeFile(path("forms/moved.form"), edited("zip1 = 14, 190, 30,", "zip1 = 14, 200, 30,"));
        writeFile(path("forms/off.form"), edited("g1 = 10, 810, 160, 1280,", "g1 = 10, 810, 160, 1300,"));
        writeFile(path("orders.csv"), "郵便番号,住所,氏名,電話番号\n105-0011,東京都港区芝公園4-2-8,山田太郎,03-1234-5678\n");
    }

    void listNamesEveryFormWithItsProblems() {
        const CliRun r = runCliIn(dir.path(), {QStringLiteral("form"), QStringLiteral("list")}, {});
        QCOMPARE(r.exitCode, 0);
        const auto forms = lines(r.out);
        QCOMPARE(forms.size(), std::size_t{3});
        const QJsonObject& builtin = forms[0];
        QCOMPARE(builtin[QStringLiteral("id")].toString(), QStringLiteral("pelican"));
        QCOMPARE(builtin[QStringLiteral("name")].toString(), QStringLiteral("ペリカン便 送り状"));
        QCOMPARE(builtin[QStringLiteral("carrier")].toString(), QStringLiteral("日本通運"));
        QVERIFY(builtin[QStringLiteral("path")].toString().endsWith(QStringLiteral("data/forms/pelican.form")));
        QCOMPARE(builtin[QStringLiteral("ok")].toBool(), true);
        QCOMPARE(forms[1][QStringLiteral("id")].toString(), QStringLiteral("moved"));
        QCOMPARE(forms[1][QStringLiteral("ok")].toBool(), true);
        QCOMPARE(forms[2][QStringLiteral("id")].toString(), QStringLiteral("off"));
        QCOMPARE(forms[2][QStringLiteral("ok")].toBool(), false);
        QVERIFY(forms[2][QStringLiteral("name")].isNull());
        QCOMPARE(firstProblemItem(forms[2]), QStringLiteral("g1"));
    }

    void checkGivesTheProblemsAndTheirExitCode_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("message");
        QTest::newRow("sound") << path("forms/moved.form") << 0 << QString() << QString();
        QTest::newRow("off the page") << path("forms/off.form") << 1 << QStringLiteral("g1") << QStringLiteral("外に出ています");
        QTest::newRow("not there") << path("none.form") << 1 << QString() << QStringLiteral("読めません");
        QTest::newRow("a folder") << path("forms") << 1 << QString() << QStringLiteral("読めません");
    }
    void checkGivesTheProblemsAndTheirExitCode() {
        QFETCH(QString, file);
        QFETCH(int, exitCode);
        QFETCH(QString, item);
        QFETCH(QString, message);
        const CliRun r = runCli({QStringLiteral("form"), QStringLiteral("check"), file}, {});
        QCOMPARE(r.exitCode, exitCode);
        const auto out = lines(r.out);
        QCOMPARE(out.size(), std::size_t{1});
        QCOMPARE(out[0][QStringLiteral("ok")].toBool(), exitCode == 0);
        const QJsonArray problems = out[0][QStringLiteral("problems")].toArray();
        QCOMPARE(problems.isEmpty(), message.isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(problems.first().toObject()[QStringLiteral("item")].toString(), item);
            QVERIFY(problems.first().toObject()[QStringLiteral("message")].toString().contains(message));
        }
    }

    void aFormThatFailsItsCheckIsRefusedAndNothingWritten_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString pdf = path("out.pdf");
        for (const QString& form : {QStringLiteral("off"), QStringLiteral("forms/off.form")}) {
            const QString refused = QStringLiteral("用紙 %1 には問題があるため印刷しません").arg(form);
            QTest::addRow("layout %s", qPrintable(form)) << QStringList{QStringLiteral("layout"), QStringLiteral("--form"), form} << refused;
            QTest::addRow("print %s", qPrintable(form))
                << QStringList{QStringLiteral("print"), QStringLiteral("--pdf"), pdf, QStringLiteral("--form"), form} << refused;
            QTest::addRow("batch print %s", qPrintable(form))
                << QStringList{QStringLiteral("batch"), QStringLiteral("print"), QStringLiteral("orders.csv"), QStringLiteral("--pdf"),
                               pdf, QStringLiteral("--form"), form}
                << refused;
        }
        QTest::newRow("no such form") << QStringList{QStringLiteral("layout"), QStringLiteral("--form"), QStringLiteral("nosuch")}
                                      << QStringLiteral("用紙 nosuch はありません");
    }
    void aFormThatFailsItsCheckIsRefusedAndNothingWritten() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const CliRun r = runCliIn(dir.path(), args, kFields);
        QCOMPARE(r.exitCode, 1);
        const QString err = QString::fromUtf8(r.err);
        QVERIFY2(err.contains(message), qPrintable(err));
        if (message.contains(QStringLiteral("問題"))) QVERIFY2(err.contains(QStringLiteral("g1: ")), qPrintable(err));
        QCOMPARE(r.out, QByteArray());
        QVERIFY(!QFile::exists(path("out.pdf")));
    }

    void layoutFollowsTheFormChosen() {
        const CliRun plain = runCliIn(dir.path(), {QStringLiteral("layout")}, kFields);
        QCOMPARE(plain.exitCode, 0);
        const CliRun builtin = runCliIn(dir.path(), {QStringLiteral("layout"), QStringLiteral("--form"), QStringLiteral("pelican")}, kFields);
        QCOMPARE(builtin.out, plain.out);
        const CliRun moved = runCliIn(dir.path(), {QStringLiteral("layout"), QStringLiteral("--form"), QStringLiteral("moved")}, kFields);
        QCOMPARE(moved.exitCode, 0);
        // At 160 dpi a form unit is a pixel: only the first box moved.
        QList<QByteArray> a = plain.out.split('\n'), b = moved.out.split('\n');
        QCOMPARE(a.size(), b.size());
        QCOMPARE(a[0], QByteArray(R"({"x":190,"y":30,"size":14,"text":"1"})"));
        QCOMPARE(b[0], QByteArray(R"({"x":200,"y":30,"size":14,"text":"1"})"));
        a.removeFirst();
        b.removeFirst();
        QCOMPARE(a, b);
    }

    void batchCheckMeasuresAgainstTheFormsAreas() {
        // The name's area cut to 30 units: the name no longer fits.
        writeFile(path("narrow.form"), edited("name = 10, 180, 240, 560,", "name = 10, 180, 240, 210,"));
        const QStringList check{QStringLiteral("batch"), QStringLiteral("check"), QStringLiteral("orders.csv")};
        const CliRun plain = runCliIn(dir.path(), check, {});
        const CliRun narrow = runCliIn(dir.path(), check + QStringList{QStringLiteral("--form"), QStringLiteral("narrow.form")}, {});
        QCOMPARE(plain.exitCode, 0);
        QCOMPARE(narrow.exitCode, 0);
        QVERIFY2(!plain.out.contains(R"("field":"name")"), plain.out.constData());
        QVERIFY2(narrow.out.contains(R"("field":"name")"), narrow.out.constData());
    }
};

QTEST_GUILESS_MAIN(TestFormCli)
#include "form_cli_test.moc"
