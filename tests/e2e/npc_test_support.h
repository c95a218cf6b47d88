// Shared by the NPC end-to-end tests: NPC_ records to convert and the
// converted records read back.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "e2e_run.h"
#include "run_output.h"
#include "tes3_npc.h"

namespace npc_test {

using tes4::Bytes;

inline Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A complete NPC_ record of the usual shape.
inline tes3::Record npc(const std::string& id, const std::string& race = "Imperial", uint8_t flags = 0,
                        const std::string& npcClass = "Warrior") {
    tes3::Record record("NPC_");
    record.ztext("NAME", id).ztext("FNAM", "Name of " + id).ztext("RNAM", race).ztext("CNAM", npcClass);
    record.sub("NPDT", tes3::longNpdt(tes3::NpcStats())).sub("FLAG", tes3::npcFlags(flags));
    record.sub("AIDT", tes3::aiData(30, 0, 10, 0));
    return record;
}

// An NPC carrying one of each item.
inline tes3::Record carrying(std::initializer_list<const char*> itemIds, const std::string& id = "carrier") {
    tes3::Record record("NPC_");
    record.ztext("NAME", id).ztext("RNAM", "Imperial");
    for (const char* item : itemIds) record.sub("NPCO", tes3::inventoryEntry(1, item));
    record.sub("AIDT", tes3::aiData(0, 0, 0, 0));
    return record;
}

// The FormIDs of a converted NPC's inventory, in order.
inline std::vector<uint32_t> inventoryOf(const tes4::Entry& record) {
    std::vector<uint32_t> formIds;
    for (const auto& sub : record.subrecords)
        if (sub.type == "CNTO") formIds.push_back(tes4::u32(sub.data, 0));
    return formIds;
}

// A face-data file holding one FACE subrecord with the text.
inline Bytes faceMarker(const std::string& text) {
    std::string data = "FACE";
    data += static_cast<char>((text.size() + 1) & 0xFF);
    data += static_cast<char>((text.size() + 1) >> 8);
    data += text;
    data += '\0';
    return bytesOf(data);
}

// Replaces every face-data file with one FACE subrecord naming the file,
// so a test can see which file an NPC's face data came from.
inline void markFaceFiles(const e2e::WorkDir& work) {
    for (const char* face : {"Argonian", "Breton", "DarkElf", "HighElf", "Imperial", "Khajit", "Nord", "Orc",
                             "Redguard", "WoodElf"}) {
        for (const char* sex : {"Male.dat", "Female.dat"}) {
            std::string name = std::string(face) + sex;
            work.writeFile("lfdat/" + name, faceMarker(name));
        }
    }
}

using e2e::convertOk;

inline std::string textOf(const tes4::Subrecord* sub) {
    if (sub == nullptr) return "<absent>";
    return std::string(sub->data.begin(), sub->data.end() - (sub->data.empty() ? 0 : 1));
}

inline std::string faceOf(const tes4::Entry& record) { return textOf(record.find("FACE")); }

}  // namespace npc_test
