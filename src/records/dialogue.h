// The dialogue: Morrowind's conversation topics (DIAL type 0) become
// Oblivion topics, its greetings (type 2, "Greeting 0" to "Greeting 9")
// responses of Oblivion's GREETING, each response (INFO) an Oblivion INFO
// with the conditions that choose it, all held by one quest of their own
// that runs from the start of the game. Voice and persuasion topics stay
// behind, reported; journals are the journals' own.
//
// The responses wait in the run's "dialogue.tmp" as the input gives them
// until the end of the input, when every cell, NPC, global and journal quest that
// their conditions name is known; memory holds the topics and where their
// responses stand.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "esm/staging_file.h"
#include "esm/read_file.h"
#include "esm/record_reader.h"
#include "records/dialogue_conditions.h"
#include "records/dialogue_records.h"
#include "records/dialogue_text.h"
#include "services/problems.h"
#include "services/record_output.h"

namespace landfer {

class Dialogue {
public:
    static constexpr const char* stagingFileName = "dialogue.tmp";
    // Oblivion.esm's topic of the greetings.
    static constexpr uint32_t greetingFormId = 0x000000C8;
    static constexpr const char* greetingEditorId = "GREETING";

    // The quest's editor ID is made from the input plugin's file name.
    Dialogue(RecordOutput output, Problems& problems, std::string_view inputPath);

    // Before a DIAL record is read: the responses that follow belong to no
    // topic of the dialogue until the topic is read whole.
    void leaveTopic() { inTopic_ = false; currentLostTopic_.clear(); }
    // A DIAL record (not deleted): the topic its responses belong to.
    void handleTopic(RecordData record);
    // An INFO record after a topic other than a journal.
    void handleResponse(RecordData record);
    // After the last record: the DIAL top group, every topic with its
    // converted responses, in FormID order (GREETING first).
    void writeTopicGroup(DialogueSources& sources);
    // The dialogue quest, in the quest group the run has opened; nothing
    // when no response was converted.
    void writeQuest();
    bool hasQuest() const { return questFormId_ != 0; }

    int topicCount() const { return topicCount_; }
    int responseCount() const { return responseCount_; }

private:
    struct Piece {
        int64_t offset;  // of the first response in the staging file
        size_t count;
    };
    struct Topic {
        std::string name;  // as first met
        bool greeting = false;
        int greetingNumber = 0;  // 0 to 9; 10 for a greeting of another name
        std::vector<Piece> pieces;
        bool converted = false;  // at least one response is converted
        uint32_t formId = 0;
        std::string editorId;
    };

    size_t topicFor(const MorrowindTopic& topic);
    std::vector<MorrowindResponse> stagedResponses(BlockReader& staged, const Topic& topic) const;
    // First pass: which topics keep a response; then their FormIDs.
    void chooseTopics(BlockReader& staged, DialogueSources& sources);
    // The converted responses of a topic in Morrowind's order, chained
    // behind `previous`, each reported lost or taken; the FormID of the last.
    uint32_t writeResponses(BlockReader& staged, const Topic& topic, DialogueSources& sources, uint32_t previous);
    void writeResponse(uint32_t formId, const MorrowindResponse& response, const ConvertedConditions& conditions,
                       uint32_t previous, uint32_t ownTopic);
    void reportLost(const Topic& topic, const ConvertedConditions& conditions);
    void writeTopicRecord(uint32_t formId, const std::string& editorId, const std::string* name);
    // An editor ID made of the name's letters and digits, unique in the plugin.
    std::string uniqueEditorId(const std::string& name);

    RecordOutput output_;
    Problems& problems_;
    std::string questEditorId_;
    std::vector<Topic> topics_;                        // in the order first met
    std::unordered_map<std::string, size_t> byName_;  // by the name in lower case
    // The topic the responses now belong to, when it is one of the dialogue's.
    bool inTopic_ = false;
    size_t currentTopic_ = 0;
    bool pieceOpen_ = false;  // the current topic's last piece takes its next response
    std::string currentLostTopic_;  // a voice or persuasion topic, whose responses stay behind
    StagingFile staging_;
    TopicNames topicNames_;
    uint32_t questFormId_ = 0;
    int topicCount_ = 0;
    int responseCount_ = 0;
};

}  // namespace landfer
