// One quest stage made from one Morrowind journal entry, and its block of
// subrecords in the QUST record: INDX stage index, QSDT stage flags, CNAM
// log text, SCHR an empty result script.
#pragma once

#include <cstdint>
#include <string>

#include "esm/plugin_writer.h"

namespace landfer {

struct JournalStage {
    uint16_t index = 0;
    bool completesQuest = false;
    std::string text;
};

void addStageBlock(SubrecordBuffer& data, const JournalStage& stage);

}  // namespace landfer
