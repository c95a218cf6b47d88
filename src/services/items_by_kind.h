// The Oblivion item for a Morrowind item that no lookup line names but
// whose record the plugin or a master holds, chosen by its kind: a weapon
// by its type and value, an armour piece by its slot, weight class and
// value, clothing by its slot and value, a potion by its first effect, and
// a generic object of its kind for ingredients, books, scrolls, lights,
// apparatus, lockpicks, probes, repair tools and miscellaneous items.
// Every FormID is an Oblivion.esm one; lfdat/README.md gives the rule.
#pragma once

#include <cstdint>

#include "services/base_objects.h"

namespace landfer {

struct KindChoice {
    uint32_t formId = 0;
    const char* editorId = nullptr;  // the Oblivion object's editor id
};

// False when the kind has no Oblivion counterpart (pauldrons, belts,
// gloves, spears, staves, crossbows, thrown weapons, bolts, keys, levelled
// lists, lights that cannot be carried and every object that is no item).
bool itemByKind(const BaseObject& item, KindChoice& choice);

}  // namespace landfer
