#pragma once
// The forms a station knows: the bundled ones (the built-in form's file is
// among them) and the user's own in the base folder's forms folder, read at
// start. A bundled file that cannot be read or fails its check gives a
// notice and leaves the compiled built-in form in its place; a user's form
// that fails is listed with its problems and is never printed on.
#include <optional>
#include <string>
#include <vector>

#include "print/core/form.h"
#include "print/core/form_file.h"

namespace print {

struct FormEntry {
    std::string id;    // file stem
    std::string path;  // "" for the compiled built-in form
    std::optional<Form> form;  // set only for a form that passed its check
    std::vector<FormProblem> problems;
};

class FormLibrary {
public:
    // Reads `<baseFolder>/forms/*.form` and the bundled folder's forms
    // (bundledFolder: the installed data folder, or the source tree's
    // data/forms in a build). The built-in form is always there.
    static FormLibrary load(const std::string& baseFolder, const std::string& bundledFolder);

    const std::vector<FormEntry>& entries() const { return entries_; }
    // A form that passed its check, by id, or nullptr.
    const Form* find(const std::string& id) const;
    // The built-in form: from its bundled file when that passed, else the
    // compiled table.
    const Form& builtin() const;
    // Why a bundled file was not used (UTF-8), one line each; empty if none.
    const std::vector<std::string>& notices() const { return notices_; }

private:
    std::vector<FormEntry> entries_;
    std::vector<std::string> notices_;
};

// The folder a user's forms are saved in: `<baseFolder>/forms`.
std::string userFormFolder(const std::string& baseFolder);

// The bundled form file of the built-in form.
inline constexpr const char* kBuiltinFormFile = "pelican.form";
// What a form file's name ends in.
inline constexpr const char* kFormFileSuffix = ".form";

// The folders that may hold the bundled forms, in the order they are
// preferred: the installed data folder beside the executable's folder,
// then the source tree's data/forms for a build that was never installed.
std::vector<std::string> bundledFormFolders(const std::string& executableFolder);
// The first of bundledFormFolders() that is there ("" when none is).
std::string bundledFormFolder(const std::string& executableFolder);

// One form file read and checked (a file the user names): its id is the
// file's stem; `form` is set only when it passed its check.
FormEntry readFormFile(const std::string& path);

}  // namespace print
