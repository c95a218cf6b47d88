// The command line: -v/-V (the version line), --help, --report FILE,
// --master FILE (repeatable), --models PREFIX and the input plugin's path,
// the last argument.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace landfer {

// What the command line asks for.
struct CommandLine {
    bool done = false;  // the version line or the help was printed
    std::string reportPath;
    std::vector<std::string> masterPaths;  // in the order given
    // Objects with a Morrowind model become statics of that model, below this folder.
    bool placeModels = false;
    std::string modelsPrefix;
};

// Parses the options, printing the version line or the help on `progress`
// when asked; raises FatalError for an unknown option or no input file.
CommandLine parseCommandLine(int argc, char* argv[], FILE* progress);

}  // namespace landfer
