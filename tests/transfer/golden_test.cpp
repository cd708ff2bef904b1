// Realistic pasted orders (tests/transfer/golden/*.txt) against the fields
// worked out for each by hand (*.json): the core and the command-line tool
// must both give them.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include "tests/support/cli_run.h"
#include "text/sjis_convert.h"
#include "transfer/pipeline.h"

namespace {

const char* const kKeys[] = {"zip", "add1", "add2", "name", "tel", "message"};

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}

QJsonObject coreResult(const QByteArray& utf8) {
    const transfer::TransferResult r = transfer::runTransfer(sjis::fromUtf8Lossy(utf8.toStdString()));
    const auto str = [](const std::string& sjisText) {
        return QJsonValue(QString::fromStdString(sjis::toUtf8(sjisText)));
    };
    QJsonObject o;
    o[QStringLiteral("zip")] = r.fields ? str(r.fields->zip) : QJsonValue();
    o[QStringLiteral("add1")] = r.fields ? str(r.fields->add1) : QJsonValue();
    o[QStringLiteral("add2")] = r.fields ? str(r.fields->add2) : QJsonValue();
    o[QStringLiteral("name")] = r.fields ? str(r.fields->name) : QJsonValue();
    o[QStringLiteral("tel")] = r.fields ? str(r.fields->tel) : QJsonValue();
    o[QStringLiteral("message")] = r.message ? str(*r.message) : QJsonValue();
    return o;
}

void compare(const QJsonObject& got, const QJsonObject& expected, const QString& what) {
    for (const char* key : kKeys) {
        const QString k = QLatin1String(key);
        if (got.value(k) != expected.value(k))
            QFAIL(qPrintable(QStringLiteral("%1 %2: got %3, expected %4")
                                 .arg(what, k, got.value(k).toVariant().toString(),
                                      expected.value(k).toVariant().toString())));
    }
}

}  // namespace

class GoldenTest : public QObject {
    Q_OBJECT
private slots:
    void pastes_data() {
        QTest::addColumn<QString>("base");
        const QDir dir(QStringLiteral(VP_GOLDEN_DIR));
        const QStringList inputs = dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
        QVERIFY2(inputs.size() >= 30, "the golden folder holds too few cases");
        for (const QString& f : inputs) {
            const QString base = dir.filePath(f.chopped(4));
            QTest::newRow(qPrintable(f.chopped(4))) << base;
        }
    }

    void pastes() {
        QFETCH(QString, base);
        const QByteArray input = readFile(base + QStringLiteral(".txt"));
        const QJsonObject expected = QJsonDocument::fromJson(readFile(base + QStringLiteral(".json"))).object();
        QVERIFY(!expected.isEmpty());

        compare(coreResult(input), expected, QStringLiteral("core"));

        const CliRun cli = runCli({QStringLiteral("transfer")}, input);
        QCOMPARE(cli.exitCode, 0);
        QJsonParseError err{};
        const QJsonObject out = QJsonDocument::fromJson(cli.out, &err).object();
        QCOMPARE(err.error, QJsonParseError::NoError);
        compare(out, expected, QStringLiteral("cli"));
    }

    // The Shift-JIS mode reads and writes the same bytes the memo holds.
    void sjisModeMatchesUtf8() {
        const QByteArray input = readFile(QStringLiteral(VP_GOLDEN_DIR "/02_web_form_labels.txt"));
        const CliRun utf8 = runCli({QStringLiteral("transfer")}, input);
        const CliRun sj = runCli({QStringLiteral("transfer"), QStringLiteral("--sjis")},
                                 QByteArray::fromStdString(sjis::fromUtf8(input.toStdString()).value()));
        QVERIFY(utf8.exitCode == 0 && sj.exitCode == 0);
        QCOMPARE(QByteArray::fromStdString(sjis::toUtf8(sj.out.toStdString())), utf8.out);
    }
};

QTEST_GUILESS_MAIN(GoldenTest)
#include "golden_test.moc"
