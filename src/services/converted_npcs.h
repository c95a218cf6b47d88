// The NPCs converted so far, as the placed references of later cells look
// them up. The actors keep the list; the run hands it to the landscape,
// which sees no more of the actors than this.
#pragma once

#include <cstdint>
#include <string>

namespace landfer {

class ConvertedNpcs {
public:
    virtual ~ConvertedNpcs() = default;
    // The FormID of the output record of the NPC converted from this ID;
    // the whole ID must match, without regard to letter case (Morrowind's
    // ids are case-insensitive).
    virtual bool find(const std::string& id, uint8_t formId[4]) const = 0;
};

}  // namespace landfer
