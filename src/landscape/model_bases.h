// The base records Landfer makes for the Morrowind objects placed in the
// world. With a models prefix (for a modder who ports Morrowind's meshes),
// each base object with a model that a reference uses becomes one new
// Oblivion record whose model is the prefix, a backslash and the Morrowind
// model path as stored ("morrowind\f\flora_bc_tree_01.nif", found in
// Data\Meshes\morrowind\f\): a container (CONT), light (LIGH) or activator
// (ACTI) or door (DOOR) one of its own kind, any other object a static (STAT). A light
// without a model needs no mesh: it becomes a LIGH with or without the
// prefix. The records wait in staging files for their top groups.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "esm/output_plugin.h"
#include "esm/staged_records.h"
#include "services/base_objects.h"
#include "services/converted_ids.h"
#include "services/item_choice.h"
#include "services/lookups.h"
#include "services/problems.h"
#include "services/record_output.h"

namespace landfer {

// The editor ID stem of a record made for a Morrowind object: its id's
// letters and digits only (what the editor accepts), beginning with a
// letter; the plugin's editor IDs number it where another record has it.
std::string staticEditorId(const std::string& morrowindId);

// Whether a model path leaves the folder it is read from: a ".." part, a
// leading separator or a drive letter. Such a path is never written.
bool climbsOutOfItsFolder(std::string_view modelPath);

// What a Morrowind base object became: the FormID and type of its record.
struct MadeBase {
    uint32_t formId = 0;
    std::string_view type;  // "CONT", "LIGH", "ACTI", "DOOR", "STAT"
};

class ModelBases {
public:
    // The staging files, by record type.
    static constexpr const char* staticsFileName = "statics.tmp";
    static constexpr const char* containersFileName = "containers.tmp";
    static constexpr const char* lightsFileName = "lights.tmp";
    static constexpr const char* activatorsFileName = "activators.tmp";
    static constexpr const char* doorsFileName = "doors.tmp";

    // Without a prefix, only lights without a model are made. The prefix's
    // trailing separators are dropped: one backslash joins it to a model.
    // The records are staged in the output's staging folder; a container's
    // contents are looked up as an NPC's inventory (with the books converted).
    ModelBases(std::optional<std::string> prefix, RecordOutput output, Problems& problems, Lookups lookups,
               const ConvertedIds& books);

    // The record made for a base object at its first use; null when it gets
    // none (no model, an actor, a record too large to be written). A
    // container's contents and a script left behind are noted as losses.
    const MadeBase* baseFor(const BaseObject& base);
    // The top groups of the given types, in that order (none without records).
    void writeGroups(OutputPlugin& output, std::initializer_list<std::string_view> types);

    // The type of record a base object becomes, or empty for none.
    std::string_view typeFor(const BaseObject& base) const;

private:
    // The prefix, a backslash and the model as stored; empty for no model.
    std::string modelPath(const std::string& model) const;
    std::vector<InventoryItem> contentsOf(const BaseObject& container) const;

    // The staged records of a type made here, or null.
    StagedRecords* recordsOf(std::string_view type);

    std::optional<std::string> prefix_;
    RecordOutput output_;
    Problems& problems_;
    Lookups lookups_;
    const ConvertedIds& books_;
    StagedRecords statics_;
    StagedRecords containers_;
    StagedRecords lights_;
    StagedRecords activators_;
    StagedRecords doors_;
    std::unordered_map<std::string, std::optional<MadeBase>> byBase_;  // by folded Morrowind id
};

}  // namespace landfer
