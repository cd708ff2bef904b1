#pragma once
// Reading files with the system's error number kept.
#include <cstddef>
#include <string>

// The whole file. Returns 0 on success, else the errno of the failure.
int readWholeFile(const std::string& path, std::string& out);

// The bytes of the file up to and including its maxLines-th line feed (or
// all of it when it has fewer). Returns 0 or the errno of the failure.
int readFileLines(const std::string& path, std::size_t maxLines, std::string& out);

// The whole file when it holds at most maxBytes; EFBIG (nothing returned)
// when it holds more, found without reading further than that. Returns 0
// or the errno of the failure.
int readFileAtMost(const std::string& path, std::size_t maxBytes, std::string& out);
