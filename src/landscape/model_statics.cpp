#include "landscape/model_statics.h"

#include <cstring>

#include "esm/byte_order.h"
#include "esm/plugin_writer.h"

namespace landfer {

namespace {

// MODB, the model's bound radius, which Oblivion's own statics always
// carry. The mesh is not read, so the radius is a generous guess: the
// size of a large tree, so that nothing is culled while still in sight.
constexpr float guessedBoundRadius = 512.0f;

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

std::string folded(const std::string& text) {
    std::string lower = text;
    lowercaseInPlace(lower.data());
    return lower;
}

}  // namespace

std::string staticEditorId(const std::string& morrowindId) {
    std::string editorId;
    for (char c : morrowindId)
        if (isAsciiLetter(c) || isAsciiDigit(c)) editorId += c;
    if (editorId.empty() || !isAsciiLetter(editorId[0])) editorId = "MW" + editorId;
    return editorId;
}

std::string ModelStatics::uniqueEditorId(const std::string& morrowindId) {
    std::string stem = staticEditorId(morrowindId);
    std::string editorId = stem;
    for (int number = 2; !editorIds_.insert(folded(editorId)).second; ++number) editorId = stem + std::to_string(number);
    return editorId;
}

uint32_t ModelStatics::staticFor(const BaseObject& base, FormIds& formIds) {
    auto [known, added] = byBase_.emplace(folded(base.id), 0);
    if (!added) return known->second;
    SubrecordBuffer data;
    data.addText("MODL", prefix_ + "\\" + base.model);
    if (data.tooLarge()) return 0;  // a path no subrecord holds: no static
    uint32_t formId = formIds.take();
    known->second = formId;
    data = SubrecordBuffer();
    data.addText("EDID", uniqueEditorId(base.id));
    data.addText("MODL", prefix_ + "\\" + base.model);
    data.addFloat("MODB", guessedBoundRadius);
    writePlainRecord(statics_.file(), formId, "STAT", data.bytes());
    statics_.recordWritten();
    return formId;
}

}  // namespace landfer
