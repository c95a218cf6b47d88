#include "records/globals_and_books.h"

#include <string>

#include "records/global_book_readers.h"

namespace landfer {

void GlobalsAndBooks::convertGlobal(RecordData record) {
    MorrowindGlobal read = readGlobal(record);
    if (read.value == nullptr) {
        problems_.tell(Problem::skipped(
            "GLOB", read.id, "A GLOBal variable record did not follow NAME,FNAM,FLTV order. Ignoring!\n")
                                    .placedAt(read.misplaced));
        return;
    }

    // Scripts name it by its id: only a later record loses the name.
    RecordWriter& global = globals_.begin("GLOB", output_.formIds);
    global.text("EDID", output_.editorIds.unique(read.id));
    global.uint8("FNAM", read.valueType);
    global.bytes("FLTV", read.value, 4);
    globalIds_.add(read.id, globals_.end());
    ++globalCount_;
}

}  // namespace landfer
