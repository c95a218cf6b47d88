// Journal entries: each INFO of a journal topic becomes one quest stage.
// Three marks change that: a deleted entry (DELE) is no entry at all; the
// entry that names the quest (QSTN) gives the quest its name instead of a
// stage; the entry that finishes the quest (QSTF) is a stage that
// completes it. The restart mark (QSTR) has no counterpart in an Oblivion
// stage: the entry stays an ordinary stage and the mark is reported lost.
// An entry that no stage can hold (its index beyond 16 bits, its text too
// long) is left out and reported lost: it never becomes another stage.
#include <cstdint>
#include <string_view>

#include "esm/byte_order.h"
#include "records/journals.h"

namespace landfer {

namespace {

// One journal entry as the input gives it.
struct JournalEntry {
    std::string_view text;   // the response text (not 0-terminated in the input)
    int64_t index = 0;       // the journal index, a 32-bit number at offset 4 of DATA
    bool deleted = false, namesQuest = false, finishesQuest = false, restartsQuest = false;
};

JournalEntry readJournalEntry(RecordData record) {
    JournalEntry entry;
    SubrecordCursor cursor(record);
    while (!cursor.atEnd()) {
        Subrecord sub = cursor.next();
        if (sub.is("NAME")) entry.text = sub.text();
        if (sub.is("DATA")) {
            sub.require(8);
            entry.index = readInt32(sub.data + 4);
        }
        entry.deleted = entry.deleted || sub.is("DELE");
        entry.namesQuest = entry.namesQuest || sub.is("QSTN");
        entry.finishesQuest = entry.finishesQuest || sub.is("QSTF");
        entry.restartsQuest = entry.restartsQuest || sub.is("QSTR");
    }
    return entry;
}

constexpr int64_t largestStageIndex = 0xFFFF;

}  // namespace

void Journals::handleJournalEntry(RecordData record) {
    const JournalEntry entry = readJournalEntry(record);
    if (entry.deleted) return;
    if (entry.namesQuest) return takeQuestName(entry.text);

    const std::string& questId = quests_.editorId(topicQuest_);
    if (entry.index < 0 || entry.index > largestStageIndex) {
        services_.reporter.report(
            "The INFO record %s cannot be converted: its journal index %lld is beyond a quest stage's 0 to 65535. "
            "Ignoring!\n",
            questId.c_str(), static_cast<long long>(entry.index));
        services_.losses.note(LossKind::journalIndex, questId);
        return;
    }
    JournalStage stage;
    stage.index = static_cast<uint16_t>(entry.index);
    stage.completesQuest = entry.finishesQuest;
    stage.text = std::string(entry.text);
    SubrecordBuffer block;
    addStageBlock(block, stage);
    // A text too long for a 16-bit CNAM loses only its own stage.
    if (services_.rejectOversized("INFO", questId, block)) {
        services_.losses.note(LossKind::journalTooLong, questId);
        return;
    }
    topicStages_.push_back(std::move(stage));
    if (entry.restartsQuest) services_.losses.note(LossKind::journalRestart, questId);
}

// The first name entry names the quest; a later one is lost, and so is a
// name too long for a 16-bit FULL.
void Journals::takeQuestName(std::string_view name) {
    const std::string& questId = quests_.editorId(topicQuest_);
    SubrecordBuffer title;
    title.addText("FULL", name);
    if (services_.rejectOversized("INFO", questId, title))
        services_.losses.note(LossKind::journalTooLong, questId);
    else if (!quests_.offerTitle(topicQuest_, std::string(name)))
        services_.losses.note(LossKind::journalName, questId);
}

}  // namespace landfer
