#pragma once
// The history file on disk, before SQLite touches it: what lies at the
// path (nothing, an empty file, an SQLite database, anything else), whether
// it and its journal files may be used (a link planted in a folder others
// can write to, a file of another user), moving a damaged file aside, and
// the URI that opens it without following links.
#include <stdexcept>
#include <string>

namespace store {

// A history file that is refused before it is opened; the file is left as
// it was. The message (UTF-8) names the file and the reason.
class HistoryFileRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class HistoryFileKind {
    Missing,  // nothing at the path
    Empty,    // a plain file of length 0: SQLite's empty database
    Sqlite,   // a plain file that starts with SQLite's header
};

// What lies at the path. Throws NotHistoryDatabase (history_schema.h) for
// anything that is not an SQLite file (a folder, a text, a PDF, a device),
// and HistoryFileRefused for a symbolic link in a folder that others can
// write to (the file or its "-wal", "-shm", "-journal") or, when the store
// is to be written, for a file or journal file of another user.
HistoryFileKind inspectHistoryFile(const std::string& path, bool forWriting);

// Whether symbolic links at this path may be followed: only in a folder of
// the user's own (store/own_folder.h).
bool historyLinksTrusted(const std::string& path);

// Whether any of the journal files "-wal", "-shm", "-journal" is there.
bool hasJournalFiles(const std::string& path);

// The schema version written in the file's header (PRAGMA user_version),
// read without SQLite; -1 when the header cannot be read. Tells one of our
// damaged files (a version this program wrote) from another program's.
int headerSchemaVersion(const std::string& path);

// A free name "<path>.broken-<yyyymmdd-hhmmss>[-n]" for a damaged file.
std::string brokenFileName(const std::string& path);

// Moves the file and its "-wal" and "-shm" files to `target` (left in
// place, SQLite would replay them into a new file of that name). With
// keepInPlace the file itself is hard-linked, not moved, so that another
// file can replace it in one step; a file system without hard links falls
// back to a move. Throws FileError.
void moveHistoryAside(const std::string& path, const std::string& target, bool keepInPlace = false);

// Flushes the folder of a path so that a rename in it survives a power cut
// (best effort: some file systems refuse fsync on a folder).
void syncFolderOf(const std::string& path);

// An SQLite URI for the file ("file:" with '%', '?' and '#' escaped), read
// only when readOnly; immutable when no other program can be writing it (no
// journal files), so that reading creates no "-wal" or "-shm" beside it.
std::string historyUri(const std::string& path, bool readOnly, bool immutable = false);

}  // namespace store
