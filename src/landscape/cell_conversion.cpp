#include "landscape/cell_conversion.h"

#include "landscape/cell_staging.h"
#include "landscape/placed_references.h"
#include "esm/byte_order.h"
#include "esm/plugin_writer.h"

namespace landfer {

namespace {

// Counts earlier exterior cells of the same name and records this one in
// "cell_names.tmp"; the second "Riverside" becomes "Riverside2".
std::string uniqueCellName(RunState& run, const std::string& name) {
    int earlier = run.landscape.cellNameCounts[name]++;
    // The list stays open for the run.
    FileWriter& names = run.caches.cellNames;
    if (names.isOpen() || names.open("cell_names.tmp", "a")) {
        names.write(name);
        names.write("\n");
        names.flush();
    }
    return earlier > 0 ? name + std::to_string(earlier + 1) : name;
}

}  // namespace

int convertCell(RunState& run, RecordData record) {
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
    run.currentCellGridX = readInt32(data.data + 4);
    run.currentCellGridY = readInt32(data.data + 8);
    if (cursor.nextIs("RGNN")) cursor.next();

    // Interior cells carry the interior flag, or interior lighting or water.
    bool interior = (flags & 0x01) != 0 || cursor.nextIs("INTV") || cursor.nextIs("AMBI") || cursor.nextIs("WHGT");
    if (interior) return 0;

    // The editor IDs (name, a number of up to ten digits, " SW" and a 0 byte) must fit a subrecord.
    if (name.size() + 14 > maxSubrecordSize) {
        run.reporter.report("The CELL record %s cannot be converted: its EDID subrecord would hold %zu bytes, more than "
                   "65535. Ignoring!\n",
                   name.c_str(), name.size() + 4);
        return 1;
    }
    if (!gridFitsWorld(run.currentCellGridX, run.currentCellGridY)) {
        run.reporter.report("The CELL record %s at grid (%d, %d) cannot be converted: only grids "
                   "from -131072 to 131071 fit Oblivion's world. Ignoring!\n",
                   name.c_str(), run.currentCellGridX, run.currentCellGridY);
        return 1;
    }
    ++run.exteriorCellCount;
    if (joinStagedCell(run, run.currentCellGridX, run.currentCellGridY)) {
        // Oblivion's world holds one cell per grid.
        run.reporter.report("The CELL record %s at grid (%d, %d) repeats an exterior cell of this plugin: its placed NPCs "
                   "join that cell.\n",
                   name.c_str(), run.currentCellGridX, run.currentCellGridY);
        run.currentCellName = name;
    } else {
        run.currentCellName = name.empty() ? name : uniqueCellName(run, name);
        stageExteriorCell(run, run.currentCellGridX, run.currentCellGridY, run.currentCellName, flags & cellHasWater);
    }

    size_t offset = cursor.offset();
    while (offset < record.size) {
        RecordData rest{record.data + offset, record.size - offset};
        SubrecordCursor here(rest);
        if (here.nextIs("FRMR"))
            offset += convertPlacedReference(run, rest);
        else
            offset += 8 + here.peek().size;
    }
    return 0;
}

}  // namespace landfer
