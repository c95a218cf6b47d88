#include "records/globals_and_books.h"

#include <string>


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
        services_.problems.tell(Problem::skipped("BOOK", identifier,
                                                 "A BOOK variable record did not follow the NAME,MODL,FNAM,BKDT,SCRI,"
                                                 "ITEX,TEXT order I expected. Ignoring!\n")
                                    .placedAt(sub.data - inputSubrecordHeaderSize));
        return;
    }

    // Scripts name it by its id: only a later record loses the name.
    RecordWriter& book = books_.begin("BOOK", services_.formIds);
    book.text("EDID", services_.editorIds.unique(identifier));
    book.text("FULL", displayName);
    book.text("MODL", bookModel);
    book.zeros("MODB", 4);
    book.zeros("MODT", 48);
    book.text("ICON", bookIcon);
    book.text("DESC", text);
    book.zeros("DATA", 10);
    services_.convertedBooks.add(identifier, books_.end());
    ++bookCount_;
}

}  // namespace landfer
