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

// A file read once is kept for the run, unless the caches are disabled.
const std::vector<uint8_t>* cachedFaceFile(RunState& run, const std::string& path) {
    if (!run.caches.enabled) return nullptr;
    auto entry = run.caches.faceData.find(path);
    return entry != run.caches.faceData.end() ? &entry->second : nullptr;
}

std::vector<uint8_t> kept(RunState& run, const std::string& path, std::vector<uint8_t> bytes) {
    if (run.caches.enabled) run.caches.faceData.emplace(path, bytes);
    return bytes;
}

std::vector<uint8_t> requiredFaceFile(RunState& run, const std::string& path) {
    if (const std::vector<uint8_t>* bytes = cachedFaceFile(run, path)) return *bytes;
    return kept(run, path, readRequiredFaceFile(path));
}

}  // namespace

std::vector<uint8_t> loadFaceData(RunState& run, const RaceRow* race, std::string_view npcId, std::string_view raceId,
                                  bool female) {
    if (race != nullptr) return requiredFaceFile(run, facePath(run, race->faceName, female));

    // A race id is only used as a file name when it cannot lead out of the
    // lookup directory.
    const int npcLength = static_cast<int>(npcId.size()), raceLength = static_cast<int>(raceId.size());
    std::string path = facePath(run, raceId, female);
    bool usable = raceId.find('/') == std::string_view::npos && raceId.find('\\') == std::string_view::npos;
    const std::vector<uint8_t>* cached = usable ? cachedFaceFile(run, path) : nullptr;
    FILE* file = usable && cached == nullptr ? std::fopen(path.c_str(), "rb") : nullptr;
    if (cached != nullptr || file != nullptr) {
        run.report("The race %.*s of the NPC %.*s is not in the race table: the race becomes Imperial, with the face "
                   "data of %s\n",
                   raceLength, raceId.data(), npcLength, npcId.data(), path.c_str());
        return cached != nullptr ? *cached : kept(run, path, readFaceFile(file, path));
    }

    std::string fallback = facePath(run, imperialRace().faceName, female);
    run.report("The race %.*s of the NPC %.*s is not in the race table: the race becomes Imperial. No face data "
               "for race %.*s in %s; using %s\n",
               raceLength, raceId.data(), npcLength, npcId.data(), raceLength, raceId.data(), path.c_str(),
               fallback.c_str());
    return requiredFaceFile(run, fallback);
}

}  // namespace landfer
