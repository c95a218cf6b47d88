// The command line: -v/-V (the version line), --help, --report FILE,
// --master FILE (repeatable), --models PREFIX and the path of the one
// input plugin.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace landfer {

// What the command line asks for.
struct CommandLine {
    bool done = false;  // the version line or the help was printed
    std::string reportPath;  // empty without --report
    std::string inputPath;
    std::vector<std::string> masterPaths;  // in the order given
    // Objects with a Morrowind model become statics of that model, below
    // this folder; empty without --models.
    std::string modelsPrefix;
};

// Parses the options, printing the version line or the help on `progress`
// when asked; raises FatalError for an unknown option, --report with an
// empty name, no input file or more than one.
CommandLine parseCommandLine(int argc, char* argv[], FILE* progress);

}  // namespace landfer
