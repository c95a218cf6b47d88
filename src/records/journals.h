// Journals: every journal topic (a DIAL of type 4) becomes an Oblivion QUST
// whose editor ID is the topic name and whose stages are the topic's
// journal entries (its INFO records), in input order; topics of one name
// make one quest (see JournalQuests).
//
// The entries of the open topic wait in memory until the topic closes (at
// the next topic or the end of the input).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "esm/record_reader.h"
#include "records/journal_quests.h"
#include "records/journal_stage.h"
#include "services/problems.h"
#include "services/record_output.h"

namespace landfer {

// What the most recent dialogue topic was; responses (INFO) are journal
// entries only after a journal topic.
enum class TopicKind { none, ordinary, journal };

class Journals {
public:
    Journals(RecordOutput output, Problems& problems) : problems_(problems), quests_(output, problems) {}

    // A DIAL record: closes the open topic, then opens one if it is a journal.
    void handleDialogueTopic(RecordData record);
    // Whether INFO records now are entries of a journal.
    bool inJournal() const { return topicKind_ == TopicKind::journal; }
    // An INFO record of a journal topic: one stage of its quest.
    void handleJournalEntry(RecordData record);
    // At the end of the input: closes the last topic and reports the
    // journals that give no quest.
    void finishInput();

    // The quest records, into the quest group the run has opened.
    bool hasQuests() const { return quests_.hasQuests(); }
    void writeQuests() { quests_.writeQuests(); }

    // The journal quests by journal name, for the dialogue's journal filters.
    const ConvertedIds& convertedQuests() const { return quests_; }

    int questCount() const { return quests_.questCount(); }
    int journalEntryCount() const { return quests_.journalEntryCount(); }

private:
    void closeTopic();
    void takeQuestName(std::string_view name);

    Problems& problems_;
    JournalQuests quests_;
    TopicKind topicKind_ = TopicKind::none;
    // The quest of the open journal topic and the topic's stages so far.
    size_t topicQuest_ = 0;
    std::vector<JournalStage> topicStages_;
};

}  // namespace landfer
