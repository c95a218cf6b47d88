// Records converted from Morrowind records of an id, found by that id: the
// journal quests by journal name, the globals by name. The subsystem that
// converts them keeps the index; the run hands it to those that refer to
// them, which see no more of that subsystem than this.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace landfer {

class ConvertedIds {
public:
    virtual ~ConvertedIds() = default;
    // The FormID of the output record converted from this id; the whole id
    // must match, without regard to letter case (Morrowind's ids are
    // case-insensitive).
    virtual bool find(std::string_view id, uint32_t& formId) const = 0;
};

// The plain index: the first record of an id wins.
class ConvertedIdIndex : public ConvertedIds {
public:
    void add(std::string_view id, uint32_t formId);
    bool find(std::string_view id, uint32_t& formId) const override;

private:
    std::unordered_map<std::string, uint32_t> formIds_;  // by the id in lower case
};

}  // namespace landfer
