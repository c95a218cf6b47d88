// Reading the world of an output back: its cells and their lands.
#pragma once

#include <cstdint>
#include <vector>

#include "tes4_reader.h"

namespace landscape {

struct WorldCell {
    const tes4::Entry* cell = nullptr;
    int32_t gridX = 0, gridY = 0;
    const tes4::Entry* land = nullptr;  // in the cell's temporary children, or null
    std::vector<const tes4::Entry*> placed;  // ACHR and REFR records in its children, in file order
    bool persistent() const { return (cell->flags & 0x400) != 0; }
};

// Every CELL in the world groups, in file order, with what belongs to it;
// the world's persistent cell, which holds the placed NPCs, comes first.
std::vector<WorldCell> worldCells(const tes4::File& file);
// The references of the world's persistent cell: placed NPCs and doors.
std::vector<const tes4::Entry*> persistentReferences(const tes4::File& file);
// The placed NPCs of the world, all in its persistent cell.
std::vector<const tes4::Entry*> placedNpcs(const tes4::File& file);

// The 33 x 33 vertex heights a LAND's VHGT encodes.
std::vector<double> landHeights(const tes4::Entry& land);

}  // namespace landscape
