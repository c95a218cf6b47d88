// Globals and books of the sample plugin.
#include "sample_parts.h"

namespace sample {

void addGlobals(tes3::Plugin& plugin) {
    plugin.add(tes3::global("LF_BridgeRaised", 's', 0.0f));
    plugin.add(tes3::global("LF_TollPaid", 'l', 1.0f));
    plugin.add(tes3::global("LF_TideHeight", 'f', 2.5f));
}

void addBooks(tes3::Plugin& plugin) {
    plugin.add(tes3::book("lf_bk_surveyors_notes", "A Surveyor's Notes",
                          "The ash hills fall away to the west. Mark every cairn on the road to the coast."));
    plugin.add(tes3::book("lf_bk_tide_tables", "Tide Tables of the Bitter Coast",
                          "High water at dawn, low water at dusk, and never trust the mud flats."));
}

}  // namespace sample
