// Exterior cells wait, staged as four quad cells, until their land comes;
// cells whose land never comes are written at the end of the input. The
// most recently staged cell is also held in cell1.tmp to cell4.tmp.
#pragma once

#include <cstdint>
#include <string>

#include "run/run_state.h"

namespace landfer {

// Oblivion cell grid of quad 1 to 4 (SW, SE, NW, NE) of a Morrowind cell.
int64_t quadGridX(int32_t gridX, int quad);
int64_t quadGridY(int32_t gridY, int quad);

// Stages the four quad cells of a Morrowind exterior cell, with the editor
// IDs "<name> SW" ... (none for an empty name), taking four FormIDs.
// Returns its index in run.landscape.waitingCells.
size_t stageExteriorCell(RunState& run, int32_t gridX, int32_t gridY, const std::string& name);

// Appends a reference block to quad 1 to 4 of a waiting cell.
void appendToQuad(RunState& run, size_t cellIndex, int quad, const std::vector<uint8_t>& block);

// The most recently staged waiting cell of a grid, or -1.
long findWaitingCell(const RunState& run, int32_t gridX, int32_t gridY);

// Removes a written cell from the waiting cells (and its temporary files).
void removeWaitingCell(RunState& run, size_t cellIndex);

// Opens the world (top group, world record, world children group) unless
// the most recent top group is the world's.
void ensureWorld(RunState& run);

// At the end of the input: every waiting cell goes into the world, without land.
void writeWaitingCells(RunState& run);

// The FormID bytes a group label takes for a counter value (high byte 00).
void formIdLabel(int32_t counterValue, uint8_t label[4]);

}  // namespace landfer
