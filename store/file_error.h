#pragma once
// An input/output failure on a file: the system's error number and a
// UTF-8 message fit for the general error box.
#include <stdexcept>
#include <string>

class FileError : public std::runtime_error {
public:
    FileError(int errorNumber, const std::string& message)
        : std::runtime_error(message), errorNumber_(errorNumber) {}
    int errorNumber() const noexcept { return errorNumber_; }

private:
    int errorNumber_;
};

// The system's own text for an error number (strerror), in UTF-8.
std::string systemErrorText(int errorNumber);
