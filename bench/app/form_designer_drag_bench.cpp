// The form designer redrawing while a box is dragged over a 300 dpi scan:
// each frame is one mouse move on the canvas and the window's repaint of
// everything that changed (the canvas, the place line, the check list),
// on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>

#include "app/form_designer/form_canvas.h"
#include "app/form_designer/form_designer_window.h"

namespace {

QString writeScan(const QTemporaryDir& dir, double widthMm, double heightMm) {
    constexpr int kDpi = 300;
    QImage image(qRound(widthMm / 25.4 * kDpi), qRound(heightMm / 25.4 * kDpi), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(Qt::darkGreen, 3));
    for (int y = 0; y < image.height(); y += 40) p.drawLine(0, y, image.width(), y);
    for (int x = 0; x < image.width(); x += 120) p.drawLine(x, 0, x, image.height());
    p.end();
    image.setDotsPerMeterX(qRound(kDpi / 0.0254));
    image.setDotsPerMeterY(qRound(kDpi / 0.0254));
    QString path = dir.filePath(QStringLiteral("scan.png"));
    image.save(path);
    return path;
}

void move(QWidget& canvas, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent e(QEvent::MouseMove, at, canvas.mapToGlobal(at), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&canvas, &e);
}

// A full-HD screen for the offscreen platform, whose own is 800 × 600:
// the window then has the size a user gives it and the page its pixels.
void useFullHdScreen(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("screen.json"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1920, "height": 1080,
                      "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(path));
}

// Args: the scan's width and height in millimetres.
void dragOverScan(benchmark::State& state) {
    QTemporaryDir dir;
    useFullHdScreen(dir);
    int argc = 1;
    char name[] = "bench_form_designer_drag";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    TForm_FormDesigner window(dir.path());
    window.resize(1400, 800);
    window.show();
    if (!window.openScan(writeScan(dir, static_cast<double>(state.range(0)), static_cast<double>(state.range(1)))))
        state.SkipWithError("scan not read");
    QApplication::processEvents();
    auto& canvas = *window.Canvas;
    const QPointF start = canvas.boxRect(0).center();
    QMouseEvent press(QEvent::MouseButtonPress, start, canvas.mapToGlobal(start), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&canvas, &press);
    QApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        // Back and forth over a few millimetres, every frame a new place.
        const double dx = (step % 40 < 20 ? step % 20 : 20 - step % 20) * 2.0;
        move(canvas, start + QPointF(dx, dx / 2), Qt::LeftButton);
        canvas.repaint();  // the canvas at once, the rest as the event loop paints it
        QApplication::processEvents();
        ++step;
    }
    state.counters["page_px"] = canvas.boxRect(0).isValid() ? canvas.toWidget(window.design().widthMm(), 0).x() : 0;
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(dragOverScan)->Args({203, 102})->Args({210, 297})->Unit(benchmark::kMillisecond)->UseRealTime();
