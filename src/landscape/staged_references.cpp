#include "landscape/staged_references.h"

#include <cstring>

#include "esm/byte_order.h"
#include "esm/staged_file.h"

namespace landfer {

namespace {

// An entry: cell index (64 bits), grid x and y, the six placement floats,
// the scale, the unkept bits, the lock level, the count, whether in an
// interior (32 bits), the door number (64 bits) and the lengths (32 bits)
// of the base's, the owner's and the key's ids, then the ids' bytes, one
// after another: most references have a base id alone, and are read in
// two pieces. A door's destination waits with the doors, in memory.
constexpr size_t fixedSize = 8 + 4 * 2 + 4 * 6 + 4 + 4 + 4 + 4 + 4 + 8 + 4 * 3;

// Stores the numbers of an entry one after another.
class EntryStore {
public:
    explicit EntryStore(uint8_t* at) : at_(at) {}
    void put(uint32_t value) {
        storeUint32(at_, value);
        at_ += 4;
    }
    void put(const std::string& text) {
        std::memcpy(at_, text.data(), text.size());
        at_ += text.size();
    }

private:
    uint8_t* at_;
};

}  // namespace

void StagedReferences::add(const StagedCell& place, const MorrowindReference& reference, int64_t door) {
    const std::string* const ids[] = {&reference.baseId, &reference.owner, &reference.key};
    entry_.resize(fixedSize + reference.baseId.size() + reference.owner.size() + reference.key.size());
    EntryStore entry(entry_.data());
    entry.put(static_cast<uint32_t>(place.cell));
    entry.put(static_cast<uint32_t>(static_cast<uint64_t>(place.cell) >> 32));
    entry.put(static_cast<uint32_t>(place.gridX));
    entry.put(static_cast<uint32_t>(place.gridY));
    for (float value : reference.placement) entry.put(floatBits(value));
    entry.put(floatBits(reference.scale));
    entry.put(reference.unkept);
    entry.put(static_cast<uint32_t>(reference.lockLevel));
    entry.put(static_cast<uint32_t>(reference.count));
    entry.put(place.interior ? 1 : 0);
    entry.put(static_cast<uint32_t>(static_cast<uint64_t>(door)));
    entry.put(static_cast<uint32_t>(static_cast<uint64_t>(door) >> 32));
    for (const std::string* id : ids) entry.put(static_cast<uint32_t>(id->size()));
    for (const std::string* id : ids) entry.put(*id);
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
        size_t lengthAt = fixedSize - 12;
        for (std::string* id : {&reference.baseId, &reference.owner, &reference.key}) {
            id->resize(readUint32(fixed + lengthAt));
            readStagedBytes(file, name, id->data(), id->size());
            lengthAt += 4;
        }
        use(staged);
    }
}

}  // namespace landfer
