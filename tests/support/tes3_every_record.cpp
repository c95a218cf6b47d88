#include "tes3_every_record.h"

#include "tes3_land.h"
#include "tes3_npc.h"

namespace tes3 {

Bytes placedReference(int32_t number, std::string_view baseId, float x, float y) {
    Record reference("FRMR");
    reference.sub("FRMR", int32s({number}))
        .ztext("NAME", baseId)
        .sub("XSCL", floats({1.0f}))
        .sub("DATA", floats({x, y, 100.0f, 0.0f, 0.0f, 0.5f}));
    return reference.data();
}

std::vector<Record> everyRecordType() {
    std::vector<Record> records;
    records.push_back(headerRecord());
    records.push_back(landTexture("lf_dirt", 0, "Tx_AC_dirt_01.tga"));
    records.push_back(landTexture("lf_grass", 1, "Tx_AC_dirt_grass_01.tga"));

    Record npc("NPC_");
    npc.ztext("NAME", "lf_guard").ztext("FNAM", "Guard").ztext("RNAM", "Dark Elf").ztext("CNAM", "Warrior");
    npc.ztext("ANAM", "").ztext("BNAM", "b_n_dark elf_m_head_01").ztext("KNAM", "b_n_dark elf_m_hair_01");
    npc.ztext("SCRI", "lf_script");
    npc.sub("NPDT", longNpdt(NpcStats())).sub("FLAG", npcFlags(0x02));
    npc.sub("NPCO", inventoryEntry(1, "adamantium boots")).sub("NPCO", inventoryEntry(2, "lf_unknown_item"));
    npc.sub("NPCS", Bytes(32, 'a')).sub("AIDT", aiData(30, 60, 20, 90));
    records.push_back(npc);

    Record exterior = cell("Landfer Field", 0, 0);
    exterior.ztext("RGNN", "Bitter Coast Region");
    exterior.raw(placedReference(1, "lf_guard", 1000.0f, 1000.0f));
    exterior.raw(placedReference(2, "lf_guard", 7000.0f, 7000.0f));
    records.push_back(exterior);
    LandOptions options;
    options.colours = true;
    options.vtex.assign(256, 1);
    for (size_t i = 0; i < options.vtex.size(); i += 3) options.vtex[i] = 2;
    records.push_back(land(0, 0, [](int r, int c) { return (r * 3 + c * 2) % 50; }, options));

    Record interior = cell("Landfer Cellar", 0, 0, 0x01);
    interior.sub("WHGT", floats({0.0f}));
    records.push_back(interior);

    records.push_back(global("lf_counter", 's', 7.0f));
    records.push_back(book("lf_note", "A Note", "Some words."));
    records.push_back(topic("lf_journal", 4));
    records.push_back(response("lf_info_1", "It begins.", 10));
    records.push_back(response("lf_info_2", "It ends.", 100));
    records.push_back(plainRecord("STAT", "lf_rock"));
    return records;
}

Plugin everyRecordPlugin() {
    Plugin plugin(false);
    for (const Record& record : everyRecordType()) plugin.add(record);
    return plugin;
}

}  // namespace tes3
