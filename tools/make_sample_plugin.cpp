// Writes the shipped sample plugin: a small Morrowind plugin that exercises
// every converter there is. Deterministic: the same bytes on every run.
//
//   landfer-make-sample OUTPUT.esp
#include <cstdio>
#include <exception>
#include <string>

#include "sample_parts.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s OUTPUT.esp\n", argv[0]);
        return 1;
    }
    try {
        tes3::Plugin plugin;
        sample::addGlobals(plugin);
        // A few records of types the converter passes over.
        for (int i = 0; i < 10; ++i) plugin.add(tes3::plainRecord("ACTI", "lf_sign_" + std::to_string(i)));
        plugin.add(tes3::plainRecord("STAT", "lf_cairn"));
        sample::addActors(plugin);
        sample::addBooks(plugin);
        sample::addLandscape(plugin);
        sample::addJournal(plugin);  // last, as in a plugin saved by the game's editor
        plugin.save(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
