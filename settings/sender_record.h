#pragma once
// A sender (ご依頼主) record: five Shift-JIS lines in a file of its own,
// my0.txt ... my9.txt, each line followed by CR LF.
#include <array>
#include <string>
#include <string_view>

#include "store/file_error.h"

// The five lines in file order.
struct SenderRecord {
    std::string zip, address1, address2, name, tel;
    bool operator==(const SenderRecord&) const = default;
};

// "my" + index + ".txt", without a folder.
std::string senderRecordFileName(int tabIndex);

// Reads the bytes of a record file: a line ends at LF (a CR before it is
// dropped), a CR not followed by LF is dropped without ending the line,
// missing lines are empty and lines after the fifth are ignored.
SenderRecord parseSenderRecord(std::string_view bytes);

// The five lines, each followed by CR LF. A line break inside a field is
// dropped, so the file always has exactly five lines.
std::string formatSenderRecord(const SenderRecord& record);

// The message for a failed record read or write: "File not found",
// "File access denied", or the system's own text.
std::string senderFileErrorMessage(int errorNumber);

// Loads a record file. Throws FileError with the message above.
SenderRecord readSenderRecord(const std::string& path);

// Saves a record file, replacing the old one atomically: after a failure
// the old record is still whole. Throws FileError with the message above.
void writeSenderRecord(const std::string& path, const SenderRecord& record);
