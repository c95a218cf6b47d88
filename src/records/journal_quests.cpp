#include "records/journal_quests.h"

#include "esm/byte_order.h"
#include "lookup/lookup_lines.h"
#include "esm/fatal_error.h"
#include "esm/read_file.h"
#include "esm/staged_file.h"

namespace landfer {

namespace {

// The message for a journal that gives no stage. Its words are those of
// the time when the stages waited in a file of their own.
void reportEmptyQuest(const Reporter& reporter, const std::string& editorId) {
    reporter.report("Unable to open temporary quest journal entry file I recently think I've created for quest %s! "
                    "File should be called quest_indx.tmp: No such file or directory - probably just an empty "
                    "quest.\n",
                    editorId.c_str());
}

}  // namespace

size_t JournalQuests::questFor(const std::string& topicName) {
    // Morrowind's ids ignore the case of the ASCII letters; a topic name
    // holds no 0 byte.
    std::string key = topicName;
    lowercaseInPlace(key.data());
    auto [where, added] = byName_.emplace(std::move(key), quests_.size());
    if (added) {
        quests_.emplace_back();
        quests_.back().editorId = topicName;
    }
    return where->second;
}

bool JournalQuests::find(std::string_view journalName, uint32_t& formId) const {
    auto found = byName_.find(foldedCase(journalName));
    if (found == byName_.end() || quests_[found->second].formId == 0) return false;
    formId = quests_[found->second].formId;
    return true;
}

bool JournalQuests::offerTitle(size_t quest, const std::string& title) {
    Quest& named = quests_[quest];
    if (named.hasTitle) return false;
    named.hasTitle = true;
    named.title = title;
    return true;
}

SubrecordBuffer JournalQuests::questHead(const Quest& quest) {
    SubrecordBuffer head;
    head.addText("EDID", quest.editorId);
    if (quest.hasTitle) head.addText("FULL", quest.title);
    const uint8_t flagsAndPriority[2] = {1, 0};
    head.add("DATA", flagsAndPriority, 2);
    return head;
}

bool JournalQuests::acceptStages(size_t index) {
    Quest& quest = quests_[index];
    if (quest.rejected || quest.formId != 0) return !quest.rejected;
    if (services_.rejectOversized("QUST", quest.editorId, questHead(quest))) {
        quest.rejected = true;
        return false;
    }
    quest.formId = services_.formIds.take();
    formIdOrder_.push_back(index);
    return true;
}

void JournalQuests::addStages(size_t quest, const std::vector<JournalStage>& stages) {
    if (stages.empty() || !acceptStages(quest)) return;
    Quest& staged = quests_[quest];
    SubrecordBuffer blocks;
    for (const JournalStage& stage : stages) addStageBlock(blocks, stage);
    if (!stagesFile_.isOpen() && !stagesFile_.open(stagesFileName, "wb"))
        fatal("Unable to open %s for writing: %s\n", stagesFileName, systemErrorText().c_str());
    staged.pieces.push_back({stagesFile_.position(), blocks.bytes().size()});
    stagesFile_.write(blocks.bytes().data(), blocks.bytes().size());
    staged.stageCount += static_cast<int>(stages.size());
}

// The whole record data of a quest: its head, then its topics' stage blocks.
std::vector<uint8_t> JournalQuests::recordData(FILE* stages, const Quest& quest) const {
    MemorySink data;
    data.bytes = questHead(quest).bytes();
    for (const Piece& piece : quest.pieces) {
        if (!seekFile(stages, piece.offset, SEEK_SET))
            fatal("Unable to read from %s: %s\n", stagesFileName, systemErrorText().c_str());
        copyStagedBytes(stages, stagesFileName, data, piece.length);
    }
    return std::move(data.bytes);
}

void JournalQuests::reportEmptyQuests() const {
    for (const Quest& quest : quests_)
        if (quest.formId == 0 && !quest.rejected) reportEmptyQuest(services_.reporter, quest.editorId);
}

void JournalQuests::writeQuests() {
    if (formIdOrder_.empty()) return;
    stagesFile_.close();
    ReadFile stages = openForReading(stagesFileName);
    if (!stages) fatal("Unable to open %s for reading: %s\n", stagesFileName, systemErrorText().c_str());
    for (size_t index : formIdOrder_) {
        const Quest& quest = quests_[index];
        services_.output.writeRecord("QUST", quest.formId, recordData(stages.get(), quest));
        ++questCount_;
        journalEntryCount_ += quest.stageCount;
    }
}

}  // namespace landfer
