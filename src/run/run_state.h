// Everything that lives for one conversion run: the output, the FormID
// counter, the counters of the summary and the state that converters hand
// on to each other. The run owns one RunState and passes it to every
// converter; nothing of it is global, so a run can be repeated in-process.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "run/losses.h"
#include "run/run_caches.h"
#include "landscape/landscape_state.h"
#include "esm/fatal_error.h"
#include "esm/reporter.h"
#include "lookup/class_table.h"
#include "lookup/face_data.h"
#include "lookup/item_table.h"
#include "lookup/land_texture_files.h"
#include "esm/output_plugin.h"
#include "esm/plugin_writer.h"
#include "esm/staged_records.h"
#include "records/quest_state.h"

namespace landfer {

struct RunState {
    RunState(FILE* progress = stdout, FILE* messages = stderr, const std::string& lookupDirectory = "lfdat")
        : reporter(progress, messages),
          items(lookupDirectory, reporter),
          classes(lookupDirectory, reporter),
          landTextureFiles(lookupDirectory, reporter),
          faces(lookupDirectory, reporter) {}
    RunState(const RunState&) = delete;
    RunState& operator=(const RunState&) = delete;

    // Progress characters and the summary, and messages.
    Reporter reporter;
    // The lookup files of the lookup data directory, each read at its first use.
    ItemTable items;
    ClassTable classes;
    LandTextureFiles landTextureFiles;
    FaceData faces;

    OutputPlugin output;
    int32_t nextFormId = firstFormId;
    // Globals, books and NPCs wait in files of their own for their top
    // groups, which come in this order, before the world and the quests.
    StagedRecords globals{"globals.tmp", "GLOB"};
    StagedRecords books{"books.tmp", "BOOK"};
    StagedRecords npcRecords{"npc_records.tmp", "NPC_"};

    // The summary's counters, each incremented by its converter.
    int exteriorCellCount = 0;
    int landCount = 0;
    int npcCount = 0;
    int placedNpcCount = 0;
    int inventorySwapCount = 0;
    int globalCount = 0;
    int bookCount = 0;
    int questCount = 0;
    int journalEntryCount = 0;

    // Records of unhandled types since the last "." of progress.
    int skipCounter = 0;

    // The exterior cell being converted, for its placed references.
    std::string currentCellName;
    int32_t currentCellGridX = 0;
    int32_t currentCellGridY = 0;
    LandscapeState landscape;

    // Dialogue topics and the quests collected from journals.
    QuestState quests;

    // What could not be carried over, for the report after the summary.
    Losses losses;

    // Lookup files and temporary lists held in memory for the run.
    RunCaches caches;

    // A record whose data holds a subrecord of 65536 bytes or more cannot be
    // written (subrecord sizes are 16-bit). Reports it, naming the record
    // type and editor ID, and returns true so the converter skips it.
    bool rejectOversized(std::string_view recordType, std::string_view editorId, const SubrecordBuffer& data);
};

}  // namespace landfer
