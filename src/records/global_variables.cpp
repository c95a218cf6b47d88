#include "records/globals_and_books.h"

#include <string>


namespace landfer {

void GlobalsAndBooks::convertGlobal(RecordData record) {
    // NAME and FNAM are optional; FLTV must follow them. A global without a
    // NAME gets an empty identifier, without FNAM the type 'f' (float).
    SubrecordCursor cursor(record);
    std::string identifier;
    uint8_t valueType = 'f';
    if (cursor.nextIs("NAME")) identifier = std::string(cursor.next().text());
    if (cursor.nextIs("FNAM")) {
        Subrecord type = cursor.next();
        type.require(1);
        valueType = type.data[0];
    }
    if (!cursor.nextIs("FLTV")) {
        services_.problems.tell(Problem::skipped(
            "GLOB", identifier, "A GLOBal variable record did not follow NAME,FNAM,FLTV order. Ignoring!\n")
                                    .placedAt(cursor.atEnd() ? nullptr : record.data + cursor.offset()));
        return;
    }
    Subrecord value = cursor.next();
    value.require(4);

    // Scripts name it by its id: only a later record loses the name.
    RecordWriter& global = globals_.begin("GLOB", services_.formIds);
    global.text("EDID", services_.editorIds.unique(identifier));
    global.uint8("FNAM", valueType);
    global.bytes("FLTV", value.data, 4);
    globalIds_.add(identifier, globals_.end());
    ++globalCount_;
}

}  // namespace landfer
