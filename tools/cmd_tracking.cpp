// tracking check NUMBER: {"number":"…","valid":true|false}; exit 0 when
// valid, 1 otherwise (the reason on standard error).
// tracking next NUMBER [COUNT]: the COUNT numbers after NUMBER, one a line.
// --form NAME|FILE: the numbers of that form (by its rule), not the
// built-in form's.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "batch/tracking_number.h"
#include "tools/cli_forms.h"
#include "print/core/str_to_int.h"
#include "tools/cli_commands.h"
#include "tools/cli_io.h"
#include "text/printable.h"
#include "tools/json_out.h"

namespace {

// More than any printer holds in one go.
constexpr int kMaxCount = 10000;

int usage() {
    std::fputs("usage: vamu_pelican_cli tracking check NUMBER [--form NAME|FILE]\n"
               "       vamu_pelican_cli tracking next NUMBER [COUNT] [--form NAME|FILE]\n"
               "  NUMBER: the 12-digit 伝票番号 (blanks, hyphens and NW-7 start/stop letters A-D\n"
               "  are ignored); next prints the COUNT (default 1, at most 10000) numbers after it.\n"
               "  --form: numbers of that form, by its rule and length: a form of the current\n"
               "  folder's forms folder or a bundled one by NAME, or a form file\n",
               stderr);
    return 2;
}

}  // namespace

int cmdTracking(int argc, char** argv) {
    // --form and its value may come anywhere after the subcommand.
    std::string formArg;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::string_view(argv[i]) == "--form") {
            if (i + 1 >= argc) return usage();
            formArg = argv[++i];
            continue;
        }
        args.push_back(argv[i]);
    }
    argc = static_cast<int>(args.size());
    argv = args.data();
    if (argc < 3) return usage();
    const std::string_view sub = argv[1];
    batch::TrackingScheme scheme;
    if (!formArg.empty()) {
        // A form that cannot be had stops the command: its numbers are
        // never read by another form's rule.
        try {
            scheme = batch::trackingSchemeOf(*cli::formNamed(formArg));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }
    const auto parsed = batch::parseTracking(argv[2], scheme);
    if (sub == "check" && argc == 3) {
        const auto* digits = std::get_if<std::string>(&parsed);
        int code = 0;
        const int written = cli::runChecked([&] {
            cli::writeStdout(json::Object()
                                 .string("number", digits ? *digits : std::string(argv[2]))
                                 .boolean("valid", digits != nullptr)
                                 .str() +
                             "\n");
        });
        if (!digits) {
            // The reason quotes the argument: shown escaped, never raw.
            const std::string& reason = std::get<batch::TrackingRefusal>(parsed).reason;
            std::fprintf(stderr, "%s\n", text::printable(reason, 200, text::LineEnds::Blank).c_str());
            code = 1;
        }
        return written != 0 ? written : code;
    }
    if (sub != "next" || argc > 4) return usage();
    int count = 1;
    if (argc == 4) {
        const auto n = print::parseInt32(argv[3]);
        if (!n || *n < 1 || *n > kMaxCount) {
            std::fprintf(stderr, "COUNT: expected 1 to %d, got '%s'\n", kMaxCount, argv[3]);
            return 2;
        }
        count = *n;
    }
    return cli::runChecked([&] {
        if (const auto* refusal = std::get_if<batch::TrackingRefusal>(&parsed))
            throw std::runtime_error(refusal->reason);
        const auto& first = std::get<std::string>(parsed);
        std::string out;
        for (int k = 1; k <= count; ++k) {
            const std::string next = batch::nextTracking(first, static_cast<std::uint64_t>(k), scheme);
            if (next.empty()) throw std::runtime_error("伝票番号がこれ以上ありません");
            out += next + "\n";
        }
        cli::writeStdout(out);
    });
}
