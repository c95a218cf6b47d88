// The doors that lead somewhere. A Morrowind door leads to a point: its
// DODT, in the interior its DNAM names or in the exterior. Oblivion's door
// leads to a reference (XTEL): the door in the destination cell whose own
// destination is this door's cell, the one nearest to the point when
// several do, and that door leads back to this one; a door whose
// destination holds none that leads back (or none not linked already)
// leads to an XMarkerHeading placed at the point; one whose destination is
// not in the output leads nowhere. Doors are few: they wait in memory, and
// are placed, persistent, in their cells before every other reference.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "landscape/cell_index.h"
#include "landscape/morrowind_reference.h"
#include "landscape/placed_records.h"
#include "landscape/reference_placer.h"
#include "services/problems.h"

namespace landfer {

class DoorLinks {
public:
    // The cell of a door: an interior's index, or the world's exterior.
    static constexpr long exterior = -1;

    // A door with a destination, in a cell named so in the reports;
    // returns its number.
    int64_t add(long cell, const std::string& cellName, const MorrowindReference& reference);

    // After the last record: each door on an Oblivion door is given its
    // FormID, linked, and placed with the markers in its cell's persistent
    // references.
    void placeDoors(ReferencePlacer& placer, CellIndex& cells, FormIds& formIds, Problems& problems);
    // Whether placeDoors placed the door (or found it unplaceable): a door
    // whose base is no Oblivion door is placed as any other object.
    bool placed(int64_t door) const { return doors_[static_cast<size_t>(door)].handled; }
    int linkedCount() const { return linked_; }

private:
    static constexpr long unknownCell = -2;
    struct Door {
        long cell = exterior;
        std::string cellName;
        MorrowindReference reference;
        long destination = unknownCell;
        bool handled = false;
        uint32_t formId = 0;  // once it is placed on a door
        ReferencePlacer::PlacedBase base{0, "", 1.0f, 0.0f};
        Placement placement{};
        std::optional<Teleport> teleport;
    };
    struct Marker {
        long cell = exterior;
        uint32_t formId = 0;
        Placement placement{};
    };

    void prepare(ReferencePlacer& placer, const CellIndex& cells, FormIds& formIds);
    void link(const CellIndex& cells, FormIds& formIds, Problems& problems);
    void linkToMarker(Door& door, const CellIndex& cells, FormIds& formIds, Problems& problems);
    void write(ReferencePlacer& placer, CellIndex& cells, FormIds& formIds);
    std::string destinationName(const Door& door) const;

    std::vector<Door> doors_;
    std::vector<Marker> markers_;
    int linked_ = 0;
};

}  // namespace landfer
