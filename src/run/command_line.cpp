#include "run/command_line.h"

#include <getopt.h>

#include "esm/fatal_error.h"

namespace landfer {

namespace {

const char* const helpText =
    "Usage: %s [options] input_filename.esp\n"
    "\n"
    "Converts a Morrowind plugin into the Oblivion plugin LANDFER.ESP in the working\n"
    "directory, with the lookup data of the folder lfdat below it (see lfdat/README.md).\n"
    "\n"
    "Options:\n"
    "  -v, -V         print the version line and exit\n"
    "  --report FILE  write everything not carried over to FILE as CSV\n"
    "                 (kind,identifier,count,became), to extend the lookup files from\n"
    "  --master FILE  read the items and objects of the Morrowind master FILE (such as\n"
    "                 Morrowind.esm or a mod's data file), so that those the plugin uses\n"
    "                 are mapped by their kind and its objects can be placed; repeatable,\n"
    "                 in load order\n"
    "  --models PREFIX  place every object with a Morrowind model as a new static whose\n"
    "                 model is PREFIX\\<the Morrowind model path> (for meshes ported to\n"
    "                 Oblivion's Data\\Meshes\\PREFIX); objects.dat serves the others\n"
    "  --help         print this help and exit\n";

// A command line that cannot be run: what is wrong, where the options are listed, and what follows.
[[noreturn]] void usageError(const char* self, const std::string& problem, const std::string& tail = "") {
    fatal("%sTry %s --help for the list of options.\n%s", problem.c_str(), self, tail.c_str());
}

// The banner shown when no input file is named.
std::string banner(const char* self) {
    return formatText(
        "\n  ---------------------------------------------------------------------------\n | Landfer: A "
        "program to import TES3 Morrowind landscapes into TES4 Oblivion |\n  "
        "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~\n\nUsage: %s "
        "input_filename.esp\n\n",
        self);
}

}  // namespace

CommandLine parseCommandLine(int argc, char* argv[], FILE* progress) {
    const char* self = argc > 0 ? argv[0] : "landfer";
    if (argc < 2) throw FatalError(banner(self));
    enum { reportOption = 1000, helpOption, masterOption, modelsOption };
    const option longOptions[] = {
        {"report", required_argument, nullptr, reportOption},
        {"help", no_argument, nullptr, helpOption},
        {"master", required_argument, nullptr, masterOption},
        {"models", required_argument, nullptr, modelsOption},
        {nullptr, 0, nullptr, 0},
    };
    CommandLine line;
    optind = 0;  // a full restart of getopt, so the run can be repeated in-process
    // getopt_long finds options after the file name too ("landfer in.esp
    // -V") with every C library: MinGW's plain getopt stops at the first
    // argument that is no option.
    int option;
    while ((option = getopt_long(argc, argv, "vV", longOptions, nullptr)) != -1) {
        if (option == 'v' || option == 'V') {
            std::fprintf(progress, "LANDFER Version 0.25: (Nov-2006->Feb-2007): by the Landfer developers\n");
            line.done = true;
            return line;
        }
        if (option == helpOption) {
            std::fprintf(progress, helpText, self);
            line.done = true;
            return line;
        }
        if (option == reportOption) {
            // An empty name would write nothing, with no word of it.
            if (*optarg == '\0') usageError(self, "The option --report needs a file name.\n");
            line.reportPath = optarg;
            continue;
        }
        if (option == masterOption) {
            line.masterPaths.push_back(optarg);
            continue;
        }
        if (option == modelsOption) {
            // An empty folder would give every model a leading backslash.
            if (*optarg == '\0') usageError(self, "The option --models needs a folder name.\n");
            line.modelsPrefix = optarg;
            continue;
        }
        // getopt has said what is wrong.
        usageError(self, "",
                   formatText("Usage: %s [-V] original.esp\n\n\t-V : Display current Version, then exit.\n", self));
    }
    // Options alone name no input file.
    if (optind >= argc) throw FatalError(banner(self));
    // One run converts one plugin: a second name is no plugin to pass over in silence.
    if (argc - optind > 1)
        usageError(self, formatText("Only one input plugin can be converted at a time, but %d are named (%s, %s%s).\n",
                                    argc - optind, argv[optind], argv[optind + 1], argc - optind > 2 ? ", ..." : ""));
    line.inputPath = argv[optind];
    return line;
}

}  // namespace landfer
