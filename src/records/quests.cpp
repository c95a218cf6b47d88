#include "records/records.h"

#include <cstdio>
#include <string>

#include "esm/fatal_error.h"
#include "esm/staged_file.h"

namespace landfer {

namespace {
constexpr uint8_t journalTopicType = 4;
}  // namespace

// Appends the open quest's record to the quest file: header, EDID, FULL
// (when an entry named the quest), DATA (flags 1, priority 0) and the
// staged stage blocks as they were written.
void Records::writeStagedQuest() {
    ReadFile stages = openForReading(questIndexFileName);
    if (!stages) {
        // No stage was staged: a journal topic without entries.
        services_.reporter.report("Unable to open temporary quest journal entry file I recently think I've created for quest %s! "
                   "File should be called %s: %s - probably just an empty quest.\n",
                   questName_.c_str(), questIndexFileName, systemErrorText().c_str());
        return;
    }
    auto discardStages = [&stages] {
        stages.reset();
        std::remove(questIndexFileName);
    };

    SubrecordBuffer head;
    head.addText("EDID", questName_);
    if (questHasTitle_) head.addText("FULL", questTitle_);
    const uint8_t flagsAndPriority[2] = {1, 0};
    head.add("DATA", flagsAndPriority, 2);
    if (services_.rejectOversized("QUST", questName_, head)) return discardStages();

    FileWriter questFile;
    if (!questFile.open(questFileName, "ab")) {
        services_.reporter.report("Unable to append to the temporary QUST (quest) record file called %s: %s", questFileName,
                   systemErrorText().c_str());
        return discardStages();
    }

    uint32_t dataSize = static_cast<uint32_t>(head.bytes().size()) + questRecordSize_;
    writeTypeAndSize(questFile, "QUST", dataSize);
    writePlainRecordTail(questFile, services_.formIds.take());
    questFile.write(head.bytes().data(), head.bytes().size());
    copyStagedBytes(stages.get(), questIndexFileName, questFile, questRecordSize_);
    questFile.close();
    discardStages();

    questBytes_ += dataSize;
    ++questCount_;
    journalEntryCount_ += questStageCount_;
}

bool Records::stage(StagedRecords& records, const char* type, const std::string& identifier,
                    const SubrecordBuffer& data) {
    if (services_.rejectOversized(type, identifier, data)) return false;
    writePlainRecord(records.file(), services_.formIds.take(), type, data.bytes());
    records.recordWritten();
    return true;
}

void Records::closeOpenQuest() {
    if (questOpen_) writeStagedQuest();
    questOpen_ = false;
    questHasTitle_ = false;
    questTitle_.clear();
    questRecordSize_ = 0;
    questStageCount_ = 0;
}

void Records::handleDialogueTopic(RecordData record) {
    closeOpenQuest();
    // Until the topic has been read whole it counts as ordinary, so the
    // responses of a malformed topic are never staged into any quest.
    topicKind_ = 1;
    questName_.clear();

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

    questName_ = name;
    if (journal) {
        questOpen_ = true;
        topicKind_ = 2;
        services_.reporter.showProgress("J", true);
    }
}

void Records::writeQuestGroup() {
    if (questBytes_ == 0) return;
    const char* questFile = questFileName;
    // The group's size is patched in when the output is finished.
    services_.output.openTopGroup("QUST");
    ReadFile quests = openForReading(questFile);
    if (!quests) {
        services_.reporter.report("Unable to open the temporary quest data file I recently wrote!!!? %s: %s\n", questFile,
                   systemErrorText().c_str());
        return;
    }
    uint64_t length = questBytes_ + uint64_t{headerSize} * static_cast<uint64_t>(questCount_);
    services_.output.copyStaged(quests.get(), questFile, length, static_cast<uint64_t>(questCount_));
}

}  // namespace landfer
