// The one table of the Morrowind record types Landfer knows: what the run
// does with each (converts it, shows it in the progress line, or passes
// over it), whether the pass before the conversion reads it as a base
// object that references and inventories name, and the subrecord that names
// a record of the type in messages. The run's dispatch, the masters' and
// the input's pre-scan and the names in messages all read it.
#pragma once

#include <cstdint>

#include "esm/record_type.h"

namespace landfer {

// What the run does with a record of the type, in the main pass.
enum class Converter {
    none,       // passed over (one "." of progress for every ten)
    shownOnly,  // not converted, but shown in the progress line
    cell,
    land,
    landTexture,
    npc,
    global,
    book,
    dialogueTopic,
    response,
};

struct MorrowindType {
    RecordType type;
    Converter converter;
    // The progress characters shown for it, and whether they are flushed.
    const char* progress;
    bool flushProgress;
    // Read by the pre-scan: an object a reference or an inventory may name.
    bool baseObject;
    // The subrecord naming a record in messages: NAME, INAM for a response,
    // INTV (the grid) for a land.
    RecordType nameSubrecord;
};

// The row of the type at `header` (a record header's first four bytes), or null.
const MorrowindType* findMorrowindType(const uint8_t* header);

// Whether the record at `header` is a base object the pre-scan reads.
bool isBaseObjectType(const uint8_t* header);

}  // namespace landfer
