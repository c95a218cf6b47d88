// "npcs.tmp": the converted NPCs, for the placed references of later cells.
//
// One entry per NPC written, in the order of writing, with no header and no
// separator. With n = length of the editor id + 1 (at most 255):
//   byte 0         n
//   bytes 1..n-1   the editor id, case preserved
//   byte n         0
//   bytes n+1..+4  the FormID of the NPC's output record, little-endian
#pragma once

#include <cstdint>
#include <string_view>

#include "run/run_state.h"

namespace landfer {

constexpr const char* npcListName = "npcs.tmp";
// The longest editor id an entry can hold (its length byte counts the 0 byte).
constexpr size_t maxListedEditorIdLength = 254;

// Appends one entry. An editor id too long for the length byte is reported
// and not listed.
void appendNpcListEntry(RunState& run, std::string_view editorId, uint32_t formId);

}  // namespace landfer
