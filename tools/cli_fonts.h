#pragma once
// The Qt side of the commands that measure or draw text (layout --check,
// print, batch): a GUI application on the offscreen platform, which the
// fonts need, and the PDF file those commands write.
#include <QGuiApplication>
#include <QString>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "print/Wbprn/pdf_canvas.h"

namespace cli {

// A GUI application without a display, the print fonts registered. Qt's
// own remarks about the session (no XDG_RUNTIME_DIR under cron or sudo, a
// missing platform plugin option) are not printed: standard error carries
// only what the tool itself says.
std::unique_ptr<QGuiApplication> startFonts(char* argv0);

// Renders a document with `draw` and writes it as the file at `path`. The
// document is made in memory and checked to its end first; the file is
// then replaced atomically (a temporary file in the same folder, flushed,
// renamed), so a failure at any step leaves an existing file as it was.
// An existing output that is one of `inputs` or not a PDF is refused
// before anything is drawn. beforeWrite() runs once the document is whole,
// right before the file is replaced (to record the print first). Throws
// std::runtime_error naming the file.
void writePdfFile(const QString& path, const wbprn::PdfPageSetup& setup, const QString& title,
                  std::initializer_list<std::string> inputs, const std::function<void(wbprn::PdfCanvas&)>& draw,
                  const std::function<void()>& beforeWrite = {});

}  // namespace cli
