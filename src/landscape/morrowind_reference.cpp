#include "landscape/morrowind_reference.h"

#include <cstring>
#include <string_view>

#include "esm/byte_order.h"

namespace landfer {

namespace {

constexpr size_t placementSize = 24;

struct UnkeptSubrecord {
    const char* type;
    uint32_t kind;
};
const UnkeptSubrecord unkeptSubrecords[] = {
    {"ANAM", referenceOwner}, {"BNAM", referenceGlobal},    {"CNAM", referenceFaction},
    {"INDX", referenceRank},  {"FLTV", referenceLock},      {"KNAM", referenceKey},
    {"TNAM", referenceTrap},  {"XSOL", referenceSoul},      {"XCHG", referenceCharge},
    {"INTV", referenceCondition}, {"NAM9", referenceCount},
};

uint32_t unkeptKind(const Subrecord& sub) {
    for (const UnkeptSubrecord& unkept : unkeptSubrecords)
        if (sub.is(unkept.type)) return unkept.kind;
    return 0;
}

// The owner, key, lock level and count, which a placed object can keep;
// false for any other subrecord (a lock level or count too short to read
// among them: it still counts as carried).
bool readKeptData(const Subrecord& sub, MorrowindReference& reference) {
    if (sub.is("ANAM")) {
        reference.owner = std::string(sub.text());
        reference.unkept |= referenceOwner;
    } else if (sub.is("KNAM")) {
        reference.key = std::string(sub.text());
        reference.unkept |= referenceKey;
    } else if (sub.is("FLTV") && sub.size >= 4) {
        reference.lockLevel = readInt32(sub.data);
        reference.unkept |= referenceLock;
    } else if (sub.is("NAM9") && sub.size >= 4) {
        reference.count = readInt32(sub.data);
        reference.unkept |= referenceCount;
    } else {
        return false;
    }
    return true;
}

}  // namespace

const char* referenceDataKindName(int bit) {
    static const char* const names[referenceDataKindCount] = {
        "owner",     "lock",     "key",           "trap",         "soul",      "charge",
        "condition", "count",    "teleport",      "faction owner", "owner global", "owner rank"};
    return bit >= 0 && bit < referenceDataKindCount ? names[bit] : "";
}

ReadReference readReference(RecordData fromFrmr) {
    ReadReference read;
    SubrecordCursor cursor(fromFrmr);
    Subrecord frmr = cursor.next();
    if (frmr.size >= 4) read.number = readUint32(frmr.data);
    bool named = cursor.nextIs("NAME");
    if (named) read.reference.baseId = std::string(cursor.next().text());
    bool placed = false, deleted = false;
    while (!cursor.atEnd() && !cursor.nextIs("FRMR") && !cursor.nextIs("MVRF")) {
        Subrecord sub = cursor.next();
        if (sub.is("DATA") && !placed) {
            placed = true;
            read.dataSize = sub.size;
            if (sub.size >= placementSize)
                for (size_t i = 0; i < 6; ++i) read.reference.placement[i] = readFloat(sub.data + 4 * i);
        } else if (sub.is("DELE")) {
            deleted = true;
        } else if (sub.is("XSCL") && sub.size >= 4) {
            read.reference.scale = readFloat(sub.data);
        } else if (sub.is("DODT") && sub.size >= placementSize) {
            std::array<float, 6> arrival;
            for (size_t i = 0; i < 6; ++i) arrival[i] = readFloat(sub.data + 4 * i);
            read.reference.arrival = arrival;
            read.reference.unkept |= referenceTeleport;
        } else if (sub.is("DNAM")) {
            read.reference.destinationCell = std::string(sub.text());
            read.reference.unkept |= referenceTeleport;
        } else if (!readKeptData(sub, read.reference)) {
            read.reference.unkept |= unkeptKind(sub);
        }
    }
    read.deleted = deleted;
    read.length = cursor.offset();
    read.followedByReference = !cursor.atEnd();
    if (!named)
        read.reading = ReferenceReading::withoutName;
    else if (deleted)
        read.reading = ReferenceReading::deleted;
    else if (!placed)
        read.reading = ReferenceReading::withoutData;
    else if (read.dataSize < placementSize)
        read.reading = ReferenceReading::dataTooShort;
    return read;
}

void walkReferences(RecordData cell, size_t offset,
                    const std::function<void(ReadReference&, const ReferenceMove&)>& use) {
    ReferenceMove move;
    while (offset < cell.size) {
        RecordData rest{cell.data + offset, cell.size - offset};
        SubrecordCursor here(rest);
        Subrecord sub = here.peek();
        if (sub.is("FRMR")) {
            ReadReference read = readReference(rest);
            size_t length = read.length;
            use(read, move);
            move = ReferenceMove();
            offset += length;
            continue;
        }
        if (sub.is("MVRF") && sub.size >= 4) {
            move.moved = false;
            move.number = readUint32(sub.data);
        } else if (sub.is("CNDT") && sub.size >= 8) {
            // An interior target (CNAM) is no grid: the reference stays where it is listed.
            move.moved = true;
            move.gridX = readInt32(sub.data);
            move.gridY = readInt32(sub.data + 4);
        }
        offset += inputSubrecordHeaderSize + sub.size;
    }
}

}  // namespace landfer
