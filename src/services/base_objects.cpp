#include "services/base_objects.h"

#include <cstring>
#include <vector>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/input_plugin.h"
#include "services/morrowind_types.h"

namespace landfer {

namespace {


// A light's time, radius, colour and flags, behind its weight and value.
void readLightData(const Subrecord& sub, BaseObject& object) {
    sub.require(24);
    object.light.time = readInt32(sub.data + 8);
    object.light.radius = readUint32(sub.data + 12);
    std::memcpy(object.light.colour.data(), sub.data + 16, 4);
    object.flags = readUint32(sub.data + 20);
}

// The item numbers of the data subrecords the mapping by kind reads:
// WPDT weight, value, type (16 bits); AODT and CTDT type, weight, value
// (16 bits in CTDT); ALDT, IRDT, MCDT, LHDT weight, value; BKDT weight,
// value, scroll flag; ENAM (a potion's effects) effect (16 bits), skill,
// attribute. MCDT's flags follow its value; LHDT's time, radius, colour
// and flags follow its value.
void readItemData(std::string_view type, const Subrecord& sub, BaseObject& object) {
    if (sub.is("WPDT") && type == "WEAP") {
        sub.require(10);
        object.weight = readFloat(sub.data);
        object.value = readInt32(sub.data + 4);
        object.kind = readUint16(sub.data + 8);
    } else if ((sub.is("AODT") && type == "ARMO") || (sub.is("CTDT") && type == "CLOT")) {
        sub.require(10);
        object.kind = readInt32(sub.data);
        object.weight = readFloat(sub.data + 4);
        object.value = type == "CLOT" ? readUint16(sub.data + 8) : readInt32(sub.data + 8);
    } else if (sub.is("ALDT") || sub.is("IRDT") || sub.is("MCDT") || sub.is("LHDT") || sub.is("BKDT")) {
        sub.require(8);
        object.weight = readFloat(sub.data);
        object.value = readInt32(sub.data + 4);
        if (sub.is("BKDT")) {
            sub.require(12);
            object.kind = readInt32(sub.data + 8) != 0 ? 1 : 0;
        }
        if (sub.is("MCDT")) object.flags = sub.size >= 12 ? readUint32(sub.data + 8) : 0;
        if (sub.is("LHDT")) readLightData(sub, object);
    } else if (sub.is("ENAM") && type == "ALCH" && object.kind < 0) {
        sub.require(4);
        object.kind = readUint16(sub.data);
        object.attribute = static_cast<int8_t>(sub.data[3]);
    }
}

// A container's capacity (CNDT), flags (FLAG) and contents (NPCO: a
// 32-bit count and a 32-byte id).
void readContainerData(const Subrecord& sub, BaseObject& object) {
    if (sub.is("CNDT")) {
        sub.require(4);
        object.weight = readFloat(sub.data);
    } else if (sub.is("FLAG")) {
        sub.require(4);
        object.flags = readUint32(sub.data);
    } else if (sub.is("NPCO")) {
        sub.require(36);
        const char* id = reinterpret_cast<const char*>(sub.data + 4);
        object.contents.push_back({readInt32(sub.data), std::string(id, strnlen(id, 32))});
    }
}

}  // namespace

bool BaseObjects::readObject(const char type[4], RecordData record, BaseObject& object) {
    std::string_view recordType(type, 4);
    std::memcpy(object.type.data(), type, 4);
    SubrecordCursor cursor(record);
    bool deleted = false;
    while (!cursor.atEnd()) {
        Subrecord sub = cursor.next();
        if (sub.is("NAME") && object.id.empty())
            object.id = std::string(sub.text());
        else if (sub.is("MODL"))
            object.model = std::string(sub.text());
        else if (sub.is("FNAM"))
            object.name = std::string(sub.text());
        else if (sub.is("SCRI"))
            object.script = std::string(sub.text());
        else if (recordType == "CONT")
            readContainerData(sub, object);
        else if (sub.is("DELE"))
            deleted = true;
        else
            readItemData(recordType, sub, object);
    }
    if (object.id.empty()) throw MalformedRecord("no NAME");
    return !deleted;
}


void BaseObjects::reportMalformed(Problems& problems, const std::vector<uint8_t>& record, const std::string& path,
                                  const MalformedRecord& problem) {
    std::string_view type(reinterpret_cast<const char*>(record.data()), 4);
    problems.tell(Problem::skipped(type, "of the master " + path,
                                   formatText("A %.4s record of the master %s is malformed (%s). Ignoring!\n",
                                              type.data(), path.c_str(), problem.what()))
                      .placedAt(problem.at()));
}

void BaseObjects::readPlugin(const std::string& path, bool isMaster, Problems& problems) {
    InputPlugin plugin;
    std::vector<uint8_t> record;
    try {
        plugin.open(path);
        // Cells and lands, the bulk of a plugin, are stepped over unread.
        while (plugin.readRecord(record, isBaseObjectType)) {
            problems.enterRecord(path, plugin.recordOffset(), record.data(), record.size());
            addRecord(record, isMaster, path, problems);
        }
        problems.leaveRecord();
    } catch (const FatalError& error) {
        // The pass over the input meets the same fault and reports it.
        if (isMaster) fatal("Unable to read the master file %s: %s", path.c_str(), error.what());
    }
}

void BaseObjects::addRecord(const std::vector<uint8_t>& record, bool isMaster, const std::string& path,
                            Problems& problems) {
    if (!isBaseObjectType(record.data())) return;
    const char* type = reinterpret_cast<const char*>(record.data());
    BaseObject object;
    object.fromMaster = isMaster;
    bool live = false;
    try {
        live = readObject(type, {record.data() + inputHeaderSize, record.size() - inputHeaderSize}, object);
    } catch (const MalformedRecord& problem) {
        // The input's own are reported by the pass over it.
        if (isMaster) reportMalformed(problems, record, path, problem);
        return;
    }
    std::string key = foldedCase(object.id);
    if (!live || hasDeletedFlag(record.data()))
        objects_.erase(key);
    else
        objects_[key] = std::move(object);
}

const BaseObject* BaseObjects::find(std::string_view id) const {
    auto object = objects_.find(foldedCase(id));
    return object != objects_.end() ? &object->second : nullptr;
}

}  // namespace landfer
