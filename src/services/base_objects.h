// The base objects of the plugin and of its masters: every record a placed
// reference or an inventory entry can name, indexed by its id before the
// conversion pass, so that an object defined after the NPCs or cells that
// use it is known, and so is one that only a master defines. Per object only
// what the converter needs is kept: id, type, model and, for items, the few
// numbers the mapping by kind reads.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "esm/record_reader.h"
#include "services/problems.h"

namespace landfer {

// One entry of a container's contents (NPCO): a count (negative for an
// item that restocks) and the item's id.
struct ContainedItem {
    int32_t count = 0;
    std::string itemId;
};

// A light's data (LHDT) beside its weight and value.
struct LightData {
    int32_t time = 0;     // how long it burns, in seconds; -1 for ever
    uint32_t radius = 0;  // in game units
    std::array<uint8_t, 4> colour{};  // red, green, blue, unused
};

struct BaseObject {
    std::string id;             // as stored
    std::array<char, 4> type{};  // "STAT", "WEAP", ...
    std::string model;          // MODL as stored, empty without
    std::string name;           // FNAM, the name the game shows; empty without
    std::string script;         // SCRI, the id of its script; empty without
    bool fromMaster = false;
    // WEAP: the weapon type; ARMO, CLOT: the slot; ALCH: the first effect;
    // BOOK: 1 for a scroll, 0 for a book; -1 for anything else.
    int32_t kind = -1;
    int32_t attribute = -1;  // ALCH: the attribute of the first effect, or -1
    int32_t value = 0;       // in gold
    float weight = 0;        // CONT: its capacity (CNDT)
    // CONT: FLAG (0x1 organic, 0x2 respawns); LIGH: the LHDT flags (0x2 can
    // be carried...); MISC: the MCDT flags (0x1 a key).
    uint32_t flags = 0;
    std::vector<ContainedItem> contents;  // CONT: NPCO, in order
    LightData light;                      // LIGH

    bool is(std::string_view recordType) const { return std::string_view(type.data(), 4) == recordType; }
    bool isKey() const { return is("MISC") && (flags & 0x1) != 0; }
    bool isCarriedLight() const { return is("LIGH") && (flags & 0x2) != 0; }
};

class BaseObjects {
public:
    // Indexes every base-object record of a TES3 file (ACTI ALCH APPA ARMO
    // BOOK CLOT CONT CREA DOOR INGR LEVC LEVI LIGH LOCK MISC NPC_ PROB REPA
    // STAT WEAP). A later record of an id replaces an earlier one, so a
    // plugin read after its masters overrides them; a deleted record (DELE
    // subrecord or record flag 0x20) removes the id. A master that cannot be
    // read whole is a fatal error naming it, and its malformed records are
    // reported and left out; for the input, whose faults the conversion
    // pass reports, the index keeps what could be read.
    void readPlugin(const std::string& path, bool isMaster, Problems& problems);
    // One record of a pass over a file (header and data), when it is a
    // base object; its faults are reported for a master only.
    void addRecord(const std::vector<uint8_t>& record, bool isMaster, const std::string& path, Problems& problems);
    // Tells a malformed record of the master at `path`, the record being read.
    static void reportMalformed(Problems& problems, const std::vector<uint8_t>& record, const std::string& path,
                                const MalformedRecord& problem);

    // The object of an id, matched without regard to letter case, or null.
    const BaseObject* find(std::string_view id) const;
    size_t size() const { return objects_.size(); }

    // Reads one record's data into an object (id, model, name, script, item
    // numbers, a container's contents, a light's data).
    // Returns false for a deleted record. Raises MalformedRecord.
    static bool readObject(const char type[4], RecordData record, BaseObject& object);

private:
    std::unordered_map<std::string, BaseObject> objects_;  // by folded id
};

}  // namespace landfer
