// The reference placer: places one Morrowind reference into the cell given
// to it, exterior or interior. A converted NPC becomes a persistent ACHR;
// any other object whose base Landfer knows (a static of its Morrowind
// model with --models, or a stand-in of objects.dat) a REFR.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "landscape/model_statics.h"
#include "landscape/morrowind_reference.h"
#include "landscape/placement_cell.h"
#include "services/conversion_services.h"
#include "services/converted_npcs.h"

namespace landfer {

class ReferencePlacer {
public:
    // With a models prefix, objects with a Morrowind model are placed as statics of that model.
    ReferencePlacer(ConversionServices& services, const ConvertedNpcs& npcs, const std::string* modelsPrefix)
        : services_(services), npcs_(npcs) {
        if (modelsPrefix != nullptr) statics_.emplace(*modelsPrefix);
    }

    // Places the reference, or notes why it is not placed.
    void place(const MorrowindReference& reference, PlacementCell& cell);
    // The top group of the statics made for Morrowind models, if any.
    void writeStatics() {
        if (statics_) statics_->writeGroup(services_.output);
    }

    int placedNpcCount() const { return placedNpcCount_; }
    int placedObjectCount() const { return placedObjectCount_; }

private:
    // A base of a Morrowind model, or a stand-in; false when neither is known.
    bool placeWithModel(const MorrowindReference& reference, PlacementCell& cell);
    bool placeStandIn(const MorrowindReference& reference, PlacementCell& cell);
    bool placeObject(const MorrowindReference& reference, PlacementCell& cell, uint32_t baseFormId, float scale,
                     float zOffset);

    ConversionServices& services_;
    // The NPCs converted, for the placed NPCs.
    const ConvertedNpcs& npcs_;
    std::optional<ModelStatics> statics_;
    int placedNpcCount_ = 0;
    int placedObjectCount_ = 0;
};

}  // namespace landfer
