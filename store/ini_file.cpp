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

}  // namespace

IniWriteError::IniWriteError(const std::string& path)
    : std::runtime_error(fullPath(path) + " に書き込めません") {}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
    std::string text;
    if (readWholeFile(path_, text) != 0) return std::string(defaultValue);
    auto raw = ini::findRawValue(text, section, key);
    return raw ? ini::cleanValue(*raw) : std::string(defaultValue);
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const {
    std::string text;
    if (readWholeFile(path_, text) != 0) return defaultValue;
    auto raw = ini::findRawValue(text, section, key);
    if (!raw) return defaultValue;
    return ini::parseInteger(ini::cleanValue(*raw)).value_or(defaultValue);
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    writeStrings(section, {{std::string(key), std::string(value)}});
}

void IniFile::writeStrings(std::string_view section,
                           const std::vector<std::pair<std::string, std::string>>& keyValues) {
    std::string text;
    // A file that exists but cannot be read is not overwritten: its
    // unknown lines would be lost. A link that is not read through (ELOOP:
    // one in a folder others can write to) is replaced like a missing file.
    if (int err = readWholeFile(path_, text); err != 0 && err != ENOENT && err != ELOOP) throw IniWriteError(path_);
    for (const auto& [key, value] : keyValues) text = ini::withValue(text, section, key, value);
    try {
        writeFileAtomically(path_, text);
    } catch (const FileError&) {
        throw IniWriteError(path_);
    }
}

void IniFile::writeInteger(std::string_view section, std::string_view key, std::int32_t value) {
    writeString(section, key, std::to_string(value));
}
