#include "postal/table_locator.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <utility>

namespace postal {

namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

std::string importedTablePath(const std::string& baseFolder) { return joined(baseFolder, kImportedTableName); }

std::vector<std::string> tablePaths(const std::string& baseFolder, const std::string& executableFolder) {
    std::vector<std::string> paths{importedTablePath(baseFolder)};
    if (!executableFolder.empty()) paths.push_back(joined(executableFolder, VP_POSTAL_INSTALLED_TABLE));
    paths.emplace_back(VP_POSTAL_SOURCE_TABLE);
    return paths;
}

std::string executableFolder() {
    std::array<char, 4096> buffer{};
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return {};
    std::string path(buffer.data(), static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

LazyTable::LazyTable(const std::string& baseFolder, const std::string& executableFolder)
    : paths_(tablePaths(baseFolder, executableFolder)) {}

LazyTable::LazyTable(std::string path) : paths_{std::move(path)} {}

const Table* LazyTable::get() {
    if (tried_) return table_.get();
    tried_ = true;
    path_.clear();
    std::string failedPath;
    for (const std::string& p : paths_) {
        if (!exists(p)) continue;
        if (path_.empty()) path_ = p;
        try {
            table_ = std::make_unique<Table>(Table::load(p));
            path_ = p;
            break;
        } catch (const TableError& e) {
            // The first failure is the one worth telling: it is the file
            // the user meant to be read.
            if (failedPath.empty()) {
                failedPath = p;
                error_ = e.what();
            }
        }
    }
    if (path_.empty()) {
        error_ = "no postal table file (" + paths_.front() + (paths_.size() > 1 ? " and others" : "") + ")";
        return nullptr;
    }
    if (table_ && !failedPath.empty()) {
        // A read error already starts with the path.
        const std::string reason =
            error_.rfind(failedPath + ": ", 0) == 0 ? error_.substr(failedPath.size() + 2) : error_;
        notice_ = "郵便番号データ " + failedPath + " を読めません (" + reason + ")。同梱のデータを使います";
        error_.clear();
    }
    return table_.get();
}

std::string LazyTable::takeNotice() { return std::exchange(notice_, {}); }

void LazyTable::reset() {
    table_.reset();
    error_.clear();
    notice_.clear();
    tried_ = false;
}

}  // namespace postal
