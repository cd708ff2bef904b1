#pragma once
// Which postal table file the program reads, and loading it on first use.
#include <memory>
#include <string>
#include <vector>

#include "postal/postal_table.h"

namespace postal {

// The table written by the importer, in the base folder.
constexpr const char* kImportedTableName = "vamu_Pelican_postal.bin";

std::string importedTablePath(const std::string& baseFolder);

// The files that may hold the table, in the order they are preferred: the
// imported table in the base folder, the copy installed with the program
// (beside the executable's folder, under the data folder), and the source
// tree's copy for a build that was never installed.
std::vector<std::string> tablePaths(const std::string& baseFolder, const std::string& executableFolder);

// The folder of the running executable ("" when unknown).
std::string executableFolder();

// The table, read from the first of tablePaths() that can be read the first
// time it is asked for, never at program start. A file that is there but
// cannot be used (damaged, too large) is passed over for the next one, and
// takeNotice() says so. When none can be used, lookups are off: get() gives
// nullptr and error() says why; the program goes on without them.
class LazyTable {
public:
    LazyTable(const std::string& baseFolder, const std::string& executableFolder);
    // A fixed file instead of the search (the command line's --table, tests).
    explicit LazyTable(std::string path);

    const Table* get();
    const std::string& error() const { return error_; }
    // A message for the user (UTF-8) about a table passed over for the
    // next one; returned once, then empty.
    std::string takeNotice();
    const std::string& path() const { return path_; }
    // Forget what was loaded; the next get() reads again (after an import).
    void reset();

private:
    std::vector<std::string> paths_;
    std::unique_ptr<Table> table_;
    std::string path_;
    std::string error_;
    std::string notice_;
    bool tried_ = false;
};

}  // namespace postal
