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

#include "records/dialogue_records.h"
#include "records/journals.h"

namespace landfer {

namespace {

constexpr int64_t largestStageIndex = 0xFFFF;

}  // namespace

void Journals::handleJournalEntry(RecordData record) {
    const MorrowindResponse entry = readMorrowindResponse(record);
    if (entry.deleted) return;
    if (entry.namesQuest) return takeQuestName(entry.text);

    const std::string& questId = quests_.editorId(topicQuest_);
    if (entry.disposition < 0 || entry.disposition > largestStageIndex) {
        problems_.tell(Problem::lost(LossKind::journalIndex, questId)
                                    .saying("INFO", formatText("The INFO record %s cannot be converted: its journal "
                                                               "index %lld is beyond a quest stage's 0 to 65535. "
                                                               "Ignoring!\n",
                                                               questId.c_str(),
                                                               static_cast<long long>(entry.disposition))));
        return;
    }
    JournalStage stage;
    stage.index = static_cast<uint16_t>(entry.disposition);
    stage.completesQuest = entry.finishesQuest;
    stage.text = std::string(entry.text);
    // A text too long for a 16-bit CNAM loses only its own stage.
    if (!subrecordsFit(problems_, "INFO", questId, [&stage](RecordWriter& block) { addStageBlock(block, stage); },
                       LossKind::journalTooLong))
        return;
    topicStages_.push_back(std::move(stage));
    if (entry.restartsQuest) problems_.tell(Problem::lost(LossKind::journalRestart, questId));
}

// The first name entry names the quest; a later one is lost, and so is a
// name too long for a 16-bit FULL.
void Journals::takeQuestName(std::string_view name) {
    const std::string& questId = quests_.editorId(topicQuest_);
    if (!subrecordsFit(problems_, "INFO", questId, [name](RecordWriter& title) { title.text("FULL", name); },
                       LossKind::journalTooLong))
        return;
    if (!quests_.offerTitle(topicQuest_, std::string(name)))
        problems_.tell(Problem::lost(LossKind::journalName, questId));
}

}  // namespace landfer
