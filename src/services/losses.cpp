#include "services/losses.h"

#include <algorithm>

#include "esm/fatal_error.h"

namespace landfer {

namespace {

struct KindText {
    const char* csvKind;
    const char* became;
    const char* line;  // the report line's text before its total
};

// In the order of LossKind.
const KindText kindTexts[lossKindCount] = {
    {"inventory item", "dropped", "Inventory entries dropped (item not in the item lookup files)"},
    {"class", "default class Commoner 00023C0D", "NPCs given the default class (class not in classes.dat)"},
    {"race", "Imperial 00000907", "NPCs made Imperial (race not in the race table)"},
    {"land texture", "unpainted", "Land textures not in ltex.dat"},
    {"placed reference", "dropped", "Placed references dropped (no NPC, stand-in or model for the base)"},
    {"journal restart", "ordinary stage", "Journal restarts dropped (the stages are kept)"},
    {"clamped height", "nearest height Oblivion can hold", "Land vertices moved (a height step too steep for Oblivion)"},
    {"broken reference", "dropped", "Placed references left out (no NAME, DATA or position)"},
    {"landscape record", "dropped", "Cells, lands and parts of lands left out (see the messages above)"},
    {"repeated cell", "joins the grid's first cell", "Cells that repeat a grid (their references join the first)"},
    {"reference data", "dropped", "Reference data a placed object cannot carry in Oblivion"},
    {"lost function", "static", "Objects placed as statics (their function is lost)"},
    {"texture layer", "base texture", "Texture squares drawn with their quadrant's base (more than eight layers)"},
    {"mapped by kind", "", "Inventory entries mapped by kind (an item of the plugin or a master that no lookup line names)"},
    {"journal entry", "dropped", "Journal entries dropped (text longer than 65534 bytes)"},
    {"journal index", "dropped", "Journal entries dropped (index beyond a stage's 0 to 65535)"},
    {"journal name", "dropped", "Journal name entries dropped (the quest keeps its first name)"},
    {"repeated NPC", "the first NPC of the id", "NPCs left out (an earlier NPC of the plugin has the same id)"},
    {"dialogue response", "left out", "Dialogue responses left out (a condition Oblivion cannot carry)"},
    {"script-only response", "left out", "Dialogue responses left out (only a script's choice reaches them)"},
    {"result script", "", "Result scripts of dialogue responses not carried over (port them by hand)"},
    {"voice or persuasion topic", "left out", "Responses of voice and persuasion topics left out"},
    {"response sound", "dropped", "Sound files of dialogue responses not carried over"},
    {"missing master", "its references' changes kept as new references", "Masters of the plugin no --master gives"},
    {"unknown master reference", "a new reference",
     "References of the plugin changing one no master has (kept as new references)"},
    {"container item", "dropped", "Container entries dropped (item not in the item lookup files)"},
    {"item by kind", "", "Placed and contained items mapped by kind (an item of the plugin or a master that no lookup line names)"},
    {"object script", "dropped", "Scripts of containers, lights and activators not carried (the object is placed without it)"},
    {"stand-in contents", "the stand-in's contents", "Containers placed through a stand-in (they hold the stand-in's contents, not their own)"},
    {"lock key", "lock kept without its key", "Keys of locks that are no item of the output (the lock is kept)"},
    {"unwritable model", "dropped", "Placed references dropped (their base's model path cannot be written, see the messages above)"},
    {"skipped record", "dropped", "Records skipped (see the messages above)"},
    {"warning", "", "Warnings (see the messages above)"},
    {"interior data", "dropped", "Interior cell data Oblivion's CELL cannot carry"},
    {"door to a marker", "teleports to an XMarkerHeading", "Doors linked to a marker"},
    {"door out of the plugin", "no teleport", "Doors leading out of the plugin"},
    {"generic door", "the door for any door", "Doors placed as objects.dat's door for any door (no stand-in or model of their own; they keep their teleport)"},
    {"land from master", "converted", "Lands taken from a master (cells of the plugin without land of their own)"},
    {"master reference", "converted", "References of the masters in the cells the plugin edits"},
    {"replaced reference", "the plugin's version", "References of the masters the plugin replaces"},
    {"deleted reference", "removed", "References of the masters the plugin deletes"},
    {"moved reference", "placed in the new cell", "References moved to another cell (by the cell they left)"},
};

constexpr size_t listedPerKind = 10;

std::string shown(const std::string& identifier) {
    return identifier.empty() ? "(none)" : withControlCharactersEscaped(identifier);
}

// A CSV field, quoted when it holds a comma, a quote or a line break.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

void Losses::add(Tally& tally, std::string_view identifier, long count, std::string_view became) {
    auto [where, added] = tally.index.emplace(std::string(identifier), tally.entries.size());
    if (added) tally.entries.push_back({std::string(identifier), 0, std::string(became)});
    tally.entries[where->second].count += count;
}

void Losses::note(LossKind kind, std::string_view identifier, long count, std::string_view became) {
    add(tallies_[static_cast<int>(kind)], identifier, count, became);
}

void Losses::noteLandTexture(uint32_t textureNumber, std::string_view fileName, bool found) {
    if (found) {
        missingTextures_.erase(textureNumber);
        return;
    }
    missingTextures_[textureNumber] = std::string(fileName);
    add(textureSquares_, fileName, 0);
}

void Losses::noteUnpaintedSquares(uint32_t textureNumber, long squares) {
    if (squares <= 0) return;
    auto missing = missingTextures_.find(textureNumber);
    add(textureSquares_,
        missing != missingTextures_.end() ? missing->second
                                          : "texture number " + std::to_string(textureNumber) + " without LTEX",
        squares);
    unpaintedSquares_ += squares;
}

void Losses::noteUnpaintedSquaresOf(std::string_view fileName, long squares) {
    if (squares <= 0) return;
    add(textureSquares_, fileName, squares);
    unpaintedSquares_ += squares;
}

// The missing textures that painted squares or are still missing at the
// end: a file whose number a found record took over before any land used
// it was no loss.
Losses::Tally Losses::landTextureTally() const {
    Tally tally;
    for (const LossEntry& entry : textureSquares_.entries) {
        bool stillMissing = false;
        for (const auto& missing : missingTextures_) stillMissing = stillMissing || missing.second == entry.identifier;
        if (entry.count > 0 || stillMissing) add(tally, entry.identifier, entry.count);
    }
    return tally;
}

std::vector<LossEntry> Losses::entries(LossKind kind) const {
    std::vector<LossEntry> list =
        kind == LossKind::landTexture ? landTextureTally().entries : tallies_[static_cast<int>(kind)].entries;
    std::stable_sort(list.begin(), list.end(),
                     [](const LossEntry& a, const LossEntry& b) { return a.count > b.count; });
    return list;
}

long Losses::total(LossKind kind) const {
    if (kind == LossKind::landTexture) return static_cast<long>(landTextureTally().entries.size());
    long sum = 0;
    for (const LossEntry& entry : tallies_[static_cast<int>(kind)].entries) sum += entry.count;
    return sum;
}

long Losses::unpaintedSquares() const { return unpaintedSquares_; }

bool Losses::empty() const {
    for (int kind = 0; kind < static_cast<int>(firstFromMasters); ++kind)
        if (total(static_cast<LossKind>(kind)) > 0) return false;
    return true;
}

namespace {

// The report lines of the kinds from `first` to before `end`, under a heading, when any has entries.
void printKinds(const Reporter& reporter, const Losses& losses, const char* heading, int first, int end) {
    bool any = false;
    for (int k = first; k < end; ++k) any = any || losses.total(static_cast<LossKind>(k)) > 0;
    if (!any) return;
    reporter.report("%s", heading);
    for (int k = first; k < end; ++k) {
        LossKind kind = static_cast<LossKind>(k);
        long total = losses.total(kind);
        if (total == 0) continue;
        std::string line = std::string("\t") + kindTexts[k].line + ": " + std::to_string(total);
        if (kind == LossKind::landTexture)
            line += ", " + std::to_string(losses.unpaintedSquares()) + " texture squares unpainted";
        std::vector<LossEntry> list = losses.entries(kind);
        // The messages of skipped records and warnings stand above the report already.
        bool toldAbove = kind == LossKind::skippedRecord || kind == LossKind::warning;
        for (size_t i = 0; i < list.size() && i < listedPerKind; ++i)
            line += (i == 0 ? ": " : ", ") + shown(list[i].identifier) + " (" + std::to_string(list[i].count) + ")" +
                    (list[i].became.empty() || toldAbove ? "" : " as " + withControlCharactersEscaped(list[i].became));
        if (list.size() > listedPerKind) line += ", and " + std::to_string(list.size() - listedPerKind) + " more";
        reporter.report("%s\n", line.c_str());
    }
}

}  // namespace

void printLossReport(const Reporter& reporter, const Losses& losses) {
    printKinds(reporter, losses, "Not carried over:\n", 0, static_cast<int>(firstFromMasters));
    printKinds(reporter, losses, "Taken from the masters:\n", static_cast<int>(firstFromMasters), lossKindCount);
}

std::string withControlCharactersEscaped(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\n')
            escaped += "\\n";
        else if (c == '\r')
            escaped += "\\r";
        else if (c == '\t')
            escaped += "\\t";
        else if (byte < 0x20 || byte == 0x7F)
            escaped += formatText("\\x%02X", byte);
        else
            escaped += c;
    }
    return escaped;
}

std::string lossCsv(const Losses& losses) {
    std::string csv = "kind,identifier,count,became\n";
    for (int k = 0; k < lossKindCount; ++k)
        for (const LossEntry& entry : losses.entries(static_cast<LossKind>(k)))
            csv += std::string(kindTexts[k].csvKind) + "," + csvField(entry.identifier) + "," +
                   std::to_string(entry.count) + "," +
                   (entry.became.empty() ? std::string(kindTexts[k].became) : csvField(entry.became)) + "\n";
    return csv;
}

}  // namespace landfer
