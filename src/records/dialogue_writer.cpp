// The dialogue at the end of the input: each topic's responses read back,
// put in Morrowind's order, their conditions made or the response left
// out, and written with their topics into the DIAL top group.
#include <algorithm>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "records/dialogue.h"
#include "records/dialogue_order.h"

namespace landfer {

namespace {

constexpr uint8_t topicType = 0, goodbyeFlag = 0x01;
constexpr uint8_t startGameEnabled = 0x01, questPriority = 50;

bool isConverted(const ConvertedConditions& conditions) {
    return conditions.lostReason.empty() && !conditions.scriptOnly;
}

void addCondition(RecordWriter& record, const Condition& condition) {
    std::vector<uint8_t>& ctda = record.subrecord("CTDA");
    appendUint32(ctda, condition.typeFlags);  // and three unused bytes
    appendFloat(ctda, condition.value);
    appendUint32(ctda, condition.function);  // and two unused bytes
    appendUint32(ctda, condition.parameter1);
    appendUint32(ctda, condition.parameter2);
    appendUint32(ctda, 0);
}

// One response of an INFO: neutral emotion, its number (from 1), the text, no actor notes.
void addResponseText(RecordWriter& record, const std::string& text, size_t number) {
    uint8_t trdt[16] = {};
    trdt[12] = static_cast<uint8_t>(std::min<size_t>(number, 255));
    record.bytes("TRDT", trdt, sizeof trdt);
    record.text("NAM1", text);
    record.text("NAM2", "");
}

}  // namespace

std::string Dialogue::uniqueEditorId(const std::string& name) {
    std::string stem = alphanumericStem(name);
    if (stem.empty()) stem = "Topic";
    return output_.editorIds.unique(stem);
}

void Dialogue::chooseTopics(BlockReader& staged, DialogueSources& sources) {
    for (Topic& topic : topics_) {
        if (!subrecordFits(topic.name.size() + 1)) continue;  // no FULL holds it: its responses are lost below
        for (const MorrowindResponse& response : stagedResponses(staged, topic))
            topic.converted = topic.converted || isConverted(convertConditions(response, sources));
    }
    const bool any = std::any_of(topics_.begin(), topics_.end(), [](const Topic& topic) { return topic.converted; });
    if (!any) return;
    questFormId_ = output_.formIds.take();
    questEditorId_ = output_.editorIds.unique(questEditorId_);
    for (size_t index = 0; index < topics_.size(); ++index) {
        Topic& topic = topics_[index];
        if (!topic.converted || topic.greeting) continue;
        topic.formId = output_.formIds.take();
        topic.editorId = uniqueEditorId(topic.name);
        topicNames_.add(topic.name, topic.formId);
    }
}

void Dialogue::writeResponse(uint32_t formId, const MorrowindResponse& response, const ConvertedConditions& conditions,
                             uint32_t previous, uint32_t ownTopic) {
    RecordWriter& record = output_.plugin.beginRecord("INFO", formId);
    const uint8_t info[3] = {topicType, 0, saysGoodbye(response.resultScript) ? goodbyeFlag : uint8_t(0)};
    record.bytes("DATA", info, sizeof info);
    record.formId("QSTI", questFormId_);
    record.formId("PNAM", previous);
    for (size_t named : topicNames_.namedIn(response.text))
        if (named != ownTopic) record.formId("NAME", static_cast<uint32_t>(named));
    const std::vector<std::string> pieces = splitResponseText(response.text);
    for (size_t i = 0; i < pieces.size(); ++i) addResponseText(record, pieces[i], i + 1);
    for (const Condition& condition : conditions.conditions) addCondition(record, condition);
    record.zeros("SCHR", 20);
    output_.plugin.endRecord();
}

// A response of a topic that keeps none can only be lost for the topic's name.
void Dialogue::reportLost(const Topic& topic, const ConvertedConditions& conditions) {
    if (conditions.scriptOnly)
        problems_.tell(Problem::lost(LossKind::scriptOnlyResponse, topic.name));
    else if (!conditions.lostReason.empty())
        problems_.tell(
            Problem::lost(LossKind::dialogueResponse, topic.name + ": " + conditions.lostReason));
    else
        problems_.tell(Problem::lost(LossKind::dialogueResponse, "a topic name too long for Oblivion"));
}

uint32_t Dialogue::writeResponses(BlockReader& staged, const Topic& topic, DialogueSources& sources, uint32_t previous) {
    const std::vector<MorrowindResponse> responses = stagedResponses(staged, topic);
    std::vector<ResponseLink> links;
    for (const MorrowindResponse& response : responses) links.push_back({response.id, response.previous});
    for (size_t index : chainOrder(links)) {
        const MorrowindResponse& response = responses[index];
        const ConvertedConditions conditions = convertConditions(response, sources);
        if (!isConverted(conditions) || !topic.converted) {
            reportLost(topic, conditions);
            continue;
        }
        const uint32_t formId = output_.formIds.take();
        writeResponse(formId, response, conditions, previous, topic.formId);
        previous = formId;
        ++responseCount_;
        if (!response.resultScript.empty())
            problems_.tell(
                Problem::lost(LossKind::resultScript, topic.name + " " + response.id, 1, response.resultScript));
        if (!response.sound.empty()) problems_.tell(Problem::lost(LossKind::responseSound, response.sound));
    }
    return previous;
}

void Dialogue::writeTopicRecord(uint32_t formId, const std::string& editorId, const std::string* name) {
    RecordWriter& record = output_.plugin.beginRecord("DIAL", formId);
    record.text("EDID", editorId);
    record.formId("QSTI", questFormId_);
    if (name != nullptr) record.text("FULL", *name);
    record.uint8("DATA", topicType);
    output_.plugin.endRecord();
    uint8_t label[4];
    storeUint32(label, formId);
    output_.plugin.openGroup(GroupType::topicChildren, label);
}

void Dialogue::writeTopicGroup(DialogueSources& sources) {
    if (!staging_.isOpen()) return;
    BlockReader staged = staging_.readBack();
    chooseTopics(staged, sources);
    if (questFormId_ == 0) {
        for (const Topic& topic : topics_) writeResponses(staged, topic, sources, 0);  // only reports them
        return;
    }
    output_.plugin.openTopGroup("DIAL");
    std::vector<size_t> greetings;
    for (size_t index = 0; index < topics_.size(); ++index)
        if (topics_[index].greeting) greetings.push_back(index);
    std::stable_sort(greetings.begin(), greetings.end(),
                     [this](size_t a, size_t b) { return topics_[a].greetingNumber < topics_[b].greetingNumber; });
    const bool anyGreeting = std::any_of(greetings.begin(), greetings.end(), [this](size_t g) { return topics_[g].converted; });
    if (anyGreeting) writeTopicRecord(greetingFormId, greetingEditorId, nullptr);
    uint32_t previous = 0;
    for (size_t g : greetings) {
        previous = writeResponses(staged, topics_[g], sources, previous);
        if (topics_[g].converted) ++topicCount_;
    }
    if (anyGreeting) output_.plugin.closeGroup(GroupType::topicChildren);
    for (const Topic& topic : topics_) {
        if (topic.greeting) continue;
        if (!topic.converted) {
            writeResponses(staged, topic, sources, 0);  // none is written: they are reported
            continue;
        }
        writeTopicRecord(topic.formId, topic.editorId, &topic.name);
        writeResponses(staged, topic, sources, 0);
        output_.plugin.closeGroup(GroupType::topicChildren);
        ++topicCount_;
    }
    output_.plugin.closeGroup(GroupType::top);
}

void Dialogue::writeQuest() {
    if (questFormId_ == 0) return;
    RecordWriter& record = output_.plugin.beginRecord("QUST", questFormId_);
    record.text("EDID", questEditorId_);
    const uint8_t flagsAndPriority[2] = {startGameEnabled, questPriority};
    record.bytes("DATA", flagsAndPriority, 2);
    output_.plugin.endRecord();
}

}  // namespace landfer
