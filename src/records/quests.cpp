#include <string>

#include "records/journals.h"
#include "records/record_staging.h"

namespace landfer {

namespace {
constexpr uint8_t journalTopicType = 4;

// The message for a journal topic that gives no stage. Its words are those
// of the time when the stages waited in a file of their own.
void reportEmptyQuest(const Reporter& reporter, const std::string& editorId) {
    reporter.report("Unable to open temporary quest journal entry file I recently think I've created for quest %s! "
                    "File should be called %s: No such file or directory - probably just an empty quest.\n",
                    editorId.c_str(), Journals::oldStageFileName);
}
}  // namespace

// Stages the open quest's record: EDID, FULL (when an entry named the
// quest), DATA (flags 1, priority 0) and the stage blocks in input order.
void Journals::closeOpenQuest() {
    if (questOpen_ && quest_.stages.empty()) reportEmptyQuest(services_.reporter, quest_.editorId);
    if (questOpen_ && !quest_.stages.empty()) {
        SubrecordBuffer data;
        data.addText("EDID", quest_.editorId);
        if (quest_.hasTitle) data.addText("FULL", quest_.title);
        const uint8_t flagsAndPriority[2] = {1, 0};
        data.add("DATA", flagsAndPriority, 2);
        for (const JournalStage& stage : quest_.stages) addStageBlock(data, stage);
        if (stageRecord(services_, quests_, "QUST", quest_.editorId, data)) {
            ++questCount_;
            journalEntryCount_ += static_cast<int>(quest_.stages.size());
        }
    }
    questOpen_ = false;
    quest_ = OpenQuest();
}

void Journals::handleDialogueTopic(RecordData record) {
    closeOpenQuest();
    // Until the topic has been read whole it counts as ordinary, so the
    // responses of a malformed topic are never staged into any quest.
    topicKind_ = TopicKind::ordinary;

    std::string name;
    bool journal = false;
    SubrecordCursor cursor(record);
    while (!cursor.atEnd()) {
        Subrecord sub = cursor.next();
        if (sub.is("NAME")) name = std::string(sub.text());
        if (sub.is("DATA")) {
            sub.require(1);
            journal = sub.data[0] == journalTopicType;
        }
    }

    quest_.editorId = name;
    if (journal) {
        questOpen_ = true;
        topicKind_ = TopicKind::journal;
        services_.reporter.showProgress("J", true);
    }
}

}  // namespace landfer
