// What the quest converter carries from record to record: the kind of the
// current dialogue topic and the quest being collected from a journal.
#pragma once

#include <cstdint>
#include <string>

namespace landfer {

struct QuestState {
    // 0 before any topic, 1 after an ordinary topic, 2 after a journal.
    // Responses (INFO) are converted only while it is 2.
    uint8_t currentTopicKind = 0;
    // A journal topic has been met and its quest is being collected.
    bool questOpen = false;
    // Name of the most recent topic: the editor ID of its quest.
    std::string questName;
    // The open quest's name, from the first journal entry that names it
    // (QSTN); without one the quest has no FULL.
    bool questHasTitle = false;
    std::string questTitle;
    // Bytes of stage blocks staged for the open quest.
    uint32_t questRecordSize = 0;
    // Stage blocks staged for the open quest; they count as journal entries
    // once their quest has been written.
    int questStageCount = 0;
    // Data sizes of all quest records written to the quest file.
    uint32_t questBytes = 0;
};

}  // namespace landfer
