#pragma once
// Standard input and output for every subcommand of vamu_pelican_cli.
//
// Input is read whole, up to a fixed limit, with read errors named (a folder
// or a closed descriptor on standard input). Output goes through checked
// writes and a checked final flush and close, so output lost to a full disk
// or a closed pipe is a failure with a message, never a silent success.
//
// Typical use in a subcommand:
//     int cmdFoo(int argc, char** argv) {
//         ... parse options, return 2 on a bad one ...
//         return cli::runChecked([&] {
//             const std::string in = cli::readStdin();
//             cli::writeStdout(process(in));
//         });
//     }
#include <chrono>
#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace cli {

// The most a subcommand reads from standard input: far above any pasted
// memo or waybill, low enough that hostile input cannot exhaust memory.
inline constexpr std::size_t kMaxInputBytes = std::size_t{16} * 1024 * 1024;
// How long a command waits for a shared server's answer (each statement);
// longer than a station's few seconds, for pushes and big exports.
inline constexpr std::chrono::milliseconds kServerTimeout{30000};

// A failure of standard input or output; the message names it.
class IoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Makes sure descriptors 0, 1 and 2 are open before anything else opens a
// file, so that a file the tool creates can never take the number of a
// closed standard stream. A closed stream is filled with /dev/null opened
// in the wrong direction: using it later fails with "Bad file descriptor"
// instead of going nowhere. Call first thing in main().
void guardStandardStreams();

// All of standard input. Throws IoError when reading fails or when the
// input is longer than `limit` bytes.
std::string readStdin(std::size_t limit = kMaxInputBytes);

// Writes bytes to standard output; throws IoError when the write fails.
void writeStdout(std::string_view bytes);

// Flushes and closes standard output; throws IoError when either fails.
void finishStdout();

// Runs a subcommand's work: on return, finishes standard output; any
// exception (from the work or the finish) is printed to standard error and
// gives exit code 1. Returns 0 on success.
int runChecked(const std::function<void()>& work);

// A connection string given as an argument: false, with the reason on
// standard error, when it carries a password (there every user could read
// it in the process list).
bool conninfoAccepted(const char* conninfo);

}  // namespace cli
