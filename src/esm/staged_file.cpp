#include "esm/staged_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "esm/fatal_error.h"

namespace landfer {

namespace {

[[noreturn]] void unreadable(const char* fromName) {
    if (errno == 0) errno = EIO;
    fatal("Unable to read from %s: %s\n", fromName, systemErrorText().c_str());
}

}  // namespace

void readStagedBytes(BlockReader& from, const char* fromName, void* into, size_t length) {
    errno = 0;
    if (length > 0 && from.read(into, length) != length) unreadable(fromName);
}

void copyStagedBytes(BlockReader& from, const char* fromName, ByteSink& to, uint64_t length) {
    while (length > 0) {
        errno = 0;
        const uint8_t* held = nullptr;
        size_t piece = from.held(held, static_cast<size_t>(std::min<uint64_t>(length, SIZE_MAX)));
        if (piece == 0) unreadable(fromName);
        if (piece > length) piece = static_cast<size_t>(length);
        to.write(held, piece);
        from.skip(piece);
        length -= piece;
    }
}

void seekStaged(BlockReader& from, const char* fromName, int64_t offset) {
    errno = 0;
    // Staged pieces are mostly read in the order they were written: a seek within the block costs nothing.
    if (!from.seek(offset)) unreadable(fromName);
}

}  // namespace landfer
