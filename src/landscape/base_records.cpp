#include "landscape/base_records.h"

#include <algorithm>

#include "esm/byte_order.h"

namespace landfer {

namespace {

// Oblivion's defaults for what Morrowind's lights do not have: the falloff
// exponent, the field of view (degrees) and the fade.
constexpr float lightFalloff = 1.0f;
constexpr float lightFieldOfView = 90.0f;
constexpr float lightFade = 1.0f;

void addModel(RecordWriter& data, const BaseRecordHead& head) {
    if (head.model.empty()) return;
    data.text("MODL", head.model);
    data.float32("MODB", guessedBoundRadius);
}

void addName(RecordWriter& data, const BaseObject& object) {
    if (!object.name.empty()) data.text("FULL", object.name);
}

}  // namespace

void writeContainer(RecordWriter& data, const BaseObject& container, const BaseRecordHead& head,
                    const std::vector<InventoryItem>& contents) {
    data.text("EDID", head.editorId);
    addName(data, container);
    addModel(data, head);
    addInventory(data, contents);
    std::vector<uint8_t>& flagsAndWeight = data.subrecord("DATA");
    flagsAndWeight.push_back(static_cast<uint8_t>(container.flags & containerRespawns));
    appendFloat(flagsAndWeight, container.weight);
}

void writeLight(RecordWriter& data, const BaseObject& light, const BaseRecordHead& head) {
    data.text("EDID", head.editorId);
    addModel(data, head);
    addName(data, light);
    std::vector<uint8_t>& bytes = data.subrecord("DATA");
    appendUint32(bytes, static_cast<uint32_t>(light.light.time));
    // Oblivion's lights reach somewhere: a Morrowind radius of 0 becomes the
    // smallest one, a unit, which lights as little.
    appendUint32(bytes, std::max<uint32_t>(light.light.radius, 1));
    bytes.insert(bytes.end(), light.light.colour.begin(), light.light.colour.begin() + 3);
    bytes.push_back(0);
    appendUint32(bytes, light.flags & keptLightFlags);
    appendFloat(bytes, lightFalloff);
    appendFloat(bytes, lightFieldOfView);
    appendUint32(bytes, static_cast<uint32_t>(light.value));
    appendFloat(bytes, light.weight);
    data.float32("FNAM", lightFade);
}

void writeActivator(RecordWriter& data, const BaseObject& activator, const BaseRecordHead& head) {
    data.text("EDID", head.editorId);
    addName(data, activator);
    addModel(data, head);
}

void writeDoor(RecordWriter& data, const BaseObject& door, const BaseRecordHead& head) {
    writeActivator(data, door, head);
    // None of Oblivion's gate, automatic, hidden, minimal use.
    data.uint8("FNAM", 0);
}

void writeStatic(RecordWriter& data, const BaseRecordHead& head) {
    data.text("EDID", head.editorId);
    addModel(data, head);
}

}  // namespace landfer
