// The files of a run in the working directory: the output "LANDFER.ESP",
// the partial output it is written as until the run succeeds, and the
// files that the subsystems stage data in.
#pragma once

#include <vector>

namespace landfer {

constexpr const char* outputName = "LANDFER.ESP";
// The output while it is written; it takes the place of LANDFER.ESP only
// when the run succeeds, so that a failed run leaves an older one whole.
constexpr const char* partialOutputName = "LANDFER.ESP.tmp";

// Every temporary file a run makes, the partial output included, and
// those that older versions made, in the order they are deleted.
const std::vector<const char*>& temporaryFileNames();

// Deletes every temporary file of a run, ignoring failures: before the run
// those an earlier run left, after it (completed or failed) the run's own.
// Past its first use, before the run starts, it allocates nothing, so it
// can follow any failure.
void deleteTemporaryFiles();

}  // namespace landfer
