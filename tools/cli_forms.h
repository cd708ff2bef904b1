#pragma once
// The forms the command-line tool prints on: the library of the current
// folder's forms and the bundled ones, and the form an option names.
#include <memory>
#include <string>

#include "print/core/form_library.h"

namespace cli {

// The library of the current folder (its forms folder) and the bundled
// forms; its notices are written to standard error.
print::FormLibrary loadFormLibrary();

// A form named by --form: a form file (a path with a '/' or ending in
// ".form") read and checked, else the id of a form in the library. A form
// that is not there or fails its check raises std::runtime_error listing
// its problems, before anything is printed.
std::shared_ptr<const print::Form> formNamed(const std::string& nameOrFile);

// The problems of a form, one "item: message" a line, for a refusal.
std::string problemLines(const std::vector<print::FormProblem>& problems);

}  // namespace cli
