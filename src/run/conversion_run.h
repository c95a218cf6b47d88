// The conversion run: command line, the pass over the input records and
// the finish (quest group, record count, summary, temporary files).
#pragma once

#include <cstdint>
#include <cstdio>

#include "run/run_state.h"

namespace landfer {

// Runs the program for a command line. Returns the exit status of a
// completed run, of the version line or of the help (0); every failure is
// raised as a FatalError, whose message main prints before it exits with
// status 1. A completed run ends with the report of what it could not
// carry over, on `messages` after the summary, and with --report FILE
// writes the whole list to FILE as CSV.
// How a run works; the output is the same either way.
struct RunOptions {
    // False: every lookup re-reads its file, the straightforward path the
    // tests compare with the cached one (and one core).
    bool caches = true;
    // False: the quads of a land are compressed on one core.
    bool twoCores = true;
};

int runLandfer(int argc, char* argv[], FILE* progress, FILE* messages, const RunOptions& options = RunOptions());

}  // namespace landfer
