#include "esm/byte_order.h"
#include "esm/plugin_writer.h"
#include "landscape/landscape.h"

namespace landfer {

bool gridFitsWorld(int32_t gridX, int32_t gridY) {
    // Oblivion grids from -8 * 32768 to 8 * 32768 - 1, two per Morrowind grid.
    const int32_t limit = 8 * 32768 / 2;
    return gridX >= -limit && gridX < limit && gridY >= -limit && gridY < limit;
}

// Counts earlier exterior cells of the same name; the second "Riverside"
// becomes "Riverside2".
std::string Landscape::uniqueCellName(const std::string& name) {
    int earlier = cellNameCounts_[name]++;
    return earlier > 0 ? name + std::to_string(earlier + 1) : name;
}

size_t Landscape::stageCell(int32_t gridX, int32_t gridY, const std::string& name, uint8_t flags) {
    std::array<QuadRecord, 4> cells;
    for (Quad quad : allQuads) {
        QuadRecord& cell = cells[quadIndex(quad)];
        cell.formId = services_.formIds.take();
        SubrecordBuffer data;
        if (!name.empty()) data.addText("EDID", name + quadSuffix(quad));
        data.add("DATA", &flags, 1);
        uint8_t grid[8];
        int32ToBytes(static_cast<int32_t>(quadGridX(gridX, quad)), grid);
        int32ToBytes(static_cast<int32_t>(quadGridY(gridY, quad)), grid + 4);
        data.add("XCLC", grid, 8);
        MemorySink record;
        writePlainRecord(record, cell.formId, "CELL", data.bytes());
        cell.bytes = std::move(record.bytes);
    }
    return world_.stageCell(gridX, gridY, cells);
}

void Landscape::convertCell(RecordData record) {
    // Every subrecord must fit before anything is staged.
    for (SubrecordCursor check(record); !check.atEnd();) check.next();

    // The head: NAME, an optional DELE, DATA (flags, grid X, grid Y), an optional RGNN.
    SubrecordCursor cursor(record);
    if (cursor.atEnd()) throw MalformedRecord("it has no NAME");
    std::string name(cursor.next().text());
    if (cursor.nextIs("DELE")) cursor.next();
    if (cursor.atEnd()) throw MalformedRecord("it has no DATA");
    Subrecord data = cursor.next();
    data.require(12);
    uint32_t flags = readUint32(data.data);
    const int32_t gridX = readInt32(data.data + 4);
    const int32_t gridY = readInt32(data.data + 8);
    if (cursor.nextIs("RGNN")) cursor.next();

    // Interior cells carry the interior flag, or interior lighting or water.
    bool interior = (flags & 0x01) != 0 || cursor.nextIs("INTV") || cursor.nextIs("AMBI") || cursor.nextIs("WHGT");
    if (interior) return;

    // The editor IDs (name, a number of up to ten digits, " SW" and a 0 byte) must fit a subrecord.
    if (name.size() + 14 > maxSubrecordSize) {
        services_.reporter.report("The CELL record %s cannot be converted: its EDID subrecord would hold %zu bytes, more than "
                   "65535. Ignoring!\n",
                   name.c_str(), name.size() + 4);
        return;
    }
    if (!gridFitsWorld(gridX, gridY)) {
        services_.reporter.report("The CELL record %s at grid (%d, %d) cannot be converted: only grids "
                   "from -131072 to 131071 fit Oblivion's world. Ignoring!\n",
                   name.c_str(), gridX, gridY);
        return;
    }
    ++exteriorCellCount_;
    if (world_.joinCell(gridX, gridY)) {
        // Oblivion's world holds one cell per grid.
        services_.reporter.report("The CELL record %s at grid (%d, %d) repeats an exterior cell of this plugin: its placed NPCs "
                   "join that cell.\n",
                   name.c_str(), gridX, gridY);
    } else {
        stageCell(gridX, gridY, name.empty() ? name : uniqueCellName(name), flags & cellHasWater);
    }

    size_t offset = cursor.offset();
    while (offset < record.size) {
        RecordData rest{record.data + offset, record.size - offset};
        SubrecordCursor here(rest);
        if (here.nextIs("FRMR"))
            offset += convertPlacedReference(rest, gridX, gridY);
        else
            offset += 8 + here.peek().size;
    }
}

}  // namespace landfer
