// batch check FILE: the orders of a CSV or tab-separated file (a sales
// platform's order file among them, with its item file where the platform
// writes one), checked one by one, one JSON object per waybill.
// batch print FILE --pdf OUT | --printer QUEUE: every waybill without a
// problem as one document (the waybill pages, no empty page after them),
// recorded in the history with its order and tracking number: the
// station's file, or with --server CONNINFO that shared history.
#include <QDate>
#include <QFileInfo>
#include <QPageSize>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <string>
#include <tuple>
#include <vector>

#include "batch/batch_file.h"
#include "batch/item_file.h"
#include "batch/order_check.h"
#include "batch/order_record.h"
#include "batch/platform_layouts.h"
#include "batch/tracking_number.h"
#include "batch/overflow_problems.h"
#include "batch/postal_check.h"
#include "postal/table_locator.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/pdf_canvas.h"
#include "print/Wbprn/waybill_fit.h"
#include "print/Wbprn/waybill_job.h"
#include "print/core/history_record.h"
#include "print/core/layout.h"
#include "print/core/str_to_int.h"
#include "store/atomic_file.h"
#include "history/history_store.h"
#include "history/pg_db.h"
#include "history/print_recording.h"
#include "history/shared_history.h"
#include "text/printable.h"
#include "text/sjis_convert.h"
#include "tools/cli_commands.h"
#include "tools/cli_fonts.h"
#include "tools/cli_forms.h"
#include "tools/cli_io.h"
#include "tools/json_out.h"

namespace {

const char kTitle[] = "vamu_Pelican  ";

struct Options {
    const char* file = nullptr;
    const char* items = nullptr;
    const char* mapping = nullptr;
    const char* pdf = nullptr;
    const char* printer = nullptr;
    const char* date = nullptr;
    const char* table = nullptr;
    const char* db = nullptr;
    std::string firstNumber;  // the tracking number of the first form, checked
    const char* server = nullptr;
    const char* form = nullptr;
    int dpi = 360;
    int top = 0, left = 0;
    bool fileSender = false;
    bool acceptRepairs = false;
    batch::EncodingChoice encoding = batch::EncodingChoice::Auto;
};

int usage() {
    std::fputs("usage: vamu_pelican_cli batch check FILE [options]\n"
               "       vamu_pelican_cli batch print FILE (--pdf OUT [--dpi N] | --printer QUEUE\n"
               "                                        [--top DOTS] [--left DOTS]) [--first-number N]\n"
               "                                        [--db FILE] [--server CONNINFO] [options]\n"
               "  options: --mapping NAME|FILE  a saved column mapping (NAME in the current folder)\n"
               "           --items FILE         the item file of an order file whose platform writes the\n"
               "                                goods apart (default: the one found beside FILE)\n"
               "           --file-sender        print the file's ご依頼主 columns as the sender\n"
               "           --form NAME|FILE     the form printed on, by its id (form list) or its\n"
               "                                file (default the built-in form); a form that fails\n"
               "                                its check is refused and nothing is printed\n"
               "           --date YYYY/MM/DD    shipping date (default today)\n"
               "           --encoding cp932|utf-8  read FILE in this encoding (default: told by its\n"
               "                                bytes; a file both could read is named on stderr)\n"
               "           --accept-repairs     take every value mended from spreadsheet damage\n"
               "           --table FILE         postal table to check codes against (default: the\n"
               "                                program's own; codes are checked for form only\n"
               "                                when no table can be read)\n"
               "  check prints {\"row\":LINE,\"order\":…,\"layout\":…,\"fields\":{…},\"problems\":[…]}\n"
               "  per waybill (the rows of one order are one waybill; LINE is its first row,\n"
               "  counting the header as line 1); print renders the waybills without problems\n"
               "  (a problem with \"warning\":true, such as a missing telephone, stops none).\n"
               "  --first-number N: the 伝票番号 of the first form in the printer; each waybill\n"
               "  gets the next. Printed waybills are recorded in the history FILE (default\n"
               "  vamu_Pelican.db in the current folder with --printer; with --pdf only when\n"
               "  --db is given); --server records them in that shared history (a libpq\n"
               "  connection string or service name) through the station's file as outbox\n"
               "  (--db FILE or vamu_Pelican.db): rows the server does not take now are sent\n"
               "  by the next history push or window. A --first-number whose numbers the\n"
               "  history has already is refused\n",
               stderr);
    std::string layouts = "  layouts read without a mapping:";
    for (const batch::PlatformLayout& l : batch::platformLayouts()) layouts += " \"" + std::string(l.name) + "\"";
    std::fprintf(stderr, "%s\n", layouts.c_str());
    return 2;
}

std::optional<int> intArg(const char* text, int lo, int hi) {
    const auto v = print::parseInt32(text);
    if (!v || *v < lo || *v > hi) return std::nullopt;
    return *v;
}

// A real date written YYYY/MM/DD: the form prints it as it stands.
bool isDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '/' || text[7] != '/') return false;
    int parts[3] = {};
    for (const auto& [at, len, index] : {std::tuple{0, 4, 0}, {5, 2, 1}, {8, 2, 2}}) {
        for (int k = at; k < at + len; ++k) {
            const char c = text[static_cast<std::size_t>(k)];
            if (c < '0' || c > '9') return false;
            parts[index] = parts[index] * 10 + (c - '0');
        }
    }
    return std::chrono::year_month_day(std::chrono::year(parts[0]), std::chrono::month(static_cast<unsigned>(parts[1])),
                                       std::chrono::day(static_cast<unsigned>(parts[2])))
               .ok() &&
           parts[0] >= 1900;
}

// Parses argv after the subcommand word; nullopt on anything unknown (a
// bad value is named on standard error).
std::optional<Options> parse(int argc, char** argv, bool printing) {
    Options o;
    for (int i = 2; i < argc; ++i) {
        const std::string_view a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--mapping" && hasValue) o.mapping = argv[++i];
        else if (a == "--items" && hasValue) o.items = argv[++i];
        else if (a == "--date" && hasValue) {
            o.date = argv[++i];
            if (!isDate(o.date)) {
                std::fprintf(stderr, "--date: 日付ではありません (YYYY/MM/DD): %s\n", text::printable(o.date, 40, text::LineEnds::Blank).c_str());
                return std::nullopt;
            }
        } else if (a == "--encoding" && hasValue) {
            const std::string_view e = argv[++i];
            if (e == "cp932" || e == "shift-jis" || e == "sjis") o.encoding = batch::EncodingChoice::Cp932;
            else if (e == "utf-8" || e == "utf8") o.encoding = batch::EncodingChoice::Utf8;
            else return std::nullopt;
        }
        else if (a == "--table" && hasValue) o.table = argv[++i];
        else if (a == "--form" && hasValue) o.form = argv[++i];
        else if (a == "--file-sender") o.fileSender = true;
        else if (a == "--accept-repairs") o.acceptRepairs = true;
        else if (printing && a == "--pdf" && hasValue) o.pdf = argv[++i];
        else if (printing && a == "--printer" && hasValue) o.printer = argv[++i];
        else if (printing && a == "--db" && hasValue) o.db = argv[++i];
        else if (printing && a == "--first-number" && hasValue) {
            const auto number = batch::parseTracking(argv[++i]);
            if (const auto* refusal = std::get_if<batch::TrackingRefusal>(&number)) {
                std::fprintf(stderr, "--first-number: %s\n", refusal->reason.c_str());
                return std::nullopt;
            }
            o.firstNumber = std::get<std::string>(number);
        }
        else if (printing && a == "--server" && hasValue) {
            o.server = argv[++i];
            if (!cli::conninfoAccepted(o.server)) return std::nullopt;
        }
        else if (printing && (a == "--dpi" || a == "--top" || a == "--left") && hasValue) {
            const auto v = a == "--dpi" ? intArg(argv[++i], 1, 9600) : intArg(argv[++i], -100000, 100000);
            if (!v) return std::nullopt;
            (a == "--dpi" ? o.dpi : a == "--top" ? o.top : o.left) = *v;
        } else if (!o.file && !a.empty() && a[0] != '-') o.file = argv[i];
        else return std::nullopt;
    }
    if (!o.file) return std::nullopt;
    if (printing && (o.pdf == nullptr) == (o.printer == nullptr)) return std::nullopt;
    return o;
}

batch::Mapping mappingFor(const batch::OrderFile& file, const Options& o) {
    if (!o.mapping) return batch::guessMapping(file.header, o.fileSender);
    std::optional<std::string> text;
    if (batch::isValidMappingName(o.mapping) && !QFileInfo::exists(QString::fromLocal8Bit(o.mapping)))
        text = batch::loadMapping(".", o.mapping);
    else
        text = batch::readMappingFile(o.mapping);
    if (!text) throw std::runtime_error(std::string("no saved mapping named ") + o.mapping);
    return batch::mappingFromText(*text, file.header);
}

struct Checked {
    std::vector<batch::Order> orders;
    std::vector<batch::CheckedOrder> results;
};

Checked checkFile(const Options& o, const batch::OrderFile& file, const print::WaybillFields& defaults,
                  wbprn::WaybillFit& fit) {
    postal::LazyTable table = o.table ? postal::LazyTable(o.table) : postal::LazyTable(".", postal::executableFolder());
    batch::Checks checks;
    if (const postal::Table* t = table.get()) checks.postal = batch::postalCheckOf(*t);
    else std::fprintf(stderr, "郵便番号データを読めません (%s): 郵便番号は形だけを確かめます\n", table.error().c_str());
    if (const std::string notice = table.takeNotice(); !notice.empty()) std::fprintf(stderr, "%s\n", notice.c_str());
    checks.waybill = batch::overflowCheckOf([&fit](const print::WaybillFields& f) { return fit.overflows(f); });
    Checked c;
    c.orders = batch::ordersOf(file, mappingFor(file, o));
    c.results.reserve(c.orders.size());
    for (batch::Order& order : c.orders) {
        batch::CheckedOrder r = batch::checkOrder(order, defaults, checks);
        if (o.acceptRepairs && std::any_of(r.problems.begin(), r.problems.end(),
                                           [](const batch::Problem& p) { return !p.repair.empty(); })) {
            order = batch::withRepairs(order, r.problems);
            r = batch::checkOrder(order, defaults, checks);
        }
        c.results.push_back(std::move(r));
    }
    return c;
}

print::WaybillFields defaultsFor(const Options& o) {
    print::WaybillFields d;
    d.dpix = d.dpiy = std::to_string(o.dpi);
    d.prnTop = std::to_string(o.top);
    d.prnLeft = std::to_string(o.left);
    d.date = o.date ? o.date : QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")).toStdString();
    return d;
}

std::string flagsJson(const bool* begin, const bool* end) {
    std::vector<std::string> v;
    for (const bool* b = begin; b != end; ++b) v.emplace_back(*b ? "true" : "false");
    return json::array(v);
}

// The waybill with the keys the layout command reads, texts in UTF-8.
std::string fieldsJson(const print::WaybillFields& f) {
    json::Object o;
    o.string("zip", sjis::toUtf8(f.zip)).string("add1", sjis::toUtf8(f.add1)).string("add2", sjis::toUtf8(f.add2));
    o.string("name", sjis::toUtf8(f.custo1)).string("tel", sjis::toUtf8(f.tel));
    o.string("g1", sjis::toUtf8(f.g1)).string("g2", sjis::toUtf8(f.g2)).string("g3", sjis::toUtf8(f.g3));
    o.string("date", f.date).boolean("print_date", f.printDate);
    o.string("de1", f.deDate1).string("de2", f.deDate2).string("de3", f.deDate3);
    o.boolean("print_sender", f.printSender).string("my_zip", sjis::toUtf8(f.myZip));
    o.string("my_add1", sjis::toUtf8(f.myAdd1)).string("my_add2", sjis::toUtf8(f.myAdd2));
    o.string("my_name", sjis::toUtf8(f.my)).string("my_tel", sjis::toUtf8(f.myTel));
    o.raw("time_band", flagsJson(f.timeBand.data(), f.timeBand.data() + f.timeBand.size()));
    o.raw("special", flagsJson(f.special.data(), f.special.data() + f.special.size()));
    return o.str();
}

std::string rowJson(const batch::Order& order, const batch::CheckedOrder& r, const std::string& layout) {
    std::vector<std::string> problems;
    for (const batch::Problem& p : r.problems) {
        json::Object po;
        po.string("field", batch::problemKey(p)).string("text", p.text);
        if (!p.repair.empty()) po.string("repair", p.repair);
        if (p.warning) po.boolean("warning", true);
        problems.push_back(po.str());
    }
    auto orNull = [](const std::string& s) { return s.empty() ? std::nullopt : std::optional(s); };
    return json::Object()
        .number("row", order.line)
        .stringOrNull("order", orNull(order.orderNo))
        .stringOrNull("layout", orNull(layout))
        .raw("fields", fieldsJson(r.fields))
        .raw("problems", json::array(problems))
        .str();
}

// The pages into `path` (cli::writePdfFile: checked to its end, then
// replacing the file atomically); the order file, mapping and postal table
// are never written over.
void renderPdf(const std::vector<print::WaybillFields>& waybills, const Options& o,
               const std::function<void()>& beforeWrite) {
    std::vector<std::vector<print::DrawItem>> pages;
    pages.reserve(waybills.size());
    for (const print::WaybillFields& f : waybills) pages.push_back(print::planWaybill(f));
    wbprn::PdfPageSetup setup;
    setup.dpi = o.dpi;
    cli::writePdfFile(QString::fromLocal8Bit(o.pdf), setup, QString::fromLatin1(kTitle),
                      {o.file, o.items ? o.items : "", o.mapping ? o.mapping : "", o.table ? o.table : "", o.db ? o.db : ""}, [&](wbprn::PdfCanvas& canvas) {
                          // Waybill pages back to back, no empty page after the last.
                          for (std::size_t i = 0; i < pages.size(); ++i) {
                              if (i > 0) canvas.newPage();
                              print::drawItems(pages[i], canvas);
                          }
                      },
                      beforeWrite);
}

// A tracking number the history has already is on another parcel: the
// batch is refused, naming the row that holds it.
void refuseHeldNumbers(store::HistoryBackend& history, const std::vector<store::WaybillRecord>& records) {
    std::vector<std::string> numbers;
    numbers.reserve(records.size());
    for (const store::WaybillRecord& r : records) numbers.push_back(r.tracking);
    const std::vector<store::WaybillRecord> held = history.holdersOf(numbers);
    if (held.empty()) return;
    std::string text = store::trackingHeldText(held.front());
    if (held.size() > 1) text += "（ほかに " + std::to_string(held.size() - 1) + " 件）";
    throw std::runtime_error(text + "。1枚目の伝票番号を確かめてください");
}

// Sends the station's outbox to the server now; rows it cannot take wait
// for the next push or the window, and are counted on standard error.
void sendOutbox(store::SharedHistory& shared) {
    std::string why;
    try {
        shared.sendUnsent();
    } catch (const std::exception& e) {
        why = e.what();
    }
    const std::int64_t waiting = shared.local().unsentCount();
    if (waiting == 0) return;
    std::fprintf(stderr, "%lld 件は共有データベースに未送信です%s\n", static_cast<long long>(waiting),
                 why.empty() ? "" : ("（" + why + "）").c_str());
}

// Selects the CUPS queue by name and gives the waybills the effective
// resolution the print command uses (resolution × 100 / driver scale).
void selectQueue(const QString& queue, print::WaybillFields& defaults) {
    const QStringList& names = WbPrinter().PrinterNames();
    const auto at = names.indexOf(queue);
    if (at < 0) throw std::runtime_error("no printer queue named " + queue.toStdString());
    WbPrinter().SetIndex(static_cast<int>(at));
    const std::uint16_t scale = WbPrinter().Scale();
    const TPoint dpi = WbPrinter().Dpi();
    defaults.dpix = std::to_string(print::effectiveResolution(dpi.x, scale));
    defaults.dpiy = std::to_string(print::effectiveResolution(dpi.y, scale));
}

}  // namespace

int cmdBatch(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string_view sub = argv[1];
    if (sub != "check" && sub != "print") return usage();
    const std::optional<Options> opts = parse(argc, argv, sub == "print");
    if (!opts) return usage();
    return cli::runChecked([&] {
        const Options& o = *opts;
        // A form that fails its check stops the command before anything is read or printed.
        const std::shared_ptr<const print::Form> form = o.form ? cli::formNamed(o.form) : nullptr;
        // A file that cannot be read fails before anything else starts.
        const batch::OrderFile file = batch::readOrderFiles(o.file, o.items ? o.items : "", o.encoding);
        if (const std::string note = batch::encodingNote(file); !note.empty())
            std::fprintf(stderr, "%s。違うときは --encoding %s\n", note.c_str(),
                         file.encoding == batch::Encoding::Cp932 ? "utf-8" : "cp932");
        if (!file.layout.empty())
            std::fprintf(stderr, "%s\n", batch::layoutNotice(file.layout, file.otherLayout).c_str());
        for (const std::string& notice : file.notices) std::fprintf(stderr, "%s\n", notice.c_str());

        // Fonts, to measure the texts against their places.
        const auto app = cli::startFonts(argv[0]);

        print::WaybillFields defaults = defaultsFor(o);
        defaults.form = form.get();
        // The PDF's page (A4, origin at its corner), or the queue's own.
        QSizeF printable = QPageSize(QPageSize::A4).size(QPageSize::Point);
        if (o.printer) {
            selectQueue(QString::fromLocal8Bit(o.printer), defaults);
            printable = WbPrinter().PaperLayout().printable.size();
        }
        wbprn::WaybillFit fit(printable);
        const Checked c = checkFile(o, file, defaults, fit);
        if (sub == "check") {
            std::string out;
            for (std::size_t i = 0; i < c.orders.size(); ++i)
                out += rowJson(c.orders[i], c.results[i], file.layout) + "\n";
            cli::writeStdout(out);
            return;
        }
        std::vector<print::WaybillFields> waybills;
        std::vector<const batch::Order*> printed;
        for (std::size_t i = 0; i < c.results.size(); ++i) {
            // Warnings (a missing telephone) are listed by check; the
            // command prints such rows as it always has.
            if (c.results[i].hasErrors()) continue;
            waybills.push_back(c.results[i].fields);
            printed.push_back(&c.orders[i]);
        }
        if (waybills.empty()) throw std::runtime_error("印刷できる行がありません");
        if (!o.firstNumber.empty() && batch::nextTracking(o.firstNumber, waybills.size() - 1).empty())
            throw std::runtime_error("伝票番号が足りません: " + o.firstNumber + " から " +
                                     std::to_string(waybills.size()) + "件は数えられません");
        // The history is opened before the print, so that a history that
        // cannot be had stops the job instead of losing its record. With a
        // server the station's file is the outbox: a server that does not
        // answer never holds up or loses a print.
        std::unique_ptr<store::HistoryBackend> history;
        store::SharedHistory* shared = nullptr;
        if (o.server) {
            auto s = std::make_unique<store::SharedHistory>(o.db ? o.db : store::kHistoryFileName,
                                                            store::normalisedConninfo(o.server), cli::kServerTimeout);
            shared = s.get();
            history = std::move(s);
        } else if (o.db || o.printer) {
            history = std::make_unique<store::HistoryStore>(o.db ? o.db : store::kHistoryFileName);
        }
        if (history && history->readOnly()) throw std::runtime_error(history->takeNotice());
        std::vector<store::WaybillRecord> records;
        for (std::size_t i = 0; i < waybills.size(); ++i) {
            store::WaybillRecord r = print::historyRecordOf(waybills[i], {}, o.printer ? o.printer : "", 0);
            batch::addOrderTo(r, *printed[i]);
            if (!o.firstNumber.empty()) r.tracking = batch::nextTracking(o.firstNumber, i);
            records.push_back(std::move(r));
        }
        if (history && !o.firstNumber.empty()) refuseHeldNumbers(*history, records);
        // Recorded as printing before the job or the file goes out, marked
        // printed after: a kill in between leaves prints of unknown outcome.
        std::optional<store::PrintRecording> recording;
        const auto recordFirst = [&] {
            if (history) recording.emplace(*history, std::move(records));
        };
        int job = 0;
        if (o.pdf) renderPdf(waybills, o, recordFirst);
        else job = wbprn::printWaybillJob(QString::fromLatin1(kTitle), waybills, {}, recordFirst).value_or(0);
        if (recording) {
            try {
                recording->printed(job);
            } catch (const std::exception& e) {
                throw std::runtime_error(std::string("印刷しましたが、履歴に印刷済みと記録できません（印刷されたか不明として残ります）: ") +
                                         e.what());
            }
        }
        if (shared) sendOutbox(*shared);
        std::fprintf(stderr, "%zu件を印刷しました (問題のある%zu件は印刷していません)\n", waybills.size(),
                     c.results.size() - waybills.size());
    });
}
