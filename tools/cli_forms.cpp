#include "tools/cli_forms.h"

#include <cstdio>
#include <stdexcept>

#include "postal/table_locator.h"
#include "text/printable.h"

namespace cli {

namespace {

bool namesAFile(const std::string& arg) {
    const std::string suffix = print::kFormFileSuffix;
    return arg.find('/') != std::string::npos ||
           (arg.size() > suffix.size() && arg.compare(arg.size() - suffix.size(), suffix.size(), suffix) == 0);
}

std::runtime_error refusal(const std::string& what, const std::vector<print::FormProblem>& problems) {
    return std::runtime_error("用紙 " + text::printable(what, 200, text::LineEnds::Blank) +
                              " には問題があるため印刷しません:\n" + problemLines(problems));
}

}  // namespace

print::FormLibrary loadFormLibrary() {
    print::FormLibrary lib = print::FormLibrary::load(".", print::bundledFormFolder(postal::executableFolder()));
    for (const std::string& notice : lib.notices()) std::fprintf(stderr, "%s\n", notice.c_str());
    return lib;
}

std::string problemLines(const std::vector<print::FormProblem>& problems) {
    std::string out;
    for (const print::FormProblem& p : problems) {
        const std::string line = p.item.empty() ? p.message : p.item + ": " + p.message;
        out += "  " + text::printable(line, 400, text::LineEnds::Blank) + "\n";
    }
    if (!out.empty()) out.pop_back();
    return out;
}

std::shared_ptr<const print::Form> formNamed(const std::string& nameOrFile) {
    if (namesAFile(nameOrFile)) {
        print::FormEntry entry = print::readFormFile(nameOrFile);
        if (!entry.form) throw refusal(nameOrFile, entry.problems);
        return std::make_shared<const print::Form>(std::move(*entry.form));
    }
    const print::FormLibrary lib = loadFormLibrary();
    for (const print::FormEntry& e : lib.entries()) {
        if (e.id != nameOrFile) continue;
        if (e.form) return std::make_shared<const print::Form>(*e.form);
        throw refusal(nameOrFile, e.problems);
    }
    throw std::runtime_error("用紙 " + text::printable(nameOrFile, 200, text::LineEnds::Blank) +
                             " はありません (vamu_pelican_cli form list で一覧を見られます)");
}

}  // namespace cli
