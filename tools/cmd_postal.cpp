// postal: the postal table from the command line.
//   postal lookup CODE          one JSON object per place of a code (or of
//                               every code beginning with 3 or 5 digits)
//   postal reverse ADDRESS      one JSON object per code of an address
//   postal check ZIP ADDRESS    {"known":..,"matches":..,"expected":[..]}
//   postal import KEN_ALL.CSV [JIGYOSYO.CSV]
//                               Japan Post's files to the table the program
//                               prefers (in the current folder, its base)
// --table FILE reads (or, for import, writes) that file instead.
// Arguments and output are UTF-8.
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "postal/ken_all_import.h"
#include "postal/postal_search.h"
#include "postal/table_locator.h"
#include "text/sjis_convert.h"
#include "tools/cli_commands.h"
#include "tools/cli_io.h"
#include "tools/json_out.h"

namespace {

constexpr const char kUsage[] =
    "usage: postal lookup CODE | reverse ADDRESS | check ZIP ADDRESS | import KEN_ALL.CSV [JIGYOSYO.CSV]"
    " [--table FILE]\n";

std::string candidateJson(const postal::Candidate& c) {
    return json::Object()
        .string("zip", c.zip)
        .string("pref", sjis::toUtf8(c.pref))
        .string("city", sjis::toUtf8(c.city))
        .string("town", sjis::toUtf8(c.town))
        .str();
}

void writeLines(const std::vector<postal::Candidate>& cs) {
    std::string out;
    for (const postal::Candidate& c : cs) out += candidateJson(c) + "\n";
    cli::writeStdout(out);
}

std::string currentFolder() {
    std::vector<char> buffer(4096);
    if (!::getcwd(buffer.data(), buffer.size())) throw std::runtime_error("cannot name the current folder");
    return buffer.data();
}

// An argument as the Shift-JIS text the core takes.
std::string sjisArgument(const std::string& utf8) {
    auto s = sjis::fromUtf8(utf8);
    if (!s) throw std::runtime_error("not UTF-8 text that Shift-JIS can hold: " + utf8);
    return *s;
}

}  // namespace

int cmdPostal(int argc, char** argv) {
    std::vector<std::string> args;
    std::string tablePath;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--table" && i + 1 < argc) {
            tablePath = argv[++i];
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            std::fprintf(stderr, "postal: unknown option %s\n%s", argv[i], kUsage);
            return 2;
        } else {
            args.emplace_back(a);
        }
    }
    const std::string verb = args.empty() ? "" : args[0];
    const std::size_t operands = args.empty() ? 0 : args.size() - 1;
    const bool shapeOk = ((verb == "lookup" || verb == "reverse") && operands == 1) ||
                         (verb == "check" && operands == 2) ||
                         (verb == "import" && (operands == 1 || operands == 2));
    if (!shapeOk) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    if (verb == "lookup" && !postal::zipPrefixDigits(args[1])) {
        std::fprintf(stderr, "postal: not a postal code: %s\n", args[1].c_str());
        return 2;
    }

    return cli::runChecked([&] {
        if (verb == "import") {
            const std::string out = tablePath.empty() ? postal::importedTablePath(currentFolder()) : tablePath;
            const std::size_t n = postal::importTable(args[1], operands == 2 ? args[2] : "", out);
            std::fprintf(stderr, "%zu entries written to %s\n", n, out.c_str());
            return;
        }
        postal::LazyTable lazy = tablePath.empty() ? postal::LazyTable(currentFolder(), postal::executableFolder())
                                                   : postal::LazyTable(tablePath);
        const postal::Table* table = lazy.get();
        if (const std::string notice = lazy.takeNotice(); !notice.empty()) std::fprintf(stderr, "%s\n", notice.c_str());
        if (!table) throw std::runtime_error("郵便番号データを読めません: " + lazy.error());
        if (verb == "lookup") {
            const std::string digits = *postal::zipPrefixDigits(args[1]);
            writeLines(digits.size() == 7 ? table->lookup(digits) : table->lookupPrefix(digits));
        } else if (verb == "reverse") {
            writeLines(postal::reverseLookup(*table, sjisArgument(args[1])));
        } else {
            const postal::CheckResult r = postal::checkAddress(*table, args[1], sjisArgument(args[2]));
            std::vector<std::string> expected;
            for (const postal::Candidate& c : r.expected) expected.push_back(candidateJson(c));
            cli::writeStdout(json::Object()
                                 .boolean("known", r.known)
                                 .boolean("matches", r.matches)
                                 .raw("expected", json::array(expected))
                                 .str() +
                             "\n");
        }
    });
}
