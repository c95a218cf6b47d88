#include "landscape/cell_staging.h"

#include <cstdio>

#include "plugin/byte_order.h"
#include "plugin/fatal_error.h"
#include "plugin/plugin_writer.h"

namespace landfer {

namespace {

const char* const quadSuffixes[4] = {" SW", " SE", " NW", " NE"};

std::string cellFileName(int quad) { return "cell" + std::to_string(quad) + ".tmp"; }

// With the caches, the four files stay open for the run and are emptied
// instead of deleted; they are deleted with the other temporary files.
void deleteCellFiles(RunState& run) {
    for (int quad = 1; quad <= 4; ++quad) {
        FileWriter& kept = run.caches.cellFiles[quad - 1];
        if (kept.isOpen())
            kept.restart();
        else
            std::remove(cellFileName(quad).c_str());
    }
}

// The cell file of a quad, open for writing (a new file) or appending.
FileWriter& cellFile(RunState& run, int quad, bool append, FileWriter& once) {
    FileWriter& kept = run.caches.cellFiles[quad - 1];
    if (kept.isOpen()) {
        if (!append) kept.restart();
        return kept;
    }
    FileWriter& file = run.caches.enabled ? kept : once;
    std::string fileName = cellFileName(quad);
    if (!file.open(fileName, append ? "ab" : "wb")) {
        if (append)
            fatal("Unable to open temp CELL file (%s) for appending: %s\n", fileName.c_str(),
                  systemErrorText().c_str());
        fatal("Unable to open %s for writing: %s\n", fileName.c_str(), systemErrorText().c_str());
    }
    return file;
}

// The world block: the world top group, the one world record of the
// plugin ("Landfer", water 0x18, unbounded extent).
const uint8_t worldBlock[135] = {
    'G', 'R', 'U', 'P', 0x57, 0x4F, 0, 0, 'W', 'R', 'L', 'D', 0, 0, 0, 0, 0x09, 0x2F, 0, 0,
    'W', 'R', 'L', 'D', 0x5F, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0x08, 0x00, 0x01, 0x09, 0x2F, 0, 0,
    'E', 'D', 'I', 'D', 8, 0, 'L', 'a', 'n', 'd', 'f', 'e', 'r', 0,
    'F', 'U', 'L', 'L', 8, 0, 'L', 'a', 'n', 'd', 'f', 'e', 'r', 0,
    'N', 'A', 'M', '2', 4, 0, 0x18, 0, 0, 0,
    'M', 'N', 'A', 'M', 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'D', 'A', 'T', 'A', 1, 0, 1,
    'N', 'A', 'M', '0', 8, 0, 0xFF, 0xFF, 0x7F, 0x7F, 0xFF, 0xFF, 0x7F, 0x7F,
    'N', 'A', 'M', '9', 8, 0, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF};
const uint8_t worldFormIdLabel[4] = {0xFF, 0x08, 0x00, 0x00};

}  // namespace

int64_t quadGridX(int32_t gridX, int quad) { return 2 * static_cast<int64_t>(gridX) + (quad == 2 || quad == 4); }
int64_t quadGridY(int32_t gridY, int quad) { return 2 * static_cast<int64_t>(gridY) + (quad >= 3); }

void formIdLabel(int32_t counterValue, uint8_t label[4]) {
    int32ToBytes(counterValue, label);
    label[3] = 0;
}

size_t stageExteriorCell(RunState& run, int32_t gridX, int32_t gridY, const std::string& name) {
    LandscapeState& landscape = run.landscape;
    landscape.waitingCells.emplace_back();
    StagedCell& cell = landscape.waitingCells.back();
    cell.gridX = gridX;
    cell.gridY = gridY;
    cell.formIdBase = run.nextFormId;
    for (int quad = 1; quad <= 4; ++quad) {
        SubrecordBuffer data;
        if (!name.empty()) data.addText("EDID", name + quadSuffixes[quad - 1]);
        data.add("DATA", nullptr, 0);
        uint8_t grid[8];
        int32ToBytes(static_cast<int32_t>(quadGridX(gridX, quad)), grid);
        int32ToBytes(static_cast<int32_t>(quadGridY(gridY, quad)), grid + 4);
        data.add("XCLC", grid, 8);
        writePlainRecord(cell.quads[quad - 1], run.nextFormId, "CELL", data.bytes());
    }
    // The temporary cell files hold this cell now.
    for (int quad = 1; quad <= 4; ++quad) {
        FileWriter once;
        FileWriter& file = cellFile(run, quad, false, once);
        file.write(cell.quads[quad - 1].bytes.data(), cell.quads[quad - 1].bytes.size());
        once.close();
    }
    landscape.temporaryFilesHoldLastCell = true;
    return landscape.waitingCells.size() - 1;
}

void appendToQuad(RunState& run, size_t cellIndex, int quad, const std::vector<uint8_t>& block) {
    LandscapeState& landscape = run.landscape;
    MemorySink& staged = landscape.waitingCells[cellIndex].quads[quad - 1];
    staged.write(block.data(), block.size());
    if (!landscape.temporaryFilesHoldLastCell || cellIndex + 1 != landscape.waitingCells.size()) return;
    FileWriter once;
    cellFile(run, quad, true, once).write(block.data(), block.size());
    once.close();
}

long findWaitingCell(const RunState& run, int32_t gridX, int32_t gridY) {
    const auto& cells = run.landscape.waitingCells;
    for (size_t i = cells.size(); i-- > 0;)
        if (cells[i].gridX == gridX && cells[i].gridY == gridY) return static_cast<long>(i);
    return -1;
}

void removeWaitingCell(RunState& run, size_t cellIndex) {
    LandscapeState& landscape = run.landscape;
    if (landscape.temporaryFilesHoldLastCell && cellIndex + 1 == landscape.waitingCells.size()) {
        deleteCellFiles(run);
        landscape.temporaryFilesHoldLastCell = false;
    }
    landscape.waitingCells.erase(landscape.waitingCells.begin() + static_cast<long>(cellIndex));
}

void ensureWorld(RunState& run) {
    OutputPlugin& output = run.output;
    if (output.currentTopGroup() == "WRLD") return;
    output.endOpenGroups();
    FileWriter& out = output.file();
    int64_t worldStart = out.position();
    out.write(worldBlock, sizeof worldBlock);
    output.beginTopGroupAt("WRLD", worldStart);
    int64_t childrenStart = out.position();
    writeTypeAndSize(out, "GRUP", 0x02000000);
    writeFormIdGroupTail(out, 1, worldFormIdLabel);
    output.beginNestedGroupAt(childrenStart);
}

void writeWaitingCells(RunState& run) {
    LandscapeState& landscape = run.landscape;
    for (const StagedCell& cell : landscape.waitingCells) {
        ensureWorld(run);
        for (const MemorySink& quad : cell.quads) run.output.file().write(quad.bytes.data(), quad.bytes.size());
    }
    landscape.waitingCells.clear();
    if (landscape.temporaryFilesHoldLastCell) deleteCellFiles(run);
    landscape.temporaryFilesHoldLastCell = false;
}

}  // namespace landfer
