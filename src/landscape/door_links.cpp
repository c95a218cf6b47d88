#include "landscape/door_links.h"

#include <cmath>
#include <map>

#include "esm/fatal_error.h"
#include "landscape/placement_cell.h"

namespace landfer {

namespace {

uint64_t pairKey(long cell, long destination) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(cell)) << 32) | static_cast<uint32_t>(destination);
}

double squaredDistance(const Placement& a, const Placement& b) {
    double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return dx * dx + dy * dy + dz * dz;
}

constexpr double morrowindCellSize = 8192.0;

}  // namespace

int64_t DoorLinks::add(long cell, const std::string& cellName, const MorrowindReference& reference) {
    Door door;
    door.cell = cell;
    door.cellName = cellName;
    door.reference = reference;
    doors_.push_back(std::move(door));
    return static_cast<int64_t>(doors_.size() - 1);
}

std::string DoorLinks::destinationName(const Door& door) const {
    if (!door.reference.destinationCell.empty()) return door.reference.destinationCell;
    const Placement& arrival = *door.reference.arrival;
    if (!std::isfinite(arrival[0]) || !std::isfinite(arrival[1])) return "the exterior";
    return formatText("the exterior at (%.0f, %.0f)", std::floor(arrival[0] / morrowindCellSize),
                      std::floor(arrival[1] / morrowindCellSize));
}

// Each door placed on an Oblivion door takes its FormID; its destination cell is looked up.
void DoorLinks::prepare(ReferencePlacer& placer, const CellIndex& cells, FormIds& formIds) {
    for (Door& door : doors_) {
        std::optional<ReferencePlacer::PlacedBase> base = placer.doorBaseFor(door.reference);
        if (!base) continue;
        door.handled = true;
        std::optional<Placement> placement = placer.placementOn(door.reference, *base);
        if (!placement) continue;
        door.base = *base;
        door.placement = *placement;
        door.formId = formIds.take();
        const std::string& name = door.reference.destinationCell;
        door.destination = name.empty() ? exterior : cells.findInterior(name);
        if (door.destination < 0 && !name.empty()) door.destination = unknownCell;
    }
}

void DoorLinks::link(const CellIndex& cells, FormIds& formIds, Problems& problems) {
    // The doors of each cell by the cell they lead to.
    std::unordered_map<uint64_t, std::vector<size_t>> leadingTo;
    for (size_t i = 0; i < doors_.size(); ++i)
        if (doors_[i].formId != 0) leadingTo[pairKey(doors_[i].cell, doors_[i].destination)].push_back(i);
    for (Door& door : doors_) {
        if (door.formId == 0 || door.teleport) continue;
        const Placement& arrival = *door.reference.arrival;
        Door* nearest = nullptr;
        double nearestDistance = 0;
        if (door.destination != unknownCell) {
            auto back = leadingTo.find(pairKey(door.destination, door.cell));
            for (size_t other : back == leadingTo.end() ? std::vector<size_t>() : back->second) {
                Door& candidate = doors_[other];
                if (&candidate == &door || candidate.teleport) continue;
                double distance = squaredDistance(candidate.placement, arrival);
                if (nearest == nullptr || distance < nearestDistance) {
                    nearest = &candidate;
                    nearestDistance = distance;
                }
            }
        }
        if (nearest == nullptr) {
            linkToMarker(door, cells, formIds, problems);
            continue;
        }
        door.teleport = Teleport{nearest->formId, arrival};
        nearest->teleport = Teleport{door.formId, *nearest->reference.arrival};
        linked_ += 2;
    }
}

// A one-way door leads to a marker at its point, when its destination is in the output.
void DoorLinks::linkToMarker(Door& door, const CellIndex& cells, FormIds& formIds, Problems& problems) {
    const Placement& arrival = *door.reference.arrival;
    bool finite = std::isfinite(arrival[0]) && std::isfinite(arrival[1]) && std::isfinite(arrival[2]);
    bool inOutput = door.destination >= 0 ||
                    (door.destination == exterior && finite &&
                     cells.world().quadCellAt(oblivionGridOf(arrival[0]), oblivionGridOf(arrival[1])) >= 0);
    std::string route = door.cellName + " to " + destinationName(door);
    if (!inOutput || !finite) {
        problems.tell(Problem::lost(LossKind::doorOutOfPlugin, route));
        return;
    }
    Marker marker{door.destination, formIds.take(), arrival};
    markers_.push_back(marker);
    door.teleport = Teleport{marker.formId, arrival};
    ++linked_;
    problems.tell(Problem::lost(LossKind::doorToMarker, route));
}

// The doors, then the markers, into their cells' persistent references.
void DoorLinks::write(ReferencePlacer& placer, CellIndex& cells, FormIds& formIds) {
    std::map<long, RecordBatch> byCell;
    for (const Door& door : doors_) {
        if (door.formId == 0) continue;
        byCell[door.cell].add(placer.doorRecord(door.reference, door.base, door.formId, door.placement, door.teleport));
    }
    for (const Marker& marker : markers_) byCell[marker.cell].add(arrivalMarkerRecord(marker.formId, marker.placement));
    for (auto& [cell, batch] : byCell) {
        if (cell == exterior)
            cells.world().addPersistent(batch.bytes, batch.count, formIds);
        else
            cells.interiors().addPersistent(static_cast<size_t>(cell), batch.bytes, batch.count);
    }
}

void DoorLinks::placeDoors(ReferencePlacer& placer, CellIndex& cells, FormIds& formIds, Problems& problems) {
    if (doors_.empty()) return;
    prepare(placer, cells, formIds);
    link(cells, formIds, problems);
    write(placer, cells, formIds);
}

}  // namespace landfer
