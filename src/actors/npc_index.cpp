#include "actors/npc_index.h"

#include <cstring>

#include "esm/byte_order.h"

namespace landfer {

void NpcIndex::add(std::string_view editorId, uint32_t formId) {
    std::array<uint8_t, 4> bytes;
    storeUint32(bytes.data(), formId);
    entries_.emplace(foldedCase(editorId), bytes);
}

bool NpcIndex::find(const std::string& id, uint8_t formId[4]) const {
    auto entry = entries_.find(foldedCase(id));
    if (entry == entries_.end()) return false;
    std::memcpy(formId, entry->second.data(), 4);
    return true;
}

}  // namespace landfer
