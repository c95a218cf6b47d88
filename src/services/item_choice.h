// The Oblivion item that takes the place of a Morrowind item, wherever it
// stands: in an NPC's inventory, in a container, lying in the world.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "esm/record_writer.h"
#include "services/converted_ids.h"
#include "services/items_by_kind.h"
#include "services/lookups.h"

namespace landfer {

struct ItemChoice {
    uint32_t formId = 0;
    // Set when the item was mapped by its kind: the Oblivion object chosen.
    const char* byKind = nullptr;
};

// A lookup line first; then the book Landfer converted from the plugin's
// book of that id; then, for an item of the plugin or a master, the
// Oblivion item of its kind. False when none knows the item. Notes nothing.
bool chooseItem(const Lookups& lookups, const ConvertedIds& books, std::string_view itemId, ItemChoice& choice);

// An item of an inventory or a container, as the Oblivion record holds it.
struct InventoryItem {
    uint32_t formId;
    uint32_t count;
};
// Morrowind's count of an item carried or contained: negative for an item
// that restocks. Oblivion gets its size.
inline uint32_t carriedCount(int32_t count) {
    return count < 0 ? 0u - static_cast<uint32_t>(count) : static_cast<uint32_t>(count);
}
// One CNTO subrecord (item FormID, count) per item, in order.
void addInventory(RecordWriter& record, const std::vector<InventoryItem>& items);

// What a choice by kind became, as the loss report gives it: "WeapSteelLongsword 000229BA".
std::string byKindText(const ItemChoice& choice);

}  // namespace landfer
