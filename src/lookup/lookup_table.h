// What every lookup table starts from: the lookup data directory its files
// are in, and the reporter for what it finds wrong in them. Each table
// reads its files at its first lookup and keeps what it needs.
#pragma once

#include <string>
#include <utility>

#include "esm/reporter.h"

namespace landfer {

class LookupTable {
public:
    LookupTable(std::string lookupDirectory, const Reporter& reporter)
        : directory_(std::move(lookupDirectory)), reporter_(reporter) {}

protected:
    // A file of the lookup directory, as "<directory>/<name>".
    std::string path(const std::string& name) const { return directory_ + "/" + name; }

    std::string directory_;
    const Reporter& reporter_;
};

}  // namespace landfer
