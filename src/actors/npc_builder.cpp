#include "actors/npc_builder.h"

#include <algorithm>

#include "esm/byte_order.h"

namespace landfer {

namespace {

std::vector<uint8_t> baseStatistics(const MorrowindNpc& npc) {
    uint32_t flags = 0x00100000;
    if (npc.female) flags |= 0x01;
    if (npc.essential) flags |= 0x02;
    if (npc.respawns) flags |= 0x08;
    if (npc.autoCalculated) flags |= 0x10;
    if (npc.scriptId == "nolore") flags |= 0x00002000;
    std::vector<uint8_t> acbs;
    appendUint32(acbs, flags);
    appendUint16(acbs, npc.spellPoints);
    appendUint16(acbs, npc.fatigue);
    appendUint16(acbs, 50);  // bartering gold
    appendUint16(acbs, static_cast<uint16_t>(npc.level));
    appendUint16(acbs, 257);  // level calculation minimum
    appendUint16(acbs, 257);  // and maximum
    return acbs;
}

std::vector<uint8_t> aiData(const MorrowindNpc& npc) {
    std::vector<uint8_t> aidt(12, 0);
    if (!npc.hasAi) return aidt;
    aidt[0] = 5;                                         // aggression
    aidt[1] = static_cast<uint8_t>(100 - npc.flee);      // confidence
    aidt[2] = static_cast<uint8_t>(npc.hello);           // energy level
    aidt[3] = static_cast<uint8_t>(npc.alarm);           // responsibility
    return aidt;
}

// Oblivion's 21 skills from Morrowind's 27 (by Morrowind index); Blade and
// Blunt take the better of two Morrowind skills. Medium Armor, Spear,
// Enchant and Unarmored have no counterpart.
std::vector<uint8_t> skillsAndAttributes(const MorrowindNpc& npc) {
    const int8_t* s = npc.skills;
    const int8_t skills[21] = {s[1],  s[8],  std::max(s[5], s[22]), s[0],  std::max(s[4], s[6]), s[26], s[3],
                               s[16], s[11], s[13], s[10], s[12], s[14], s[15], s[20], s[21], s[23], s[24],
                               s[18], s[19], s[25]};
    std::vector<uint8_t> data(skills, skills + 21);
    appendUint32(data, npc.health);
    data.insert(data.end(), npc.attributes, npc.attributes + 8);
    return data;
}

}  // namespace

SubrecordBuffer buildNpcData(const MorrowindNpc& npc, const NpcChoices& choices) {
    SubrecordBuffer data;
    data.addText("EDID", npc.editorId);
    data.addText("FULL", npc.fullName);
    data.addText("MODL", skeletonPath(choices.race->beast));
    data.addZeros("MODB", 4);
    std::vector<uint8_t> acbs = baseStatistics(npc);
    data.add("ACBS", acbs.data(), acbs.size());
    std::vector<uint8_t> formId;
    appendUint32(formId, choices.race->formId);
    data.add("RNAM", formId.data(), 4);
    addInventory(data, choices.inventory);
    std::vector<uint8_t> aidt = aiData(npc);
    data.add("AIDT", aidt.data(), aidt.size());
    formId.clear();
    appendUint32(formId, choices.classFormId);
    data.add("CNAM", formId.data(), 4);
    std::vector<uint8_t> stats = skillsAndAttributes(npc);
    data.add("DATA", stats.data(), stats.size());
    return data;
}

}  // namespace landfer
