#pragma once
// The main window over the scripted printing system, in a scratch folder,
// for the printer box and its dialogs.
#include <QLabel>

#include <memory>

#include "app/main_form/app_windows.h"
#include "print/Wb_d97_Dot.h"
#include "print/Wbprn/continuous_form.h"
#include "tests/app/test_form_fixture.h"
#include "tests/print/test_wbprn_fake_support.h"
#include "tests/support/file_bytes.h"

namespace printer_box_test {

// A printer whose default feed is the first bin (手差し), with a page one
// continuous form long last in its paper list.
inline wbprn::FakePrinter fakePrinter(const char* name, bool hidden = false) {
    wbprn::FakePrinter p = wbprn_test::printer(name, hidden);
    p.defaults.defaultSource = 256;
    p.papers.count = 4;
    p.papers.codes.push_back(wbprn::kContinuousFormPaperCode);
    p.papers.names.push_back(wbprn::continuousFormPaperName().toStdString());
    p.pagesByPaper[wbprn::kContinuousFormPaperCode] = {QSizeF(576, 288), QRectF(18, 18, 540, 252)};
    return p;
}

using BoxForm = ShownForm;

// The print command's layout window, open while a test class runs.
class LayoutWindow {
public:
    void open() {
        window_ = std::make_unique<TWb_d97_Dot>();
        Wb_d97_Dot = window_.get();
    }
    void close() {
        Wb_d97_Dot = nullptr;
        window_.reset();
    }

private:
    std::unique_ptr<TWb_d97_Dot> window_;
};

// The printer file of the scratch folder the window runs in.
inline QString iniPath() { return QDir::currentPath() + QStringLiteral("/vamu_a500.ini"); }

}  // namespace printer_box_test
