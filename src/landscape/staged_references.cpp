#include "landscape/staged_references.h"

#include "esm/byte_order.h"
#include "esm/staged_file.h"

namespace landfer {

namespace {

// An entry: cell index (64 bits), grid x and y, the six placement floats,
// the scale, the unkept bits, the lock level, the count, then the base's,
// the owner's and the key's ids, each its length (32 bits) and its bytes;
// whether in an interior (32 bits) and the door number (64 bits) come
// before the ids. A door's destination waits with the doors, in memory.
constexpr size_t fixedSize = 8 + 4 * 2 + 4 * 6 + 4 + 4 + 4 + 4 + 4 + 8;

void appendText(std::vector<uint8_t>& entry, const std::string& text) {
    appendUint32(entry, static_cast<uint32_t>(text.size()));
    entry.insert(entry.end(), text.begin(), text.end());
}

}  // namespace

void StagedReferences::add(const StagedReference& staged) {
    entry_.clear();
    appendUint32(entry_, static_cast<uint32_t>(staged.cell));
    appendUint32(entry_, static_cast<uint32_t>(static_cast<uint64_t>(staged.cell) >> 32));
    appendUint32(entry_, static_cast<uint32_t>(staged.gridX));
    appendUint32(entry_, static_cast<uint32_t>(staged.gridY));
    const MorrowindReference& reference = staged.reference;
    for (float value : reference.placement) appendFloat(entry_, value);
    appendFloat(entry_, reference.scale);
    appendUint32(entry_, reference.unkept);
    appendUint32(entry_, static_cast<uint32_t>(reference.lockLevel));
    appendUint32(entry_, static_cast<uint32_t>(reference.count));
    appendUint32(entry_, staged.interior ? 1 : 0);
    appendUint32(entry_, static_cast<uint32_t>(static_cast<uint64_t>(staged.door)));
    appendUint32(entry_, static_cast<uint32_t>(static_cast<uint64_t>(staged.door) >> 32));
    for (const std::string* text : {&reference.baseId, &reference.owner, &reference.key}) appendText(entry_, *text);
    staging_.append().write(entry_.data(), entry_.size());
    ++count_;
}

void StagedReferences::readBack(const std::function<void(const StagedReference&)>& use) {
    if (count_ == 0) return;
    BlockReader file = staging_.readBack();
    const char* name = staging_.path().c_str();
    uint8_t fixed[fixedSize];
    StagedReference staged;
    for (uint64_t i = 0; i < count_; ++i) {
        readStagedBytes(file, name, fixed, fixedSize);
        staged.cell = static_cast<size_t>(readUint32(fixed) | static_cast<uint64_t>(readUint32(fixed + 4)) << 32);
        staged.gridX = readInt32(fixed + 8);
        staged.gridY = readInt32(fixed + 12);
        MorrowindReference& reference = staged.reference;
        for (size_t p = 0; p < 6; ++p) reference.placement[p] = readFloat(fixed + 16 + 4 * p);
        reference.scale = readFloat(fixed + 40);
        reference.unkept = readUint32(fixed + 44);
        reference.lockLevel = readInt32(fixed + 48);
        reference.count = readInt32(fixed + 52);
        staged.interior = readUint32(fixed + 56) != 0;
        staged.door = static_cast<int64_t>(readUint32(fixed + 60) | static_cast<uint64_t>(readUint32(fixed + 64)) << 32);
        for (std::string* text : {&reference.baseId, &reference.owner, &reference.key}) {
            uint8_t length[4];
            readStagedBytes(file, name, length, 4);
            text->resize(readUint32(length));
            readStagedBytes(file, name, text->data(), text->size());
        }
        use(staged);
    }
}

}  // namespace landfer
