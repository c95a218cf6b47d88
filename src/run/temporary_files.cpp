#include "run/temporary_files.h"

#include <cstdio>

#include "actors/actors.h"
#include "landscape/landscape.h"
#include "records/globals_and_books.h"
#include "records/journals.h"

namespace landfer {

void deleteTemporaryFiles() {
    for (const char* name : Landscape::cellFileNames) std::remove(name);
    for (const char* name : {NpcIndex::fileName, Landscape::cellNamesFileName, Journals::oldStageFileName,
                             Journals::questFileName, GlobalsAndBooks::globalsFileName, GlobalsAndBooks::booksFileName,
                             Actors::recordsFileName, Landscape::worldFileName})
        std::remove(name);
}

}  // namespace landfer
