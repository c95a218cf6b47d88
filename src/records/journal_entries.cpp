// Journal entries: each INFO of a journal topic becomes one quest stage.
// Three marks change that: a deleted entry (DELE) is no entry at all; the
// entry that names the quest (QSTN) gives the quest its name instead of a
// stage; the entry that finishes the quest (QSTF) is a stage that
// completes it. The restart mark (QSTR) has no counterpart in an Oblivion
// stage: the entry stays an ordinary stage and the mark is reported lost.
#include <string_view>

#include "esm/byte_order.h"
#include "records/journals.h"

namespace landfer {

void Journals::handleJournalEntry(RecordData record) {
    // The response text (not 0-terminated in the input) and the journal
    // index, whose low 16 bits at offset 4 of DATA are the stage index.
    JournalStage stage;
    std::string_view text;
    bool deleted = false, namesQuest = false, restartsQuest = false;
    SubrecordCursor cursor(record);
    while (!cursor.atEnd()) {
        Subrecord sub = cursor.next();
        if (sub.is("NAME")) text = sub.text();
        if (sub.is("DATA")) {
            sub.require(6);
            stage.index = readUint16(sub.data + 4);
        }
        deleted = deleted || sub.is("DELE");
        namesQuest = namesQuest || sub.is("QSTN");
        stage.completesQuest = stage.completesQuest || sub.is("QSTF");
        restartsQuest = restartsQuest || sub.is("QSTR");
    }

    if (deleted) return;
    const std::string& questId = quests_.editorId(topicQuest_);
    if (namesQuest) {
        // A name too long for a 16-bit FULL is lost alone, as a stage would be.
        SubrecordBuffer title;
        title.addText("FULL", text);
        if (!services_.rejectOversized("INFO", questId, title)) quests_.offerTitle(topicQuest_, std::string(text));
        return;
    }

    stage.text = std::string(text);
    SubrecordBuffer block;
    addStageBlock(block, stage);
    // A text too long for a 16-bit CNAM loses only its own stage.
    if (services_.rejectOversized("INFO", questId, block)) return;
    topicStages_.push_back(std::move(stage));
    if (restartsQuest) services_.losses.note(LossKind::journalRestart, questId);
}

}  // namespace landfer
