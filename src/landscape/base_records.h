// The data of the Oblivion base records made for Morrowind containers,
// lights, activators and doors (built from what was read of the Morrowind record
// and what was chosen for it; no file is touched):
//   CONT: EDID FULL MODL MODB CNTO* DATA (flags, weight)
//   LIGH: EDID MODL MODB FULL DATA (32 bytes) FNAM (fade)
//   ACTI: EDID FULL MODL MODB
//   DOOR: EDID FULL MODL MODB FNAM (flags: none)
//   STAT: EDID MODL MODB
// A name (FULL) only where the Morrowind record has one, a model only
// where it has one. Scripts are not carried: the caller reports them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "esm/record_writer.h"
#include "services/base_objects.h"
#include "services/item_choice.h"

namespace landfer {

// What every base record made of a Morrowind object starts with: its
// editor ID and its model path in the output (empty for none).
struct BaseRecordHead {
    std::string editorId;
    std::string model;
};

// MODB, the model's bound radius, which Oblivion's own objects always
// carry with their model. The mesh is not read, so the radius is a
// generous guess: the size of a large tree, so that nothing is culled
// while still in sight.
constexpr float guessedBoundRadius = 512.0f;

// Oblivion's container flag "respawns" (CONT DATA), Morrowind's (FLAG) the same bit.
constexpr uint8_t containerRespawns = 0x02;
// The Morrowind light flags Oblivion has, at the same bits: dynamic, can be
// carried, negative, flicker, off by default, flicker slow, pulse, pulse
// slow. Morrowind's 0x10, fire, has no Oblivion counterpart.
constexpr uint32_t keptLightFlags = 0x1EF;

// The contents are the items chosen for the container's entries.
// Each into a record begun.
void writeContainer(RecordWriter& data, const BaseObject& container, const BaseRecordHead& head,
                    const std::vector<InventoryItem>& contents);
void writeLight(RecordWriter& data, const BaseObject& light, const BaseRecordHead& head);
void writeActivator(RecordWriter& data, const BaseObject& activator, const BaseRecordHead& head);
void writeDoor(RecordWriter& data, const BaseObject& door, const BaseRecordHead& head);
void writeStatic(RecordWriter& data, const BaseRecordHead& head);

}  // namespace landfer
