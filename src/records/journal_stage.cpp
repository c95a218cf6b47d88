#include "records/journal_stage.h"

namespace landfer {

void addStageBlock(SubrecordBuffer& data, const JournalStage& stage) {
    const uint8_t index[2] = {static_cast<uint8_t>(stage.index), static_cast<uint8_t>(stage.index >> 8)};
    data.add("INDX", index, 2);
    const uint8_t stageFlags = stage.completesQuest ? 0x01 : 0x00;  // 0x01: the stage completes the quest
    data.add("QSDT", &stageFlags, 1);
    data.addText("CNAM", stage.text);
    data.addZeros("SCHR", 20);
}

}  // namespace landfer
