#include "actors/face_data.h"

#include <cstdio>
#include <string>

#include "plugin/fatal_error.h"

namespace landfer {

namespace {

std::string facePath(const RunState& run, std::string_view faceName, bool female) {
    return run.lookupDirectory + "/" + std::string(faceName) + (female ? "Female.dat" : "Male.dat");
}

std::vector<uint8_t> readFaceFile(FILE* file, const std::string& path) {
    std::vector<uint8_t> bytes(maxFaceDataSize);
    size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::string error = systemErrorText();
    std::fclose(file);
    if (got == 0)
        fatal("Read insufficient amount of generic face data from %s. Expected %d bytes. System error reports: %s\n",
              path.c_str(), static_cast<int>(maxFaceDataSize), error.c_str());
    bytes.resize(got);
    return bytes;
}

std::vector<uint8_t> readRequiredFaceFile(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) fatal("Unable to open: %s: %s\n", path.c_str(), systemErrorText().c_str());
    return readFaceFile(file, path);
}

}  // namespace

std::vector<uint8_t> loadFaceData(RunState& run, const RaceRow* race, std::string_view raceId, bool female) {
    if (race != nullptr) return readRequiredFaceFile(facePath(run, race->faceName, female));

    // A race id is only used as a file name when it cannot lead out of the
    // lookup directory.
    std::string path = facePath(run, raceId, female);
    bool usable = raceId.find('/') == std::string_view::npos && raceId.find('\\') == std::string_view::npos;
    FILE* file = usable ? std::fopen(path.c_str(), "rb") : nullptr;
    if (file != nullptr) return readFaceFile(file, path);

    std::string fallback = facePath(run, imperialRace().faceName, female);
    run.report("No face data for race %.*s in %s; using %s\n", static_cast<int>(raceId.size()), raceId.data(),
               path.c_str(), fallback.c_str());
    return readRequiredFaceFile(fallback);
}

}  // namespace landfer
