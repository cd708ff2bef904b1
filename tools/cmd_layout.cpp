// layout: waybill fields (JSON) to the draw calls of the layout.
// print --pdf FILE [--dpi N]: the same fields to a PDF as the printer gets it.
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryFile>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "store/atomic_file.h"
#include "print/Wbprn/pdf_canvas.h"
#include "print/core/layout.h"
#include "print/core/recording_surface.h"
#include "print/core/str_to_int.h"
#include "tools/cli_commands.h"
#include "tools/cli_io.h"
#include "tools/layout_json.h"

namespace {

QByteArray readStdin() {
    return QByteArray::fromStdString(cli::readStdin());
}

// The print command's title for every document.
const char kTitle[] = "vamu_Pelican  ";

// Renders the waybill into `path` through a temporary file in the same
// folder that is renamed over the target only when the document is
// complete: a failed run never leaves a half-written or truncated PDF.
void renderPdf(const print::WaybillFields& fields, const QString& path, int dpi) {
    // Parse and map everything before a file is created.
    const std::vector<print::DrawItem> items = print::planWaybill(fields);

    // The writer needs a file of its own; the finished bytes then replace
    // the target in one atomic step, so a failed run leaves it untouched.
    QTemporaryFile tmp;
    if (!tmp.open()) throw std::runtime_error("cannot create a temporary file");
    tmp.close();

    wbprn::PdfPageSetup setup;
    setup.dpi = dpi;
    {
        wbprn::PdfCanvas canvas(tmp.fileName(), setup, QString::fromLatin1(kTitle));
        print::drawItems(items, canvas);
        canvas.newPage();  // the layout ends its page; the document's second page stays empty
        if (!canvas.finish()) throw std::runtime_error("cannot write " + path.toStdString());
    }
    if (!tmp.open()) throw std::runtime_error("cannot write " + path.toStdString());
    const QByteArray pdf = tmp.readAll();
    try {
        writeFileAtomically(QFile::encodeName(path).toStdString(),
                            std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
    } catch (const FileError& e) {
        throw std::runtime_error("cannot create a file in " + QFileInfo(path).absolutePath().toStdString() + ": " + e.what());
    }
}

}  // namespace

int cmdLayout(int argc, char**) {
    if (argc > 1) {
        std::fputs("usage: vamu_pelican_cli layout < fields.json\n"
                   "  keys: zip add1 add2 name tel g1 g2 g3 date (yyyy/mm/dd) print_date de1 de2 de3\n"
                   "  print_sender my_zip my_add1 my_add2 my_name my_tel time_band (6 booleans)\n"
                   "  special (5 booleans) dpix dpiy top left; prints one JSON object per text:\n"
                   "  {\"x\":..,\"y\":..,\"size\":..,\"text\":..}\n",
                   stderr);
        return 2;
    }
    return cli::runChecked([] {
        const print::WaybillFields fields = cli::waybillFromJson(readStdin());
        print::RecordingSurface surface;
        print::layoutWaybill(fields, surface);
        std::string out;
        for (const auto& call : surface.calls) out += cli::drawCallJson(call) + "\n";
        cli::writeStdout(out);
    });
}

int cmdPrint(int argc, char** argv) {
    const char* pdf = nullptr;
    const char* dpiText = "360";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pdf") == 0 && i + 1 < argc) pdf = argv[++i];
        else if (std::strcmp(argv[i], "--dpi") == 0 && i + 1 < argc) dpiText = argv[++i];
        else pdf = nullptr, i = argc;  // anything else: usage
    }
    if (!pdf) {
        std::fputs("usage: vamu_pelican_cli print --pdf FILE [--dpi N] < fields.json\n"
                   "  renders at N dots per inch (default 360), as the print command does for a\n"
                   "  printer of that resolution at scale 100: dpix and dpiy become N; the page\n"
                   "  is A4 with the origin at its top-left corner\n",
                   stderr);
        return 2;
    }
    const auto dpi = print::parseInt32(dpiText);
    if (!dpi || *dpi < 1 || *dpi > 9600) {
        std::fprintf(stderr, "--dpi: expected a resolution from 1 to 9600, got '%s'\n", dpiText);
        return 2;
    }
    return cli::runChecked([&] {
        print::WaybillFields fields = cli::waybillFromJson(readStdin());
        fields.dpix = fields.dpiy = std::to_string(*dpi);

        // Fonts need a GUI application; no display is needed.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        int qtArgc = 1;
        char* qtArgv[] = {argv[0], nullptr};
        QGuiApplication app(qtArgc, qtArgv);
        wbprn::registerFontSubstitutes();
        renderPdf(fields, QString::fromLocal8Bit(pdf), *dpi);
    });
}
