#include "landscape/cell_staging.h"
#include "landscape/placed_references.h"
#include "esm/byte_order.h"
#include "esm/plugin_writer.h"

namespace landfer {

namespace {

// Counts earlier exterior cells of the same name and records this one in
// "cell_names.tmp"; the second "Riverside" becomes "Riverside2".
std::string uniqueCellName(Landscape& land, const std::string& name) {
    int earlier = land.state.cellNameCounts[name]++;
    // The list stays open for the run.
    FileWriter& names = land.state.cellNames;
    if (names.isOpen() || names.open(Landscape::cellNamesFileName, "a")) {
        names.write(name);
        names.write("\n");
        names.flush();
    }
    return earlier > 0 ? name + std::to_string(earlier + 1) : name;
}

}  // namespace

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
        services.reporter.report("The CELL record %s cannot be converted: its EDID subrecord would hold %zu bytes, more than "
                   "65535. Ignoring!\n",
                   name.c_str(), name.size() + 4);
        return;
    }
    if (!gridFitsWorld(gridX, gridY)) {
        services.reporter.report("The CELL record %s at grid (%d, %d) cannot be converted: only grids "
                   "from -131072 to 131071 fit Oblivion's world. Ignoring!\n",
                   name.c_str(), gridX, gridY);
        return;
    }
    ++exteriorCellCount;
    if (joinStagedCell(*this, gridX, gridY)) {
        // Oblivion's world holds one cell per grid.
        services.reporter.report("The CELL record %s at grid (%d, %d) repeats an exterior cell of this plugin: its placed NPCs "
                   "join that cell.\n",
                   name.c_str(), gridX, gridY);
    } else {
        stageExteriorCell(*this, gridX, gridY, name.empty() ? name : uniqueCellName(*this, name), flags & cellHasWater);
    }

    size_t offset = cursor.offset();
    while (offset < record.size) {
        RecordData rest{record.data + offset, record.size - offset};
        SubrecordCursor here(rest);
        if (here.nextIs("FRMR"))
            offset += convertPlacedReference(*this, rest, gridX, gridY);
        else
            offset += 8 + here.peek().size;
    }
}

}  // namespace landfer
