// Writes the shipped sample plugin: a small Morrowind plugin that exercises
// every converter there is. Deterministic: the same bytes on every run.
//
//   landfer-make-sample OUTPUT.esp
#include <cstdio>
#include <exception>
#include <string>

#include "tes3_builder.h"

namespace {

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

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s OUTPUT.esp\n", argv[0]);
        return 1;
    }
    try {
        tes3::Plugin plugin;
        addGlobals(plugin);
        // A few records of types the converter passes over.
        for (int i = 0; i < 10; ++i) plugin.add(tes3::plainRecord("ACTI", "lf_sign_" + std::to_string(i)));
        plugin.add(tes3::plainRecord("STAT", "lf_cairn"));
        addBooks(plugin);
        plugin.save(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
