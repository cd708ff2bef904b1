// tracking check NUMBER: {"number":"…","valid":true|false}; exit 0 when
// valid, 1 otherwise (the reason on standard error).
// tracking next NUMBER [COUNT]: the COUNT numbers after NUMBER, one a line.
#include <cstdio>
#include <string>
#include <string_view>
#include <variant>

#include "batch/tracking_number.h"
#include "print/core/str_to_int.h"
#include "tools/cli_commands.h"
#include "tools/cli_io.h"
#include "text/printable.h"
#include "tools/json_out.h"

namespace {

// More than any printer holds in one go.
constexpr int kMaxCount = 10000;

int usage() {
    std::fputs("usage: vamu_pelican_cli tracking check NUMBER\n"
               "       vamu_pelican_cli tracking next NUMBER [COUNT]\n"
               "  NUMBER: the 12-digit 伝票番号 (blanks, hyphens and NW-7 start/stop letters A-D\n"
               "  are ignored); next prints the COUNT (default 1, at most 10000) numbers after it\n",
               stderr);
    return 2;
}

}  // namespace

int cmdTracking(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string_view sub = argv[1];
    const auto parsed = batch::parseTracking(argv[2]);
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
            const std::string next = batch::nextTracking(first, static_cast<std::uint64_t>(k));
            if (next.empty()) throw std::runtime_error("伝票番号がこれ以上ありません");
            out += next + "\n";
        }
        cli::writeStdout(out);
    });
}
