#include "records/globals_and_books.h"

#include <string>

#include "records/global_book_readers.h"

namespace landfer {

namespace {
const char* const bookModel = "Clutter\\Books\\Octavo03.NIF";
const char* const bookIcon = "Clutter\\IconBook8.dds";
}  // namespace

void GlobalsAndBooks::convertBook(RecordData record) {
    MorrowindBook read = readBook(record);
    if (!read.inOrder) {
        problems_.tell(Problem::skipped("BOOK", read.id,
                                                 "A BOOK variable record did not follow the NAME,MODL,FNAM,BKDT,SCRI,"
                                                 "ITEX,TEXT order I expected. Ignoring!\n")
                                    .placedAt(read.misplaced));
        return;
    }

    // Scripts name it by its id: only a later record loses the name.
    RecordWriter& book = books_.begin("BOOK", output_.formIds);
    book.text("EDID", output_.editorIds.unique(read.id));
    book.text("FULL", read.name);
    book.text("MODL", bookModel);
    book.zeros("MODB", 4);
    book.zeros("MODT", 48);
    book.text("ICON", bookIcon);
    book.text("DESC", read.text);
    book.zeros("DATA", 10);
    bookIds_.add(read.id, books_.end());
    ++bookCount_;
}

}  // namespace landfer
