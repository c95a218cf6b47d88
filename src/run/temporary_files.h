// The files that the subsystems stage data in, in the working directory.
#pragma once

namespace landfer {

// Deletes every temporary file of a run, ignoring failures: before the run
// those an earlier run left, after it the run's own.
void deleteTemporaryFiles();

}  // namespace landfer
