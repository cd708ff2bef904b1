#pragma once
// Replacing a whole file so that a failure never leaves it half-written.
#include <functional>
#include <string>
#include <string_view>

#include "store/file_error.h"

// Writes content as the new file at path: a temporary file in the same
// folder is written, flushed to disk (fsync) and then renamed over the
// target, and the folder is flushed too. After any failure (disk full,
// read-only folder or file, the process killed midway) the previous file is
// still whole and no temporary file is left behind; one left by a killed
// process is removed by the next save of the same file.
// A symbolic link at path is followed (its target is replaced) only in a
// folder of the user's own; elsewhere the link itself is replaced.
// Throws FileError carrying errno; its message is the system's text.
void writeFileAtomically(const std::string& path, std::string_view content);

// Where a write can fail; tests inject failures at each step.
enum class AtomicWriteStep { Open, Write, Sync, Close, Rename };

// Test seam: called before each step; a non-zero return is taken as that
// step failing with this errno. Pass an empty function to remove it.
void setAtomicWriteFaultForTesting(std::function<int(AtomicWriteStep)> fault);
