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
    // A line of the file at `path` that holds no entry the table can use,
    // without its line break; each is reported once a run.
    void reportCorruptLine(const std::string& path, const std::string& line) const {
        reporter_.report("Ignoring a corrupt line in %s: %s\n", path.c_str(), line.c_str());
    }

    std::string directory_;
    const Reporter& reporter_;
};

}  // namespace landfer
