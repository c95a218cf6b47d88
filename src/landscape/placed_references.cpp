// Placed references. The references of an exterior cell are read with the
// cell and staged; after the last record each finds its base: a converted
// NPC becomes an ACHR in the world's persistent cell, any other object
// whose base Landfer knows a REFR in the cell that holds its position.
#include <algorithm>
#include <cmath>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "landscape/landscape.h"

namespace landfer {

namespace {

// Morrowind and Oblivion's scripts keep a reference's scale within this range.
constexpr float smallestScale = 0.5f;
constexpr float largestScale = 2.0f;
constexpr double cellSize = 4096.0;  // game units along an Oblivion cell's side

// The Oblivion grid of a finite coordinate; far beyond any world, it
// stays far beyond it.
int64_t gridOf(float coordinate) {
    return static_cast<int64_t>(std::clamp(std::floor(static_cast<double>(coordinate) / cellSize), -1e9, 1e9));
}

// A door, container, light, activator or item has a function a static has not.
bool losesItsFunction(const BaseObject& base) {
    return !base.is("STAT");
}

void append(std::pair<std::vector<uint8_t>, uint32_t>& batch, const std::vector<uint8_t>& record) {
    batch.first.insert(batch.first.end(), record.begin(), record.end());
    ++batch.second;
}

}  // namespace

size_t Landscape::stageReference(RecordData reference, size_t cell, int32_t gridX, int32_t gridY) {
    ReadReference read = readReference(reference);
    const std::string& baseId = read.reference.baseId;
    switch (read.reading) {
    case ReferenceReading::complete:
        references_.add({cell, gridX, gridY, read.reference});
        break;
    case ReferenceReading::deleted:
        break;
    case ReferenceReading::withoutName:
        services_.reporter.report("A reference in the CELL record at grid (%d, %d) has no NAME. Ignoring it!\n", gridX,
                                  gridY);
        services_.losses.note(LossKind::brokenReference, "");
        break;
    case ReferenceReading::withoutData:
        if (read.followedByReference)
            services_.reporter.progressText("Recursive FRMR - returning %d\n", static_cast<int>(read.length));
        else
            services_.reporter.report("Unable to find DATA statement for placed FRMR object!!!\n");
        services_.losses.note(LossKind::brokenReference, baseId);
        break;
    case ReferenceReading::dataTooShort:
        services_.reporter.report(
            "The CELL record at grid (%d, %d) is malformed (a reference's DATA subrecord holds %zu of 24 bytes). "
            "Ignoring the reference!\n",
            gridX, gridY, read.dataSize);
        services_.losses.note(LossKind::brokenReference, baseId);
        break;
    }
    return read.length;
}

void Landscape::placeReferences() {
    long lastCell = -1;
    references_.readBack([&](const StagedReference& staged) {
        // The records of one Morrowind cell's references go to the world together.
        if (static_cast<long>(staged.cell) != lastCell) flushPlaced();
        lastCell = static_cast<long>(staged.cell);
        placeReference(staged);
    });
    flushPlaced();
}

void Landscape::flushPlaced() {
    for (auto& [quadCell, batch] : placedByCell_) world_.addTemporary(quadCell, batch.first, batch.second);
    placedByCell_.clear();
    world_.addPersistent(placedPersistent_.first, placedPersistent_.second, services_.formIds);
    placedPersistent_ = {};
}

void Landscape::placeReference(const StagedReference& staged) {
    const MorrowindReference& reference = staged.reference;
    const Placement& placement = reference.placement;
    uint8_t npc[4];
    if (npcs_.find(reference.baseId, npc)) {
        // The game places a persistent reference by its position, wherever it is.
        if (!std::isfinite(placement[0]) || !std::isfinite(placement[1])) {
            services_.reporter.progressText("WARNING: I COULDN'T DECIDE UPON: (%f, %f) ", placement[0], placement[1]);
            services_.reporter.progressText("for original cell (%d, %d) - quad %d\n", staged.gridX, staged.gridY, 0);
            services_.losses.note(LossKind::brokenReference, reference.baseId);
            return;
        }
        services_.reporter.showProgress("a");
        append(placedPersistent_, placedNpcRecord(services_.formIds.take(), readUint32(npc), placement));
        ++placedNpcCount_;
        return;
    }
    if (placeWithModel(staged) || placeStandIn(staged)) return;
    services_.losses.note(LossKind::placedReference, reference.baseId);
}

bool Landscape::placeWithModel(const StagedReference& staged) {
    if (!statics_) return false;
    const BaseObject* base = services_.baseObjects.find(staged.reference.baseId);
    // Actors are no statics, whatever their model.
    if (base == nullptr || base->model.empty() || base->is("NPC_") || base->is("CREA")) return false;
    uint32_t formId = statics_->staticFor(*base, services_.formIds);
    if (formId == 0 || !placeObject(staged, formId, 1.0f, 0.0f)) return formId != 0;
    if (losesItsFunction(*base))
        services_.losses.note(LossKind::lostFunction,
                              staged.reference.baseId + " (" + std::string(base->type.data(), 4) + ")");
    return true;
}

bool Landscape::placeStandIn(const StagedReference& staged) {
    const StandIn* standIn = services_.objects.find(staged.reference.baseId);
    if (standIn == nullptr) return false;
    placeObject(staged, standIn->formId, standIn->scale, standIn->zOffset);
    return true;
}

// Returns false, after noting the loss, for a placement Oblivion cannot hold.
bool Landscape::placeObject(const StagedReference& staged, uint32_t baseFormId, float scaleFactor, float zOffset) {
    const MorrowindReference& reference = staged.reference;
    Placement placement = reference.placement;
    placement[2] += zOffset;
    if (!std::all_of(placement.begin(), placement.end(), [](float value) { return std::isfinite(value); })) {
        services_.losses.note(LossKind::brokenReference, reference.baseId);
        return false;
    }
    float scale = std::clamp(reference.scale * scaleFactor, smallestScale, largestScale);
    if (!std::isfinite(scale)) scale = 1.0f;
    size_t quadCell = quadCellHolding(staged, placement[0], placement[1]);
    append(placedByCell_[quadCell], placedObjectRecord(services_.formIds.take(), baseFormId, scale, placement));
    ++placedObjectCount_;
    for (int bit = 0; bit < referenceDataKindCount; ++bit)
        if ((reference.unkept & (1u << bit)) != 0) services_.losses.note(LossKind::referenceData, referenceDataKindName(bit));
    return true;
}

// The cell whose area holds the position, when the world has one there;
// otherwise the quad of the object's own Morrowind cell nearest to it.
size_t Landscape::quadCellHolding(const StagedReference& staged, float x, float y) const {
    int64_t gridX = gridOf(x), gridY = gridOf(y);
    long found = world_.quadCellAt(gridX, gridY);
    if (found >= 0) return static_cast<size_t>(found);
    bool east = gridX > quadGridX(staged.gridX, Quad::SW), north = gridY > quadGridY(staged.gridY, Quad::SW);
    Quad nearest = north ? (east ? Quad::NE : Quad::NW) : (east ? Quad::SE : Quad::SW);
    return WorldStaging::quadCellOf(staged.cell, nearest);
}

}  // namespace landfer
