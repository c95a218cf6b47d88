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

#include "esm/problem.h"
#include "esm/reporter.h"

namespace landfer {

enum class LossKind : int {
    inventoryItem,     // an NPC's inventory entry whose item no lookup file holds
    defaultClass,      // an NPC whose class classes.dat lacks
    race,              // an NPC whose race is outside the race table
    landTexture,       // texture squares painted with a texture ltex.dat lacks
    placedReference,   // a reference in an exterior cell whose base has no NPC, stand-in or model
    journalRestart,    // a journal entry's restart mark
    clampedHeights,    // land vertices moved: a height step Oblivion's encoding cannot hold
    brokenReference,   // a reference without a base, a placement or a position
    leftOutLandscape,  // a cell or land that cannot stand in Oblivion's world
    repeatedCell,      // a second CELL record of a grid: its name and flags
    referenceData,     // what a placed reference carries that Oblivion's REFR cannot, by kind
    lostFunction,      // a door, container, light, activator or item placed as a static
    textureLayer,      // texture squares drawn with their quadrant's base: no ninth layer
    inventoryByKind,   // an inventory entry of the plugin's or a master's item, mapped by its kind
    journalTooLong,    // a journal entry whose text no stage (or quest name) holds
    journalIndex,      // a journal entry whose index is beyond a stage's 16 bits
    journalName,       // a name entry of a journal already named
    repeatedNpc,       // an NPC_ record whose id an earlier one has, in any letter case
    dialogueResponse,  // a response with a condition Oblivion's dialogue cannot carry, by topic and reason
    scriptOnlyResponse,  // a response only a script's choice reaches, by topic
    resultScript,      // a converted response's result script, by topic and response, with its text
    dialogueTopic,     // the responses of a voice or persuasion topic, by topic
    responseSound,     // a converted response's sound file
    missingMaster,     // a master of the plugin's MAST list that no --master gives
    unknownMasterReference,  // a reference of the plugin naming one no master has: kept as new
    containerItem,     // a container's entry whose item no lookup file holds
    itemByKind,        // an item lying in the world or in a container, mapped by its kind
    objectScript,      // the script of a container, light or activator made a record of its own
    standInContents,   // a container placed through a stand-in: it holds the stand-in's contents
    lockKey,           // a lock's key that is no item of the output: the lock is kept without it
    unwritableModel,   // a reference whose base's model path cannot be written, and no stand-in
    skippedRecord,     // an input record that gives nothing, by its type and id, with its message
    warning,           // something carried over not as it was, or a lookup line passed over, with its message
    interiorData,      // what an interior cell carries that Oblivion's CELL cannot, by kind
    doorToMarker,      // a door whose destination holds no door leading back: linked to a marker
    doorOutOfPlugin,   // a door whose destination cell is not in the output: no teleport
    genericDoor,       // a door leading somewhere that no stand-in or model names: objects.dat's door for any
    // What came from the masters, reported apart from the losses:
    landFromMaster,    // a land of a master under a cell of the plugin without its own, by master
    masterReference,   // a master's reference in a cell the plugin edits, by cell
    replacedReference, // a master's reference the plugin replaces, by cell
    deletedReference,  // a master's reference the plugin deletes, by cell
    movedReference,    // a reference moved to another cell, by the cell it left
};
constexpr int lossKindCount = 42;
// The first of the kinds that tell what came from the masters.
constexpr LossKind firstFromMasters = LossKind::landFromMaster;

// One identifier of one kind and how often it was lost.
struct LossEntry {
    std::string identifier;
    long count = 0;
    std::string became;  // what it became, where that differs between entries of a kind
};

class Losses {
public:
    // One more loss (or `count` more) of `identifier`; `became`, when not
    // empty, says what this identifier became (the first one noted stays).
    void note(LossKind kind, std::string_view identifier, long count = 1, std::string_view became = {});

    // A land texture record (texture number) and whether ltex.dat holds its
    // file. A later record of the same number takes the number over: the
    // squares painted with it from then on are its own.
    void noteLandTexture(uint32_t textureNumber, std::string_view fileName, bool found);
    // Squares of one land painted with a texture number that has no FormID:
    // they count for the file that the number's record named when the land
    // was converted, or for the number when no record defined it.
    void noteUnpaintedSquares(uint32_t textureNumber, long squares);
    // The same for squares of a master's land, by the master's texture file.
    void noteUnpaintedSquaresOf(std::string_view fileName, long squares);

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
    static void add(Tally& tally, std::string_view identifier, long count, std::string_view became = {});
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
