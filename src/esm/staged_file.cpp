#include "esm/staged_file.h"

#include <cerrno>
#include <vector>

#include "esm/fatal_error.h"

namespace landfer {

void copyStagedBytes(FILE* from, const char* fromName, ByteSink& to, uint64_t length) {
    std::vector<uint8_t> piece(8192);
    while (length > 0) {
        size_t wanted = length < piece.size() ? static_cast<size_t>(length) : piece.size();
        errno = 0;
        size_t got = std::fread(piece.data(), 1, wanted, from);
        if (got != wanted) {
            if (errno == 0) errno = EIO;
            fatal("Unable to read from %s: %s\n", fromName, systemErrorText().c_str());
        }
        to.write(piece.data(), got);
        length -= got;
    }
}

}  // namespace landfer
