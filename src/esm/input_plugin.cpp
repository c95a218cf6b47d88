#include "esm/input_plugin.h"

#include <cerrno>
#include <algorithm>
#include <new>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"

namespace landfer {

bool hasDeletedFlag(const uint8_t* header) { return (readUint32(header + 12) & 0x20) != 0; }

void InputPlugin::open(const std::string& path) {
    name_ = path;
    file_ = BlockReader(openForReading(path), BlockReader::inputBlockSize);
    if (!file_.isOpen()) fatal("Unable to open %s for reading: %s\n", path.c_str(), systemErrorText().c_str());

    char type[5] = {0, 0, 0, 0, 0};
    errno = 0;
    size_t got = file_.read(type, 4);
    if (got < 4) {
        // Without a read error the file is simply too short: said as such, not as a system error text.
        std::string reason = file_.failed() ? systemErrorText()
                             : got == 0               ? std::string("the file is empty")
                                                      : formatText("the file holds only %zu bytes", got);
        fatal("Unable to read any data from %s to determine it's file type: %s\n", path.c_str(), reason.c_str());
    }
    if (std::string(type, 4) == "TES4")
        fatal("\nThis file (%s) is already a TES4:Oblivion file!\nLandfer is only designed to convert _from_ TES3 "
              "files _to_ TES4.Please Use Gravnok or Halvstrom instead.\n\n",
              path.c_str());
    if (std::string(type, 4) != "TES3")
        fatal("?? I do not recognize this type of file. It should start with TES3, but the file you specified (%s) "
              "starts with %s!\n",
              path.c_str(), type);

    // The file's length bounds every record size read from it.
    errno = 0;
    if ((size_ = file_.size()) < 0 || !file_.seek(0))
        fatal("Unable to open %s for reading: %s\n", path.c_str(), systemErrorText().c_str());
}

bool InputPlugin::readRecord(std::vector<uint8_t>& record) { return readRecord(record, nullptr); }

bool InputPlugin::readHeader(uint8_t header[]) {
    errno = 0;
    size_t got = file_.read(header, inputHeaderSize);
    if (got == 0) {
        if (file_.failed()) fatal("Unable to read from %s: %s\n", name_.c_str(), systemErrorText().c_str());
        return false;
    }
    if (got < inputHeaderSize)
        fatal("Unable to read a whole record header (%d of 16 bytes) at the end of %s\n", static_cast<int>(got),
              name_.c_str());

    uint64_t dataSize = readUint32(header + 4);
    unsigned long long recordSize = dataSize + inputHeaderSize;
    int64_t position = file_.position();
    if (dataSize > static_cast<uint64_t>(size_ - position))
        fatal("Unable to read entire marker record (%llu bytes) from %s into memory: the file holds only %lld of "
              "them\n",
              recordSize, name_.c_str(), static_cast<long long>(size_ - position + inputHeaderSize));
    recordOffset_ = position - static_cast<int64_t>(inputHeaderSize);
    return true;
}

void InputPlugin::readData(std::vector<uint8_t>& record, const uint8_t header[], uint64_t dataSize) {
    unsigned long long recordSize = dataSize + inputHeaderSize;
    try {
        record.resize(static_cast<size_t>(recordSize));
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        fatal("Unable to allocate %llu bytes of memory to store TES file record: %s\n", recordSize,
              systemErrorText().c_str());
    }
    std::copy(header, header + inputHeaderSize, record.begin());
    errno = 0;
    if (file_.read(record.data() + inputHeaderSize, dataSize) != dataSize)
        fatal("Unable to read entire marker record (%llu bytes) from %s into memory: %s\n", recordSize,
              name_.c_str(), file_.failed() ? systemErrorText().c_str() : "the file ended before it");
}

void InputPlugin::skip(uint64_t bytes) {
    if (bytes > 0 && !file_.skip(bytes))
        fatal("Unable to read from %s: %s\n", name_.c_str(), systemErrorText().c_str());
}

bool InputPlugin::readRecord(std::vector<uint8_t>& record, bool (*wanted)(const uint8_t* header)) {
    uint8_t header[inputHeaderSize];
    if (!readHeader(header)) return false;
    uint64_t dataSize = readUint32(header + 4);
    if (wanted != nullptr && !wanted(header)) {
        record.assign(header, header + inputHeaderSize);
        skip(dataSize);
        return true;
    }
    readData(record, header, dataSize);
    return true;
}

bool InputPlugin::readRecordHead(std::vector<uint8_t>& record, size_t (*headSize)(const uint8_t* header)) {
    uint8_t header[inputHeaderSize];
    if (!readHeader(header)) return false;
    uint64_t dataSize = readUint32(header + 4);
    uint64_t head = std::min<uint64_t>(dataSize, headSize(header));
    readData(record, header, head);
    skip(dataSize - head);
    return true;
}

void InputPlugin::readRecordAt(int64_t offset, std::vector<uint8_t>& record) {
    if (!file_.seek(offset))
        fatal("Unable to read from %s: %s\n", name_.c_str(), systemErrorText().c_str());
    if (!readRecord(record)) fatal("Unable to read from %s: the file ended before a record it indexed\n", name_.c_str());
}

}  // namespace landfer
