// Quests: every Morrowind journal topic (a DIAL of type 4) becomes an
// Oblivion QUST whose editor ID is the topic name and whose stages are the
// topic's journal entries (its INFO records), in input order.
//
// The stages of the open quest are staged in "quest_indx.tmp"; when the
// quest closes (at the next topic or the end of the input) its finished
// record goes to "quest.tmp", taking its FormID then. At the end the quest
// file becomes the output's last top group.
#pragma once

#include "esm/record_reader.h"
#include "run/run_state.h"

namespace landfer {

extern const char* const questIndexFileName;
extern const char* const questFileName;

// A DIAL record: closes the open quest, then opens one if the topic is a journal.
int handleDialogueTopic(RunState& run, RecordData record);
// An INFO record of a journal topic: stages one quest stage.
// Returns 0 when staged, 1 when the entry is skipped.
int handleJournalEntry(RunState& run, RecordData record);
// Writes the open quest, if any, to the quest file. Called by every topic
// and once more at the end of the input for the last journal.
void closeOpenQuest(RunState& run);
// Appends the QUST top group holding the contents of the quest file.
int writeQuestGroup(RunState& run, const char* questFile);

}  // namespace landfer
