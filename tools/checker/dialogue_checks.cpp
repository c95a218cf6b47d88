#include "dialogue_checks.h"

#include <set>

#include "check_text.h"

namespace inspect {

namespace {

using tes4::Entry;

// The condition functions of Oblivion's dialogue that the conversion may write.
const std::set<uint16_t>& knownFunctions() {
    static const std::set<uint16_t> functions = {
        14,  18,  40,  42,  43,  44,  45,  46,  47,  50,  53,  56,  58,  59,  60,  61,  63,  64,
        66,  67,  68,  69,  70,  71,  72,  73,  74,  76,  77,  79,  80,  84,  116, 129, 130, 131,
        132, 133, 134, 135, 136, 149, 170, 176, 193, 249, 251, 254, 277, 288, 310};
    return functions;
}

bool isRecordOf(const std::map<uint32_t, const Entry*>& records, uint32_t formId, const char* type) {
    auto found = records.find(formId);
    return found != records.end() && found->second->type == type;
}

bool ofMaster(uint32_t formId) { return (formId >> 24) == 0; }

}  // namespace

std::string topicGroupProblem(const Entry& group, const std::function<std::string(const Entry&)>& note,
                              std::vector<const Entry*>& infos) {
    const auto& children = group.children;
    for (size_t i = 0; i < children.size(); i += 2) {
        const Entry& topic = children[i];
        if (topic.isGroup || topic.type != "DIAL") return at(topic.offset, "a DIAL group entry that is no DIAL record");
        if (std::string problem = note(topic); !problem.empty()) return problem;
        if (i + 1 >= children.size() || !children[i + 1].isGroup || children[i + 1].groupType != 7 ||
            children[i + 1].labelValue() != topic.formId)
            return at(topic.offset, "topic " + hex(topic.formId) + " without its Topic Children group");
        const Entry& responses = children[i + 1];
        if (std::string problem = note(responses); !problem.empty()) return problem;
        if (responses.children.empty()) return at(responses.offset, "empty Topic Children group");
        for (const Entry& info : responses.children) {
            if (info.isGroup || info.type != "INFO")
                return at(info.offset, "a Topic Children group entry that is no INFO record");
            if (std::string problem = note(info); !problem.empty()) return problem;
            infos.push_back(&info);
        }
    }
    return "";
}

std::string infoProblem(const Entry& info, const std::map<uint32_t, const Entry*>& records) {
    const tes4::Subrecord* quest = info.find("QSTI");
    if (quest == nullptr || quest->data.size() != 4) return at(info.offset, "INFO " + hex(info.formId) + " without a quest");
    const uint32_t questId = tes4::u32(quest->data, 0);
    if (!isRecordOf(records, questId, "QUST") && !ofMaster(questId))
        return at(info.offset, "INFO " + hex(info.formId) + " names quest " + hex(questId) + ", no QUST");
    for (const tes4::Subrecord& sub : info.subrecords) {
        if (sub.type == "CTDA") {
            if (sub.data.size() != 24) return at(info.offset, "INFO " + hex(info.formId) + " with a CTDA not 24 bytes long");
            const uint16_t function = tes4::u16(sub.data, 8);
            if (knownFunctions().count(function) == 0)
                return at(info.offset, "INFO " + hex(info.formId) + " with condition function " +
                                           std::to_string(function) + ", which Oblivion's dialogue does not know");
        }
        if (sub.type == "NAME") {
            const uint32_t topic = sub.data.size() == 4 ? tes4::u32(sub.data, 0) : 0;
            if (!isRecordOf(records, topic, "DIAL") && !(ofMaster(topic) && topic != 0))
                return at(info.offset, "INFO " + hex(info.formId) + " adds topic " + hex(topic) + ", no DIAL");
        }
    }
    return "";
}

}  // namespace inspect
