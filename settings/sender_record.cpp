#include "settings/sender_record.h"

#include <cerrno>

#include "store/atomic_file.h"
#include "store/file_read.h"

namespace {

constexpr std::size_t kLines = 5;

std::array<std::string*, kLines> linesOf(SenderRecord& r) { return {&r.zip, &r.address1, &r.address2, &r.name, &r.tel}; }

void appendLine(std::string& out, std::string_view field) {
    for (char c : field)
        if (c != '\r' && c != '\n') out += c;
    out += "\r\n";
}

}  // namespace

std::string senderRecordFileName(int tabIndex) { return "my" + std::to_string(tabIndex) + ".txt"; }

SenderRecord parseSenderRecord(std::string_view bytes) {
    SenderRecord record;
    auto lines = linesOf(record);
    std::size_t line = 0;
    for (std::size_t i = 0; i < bytes.size() && line < kLines; ++i) {
        const char c = bytes[i];
        if (c == '\n')
            ++line;
        else if (c != '\r')
            *lines[line] += c;
    }
    return record;
}

std::string formatSenderRecord(const SenderRecord& record) {
    std::string out;
    for (std::string_view field : {record.zip, record.address1, record.address2, record.name, record.tel})
        appendLine(out, field);
    return out;
}

std::string senderFileErrorMessage(int errorNumber) {
    switch (errorNumber) {
        case ENOENT: return "File not found";
        case EACCES:
        case EPERM:
        case EROFS: return "File access denied";
        default: return systemErrorText(errorNumber);
    }
}

SenderRecord readSenderRecord(const std::string& path) {
    std::string bytes;
    if (int err = readFileLines(path, kLines, bytes); err != 0) throw FileError(err, senderFileErrorMessage(err));
    return parseSenderRecord(bytes);
}

void writeSenderRecord(const std::string& path, const SenderRecord& record) {
    try {
        writeFileAtomically(path, formatSenderRecord(record));
    } catch (const FileError& e) {
        throw FileError(e.errorNumber(), senderFileErrorMessage(e.errorNumber()));
    }
}
