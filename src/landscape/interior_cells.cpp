// Interior cells: each Morrowind interior becomes one Oblivion interior
// CELL, named by the letters and digits of its name (so that "coc" finds
// it), with its lighting, water and flags.
#include <algorithm>
#include <cmath>

#include "esm/byte_order.h"
#include "esm/plugin_writer.h"
#include "esm/record_writer.h"
#include "landscape/cell_index.h"
#include "landscape/model_bases.h"

namespace landfer {

namespace {

// Oblivion's interior CELL flags (DATA).
constexpr uint8_t interiorFlag = 0x01;
constexpr uint8_t hasWaterFlag = 0x02;
constexpr uint8_t likeExteriorFlag = 0x80;

void appendColour(std::vector<uint8_t>& out, const std::array<uint8_t, 4>& colour) {
    out.insert(out.end(), colour.begin(), colour.begin() + 3);
    out.push_back(0);
}

}  // namespace

float interiorFogBegins(float density) {
    if (!(density > 0.0f)) return interiorFogEnd;  // none, or no number
    return interiorFogEnd * (1.0f - std::min(density, 1.0f));
}

namespace {

// XCLL: ambient, directional (Morrowind's sunlight) and fog colour, fog
// near and far, the directional light's rotations, its fade and the fog's clip distance.
void writeInteriorLighting(RecordWriter& record, const CellLighting& lighting) {
    std::vector<uint8_t>& out = record.subrecord("XCLL");
    appendColour(out, lighting.ambient);
    appendColour(out, lighting.sunlight);
    appendColour(out, lighting.fog);
    appendFloat(out, interiorFogBegins(lighting.fogDensity));
    appendFloat(out, interiorFogEnd);
    appendUint32(out, 0);
    appendUint32(out, 0);
    appendFloat(out, 1.0f);
    appendFloat(out, interiorFogEnd);
}

std::vector<uint8_t> interiorCellRecord(uint32_t formId, const std::string& editorId, const MorrowindCell& cell) {
    MemorySink out;
    RecordWriter record(out);
    record.begin("CELL", formId);
    record.text("EDID", editorId);
    record.text("FULL", cell.name);
    uint8_t flags = interiorFlag;
    bool water = (cell.flags & morrowindWaterFlag) != 0;
    if (water) flags |= hasWaterFlag;
    if ((cell.flags & morrowindLikeExteriorFlag) != 0) flags |= likeExteriorFlag;
    record.uint8("DATA", flags);
    if (cell.lighting) writeInteriorLighting(record, *cell.lighting);
    if (water && cell.waterHeight && std::isfinite(*cell.waterHeight)) record.float32("XCLW", *cell.waterHeight);
    record.end();
    return std::move(out.bytes);
}

}  // namespace

long CellIndex::findInterior(const std::string& name) const {
    auto found = interiorsByName_.find(foldedCase(name));
    return found == interiorsByName_.end() ? -1 : static_cast<long>(found->second);
}

std::optional<size_t> CellIndex::interiorCell(const MorrowindCell& cell) {
    const std::string& name = cell.name;
    long found = findInterior(name);
    if (found >= 0) {
        // Morrowind knows an interior by its name: a second record of it is the same cell.
        problems_.tell(Problem::lost(LossKind::repeatedCell, name)
                                    .saying("CELL", formatText("The CELL record %s repeats an interior cell of this "
                                                               "plugin: its placed references join that cell.\n",
                                                               name.c_str())));
        return static_cast<size_t>(found);
    }
    // The editor ID (letters and digits, a number) and the name must fit a subrecord.
    if (name.size() + 12 > maxSubrecordSize) {
        problems_.tell(
            Problem::lost(LossKind::leftOutLandscape, "interior CELL " + name.substr(0, 64))
                .saying("CELL", formatText("The CELL record %s cannot be converted: its FULL subrecord would hold %zu "
                                           "bytes, more than 65535. Ignoring!\n",
                                           name.c_str(), name.size() + 1)));
        return std::nullopt;
    }
    if (cell.hasRegion) problems_.tell(Problem::lost(LossKind::interiorData, "region"));
    if (cell.hasMapColour) problems_.tell(Problem::lost(LossKind::interiorData, "map colour"));
    if ((cell.flags & morrowindNoSleepFlag) != 0)
        problems_.tell(Problem::lost(LossKind::interiorData, "illegal to sleep"));
    uint32_t formId = output_.formIds.take();
    std::string editorId = output_.editorIds.unique(staticEditorId(name));
    size_t interior = interiors_.stageCell(formId, interiorCellRecord(formId, editorId, cell));
    interiorNames_.push_back(name);
    interiorsByName_.emplace(foldedCase(name), interior);
    names_.add(name, {formId});
    return interior;
}

}  // namespace landfer
