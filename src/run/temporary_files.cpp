#include "run/temporary_files.h"

#include <cstdio>

namespace landfer {

const std::vector<const char*>& temporaryFileNames() {
    // Every name that a version before the staging folder used; a run still
    // clears them away, and no input, master or report may bear one.
    static const std::vector<const char*> names = {
        "cell1.tmp",     "cell2.tmp",      "cell3.tmp",       "cell4.tmp",      "cell_names.tmp",
        "npcs.tmp",      "quest_indx.tmp", "quest.tmp",       "globals.tmp",    "books.tmp",
        "npc_records.tmp", "world.tmp",    "references.tmp",  "statics.tmp",    "containers.tmp",
        "lights.tmp",    "activators.tmp", "dialogue.tmp",    partialOutputName,
    };
    return names;
}

void deleteTemporaryFiles() {
    for (const char* name : temporaryFileNames()) std::remove(name);
}

}  // namespace landfer
