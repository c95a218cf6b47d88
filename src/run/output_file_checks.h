// Checks on the output path "LANDFER.ESP" before anything is written.
#pragma once

#include <string>

namespace landfer {

// Raises FatalError when the input is the output file itself (the same
// name, another path to it, a hard or symbolic link): creating the output
// would destroy the input. Called first of all, before any file is touched.
void refuseInputThatIsOutput(const std::string& inputName, const char* outputName);

// Raises FatalError when the loss report asked for would be written over
// the input or the output plugin.
void refuseReportThatIsAPlugin(const std::string& reportName, const std::string& inputName, const char* outputName);

// Raises FatalError with the open-for-writing message when the output path
// holds something other than a regular file (a directory, a FIFO, which
// would block the run forever, a device): only a regular file is replaced.
void refuseOutputThatIsNoRegularFile(const char* outputName);

}  // namespace landfer
