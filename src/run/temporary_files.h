// The files that converters stage data in, in the working directory.
#pragma once

namespace landfer {

// Deletes the temporary files of a run, ignoring failures. Before the run
// the quest index goes before the quest file; after it, the other way round.
void deleteTemporaryFilesBeforeRun();
void deleteTemporaryFilesAfterRun();

}  // namespace landfer
