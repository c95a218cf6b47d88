// Ready-made face data: whole Oblivion NPC_ subrecords (hair, eyes,
// FaceGen values) that end every converted NPC's record, read from
// lfdat/<face name>Male.dat or lfdat/<face name>Female.dat.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "esm/read_file.h"
#include "lookup/lookup_table.h"
#include "lookup/race_table.h"

namespace landfer {

// A face-data file holds at most this many bytes.
constexpr size_t maxFaceDataSize = 600;

class FaceData : public LookupTable {
public:
    using LookupTable::LookupTable;

    // The face data for an NPC. A race of the table (`race` not null) reads
    // its own file, which must exist. Any other race id, or none, first looks
    // for a file named after the race id; without one it takes the Imperial
    // face data of the same sex, as it gets the Imperial race. Either way the
    // NPC (npcId) is named in a message saying that its race becomes
    // Imperial. Each file is read once, checked (whole subrecords, at most
    // maxFaceDataSize bytes; anything else is a fatal error naming the file)
    // and kept for the run.
    const std::vector<uint8_t>& find(const RaceRow* race, std::string_view npcId, std::string_view raceId,
                                     bool female);

private:
    std::string facePath(std::string_view faceName, bool female) const;
    const std::vector<uint8_t>* kept(const std::string& path) const;
    const std::vector<uint8_t>& read(ReadFile file, const std::string& path);
    const std::vector<uint8_t>& required(const std::string& path);

    std::map<std::string, std::vector<uint8_t>> files_;  // by path
};

}  // namespace landfer
