// landfer: converts one Morrowind plugin into the Oblivion plugin LANDFER.ESP.
#include <cstdio>

#include "plugin/fatal_error.h"
#include "run/conversion_run.h"

int main(int argc, char* argv[]) {
    try {
        return landfer::runLandfer(argc, argv, stdout, stderr);
    } catch (const landfer::FatalError& error) {
        std::fputs(error.what(), error.onStandardOutput() ? stdout : stderr);
        std::fflush(stdout);
        return 1;
    }
}
