#include "actors/npc_builder.h"

#include <algorithm>

#include "esm/byte_order.h"

namespace landfer {

namespace {

void writeBaseStatistics(const MorrowindNpc& npc, RecordWriter& record) {
    uint32_t flags = 0x00100000;
    if (npc.female) flags |= 0x01;
    if (npc.essential) flags |= 0x02;
    if (npc.respawns) flags |= 0x08;
    if (npc.autoCalculated) flags |= 0x10;
    if (npc.scriptId == "nolore") flags |= 0x00002000;
    std::vector<uint8_t>& acbs = record.subrecord("ACBS");
    appendUint32(acbs, flags);
    appendUint16(acbs, npc.spellPoints);
    appendUint16(acbs, npc.fatigue);
    appendUint16(acbs, 50);  // bartering gold
    appendUint16(acbs, static_cast<uint16_t>(npc.level));
    appendUint16(acbs, 257);  // level calculation minimum
    appendUint16(acbs, 257);  // and maximum
}

void writeAiData(const MorrowindNpc& npc, RecordWriter& record) {
    uint8_t aidt[12] = {};
    if (npc.hasAi) {
        aidt[0] = 5;                                     // aggression
        aidt[1] = static_cast<uint8_t>(100 - npc.flee);  // confidence
        aidt[2] = static_cast<uint8_t>(npc.hello);       // energy level
        aidt[3] = static_cast<uint8_t>(npc.alarm);       // responsibility
    }
    record.bytes("AIDT", aidt, sizeof aidt);
}

// Oblivion's 21 skills from Morrowind's 27 (by Morrowind index); Blade and
// Blunt take the better of two Morrowind skills. Medium Armor, Spear,
// Enchant and Unarmored have no counterpart.
void writeSkillsAndAttributes(const MorrowindNpc& npc, RecordWriter& record) {
    const int8_t* s = npc.skills;
    const int8_t skills[21] = {s[1],  s[8],  std::max(s[5], s[22]), s[0],  std::max(s[4], s[6]), s[26], s[3],
                               s[16], s[11], s[13], s[10], s[12], s[14], s[15], s[20], s[21], s[23], s[24],
                               s[18], s[19], s[25]};
    std::vector<uint8_t>& data = record.subrecord("DATA");
    data.insert(data.end(), skills, skills + 21);
    appendUint32(data, npc.health);
    data.insert(data.end(), npc.attributes, npc.attributes + 8);
}

}  // namespace

void writeNpcData(const MorrowindNpc& npc, const NpcChoices& choices, RecordWriter& record) {
    record.text("EDID", choices.editorId);
    record.text("FULL", npc.fullName);
    record.text("MODL", skeletonPath(choices.race->beast));
    record.zeros("MODB", 4);
    writeBaseStatistics(npc, record);
    record.formId("RNAM", choices.race->formId);
    addInventory(record, choices.inventory);
    writeAiData(npc, record);
    record.formId("CNAM", choices.classFormId);
    writeSkillsAndAttributes(npc, record);
}

}  // namespace landfer
