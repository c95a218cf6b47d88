#include <vector>

#include "actors/actors.h"
#include "services/item_choice.h"
#include "actors/npc_builder.h"
#include "esm/fatal_error.h"
#include "lookup/race_table.h"

namespace landfer {

namespace {

// The item an inventory entry becomes; one mapped by its kind is noted
// with what it became.
bool chooseItem(const Lookups& lookups, const ConvertedIds& books, Problems& problems, const std::string& itemId,
                uint32_t& formId) {
    ItemChoice choice;
    if (!landfer::chooseItem(lookups, books, itemId, choice)) {
        problems.tell(Problem::lost(LossKind::inventoryItem, itemId));
        return false;
    }
    formId = choice.formId;
    if (choice.byKind != nullptr)
        problems.tell(Problem::lost(LossKind::inventoryByKind, itemId, 1, byKindText(choice)));
    return true;
}

std::vector<InventoryItem> lookUpInventory(const Lookups& lookups, const ConvertedIds& books, Problems& problems,
                                           const MorrowindNpc& npc, int& swapCount) {
    std::vector<InventoryItem> items;
    for (const NpcInventoryEntry& entry : npc.inventory) {
        uint32_t formId = 0;
        if (!chooseItem(lookups, books, problems, entry.itemId, formId)) continue;
        items.push_back({formId, carriedCount(entry.count)});
        ++swapCount;
    }
    return items;
}

}  // namespace

void Actors::convertNpc(RecordData record) {
    MorrowindNpc npc = readNpcRecord(record);
    ++npcCount_;
    if (npc.editorId == playerEditorId) return;
    // Morrowind's ids are the same in any letter case, and the editor takes
    // two editor IDs that differ only in case for one: the first NPC stays.
    uint8_t earlier[4];
    if (npcIndex_.find(npc.editorId, earlier)) {
        problems_.tell(Problem::lost(LossKind::repeatedNpc, npc.editorId)
                                   .saying("NPC_", formatText("The NPC_ record %s repeats an NPC of this plugin (ids "
                                                              "are the same in any letter case). Ignoring!\n",
                                                              npc.editorId.c_str())));
        return;
    }

    std::vector<InventoryItem> inventory = lookUpInventory(lookups_, books_, problems_, npc, inventorySwapCount_);
    if (!npc.hasAi)
        problems_.tell(Problem::warned("NPC_", npc.editorId,
                                               formatText("For the NPC called %s I didn't find AIDT!!\n",
                                                          npc.fullName.c_str())));

    NpcChoices choices;
    choices.editorId = output_.editorIds.unique(npc.editorId);
    choices.inventory = std::move(inventory);
    const RaceRow* race = findRace(npc.raceId);
    choices.race = race != nullptr ? race : &imperialRace();
    if (race == nullptr) problems_.tell(Problem::lost(LossKind::race, npc.raceId));
    bool classFound = false;
    choices.classFormId = lookups_.classes.find(npc.classId, &classFound);
    if (!classFound) problems_.tell(Problem::lost(LossKind::defaultClass, npc.classId));

    RecordWriter& converted = records_.begin("NPC_", output_.formIds);
    writeNpcData(npc, choices, converted);
    converted.checkSizes();  // before the face is looked up
    const std::vector<uint8_t>& face = lookups_.faces.find(race, npc.editorId, npc.raceId, npc.female);
    converted.subrecords(face.data(), face.size());
    npcIndex_.add(npc.editorId, records_.endCompressed(output_.deflater));
}

}  // namespace landfer
