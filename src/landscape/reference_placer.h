// The reference placer: places one Morrowind reference into the cell given
// to it, exterior or interior. A converted NPC becomes a persistent ACHR;
// an item the item lookups know a REFR of that item; any other object
// whose base Landfer knows (a record made for it, see ModelBases, or a
// stand-in of objects.dat) a REFR of that base, with its lock and owner
// where the base keeps them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "landscape/model_bases.h"
#include "landscape/morrowind_reference.h"
#include "landscape/placement_cell.h"
#include "services/converted_ids.h"
#include "services/converted_npcs.h"
#include "services/lookups.h"
#include "services/problems.h"
#include "services/record_output.h"

namespace landfer {

class ReferencePlacer {
public:
    // With a models prefix, objects with a Morrowind model are placed as
    // records of that model: containers, lights and activators of their
    // own kind, any other object a static. Items are looked up with the
    // books converted.
    ReferencePlacer(RecordOutput output, Problems& problems, Lookups lookups, const ConvertedIds& books,
                    const ConvertedNpcs& npcs, const std::string* modelsPrefix)
        : output_(output),
          problems_(problems),
          lookups_(lookups),
          books_(books),
          npcs_(npcs),
          bases_(modelsPrefix != nullptr ? std::optional<std::string>(*modelsPrefix) : std::nullopt, output, problems,
                 lookups, books) {}
    // Its writer writes to a sink of its own.
    ReferencePlacer(const ReferencePlacer&) = delete;
    ReferencePlacer& operator=(const ReferencePlacer&) = delete;

    // Places the reference, or notes why it is not placed. Only once the
    // whole input is read: what a base id becomes is then settled.
    void place(const MorrowindReference& reference, PlacementCell& cell);
    // The top groups of the base records made, of the given types in that
    // order (none without records).
    void writeBases(std::initializer_list<std::string_view> types) { bases_.writeGroups(output_.plugin, types); }

    // The base of a placed object: its FormID, what it is ("item",
    // "stand-in", "DOOR", the type of a record made for it or of a stand-in's
    // section), and the scale factor and height offset of a stand-in.
    struct PlacedBase {
        uint32_t formId;
        std::string_view type;
        float scale;
        float zOffset;
    };
    // The Oblivion door a reference stands on: the DOOR made for its
    // Morrowind door, or a stand-in of a [DOOR] section; none otherwise.
    std::optional<PlacedBase> doorBaseFor(const MorrowindReference& reference);
    // Where the door stands (its base's height offset added), or none,
    // after noting the loss, when Oblivion cannot hold the placement.
    std::optional<Placement> placementOn(const MorrowindReference& reference, const PlacedBase& base);
    // The door's persistent REFR with its FormID, lock, owner and teleport; counted as placed.
    std::vector<uint8_t> doorRecord(const MorrowindReference& reference, const PlacedBase& base, uint32_t formId,
                                    const Placement& placement, const std::optional<Teleport>& teleport);

    int placedNpcCount() const { return placedNpcCount_; }
    int placedObjectCount() const { return placedObjectCount_; }
    int placedItemCount() const { return placedItemCount_; }

private:
    // What the references of one base id become. Every lookup on the way
    // answers the same for each reference of the id once the whole input is
    // read, and tells what it tells at its first lookup only: the answer is
    // found at the id's first reference and kept for the others, which are
    // many of few ids.
    struct Destination {
        enum class Kind { npc, object, lost } kind = Kind::lost;
        uint32_t npcFormId = 0;
        PlacedBase base{0, {}, 1.0f, 0.0f};
        // The loss told for each reference placed (an item by its kind, a
        // static in place of an object with a function, a stand-in for a
        // container), or for each that is not placed.
        std::optional<LossKind> loss;
        std::string lossId;
        std::string became;
    };
    const Destination& destinationOf(const std::string& baseId);
    Destination findDestination(const std::string& baseId);
    // An item the lookups know, unless the base becomes a record of its own kind.
    bool itemDestination(const std::string& baseId, std::string_view madeType, Destination& destination);
    // A record made for the base; false when it gets none.
    bool madeBaseDestination(const std::string& baseId, const BaseObject& base, Destination& destination);
    // A stand-in that objects.dat names; false when none does.
    bool standInDestination(const std::string& baseId, Destination& destination);

    // A converted NPC: a persistent ACHR, unless its placement is no number.
    void placeNpc(const MorrowindReference& reference, PlacementCell& cell, uint32_t npcFormId);
    // What the reference carries and its placed record does not keep, once per kind.
    void noteUnkeptData(const MorrowindReference& reference, uint32_t kept);
    bool placeObject(const MorrowindReference& reference, PlacementCell& cell, const PlacedBase& base);
    // What the REFR keeps of the owner, lock, key and count; the rest is noted by kind.
    ReferenceExtras extrasFor(const MorrowindReference& reference, const PlacedBase& base, uint32_t alsoKept = 0);

    RecordOutput output_;
    Problems& problems_;
    Lookups lookups_;
    const ConvertedIds& books_;
    // The NPCs converted, for the placed NPCs and the owners.
    const ConvertedNpcs& npcs_;
    ModelBases bases_;
    // Where each placed object's record is written before it joins its cell.
    MemorySink placedRecord_;
    RecordWriter placedWriter_{placedRecord_};
    std::unordered_map<std::string, Destination> destinations_;  // by base id as the references spell it
    int placedNpcCount_ = 0;
    int placedObjectCount_ = 0;
    int placedItemCount_ = 0;
};

}  // namespace landfer
