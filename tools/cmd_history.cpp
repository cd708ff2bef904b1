// history list [--db FILE | --server CONNINFO] [--search TEXT] [--limit N]:
// the printed waybills, newest first, one JSON object per line with the
// keys of the layout input plus time, printer, job and feed.
// history export --csv FILE [same options]: the same rows as CSV (UTF-8
// with a byte order mark), replacing FILE as a whole.
// history export --shipped rakuten|ec-cube|qoo10|yahoo|amazon|plain
// [--cp932] [same options]: the rows of that platform with an order number
// and a tracking number as its shipping file, on standard output.
// history push --server CONNINFO [--db FILE]: copies the station's history
// and address book to a shared server; rows it already has are left alone.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "batch/tracking_number.h"
#include "print/core/form_carriers.h"
#include "print/core/str_to_int.h"
#include "store/atomic_file.h"
#include "history/history_csv.h"
#include "history/history_push.h"
#include "history/history_store.h"
#include "history/pg_db.h"
#include "history/pg_history_store.h"
#include "store/output_file.h"
#include "store/ini_file.h"
#include "history/shipped_export.h"
#include "text/sjis_convert.h"
#include "tools/cli_commands.h"
#include "tools/cli_forms.h"
#include "tools/cli_io.h"
#include "tools/json_out.h"

namespace {

// The settings file of the current folder, where the carrier is set.
const char kSettingsFile[] = "vamu_Pelican.ini";

int usage() {
    std::fputs("usage: vamu_pelican_cli history list [options]\n"
               "       vamu_pelican_cli history export --csv FILE [options]\n"
               "       vamu_pelican_cli history export --shipped rakuten|ec-cube|qoo10|yahoo|amazon|plain\n"
               "                                       [--cp932] [options]\n"
               "       vamu_pelican_cli history push --server CONNINFO [--db FILE]\n"
               "  options: --db FILE | --server CONNINFO, --search TEXT --order NO --tracking NUMBER\n"
               "           --limit N --from YYYY-MM-DD --to YYYY-MM-DD (print dates, both included)\n"
               "  FILE defaults to vamu_Pelican.db in the current folder; CONNINFO is a libpq\n"
               "  connection string or a service name of a shared server; TEXT (UTF-8) is looked\n"
               "  for in name, telephone, postal code, address, goods, order and tracking number;\n"
               "  rows newest first; --shipped writes the rows of that platform's orders with an\n"
               "  order and a tracking number as its shipping file to standard output (plain: every\n"
               "  platform's; each row's carrier that of the form it was printed on, the built-in\n"
               "  form's from vamu_Pelican.ini [Shipping]); rakuten and ec-cube\n"
               "  files are Shift-JIS\n",
               stderr);
    return 2;
}

template <std::size_t N>
std::string booleans(const std::array<bool, N>& boxes) {
    std::string out = "[";
    for (std::size_t i = 0; i < N; ++i) out += (i ? "," : "") + std::string(boxes[i] ? "true" : "false");
    return out + "]";
}

std::string rowJson(const store::WaybillRecord& r) {
    auto u = [](const std::string& sjisText) { return sjis::toUtf8(sjisText); };
    const store::Consignee& c = r.consignee;
    return json::Object()
        .string("time", r.time)
        .string("printer", u(r.printer))
        .number("job", r.printing() ? 0 : r.job)
        .string("outcome", r.printing() ? "unknown" : "printed")
        .string("feed", u(r.feedMode))
        .string("zip", u(c.zip))
        .string("add1", u(c.add1))
        .string("add2", u(c.add2))
        .string("name", u(c.name))
        .string("tel", u(c.tel))
        .string("g1", u(r.g1))
        .string("g2", u(r.g2))
        .string("g3", u(r.g3))
        .string("date", u(r.date))
        .boolean("print_date", r.printDate)
        .string("de1", u(r.deDate1))
        .string("de2", u(r.deDate2))
        .string("de3", u(r.deDate3))
        .boolean("print_sender", r.printSender)
        .string("my_zip", u(r.myZip))
        .string("my_add1", u(r.myAdd1))
        .string("my_add2", u(r.myAdd2))
        .string("my_name", u(r.myName))
        .string("my_tel", u(r.myTel))
        .raw("time_band", booleans(r.timeBand))
        .raw("special", booleans(r.special))
        .stringOrNull("order", r.orderNo.empty() ? std::nullopt : std::optional(u(r.orderNo)))
        .stringOrNull("tracking", r.tracking.empty() ? std::nullopt : std::optional(r.tracking))
        .str();
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// "yyyy-mm-dd" with digits where digits belong.
bool isIsoDate(std::string_view d) {
    if (d.size() != 10 || d[4] != '-' || d[7] != '-') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (d[i] < '0' || d[i] > '9') return false;
    return true;
}

// Copies the local rows oldest first, in parts (history/history_push.h);
// the server skips the record ids it has, so a second push sends nothing.
void push(const std::string& db, const std::string& server) {
    store::PgHistoryStore shared(store::normalisedConninfo(server), cli::kServerTimeout);
    std::size_t rows = 0, kept = 0, consignees = 0;
    if (exists(db)) {
        store::HistoryStore local(db);
        const std::string notice = local.takeNotice();
        if (!notice.empty()) std::fprintf(stderr, "%s\n", notice.c_str());
        const store::PushCount count = store::pushHistory(local, shared);
        rows = count.sent;
        kept = count.kept;
        consignees = shared.keepConsignees(local.addressBook());
    }
    std::printf("履歴 %zu 件とアドレス帳 %zu 件を送りました（サーバーに既にあった履歴 %zu 件は送っていません）\n", rows,
                consignees, kept);
}

}  // namespace

int cmdHistory(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string mode = argv[1];
    if (mode != "list" && mode != "export" && mode != "push") return usage();
    std::string db = store::kHistoryFileName;
    std::optional<std::string> csv, server;
    bool dbGiven = false;
    const store::ShippedLayout* shipped = nullptr;
    bool cp932 = false;
    store::HistoryQuery query;
    query.limit = -1;  // all rows
    for (int i = 2; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--db") == 0 && hasValue) {
            db = argv[++i];
            dbGiven = true;
        } else if (std::strcmp(argv[i], "--server") == 0 && hasValue) {
            server = argv[++i];
            if (!cli::conninfoAccepted(argv[i])) return 2;
        } else if (std::strcmp(argv[i], "--search") == 0 && hasValue && mode != "push") {
            const auto sjisText = sjis::fromUtf8(argv[++i]);
            if (!sjisText) {
                std::fputs("--search: the text is not UTF-8 or has a character without a Shift-JIS form\n", stderr);
                return 2;
            }
            query.search = *sjisText;
        } else if (std::strcmp(argv[i], "--limit") == 0 && hasValue && mode != "push") {
            const auto n = print::parseInt32(argv[++i]);
            if (!n || *n < 0) {
                std::fprintf(stderr, "--limit: expected a count of 0 or more, got '%s'\n", argv[i]);
                return 2;
            }
            query.limit = *n;
        } else if (std::strcmp(argv[i], "--csv") == 0 && hasValue && mode == "export") {
            csv = argv[++i];
        } else if (std::strcmp(argv[i], "--shipped") == 0 && hasValue && mode == "export") {
            shipped = store::shippedLayout(argv[++i]);
            if (!shipped) return usage();
        } else if (std::strcmp(argv[i], "--cp932") == 0 && mode == "export") {
            cp932 = true;
        } else if ((std::strcmp(argv[i], "--from") == 0 || std::strcmp(argv[i], "--to") == 0) && hasValue && mode != "push") {
            if (!isIsoDate(argv[i + 1])) {
                std::fprintf(stderr, "%s: expected YYYY-MM-DD, got '%s'\n", argv[i], argv[i + 1]);
                return 2;
            }
            (argv[i][2] == 'f' ? query.fromDate : query.toDate) = argv[i + 1];
            ++i;
        } else if (std::strcmp(argv[i], "--order") == 0 && hasValue && mode != "push") {
            const auto sjisText = sjis::fromUtf8(argv[++i]);
            if (!sjisText) return usage();
            query.orderNo = *sjisText;
        } else if (std::strcmp(argv[i], "--tracking") == 0 && hasValue && mode != "push") {
            const auto digits = batch::parseTracking(argv[++i]);
            if (const auto* refusal = std::get_if<batch::TrackingRefusal>(&digits)) {
                std::fprintf(stderr, "--tracking: %s\n", refusal->reason.c_str());
                return 2;
            }
            query.tracking = std::get<std::string>(digits);
        } else {
            return usage();
        }
    }
    if (mode == "export" && (csv.has_value() == (shipped != nullptr))) return usage();
    if (shipped) query.shippedOnly = true;
    if (mode == "push" ? !server : server && dbGiven) return usage();
    return cli::runChecked([&] {
        if (mode == "push") {
            push(db, *server);
            return;
        }
        // The CSV never replaces the database it is made from, nor a file
        // that is not text.
        if (csv) store::checkOutputFile(*csv, store::OutputKind::Text, {db});
        std::vector<store::WaybillRecord> rows;
        if (server) {
            store::PgHistoryStore shared(store::normalisedConninfo(*server), cli::kServerTimeout);
            rows = shared.list(query);
            const std::string notice = shared.takeNotice();
            if (!notice.empty()) std::fprintf(stderr, "%s\n", notice.c_str());
        } else {
            // A listing only reads: no file is no history, and a damaged
            // one shows what can be read of it; nothing is made or moved.
            store::HistoryStore history(db, store::HistoryStore::Access::ReadOnly);
            rows = history.list(query);
            const std::string notice = history.takeNotice();
            if (!notice.empty()) std::fprintf(stderr, "%s\n", notice.c_str());
        }
        if (shipped) {
            // Oldest first, the order they were printed in.
            std::reverse(rows.begin(), rows.end());
            const IniFile settings(kSettingsFile);
            if (const std::string problem = settings.problem(); !problem.empty()) throw std::runtime_error(problem);
            // Each row names the carrier of the form it was printed on.
            const store::Carriers carriers = print::shippingCarriers(cli::loadFormLibrary(), store::readCarrier(settings));
            cli::writeStdout(store::shippedExport(rows, *shipped, carriers, cp932));
            return;
        }
        if (mode == "list") {
            std::string out;
            for (const store::WaybillRecord& r : rows) out += rowJson(r) + "\n";
            cli::writeStdout(out);
            return;
        }
        try {
            writeFileAtomically(*csv, store::historyCsv(rows));
        } catch (const FileError& e) {
            throw std::runtime_error(*csv + ": " + e.what());
        }
    });
}
