#include "app/form_designer/form_scan.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>

namespace form_design {

namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr int kPdftoppmMs = 30000;

bool isPdf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-";
}

Scan failed(const QString& path, const QString& why) {
    Scan s;
    s.error = QStringLiteral("%1 を読み込めません").arg(QFileInfo(path).fileName());
    if (!why.isEmpty()) s.error += QStringLiteral("（%1）").arg(why);
    return s;
}

// The first page as a PNG at kPdfDpi, through pdftoppm in a private folder.
QImage renderPdfPage(const QString& path, QString& why) {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        why = dir.errorString();
        return {};
    }
    const QString out = dir.filePath(QStringLiteral("page"));
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(kPdfDpi),
                                         QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                         QStringLiteral("1"), QStringLiteral("-singlefile"), path, out});
    if (!p.waitForStarted()) {
        why = QStringLiteral("pdftoppm がありません");
        return {};
    }
    if (!p.waitForFinished(kPdftoppmMs)) {
        p.kill();
        p.waitForFinished();
        why = QStringLiteral("PDF の変換が終わりません");
        return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        why = QString::fromLocal8Bit(p.readAllStandardError()).trimmed().section(QLatin1Char('\n'), 0, 0);
        return {};
    }
    QImage image(out + QStringLiteral(".png"));
    const int dpm = static_cast<int>(std::lround(kPdfDpi / kMetresPerInch));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    return image;
}

}  // namespace

Scan loadScan(const QString& path) {
    QString why;
    QImage image;
    if (isPdf(path)) {
        image = renderPdfPage(path, why);
    } else {
        QImageReader reader(path);
        reader.setAutoTransform(true);  // a photo taken sideways stands upright
        image = reader.read();
        if (image.isNull()) why = reader.errorString();
    }
    if (image.isNull()) return failed(path, why);
    Scan s;
    s.dpi = static_cast<int>(std::lround(image.dotsPerMeterX() * kMetresPerInch));
    const int dpiY = static_cast<int>(std::lround(image.dotsPerMeterY() * kMetresPerInch));
    if (s.dpi >= kLowestScanDpi && dpiY >= kLowestScanDpi) {
        s.sizeMm = QSizeF(image.width() * 25.4 / s.dpi, image.height() * 25.4 / dpiY);
    } else {
        s.dpi = 0;
    }
    s.image = std::move(image);
    return s;
}

}  // namespace form_design
