// Running code under a limit of the address space (RLIMIT_AS), to see what
// a program does when memory or threads cannot be had. The limit is set in
// a child process (fork), so the test process itself is never limited.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace limits {

// Empty when limits can be tested here; otherwise why not: the sanitizer
// build reserves far more address space than it uses, and under Wine
// (LANDFER_COMMAND set) there is no RLIMIT_AS.
std::string whyAddressSpaceLimitsCannotBeTested();

// True in the sanitizer build, whose programs take several times the
// memory and time: measurements of either do not hold there.
bool sanitizedBuild();

// The address space the calling process has mapped now, in bytes.
size_t mappedBytes();

// Runs body in a child process whose address space is limited to what it
// has mapped when body starts plus `extra` bytes (setup runs before the
// limit is set). Returns body's result as the child's exit status, or
// 1000 + the signal number when the child was killed.
int runWithAddressSpaceLimit(size_t extra, const std::function<void()>& setup, const std::function<int()>& body);

}  // namespace limits
