#include "records/journal_stage.h"

namespace landfer {

void addStageBlock(RecordWriter& record, const JournalStage& stage) {
    record.uint16("INDX", stage.index);
    record.uint8("QSDT", stage.completesQuest ? 0x01 : 0x00);  // 0x01: the stage completes the quest
    record.text("CNAM", stage.text);
    record.zeros("SCHR", 20);
}

}  // namespace landfer
