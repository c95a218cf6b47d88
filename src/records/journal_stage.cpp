#include "records/journal_stage.h"

namespace landfer {

void addStageBlock(SubrecordBuffer& data, const JournalStage& stage) {
    data.addUint16("INDX", static_cast<uint16_t>(stage.index));
    const uint8_t stageFlags = stage.completesQuest ? 0x01 : 0x00;  // 0x01: the stage completes the quest
    data.add("QSDT", &stageFlags, 1);
    data.addText("CNAM", stage.text);
    data.addZeros("SCHR", 20);
}

}  // namespace landfer
