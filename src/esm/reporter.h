// The one place that writes to the user while a run goes on: progress
// characters and the summary on the progress stream (standard output),
// messages about records and lookups on the message stream (standard error).
#pragma once

#include <cstdio>

#include "esm/fatal_error.h"

namespace landfer {

class Reporter {
public:
    Reporter(FILE* progress = stdout, FILE* messages = stderr) : progress_(progress), messages_(messages) {}

    // printf-style message on the message stream.
    void report(const char* format, ...) const LANDFER_PRINTF(2, 3);
    // printf-style text on the progress stream.
    void progressText(const char* format, ...) const LANDFER_PRINTF(2, 3);
    // Progress text; flushed when asked.
    void showProgress(const char* text, bool flush = false) const;

private:
    FILE* progress_;
    FILE* messages_;
};

}  // namespace landfer
