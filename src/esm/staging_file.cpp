#include "esm/staging_file.h"

#include "esm/fatal_error.h"

namespace landfer {

FileWriter& StagingFile::append() {
    if (!writer_.isOpen() && !writer_.open(path_, "wb"))
        fatal("Unable to open %s for writing: %s\n", path_.c_str(), systemErrorText().c_str());
    return writer_;
}

BlockReader StagingFile::readBack() {
    writer_.close();
    ReadFile file = openForReading(path_);
    if (!file) fatal("Unable to open %s for reading: %s\n", path_.c_str(), systemErrorText().c_str());
    return BlockReader(std::move(file), BlockReader::stagedBlockSize);
}

}  // namespace landfer
