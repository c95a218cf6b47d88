// The conversion run: command line, the pass over the input records and
// the finish (quest group, record count, summary, temporary files).
#pragma once

#include <cstdint>
#include <cstdio>

#include "run/run_state.h"

namespace landfer {

// Runs the program for a command line. Returns the exit status of a
// completed run or of the version line (0); every failure is raised as a
// FatalError, whose message main prints before it exits with status 1.
// With lookupCaches false every lookup re-reads its file: the straightforward
// path, which the tests compare with the cached one.
int runLandfer(int argc, char* argv[], FILE* progress, FILE* messages, bool lookupCaches = true);

// The record count patched into the output's file header at the end.
uint32_t recordCountFor(const RunState& run);

}  // namespace landfer
