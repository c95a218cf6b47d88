#include "landscape/morrowind_cell.h"

#include "esm/byte_order.h"

namespace landfer {

namespace {

constexpr size_t lightingSize = 16;

CellLighting readLighting(const Subrecord& ambi) {
    CellLighting lighting;
    for (size_t i = 0; i < 4; ++i) {
        lighting.ambient[i] = ambi.data[i];
        lighting.sunlight[i] = ambi.data[4 + i];
        lighting.fog[i] = ambi.data[8 + i];
    }
    lighting.fogDensity = readFloat(ambi.data + 12);
    return lighting;
}

// The subrecords between the head and the first reference.
void readBody(SubrecordCursor cursor, MorrowindCell& cell) {
    while (!cursor.atEnd() && !cursor.nextIs("FRMR")) {
        Subrecord sub = cursor.next();
        if (sub.is("RGNN")) {
            cell.hasRegion = true;
        } else if (sub.is("NAM5")) {
            cell.hasMapColour = true;
        } else if (sub.is("AMBI") && sub.size >= lightingSize) {
            cell.lighting = readLighting(sub);
        } else if (sub.is("WHGT") && sub.size >= 4) {
            cell.waterHeight = readFloat(sub.data);
        } else if (sub.is("INTV") && sub.size >= 4 && !cell.waterHeight) {
            cell.waterHeight = static_cast<float>(readInt32(sub.data));
        }
    }
}

}  // namespace

MorrowindCell readCell(RecordData record) {
    // Every subrecord must fit before anything is taken from it.
    for (SubrecordCursor check(record); !check.atEnd();) check.next();

    // The head: NAME, an optional DELE, DATA (flags, grid X, grid Y), an optional RGNN.
    MorrowindCell cell;
    SubrecordCursor cursor(record);
    if (cursor.atEnd()) throw MalformedRecord("it has no NAME");
    cell.name = std::string(cursor.next().text());
    if (cursor.nextIs("DELE")) cursor.next();
    if (cursor.atEnd()) throw MalformedRecord("it has no DATA");
    Subrecord data = cursor.next();
    data.require(12);
    cell.flags = readUint32(data.data);
    cell.gridX = readInt32(data.data + 4);
    cell.gridY = readInt32(data.data + 8);
    if (cursor.nextIs("RGNN")) {
        cursor.next();
        cell.hasRegion = true;
    }
    // Interior cells carry the interior flag, or interior lighting or water.
    cell.interior = (cell.flags & morrowindInteriorFlag) != 0 || cursor.nextIs("INTV") || cursor.nextIs("AMBI") ||
                    cursor.nextIs("WHGT");
    cell.afterHead = cursor.offset();
    readBody(cursor, cell);
    return cell;
}

}  // namespace landfer
