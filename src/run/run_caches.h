// The NPCs listed in "npcs.tmp", held in memory, and the temporary files
// held open for the whole run instead of being reopened for every entry.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "esm/two_core_compressor.h"
#include "esm/compression.h"
#include "esm/file_writer.h"

namespace landfer {

struct RunCaches {
    // The entries of "npcs.tmp" (the first of an id wins) and the open file.
    std::unordered_map<std::string, std::array<uint8_t, 4>> listedNpcs;
    FileWriter npcList;
    FileWriter cellNames;

    // cell1.tmp to cell4.tmp, open for the run.
    FileWriter cellFiles[4];

    // Record data and its compressed body, built again for every LAND quad
    // and NPC in the same storage, and the one deflate stream.
    std::vector<uint8_t> recordData;
    RecordBody body;
    RecordCompressor compressor;

    // The four quads of a land, compressed side by side on two cores when
    // the machine has them.
    std::array<std::vector<uint8_t>, 4> quadData;
    std::array<RecordBody, 4> quadBodies;
    std::unique_ptr<TwoCoreCompressor> twoCores;
    bool twoCoresAllowed = true;
};

// Closes the temporary files held open; a failed write is fatal.
void closeCachedFiles(RunCaches& caches);

// Compresses the four quads of quadData into quadBodies, on two cores
// when there are two.
void compressQuads(RunCaches& caches, FILE* messages);

// The body of a record, compressed with the kept stream.
void compressRecord(RunCaches& caches, const std::vector<uint8_t>& data, FILE* messages, RecordBody& body);

}  // namespace landfer
