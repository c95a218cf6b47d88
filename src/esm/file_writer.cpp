#include "esm/file_writer.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/read_file.h"

namespace landfer {

// 64-bit file positions and emptying an open file: the calls differ
// between the C libraries of Windows and of POSIX systems.
int64_t tellFile(FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return ftello(file);
#endif
}

bool seekFile(FILE* file, int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(file, offset, whence) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), whence) == 0;
#endif
}

namespace {

bool truncateToEmpty(FILE* file) {
#ifdef _WIN32
    return _chsize_s(_fileno(file), 0) == 0;
#else
    return ftruncate(fileno(file), 0) == 0;
#endif
}

}  // namespace

FileWriter::~FileWriter() {
    // Only reached with an open file while a fatal error unwinds; the file
    // is left as far as it was written, as after any fatal error.
    if (file_ != nullptr) std::fclose(file_);
}

FileWriter::FileWriter(FileWriter&& other) noexcept
    : file_(other.file_), name_(std::move(other.name_)), written_(other.written_), buffer_(std::move(other.buffer_)) {
    other.file_ = nullptr;
}

FileWriter& FileWriter::operator=(FileWriter&& other) noexcept {
    if (this != &other) {
        if (file_ != nullptr) std::fclose(file_);
        file_ = other.file_;
        name_ = std::move(other.name_);
        written_ = other.written_;
        buffer_ = std::move(other.buffer_);
        other.file_ = nullptr;
    }
    return *this;
}

bool FileWriter::open(const std::string& path, const char* mode) {
    if (file_ != nullptr) std::fclose(file_);
    name_ = path;
    written_ = 0;
    file_ = std::fopen(path.c_str(), mode);
    if (file_ == nullptr) return false;
    if (!buffer_) buffer_ = std::make_unique<char[]>(bufferSize);
    std::setvbuf(file_, buffer_.get(), _IOFBF, bufferSize);
    // A file appended to starts at its end.
    if (std::string_view(mode).find('a') != std::string_view::npos) {
        errno = 0;
        if (!seekFile(file_, 0, SEEK_END) || (written_ = tellFile(file_)) < 0) failed();
    }
    return true;
}

void FileWriter::failed() {
    if (errno == 0) errno = EIO;
    fatal("Unable to write to %s: %s\n", name_.c_str(), systemErrorText().c_str());
}

void FileWriter::write(const void* data, size_t length) {
    if (length == 0) return;
    errno = 0;
    if (std::fwrite(data, 1, length, file_) != length) failed();
    written_ += static_cast<int64_t>(length);
}

void ByteSink::writeUint16(uint16_t value) {
    uint8_t bytes[2];
    storeUint16(bytes, value);
    write(bytes, 2);
}

void ByteSink::writeUint32(uint32_t value) {
    uint8_t bytes[4];
    storeUint32(bytes, value);
    write(bytes, 4);
}

void ByteSink::writeZeros(size_t count) {
    static const uint8_t zeros[64] = {};
    while (count > 0) {
        size_t piece = count < sizeof zeros ? count : sizeof zeros;
        write(zeros, piece);
        count -= piece;
    }
}

void MemorySink::write(const void* data, size_t length) {
    const uint8_t* first = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), first, first + length);
}

void FileWriter::patchUint32(int64_t offset, uint32_t value) {
    errno = 0;
    if (!seekFile(file_, offset, SEEK_SET)) failed();
    uint8_t bytes[4];
    storeUint32(bytes, value);
    if (std::fwrite(bytes, 1, 4, file_) != 4) failed();
    errno = 0;
    if (!seekFile(file_, 0, SEEK_END)) failed();
}

void FileWriter::flush() {
    errno = 0;
    if (std::fflush(file_) != 0) failed();
}

void FileWriter::restart() {
    flush();
    errno = 0;
    if (written_ == 0) return;
    if (!truncateToEmpty(file_) || !seekFile(file_, 0, SEEK_SET)) failed();
    written_ = 0;
}

void FileWriter::close() {
    if (file_ == nullptr) return;
    FILE* file = file_;
    file_ = nullptr;
    errno = 0;
    bool flushed = std::fflush(file) == 0;
    int flushErrno = errno;
    bool closed = std::fclose(file) == 0;
    if (!flushed) errno = flushErrno;
    if (!flushed || !closed) failed();
}

}  // namespace landfer
