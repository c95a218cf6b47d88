// What a run could not carry over, tallied by kind and identifier, for
// the report after the summary and the CSV of --report.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "esm/reporter.h"

namespace landfer {

enum class LossKind {
    inventoryItem,     // an NPC's inventory entry whose item no lookup file holds
    defaultClass,      // an NPC whose class classes.dat lacks
    race,              // an NPC whose race is outside the race table
    landTexture,       // texture squares painted with a texture ltex.dat lacks
    placedReference,   // a reference in an exterior cell to anything but a converted NPC
    journalRestart,    // a journal entry's restart mark
};
constexpr int lossKindCount = 6;

// One identifier of one kind and how often it was lost.
struct LossEntry {
    std::string identifier;
    long count = 0;
};

class Losses {
public:
    // One more loss (or `count` more) of `identifier`.
    void note(LossKind kind, std::string_view identifier, long count = 1);

    // A land texture record (texture number) and whether ltex.dat holds its
    // file. A later record of the same number takes the number over: the
    // squares painted with it from then on are its own.
    void noteLandTexture(uint32_t textureNumber, std::string_view fileName, bool found);
    // Squares of one land painted with a texture number that has no FormID:
    // they count for the file that the number's record named when the land
    // was converted, or for the number when no record defined it.
    void noteUnpaintedSquares(uint32_t textureNumber, long squares);

    // The entries of a kind, most frequent first (first met first on a tie).
    std::vector<LossEntry> entries(LossKind kind) const;
    // The total of a kind: entries, NPCs, references or restarts; for land
    // textures the number of textures.
    long total(LossKind kind) const;
    long unpaintedSquares() const;
    bool empty() const;

private:
    struct Tally {
        std::vector<LossEntry> entries;  // in the order first met
        std::unordered_map<std::string, size_t> index;
    };
    Tally tallies_[lossKindCount];
    // The file of each texture number whose last record ltex.dat lacks.
    std::map<uint32_t, std::string> missingTextures_;
    // Every missing file and number without a record, with its squares.
    Tally textureSquares_;
    long unpaintedSquares_ = 0;

    Tally landTextureTally() const;
    static void add(Tally& tally, std::string_view identifier, long count);
};

// The report after the summary: a heading, then one line per kind with
// losses, each with its total and its ten most frequent identifiers.
// Nothing at all without losses. It goes to the message stream.
void printLossReport(const Reporter& reporter, const Losses& losses);

// The complete list as CSV: kind,identifier,count,became.
std::string lossCsv(const Losses& losses);

// An identifier as one piece of a line of a message: control characters
// (line ends above all, which would break the line) written as escapes
// (\n, \r, \t, \xHH).
std::string withControlCharactersEscaped(std::string_view text);

}  // namespace landfer
