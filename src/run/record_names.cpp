#include "run/record_names.h"

#include <cstring>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "services/losses.h"

namespace landfer {

namespace {

// The first subrecord of this type, as far as the record can be read.
bool findSubrecord(RecordData data, const char* type, Subrecord& found) {
    SubrecordCursor cursor(data);
    try {
        while (!cursor.atEnd()) {
            Subrecord sub = cursor.next();
            if (sub.is(type)) {
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

std::string recordEditorId(const char* type, RecordData data) {
    Subrecord sub;
    std::string id;
    if (std::memcmp(type, "LAND", 4) == 0) {
        if (findSubrecord(data, "INTV", sub)) id = gridOf(sub, 0);
    } else if (findSubrecord(data, std::memcmp(type, "INFO", 4) == 0 ? "INAM" : "NAME", sub)) {
        id = withControlCharactersEscaped(sub.text());
        if (id.empty() && std::memcmp(type, "CELL", 4) == 0 && findSubrecord(data, "DATA", sub)) id = gridOf(sub, 4);
    }
    return id.empty() ? "without an editor ID" : id;
}

}  // namespace landfer
