#include "landscape/reference_placer.h"

#include <algorithm>
#include <cmath>

#include "esm/byte_order.h"

namespace landfer {

namespace {

// Morrowind and Oblivion's scripts keep a reference's scale within this range.
constexpr float smallestScale = 0.5f;
constexpr float largestScale = 2.0f;

// A door, container, light, activator or item has a function a static has not.
bool losesItsFunction(const BaseObject& base) {
    return !base.is("STAT");
}

}  // namespace

void ReferencePlacer::place(const MorrowindReference& reference, PlacementCell& cell) {
    const Placement& placement = reference.placement;
    uint8_t npc[4];
    if (npcs_.find(reference.baseId, npc)) {
        // The game places a persistent reference by its position, wherever it is.
        if (!std::isfinite(placement[0]) || !std::isfinite(placement[1])) {
            cell.warnUndecided(services_.reporter, placement);
            services_.losses.note(LossKind::brokenReference, reference.baseId);
            return;
        }
        services_.reporter.showProgress("a");
        cell.addPersistent(placedNpcRecord(services_.formIds.take(), readUint32(npc), placement));
        ++placedNpcCount_;
        return;
    }
    if (placeWithModel(reference, cell) || placeStandIn(reference, cell)) return;
    services_.losses.note(LossKind::placedReference, reference.baseId);
}

bool ReferencePlacer::placeWithModel(const MorrowindReference& reference, PlacementCell& cell) {
    if (!statics_) return false;
    const BaseObject* base = services_.baseObjects.find(reference.baseId);
    // Actors are no statics, whatever their model.
    if (base == nullptr || base->model.empty() || base->is("NPC_") || base->is("CREA")) return false;
    uint32_t formId = statics_->staticFor(*base, services_.formIds);
    if (formId == 0 || !placeObject(reference, cell, formId, 1.0f, 0.0f)) return formId != 0;
    if (losesItsFunction(*base))
        services_.losses.note(LossKind::lostFunction, reference.baseId + " (" + std::string(base->type.data(), 4) + ")");
    return true;
}

bool ReferencePlacer::placeStandIn(const MorrowindReference& reference, PlacementCell& cell) {
    const StandIn* standIn = services_.objects.find(reference.baseId);
    if (standIn == nullptr) return false;
    placeObject(reference, cell, standIn->formId, standIn->scale, standIn->zOffset);
    return true;
}

// Returns false, after noting the loss, for a placement Oblivion cannot hold.
bool ReferencePlacer::placeObject(const MorrowindReference& reference, PlacementCell& cell, uint32_t baseFormId,
                                  float scaleFactor, float zOffset) {
    Placement placement = reference.placement;
    placement[2] += zOffset;
    if (!std::all_of(placement.begin(), placement.end(), [](float value) { return std::isfinite(value); })) {
        services_.losses.note(LossKind::brokenReference, reference.baseId);
        return false;
    }
    float scale = std::clamp(reference.scale * scaleFactor, smallestScale, largestScale);
    if (!std::isfinite(scale)) scale = 1.0f;
    cell.addTemporary(placement, placedObjectRecord(services_.formIds.take(), baseFormId, scale, placement));
    ++placedObjectCount_;
    for (int bit = 0; bit < referenceDataKindCount; ++bit)
        if ((reference.unkept & (1u << bit)) != 0) services_.losses.note(LossKind::referenceData, referenceDataKindName(bit));
    return true;
}

}  // namespace landfer
