#pragma once
// The form designer on a scratch folder, driven as a user drives it: a
// generated picture of an empty form, clicks and drags on the canvas, arrow
// keys, the font size box and the name and ID fields.
#include <QImage>
#include <QInputMethodEvent>
#include <QPainter>
#include <QTest>
#include <cstdint>
#include <memory>

#include "app/form_designer/form_canvas.h"
#include "app/form_designer/form_designer_window.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/scripted_boxes.h"

namespace designer_test {

// A white picture of `widthIn` × `heightIn` inches at `dpi` with a frame
// and a few ruled lines, saved in the format the suffix names.
inline QString writeScan(const QString& path, double widthIn, double heightIn, int dpi) {
    QImage image(static_cast<int>(widthIn * dpi), static_cast<int>(heightIn * dpi), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(Qt::darkGreen, dpi / 100.0));
    p.drawRect(image.rect().adjusted(dpi / 10, dpi / 10, -dpi / 10, -dpi / 10));
    for (int y = dpi / 2; y < image.height(); y += dpi / 2) p.drawLine(0, y, image.width(), y);
    p.end();
    const int dpm = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.save(path);
    return path;
}

struct Designer {
    ScratchFolder folder;
    ScriptedBoxes boxes;
    std::unique_ptr<TForm_FormDesigner> window;
    bool exposed = false;

    Designer() { reopen(); }

    // A fresh window on the same folder, as the next time it is opened.
    void reopen() {
        window = std::make_unique<TForm_FormDesigner>(QString::fromStdString(folder.path()));
        window->resize(1400, 760);
        window->show();
        exposed = QTest::qWaitForWindowExposed(window.get());
    }

    form_design::FormCanvas& canvas() const { return *window->Canvas; }

    // The index of the item with this key in the design.
    std::size_t indexOf(const char* key) const {
        for (std::size_t i = 0; i < window->design().count(); ++i)
            if (qstrcmp(window->design().place(i).key, key) == 0) return i;
        return SIZE_MAX;
    }

    double pixelsPerMm() const { return canvas().toWidget(1, 0).x() - canvas().toWidget(0, 0).x(); }
    // A mouse way of about `mm` millimetres on the canvas, in whole pixels.
    int pixels(double mm) const { return qRound(mm * pixelsPerMm()); }

    QPoint centreOf(std::size_t i) const { return canvas().boxRect(i).center().toPoint(); }

    void click(std::size_t i) const { QTest::mouseClick(&canvas(), Qt::LeftButton, {}, centreOf(i)); }

    // Presses inside the box (or on the point given), moves by `by` in a
    // few steps and releases, as a hand drags.
    void drag(QPoint from, QPoint by) const {
        QTest::mousePress(&canvas(), Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step) QTest::mouseMove(&canvas(), from + by * step / 4);
        QTest::mouseRelease(&canvas(), Qt::LeftButton, {}, from + by);
    }

    void key(Qt::Key k, Qt::KeyboardModifiers m = {}, int times = 1) const {
        for (int n = 0; n < times; ++n) QTest::keyClick(&canvas(), k, m);
    }

    // Replaces a field's text as the user types it: ASCII key by key,
    // Japanese committed by the input method.
    static void type(QWidget* field, const QString& text) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Delete);
        bool ascii = true;
        for (const QChar c : text) ascii = ascii && c.unicode() < 0x80;
        if (ascii) return QTest::keyClicks(field, text);
        QInputMethodEvent committed;
        committed.setCommitString(text);
        QCoreApplication::sendEvent(field, &committed);
    }

    // Types the form's name and ID and clicks 保存.
    void saveAs(const QString& name, const QString& id) const {
        type(window->Edit_Name, name);
        type(window->Edit_Id, id);
        QTest::mouseClick(window->Button_Save, Qt::LeftButton);
    }

    std::string formPath(const char* id) const { return folder.file(std::string("forms/") + id + ".form"); }
};

}  // namespace designer_test
