#include "records/quests.h"

#include <cstdio>
#include <string>

#include "esm/fatal_error.h"
#include "esm/staged_file.h"

namespace landfer {

const char* const questIndexFileName = "quest_indx.tmp";
const char* const questFileName = "quest.tmp";

namespace {

constexpr uint8_t journalTopicType = 4;

// Appends the open quest's record to the quest file: header, EDID, FULL
// (when an entry named the quest), DATA (flags 1, priority 0) and the
// staged stage blocks as they were written.
void writeStagedQuest(RunState& run) {
    QuestState& quests = run.quests;
    StagedFile stages(std::fopen(questIndexFileName, "rb"));
    if (!stages) {
        // No stage was staged: a journal topic without entries.
        run.reporter.report("Unable to open temporary quest journal entry file I recently think I've created for quest %s! "
                   "File should be called %s: %s - probably just an empty quest.\n",
                   quests.questName.c_str(), questIndexFileName, systemErrorText().c_str());
        return;
    }
    auto discardStages = [&stages] {
        stages.reset();
        std::remove(questIndexFileName);
    };

    SubrecordBuffer head;
    head.addText("EDID", quests.questName);
    if (quests.questHasTitle) head.addText("FULL", quests.questTitle);
    const uint8_t flagsAndPriority[2] = {1, 0};
    head.add("DATA", flagsAndPriority, 2);
    if (run.rejectOversized("QUST", quests.questName, head)) return discardStages();

    FileWriter questFile;
    if (!questFile.open(questFileName, "ab")) {
        run.reporter.report("Unable to append to the temporary QUST (quest) record file called %s: %s", questFileName,
                   systemErrorText().c_str());
        return discardStages();
    }

    uint32_t dataSize = static_cast<uint32_t>(head.bytes().size()) + quests.questRecordSize;
    writeTypeAndSize(questFile, "QUST", dataSize);
    writePlainRecordTail(questFile, run.nextFormId);
    questFile.write(head.bytes().data(), head.bytes().size());
    copyStagedBytes(stages.get(), questIndexFileName, questFile, quests.questRecordSize);
    questFile.close();
    discardStages();

    quests.questBytes += dataSize;
    ++run.questCount;
    run.journalEntryCount += quests.questStageCount;
}

}  // namespace

void closeOpenQuest(RunState& run) {
    if (run.quests.questOpen) writeStagedQuest(run);
    run.quests.questOpen = false;
    run.quests.questHasTitle = false;
    run.quests.questTitle.clear();
    run.quests.questRecordSize = 0;
    run.quests.questStageCount = 0;
}

int handleDialogueTopic(RunState& run, RecordData record) {
    QuestState& quests = run.quests;
    closeOpenQuest(run);
    // Until the topic has been read whole it counts as ordinary, so the
    // responses of a malformed topic are never staged into any quest.
    quests.currentTopicKind = 1;
    quests.questName.clear();

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

    quests.questName = name;
    if (journal) {
        quests.questOpen = true;
        quests.currentTopicKind = 2;
        run.reporter.showProgress("J", true);
    }
    return 0;
}

int writeQuestGroup(RunState& run, const char* questFile) {
    // The group's size is patched in when the output is finished.
    run.output.openTopGroup("QUST");
    StagedFile quests(std::fopen(questFile, "rb"));
    if (!quests) {
        run.reporter.report("Unable to open the temporary quest data file I recently wrote!!!? %s: %s\n", questFile,
                   systemErrorText().c_str());
        return 0;
    }
    uint64_t length = run.quests.questBytes + uint64_t{headerSize} * static_cast<uint64_t>(run.questCount);
    copyStagedBytes(quests.get(), questFile, run.output.file(), length);
    return 0;
}

}  // namespace landfer
