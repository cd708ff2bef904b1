// The fit check measures only texts that could reach the end of their
// room: it must report exactly what measuring every text reports.
#include <QGuiApplication>
#include <QtTest>

#include "print/Wbprn/painter_canvas.h"
#include "print/Wbprn/waybill_fit.h"
#include "print/core/layout.h"
#include "text/sjis_convert.h"

class TestWaybillFit : public QObject {
    Q_OBJECT

private slots:
    void sameOverflowsAsMeasuringEveryText_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("add1");
        QTest::addColumn<QString>("tel");
        QTest::addColumn<int>("dpi");
        QTest::newRow("short") << QStringLiteral("山田") << QStringLiteral("東京都港区") << QStringLiteral("03") << 360;
        QTest::newRow("wide latin") << QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW")
                                    << QStringLiteral("MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM")
                                    << QStringLiteral("@@@@@@@@@@@@@@@@@@@@") << 360;
        QTest::newRow("full width near the end")
            << QStringLiteral("ペリカン株式会社東日本支社営業第一部") << QStringLiteral("北海道札幌市中央区北一条西二丁目大通")
            << QStringLiteral("０３－３４３３－１１１１") << 203;
        QTest::newRow("narrow kana") << QStringLiteral("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓ")
                                     << QStringLiteral("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎ") << QStringLiteral("1") << 600;
    }
    void sameOverflowsAsMeasuringEveryText() {
        QFETCH(QString, name);
        QFETCH(QString, add1);
        QFETCH(QString, tel);
        QFETCH(int, dpi);
        print::WaybillFields f;
        f.dpix = f.dpiy = std::to_string(dpi);
        f.date = "2026/12/07";
        f.zip = "105-0011";
        f.custo1 = sjis::fromUtf8Lossy(name.toStdString());
        f.add1 = sjis::fromUtf8Lossy(add1.toStdString());
        f.tel = sjis::fromUtf8Lossy(tel.toStdString());
        f.g1 = f.custo1;
        f.my = f.add1;
        const QSizeF a4(595, 842);
        wbprn::WaybillFit fit(a4);
        wbprn::PrintFontMeasure measure(dpi, dpi);
        const print::ImageableArea area{static_cast<int>(a4.width() * dpi / 72), static_cast<int>(a4.height() * dpi / 72), dpi};
        const auto all = print::findOverflows(
            print::planWaybill(f), print::DeviceMap::of(f),
            [&](int points, const std::string& text) { return measure.width(points, text); }, area);
        QCOMPARE(fit.overflows(f), all);
        QCOMPARE(all.empty(), QByteArray(QTest::currentDataTag()) == "short");
    }
};

QTEST_MAIN(TestWaybillFit)
#include "waybill_fit_test.moc"
