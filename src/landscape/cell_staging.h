// The world's cells wait in "world.tmp" until the end of the input, when
// the world is written in the order Oblivion's tools keep: blocks, their
// sub-blocks, their cells by FormID, each cell with its children. Only a
// small index stays in memory; a land finds its cell by grid. The most
// recently staged cell is also held in cell1.tmp to cell4.tmp until its land comes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "landscape/landscape.h"

namespace landfer {

// Oblivion cell grid of quad 1 to 4 (SW, SE, NW, NE) of a Morrowind cell.
int64_t quadGridX(int32_t gridX, int quad);
int64_t quadGridY(int32_t gridY, int quad);

// Whether the quads of a Morrowind cell can stand in Oblivion's world: its
// sub-block labels hold grids divided by 8 as signed 16-bit numbers.
bool gridFitsWorld(int32_t gridX, int32_t gridY);

// The cell flags byte: has water.
constexpr uint8_t cellHasWater = 0x02;

// Stages the four quad cells of a Morrowind exterior cell, with the editor
// IDs "<name> SW" ... (none for an empty name) and the flags byte, taking
// four FormIDs. Its placed NPCs follow through appendToQuad.
void stageExteriorCell(Landscape& land, int32_t gridX, int32_t gridY, const std::string& name, uint8_t flags);

// A grid holds one cell: when a cell of this grid has been staged before,
// the placed NPCs that follow join it, and true is returned.
bool joinStagedCell(Landscape& land, int32_t gridX, int32_t gridY);

// Appends an ACHR record to quad 1 to 4 of the cell being staged.
void appendToQuad(Landscape& land, int quad, const std::vector<uint8_t>& record);

// The cell of a Morrowind grid, as the index of its first quad in
// land.state.worldCells, or -1 when none has been staged.
long stagedCell(const Landscape& land, int32_t gridX, int32_t gridY);
// Whether that cell has its land already.
bool cellHasLand(const Landscape& land, size_t cellIndex);
// From now on the cell holds its land.
void landArrives(Landscape& land, size_t cellIndex);
// Stages one more cell for a land whose cell is not in the plugin (unnamed, with water).
size_t stageCellForLand(Landscape& land, int32_t gridX, int32_t gridY);

// "world.tmp", where a land record is written; the pending cell is staged first.
FileWriter& worldFile(Landscape& land);


}  // namespace landfer
