#include "records/globals_and_books.h"

#include <string>

#include "records/record_staging.h"

namespace landfer {

namespace {
const char* const bookModel = "Clutter\\Books\\Octavo03.NIF";
const char* const bookIcon = "Clutter\\IconBook8.dds";
}  // namespace

void GlobalsAndBooks::convertBook(RecordData record) {
    // The head of a Morrowind book, each part taken only where it stands.
    SubrecordCursor cursor(record);
    std::string identifier;
    std::string displayName;
    for (const char* type : {"NAME", "MODL", "FNAM", "BKDT", "SCRI", "ITEX"}) {
        if (!cursor.nextIs(type)) continue;
        Subrecord sub = cursor.next();
        if (sub.is("NAME")) identifier = std::string(sub.text());
        if (sub.is("FNAM")) displayName = std::string(sub.text());
    }

    // The text comes next; repeated name and model subrecords may stand before it.
    std::string text;
    while (!cursor.atEnd()) {
        Subrecord sub = cursor.peek();
        if (sub.is("TEXT")) {
            text = std::string(sub.text());
            break;
        }
        if (sub.is("ACTI") || sub.is("NAME") || sub.is("MODL") || sub.is("FNAM")) {
            cursor.next();
            continue;
        }
        services_.reporter.report(
            "A BOOK variable record did not follow the NAME,MODL,FNAM,BKDT,SCRI,ITEX,TEXT order I expected. "
            "Ignoring!\n");
        return;
    }

    SubrecordBuffer data;
    data.addText("EDID", identifier);
    data.addText("FULL", displayName);
    data.addText("MODL", bookModel);
    data.addZeros("MODB", 4);
    data.addZeros("MODT", 48);
    data.addText("ICON", bookIcon);
    data.addText("DESC", text);
    data.addZeros("DATA", 10);
    uint32_t formId = 0;
    if (!stageRecord(services_, books_, "BOOK", identifier, data, &formId)) return;
    ++bookCount_;
    services_.convertedBooks.add(identifier, formId);
}

}  // namespace landfer
