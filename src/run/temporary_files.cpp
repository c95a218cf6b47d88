#include "run/temporary_files.h"

#include <cstdio>

#include "actors/actors.h"
#include "landscape/model_statics.h"
#include "landscape/staged_references.h"
#include "landscape/world_staging.h"
#include "records/globals_and_books.h"
#include "records/journals.h"

namespace landfer {

namespace {

// Files that earlier versions staged in the working directory and this
// one no longer writes; a run still clears them away.
const char* const olderTemporaryFiles[] = {"cell1.tmp", "cell2.tmp", "cell3.tmp", "cell4.tmp", "cell_names.tmp"};

}  // namespace

void deleteTemporaryFiles() {
    for (const char* name : olderTemporaryFiles) std::remove(name);
    for (const char* name : {NpcIndex::fileName, Journals::oldStageFileName, Journals::questFileName,
                             GlobalsAndBooks::globalsFileName, GlobalsAndBooks::booksFileName, Actors::recordsFileName,
                             WorldStaging::fileName, StagedReferences::fileName, ModelStatics::fileName})
        std::remove(name);
}

}  // namespace landfer
