// In-memory copies of what the converters would otherwise read again and
// again: the lookup files (each read once, at its first use, so a missing
// file is reported exactly when the first lookup needs it), the NPCs
// listed in "npcs.tmp" and the face data files. The temporary lists stay
// open for the whole run instead of being reopened for every entry.
//
// With `enabled` false every converter takes its straightforward path,
// re-reading the files for each lookup; the tests compare both paths byte
// for byte.
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

#include "plugin/two_core_compressor.h"
#include "plugin/compression.h"
#include "plugin/file_writer.h"

namespace landfer {

// One inventory lookup file: for each id, the corrupt lines of that id met
// before its first good line (reported on every lookup, as a search of
// the file would), and that line's FormID.
struct InventoryIdEntry {
    std::vector<std::string> corruptLines;  // without their line breaks
    bool found = false;
    uint32_t formId = 0;
};
struct InventoryFileTable {
    bool loaded = false;
    std::unordered_map<std::string, InventoryIdEntry> ids;
};

// classes.dat: the first line of each class id, and every corrupt line,
// each with its line number; a lookup reports the corrupt lines before its match.
struct ClassTable {
    bool loaded = false;
    std::unordered_map<std::string, std::pair<size_t, uint32_t>> firstLines;
    std::vector<std::pair<size_t, std::string>> corruptLines;  // with their line breaks
};

// ltex.dat: the first line naming each texture file, exactly and with A-Z folded to a-z.
struct LandTextureFileTable {
    bool loaded = false;
    std::unordered_map<std::string, uint32_t> exactNames;
    std::unordered_map<std::string, uint32_t> foldedNames;
};

// armour.dat, clothing.dat, weapons.dat and the optional misc.dat.
constexpr int inventoryFileCount = 4;

struct RunCaches {
    bool enabled = true;

    InventoryFileTable inventoryFiles[inventoryFileCount];
    std::string inventoryPaths[inventoryFileCount];
    ClassTable classes;
    std::string classPath;
    LandTextureFileTable landTextures;
    std::map<std::string, std::vector<uint8_t>> faceData;  // by path

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

    // A reusable key, so that a lookup by a string_view allocates nothing.
    std::string key;
};

// Closes the temporary files held open; a failed write is fatal.
void closeCachedFiles(RunCaches& caches);

// Compresses the four quads of quadData into quadBodies, on two cores
// when there are two (and the caches are enabled).
void compressQuads(RunCaches& caches, FILE* messages);

// The body of a record: compressed with the kept stream, or as
// makeCompressedBody does it when the caches are disabled.
void compressRecord(RunCaches& caches, const std::vector<uint8_t>& data, FILE* messages, RecordBody& body);

}  // namespace landfer
