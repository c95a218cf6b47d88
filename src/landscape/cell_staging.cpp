#include "landscape/cell_staging.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/plugin_writer.h"
#include "esm/staged_file.h"

namespace landfer {

namespace {

const char* const worldFileName = Landscape::worldFileName;
const char* const quadSuffixes[4] = {" SW", " SE", " NW", " NE"};

// Exterior Cell Block and Sub-Block groups, and a cell's children.
constexpr int32_t worldChildrenGroup = 1;
constexpr int32_t blockGroup = 4;
constexpr int32_t subBlockGroup = 5;
constexpr int32_t cellChildrenGroup = 6;
constexpr int32_t persistentChildrenGroup = 8;
constexpr int32_t temporaryChildrenGroup = 9;
constexpr int32_t cellsPerBlock = 32;
constexpr int32_t cellsPerSubBlock = 8;

std::string cellFileName(int quad) { return Landscape::cellFileNames[quad - 1]; }

// The four files stay open for the run and are emptied instead of
// deleted; they are deleted with the other temporary files.
void deleteCellFiles(Landscape& land) {
    for (int quad = 1; quad <= 4; ++quad) {
        FileWriter& kept = land.state.cellFiles[quad - 1];
        if (kept.isOpen())
            kept.restart();
        else
            std::remove(cellFileName(quad).c_str());
    }
}

// The cell file of a quad, open for writing (a new file) or appending.
FileWriter& cellFile(Landscape& land, int quad, bool append) {
    FileWriter& file = land.state.cellFiles[quad - 1];
    if (file.isOpen()) {
        if (!append) file.restart();
        return file;
    }
    std::string fileName = cellFileName(quad);
    if (!file.open(fileName, append ? "ab" : "wb")) {
        if (append)
            fatal("Unable to open temp CELL file (%s) for appending: %s\n", fileName.c_str(),
                  systemErrorText().c_str());
        fatal("Unable to open %s for writing: %s\n", fileName.c_str(), systemErrorText().c_str());
    }
    return file;
}

// The one world of the plugin and its stamp: FormID 0x010008FF, "Landfer",
// water 0x18, unbounded extent.
constexpr uint32_t worldFormId = 0x010008FF;
constexpr uint32_t worldStamp = 0x2F09;
const uint8_t worldLabel[4] = {0xFF, 0x08, 0x00, 0x01};

std::vector<uint8_t> worldRecordData() {
    SubrecordBuffer data;
    data.addText("EDID", "Landfer");
    data.addText("FULL", "Landfer");
    const uint8_t water[4] = {0x18, 0, 0, 0};
    data.add("NAM2", water, 4);
    data.addZeros("MNAM", 16);
    const uint8_t flags = 1;
    data.add("DATA", &flags, 1);
    const uint8_t lowest[8] = {0xFF, 0xFF, 0x7F, 0x7F, 0xFF, 0xFF, 0x7F, 0x7F};
    const uint8_t highest[8] = {0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF};
    data.add("NAM0", lowest, 8);
    data.add("NAM9", highest, 8);
    return data.bytes();
}

uint64_t gridKey(int32_t gridX, int32_t gridY) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(gridX)) << 32) | static_cast<uint32_t>(gridY);
}

int32_t floorDivide(int32_t value, int32_t divisor) {
    int32_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

// A block or sub-block label: Y, then X, each a signed 16-bit number.
void gridLabel(int32_t x, int32_t y, uint8_t label[4]) {
    label[0] = static_cast<uint8_t>(y);
    label[1] = static_cast<uint8_t>(static_cast<uint32_t>(y) >> 8);
    label[2] = static_cast<uint8_t>(x);
    label[3] = static_cast<uint8_t>(static_cast<uint32_t>(x) >> 8);
}

// The label of a cell's groups: its FormID.
void cellLabel(uint32_t formId, uint8_t label[4]) { int32ToBytes(static_cast<int32_t>(formId), label); }

// Puts the cell being converted into "world.tmp": each quad's CELL and ACHR records.
void stagePendingCell(Landscape& land) {
    LandscapeState& landscape = land.state;
    if (landscape.pendingCell < 0) return;
    FileWriter& file = landscape.worldFile;
    for (int quad = 0; quad < 4; ++quad) {
        StagedWorldCell& cell = landscape.worldCells[static_cast<size_t>(landscape.pendingCell) + quad];
        const std::vector<uint8_t>& bytes = landscape.pendingQuads[quad].bytes;
        if (landscape.pendingJoins) {
            if (!bytes.empty()) cell.morePlaced.emplace_back(file.position(), bytes.size());
        } else {
            cell.cellOffset = file.position();
            cell.placedLength = bytes.size() - cell.cellLength;
        }
        file.write(bytes.data(), bytes.size());
        landscape.pendingQuads[quad].bytes.clear();
    }
    landscape.pendingCell = -1;
    landscape.pendingJoins = false;
}

// Copies length bytes that start at offset in the staged world, holding records records, to the output.
void copyFromWorld(FILE* world, int64_t offset, uint64_t length, uint64_t records, OutputPlugin& output) {
    // The cells are mostly read in the order they were staged: no seek, no lost buffer.
    if (tellFile(world) != offset && !seekFile(world, offset, SEEK_SET))
        fatal("Unable to read from %s: %s\n", worldFileName, systemErrorText().c_str());
    output.copyStaged(world, worldFileName, length, records);
}

}  // namespace

int64_t quadGridX(int32_t gridX, int quad) { return 2 * static_cast<int64_t>(gridX) + (quad == 2 || quad == 4); }
int64_t quadGridY(int32_t gridY, int quad) { return 2 * static_cast<int64_t>(gridY) + (quad >= 3); }

bool gridFitsWorld(int32_t gridX, int32_t gridY) {
    // Oblivion grids from -8 * 32768 to 8 * 32768 - 1, two per Morrowind grid.
    const int32_t limit = cellsPerSubBlock * 32768 / 2;
    return gridX >= -limit && gridX < limit && gridY >= -limit && gridY < limit;
}

FileWriter& worldFile(Landscape& land) {
    FileWriter& file = land.state.worldFile;
    if (!file.isOpen() && !file.open(worldFileName, "wb"))
        fatal("Unable to open %s for writing: %s\n", worldFileName, systemErrorText().c_str());
    stagePendingCell(land);
    return file;
}

void stageExteriorCell(Landscape& land, int32_t gridX, int32_t gridY, const std::string& name, uint8_t flags) {
    worldFile(land);  // the previous cell goes to the file
    LandscapeState& landscape = land.state;
    size_t first = landscape.worldCells.size();
    for (int quad = 1; quad <= 4; ++quad) {
        StagedWorldCell cell;
        cell.gridX = static_cast<int32_t>(quadGridX(gridX, quad));
        cell.gridY = static_cast<int32_t>(quadGridY(gridY, quad));
        cell.formId = land.services.formIds.take();
        SubrecordBuffer data;
        if (!name.empty()) data.addText("EDID", name + quadSuffixes[quad - 1]);
        data.add("DATA", &flags, 1);
        uint8_t grid[8];
        int32ToBytes(cell.gridX, grid);
        int32ToBytes(cell.gridY, grid + 4);
        data.add("XCLC", grid, 8);
        MemorySink& staged = landscape.pendingQuads[quad - 1];
        writePlainRecord(staged, cell.formId, "CELL", data.bytes());
        cell.cellLength = static_cast<uint32_t>(staged.bytes.size());
        landscape.worldCells.push_back(cell);
    }
    landscape.pendingCell = static_cast<long>(first);
    landscape.cellsByGrid[gridKey(gridX, gridY)] = first;
    // The temporary cell files hold this cell now.
    for (int quad = 1; quad <= 4; ++quad) {
        const std::vector<uint8_t>& bytes = landscape.pendingQuads[quad - 1].bytes;
        cellFile(land, quad, false).write(bytes.data(), bytes.size());
    }
    landscape.cellFilesHold = static_cast<long>(first);
}

bool joinStagedCell(Landscape& land, int32_t gridX, int32_t gridY) {
    long found = stagedCell(land, gridX, gridY);
    if (found < 0) return false;
    worldFile(land);  // the previous cell goes to the file
    land.state.pendingCell = found;
    land.state.pendingJoins = true;
    return true;
}

void appendToQuad(Landscape& land, int quad, const std::vector<uint8_t>& record) {
    LandscapeState& landscape = land.state;
    landscape.pendingQuads[quad - 1].write(record.data(), record.size());
    landscape.worldCells[static_cast<size_t>(landscape.pendingCell) + quad - 1].placedCount++;
    if (landscape.cellFilesHold != landscape.pendingCell) return;
    cellFile(land, quad, true).write(record.data(), record.size());
}

long stagedCell(const Landscape& land, int32_t gridX, int32_t gridY) {
    auto found = land.state.cellsByGrid.find(gridKey(gridX, gridY));
    return found == land.state.cellsByGrid.end() ? -1 : static_cast<long>(found->second);
}

bool cellHasLand(const Landscape& land, size_t cellIndex) { return land.state.worldCells[cellIndex].landOffset >= 0; }

void landArrives(Landscape& land, size_t cellIndex) {
    if (land.state.cellFilesHold == static_cast<long>(cellIndex)) {
        deleteCellFiles(land);
        land.state.cellFilesHold = -1;
    }
}

size_t stageCellForLand(Landscape& land, int32_t gridX, int32_t gridY) {
    stageExteriorCell(land, gridX, gridY, "", cellHasWater);
    return static_cast<size_t>(stagedCell(land, gridX, gridY));
}

void Landscape::writeWorld() {
    if (state.cellFilesHold >= 0) deleteCellFiles(*this);
    state.cellFilesHold = -1;
    if (state.worldCells.empty()) return;
    worldFile(*this);
    state.worldFile.close();

    // Blocks by (Y, X), their sub-blocks by (Y, X), their cells by FormID.
    auto place = [this](size_t index) {
        const StagedWorldCell& cell = state.worldCells[index];
        return std::make_tuple(floorDivide(cell.gridY, cellsPerBlock), floorDivide(cell.gridX, cellsPerBlock),
                               floorDivide(cell.gridY, cellsPerSubBlock), floorDivide(cell.gridX, cellsPerSubBlock),
                               cell.formId);
    };
    std::vector<size_t> order(state.worldCells.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&place](size_t a, size_t b) { return place(a) < place(b); });

    ReadFile world = openForReading(worldFileName);
    if (!world) fatal("Unable to open %s for reading: %s\n", worldFileName, systemErrorText().c_str());
    OutputPlugin& output = services.output;
    output.openTopGroup("WRLD", worldStamp);
    output.writeRecord("WRLD", worldFormId, worldRecordData(), worldStamp);
    output.openGroup(worldChildrenGroup, worldLabel);
    size_t worldDepth = output.openGroupCount();

    bool first = true;
    std::tuple<int32_t, int32_t, int32_t, int32_t, uint32_t> previous;
    for (size_t index : order) {
        const StagedWorldCell& cell = state.worldCells[index];
        auto here = place(index);
        bool newBlock = first || std::get<0>(here) != std::get<0>(previous) || std::get<1>(here) != std::get<1>(previous);
        bool newSubBlock = newBlock || std::get<2>(here) != std::get<2>(previous) || std::get<3>(here) != std::get<3>(previous);
        uint8_t label[4];
        if (newBlock) {
            while (output.openGroupCount() > worldDepth) output.closeGroup();
            gridLabel(std::get<1>(here), std::get<0>(here), label);
            output.openGroup(blockGroup, label);
        }
        if (newSubBlock) {
            if (!newBlock) output.closeGroup();
            gridLabel(std::get<3>(here), std::get<2>(here), label);
            output.openGroup(subBlockGroup, label);
        }
        first = false;
        previous = here;

        copyFromWorld(world.get(), cell.cellOffset, cell.cellLength, 1, output);
        if (cell.placedCount == 0 && cell.landOffset < 0) continue;
        cellLabel(cell.formId, label);
        output.openGroup(cellChildrenGroup, label);
        if (cell.placedCount > 0) {
            output.openGroup(persistentChildrenGroup, label);
            // The first run of placed NPCs carries the count of them all.
            copyFromWorld(world.get(), cell.cellOffset + cell.cellLength, cell.placedLength, cell.placedCount, output);
            for (const auto& more : cell.morePlaced) copyFromWorld(world.get(), more.first, more.second, 0, output);
            output.closeGroup();
        }
        if (cell.landOffset >= 0) {
            output.openGroup(temporaryChildrenGroup, label);
            copyFromWorld(world.get(), cell.landOffset, cell.landLength, 1, output);
            output.closeGroup();
        }
        output.closeGroup();
    }
    output.closeAllGroups();
}

}  // namespace landfer

namespace landfer {

void Landscape::closeFiles() {
    state.cellNames.close();
    for (FileWriter& file : state.cellFiles) file.close();
}

}  // namespace landfer
