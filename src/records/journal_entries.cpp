// Journal entries: each INFO of a journal topic becomes one quest stage,
// staged as a block of subrecords (INDX stage index, QSDT stage flags, CNAM
// log text, SCHR an empty result script) until its quest is written.
// Three marks change that: a deleted entry (DELE) is no entry at all; the
// entry that names the quest (QSTN) gives the quest its name instead of a
// stage; the entry that finishes the quest (QSTF) is a stage that
// completes it. The restart mark (QSTR) has no counterpart in an Oblivion
// stage: the entry stays an ordinary stage and the mark is reported lost.
#include <string_view>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "records/records.h"

namespace landfer {

void Records::handleJournalEntry(RecordData record) {
    // The response text (not 0-terminated in the input) and the journal
    // index, whose low 16 bits at offset 4 of DATA are the stage index.
    std::string_view text;
    uint16_t stageIndex = 0;
    bool deleted = false, namesQuest = false, finishesQuest = false, restartsQuest = false;
    SubrecordCursor cursor(record);
    while (!cursor.atEnd()) {
        Subrecord sub = cursor.next();
        if (sub.is("NAME")) text = sub.text();
        if (sub.is("DATA")) {
            sub.require(6);
            stageIndex = readUint16(sub.data + 4);
        }
        deleted = deleted || sub.is("DELE");
        namesQuest = namesQuest || sub.is("QSTN");
        finishesQuest = finishesQuest || sub.is("QSTF");
        restartsQuest = restartsQuest || sub.is("QSTR");
    }

    if (deleted) return;
    if (namesQuest) {
        if (!questHasTitle_) {
            questHasTitle_ = true;
            questTitle_ = std::string(text);
        }
        return;
    }

    SubrecordBuffer block;
    const uint8_t index[2] = {static_cast<uint8_t>(stageIndex), static_cast<uint8_t>(stageIndex >> 8)};
    block.add("INDX", index, 2);
    const uint8_t stageFlags = finishesQuest ? 0x01 : 0x00;  // 0x01: the stage completes the quest
    block.add("QSDT", &stageFlags, 1);
    block.addText("CNAM", text);
    block.addZeros("SCHR", 20);
    // A text too long for a 16-bit CNAM loses only its own stage.
    if (services_.rejectOversized("INFO", questName_, block)) return;

    FileWriter stages;
    if (!stages.open(questIndexFileName, "ab")) {
        services_.reporter.report("Unable to append to the temporary quest journal index file called %s: %s\n", questIndexFileName,
                   systemErrorText().c_str());
        return;
    }
    stages.write(block.bytes().data(), block.bytes().size());
    stages.close();

    questRecordSize_ += static_cast<uint32_t>(block.bytes().size());
    ++questStageCount_;
    if (restartsQuest) services_.losses.note(LossKind::journalRestart, questName_);
}

}  // namespace landfer
