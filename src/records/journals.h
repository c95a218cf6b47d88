// Journals: every journal topic (a DIAL of type 4) becomes an Oblivion QUST
// whose editor ID is the topic name and whose stages are the topic's
// journal entries (its INFO records), in input order.
//
// The open quest waits in memory (one topic's entries); when it closes (at
// the next topic or the end of the input) its finished record is staged in
// "quest.tmp", taking its FormID then, for the output's last top group.
#pragma once

#include <string>
#include <vector>

#include "esm/record_reader.h"
#include "esm/staged_records.h"
#include "lookup/conversion_services.h"
#include "records/journal_stage.h"

namespace landfer {

// What the most recent dialogue topic was; responses (INFO) are journal
// entries only after a journal topic.
enum class TopicKind { none, ordinary, journal };

class Journals {
public:
    static constexpr const char* questFileName = "quest.tmp";
    // Where earlier versions kept the open quest's stages; still deleted
    // at the start of a run.
    static constexpr const char* oldStageFileName = "quest_indx.tmp";

    explicit Journals(ConversionServices& services) : services_(services) {}

    // A DIAL record: closes the open quest, then opens one if the topic is a journal.
    void handleDialogueTopic(RecordData record);
    // Whether INFO records now are entries of a journal.
    bool inJournal() const { return topicKind_ == TopicKind::journal; }
    // An INFO record of a journal topic: one stage of the open quest.
    void handleJournalEntry(RecordData record);
    // Stages the open quest, if any. Called by every topic and once more at
    // the end of the input for the last journal.
    void closeOpenQuest();

    // The quest group, appended to the output (nothing without quests).
    void writeQuestGroup() { quests_.copyInto(services_.output); }

    int questCount() const { return questCount_; }
    int journalEntryCount() const { return journalEntryCount_; }

private:
    // The quest of the most recent journal topic.
    struct OpenQuest {
        std::string editorId;  // the topic name
        // From the first journal entry that names the quest (QSTN); without
        // one the quest has no FULL.
        bool hasTitle = false;
        std::string title;
        std::vector<JournalStage> stages;
    };

    ConversionServices& services_;
    StagedRecords quests_{questFileName, "QUST"};
    TopicKind topicKind_ = TopicKind::none;
    bool questOpen_ = false;
    OpenQuest quest_;
    int questCount_ = 0;
    int journalEntryCount_ = 0;
};

}  // namespace landfer
