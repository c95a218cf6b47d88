#include "esm/staged_file.h"

#include <cerrno>
#include <vector>

#include "esm/fatal_error.h"

namespace landfer {

namespace {

[[noreturn]] void unreadable(const char* fromName) {
    if (errno == 0) errno = EIO;
    fatal("Unable to read from %s: %s\n", fromName, systemErrorText().c_str());
}

}  // namespace

void readStagedBytes(FILE* from, const char* fromName, void* into, size_t length) {
    errno = 0;
    if (length > 0 && std::fread(into, 1, length, from) != length) unreadable(fromName);
}

void copyStagedBytes(FILE* from, const char* fromName, ByteSink& to, uint64_t length) {
    std::vector<uint8_t> piece(8192);
    while (length > 0) {
        size_t wanted = length < piece.size() ? static_cast<size_t>(length) : piece.size();
        readStagedBytes(from, fromName, piece.data(), wanted);
        to.write(piece.data(), wanted);
        length -= wanted;
    }
}

void seekStaged(FILE* from, const char* fromName, int64_t offset) {
    errno = 0;
    // Staged pieces are mostly read in the order they were written: no seek, no lost buffer.
    if (tellFile(from) != offset && !seekFile(from, offset, SEEK_SET)) unreadable(fromName);
}

}  // namespace landfer
