#include "tools/cli_fonts.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>
#include <cerrno>
#include <cstdio>

#include "print/Wbprn/painter_canvas.h"
#include "store/atomic_file.h"
#include "store/output_file.h"

namespace cli {

namespace {

// Drops Qt's debug, info and warning messages; a critical or fatal one
// (the program cannot go on) is still shown.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) return;
    std::fprintf(stderr, "Qt: %s\n", message.toLocal8Bit().constData());
}

}  // namespace

std::unique_ptr<QGuiApplication> startFonts(char* argv0) {
    qInstallMessageHandler(quietQtMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char* qtArgv[] = {argv0, nullptr};
    auto app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
    wbprn::registerFontSubstitutes();
    return app;
}

void writePdfFile(const QString& path, const wbprn::PdfPageSetup& setup, const QString& title,
                  std::initializer_list<std::string> inputs, const std::function<void(wbprn::PdfCanvas&)>& draw,
                  const std::function<void()>& beforeWrite) {
    const std::string target = QFile::encodeName(path).toStdString();
    store::checkOutputFile(target, store::OutputKind::Pdf, inputs);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        wbprn::PdfCanvas canvas(pdf, setup, title);
        draw(canvas);
        if (!canvas.finish()) throw std::runtime_error("cannot write " + target + ": " + canvas.errorString().toStdString());
    }
    const QByteArray& bytes = pdf.data();
    if (beforeWrite) beforeWrite();
    try {
        writeFileAtomically(target, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const FileError& e) {
        const int err = e.errorNumber();
        if (err == ENOENT || err == ENOTDIR || err == EACCES || err == EROFS)
            throw std::runtime_error("cannot create a file in " + QFileInfo(path).absolutePath().toStdString() + ": " +
                                     e.what());
        throw std::runtime_error("cannot write " + target + ": " + e.what());
    }
}

}  // namespace cli
