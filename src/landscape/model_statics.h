// For a modder who ports Morrowind's meshes: each Morrowind base object
// that a placed reference uses, with a model, becomes one new Oblivion
// static (STAT) whose model is the prefix given, a backslash and the
// Morrowind model path as stored ("morrowind\f\flora_bc_tree_01.nif", found
// in Data\Meshes\morrowind\f\). The statics wait in "statics.tmp" for their
// top group, which stands after the books and before the NPCs.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "esm/form_ids.h"
#include "esm/output_plugin.h"
#include "esm/staged_records.h"
#include "services/base_objects.h"

namespace landfer {

// A static's editor ID from a Morrowind id: its letters and digits only
// (what the editor accepts), beginning with a letter.
std::string staticEditorId(const std::string& morrowindId);

class ModelStatics {
public:
    static constexpr const char* fileName = "statics.tmp";

    explicit ModelStatics(std::string prefix) : prefix_(std::move(prefix)) {}

    // The FormID of the static of a base object with a model, made at its
    // first use; 0 when its model path is too long for a subrecord.
    uint32_t staticFor(const BaseObject& base, FormIds& formIds);
    void writeGroup(OutputPlugin& output) { statics_.copyInto(output); }

private:
    std::string uniqueEditorId(const std::string& morrowindId);

    std::string prefix_;
    StagedRecords statics_{fileName, "STAT"};
    std::unordered_map<std::string, uint32_t> byBase_;  // folded Morrowind id to FormID
    std::unordered_set<std::string> editorIds_;         // folded
};

}  // namespace landfer
