// landfer: converts one Morrowind plugin into the Oblivion plugin LANDFER.ESP.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "esm/fatal_error.h"
#include "run/conversion_run.h"

int main(int argc, char* argv[]) {
    try {
        return landfer::runLandfer(argc, argv, stdout, stderr);
    } catch (const landfer::FatalError& error) {
        std::fputs(error.what(), error.onStandardOutput() ? stdout : stderr);
        std::fflush(stdout);
        return 1;
    } catch (const std::bad_alloc&) {
        // Outside any record, or while a message was being made: nothing
        // more is allocated for this one.
        std::fflush(stdout);
        std::fprintf(stderr, "Unable to allocate memory for the conversion run: %s\n", std::strerror(ENOMEM));
        return 1;
    }
}
