// NPCs of the sample plugin: several races, both sexes, inventories, the
// player's own record and one NPC whose statistics the game calculates.
#include "sample_parts.h"
#include "tes3_npc.h"

namespace sample {

namespace {

struct SampleNpc {
    const char* id;
    const char* name;
    const char* race;
    const char* npcClass;
    uint8_t flags;
};

tes3::Record npcRecord(const SampleNpc& npc, const tes3::Bytes& npdt) {
    tes3::Record record("NPC_");
    record.ztext("NAME", npc.id).ztext("FNAM", npc.name).ztext("RNAM", npc.race).ztext("CNAM", npc.npcClass);
    record.ztext("ANAM", "").ztext("BNAM", "b_n_dark elf_m_head_01").ztext("KNAM", "b_n_dark elf_m_hair_01");
    record.sub("NPDT", npdt).sub("FLAG", tes3::npcFlags(npc.flags));
    return record;
}

}  // namespace

void addActors(tes3::Plugin& plugin) {
    tes3::Record player("NPC_");
    player.ztext("NAME", "player").ztext("FNAM", "Player").ztext("RNAM", "Dark Elf");
    plugin.add(player);

    tes3::NpcStats warden;
    warden.level = 12;
    warden.skills[5] = 45;   // Long Blade
    warden.skills[22] = 30;  // Short Blade
    warden.skills[4] = 20;   // Blunt Weapon
    warden.skills[6] = 35;   // Axe
    warden.health = 120;
    warden.spellPoints = 40;
    warden.fatigue = 200;
    tes3::Record first = npcRecord({"lf_ald_warden", "Ald Warden", "Dark Elf", "Warrior", 0x02}, tes3::longNpdt(warden));
    first.sub("NPCO", tes3::inventoryEntry(1, "iron_cuirass"))
        .sub("NPCO", tes3::inventoryEntry(1, "steel longsword"))
        .sub("NPCO", tes3::inventoryEntry(-40, "iron arrow"))
        .sub("NPCO", tes3::inventoryEntry(3, "lf_warden_note"))
        .sub("AIDT", tes3::aiData(30, 60, 20, 90));
    plugin.add(first);

    tes3::NpcStats trader;
    trader.level = 5;
    tes3::Record second =
        npcRecord({"lf_trader_sinja", "Sinja", "Khajiit", "Trader", 0x01 | 0x04}, tes3::longNpdt(trader));
    second.sub("NPCO", tes3::inventoryEntry(1, "common_shirt_01"))
        .sub("NPCO", tes3::inventoryEntry(1, "common_skirt_01"))
        .sub("NPCO", tes3::inventoryEntry(2, "common_ring_01"))
        .sub("AIDT", tes3::aiData(50, 0, 40, 0));
    plugin.add(second);

    tes3::Record third = npcRecord({"lf_pilgrim_orm", "Orm", "Nord", "Pilgrim", 0x00}, tes3::shortNpdt(3));
    third.sub("NPCO", tes3::inventoryEntry(1, "fur_boots")).sub("AIDT", tes3::aiData(10, 0, 10, 0));
    plugin.add(third);

    tes3::NpcStats scout;
    scout.level = 8;
    scout.skills[23] = 50;  // Marksman
    tes3::Record fourth =
        npcRecord({"lf_scout_ilara", "Ilara", "Wood Elf", "Scout", 0x01}, tes3::longNpdt(scout));
    fourth.sub("NPCO", tes3::inventoryEntry(1, "long bow"))
        .sub("NPCO", tes3::inventoryEntry(300, "chitin arrow"))
        .sub("AIDT", tes3::aiData(30, 30, 50, 10));
    plugin.add(fourth);
}

}  // namespace sample
