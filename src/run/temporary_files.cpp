#include "run/temporary_files.h"

#include <cstdio>

#include "actors/actors.h"
#include "landscape/landscape.h"
#include "records/records.h"

namespace landfer {

const std::vector<const char*>& temporaryFileNames() {
    static const std::vector<const char*> names = {
        Landscape::cellFileNames[0], Landscape::cellFileNames[1], Landscape::cellFileNames[2],
        Landscape::cellFileNames[3], NpcIndex::fileName,          Landscape::cellNamesFileName,
        Records::questIndexFileName, Records::questFileName,      Records::globalsFileName,
        Records::booksFileName,      Actors::recordsFileName,     Landscape::worldFileName,
        partialOutputName,
    };
    return names;
}

void deleteTemporaryFiles() {
    for (const char* name : temporaryFileNames()) std::remove(name);
}

}  // namespace landfer
