// vamu_pelican_cli: headless access to the core (transfer, layout, PDF).
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "tools/cli_commands.h"
#include "tools/cli_io.h"

namespace {
struct Command {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* help;
};
constexpr Command kCommands[] = {
    {"transfer", cmdTransfer, "split a pasted memo (stdin) into consignee fields, JSON out"},
    {"hanconv", cmdHanConv, "half-width conversion of stdin"},
    {"classify", cmdClassify, "classify each line of stdin, one JSON object per line"},
    {"layout", cmdLayout, "waybill fields (JSON on stdin) to draw calls, one JSON object per line [--form NAME|FILE]"},
    {"history", cmdHistory, "printed waybills: history list [--search T] / export --csv FILE / push --server C"},
    {"server", cmdServer, "shared PostgreSQL history: server init CONNINFO (schema and the stations' GRANTs)"},
    {"print", cmdPrint, "waybill fields (JSON on stdin) to a PDF: print --pdf FILE"},
    {"postal", cmdPostal, "postal codes: lookup CODE, reverse ADDRESS, check ZIP ADDRESS, import KEN_ALL.CSV"},
    {"batch", cmdBatch, "orders from a CSV file: batch check FILE, batch print FILE --pdf OUT"},
    {"form", cmdForm, "pre-printed forms: form list, form check FILE (JSON of its problems)"},
    {"tracking", cmdTracking, "伝票番号: tracking check NUMBER, tracking next NUMBER [COUNT]"},
};
}  // namespace

int main(int argc, char** argv) {
    cli::guardStandardStreams();
    if (argc == 2 && std::string_view(argv[1]) == "--version")
        return cli::runChecked([] { cli::writeStdout(std::string("vamu_pelican_cli ") + VP_VERSION + "\n"); });
    if (argc >= 2) {
        for (const Command& c : kCommands)
            if (std::string_view(argv[1]) == c.name) return c.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "usage: vamu_pelican_cli COMMAND [options] | --version\n");
    for (const Command& c : kCommands) std::fprintf(stderr, "  %-9s %s\n", c.name, c.help);
    std::fprintf(stderr, "standard input is read up to %zu MB; a read or write error gives exit code 1\n",
                 cli::kMaxInputBytes >> 20);
    return 2;
}
