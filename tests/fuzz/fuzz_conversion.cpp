// Fuzzes the whole conversion: the bytes become input.esp in a private
// working directory with a complete lfdat/, and the run goes from the
// command line to the summary in-process. A fatal error is one of the
// ordinary endings of a run; a sanitizer report, a crash, a hang or a leak
// is a finding, and so is a completed run whose output does not read back
// or fails the inspector's checks.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "plugin_checks.h"
#include "tes4_reader.h"

#include "fuzz_workdir.h"
#include "esm/fatal_error.h"
#include "run/conversion_run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::enterWorkDir();
    fuzz::writeBytes("input.esp", data, size);
    char program[] = "landfer";
    char input[] = "input.esp";
    char* argv[] = {program, input, nullptr};
    FILE* sink = fuzz::nullDevice();
    int status = 1;
    try {
        status = landfer::runLandfer(2, argv, sink, sink);
    } catch (const landfer::FatalError&) {
    }
    if (status != 0) return 0;
    std::string problem;
    try {
        problem = inspect::findFirstProblem(tes4::readPlugin(tes4::readFileBytes("LANDFER.ESP")));
    } catch (const std::exception& error) {
        problem = error.what();
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "The run succeeded, but LANDFER.ESP is unsound: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
