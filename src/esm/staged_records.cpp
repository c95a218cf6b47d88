#include "esm/staged_records.h"

#include "esm/fatal_error.h"
#include "esm/read_file.h"

namespace landfer {

FileWriter& StagedRecords::file() {
    if (!file_.isOpen() && !file_.open(fileName_, "wb"))
        fatal("Unable to open %s for writing: %s\n", fileName_.c_str(), systemErrorText().c_str());
    return file_;
}

uint32_t StagedRecords::end() {
    writer_.checkSizes();
    file();
    ++records_;
    return writer_.end();
}

uint32_t StagedRecords::endCompressed(Deflater& deflater) {
    writer_.compress(deflater);
    return end();
}

void StagedRecords::copyInto(OutputPlugin& output) {
    if (records_ == 0) return;
    uint64_t length = static_cast<uint64_t>(file_.position());
    file_.close();
    ReadFile staged = openForReading(fileName_);
    if (!staged) fatal("Unable to open %s for reading: %s\n", fileName_.c_str(), systemErrorText().c_str());
    output.openTopGroup(label_);
    output.copyStaged(staged.get(), fileName_.c_str(), length, records_);
    output.closeGroup(GroupType::top);
}

}  // namespace landfer
