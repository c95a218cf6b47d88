#include "services/master_files.h"

#include <limits>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/input_plugin.h"
#include "esm/master_list.h"
#include "lookup/lookup_lines.h"
#include "services/morrowind_types.h"

namespace landfer {

namespace {

constexpr uint32_t interiorCellFlag = 0x01;
// Enough of a CELL for its NAME and DATA, and of a LAND for its INTV.
constexpr size_t cellHeadSize = 512;
constexpr size_t landHeadSize = 64;

bool isType(const uint8_t* header, RecordType type) { return RecordType::at(header) == type; }

// How much of each record the pass reads: base objects, land textures and
// the header whole, the head of cells and lands, nothing of the rest.
size_t headSize(const uint8_t* header) {
    if (isType(header, "CELL")) return cellHeadSize;
    if (isType(header, "LAND")) return landHeadSize;
    if (isType(header, "LTEX") || isType(header, "TES3") || isBaseObjectType(header))
        return std::numeric_limits<size_t>::max();
    return 0;
}

RecordData dataOf(const std::vector<uint8_t>& record) {
    return {record.data() + inputHeaderSize, record.size() - inputHeaderSize};
}

// A cell's head: NAME, an optional DELE, DATA (flags, grid X, grid Y).
// False for a deleted cell; raises MalformedRecord for a head cut short.
bool indexCell(RecordData head, int64_t offset, MasterIndex& index) {
    SubrecordCursor cursor(head);
    std::string name(cursor.next().text());
    if (cursor.nextIs("DELE")) return false;
    Subrecord data = cursor.next();
    data.require(12);
    if ((readUint32(data.data) & interiorCellFlag) != 0)
        index.interiorCells[foldedCase(name)] = offset;
    else
        index.exteriorCells[cellGridKey(readInt32(data.data + 4), readInt32(data.data + 8))] = offset;
    return true;
}

void indexLand(RecordData head, int64_t offset, MasterIndex& index) {
    SubrecordCursor cursor(head);
    if (!cursor.nextIs("INTV")) return;
    Subrecord grid = cursor.next();
    grid.require(8);
    index.lands[cellGridKey(readInt32(grid.data), readInt32(grid.data + 4))] = offset;
}

void indexLandTexture(RecordData record, MasterIndex& index) {
    SubrecordCursor cursor(record);
    if (cursor.nextIs("NAME")) cursor.next();
    if (!cursor.nextIs("INTV")) return;
    Subrecord number = cursor.next();
    number.require(4);
    if (!cursor.nextIs("DATA")) return;
    uint32_t textureNumber = readUint32(number.data) + 1;
    if (textureNumber != 0) index.landTextures[textureNumber] = std::string(cursor.next().text());
}

}  // namespace

void MasterFiles::index(Master& master, BaseObjects& baseObjects, Problems& problems) {
    MasterIndex& index = master.index;
    InputPlugin& file = *master.file;
    std::vector<uint8_t> record, whole;
    int64_t offset = file.position();
    while (file.readRecordHead(record, headSize)) {
        const uint8_t* header = record.data();
        problems.enterRecord(index.path, offset, record.data(), record.size());
        bool deleted = hasDeletedFlag(header);
        try {
            if (isType(header, "TES3")) {
                index.masters = readMasterList(dataOf(record));
            } else if (isType(header, "CELL") && !deleted) {
                try {
                    indexCell(dataOf(record), offset, index);
                } catch (const MalformedRecord&) {
                    // A head longer than its first bytes: the whole record, then.
                    file.readRecordAt(offset, whole);
                    indexCell(dataOf(whole), offset, index);
                }
            } else if (isType(header, "LAND") && !deleted) {
                indexLand(dataOf(record), offset, index);
            } else if (isType(header, "LTEX") && !deleted) {
                indexLandTexture(dataOf(record), index);
            } else {
                baseObjects.addRecord(record, true, index.path, problems);
            }
        } catch (const MalformedRecord& problem) {
            BaseObjects::reportMalformed(problems, record, index.path, problem);
        }
        offset = file.position();
    }
    problems.leaveRecord();
}

long MasterFiles::loadIndexOf(const std::string& fileName) const {
    for (size_t i = 0; i < masters_.size(); ++i)
        if (foldedCase(masters_[i]->index.name) == foldedCase(fileName)) return static_cast<long>(i);
    return -1;
}

void MasterFiles::read(const std::vector<std::string>& paths, const std::vector<std::string>& pluginMasters,
                       BaseObjects& baseObjects, Problems& problems) {
    // The load order is the MAST list's; a --master it does not name only lends its objects.
    std::vector<std::string> others;
    for (const std::string& mast : pluginMasters) {
        const std::string* given = nullptr;
        for (const std::string& path : paths)
            if (foldedCase(fileNameOf(path)) == foldedCase(mast)) given = &path;
        long already = given != nullptr ? loadIndexOf(fileNameOf(*given)) : -1;
        if (given == nullptr || already >= 0) {
            pluginMasters_.push_back(already);
            if (given == nullptr) missing_.push_back(mast);
            continue;
        }
        auto master = std::make_unique<Master>();
        master->index.path = *given;
        master->index.name = fileNameOf(*given);
        pluginMasters_.push_back(static_cast<long>(masters_.size()));
        masters_.push_back(std::move(master));
    }
    for (const std::string& path : paths)
        if (loadIndexOf(fileNameOf(path)) < 0) others.push_back(path);

    for (auto& master : masters_) {
        try {
            master->file = std::make_unique<InputPlugin>();
            master->file->open(master->index.path);
            index(*master, baseObjects, problems);
        } catch (const FatalError& error) {
            fatal("Unable to read the master file %s: %s", master->index.path.c_str(), error.what());
        }
        for (const std::string& own : master->index.masters) master->mastersInLoadOrder.push_back(loadIndexOf(own));
    }
    for (const std::string& path : others) baseObjects.readPlugin(path, true, problems);
    // Without any --master the plugin is converted alone, as it always was.
    if (paths.empty()) missing_.clear();

    for (const std::string& mast : missing_)
        problems.tell(Problem::lost(LossKind::missingMaster, mast)
                          .saying({}, formatText("The plugin names the master %s, which no --master gives: its "
                                                 "changes to that master's references are converted as references "
                                                 "of its own.\n",
                                                 mast.c_str())));
    for (const std::string& path : others)
        problems.tell(Problem::warned({}, path,
                                      formatText("The master %s is not among the plugin's masters: it lends its "
                                                 "objects and items, but none of its cells or lands.\n",
                                                 path.c_str())));
}

long MasterFiles::pluginMaster(uint32_t n) const {
    return n >= 1 && n <= pluginMasters_.size() ? pluginMasters_[n - 1] : -1;
}

long MasterFiles::masterOfMaster(size_t master, uint32_t n) const {
    const std::vector<long>& own = masters_[master]->mastersInLoadOrder;
    return n >= 1 && n <= own.size() ? own[n - 1] : -1;
}

void MasterFiles::readRecord(size_t master, int64_t offset, std::vector<uint8_t>& record) const {
    try {
        masters_[master]->file->readRecordAt(offset, record);
    } catch (const FatalError& error) {
        fatal("Unable to read the master file %s: %s", masters_[master]->index.path.c_str(), error.what());
    }
}

}  // namespace landfer
