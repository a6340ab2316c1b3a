#pragma once
// Buffered little-endian file handle that the record readers and writers take
// where the original interface passed a raw operating-system handle.
//
// Failure is sticky: the first short read or failed write marks the file
// failed; from then on reads return zeros and writes do nothing, so a record
// reader can finish its fields and the caller checks failed() once.
//
// A file opened for writing goes to a temporary file in the target's folder;
// commit() flushes, syncs and renames it over the target. Destroying a writer
// that was not committed removes the temporary file and leaves the target as
// it was. A symbolic link is followed, so its target is replaced and the link
// stays; a link to nothing is refused. A new file's mode is rw-rw-rw- less
// the umask, a replaced file keeps its own. A target that exists and is no
// regular file (a device, a FIFO, /dev/stdout) cannot be replaced by a
// rename: it is written into directly.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

class ZFile {
public:
    enum class Mode { Read, Write };

    ~ZFile();
    ZFile(const ZFile&) = delete;
    ZFile& operator=(const ZFile&) = delete;

    // Opens a file for reading; null when it cannot be opened.
    static std::unique_ptr<ZFile> openRead(const std::string& path);
    // Reads from a copy of the given bytes; no disk involved.
    static std::unique_ptr<ZFile> fromMemory(const void* data, std::size_t size);
    static std::unique_ptr<ZFile> fromMemory(const std::vector<std::uint8_t>& bytes) {
        return fromMemory(bytes.data(), bytes.size());
    }
    // Opens a writer for `path` (see above); null when neither the temporary
    // file nor the special file can be opened, with the cause in `cause`.
    static std::unique_ptr<ZFile> openWrite(const std::string& path, std::string* cause = nullptr);
    // Writes `n` bytes to `path` through openWrite() and commit(); false with
    // the cause (strerror's text) when anything failed on the way.
    static bool writeWhole(const std::string& path, const void* data, std::size_t n,
                           std::string* cause);

    // True for a writer's temporary file that no writer holds any more (its
    // process ended before commit or cleanup): it can be removed.
    static bool isAbandonedTemp(const std::string& path);
    // Collects written bytes in memory (see bytes()). Room for
    // `expectedBytes` is made at once: a large page grown into by doubling
    // would be copied and fresh memory touched several times over.
    static std::unique_ptr<ZFile> toMemory(std::size_t expectedBytes = 0);

    Mode mode() const { return mode_; }
    bool failed() const { return failed_; }
    // Marks the file failed, as a reader does when it meets a value it refuses.
    void setFailed() {
        failed_ = true;
        room_ = 0;
    }
    // The system's error number of the first failed call, 0 when none failed.
    int errorNumber() const { return errno_; }
    // Why writing failed, in the system's words ("No space left on device").
    std::string errorText() const;

    // Reads exactly n bytes; on a short read fills dst with zeros, marks the
    // file failed and returns false.
    bool read(void* dst, std::size_t n) {
        // A record is read a field at a time, so the common case, bytes that
        // are already in the buffer, is handled here. (n - 1 leaves reads of
        // nothing to readMore, which refuses them on a failed file.)
        if (!failed_ && n - 1 < window_ - bufferPos_) {
            std::memcpy(dst, readData_ + bufferPos_, n);
            bufferPos_ += n;
            position_ += n;
            return true;
        }
        return readMore(dst, n);
    }
    // Writes n bytes; false (and failed) when the bytes could not be written.
    bool write(const void* src, std::size_t n) {
        // Likewise for writing: bytes that fit the buffer of a file writer
        // that has not failed are only copied.
        if (n < room_ && bufferPos_ + n < room_) {
            std::memcpy(buffer_.data() + bufferPos_, src, n);
            bufferPos_ += n;
            position_ += n;
            return true;
        }
        return writeMore(src, n);
    }

    // Bytes left to read (reading only). Readers use it to refuse counts that
    // the rest of the file could not possibly hold, before allocating.
    std::uint64_t remaining() const;
    // Bytes consumed so far (reading) or written so far (writing).
    std::uint64_t position() const { return position_; }

    template <class T> T readValue() {
        static_assert(std::is_trivially_copyable_v<T>);
        T value{};
        read(&value, sizeof value);
        return value;
    }
    template <class T> bool writeValue(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        return write(&value, sizeof value);
    }
    std::int32_t readInt32() { return readValue<std::int32_t>(); }
    float readFloat() { return readValue<float>(); }
    std::uint8_t readByte() { return readValue<std::uint8_t>(); }
    bool writeInt32(std::int32_t v) { return writeValue(v); }
    bool writeFloat(float v) { return writeValue(v); }
    bool writeByte(std::uint8_t v) { return writeValue(v); }

    // Writing to a path: flushes, syncs and renames the temporary file over the
    // target (a special file: flushes and closes it). False (a regular target
    // untouched) when anything failed on the way.
    // Writing to memory: flushes nothing and returns !failed().
    bool commit();

    // The bytes written to a memory writer.
    const std::vector<std::uint8_t>& bytes() const { return memory_; }
    // The bytes themselves, leaving none behind.
    std::vector<std::uint8_t> takeBytes() { return std::move(memory_); }

private:
    ZFile() = default;
    bool readMore(void* dst, std::size_t n);
    bool writeMore(const void* src, std::size_t n);
    bool flushBuffer();
    bool fillBuffer();
    void fail(int error);

    static constexpr std::size_t kBufferSize = 64 * 1024;

    Mode mode_ = Mode::Read;
    bool failed_ = false;
    bool committed_ = false;
    bool direct_ = false;             // writing into a special file, no rename
    int errno_ = 0;
    int fd_ = -1;                     // -1 for memory files
    std::string target_;              // the path a writer replaces on commit
    std::string temp_;                // the temporary file a writer fills
    std::vector<std::uint8_t> buffer_;
    std::size_t bufferPos_ = 0;       // next byte to read, or bytes waiting to be written
    std::size_t bufferLen_ = 0;       // valid bytes in buffer_ (reading)
    // Reading: the bytes at hand, the buffer's or a memory reader's, and how
    // many; bufferPos_ is the next one to read.
    const std::uint8_t* readData_ = nullptr;
    std::size_t window_ = 0;
    // Writing: the buffer's size while writes may go to it (a file writer
    // that has neither failed nor committed), else 0.
    std::size_t room_ = 0;
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0;          // total size of a file opened for reading
    std::vector<std::uint8_t> memory_; // memory reader's source or memory writer's output
};
