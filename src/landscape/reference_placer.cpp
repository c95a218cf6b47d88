#include "landscape/reference_placer.h"

#include <algorithm>
#include <cmath>

#include "esm/byte_order.h"
#include "landscape/lock_levels.h"
#include "services/item_choice.h"

namespace landfer {

namespace {

// Morrowind and Oblivion's scripts keep a reference's scale within this range.
constexpr float smallestScale = 0.5f;
constexpr float largestScale = 2.0f;

// A door, container, light, activator or item has a function a static has not.
bool losesItsFunction(const BaseObject& base) {
    return !base.is("STAT");
}

// Only doors and containers keep a lock.
bool lockable(std::string_view type) { return type == "CONT" || type == "DOOR"; }

// A scale Oblivion keeps: within the range, 1 for one that is no number.
float keptScale(float scale) {
    float kept = std::clamp(scale, smallestScale, largestScale);
    return std::isfinite(kept) ? kept : 1.0f;
}

bool allFinite(const Placement& placement) {
    return std::all_of(placement.begin(), placement.end(), [](float value) { return std::isfinite(value); });
}

}  // namespace

void ReferencePlacer::place(const MorrowindReference& reference, PlacementCell& cell) {
    const Destination& destination = destinationOf(reference.baseId);
    if (destination.kind == Destination::Kind::npc) return placeNpc(reference, cell, destination.npcFormId);
    if (destination.kind == Destination::Kind::object && !placeObject(reference, cell, destination.base)) return;
    if (destination.loss) problems_.tell(Problem::lost(*destination.loss, destination.lossId, 1, destination.became));
}

const ReferencePlacer::Destination& ReferencePlacer::destinationOf(const std::string& baseId) {
    auto known = destinations_.find(baseId);
    if (known == destinations_.end()) known = destinations_.emplace(baseId, findDestination(baseId)).first;
    return known->second;
}

ReferencePlacer::Destination ReferencePlacer::findDestination(const std::string& baseId) {
    Destination destination;
    uint8_t npc[4];
    if (npcs_.find(baseId, npc)) {
        destination.kind = Destination::Kind::npc;
        destination.npcFormId = readUint32(npc);
        return destination;
    }
    const BaseObject* base = lookups_.baseObjects.find(baseId);
    std::string_view madeType = base != nullptr ? bases_.typeFor(*base) : std::string_view();
    if (itemDestination(baseId, madeType, destination)) return destination;
    if (!madeType.empty() && madeBaseDestination(baseId, *base, destination)) return destination;
    if (standInDestination(baseId, destination)) return destination;
    // A base that would have been made a record but could not be (its
    // model path is told) is no base without a model.
    destination.loss = madeType.empty() ? LossKind::placedReference : LossKind::unwritableModel;
    destination.lossId = baseId;
    return destination;
}

void ReferencePlacer::placeNpc(const MorrowindReference& reference, PlacementCell& cell, uint32_t npcFormId) {
    const Placement& placement = reference.placement;
    // The game places a persistent reference by its position, wherever it is.
    if (!std::isfinite(placement[0]) || !std::isfinite(placement[1])) {
        problems_.tell(Problem::lost(LossKind::brokenReference, reference.baseId)
                                    .saying("CELL", cell.undecided(placement))
                                    .amongTheProgress());
        return;
    }
    if (!allFinite(placement)) {
        problems_.tell(Problem::lost(LossKind::brokenReference, reference.baseId));
        return;
    }
    problems_.reporter().showProgress("a");
    cell.addPersistent(placedNpcRecord(output_.formIds.take(), npcFormId, keptScale(reference.scale), placement));
    ++placedNpcCount_;
    noteUnkeptData(reference, 0);
}

void ReferencePlacer::noteUnkeptData(const MorrowindReference& reference, uint32_t kept) {
    for (int bit = 0; bit < referenceDataKindCount; ++bit)
        if ((reference.unkept & ~kept & (1u << bit)) != 0)
            problems_.tell(Problem::lost(LossKind::referenceData, referenceDataKindName(bit)));
}

// An item a lookup line or the plugin's books name is that item; one of a
// kind becomes the Oblivion item of its kind, unless it becomes a record
// of its own kind (a light that can be carried, with models).
bool ReferencePlacer::itemDestination(const std::string& baseId, std::string_view madeType,
                                      Destination& destination) {
    ItemChoice item;
    if (!chooseItem(lookups_, books_, baseId, item)) return false;
    if (item.byKind != nullptr && !madeType.empty() && madeType != "STAT") return false;
    destination.kind = Destination::Kind::object;
    destination.base = {item.formId, "item", 1.0f, 0.0f};
    if (item.byKind != nullptr) {
        destination.loss = LossKind::itemByKind;
        destination.lossId = baseId;
        destination.became = byKindText(item);
    }
    return true;
}

bool ReferencePlacer::madeBaseDestination(const std::string& baseId, const BaseObject& base,
                                          Destination& destination) {
    const MadeBase* made = bases_.baseFor(base);
    if (made == nullptr) return false;
    destination.kind = Destination::Kind::object;
    destination.base = {made->formId, made->type, 1.0f, 0.0f};
    if (made->type == "STAT" && losesItsFunction(base)) {
        destination.loss = LossKind::lostFunction;
        destination.lossId = baseId + " (" + std::string(base.type.data(), 4) + ")";
    }
    return true;
}

bool ReferencePlacer::standInDestination(const std::string& baseId, Destination& destination) {
    const StandIn* standIn = lookups_.objects.find(baseId);
    if (standIn == nullptr) return false;
    destination.kind = Destination::Kind::object;
    // A stand-in of a section is a record of that type: a container keeps its lock, a light shines.
    std::string_view type = standIn->type[0] != 0 ? std::string_view(standIn->type.data(), 4) : "stand-in";
    destination.base = {standIn->formId, type, standIn->scale, standIn->zOffset};
    if (type == "CONT") {
        destination.loss = LossKind::standInContents;
        destination.lossId = baseId;
    }
    return true;
}

ReferenceExtras ReferencePlacer::extrasFor(const MorrowindReference& reference, const PlacedBase& base,
                                           uint32_t alsoKept) {
    ReferenceExtras extras;
    uint32_t kept = alsoKept;
    uint8_t owner[4];
    if (!reference.owner.empty() && npcs_.find(reference.owner, owner)) {
        extras.owner = readUint32(owner);
        kept |= referenceOwner;
    }
    if (reference.locked() && lockable(base.type)) {
        extras.locked = true;
        extras.lockLevel = oblivionLockLevel(reference.lockLevel);
        kept |= referenceLock | (reference.key.empty() ? 0u : uint32_t{referenceKey});
        // The key when it is an item of the output: one that a lookup line names.
        ItemChoice key;
        if (!reference.key.empty() && chooseItem(lookups_, books_, reference.key, key) && key.byKind == nullptr)
            extras.key = key.formId;
        else if (!reference.key.empty())
            problems_.tell(Problem::lost(LossKind::lockKey, reference.key));
    }
    if (base.type == "item") {
        extras.count = reference.count > 1 ? static_cast<uint32_t>(reference.count) : 1;
        kept |= referenceCount;
    }
    noteUnkeptData(reference, kept);
    return extras;
}

std::optional<Placement> ReferencePlacer::placementOn(const MorrowindReference& reference, const PlacedBase& base) {
    Placement placement = reference.placement;
    placement[2] += base.zOffset;
    if (!allFinite(placement)) {
        problems_.tell(Problem::lost(LossKind::brokenReference, reference.baseId));
        return std::nullopt;
    }
    return placement;
}

std::optional<ReferencePlacer::PlacedBase> ReferencePlacer::doorBaseFor(const MorrowindReference& reference) {
    const BaseObject* base = lookups_.baseObjects.find(reference.baseId);
    if (base != nullptr && bases_.typeFor(*base) == "DOOR") {
        const MadeBase* made = bases_.baseFor(*base);
        if (made != nullptr) return PlacedBase{made->formId, "DOOR", 1.0f, 0.0f};
    }
    const StandIn* standIn = lookups_.objects.find(reference.baseId);
    if (standIn == nullptr || !standIn->is("DOOR")) {
        // A door of the plugin's own, or one no line names: the door any
        // door becomes keeps it leading where it leads.
        standIn = base != nullptr && base->is("DOOR") ? lookups_.objects.anyOf("DOOR") : nullptr;
        if (standIn == nullptr) return std::nullopt;
        problems_.tell(Problem::lost(LossKind::genericDoor, reference.baseId));
    }
    return PlacedBase{standIn->formId, "DOOR", standIn->scale, standIn->zOffset};
}

std::vector<uint8_t> ReferencePlacer::doorRecord(const MorrowindReference& reference, const PlacedBase& base,
                                                 uint32_t formId, const Placement& placement,
                                                 const std::optional<Teleport>& teleport) {
    // A door's destination is carried by its teleport, or reported with the doors.
    ReferenceExtras extras = extrasFor(reference, base, referenceTeleport);
    extras.persistent = true;
    extras.teleport = teleport;
    extras.scale = keptScale(reference.scale * base.scale);
    ++placedObjectCount_;
    return placedObjectRecord(formId, base.formId, extras, placement);
}

// Returns false, after noting the loss, for a placement Oblivion cannot hold.
bool ReferencePlacer::placeObject(const MorrowindReference& reference, PlacementCell& cell, const PlacedBase& base) {
    std::optional<Placement> placed = placementOn(reference, base);
    if (!placed) return false;
    const Placement& placement = *placed;
    ReferenceExtras extras = extrasFor(reference, base);
    extras.scale = keptScale(reference.scale * base.scale);
    placedRecord_.bytes.clear();
    writePlacedObject(placedWriter_, output_.formIds.take(), base.formId, extras, placement);
    cell.addTemporary(placement, placedRecord_.bytes);
    ++(base.type == "item" ? placedItemCount_ : placedObjectCount_);
    return true;
}

}  // namespace landfer
