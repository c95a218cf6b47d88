#include "services/items_by_kind.h"

#include <cmath>

namespace landfer {

namespace {

// Value limits (inclusive) of the material tiers, in gold; a value above
// the last limit takes the last tier.
template <int N>
int tierOf(double value, const double (&limits)[N]) {
    for (int i = 0; i < N; ++i)
        if (!(value > limits[i])) return i;
    return N;
}

// Weapons: iron, steel, silver, dwarven, elven, glass, ebony, daedric.
const double weaponLimits[7] = {60, 150, 400, 1500, 5000, 15000, 40000};
enum WeaponClass { dagger, shortsword, longsword, claymore, mace, warhammer, warAxe, battleAxe, bow, arrow,
                   weaponClassCount };
const KindChoice weapons[weaponClassCount][8] = {
    {{0x00019171, "WeapIronDagger"}, {0x000229B9, "WeapSteelDagger"}, {0x00025224, "WeapSilverDagger"},
     {0x00035DD0, "WeapDwarvenDagger"}, {0x00035E63, "WeapElvenDagger"}, {0x00035E5B, "WeapGlassDagger"},
     {0x00035E6A, "WeapEbonyDagger"}, {0x00035E72, "WeapDaedricDagger"}},
    {{0x00000C0D, "WeapIronShortsword"}, {0x000229BC, "WeapSteelShortsword"}, {0x00025220, "WeapSilverShortsword"},
     {0x00035DD3, "WeapDwarvenShortSword"}, {0x00035E64, "WeapElvenShortsword"},
     {0x00035E5C, "WeapGlassShortsword"}, {0x00035E6B, "WeapEbonyShortsword"},
     {0x00035E73, "WeapDaedricShortsword"}},
    {{0x00000C0C, "WeapIronLongsword"}, {0x000229BA, "WeapSteelLongsword"}, {0x0002521F, "WeapSilverLongsword"},
     {0x00035DD1, "WeapDwarvenLongSword"}, {0x000229B3, "WeapElvenLongSword"}, {0x00035E5F, "WeapGlassLongsword"},
     {0x00035E6E, "WeapEbonyLongsword"}, {0x00035E76, "WeapDaedricLongsword"}},
    {{0x0001C6CD, "WeapIronClaymore"}, {0x000229B8, "WeapSteelClaymore"}, {0x00025226, "WeapSilverClaymore"},
     {0x00035DCF, "WeapDwarvenClaymore"}, {0x00035E68, "WeapElvenClaymore"}, {0x00035E61, "WeapGlassClaymore"},
     {0x00035E70, "WeapEbonyClaymore"}, {0x00035E78, "WeapDaedricClaymore"}},
    {{0x00000D82, "WeapIronMace"}, {0x000229BB, "WeapSteelMace"}, {0x00025223, "WeapSilverMace"},
     {0x00035DD2, "WeapDwarvenMace"}, {0x00035E66, "WeapElvenMace"}, {0x00035E5E, "WeapGlassMace"},
     {0x00035E6D, "WeapEbonyMace"}, {0x00035E75, "WeapDaedricMace"}},
    {{0x00019172, "WeapIronWarhammer"}, {0x000229BE, "WeapSteelWarhammer"}, {0x00025225, "WeapSilverWarhammer"},
     {0x00035DD5, "WeapDwarvenWarHammer"}, {0x00035E69, "WeapElvenWarHammer"},
     {0x00035E62, "WeapGlassWarHammer"}, {0x00035E71, "WeapEbonyWarHammer"}, {0x00035E79, "WeapDaedricWarHammer"}},
    {{0x00000D81, "WeapIronWarAxe"}, {0x000229BD, "WeapSteelWarAxe"}, {0x00025222, "WeapSilverWarAxe"},
     {0x00035DD4, "WeapDwarvenWarAxe"}, {0x00035E65, "WeapElvenWarAxe"}, {0x00035E5D, "WeapGlassWarAxe"},
     {0x00035E6C, "WeapEbonyWarAxe"}, {0x00035E74, "WeapDaedricWarAxe"}},
    {{0x00000D7F, "WeapIronBattleAxe"}, {0x000229B6, "WeapSteelBattleAxe"}, {0x00025221, "WeapSilverBattleAxe"},
     {0x00035DCD, "WeapDwarvenBattleAxe"}, {0x00035E67, "WeapElvenBattleAxe"}, {0x00035E60, "WeapGlassBattleAxe"},
     {0x00035E6F, "WeapEbonyBattleAxe"}, {0x00035E77, "WeapDaedricBattleAxe"}},
    {{0x00025231, "WeapIronBow"}, {0x000229B7, "WeapSteelBow"}, {0x00025227, "WeapSilverBow"},
     {0x00035DCE, "WeapDwarvenBow"}, {0x000229BF, "WeapElvenBow"}, {0x00035E7A, "WeapGlassBow"},
     {0x00035E7B, "WeapEbonyBow"}, {0x00035E7C, "WeapDaedricBow"}},
    {{0x00017829, "Arrow1Iron"}, {0x000229C1, "Arrow2Steel"}, {0x0001EFD4, "Arrow3Silver"},
     {0x00022BE2, "Arrow4Dwarven"}, {0x000229C0, "Arrow5Elven"}, {0x00022BE1, "Arrow6Glass"},
     {0x0001EFD5, "Arrow7Ebony"}, {0x0001EFD3, "Arrow8Daedric"}},
};

// Morrowind's weapon types 0 to 13; -1 where Oblivion has no such weapon
// (staves, spears, crossbows, thrown weapons, bolts). A short blade of at
// most 5 pounds is a dagger.
int weaponClass(const BaseObject& item) {
    const int classes[14] = {shortsword, longsword, claymore, mace, warhammer, -1, -1,
                             warAxe, battleAxe, bow, -1, -1, arrow, -1};
    if (item.kind < 0 || item.kind >= 14) return -1;
    int found = classes[item.kind];
    return found == shortsword && item.weight <= 5 ? dagger : found;
}

// Armour: slots helmet, cuirass, greaves, boots, gauntlets, shield; six
// light materials (fur, leather, chainmail, mithril, elven, glass) and six
// heavy ones (iron, steel, dwarven, orcish, ebony, daedric). The value is
// first scaled to a cuirass's, so that one tier holds a whole set.
const double armourLimits[5] = {80, 300, 1500, 6000, 20000};
const KindChoice lightArmour[6][6] = {
    {{0x00024768, "FurHelmet"}, {0x00024766, "FurCuirass"}, {0x00024764, "FurGreaves"}, {0x00024767, "FurBoots"},
     {0x00024765, "FurGauntlets"}, {0x00025056, "FurShield"}},
    {{0x0002319C, "LeatherHelmet"}, {0x0002319A, "LeatherCuirass"}, {0x00023198, "LeatherGreaves"},
     {0x0002319B, "LeatherBoots"}, {0x00023199, "LeatherGauntlets"}, {0x00025058, "LeatherShield"}},
    {{0x0001C6D7, "ChainmailHelmet"}, {0x0001C6D3, "ChainmailCuirass"}, {0x0001C6D5, "ChainmailGreaves"},
     {0x0001C6D4, "ChainmailBoots"}, {0x0001C6D6, "ChainmailGauntlets"}, {0x00032D49, "ChainmailShield"}},
    {{0x0002C104, "MithrilHelmet"}, {0x0002C0FE, "MithrilCuirass"}, {0x0002C102, "MithrilGreaves"},
     {0x0002C0FC, "MithrilBoots"}, {0x0002C100, "MithrilGauntlets"}, {0x000352BF, "MithrilShield"}},
    {{0x000229A1, "ElvenHelmet"}, {0x0002299C, "ElvenCuirass"}, {0x0002299D, "ElvenGreaves"},
     {0x0002299F, "ElvenBoots"}, {0x0002299E, "ElvenGauntlets"}, {0x000229A0, "ElvenShield"}},
    {{0x0003633F, "GlassHelmet"}, {0x00036343, "GlassCuirass"}, {0x00036342, "GlassGreaves"},
     {0x00036341, "GlassBoots"}, {0x00036340, "GlassGauntlets"}, {0x00036344, "GlassShield"}},
};
const KindChoice heavyArmour[6][6] = {
    {{0x0001C6CE, "IronHelmet"}, {0x0001C6D1, "IronCuirass"}, {0x0001C6D0, "IronGreaves"},
     {0x0001C6CF, "IronBoots"}, {0x0001C6D2, "IronGauntlets"}, {0x000352C1, "IronShield"}},
    {{0x000229A4, "SteelHelmet"}, {0x000229A2, "SteelCuirass"}, {0x000229A3, "SteelGreaves"},
     {0x000229A5, "SteelBoots"}, {0x0001C6D8, "SteelGauntlets"}, {0x00023923, "SteelShield"}},
    {{0x00036345, "DwarvenHelmet"}, {0x00036349, "DwarvenCuirass"}, {0x00036348, "DwarvenGreaves"},
     {0x00036347, "DwarvenBoots"}, {0x00036346, "DwarvenGauntlets"}, {0x0003634A, "DwarvenShield"}},
    {{0x0003634B, "OrcishHelmet"}, {0x0003634F, "OrcishCuirass"}, {0x0003634E, "OrcishGreaves"},
     {0x0003634D, "OrcishBoots"}, {0x0003634C, "OrcishGauntlets"}, {0x00036350, "OrcishShield"}},
    {{0x00036351, "EbonyHelmet"}, {0x0002AD85, "EbonyCuirass"}, {0x00036354, "EbonyGreaves"},
     {0x00036353, "EbonyBoots"}, {0x00036352, "EbonyGauntlets"}, {0x00036356, "EbonyShield"}},
    {{0x00036357, "DaedricHelmet"}, {0x0003635B, "DaedricCuirass"}, {0x0003635A, "DaedricGreaves"},
     {0x00036359, "DaedricBoots"}, {0x00036358, "DaedricGauntlets"}, {0x0003635C, "DaedricShield"}},
};

bool armourByKind(const BaseObject& item, KindChoice& choice) {
    // Morrowind's slots 0 to 10 (helmet, cuirass, pauldrons, greaves, boots,
    // gauntlets, shield, bracers), their Oblivion slot (-1: none) and the
    // slot's base weight, from which Morrowind derives the weight class
    // (light up to 0.6 of it, medium up to 0.9, heavy above).
    const int slots[11] = {0, 1, -1, -1, 2, 3, 4, 4, 5, 4, 4};
    const double baseWeights[11] = {5, 30, 10, 10, 15, 20, 5, 5, 15, 5, 5};
    if (item.kind < 0 || item.kind >= 11 || slots[item.kind] < 0) return false;
    double base = baseWeights[item.kind];
    int tier = tierOf(item.value * 30.0 / base, armourLimits);
    bool light = item.weight <= base * 0.9;  // medium armour counts as light, as Oblivion's chainmail is
    choice = (light ? lightArmour : heavyArmour)[tier][slots[item.kind]];
    return true;
}

// Clothing: lower, middle and upper class for pants, shoes, shirts and
// robes; four grades of rings and amulets.
const double clothingLimits[2] = {10, 60};
const double jewelleryLimits[3] = {20, 100, 300};
const KindChoice pants[3] = {{0x000229A7, "LowerPants01"}, {0x000229AE, "MiddlePants01"}, {0x000229B1, "UpperPants01"}};
const KindChoice shoes[3] = {{0x000229A8, "LowerShoes01"}, {0x000229AF, "MiddleShoes01"}, {0x000229B2, "UpperShoes01"}};
const KindChoice shirts[3] = {{0x000229A6, "LowerShirt01"}, {0x000229AD, "MiddleShirt01"}, {0x000229B0, "UpperShirt01"}};
const KindChoice robes[3] = {{0x0001E7FF, "LowerRobe01"}, {0x00064F7F, "MageRobe"}, {0x000A498F, "UpperRobe01"}};
const KindChoice rings[4] = {{0x00038011, "JewelryRing1Brass"}, {0x0003801F, "JewelryRing4Silver"},
                             {0x00038015, "JewelryRing5Gold"}, {0x00038024, "JewelryRing5Gold6Diamond"}};
const KindChoice amulets[4] = {{0x0003802D, "JewelryAmulet1Bronze"}, {0x00038030, "JewelryAmulet4Silver"},
                               {0x00038031, "JewelryAmulet5Gold"}, {0x00038032, "JewelryAmulet6Jeweled"}};

// Morrowind's slots 0 to 9: pants, shoes, shirt, belt, robe, right glove,
// left glove, skirt, ring, amulet. Oblivion has no belts or gloves.
bool clothingByKind(const BaseObject& item, KindChoice& choice) {
    const KindChoice* const bySlot[10] = {pants, shoes, shirts, nullptr, robes, nullptr, nullptr, pants,
                                          rings, amulets};
    if (item.kind < 0 || item.kind >= 10 || bySlot[item.kind] == nullptr) return false;
    bool jewellery = item.kind >= 8;
    choice = bySlot[item.kind][jewellery ? tierOf(item.value, jewelleryLimits) : tierOf(item.value, clothingLimits)];
    return true;
}

// Potions by Morrowind's magic effect number (and attribute, for the
// attribute effects 74 restore and 79 fortify), each to Oblivion's
// standard-strength potion of that effect; any other effect to the weak
// restore fatigue potion, the commonest Oblivion potion.
struct PotionRow {
    int effect;
    int attribute;  // -1: any
    KindChoice potion;
};
const PotionRow potions[] = {
    {75, -1, {0x00098496, "PotionRestoreHealth"}},       {76, -1, {0x00098499, "PotionRestoreMagicka"}},
    {77, -1, {0x00098495, "PotionRestoreFatigue"}},      {80, -1, {0x00098474, "PotionFortifyHealth"}},
    {81, -1, {0x00098477, "PotionFortifyMagicka"}},      {82, -1, {0x00098473, "PotionFortifyFatigue"}},
    {74, 0, {0x0009849C, "PotionRestoreStrength"}},      {74, 1, {0x00098497, "PotionRestoreIntelligence"}},
    {74, 2, {0x00056E55, "PotionRestoreWillpower"}},     {74, 3, {0x00098493, "PotionRestoreAgility"}},
    {74, 4, {0x0009849B, "PotionRestoreSpeed"}},         {74, 5, {0x00098494, "PotionRestoreEndurance"}},
    {74, 6, {0x0009849A, "PotionRestorePersonality"}},   {74, 7, {0x00098498, "PotionRestoreLuck"}},
    {79, 0, {0x0009847A, "PotionFortifyStrength"}},      {79, 1, {0x00098475, "PotionFortifyIntelligence"}},
    {79, 2, {0x00056E53, "PotionFortifyWillpower"}},     {79, 3, {0x00098471, "PotionFortifyAgility"}},
    {79, 4, {0x00098479, "PotionFortifySpeed"}},         {79, 5, {0x00098472, "PotionFortifyEndurance"}},
    {79, 6, {0x00098478, "PotionFortifyPersonality"}},   {79, 7, {0x00098476, "PotionFortifyLuck"}},
    {69, -1, {0x0000920E, "PotionCureDisease"}},         {70, -1, {0x0000920E, "PotionCureDisease"}},
    {71, -1, {0x0000920E, "PotionCureDisease"}},         {72, -1, {0x0000920F, "PotionCurePoison"}},
    {73, -1, {0x0000922E, "PotionCureParlaysis"}},       {0, -1, {0x000984A3, "PotionWaterBreathing"}},
    {2, -1, {0x000984A4, "PotionWaterWalking"}},         {4, -1, {0x000092E7, "PotionFireShield"}},
    {5, -1, {0x00009AE3, "PotionShockShield"}},          {6, -1, {0x000092FE, "PotionFrostShield"}},
    {7, -1, {0x000984A5, "PotionBurden"}},               {8, -1, {0x000092E6, "PotionFeather"}},
    {18, -1, {0x0000927F, "PotionDrainHealth"}},         {39, -1, {0x000092FF, "PotionInvisibility"}},
    {40, -1, {0x00088B1C, "PotionChameleon"}},           {41, -1, {0x00009300, "PotionLight"}},
    {43, -1, {0x00009301, "PotionNighteye"}},            {45, -1, {0x00009302, "PotionParalyze"}},
    {46, -1, {0x00009320, "PotionSilence"}},             {57, -1, {0x0000927B, "PotionDispel"}},
    {64, -1, {0x000984A6, "PotionDetectLife"}},          {67, -1, {0x00009321, "PotionSpellAbsorption"}},
    {68, -1, {0x00009303, "PotionReflect"}},             {90, -1, {0x00009305, "PotionResistFire"}},
    {91, -1, {0x00009306, "PotionResistFrost"}},         {92, -1, {0x00009309, "PotionResistShock"}},
    {93, -1, {0x00009307, "PotionResistMagicka"}},       {94, -1, {0x00009304, "PotionResistDisease"}},
    {95, -1, {0x00009304, "PotionResistDisease"}},       {97, -1, {0x00009308, "PotionResistPoison"}},
};
const KindChoice genericPotion = {0x0000930E, "PotionRestoreFatigueW"};

KindChoice potionByKind(const BaseObject& item) {
    for (const PotionRow& row : potions)
        if (row.effect == item.kind && (row.attribute < 0 || row.attribute == item.attribute)) return row.potion;
    return genericPotion;
}

// One generic Oblivion object for each of the other kinds of item.
struct GenericRow {
    const char* type;
    KindChoice object;
};
const GenericRow generics[] = {
    {"INGR", {0x00033691, "RootPulp"}},
    {"LIGH", {0x0002CF9F, "Torch02"}},
    {"MISC", {0x00019115, "LowerClassCup01"}},
    {"APPA", {0x0006E312, "MortarPestleApprentice"}},
    {"LOCK", {0x0000000A, "Lockpick"}},
    {"PROB", {0x0000000A, "Lockpick"}},
    {"REPA", {0x0000000C, "RepairHammer"}},
};
const KindChoice genericBook = {0x0001FB53, "Book2CommonBeggarPrince"};
const KindChoice genericScroll = {0x000888BE, "ScrollStandardFireDamageTarget1Novice"};

}  // namespace

bool itemByKind(const BaseObject& item, KindChoice& choice) {
    if (item.is("WEAP")) {
        int found = weaponClass(item);
        if (found < 0) return false;
        choice = weapons[found][tierOf(item.value, weaponLimits)];
        return true;
    }
    if (item.is("ARMO")) return armourByKind(item, choice);
    if (item.is("CLOT")) return clothingByKind(item, choice);
    if (item.is("ALCH")) {
        choice = potionByKind(item);
        return true;
    }
    if (item.is("BOOK")) {
        choice = item.kind == 1 ? genericScroll : genericBook;
        return true;
    }
    // Every Oblivion key opens a lock of its own, and a light that stays
    // where it is placed is no item.
    if (item.isKey() || (item.is("LIGH") && !item.isCarriedLight())) return false;
    for (const GenericRow& row : generics)
        if (item.is(row.type)) {
            choice = row.object;
            return true;
        }
    return false;
}

}  // namespace landfer
