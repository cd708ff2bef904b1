// layout [--check] [--form NAME|FILE]: waybill fields (JSON) to the draw
// calls of the layout, and with --check the texts that will not fit.
// print --pdf FILE [--dpi N] [--outline] [--form NAME|FILE]: the same fields
// to a PDF as the printer gets it, or the plain-paper calibration page.
// A form that fails its check is refused before anything is written.
#include <QByteArray>
#include <cstdio>
#include <cstring>
#include <cmath>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "print/Wbprn/pdf_canvas.h"
#include "print/core/calibration.h"
#include "print/core/form_items.h"
#include "print/core/layout.h"
#include "print/core/overflow.h"
#include "print/core/recording_surface.h"
#include "print/core/str_to_int.h"
#include "tools/cli_commands.h"
#include "tools/cli_fonts.h"
#include "tools/cli_forms.h"
#include "tools/cli_io.h"
#include "tools/json_out.h"
#include "tools/layout_json.h"

namespace {

QByteArray readStdin() {
    return QByteArray::fromStdString(cli::readStdin());
}

// The print command's title for every document.
const char kTitle[] = "vamu_Pelican  ";

// The page the tool renders on: A4 with the origin at its top-left corner.
const QPageSize kPage{QPageSize::A4};

// Renders a document into `path` on the tool's page (cli::writePdfFile:
// checked to its end, then replacing the file atomically).
void renderPdf(const QString& path, int dpi, const std::function<void(wbprn::PdfCanvas&)>& draw) {
    wbprn::PdfPageSetup setup;
    setup.pageSize = kPage;
    setup.dpi = dpi;
    cli::writePdfFile(path, setup, QString::fromLatin1(kTitle), {}, draw);
}

// The texts that do not fit, measured in the print font at the captions'
// resolution, against their areas and the tool's page.
std::vector<print::Overflow> overflowsOf(const print::WaybillFields& fields,
                                         const std::vector<print::DrawItem>& items) {
    const print::DeviceMap map = print::DeviceMap::of(fields);
    const int dpiX = print::strToInt(fields.dpix), dpiY = print::strToInt(fields.dpiy);
    if (dpiX < 1 || dpiY < 1) throw std::runtime_error("--check: the resolution must be positive");
    wbprn::PrintFontMeasure measure(dpiY, dpiX);
    const QSizeF paper = kPage.size(QPageSize::Point);
    const print::ImageableArea page{static_cast<int>(std::lround(paper.width() * dpiX / 72.0)),
                                    static_cast<int>(std::lround(paper.height() * dpiY / 72.0)), dpiY};
    return print::findOverflows(
        items, map, [&](int points, const std::string& text) { return measure.width(points, text); }, page);
}

}  // namespace

int cmdLayout(int argc, char** argv) {
    bool check = false, bad = false;
    const char* formArg = nullptr;
    for (int i = 1; i < argc && !bad; ++i) {
        if (std::strcmp(argv[i], "--check") == 0) check = true;
        else if (std::strcmp(argv[i], "--form") == 0 && i + 1 < argc) formArg = argv[++i];
        else bad = true;
    }
    if (bad) {
        std::fputs("usage: vamu_pelican_cli layout [--check] [--form NAME|FILE] < fields.json\n"
                   "  keys: zip add1 add2 name tel g1 g2 g3 date (yyyy/mm/dd) print_date de1 de2 de3\n"
                   "  print_sender my_zip my_add1 my_add2 my_name my_tel time_band (6 booleans)\n"
                   "  special (5 booleans) dpix dpiy top left; texts up to 65536 Shift-JIS bytes;\n"
                   "  prints one JSON object per text:\n"
                   "  {\"x\":..,\"y\":..,\"size\":..,\"text\":..}\n"
                   "  --check: then one object per text that is wider than its box on the form or\n"
                   "  leaves the page (A4, origin at its corner), in device pixels of the print font:\n"
                   "  {\"overflow\":\"name\",\"width\":..,\"room\":..} (\"outside\":true when off the page)\n"
                   "  --form: the form printed on, by its id (form list) or its file; default the\n"
                   "  built-in form. A form that fails its check is refused\n",
                   stderr);
        return 2;
    }
    return cli::runChecked([&] {
        const std::shared_ptr<const print::Form> form = formArg ? cli::formNamed(formArg) : nullptr;
        print::WaybillFields fields = cli::waybillFromJson(readStdin());
        fields.form = form.get();
        print::RecordingSurface surface;
        print::layoutWaybill(fields, surface);
        std::string out;
        for (const auto& call : surface.calls) out += cli::drawCallJson(call) + "\n";
        if (check) {
            const auto app = cli::startFonts(argv[0]);
            for (const print::Overflow& o : overflowsOf(fields, print::planWaybill(fields))) {
                json::Object obj;
                obj.string("overflow", print::formItem(o.item).key).number("width", o.width).number("room", o.room);
                if (o.outside) obj.boolean("outside", true);
                out += obj.str() + "\n";
            }
        }
        cli::writeStdout(out);
    });
}

int cmdPrint(int argc, char** argv) {
    const char* pdf = nullptr;
    const char* dpiText = "360";
    const char* formArg = nullptr;
    bool outline = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pdf") == 0 && i + 1 < argc) pdf = argv[++i];
        else if (std::strcmp(argv[i], "--form") == 0 && i + 1 < argc) formArg = argv[++i];
        else if (std::strcmp(argv[i], "--dpi") == 0 && i + 1 < argc) dpiText = argv[++i];
        else if (std::strcmp(argv[i], "--outline") == 0) outline = true;
        else pdf = nullptr, i = argc;  // anything else: usage
    }
    if (!pdf) {
        std::fputs("usage: vamu_pelican_cli print --pdf FILE [--dpi N] [--outline] [--form NAME|FILE] < fields.json\n"
                   "  renders at N dots per inch (default 360), as the print command does for a\n"
                   "  printer of that resolution at scale 100: dpix and dpiy become N; the page\n"
                   "  is A4 with the origin at its top-left corner\n"
                   "  --outline: the plain-paper calibration page instead of the waybill (sample\n"
                   "  texts, box outlines, millimetre rulers and corner crosshairs; the fields'\n"
                   "  margins apply, their texts are not used)\n"
                   "  --form: the form printed on, by its id (form list) or its file; a form that\n"
                   "  fails its check is refused and no file is written\n",
                   stderr);
        return 2;
    }
    const auto dpi = print::parseInt32(dpiText);
    if (!dpi || *dpi < 1 || *dpi > 9600) {
        std::fprintf(stderr, "--dpi: expected a resolution from 1 to 9600, got '%s'\n", dpiText);
        return 2;
    }
    return cli::runChecked([&] {
        const std::shared_ptr<const print::Form> form = formArg ? cli::formNamed(formArg) : nullptr;
        print::WaybillFields fields = cli::waybillFromJson(readStdin());
        fields.form = form.get();
        fields.dpix = fields.dpiy = std::to_string(*dpi);
        const auto app = cli::startFonts(argv[0]);
        const QString path = QString::fromLocal8Bit(pdf);
        if (outline) {
            // Checked on a recording first: a bad margin is reported before a file is made.
            print::RecordingSurface dryRun;
            print::drawCalibration(fields, dryRun);
            renderPdf(path, *dpi, [&](wbprn::PdfCanvas& canvas) { print::drawCalibration(fields, canvas); });
            return;
        }
        // Parse and map everything before a file is created.
        const std::vector<print::DrawItem> items = print::planWaybill(fields);
        renderPdf(path, *dpi, [&](wbprn::PdfCanvas& canvas) { print::drawItems(items, canvas); });
    });
}
