#include "records/global_book_readers.h"

namespace landfer {

MorrowindGlobal readGlobal(RecordData record) {
    SubrecordCursor cursor(record);
    MorrowindGlobal global;
    if (cursor.nextIs("NAME")) global.id = std::string(cursor.next().text());
    if (cursor.nextIs("FNAM")) {
        Subrecord type = cursor.next();
        type.require(1);
        global.valueType = type.data[0];
    }
    if (!cursor.nextIs("FLTV")) {
        global.misplaced = cursor.atEnd() ? nullptr : record.data + cursor.offset();
        return global;
    }
    Subrecord value = cursor.next();
    value.require(4);
    global.value = value.data;
    return global;
}

MorrowindBook readBook(RecordData record) {
    SubrecordCursor cursor(record);
    MorrowindBook book;
    for (const char* type : {"NAME", "MODL", "FNAM", "BKDT", "SCRI", "ITEX"}) {
        if (!cursor.nextIs(type)) continue;
        Subrecord sub = cursor.next();
        if (sub.is("NAME")) book.id = std::string(sub.text());
        if (sub.is("FNAM")) book.name = std::string(sub.text());
    }
    while (!cursor.atEnd()) {
        Subrecord sub = cursor.peek();
        if (sub.is("TEXT")) {
            book.text = std::string(sub.text());
            break;
        }
        if (sub.is("ACTI") || sub.is("NAME") || sub.is("MODL") || sub.is("FNAM")) {
            cursor.next();
            continue;
        }
        book.inOrder = false;
        book.misplaced = sub.data - inputSubrecordHeaderSize;
        break;
    }
    return book;
}

}  // namespace landfer
