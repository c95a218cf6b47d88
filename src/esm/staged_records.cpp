#include "esm/staged_records.h"

namespace landfer {

uint32_t StagedRecords::end() {
    writer_.checkSizes();
    writer_.writeTo(staging_.append());
    ++records_;
    return writer_.end();
}

uint32_t StagedRecords::endCompressed(Deflater& deflater) {
    writer_.compress(deflater);
    return end();
}

void StagedRecords::copyInto(OutputPlugin& output) {
    if (records_ == 0) return;
    uint64_t length = static_cast<uint64_t>(staging_.length());
    BlockReader staged = staging_.readBack();
    output.openTopGroup(label_);
    output.copyStaged(staged, staging_.path().c_str(), length, records_);
    output.closeGroup(GroupType::top);
}

}  // namespace landfer
