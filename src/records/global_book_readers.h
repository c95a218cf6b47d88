// The Morrowind GLOB and BOOK records as the converter reads them: each
// read by one quiet function into a struct. A subrecord too short for what
// it holds raises MalformedRecord; subrecords out of the order the game
// writes leave the record unread, with where the first misplaced one is.
#pragma once

#include <cstdint>
#include <string>

#include "esm/record_reader.h"

namespace landfer {

// NAME and FNAM are optional; FLTV must follow them. A global without a
// NAME has an empty identifier, without FNAM the type 'f' (float).
struct MorrowindGlobal {
    std::string id;
    uint8_t valueType = 'f';
    const uint8_t* value = nullptr;  // FLTV's four bytes; null when it is not where it belongs
    const uint8_t* misplaced = nullptr;  // the subrecord in its place, null at the record's end
};
MorrowindGlobal readGlobal(RecordData record);

// The head (NAME, MODL, FNAM, BKDT, SCRI, ITEX, each where it stands), then
// the TEXT; repeated name and model subrecords may stand before the text.
struct MorrowindBook {
    std::string id;
    std::string name;  // FNAM, as the game shows it
    std::string text;
    bool inOrder = true;
    const uint8_t* misplaced = nullptr;  // the header of the subrecord out of order
};
MorrowindBook readBook(RecordData record);

}  // namespace landfer
