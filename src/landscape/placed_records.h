// The records of what is placed in the world, built whole (header
// included): placed NPCs (ACHR) and objects (REFR), and the world's
// persistent cell, which holds the NPCs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "esm/record_writer.h"

namespace landfer {

// Record flag of a persistent reference, and of the cell that holds them.
constexpr uint32_t persistentRecordFlag = 0x400;

// Position x, y, z and rotation x, y, z (radians), as both games store them.
using Placement = std::array<float, 6>;

// An ACHR: its base NPC, a scale (XSCL only when it is not 1) and placement; persistent.
std::vector<uint8_t> placedNpcRecord(uint32_t formId, uint32_t baseFormId, float scale, const Placement& placement);
// A door's teleport: the door or marker reference it leads to, and where
// the player arrives (position and rotation).
struct Teleport {
    uint32_t target = 0;
    Placement arrival{};
};

// What a REFR keeps of a Morrowind reference beside its base and placement.
struct ReferenceExtras {
    bool persistent = false;  // a door: persistent, with its teleport (XTEL) when it has one
    std::optional<Teleport> teleport;
    bool locked = false;
    uint8_t lockLevel = 0;  // Oblivion's 0 to 100 (100: only the key opens it)
    uint32_t key = 0;       // the key's FormID, or 0
    uint32_t owner = 0;     // the owner NPC's FormID, or 0
    uint32_t count = 1;     // of an item: XCNT when more than 1
    float scale = 1.0f;     // XSCL when not 1
};

// A REFR: its base object, lock (XLOC), owner (XOWN), count (XCNT), scale
// (XSCL) and placement.
std::vector<uint8_t> placedObjectRecord(uint32_t formId, uint32_t baseFormId, const ReferenceExtras& extras,
                                        const Placement& placement);
// The same, written by `record` to its sink: a writer kept for the many
// references of a run reuses its storage.
void writePlacedObject(RecordWriter& record, uint32_t formId, uint32_t baseFormId, const ReferenceExtras& extras,
                       const Placement& placement);
// Oblivion.esm's XMarkerHeading where a one-way door's player arrives: persistent.
std::vector<uint8_t> arrivalMarkerRecord(uint32_t formId, const Placement& placement);
constexpr uint32_t xMarkerHeading = 0x00000034;

// The world's persistent cell: persistent, with water, at grid (0, 0), without an editor ID.
std::vector<uint8_t> persistentCellRecord(uint32_t formId);

}  // namespace landfer
