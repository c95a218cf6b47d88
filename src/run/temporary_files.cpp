#include "run/temporary_files.h"

#include <cstdio>

namespace landfer {

namespace {
const char* const cellFiles[] = {"cell1.tmp", "cell2.tmp", "cell3.tmp", "cell4.tmp"};

void deleteAll(const char* const* names, int count) {
    for (int i = 0; i < count; ++i) std::remove(names[i]);
}

// Records waiting for their top groups, and the world's cells.
const char* const stagedRecordFiles[] = {"globals.tmp", "books.tmp", "npc_records.tmp", "world.tmp"};
}  // namespace

void deleteTemporaryFilesBeforeRun() {
    static const char* const others[] = {"npcs.tmp", "cell_names.tmp", "quest_indx.tmp", "quest.tmp"};
    deleteAll(cellFiles, 4);
    deleteAll(others, 4);
    deleteAll(stagedRecordFiles, 4);
}

void deleteTemporaryFilesAfterRun() {
    static const char* const others[] = {"npcs.tmp", "cell_names.tmp", "quest.tmp", "quest_indx.tmp"};
    deleteAll(cellFiles, 4);
    deleteAll(others, 4);
    deleteAll(stagedRecordFiles, 4);
}

}  // namespace landfer
