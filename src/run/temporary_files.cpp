#include "run/temporary_files.h"

#include <cstdio>

#include "actors/actors.h"
#include "landscape/landscape.h"
#include "records/records.h"

namespace landfer {

void deleteTemporaryFiles() {
    for (const char* name : Landscape::cellFileNames) std::remove(name);
    for (const char* name : {NpcIndex::fileName, Landscape::cellNamesFileName, Records::questIndexFileName,
                             Records::questFileName, Records::globalsFileName, Records::booksFileName,
                             Actors::recordsFileName, Landscape::worldFileName})
        std::remove(name);
}

}  // namespace landfer
