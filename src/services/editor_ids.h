// Every editor ID of the output, in one registry. The editors find records
// by editor ID and take two that differ only in letter case for one, across
// all record types; so every record with an EDID takes it from here.
//
// The one stem rule: a record asks for a stem and the suffixes it will put
// behind it (a Morrowind cell's four quads: " SW", " SE", " NW", " NE").
// When stem+suffix is free for every suffix the record gets the stem;
// otherwise the smallest number from 2 that, put behind the stem, makes all
// of them free ("Riverside", "Riverside2"; a later "Riverside2" then gets
// "Riverside22"). Claims are final, so the first record to ask for a name
// keeps it: claims follow the order in which records are converted.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace landfer {

class EditorIds {
public:
    // The stem, or the stem with the smallest number that frees it, with
    // every stem+suffix claimed. An empty stem is no editor ID: it is
    // returned as it is and claims nothing.
    std::string unique(std::string_view stem, std::initializer_list<std::string_view> suffixes = {""});

    // Whether an editor ID is claimed (in any letter case).
    bool taken(std::string_view editorId) const;

private:
    bool allFree(const std::string& foldedStem, std::initializer_list<std::string_view> suffixes) const;
    void claimAll(const std::string& foldedStem, std::initializer_list<std::string_view> suffixes);

    std::unordered_set<std::string> claimed_;  // folded
    // For a folded stem and its suffixes, the number to try next: every
    // smaller number from 2 has a name already claimed, and claims stay.
    std::unordered_map<std::string, unsigned long long> nextNumber_;
};

}  // namespace landfer
