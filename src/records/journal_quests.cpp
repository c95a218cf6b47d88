#include "records/journal_quests.h"

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/read_file.h"
#include "esm/staged_file.h"

namespace landfer {

namespace {

// A journal that gives no stage gives no quest: Oblivion's has nothing
// to show of it.
void reportEmptyQuest(ProblemSink& problems, const std::string& editorId) {
    problems.tell(Problem::warned(
        "DIAL", editorId,
        formatText("The journal %s has no entries: no quest is made of it.\n", editorId.c_str())));
}

}  // namespace

size_t JournalQuests::questFor(const std::string& topicName) {
    // Morrowind's ids ignore the case of the ASCII letters.
    auto [where, added] = byName_.emplace(foldedCase(topicName), quests_.size());
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

void JournalQuests::writeQuestHead(const Quest& quest, RecordWriter& record) {
    record.text("EDID", quest.editorId);
    if (quest.hasTitle) record.text("FULL", quest.title);
    record.uint16("DATA", 1);  // flags 1, priority 0
}

bool JournalQuests::acceptStages(size_t index) {
    Quest& quest = quests_[index];
    if (quest.rejected || quest.formId != 0) return !quest.rejected;
    // The editor ID is claimed when the quest is made, at its first stage.
    quest.editorId = output_.editorIds.unique(quest.editorId);
    if (!subrecordsFit(problems_, "QUST", quest.editorId,
                       [&quest](RecordWriter& head) { writeQuestHead(quest, head); })) {
        quest.rejected = true;
        return false;
    }
    quest.formId = output_.formIds.take();
    formIdOrder_.push_back(index);
    return true;
}

void JournalQuests::addStages(size_t quest, const std::vector<JournalStage>& stages) {
    if (stages.empty() || !acceptStages(quest)) return;
    Quest& staged = quests_[quest];
    FileWriter& file = stagesFile_.append();
    int64_t start = file.position();
    stageWriter_.writeTo(file);
    stageWriter_.beginSubrecords("QUST", staged.editorId);
    for (const JournalStage& stage : stages) addStageBlock(stageWriter_, stage);
    stageWriter_.end();
    staged.pieces.push_back({start, static_cast<uint64_t>(file.position() - start)});
    staged.stageCount += static_cast<int>(stages.size());
}

void JournalQuests::writeQuest(BlockReader& stages, const Quest& quest) {
    RecordWriter& record = output_.plugin.beginRecord("QUST", quest.formId);
    writeQuestHead(quest, record);
    for (const Piece& piece : quest.pieces) {
        seekStaged(stages, stagesFile_.path().c_str(), piece.offset);
        piece_.bytes.clear();
        copyStagedBytes(stages, stagesFile_.path().c_str(), piece_, piece.length);
        record.subrecords(piece_.bytes.data(), piece_.bytes.size());
    }
    output_.plugin.endRecord();
}

void JournalQuests::reportEmptyQuests() const {
    for (const Quest& quest : quests_)
        if (quest.formId == 0 && !quest.rejected) reportEmptyQuest(problems_, quest.editorId);
}

void JournalQuests::writeQuests() {
    if (formIdOrder_.empty()) return;
    BlockReader stages = stagesFile_.readBack();
    for (size_t index : formIdOrder_) {
        const Quest& quest = quests_[index];
        writeQuest(stages, quest);
        ++questCount_;
        journalEntryCount_ += quest.stageCount;
    }
}

}  // namespace landfer
