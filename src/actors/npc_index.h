// The converted NPCs, for the placed references of the cells: each NPC's
// editor id and the FormID of its output record, kept in memory. Morrowind
// ids are case-insensitive, so ids match without regard to letter case, at
// any length.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "services/converted_npcs.h"

namespace landfer {

class NpcIndex : public ConvertedNpcs {
public:
    // Lists one NPC. The first NPC of an id wins a search.
    void add(std::string_view editorId, uint32_t formId);
    bool find(const std::string& id, uint8_t formId[4]) const override;

private:
    std::unordered_map<std::string, std::array<uint8_t, 4>> entries_;  // by folded id
};

}  // namespace landfer
