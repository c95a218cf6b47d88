#include "records/globals_and_books.h"

#include <string>

#include "records/record_staging.h"

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
        services_.reporter.report("A GLOBal variable record did not follow NAME,FNAM,FLTV order. Ignoring!\n");
        return;
    }
    Subrecord value = cursor.next();
    value.require(4);

    SubrecordBuffer data;
    data.addText("EDID", identifier);
    data.add("FNAM", &valueType, 1);
    data.add("FLTV", value.data, 4);
    uint32_t formId = 0;
    if (!stageRecord(services_, globals_, "GLOB", identifier, data, &formId)) return;
    globalIds_.add(identifier, formId);
    ++globalCount_;
}

}  // namespace landfer
