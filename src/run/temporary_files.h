// The files of a run in the working directory: the output "LANDFER.ESP",
// the run's own staging folder (see StagingFolder), and the temporary files
// that earlier versions staged in the working directory itself.
#pragma once

#include <vector>

namespace landfer {

constexpr const char* outputName = "LANDFER.ESP";
// The output while it is written, in the run's staging folder; it takes
// the place of LANDFER.ESP only when the run succeeds, so that a failed
// run leaves an older one whole.
constexpr const char* partialOutputName = "LANDFER.ESP.tmp";
// The report while it is written, beside the partial output.
constexpr const char* partialReportName = "report.csv.tmp";

// The temporary files that earlier versions left in the working
// directory, in the order they are deleted.
const std::vector<const char*>& temporaryFileNames();

// Deletes them, ignoring failures, before the run starts. Past its first
// use it allocates nothing.
void deleteTemporaryFiles();

}  // namespace landfer
