#pragma once
// A settings store on one INI file. Each call stands alone: the file is
// opened, used and closed within it, so nothing is held open between calls
// and a written key is on disk when the call returns. Constructing the
// store does not touch the file.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A write that failed; the message is "<full path> に書き込めません" (UTF-8).
class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const std::string& fullPath);
};

class IniFile {
public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // The value, trimmed and unquoted, at most 2047 bytes; the default when
    // the file, section or key is missing or the file cannot be read.
    std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // The value as an integer (see ini::parseInteger); the default when it
    // is missing or no valid 32-bit integer.
    std::int32_t readInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const;

    // Sets the key, creating the file and section when needed. The file is
    // replaced atomically, so a failed write leaves it as it was. Throws
    // IniWriteError.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, std::int32_t value);

    // Sets several keys of one section, in the given order, with a single
    // replacement of the file: either all of them are written or, after a
    // failure, none is and the file is as it was. Throws IniWriteError.
    void writeStrings(std::string_view section, const std::vector<std::pair<std::string, std::string>>& keyValues);

private:
    std::string path_;
};
