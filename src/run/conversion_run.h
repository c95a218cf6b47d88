// The conversion run: command line, the pass over the input records and
// the finish (quest group, record count, summary, temporary files).
#pragma once

#include <cstdint>
#include <cstdio>


namespace landfer {

// Runs the program for a command line. Returns the exit status of a
// completed run, of the version line or of the help (0); every failure is
// raised as a FatalError, whose message main prints before it exits with
// status 1. A completed run ends with the report of what it could not
// carry over, on `messages` after the summary, and with --report FILE
// writes the whole list to FILE as CSV.
int runLandfer(int argc, char* argv[], FILE* progress, FILE* messages);

}  // namespace landfer
