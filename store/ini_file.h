#pragma once
// A settings store on one INI file. The file is read once, at the first
// read of a key, and its text kept for the other keys (a store is made for
// one command or one opening of a window, not kept for a run); nothing is
// held open between calls, and a written key is on disk when the call
// returns. Constructing the store does not touch the file.
//
// The program's own files hold a few kilobytes: one larger than
// kMaxIniFileBytes is not read (every key gives its default, problem() says
// why) and is never replaced, so nothing in it is lost.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

inline constexpr std::size_t kMaxIniFileBytes = std::size_t{1024} * 1024;

// A write that failed; the message is "<full path> に書き込めません" (UTF-8),
// followed by the reason when there is one to tell.
class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const std::string& fullPath, const std::string& reason = {});
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

    // Why the keys came back as defaults although the file is there (UTF-8,
    // for a message box or standard error): a file too large to be one of
    // ours. Empty otherwise. Reads the file if no key was read yet.
    std::string problem() const;

private:
    // The file's text, read at the first call; empty when it cannot be read.
    const std::string& text() const;

    std::string path_;
    mutable std::optional<std::string> text_;
    mutable int readError_ = 0;
};
