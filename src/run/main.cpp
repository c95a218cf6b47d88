// landfer: converts one Morrowind plugin into the Oblivion plugin LANDFER.ESP.
#include <cstdio>

#include "plugin/fatal_error.h"
#include "run/conversion_run.h"

int main(int argc, char* argv[]) {
    try {
        return landfer::runLandfer(argc, argv, stdout, stderr);
    } catch (const landfer::FatalError& error) {
        std::fflush(stdout);
        std::fputs(error.what(), stderr);
        return 1;
    }
}
