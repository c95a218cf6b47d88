#include "landscape/base_records.h"

#include "esm/byte_order.h"

namespace landfer {

namespace {

// Oblivion's defaults for what Morrowind's lights do not have: the falloff
// exponent, the field of view (degrees) and the fade.
constexpr float lightFalloff = 1.0f;
constexpr float lightFieldOfView = 90.0f;
constexpr float lightFade = 1.0f;

void addModel(SubrecordBuffer& data, const BaseRecordHead& head) {
    if (head.model.empty()) return;
    data.addText("MODL", head.model);
    data.addFloat("MODB", guessedBoundRadius);
}

void addName(SubrecordBuffer& data, const BaseObject& object) {
    if (!object.name.empty()) data.addText("FULL", object.name);
}

}  // namespace

SubrecordBuffer containerData(const BaseObject& container, const BaseRecordHead& head,
                              const std::vector<InventoryItem>& contents) {
    SubrecordBuffer data;
    data.addText("EDID", head.editorId);
    addName(data, container);
    addModel(data, head);
    addInventory(data, contents);
    std::vector<uint8_t> flagsAndWeight;
    flagsAndWeight.push_back(static_cast<uint8_t>(container.flags & containerRespawns));
    appendFloat(flagsAndWeight, container.weight);
    data.add("DATA", flagsAndWeight.data(), flagsAndWeight.size());
    return data;
}

SubrecordBuffer lightData(const BaseObject& light, const BaseRecordHead& head) {
    SubrecordBuffer data;
    data.addText("EDID", head.editorId);
    addModel(data, head);
    addName(data, light);
    std::vector<uint8_t> bytes;
    appendUint32(bytes, static_cast<uint32_t>(light.light.time));
    appendUint32(bytes, light.light.radius);
    bytes.insert(bytes.end(), light.light.colour.begin(), light.light.colour.begin() + 3);
    bytes.push_back(0);
    appendUint32(bytes, light.flags & keptLightFlags);
    appendFloat(bytes, lightFalloff);
    appendFloat(bytes, lightFieldOfView);
    appendUint32(bytes, static_cast<uint32_t>(light.value));
    appendFloat(bytes, light.weight);
    data.add("DATA", bytes.data(), bytes.size());
    data.addFloat("FNAM", lightFade);
    return data;
}

SubrecordBuffer activatorData(const BaseObject& activator, const BaseRecordHead& head) {
    SubrecordBuffer data;
    data.addText("EDID", head.editorId);
    addName(data, activator);
    addModel(data, head);
    return data;
}

SubrecordBuffer staticData(const BaseRecordHead& head) {
    SubrecordBuffer data;
    data.addText("EDID", head.editorId);
    addModel(data, head);
    return data;
}

}  // namespace landfer
