#include "landscape/staged_run.h"

#include "esm/byte_order.h"
#include "esm/staged_file.h"

namespace landfer {

StagedRun stageRun(StagingFile& file, const std::vector<uint8_t>& records, uint32_t count) {
    FileWriter& writer = file.append();
    StagedRun run{writer.position(), records.size(), count};
    writer.write(records.data(), records.size());
    return run;
}

void copyRun(BlockReader& staged, const std::string& name, const StagedRun& run, OutputPlugin& output) {
    // The cells are mostly read in the order they were staged: no seek, no lost buffer.
    seekStaged(staged, name.c_str(), run.offset);
    output.copyStaged(staged, name.c_str(), run.length, run.records);
}

std::array<uint8_t, 4> formIdLabel(uint32_t formId) {
    std::array<uint8_t, 4> label;
    storeUint32(label.data(), formId);
    return label;
}

}  // namespace landfer
