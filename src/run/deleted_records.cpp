#include "run/deleted_records.h"

#include "esm/byte_order.h"
#include "esm/input_plugin.h"
#include "esm/record_reader.h"

namespace landfer {

bool isDeletedRecord(const std::vector<uint8_t>& record) {
    if (record.size() < inputHeaderSize) return false;
    if (hasDeletedFlag(record.data())) return true;
    SubrecordCursor cursor(RecordData{record.data() + inputHeaderSize, record.size() - inputHeaderSize});
    try {
        while (!cursor.atEnd() && !cursor.nextIs("FRMR")) {
            if (cursor.nextIs("DELE")) return true;
            cursor.next();
        }
    } catch (const MalformedRecord&) {
        // What cannot be read is the converter's to report.
    }
    return false;
}

}  // namespace landfer
