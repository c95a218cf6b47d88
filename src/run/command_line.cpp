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

}  // namespace

CommandLine parseCommandLine(int argc, char* argv[], FILE* progress) {
    const char* self = argc > 0 ? argv[0] : "landfer";
    const std::string banner = formatText(
        "\n  ---------------------------------------------------------------------------\n | Landfer: A "
        "program to import TES3 Morrowind landscapes into TES4 Oblivion |\n  "
        "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~\n\nUsage: %s "
        "input_filename.esp\n\n",
        self);
    if (argc < 2) throw FatalError(banner);
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
            line.reportPath = optarg;
            continue;
        }
        if (option == masterOption) {
            line.masterPaths.push_back(optarg);
            continue;
        }
        if (option == modelsOption) {
            line.modelsPrefix = optarg;
            line.placeModels = true;
            continue;
        }
        fatal("Try %s --help for the list of options.\nUsage: %s [-V] original.esp\n\n\t-V : Display current "
              "Version, then exit.\n",
              self, self);
    }
    // Options alone name no input file.
    if (optind >= argc) throw FatalError(banner);
    return line;
}

}  // namespace landfer
