// What every lookup table starts from: the lookup data directory its files
// are in, and where it tells what it finds wrong in them. Each table
// reads its files at its first lookup and keeps what it needs.
#pragma once

#include <string>
#include <utility>

#include "esm/fatal_error.h"
#include "esm/problem.h"

namespace landfer {

class LookupTable {
public:
    LookupTable(std::string lookupDirectory, ProblemSink& problems)
        : directory_(std::move(lookupDirectory)), problems_(problems) {}

protected:
    // A file of the lookup directory, as "<directory>/<name>".
    std::string path(const std::string& name) const { return directory_ + "/" + name; }
    // A line of the file at `path` that holds no entry the table can use,
    // without its line break; each is reported once a run.
    void reportCorruptLine(const std::string& path, const std::string& line) const {
        warn(path, formatText("Ignoring a corrupt line in %s: %s\n", path.c_str(), line.c_str()));
    }

    // What is wrong in the lookup file at `path`, told once.
    void warn(const std::string& path, std::string message) const {
        problems_.tell(Problem::warned({}, path, std::move(message)));
    }

    std::string directory_;
    ProblemSink& problems_;
};

}  // namespace landfer
