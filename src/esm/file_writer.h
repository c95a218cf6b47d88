// A binary output file whose every write is checked. The output plugin and
// every temporary file go through it: a failed write, flush or close ends
// the run with "Unable to write to <file>: <reason>", so a full disk can
// never pass for success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace landfer {

// Where headers and records are written: the output, a temporary file, or
// memory (cells staged until their land comes).
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(const void* data, size_t length) = 0;
    void write(std::string_view text) { write(text.data(), text.size()); }
    void writeByte(uint8_t value) { write(&value, 1); }
    void writeUint16(uint16_t value);
    void writeUint32(uint32_t value);
    void writeZeros(size_t count);
};

// Bytes collected in memory.
class MemorySink : public ByteSink {
public:
    using ByteSink::write;
    void write(const void* data, size_t length) override;
    std::vector<uint8_t> bytes;
};

class FileWriter : public ByteSink {
public:
    // The buffer of every file written: records are staged a few hundred
    // bytes at a time, and each write to the system costs a call.
    static constexpr size_t bufferSize = 64 << 10;

    FileWriter() = default;
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;
    FileWriter(FileWriter&& other) noexcept;
    FileWriter& operator=(FileWriter&& other) noexcept;

    // Opens path with an fopen mode ("wb", "ab"). Returns false with errno
    // set when it cannot; the caller reports that in its own words.
    bool open(const std::string& path, const char* mode);
    bool isOpen() const { return file_ != nullptr; }
    const std::string& name() const { return name_; }

    using ByteSink::write;
    void write(const void* data, size_t length) override;

    // Current length of what has been written, kept here: asking the
    // system costs a call for every record staged.
    int64_t position() const { return written_; }
    // Overwrites four bytes at offset with value and returns to the end.
    void patchUint32(int64_t offset, uint32_t value);

    // Hands what is buffered to the file; a failure is fatal.
    void flush();

    // Empties the file, as if it had just been opened with "wb": a file
    // rewritten again and again costs no new file each time.
    void restart();

    // Flushes and closes; a failure is fatal. Closing a closed file does nothing.
    void close();

private:
    [[noreturn]] void failed();

    FILE* file_ = nullptr;
    std::string name_;
    int64_t written_ = 0;
    // The stdio buffer, given to the file: one the C library makes itself
    // has the size it chooses (4 KiB), whatever size is asked for.
    std::unique_ptr<char[]> buffer_;
};

}  // namespace landfer
