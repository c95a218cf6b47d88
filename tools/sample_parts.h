// The parts of the sample plugin, one function per subsystem it exercises.
#pragma once

#include "tes3_builder.h"

namespace sample {

void addGlobals(tes3::Plugin& plugin);
void addBooks(tes3::Plugin& plugin);
void addLandscape(tes3::Plugin& plugin);
// Dialogue comes last, as the game's editor saves it.
void addJournal(tes3::Plugin& plugin);
// NPCs: several races, both sexes, inventories, the player, a short NPDT.
void addActors(tes3::Plugin& plugin);

}  // namespace sample
