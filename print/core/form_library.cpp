#include "print/core/form_library.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <utility>

#include "print/core/form_check.h"
#include "store/file_error.h"
#include "store/file_read.h"
#include "text/printable.h"
#include "text/utf8.h"

namespace print {

namespace {

// More form files than anyone keeps; a folder holding more is read no further.
constexpr std::size_t kMaxFormFiles = 500;
constexpr std::size_t kMaxIdBytes = 64;

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string stemOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string suffix = kFormFileSuffix;
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        name.resize(name.size() - suffix.size());
    return name;
}

// An id goes into the printer record and the history: UTF-8 without
// control characters or blanks, not too long.
bool goodId(const std::string& id) {
    if (id.empty() || id.size() > kMaxIdBytes || id.front() == '.') return false;
    for (std::size_t i = 0; i < id.size();) {
        const std::size_t n = text::utf8SequenceAt(id, i);
        if (n == 0 || (n == 1 && static_cast<unsigned char>(id[i]) <= 0x20) || id[i] == 0x7f) return false;
        i += n;
    }
    return true;
}

// The names of the form files in a folder, sorted; errno of a folder that
// is there but cannot be listed, 0 otherwise (a missing folder is empty).
int formFilesIn(const std::string& folder, std::vector<std::string>& names) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return errno == ENOENT ? 0 : errno;
    const std::string suffix = kFormFileSuffix;
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string name = e->d_name;
        if (name.size() > suffix.size() && name.front() != '.' &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return 0;
}

enum class Source { Chosen, Own };

FormEntry readEntry(const std::string& path, Source source) {
    FormEntry e;
    e.id = stemOf(path);
    e.path = path;
    if (!goodId(e.id)) {
        e.problems.push_back({"", "ファイル名「" + text::printable(e.id, 80, text::LineEnds::Blank) +
                                      "」は用紙の名前に使えません"});
        return e;
    }
    std::string text;
    const int err = source == Source::Own ? readOwnFileCapped(path, kMaxFormFileBytes, text)
                                          : readFileCapped(path, kMaxFormFileBytes, text);
    if (err == EFBIG) {
        e.problems.push_back({"", "ファイルが大きすぎます (" + std::to_string(kMaxFormFileBytes / 1024) + " KiB まで)"});
        return e;
    }
    if (err != 0) {
        e.problems.push_back({"", "読めません: " + systemErrorText(err)});
        return e;
    }
    FormRead read = parseForm(text, e.id);
    e.problems = std::move(read.problems);
    if (!read.form) return e;
    e.problems = checkForm(*read.form);
    if (e.problems.empty()) e.form = std::move(read.form);
    return e;
}

std::string firstProblem(const FormEntry& e) {
    if (e.problems.empty()) return "";
    const FormProblem& p = e.problems.front();
    std::string text = p.item.empty() ? p.message : p.item + ": " + p.message;
    if (e.problems.size() > 1) text += " ほか " + std::to_string(e.problems.size() - 1) + " 件";
    return text;
}

}  // namespace

std::string userFormFolder(const std::string& baseFolder) { return joined(baseFolder, "forms"); }

std::vector<std::string> bundledFormFolders(const std::string& executableFolder) {
    std::vector<std::string> folders;
    if (!executableFolder.empty()) folders.push_back(joined(executableFolder, VP_FORMS_INSTALLED_FOLDER));
    folders.emplace_back(VP_FORMS_SOURCE_FOLDER);
    return folders;
}

std::string bundledFormFolder(const std::string& executableFolder) {
    for (const std::string& folder : bundledFormFolders(executableFolder))
        if (isFolder(folder)) return folder;
    return {};
}

FormEntry readFormFile(const std::string& path) { return readEntry(path, Source::Chosen); }

FormLibrary FormLibrary::load(const std::string& baseFolder, const std::string& bundledFolder) {
    FormLibrary lib;
    FormEntry builtin{builtinForm().id, "", builtinForm(), {}};
    std::vector<FormEntry> bundled, own;
    const auto listed = [&lib](const std::string& folder, std::vector<std::string>& names) {
        if (const int err = formFilesIn(folder, names); err != 0)
            lib.notices_.push_back("用紙のフォルダ " + folder + " を読めません (" + systemErrorText(err) + ")");
        if (names.size() > kMaxFormFiles) {
            lib.notices_.push_back("用紙のフォルダ " + folder + " のファイルが多すぎます。初めの " +
                                   std::to_string(kMaxFormFiles) + " 個だけを読みます");
            names.resize(kMaxFormFiles);
        }
    };
    if (!bundledFolder.empty()) {
        std::vector<std::string> names;
        listed(bundledFolder, names);
        const std::string builtinPath = joined(bundledFolder, kBuiltinFormFile);
        if (std::find(names.begin(), names.end(), kBuiltinFormFile) == names.end())
            lib.notices_.push_back("用紙ファイル " + builtinPath + " が見つかりません。組み込みの用紙を使います");
        for (const std::string& name : names) {
            FormEntry e = readEntry(joined(bundledFolder, name), Source::Chosen);
            if (e.id != builtin.id) {
                bundled.push_back(std::move(e));
            } else if (e.form) {
                builtin = std::move(e);
            } else {
                lib.notices_.push_back("用紙ファイル " + e.path + " を使えません (" + firstProblem(e) +
                                       ")。組み込みの用紙を使います");
            }
        }
    }
    if (!baseFolder.empty()) {
        std::vector<std::string> names;
        const std::string folder = userFormFolder(baseFolder);
        listed(folder, names);
        for (const std::string& name : names) {
            FormEntry e = readEntry(joined(folder, name), Source::Own);
            const bool taken = e.id == builtin.id || std::any_of(bundled.begin(), bundled.end(),
                                                                  [&](const FormEntry& b) { return b.id == e.id; });
            if (taken) {
                e.form.reset();
                e.problems.insert(e.problems.begin(), {"", "同梱の用紙と同じ名前です。別の名前で保存してください"});
            }
            own.push_back(std::move(e));
        }
    }
    lib.entries_.push_back(std::move(builtin));
    for (auto* list : {&bundled, &own})
        for (FormEntry& e : *list) lib.entries_.push_back(std::move(e));
    return lib;
}

const Form* FormLibrary::find(const std::string& id) const {
    for (const FormEntry& e : entries_)
        if (e.id == id && e.form) return &*e.form;
    return nullptr;
}

const Form& FormLibrary::builtin() const {
    // load() always puts the built-in form first, with a form; a library
    // that was never loaded has the compiled one.
    if (!entries_.empty() && entries_.front().form) return *entries_.front().form;
    return builtinForm();
}

}  // namespace print
