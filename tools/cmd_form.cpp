// form list: the forms this folder can print on, one JSON object a line:
// {"id":…,"name":…,"carrier":…,"path":…,"ok":true|false,"problems":[…]}
// (path "" for the compiled built-in form; name and carrier null for a
// form that failed its check).
// form check FILE: one JSON object with the file's problems; exit code 1
// when there is any.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "print/core/form_library.h"
#include "tools/cli_commands.h"
#include "tools/cli_forms.h"
#include "tools/cli_io.h"
#include "tools/json_out.h"

namespace {

int usage() {
    std::fputs("usage: vamu_pelican_cli form list\n"
               "       vamu_pelican_cli form check FILE\n"
               "  list: the built-in form, the bundled forms and this folder's forms/*.form, one\n"
               "  JSON object a line: {\"id\":..,\"name\":..,\"carrier\":..,\"path\":..,\"ok\":..,\"problems\":[..]}\n"
               "  check: {\"file\":..,\"id\":..,\"ok\":..,\"problems\":[{\"item\":..,\"message\":..}]};\n"
               "  exit code 1 when the form has any problem (it is never printed on)\n",
               stderr);
    return 2;
}

std::string problemsJson(const std::vector<print::FormProblem>& problems) {
    std::vector<std::string> items;
    items.reserve(problems.size());
    for (const print::FormProblem& p : problems)
        items.push_back(json::Object().string("item", p.item).string("message", p.message).str());
    return json::array(items);
}

std::string entryJson(const print::FormEntry& e) {
    json::Object o;
    o.string("id", e.id);
    o.stringOrNull("name", e.form ? std::optional(e.form->name) : std::nullopt);
    o.stringOrNull("carrier", e.form ? std::optional(e.form->carrier.name) : std::nullopt);
    o.string("path", e.path).boolean("ok", e.form.has_value()).raw("problems", problemsJson(e.problems));
    return o.str();
}

}  // namespace

int cmdForm(int argc, char** argv) {
    const std::string_view sub = argc >= 2 ? argv[1] : "";
    if (sub == "list" && argc == 2) {
        return cli::runChecked([] {
            const print::FormLibrary lib = cli::loadFormLibrary();
            std::string out;
            for (const print::FormEntry& e : lib.entries()) out += entryJson(e) + "\n";
            cli::writeStdout(out);
        });
    }
    if (sub != "check" || argc != 3) return usage();
    const std::string file = argv[2];
    bool sound = false;
    const int written = cli::runChecked([&] {
        const print::FormEntry e = print::readFormFile(file);
        sound = e.form.has_value();
        cli::writeStdout(json::Object()
                             .string("file", file)
                             .string("id", e.id)
                             .boolean("ok", sound)
                             .raw("problems", problemsJson(e.problems))
                             .str() +
                         "\n");
    });
    return written != 0 ? written : (sound ? 0 : 1);
}
