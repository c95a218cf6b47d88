// The quests of a run, one per journal name. Morrowind takes two journal
// topics whose names differ only in letter case for one journal, the
// entries of the later topic following those of the earlier; so does this:
// a topic of a name met before adds its stages to that name's quest, and
// the quest keeps the editor ID of the first topic and the first name
// entry (QSTN) of all of them. No two quests share an editor ID.
//
// The stages of each closed topic wait in the run's "quest.tmp"; memory
// holds only where they stand. A quest takes its FormID when the first topic of its
// name that gives it a stage closes, and the quest group, written at the
// end, holds the quests in that order, each record made whole then.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "esm/file_writer.h"
#include "esm/staging_file.h"
#include "services/converted_ids.h"
#include "services/problems.h"
#include "services/record_output.h"
#include "records/journal_stage.h"

namespace landfer {

class JournalQuests : public ConvertedIds {
public:
    static constexpr const char* stagesFileName = "quest.tmp";

    JournalQuests(RecordOutput output, Problems& problems)
        : output_(output), problems_(problems), stagesFile_(output.staging.path(stagesFileName)) {}

    // The quest of a journal topic's name, made at the first topic of that
    // name (compared without regard to letter case).
    size_t questFor(const std::string& topicName);
    const std::string& editorId(size_t quest) const { return quests_[quest].editorId; }
    // The quest's name, unless an earlier name entry gave it one (false then).
    bool offerTitle(size_t quest, const std::string& title);
    // Adds the stages of one closed topic to its quest.
    void addStages(size_t quest, const std::vector<JournalStage>& stages);

    // The FormID of the quest of a journal name, once a stage gave it one.
    bool find(std::string_view journalName, uint32_t& formId) const override;

    // Reports every journal that never got a stage: it gives no quest.
    void reportEmptyQuests() const;
    // The quest records, into the quest group the run has opened.
    bool hasQuests() const { return !formIdOrder_.empty(); }
    void writeQuests();

    int questCount() const { return questCount_; }
    int journalEntryCount() const { return journalEntryCount_; }

private:
    // Stage blocks of one topic in the stages file.
    struct Piece {
        int64_t offset;
        uint64_t length;
    };
    struct Quest {
        std::string editorId;
        bool hasTitle = false;
        std::string title;
        uint32_t formId = 0;    // taken with the first stage
        bool rejected = false;  // too large to be written: reported, its stages dropped
        std::vector<Piece> pieces;
        int stageCount = 0;
    };

    // EDID, FULL (when a name entry named the quest) and DATA (flags 1, priority 0).
    static void writeQuestHead(const Quest& quest, RecordWriter& record);
    // Takes the quest's FormID at its first stage, or rejects it.
    bool acceptStages(size_t quest);
    // The whole quest record: its head, then its topics' stage blocks.
    void writeQuest(BlockReader& stages, const Quest& quest);

    RecordOutput output_;
    Problems& problems_;
    std::vector<Quest> quests_;                        // in the order first met
    std::unordered_map<std::string, size_t> byName_;  // by the name in lower case
    std::vector<size_t> formIdOrder_;                  // the quests with a FormID, in the order taken
    StagingFile stagesFile_;
    RecordWriter stageWriter_;
    MemorySink piece_;  // a piece read back, in storage reused
    int questCount_ = 0;
    int journalEntryCount_ = 0;
};

}  // namespace landfer
