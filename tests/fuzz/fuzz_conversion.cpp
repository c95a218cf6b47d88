// Fuzzes the whole conversion: the bytes become input.esp in a private
// working directory with a complete lfdat/, and the run goes from the
// command line to the summary in-process. A fatal error is one of the
// ordinary endings of a run; only a sanitizer report, a crash, a hang or a
// leak is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz_workdir.h"
#include "plugin/fatal_error.h"
#include "run/conversion_run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::enterWorkDir();
    fuzz::writeBytes("input.esp", data, size);
    char program[] = "landfer";
    char input[] = "input.esp";
    char* argv[] = {program, input, nullptr};
    FILE* sink = fuzz::nullDevice();
    try {
        landfer::runLandfer(2, argv, sink, sink);
    } catch (const landfer::FatalError&) {
    }
    return 0;
}
