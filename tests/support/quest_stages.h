// Reading quests back from an output: the stage blocks of a QUST record,
// checked for the layout every stage has.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tes4_reader.h"

namespace e2e {

// A zero-terminated text without its 0 byte.
inline std::string textOf(const tes4::Bytes& data) {
    return std::string(data.begin(), data.end() - (data.empty() ? 0 : 1));
}

struct Stage {
    uint16_t index;
    uint8_t flags;  // 0x01: the stage completes the quest
    std::string text;
    Stage(uint16_t index, std::string text) : index(index), flags(0), text(std::move(text)) {}
    Stage(uint16_t index, uint8_t flags, std::string text) : index(index), flags(flags), text(std::move(text)) {}
    bool operator==(const Stage& other) const {
        return index == other.index && flags == other.flags && text == other.text;
    }
};

inline void PrintTo(const Stage& stage, std::ostream* out) {
    *out << "{" << stage.index << ", " << int(stage.flags) << ", \"" << stage.text << "\"}";
}

// The stages of a quest record: EDID, FULL when the journal names the
// quest, DATA (flags 1, priority 0), then whole stage blocks
// INDX QSDT CNAM SCHR (an empty script header).
inline std::vector<Stage> stagesOf(const tes4::Entry& quest) {
    std::vector<Stage> stages;
    const auto& subs = quest.subrecords;
    std::string types;
    for (const auto& sub : subs) types += sub.type;
    const size_t head = types.substr(0, 12) == "EDIDFULLDATA" ? 3 : 2;
    EXPECT_EQ(types.substr(4 * (head - 1), 4), "DATA");
    if (subs.size() < head) return stages;
    EXPECT_EQ(subs[head - 1].data, (tes4::Bytes{1, 0}));
    EXPECT_EQ(subs.size() % 4, head % 4);
    for (size_t i = head; i + 3 < subs.size(); i += 4) {
        EXPECT_EQ(types.substr(4 * i, 16), "INDXQSDTCNAMSCHR");
        EXPECT_TRUE(subs[i + 1].data == tes4::Bytes{0} || subs[i + 1].data == tes4::Bytes{1});
        EXPECT_EQ(subs[i + 3].data, tes4::Bytes(20, 0));
        const tes4::Bytes& text = subs[i + 2].data;
        EXPECT_EQ(text.back(), 0);
        stages.emplace_back(tes4::u16(subs[i].data, 0), subs[i + 1].data.at(0), textOf(text));
    }
    return stages;
}

// The quests made from journals: every QUST but the dialogue's (priority 50).
inline std::vector<const tes4::Entry*> journalQuests(const tes4::File& file) {
    std::vector<const tes4::Entry*> quests;
    for (const tes4::Entry* quest : file.records("QUST")) {
        const tes4::Subrecord* data = quest->find("DATA");
        if (data == nullptr || data->data != tes4::Bytes{1, 50}) quests.push_back(quest);
    }
    return quests;
}

}  // namespace e2e
