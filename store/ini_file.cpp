#include "store/ini_file.h"

#include <cerrno>
#include <filesystem>

#include "store/atomic_file.h"
#include "store/file_read.h"
#include "store/ini_text.h"

namespace {

std::string fullPath(const std::string& path) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(path, ec);
    return ec ? path : abs.lexically_normal().string();
}

constexpr char kTooLarge[] = "1 MiB を超える大きさです。この大きさの設定ファイルは読み込まず、書き換えもしません";

}  // namespace

IniWriteError::IniWriteError(const std::string& path, const std::string& reason)
    : std::runtime_error(fullPath(path) + " に書き込めません" + (reason.empty() ? "" : "（" + reason + "）")) {}

const std::string& IniFile::text() const {
    if (!text_) {
        text_.emplace();
        readError_ = readOwnFileCapped(path_, kMaxIniFileBytes, *text_);
    }
    return *text_;
}

std::string IniFile::problem() const {
    (void)text();
    return readError_ == EFBIG ? "設定ファイル " + fullPath(path_) + " は " + kTooLarge : std::string();
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
    auto raw = ini::findRawValue(text(), section, key);
    return raw ? ini::cleanValue(*raw) : std::string(defaultValue);
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const {
    auto raw = ini::findRawValue(text(), section, key);
    if (!raw) return defaultValue;
    return ini::parseInteger(ini::cleanValue(*raw)).value_or(defaultValue);
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    writeStrings(section, {{std::string(key), std::string(value)}});
}

void IniFile::writeStrings(std::string_view section,
                           const std::vector<std::pair<std::string, std::string>>& keyValues) {
    // Read afresh: the keys another store wrote meanwhile are kept.
    std::string text;
    // A file that exists but cannot be read is not overwritten: its
    // unknown lines would be lost; nor is one too large to be ours. A link
    // that is not read through (ELOOP: one in a folder others can write to)
    // is replaced like a missing file.
    const int err = readOwnFileCapped(path_, kMaxIniFileBytes, text);
    if (err == EFBIG) throw IniWriteError(path_, kTooLarge);
    if (err != 0 && err != ENOENT && err != ELOOP) throw IniWriteError(path_);
    for (const auto& [key, value] : keyValues) text = ini::withValue(text, section, key, value);
    try {
        writeFileAtomically(path_, text);
    } catch (const FileError&) {
        throw IniWriteError(path_);
    }
    readError_ = 0;
    text_ = std::move(text);
}

void IniFile::writeInteger(std::string_view section, std::string_view key, std::int32_t value) {
    writeString(section, key, std::to_string(value));
}
