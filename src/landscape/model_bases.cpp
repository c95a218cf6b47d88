#include "landscape/model_bases.h"

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/record_writer.h"
#include "landscape/base_records.h"
#include "services/item_choice.h"

namespace landfer {

namespace {

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string staticEditorId(const std::string& morrowindId) {
    std::string editorId;
    for (char c : morrowindId)
        if (isAsciiLetter(c) || isAsciiDigit(c)) editorId += c;
    if (editorId.empty() || !isAsciiLetter(editorId[0])) editorId = "MW" + editorId;
    return editorId;
}

bool climbsOutOfItsFolder(std::string_view modelPath) {
    if (modelPath.empty()) return false;
    if (modelPath[0] == '\\' || modelPath[0] == '/') return true;
    if (modelPath.size() >= 2 && modelPath[1] == ':') return true;
    for (size_t start = 0; start <= modelPath.size();) {
        size_t end = modelPath.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = modelPath.size();
        if (modelPath.substr(start, end - start) == "..") return true;
        start = end + 1;
    }
    return false;
}

ModelBases::ModelBases(std::optional<std::string> prefix, RecordOutput output, Problems& problems, Lookups lookups,
                       const ConvertedIds& books)
    : prefix_(std::move(prefix)),
      output_(output),
      problems_(problems),
      lookups_(lookups),
      books_(books),
      statics_(output.staging.path(staticsFileName), "STAT"),
      containers_(output.staging.path(containersFileName), "CONT"),
      lights_(output.staging.path(lightsFileName), "LIGH"),
      activators_(output.staging.path(activatorsFileName), "ACTI"),
      doors_(output.staging.path(doorsFileName), "DOOR") {
    if (!prefix_) return;
    size_t kept = prefix_->find_last_not_of("\\/");
    prefix_->erase(kept == std::string::npos ? 0 : kept + 1);
}

std::string ModelBases::modelPath(const std::string& model) const {
    if (model.empty()) return {};
    return prefix_->empty() ? model : *prefix_ + "\\" + model;
}

std::string_view ModelBases::typeFor(const BaseObject& base) const {
    if (base.is("LIGH") && (prefix_ || base.model.empty())) return "LIGH";
    // Actors are no statics, whatever their model.
    if (!prefix_ || base.model.empty() || base.is("NPC_") || base.is("CREA")) return {};
    if (base.is("CONT")) return "CONT";
    if (base.is("ACTI")) return "ACTI";
    if (base.is("DOOR")) return "DOOR";
    return "STAT";
}

StagedRecords* ModelBases::recordsOf(std::string_view type) {
    if (type == "STAT") return &statics_;
    if (type == "CONT") return &containers_;
    if (type == "LIGH") return &lights_;
    if (type == "ACTI") return &activators_;
    if (type == "DOOR") return &doors_;
    return nullptr;
}

// Each entry through the item lookups, as an NPC's inventory; an item none
// knows is left out.
std::vector<InventoryItem> ModelBases::contentsOf(const BaseObject& container) const {
    std::vector<InventoryItem> contents;
    for (const ContainedItem& entry : container.contents) {
        ItemChoice choice;
        if (!chooseItem(lookups_, books_, entry.itemId, choice)) {
            problems_.tell(Problem::lost(LossKind::containerItem, entry.itemId));
            continue;
        }
        if (choice.byKind != nullptr)
            problems_.tell(Problem::lost(LossKind::itemByKind, entry.itemId, 1, byKindText(choice)));
        contents.push_back({choice.formId, carriedCount(entry.count)});
    }
    return contents;
}

const MadeBase* ModelBases::baseFor(const BaseObject& base) {
    auto [known, added] = byBase_.emplace(foldedCase(base.id), std::nullopt);
    if (!added) return known->second ? &*known->second : nullptr;
    std::string_view type = typeFor(base);
    if (type.empty()) return nullptr;
    if (climbsOutOfItsFolder(base.model)) {
        problems_.tell(Problem::skipped(
            type, base.id,
            formatText("The %.4s record %s cannot be converted: its model path %s leaves the meshes folder. Ignoring!\n",
                       base.type.data(), base.id.c_str(), base.model.c_str())));
        return nullptr;
    }
    BaseRecordHead head{output_.editorIds.unique(staticEditorId(base.id)), modelPath(base.model)};
    StagedRecords& records = *recordsOf(type);
    RecordWriter& data = records.begin(RecordType::at(type.data()), output_.formIds);
    try {
        if (type == "CONT")
            writeContainer(data, base, head, contentsOf(base));
        else if (type == "LIGH")
            writeLight(data, base, head);
        else if (type == "ACTI")
            writeActivator(data, base, head);
        else if (type == "DOOR")
            writeDoor(data, base, head);
        else
            writeStatic(data, head);
        data.checkSizes();
    } catch (const OversizedSubrecord& problem) {
        problems_.tellOversized(problem);
        return nullptr;
    }
    if (!base.script.empty() && type != "STAT")
        problems_.tell(Problem::lost(LossKind::objectScript, base.id + " (" + base.script + ")"));
    known->second = MadeBase{records.end(), type};
    return &*known->second;
}

void ModelBases::writeGroups(OutputPlugin& output, std::initializer_list<std::string_view> types) {
    for (std::string_view type : types)
        if (StagedRecords* records = recordsOf(type)) records->copyInto(output);
}

}  // namespace landfer
