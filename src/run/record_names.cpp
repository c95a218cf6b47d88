#include "run/record_names.h"

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "services/losses.h"

namespace landfer {

namespace {

// The first subrecord of this type, as far as the record can be read.
bool findSubrecord(RecordData data, RecordType type, Subrecord& found) {
    SubrecordCursor cursor(data);
    try {
        while (!cursor.atEnd()) {
            Subrecord sub = cursor.next();
            if (sub.is(type.view())) {
                found = sub;
                return true;
            }
        }
    } catch (const MalformedRecord&) {
    }
    return false;
}

std::string gridOf(const Subrecord& sub, size_t offset) {
    if (sub.size < offset + 8) return std::string();
    return formatText("at grid (%d, %d)", readInt32(sub.data + offset), readInt32(sub.data + offset + 4));
}

}  // namespace

std::string recordEditorId(const MorrowindType& type, RecordData data) {
    Subrecord sub;
    std::string id;
    if (findSubrecord(data, type.nameSubrecord, sub)) {
        if (type.nameSubrecord == "INTV") {
            id = gridOf(sub, 0);
        } else {
            id = withControlCharactersEscaped(sub.text());
            if (id.empty() && type.type == "CELL" && findSubrecord(data, "DATA", sub)) id = gridOf(sub, 4);
        }
    }
    return id.empty() ? "without an editor ID" : id;
}

}  // namespace landfer
