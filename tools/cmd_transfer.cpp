// The transfer subcommands: transfer, hanconv, classify. Input is UTF-8 on
// standard input (Shift-JIS with --sjis), output goes to standard output in
// the same encoding.
#include <cstdio>
#include <string>
#include <string_view>

#include "text/sjis.h"
#include "text/sjis_convert.h"
#include "tools/cli_commands.h"
#include "tools/cli_io.h"
#include "tools/json_out.h"
#include "transfer/classify.h"
#include "transfer/han_conv.h"
#include "transfer/pipeline.h"
#include "transfer/text_functions.h"

namespace {

struct Io {
    bool sjisMode = false;

    // Standard input as Shift-JIS. UTF-8 input that Shift-JIS cannot hold
    // carries "〓" where the character was, as a paste into the memo does.
    std::string readInput() const {
        std::string in = cli::readStdin();
        return sjisMode ? in : sjis::fromUtf8Lossy(in);
    }
    // Writes UTF-8 text produced by the tool in the chosen encoding.
    void writeUtf8(const std::string& utf8) const {
        cli::writeStdout(sjisMode ? sjis::fromUtf8Lossy(utf8) : utf8);
    }
};

// Parses the options shared by the three subcommands; false on a bad one.
bool parseOptions(int argc, char** argv, Io& io) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--sjis") {
            io.sjisMode = true;
        } else {
            std::fprintf(stderr, "%s: unknown option %s (only --sjis)\n", argv[0], argv[i]);
            return false;
        }
    }
    return true;
}

std::optional<std::string> utf8OrNull(const std::optional<std::string>& sjisText) {
    if (!sjisText) return std::nullopt;
    return sjis::toUtf8(*sjisText);
}

std::string transferJson(const transfer::TransferResult& r) {
    std::vector<std::string> memo;
    for (const auto& line : r.memo) memo.push_back(sjis::toUtf8(line));
    json::Object o;
    const auto field = [&](const char* key, std::string transfer::TransferFields::*member) {
        o.stringOrNull(key, r.fields ? std::optional(sjis::toUtf8((*r.fields).*member)) : std::nullopt);
    };
    field("zip", &transfer::TransferFields::zip);
    field("add1", &transfer::TransferFields::add1);
    field("add2", &transfer::TransferFields::add2);
    field("name", &transfer::TransferFields::name);
    field("tel", &transfer::TransferFields::tel);
    o.raw("memo", json::stringArray(memo));
    o.stringOrNull("message", utf8OrNull(r.message));
    return o.str();
}

}  // namespace

int cmdTransfer(int argc, char** argv) {
    Io io;
    if (!parseOptions(argc, argv, io)) return 2;
    return cli::runChecked([&] { io.writeUtf8(transferJson(transfer::runTransfer(io.readInput())) + "\n"); });
}

int cmdHanConv(int argc, char** argv) {
    Io io;
    if (!parseOptions(argc, argv, io)) return 2;
    return cli::runChecked([&] {
        const std::string out = Han_Conv(io.readInput());
        if (io.sjisMode) cli::writeStdout(out);
        else io.writeUtf8(sjis::toUtf8(out));
    });
}

// One object per input line, on the line as the transfer sees it (trimmed):
// verdict of the postal-code/telephone decision, mail/web mark count,
// prefecture hit, length in characters, name-or-address mark count and the
// numeric reading.
int cmdClassify(int argc, char** argv) {
    Io io;
    if (!parseOptions(argc, argv, io)) return 2;
    return cli::runChecked([&] {
        std::string out;
        for (const std::string& raw : transfer::memoLines(io.readInput())) {
            const std::string line = sjis::trim(raw);
            const transfer::NameAddrCount na = transfer::nameAddrCount(line);
            json::Object o;
            o.string("line", sjis::toUtf8(line))
                .string("verdict", sjis::toUtf8(transfer::verdictCaption(transfer::zipTelVerdict(line))))
                .number("mailWeb", transfer::mailWebMarkCount(line))
                .boolean("prefecture", transfer::isPrefectureName(line))
                .number("chars", na.chars)
                .number("nameAddr", na.marks)
                .string("reading", sjis::toUtf8(Num_Reading(line)));
            out += o.str() + "\n";
        }
        io.writeUtf8(out);
    });
}
