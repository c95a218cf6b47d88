#include "lookup/face_data.h"

#include "esm/byte_order.h"
#include "esm/fatal_error.h"

namespace landfer {

namespace {

// The file must hold whole Oblivion subrecords (a 4-character type of
// capitals, digits or '_', a 16-bit size, the data), at most
// maxFaceDataSize bytes in all: they end the NPC record unchanged, so a
// cut one would spoil the record. The text says what is wrong, or is empty.
std::string faceDataFault(const std::vector<uint8_t>& bytes) {
    if (bytes.size() > maxFaceDataSize) return formatText("it is longer than %zu bytes", maxFaceDataSize);
    size_t offset = 0;
    while (offset < bytes.size()) {
        if (bytes.size() - offset < 6)
            return formatText("its last %zu bytes are no whole subrecord header", bytes.size() - offset);
        for (size_t i = 0; i < 4; ++i) {
            uint8_t c = bytes[offset + i];
            if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
                return formatText("byte %zu does not start a subrecord type", offset);
        }
        size_t size = readUint16(bytes.data() + offset + 4);
        if (size > bytes.size() - offset - 6)
            return formatText("the subrecord %.4s at byte %zu runs past the end of the file",
                              reinterpret_cast<const char*>(bytes.data() + offset), offset);
        offset += 6 + size;
    }
    return std::string();
}

}  // namespace

std::string FaceData::facePath(std::string_view faceName, bool female) const {
    return path(std::string(faceName) + (female ? "Female.dat" : "Male.dat"));
}

const std::vector<uint8_t>* FaceData::kept(const std::string& path) const {
    auto entry = files_.find(path);
    return entry != files_.end() ? &entry->second : nullptr;
}

const std::vector<uint8_t>& FaceData::read(ReadFile file, const std::string& path) {
    // One byte more than the limit, to tell a file that is too long.
    std::vector<uint8_t> bytes(maxFaceDataSize + 1);
    size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    std::string error = systemErrorText();
    file.reset();
    if (got == 0)
        fatal("Read insufficient amount of generic face data from %s. Expected %d bytes. System error reports: %s\n",
              path.c_str(), static_cast<int>(maxFaceDataSize), error.c_str());
    bytes.resize(got);
    std::string fault = faceDataFault(bytes);
    if (!fault.empty())
        fatal("The face data file %s is damaged: %s. It must hold whole NPC_ subrecords (6-byte headers), at most "
              "%zu bytes, as landfer-make-face-data writes them.\n",
              path.c_str(), fault.c_str(), maxFaceDataSize);
    return files_.emplace(path, std::move(bytes)).first->second;
}

const std::vector<uint8_t>& FaceData::required(const std::string& path) {
    if (const std::vector<uint8_t>* bytes = kept(path)) return *bytes;
    ReadFile file = openForReading(path);
    if (!file) fatal("Unable to open: %s: %s\n", path.c_str(), systemErrorText().c_str());
    return read(std::move(file), path);
}

const std::vector<uint8_t>& FaceData::find(const RaceRow* race, std::string_view npcId, std::string_view raceId,
                                           bool female) {
    if (race != nullptr) return required(facePath(race->faceName, female));

    // A race id is only used as a file name when it cannot lead out of the
    // lookup directory.
    const int npcLength = static_cast<int>(npcId.size()), raceLength = static_cast<int>(raceId.size());
    std::string own = facePath(raceId, female);
    bool usable = raceId.find('/') == std::string_view::npos && raceId.find('\\') == std::string_view::npos;
    const std::vector<uint8_t>* cached = usable ? kept(own) : nullptr;
    ReadFile file = usable && cached == nullptr ? openForReading(own) : nullptr;
    if (cached != nullptr || file) {
        problems_.tell(Problem::warned(
            "NPC_", npcId,
            formatText("The race %.*s of the NPC %.*s is not in the race table: the race becomes Imperial, with the "
                       "face data of %s\n",
                       raceLength, raceId.data(), npcLength, npcId.data(), own.c_str())));
        return cached != nullptr ? *cached : read(std::move(file), own);
    }

    std::string fallback = facePath(imperialRace().faceName, female);
    problems_.tell(Problem::warned(
        "NPC_", npcId,
        formatText("The race %.*s of the NPC %.*s is not in the race table: the race becomes Imperial. No face data "
                   "for race %.*s in %s; using %s\n",
                   raceLength, raceId.data(), npcLength, npcId.data(), raceLength, raceId.data(), own.c_str(),
                   fallback.c_str())));
    return required(fallback);
}

}  // namespace landfer
