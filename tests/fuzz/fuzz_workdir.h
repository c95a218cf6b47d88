// A private working directory for a fuzz target: created under $TMPDIR (or
// /tmp) with a copy of the repository's lfdat/, entered with chdir, and
// removed again when the process exits normally. run_fuzzers.sh points
// TMPDIR at a directory of its own and removes that too, for the exits
// (crash, timeout) that skip the atexit handlers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace fuzz {

// Creates the directory on the first call and makes it the current one.
const std::string& enterWorkDir();

// The null device, opened once, for the run's progress and messages.
FILE* nullDevice();

// Writes bytes to a file in the current directory.
void writeBytes(const char* name, const uint8_t* data, size_t size);

}  // namespace fuzz
