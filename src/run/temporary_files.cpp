#include "run/temporary_files.h"

#include <cstdio>

#include "actors/actors.h"
#include "landscape/model_bases.h"
#include "landscape/staged_references.h"
#include "landscape/world_staging.h"
#include "records/dialogue.h"
#include "records/globals_and_books.h"
#include "records/journals.h"

namespace landfer {

const std::vector<const char*>& temporaryFileNames() {
    // With those that earlier versions staged in the working directory and
    // this one no longer writes: a run still clears them away.
    static const std::vector<const char*> names = {
        "cell1.tmp", "cell2.tmp", "cell3.tmp", "cell4.tmp", "cell_names.tmp", NpcIndex::fileName,
        Journals::oldStageFileName, Journals::questFileName, GlobalsAndBooks::globalsFileName,
        GlobalsAndBooks::booksFileName, Actors::recordsFileName, WorldStaging::fileName,
        StagedReferences::fileName, ModelBases::staticsFileName, ModelBases::containersFileName,
        ModelBases::lightsFileName, ModelBases::activatorsFileName, Dialogue::stagingFileName, partialOutputName,
    };
    return names;
}

void deleteTemporaryFiles() {
    for (const char* name : temporaryFileNames()) std::remove(name);
}

}  // namespace landfer
