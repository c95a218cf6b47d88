#include "records/dialogue_conditions.h"

#include "lookup/race_table.h"

namespace landfer {

namespace {

// Oblivion's condition functions the conversion uses.
namespace fn {
constexpr uint16_t getActorValue = 14, getVampire = 40, getDetected = 45, getItemCount = 47, getTalkedToPc = 50,
                   getStage = 58, getAlarmed = 61, getAttacked = 63, getShouldAttack = 66, getInCell = 67,
                   getIsClass = 68, getIsRace = 69, getIsSex = 70, getIsId = 72, getGlobalValue = 74,
                   getDisposition = 76, getLevel = 80, getDeadCount = 84, getCrimeGold = 116, getPcIsSex = 131,
                   sameFactionAsPc = 133, sameRaceAsPc = 134, sameSexAsPc = 135;
}  // namespace fn

constexpr uint8_t orFlag = 0x01, runOnTarget = 0x02;
constexpr uint32_t playerRef = 0x00000014;
// The operators, in the order of Morrowind's comparison digits '0' to '5': == != > >= < <=.
constexpr uint8_t operators[6] = {0x00, 0x20, 0x40, 0x60, 0x80, 0xA0};
// The operator that compares the other way round (a < b as b > a).
constexpr int mirrored[6] = {0, 1, 4, 5, 2, 3};

bool compare(int op, double left, double right) {
    switch (op) {
        case 0: return left == right;
        case 1: return left != right;
        case 2: return left > right;
        case 3: return left >= right;
        case 4: return left < right;
        default: return left <= right;
    }
}

Condition condition(uint16_t function, int op, double value, uint32_t parameter1 = 0, uint8_t flags = 0) {
    Condition made;
    made.typeFlags = static_cast<uint8_t>(operators[op] | flags);
    made.value = static_cast<float>(value);
    made.function = function;
    made.parameter1 = parameter1;
    return made;
}

// A Morrowind function (a filter of kind '1') with an Oblivion counterpart
// that compares the same number: the function, its first parameter and
// whether it asks the player (the speaker's target in dialogue).
struct FunctionRow {
    int morrowind;
    uint16_t oblivion;
    uint32_t parameter;
    bool player;
};

const FunctionRow functionRows[] = {
    {6, fn::getLevel, 0, true},          {61, fn::getLevel, 0, false},
    {10, fn::getActorValue, 0, true},    {51, fn::getActorValue, 1, true},  // attributes
    {52, fn::getActorValue, 2, true},    {53, fn::getActorValue, 3, true},
    {54, fn::getActorValue, 4, true},    {55, fn::getActorValue, 5, true},
    {56, fn::getActorValue, 6, true},    {57, fn::getActorValue, 7, true},
    {64, fn::getActorValue, 8, true},    {8, fn::getActorValue, 9, true},  // health, magicka, fatigue
    {9, fn::getActorValue, 10, true},    {12, fn::getActorValue, 12, true},  // skills of the same name
    {19, fn::getActorValue, 13, true},   {11, fn::getActorValue, 15, true},
    {15, fn::getActorValue, 16, true},   {37, fn::getActorValue, 17, true},
    {14, fn::getActorValue, 18, true},   {27, fn::getActorValue, 19, true},
    {22, fn::getActorValue, 20, true},   {24, fn::getActorValue, 21, true},
    {21, fn::getActorValue, 22, true},   {23, fn::getActorValue, 23, true},
    {25, fn::getActorValue, 24, true},   {26, fn::getActorValue, 25, true},
    {31, fn::getActorValue, 26, true},   {32, fn::getActorValue, 27, true},
    {34, fn::getActorValue, 28, true},   {35, fn::getActorValue, 29, true},
    {29, fn::getActorValue, 30, true},   {30, fn::getActorValue, 31, true},
    {36, fn::getActorValue, 32, true},   {43, fn::getCrimeGold, 0, true},
    {60, fn::getVampire, 0, true},       {44, fn::sameSexAsPc, 0, false},
    {45, fn::sameRaceAsPc, 0, false},    {46, fn::sameFactionAsPc, 0, false},
    {48, fn::getDetected, playerRef, false}, {49, fn::getAlarmed, 0, false},
    {62, fn::getAttacked, 0, false},     {63, fn::getTalkedToPc, 0, false},
    {71, fn::getShouldAttack, playerRef, false},
};

constexpr int pcGender = 38, choice = 50;

// Builds the conditions of one response, or stops at the first thing it cannot carry.
class ConditionBuilder {
public:
    explicit ConditionBuilder(DialogueSources& sources) : sources_(sources) {}

    void response(const MorrowindResponse& response);
    ConvertedConditions take() { return std::move(result_); }

private:
    bool lost() const { return !result_.lostReason.empty() || result_.scriptOnly; }
    void lose(const std::string& reason) {
        if (!lost()) result_.lostReason = reason;
    }
    void add(const Condition& made) { result_.conditions.push_back(made); }
    void filter(const MorrowindFilter& filter);
    void function(int number, int op, double value);
    // A yes-or-no test (is the speaker X, is the player in cell Y): `truth`
    // is what the response asks of it, as "X op value", inverted for
    // Morrowind's "not" filters.
    void yesOrNo(uint16_t function, const std::vector<uint32_t>& parameters, int op, double value, bool inverted);
    void speaker(const std::string& id, int op, double value, bool inverted);
    void race(const std::string& id, int op, double value, bool inverted);
    void className(const std::string& id, int op, double value, bool inverted);
    void cell(const std::string& prefix, int op, double value, bool inverted);

    DialogueSources& sources_;
    ConvertedConditions result_;
};

void ConditionBuilder::yesOrNo(uint16_t function, const std::vector<uint32_t>& parameters, int op, double value,
                               bool inverted) {
    // Which answers of the test let the response be said.
    const bool whenYes = compare(op, inverted ? 0 : 1, value), whenNo = compare(op, inverted ? 1 : 0, value);
    if (whenYes && whenNo) return;
    if (!whenYes && !whenNo) return lose("a filter that never holds");
    // Yes to any of the parameters: joined by OR; no to all of them: each its own condition.
    for (size_t i = 0; i < parameters.size(); ++i) {
        const bool joined = whenYes && i + 1 < parameters.size();
        add(condition(function, 0, whenYes ? 1 : 0, parameters[i], joined ? orFlag : 0));
    }
}

void ConditionBuilder::speaker(const std::string& id, int op, double value, bool inverted) {
    uint8_t bytes[4];
    if (!sources_.npcs.find(id, bytes)) return lose("speaker " + id + " not in the output");
    const uint32_t formId = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    yesOrNo(fn::getIsId, {formId}, op, value, inverted);
}

void ConditionBuilder::race(const std::string& id, int op, double value, bool inverted) {
    const RaceRow* row = findRace(id);
    if (row == nullptr) return lose("race " + id + " outside the race table");
    yesOrNo(fn::getIsRace, {row->formId}, op, value, inverted);
}

void ConditionBuilder::className(const std::string& id, int op, double value, bool inverted) {
    bool found = false;
    const uint32_t formId = sources_.classes.find(id, &found);
    if (!found) return lose("class " + id + " not in classes.dat");
    yesOrNo(fn::getIsClass, {formId}, op, value, inverted);
}

void ConditionBuilder::cell(const std::string& prefix, int op, double value, bool inverted) {
    const std::vector<uint32_t> cells = sources_.cells.withNamePrefix(prefix);
    if (cells.empty()) return lose("cell " + prefix + " not in the output");
    yesOrNo(fn::getInCell, cells, op, value, inverted);
}

void ConditionBuilder::function(int number, int op, double value) {
    if (number == choice) {
        if (!lost()) result_.scriptOnly = true;
        return;
    }
    if (number == pcGender) {
        // The player's sex as a number (0 male, 1 female): is the player of the sex compared with.
        if (op > 1 || (value != 0 && value != 1)) return lose("a PcGender filter Oblivion cannot compare");
        return add(condition(fn::getPcIsSex, 0, op == 0 ? 1 : 0, static_cast<uint32_t>(value)));
    }
    for (const FunctionRow& row : functionRows)
        if (row.morrowind == number)
            return add(condition(row.oblivion, op, value, row.parameter, row.player ? runOnTarget : 0));
    lose("function " + std::to_string(number) + " without an Oblivion counterpart");
}

// SCVR: slot, kind, two characters of details, the comparison digit, the name.
void ConditionBuilder::filter(const MorrowindFilter& filter) {
    const std::string& rule = filter.rule;
    if (rule.size() < 5 || rule[4] < '0' || rule[4] > '5') return lose("a filter Landfer cannot read");
    const char kind = rule[1];
    const int op = rule[4] - '0';
    const double value = filter.value();
    const std::string name = rule.substr(5);
    uint32_t formId = 0;
    switch (kind) {
        case '1': {
            const bool digits = rule[2] >= '0' && rule[2] <= '9' && rule[3] >= '0' && rule[3] <= '9';
            if (!digits) return lose("a filter Landfer cannot read");
            return function((rule[2] - '0') * 10 + (rule[3] - '0'), op, value);
        }
        case '2':
            if (!sources_.globals.find(name, formId)) return lose("global " + name + " not in the output");
            return add(condition(fn::getGlobalValue, op, value, formId));
        case '3':
        case 'C':
            return lose("local variable " + name);
        case '4':
            if (!sources_.journalQuests.find(name, formId)) return lose("journal " + name + " not in the output");
            return add(condition(fn::getStage, op, value, formId));
        case '5':
            if (!sources_.items.find(name, formId)) return lose("item " + name + " not in the item lookup files");
            return add(condition(fn::getItemCount, op, value, formId, runOnTarget));
        case '6': {
            uint8_t bytes[4];
            if (!sources_.npcs.find(name, bytes)) return lose("dead count of " + name + ", not in the output");
            formId = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
            return add(condition(fn::getDeadCount, op, value, formId));
        }
        case '7': return speaker(name, op, value, true);
        case '8': return lose("faction " + name);
        case '9': return className(name, op, value, true);
        case 'A': return race(name, op, value, true);
        case 'B': return cell(name, op, value, true);
        default: return lose("a filter Landfer cannot read");
    }
}

void ConditionBuilder::response(const MorrowindResponse& response) {
    constexpr int equal = 0, atLeast = 3;
    if (!response.speaker.empty()) speaker(response.speaker, equal, 1, false);
    if (!response.race.empty()) race(response.race, equal, 1, false);
    if (!response.className.empty()) className(response.className, equal, 1, false);
    if (!response.faction.empty()) lose("faction " + response.faction);
    if (response.npcRank != -1) lose("faction rank");
    if (!response.pcFaction.empty()) lose("player's faction " + response.pcFaction);
    if (response.pcRank != -1) lose("player's faction rank");
    if (response.sex == 0 || response.sex == 1) add(condition(fn::getIsSex, equal, 1, static_cast<uint32_t>(response.sex)));
    if (response.disposition > 0) add(condition(fn::getDisposition, atLeast, response.disposition, playerRef));
    if (!response.cell.empty()) cell(response.cell, equal, 1, false);
    for (const MorrowindFilter& each : response.filters) filter(each);
}

}  // namespace

ConvertedConditions convertConditions(const MorrowindResponse& response, DialogueSources& sources) {
    ConditionBuilder builder(sources);
    builder.response(response);
    ConvertedConditions result = builder.take();
    if (!result.lostReason.empty() || result.scriptOnly) result.conditions.clear();
    return result;
}

}  // namespace landfer
