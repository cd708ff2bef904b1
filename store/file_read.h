#pragma once
// Reading files with the system's error number kept. Only a plain file is
// read: the file is opened without waiting (a named pipe with no writer
// would block the caller for good) and anything but a plain file is refused.
#include <cstddef>
#include <string>

// The program's own files (settings, printer, sender files), which it also
// writes back: a symbolic link is read through only in a folder of the
// user's own (store/own_folder.h), elsewhere it gives ELOOP, so that a
// planted link never brings another file's text into one we write.

// The whole file. Returns 0 on success, else the errno of the failure.
int readWholeFile(const std::string& path, std::string& out);

// The bytes of the file up to and including its maxLines-th line feed (or
// all of it when it has fewer). Returns 0 or the errno of the failure.
int readFileLines(const std::string& path, std::size_t maxLines, std::string& out);

// The whole file when it holds at most maxBytes bytes, else nothing and
// EFBIG: for those of our files that are only ever small (saved mappings),
// so that one made large, or a link to something large, is never read.
int readOwnFileCapped(const std::string& path, std::size_t maxBytes, std::string& out);

// A file the user chose to read (an order file, Japan Post's files) or a
// table: the whole file when it holds at most maxBytes bytes, else nothing.
// Links are followed. Returns 0 or an errno: EFBIG when it is larger,
// EISDIR for a folder, EINVAL for anything else that is not a plain file (a
// pipe, a device, a socket).
int readFileCapped(const std::string& path, std::size_t maxBytes, std::string& out);
