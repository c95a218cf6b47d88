// Fuzzes landfer-inspect, a reader of whatever plugin a modder points it
// at: the bytes are read as a TES4 plugin, checked and summarised; a world
// small enough to draw quickly is drawn too, both pictures, and written as
// PNG to the null device. A Tes4Error is the ordinary verdict on a broken
// file; a sanitizer report, a crash, a hang, a leak or an allocation beyond
// the fuzzer's limit is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "land_images.h"
#include "plugin_checks.h"
#include "plugin_summary.h"
#include "tes4_reader.h"
#include "world_lands.h"

namespace {

// Pictures are drawn up to this many pixels, so that every input stays fast.
constexpr size_t fuzzedPicturePixels = 1 << 20;

FILE* nullDevice() {
    static FILE* device = std::fopen("/dev/null", "w");
    return device;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tes4::File file;
    try {
        file = tes4::readPlugin(tes4::Bytes(data, data + size));
    } catch (const tes4::Tes4Error&) {
        return 0;
    }
    inspect::findFirstProblem(file);
    inspect::WorldLands world = inspect::decodeWorldLands(file);
    inspect::printSummary(nullDevice(), file, world);

    size_t width = 0, height = 0;
    std::string problem;
    if (!inspect::imageSize(world, width, height, problem, fuzzedPicturePixels)) return 0;
    inspect::drawHeightmap(world, width, height).savePng("/dev/null", problem);
    std::map<uint32_t, inspect::Rgb> legend;
    inspect::drawTextureMap(world, width, height, legend).savePng("/dev/null", problem);
    return 0;
}
