// Reading the dialogue back from an output: each topic with its responses
// in the order they stand, and what a response holds.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tes4_reader.h"

namespace e2e {

struct OutputTopic {
    const tes4::Entry* record = nullptr;
    std::vector<const tes4::Entry*> responses;
};

// The topics of the DIAL top group (none without one), each followed by its Topic Children group.
inline std::vector<OutputTopic> topicsOf(const tes4::File& file) {
    std::vector<OutputTopic> topics;
    for (const tes4::Entry* group : file.topGroups("DIAL"))
        for (const tes4::Entry& child : group->children) {
            if (!child.isGroup) {
                topics.push_back({&child, {}});
            } else if (!topics.empty()) {
                for (const tes4::Entry& info : child.children) topics.back().responses.push_back(&info);
            }
        }
    return topics;
}

struct OutputCondition {
    uint8_t typeFlags;
    float value;
    uint16_t function;
    uint32_t parameter1;
    bool operator==(const OutputCondition& other) const {
        return typeFlags == other.typeFlags && value == other.value && function == other.function &&
               parameter1 == other.parameter1;
    }
};

inline void PrintTo(const OutputCondition& c, std::ostream* out) {
    *out << "{0x" << std::hex << int(c.typeFlags) << std::dec << ", " << c.value << ", " << c.function << ", 0x"
         << std::hex << c.parameter1 << std::dec << "}";
}

inline std::vector<OutputCondition> conditionsOf(const tes4::Entry& info) {
    std::vector<OutputCondition> conditions;
    for (const auto& sub : info.subrecords)
        if (sub.type == "CTDA" && sub.data.size() == 24)
            conditions.push_back({sub.data[0], tes4::f32(sub.data, 4), tes4::u16(sub.data, 8), tes4::u32(sub.data, 12)});
    return conditions;
}

// The FormIDs in every subrecord of a type (PNAM, NAME, QSTI).
inline std::vector<uint32_t> formIdsOf(const tes4::Entry& record, const std::string& type) {
    std::vector<uint32_t> formIds;
    for (const auto& sub : record.subrecords)
        if (sub.type == type && sub.data.size() == 4) formIds.push_back(tes4::u32(sub.data, 0));
    return formIds;
}

// The texts of a response's NAM1 subrecords.
inline std::vector<std::string> responseTexts(const tes4::Entry& info) {
    std::vector<std::string> texts;
    for (const auto& sub : info.subrecords)
        if (sub.type == "NAM1") texts.emplace_back(sub.data.begin(), sub.data.end() - (sub.data.empty() ? 0 : 1));
    return texts;
}

}  // namespace e2e
