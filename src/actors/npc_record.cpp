#include "actors/npc_record.h"

#include <cstring>

#include "esm/byte_order.h"

namespace landfer {

namespace {

constexpr size_t shortNpdtSize = 12;
constexpr size_t longNpdtRead = 44;  // level, attributes, skills, health, spell points, fatigue
constexpr size_t npcoSize = 36;      // count and a 32-byte item id
constexpr size_t aidtRead = 5;       // hello (0), flee (3), alarm (4)

void readNpdt(const Subrecord& sub, MorrowindNpc& npc) {
    sub.require(2);
    npc.level = static_cast<int16_t>(readUint16(sub.data));
    if (sub.size == shortNpdtSize) {
        npc.autoCalculated = true;
        return;
    }
    sub.require(longNpdtRead);
    std::memcpy(npc.attributes, sub.data + 2, 8);
    std::memcpy(npc.skills, sub.data + 10, 27);
    npc.health = readUint16(sub.data + 38);
    npc.spellPoints = readUint16(sub.data + 40);
    npc.fatigue = readUint16(sub.data + 42);
}

void readFlags(const Subrecord& sub, MorrowindNpc& npc) {
    sub.require(1);
    npc.female = (sub.data[0] & 0x01) != 0;
    npc.essential = (sub.data[0] & 0x02) != 0;
    npc.respawns = (sub.data[0] & 0x04) != 0;
}

NpcInventoryEntry readInventoryEntry(const Subrecord& sub) {
    sub.require(npcoSize);
    NpcInventoryEntry entry;
    entry.count = readInt32(sub.data);
    const char* id = reinterpret_cast<const char*>(sub.data + 4);
    entry.itemId.assign(id, strnlen(id, 32));
    return entry;
}

void readAi(const Subrecord& sub, MorrowindNpc& npc) {
    sub.require(aidtRead);
    npc.hasAi = true;
    npc.hello = static_cast<int8_t>(sub.data[0]);
    npc.flee = static_cast<int8_t>(sub.data[3]);
    npc.alarm = static_cast<int8_t>(sub.data[4]);
}

}  // namespace

MorrowindNpc readNpcRecord(RecordData record) {
    SubrecordCursor cursor(record);
    MorrowindNpc npc;
    if (cursor.nextIs("NAME")) npc.editorId = std::string(cursor.next().text());
    if (npc.editorId == playerEditorId) return npc;

    if (cursor.nextIs("MODL")) cursor.next();
    if (cursor.nextIs("FNAM")) npc.fullName = std::string(cursor.next().text());
    if (cursor.nextIs("RNAM")) npc.raceId = std::string(cursor.next().text());
    if (cursor.nextIs("CNAM")) npc.classId = std::string(cursor.next().text());
    for (const char* unused : {"ANAM", "BNAM", "KNAM"})
        if (cursor.nextIs(unused)) cursor.next();
    if (cursor.nextIs("SCRI")) npc.scriptId = std::string(cursor.next().text());
    if (cursor.nextIs("NPDT")) readNpdt(cursor.next(), npc);
    if (cursor.nextIs("FLAG")) readFlags(cursor.next(), npc);
    while (cursor.nextIs("NPCO")) npc.inventory.push_back(readInventoryEntry(cursor.next()));
    while (cursor.nextIs("NPCS")) cursor.next();
    if (cursor.nextIs("AIDT")) readAi(cursor.next(), npc);
    return npc;
}

}  // namespace landfer
