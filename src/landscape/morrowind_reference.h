// One reference of a Morrowind CELL record, as it is read: an FRMR
// subrecord, the base object's ID (NAME), subrecords of its own and its
// placement (DATA: position x, y, z and rotation x, y, z as six floats).
// It runs up to the next FRMR or the end of the cell's data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "esm/record_reader.h"

namespace landfer {

// What a Morrowind reference can carry, one bit per kind: what the placed
// object does not keep is reported by these kinds.
enum ReferenceDataKind : uint32_t {
    referenceOwner = 1 << 0,      // ANAM: the NPC that owns it
    referenceLock = 1 << 1,       // FLTV: the lock level
    referenceKey = 1 << 2,        // KNAM: the key that opens it
    referenceTrap = 1 << 3,       // TNAM: the trap spell
    referenceSoul = 1 << 4,       // XSOL: the soul in a soul gem
    referenceCharge = 1 << 5,     // XCHG: the enchantment charge left
    referenceCondition = 1 << 6,  // INTV: health or uses left
    referenceCount = 1 << 7,      // NAM9: the count, or the value of gold
    referenceTeleport = 1 << 8,   // DODT, DNAM: where a door leads
    referenceFaction = 1 << 9,    // CNAM: the faction that owns it
    referenceGlobal = 1 << 10,    // BNAM: the global that lets the player use it
    referenceRank = 1 << 11,      // INDX: the faction rank that may use it
};
constexpr int referenceDataKindCount = 12;
// The kind's name in the loss report: "owner", "lock" ... "faction owner",
// "owner global", "owner rank".
const char* referenceDataKindName(int bit);

struct MorrowindReference {
    std::string baseId;
    std::array<float, 6> placement{};  // position x, y, z, rotation x, y, z
    float scale = 1.0f;                // XSCL, 1 without one
    uint32_t unkept = 0;               // ReferenceDataKind bits of what it carries
    std::string owner;                 // ANAM: the owner NPC's id, empty without
    std::string key;                   // KNAM: the key's id, empty without
    int32_t lockLevel = 0;             // FLTV, where referenceLock is set
    int32_t count = 1;                 // NAM9, 1 without one

    bool locked() const { return (unkept & referenceLock) != 0; }
    // A door's destination: where the player arrives (DODT, placed as DATA
    // is) and the interior cell there (DNAM); no DNAM means the exterior.
    std::optional<std::array<float, 6>> arrival;
    std::string destinationCell;
};

enum class ReferenceReading {
    complete,       // a reference to place
    deleted,        // DELE: not placed
    withoutName,    // no NAME behind its FRMR
    withoutData,    // no DATA before the next FRMR or the end
    dataTooShort,   // a DATA of fewer than 24 bytes
};

struct ReadReference {
    ReferenceReading reading = ReferenceReading::complete;
    // FRMR: the object index in the low 24 bits; in the high byte 0 for a
    // new reference of the file, N for one of its N-th master's references.
    uint32_t number = 0;
    bool deleted = false;        // DELE, whatever else it lacks
    size_t length = 0;           // bytes from its FRMR to the next FRMR or the end
    bool followedByReference = false;  // another FRMR follows
    size_t dataSize = 0;         // of a DATA too short
    MorrowindReference reference;
};

// Reads the reference whose FRMR starts `fromFrmr`, which runs to the end
// of the cell's data (or to the next FRMR or MVRF). Raises MalformedRecord
// only where a subrecord does not fit the data.
ReadReference readReference(RecordData fromFrmr);

// A reference that moved to another cell: an MVRF (the reference's number)
// and a CNDT (the exterior grid it moved to) before its FRMR.
struct ReferenceMove {
    bool moved = false;
    uint32_t number = 0;
    int32_t gridX = 0, gridY = 0;
};

// Walks the references of a cell's data from `offset` to its end: each
// FRMR with its subrecords, and the move before it, if any. Other
// subrecords are stepped over. Each reference read is `use`'s to take.
void walkReferences(RecordData cell, size_t offset,
                    const std::function<void(ReadReference&, const ReferenceMove&)>& use);

}  // namespace landfer
