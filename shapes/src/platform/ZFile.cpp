#include "sarvik/platform/ZFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t n) {
    while (n > 0) {
        const ssize_t done = ::write(fd, data, n);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

// The process's file mode mask, read without changing it (umask() can only
// be read by setting it, which another thread could see).
mode_t currentUmask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return static_cast<mode_t>(mask);
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

} // namespace

ZFile::~ZFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (mode_ == Mode::Write && !temp_.empty() && !committed_)
        ::unlink(temp_.c_str());
}

std::unique_ptr<ZFile> ZFile::openRead(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<ZFile> file(new ZFile());
    file->mode_ = Mode::Read;
    file->fd_ = fd;
    file->size_ = static_cast<std::uint64_t>(st.st_size);
    file->buffer_.resize(kBufferSize);
    file->readData_ = file->buffer_.data();
    return file;
}

std::unique_ptr<ZFile> ZFile::fromMemory(const void* data, std::size_t size) {
    std::unique_ptr<ZFile> file(new ZFile());
    file->mode_ = Mode::Read;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (size > 0)
        file->memory_.assign(bytes, bytes + size);
    file->size_ = size;
    file->readData_ = file->memory_.data();
    file->window_ = file->memory_.size();
    return file;
}

std::unique_ptr<ZFile> ZFile::openWrite(const std::string& path, std::string* cause) {
    auto refuse = [cause](int error) -> std::unique_ptr<ZFile> {
        if (cause)
            *cause = std::strerror(error);
        errno = error;
        return nullptr;
    };
    std::unique_ptr<ZFile> file(new ZFile());
    file->mode_ = Mode::Write;
    file->buffer_.resize(kBufferSize);
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        // A rename would put a plain file where the device or FIFO was.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            return refuse(errno);
        file->fd_ = fd;
        file->direct_ = true;
        file->target_ = path;
        file->room_ = file->buffer_.size();
        return file;
    }
    // A link that points nowhere is refused, as the map writers refuse it:
    // replacing it by a file would lose the link, creating its target might
    // write where nobody meant to.
    struct stat link {};
    if (!exists && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
        return refuse(ENOENT);
    // Through a symbolic link the file it names is replaced, not the link.
    std::string target = path;
    if (exists) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    std::string temp = folderOf(target) + "/.tavlo-save-XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return refuse(errno);
    file->fd_ = fd;
    file->target_ = target;
    file->temp_ = name.data();
    // While this writer lives, the lock tells a later start that the
    // temporary file is in use (see ZFile::isAbandonedTemp).
    ::flock(fd, LOCK_EX | LOCK_NB);
    // Keep the permissions of the file being replaced; a new file gets what
    // the umask leaves of rw-rw-rw-, as any file the program creates.
    ::fchmod(fd, exists ? (st.st_mode & 07777) : (0666 & ~currentUmask()));
    file->room_ = file->buffer_.size();
    return file;
}

bool ZFile::writeWhole(const std::string& path, const void* data, std::size_t n,
                       std::string* cause) {
    auto file = openWrite(path, cause);
    if (!file)
        return false;
    if ((n > 0 && !file->write(data, n)) || !file->commit()) {
        if (cause)
            *cause = file->errorText();
        return false;
    }
    return true;
}

bool ZFile::isAbandonedTemp(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool abandoned =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd); // the lock goes with it
    return abandoned;
}

std::string ZFile::errorText() const {
    return std::strerror(errno_ != 0 ? errno_ : EIO);
}

void ZFile::fail(int error) {
    if (!failed_ && errno_ == 0)
        errno_ = error;
    failed_ = true;
    room_ = 0;
}

std::unique_ptr<ZFile> ZFile::toMemory(std::size_t expectedBytes) {
    std::unique_ptr<ZFile> file(new ZFile());
    file->mode_ = Mode::Write;
    file->memory_.reserve(expectedBytes);
    return file;
}

std::uint64_t ZFile::remaining() const {
    if (mode_ != Mode::Read || failed_)
        return 0;
    return size_ > position_ ? size_ - position_ : 0;
}

bool ZFile::fillBuffer() {
    bufferPos_ = 0;
    bufferLen_ = 0;
    window_ = 0;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bufferLen_ = static_cast<std::size_t>(got);
        window_ = bufferLen_;
        return true;
    }
}

bool ZFile::readMore(void* dst, std::size_t n) {
    auto* out = static_cast<std::uint8_t*>(dst);
    if (mode_ != Mode::Read || failed_) {
        failed_ = true;
        std::memset(out, 0, n);
        return false;
    }
    if (fd_ < 0) {
        // The whole of a memory reader's bytes are at hand; what read() did
        // not take is either nothing or more than is left.
        if (n > size_ - position_) {
            failed_ = true;
            std::memset(out, 0, n);
            return false;
        }
        std::memcpy(out, memory_.data() + position_, n);
        position_ += n;
        bufferPos_ = static_cast<std::size_t>(position_);
        return true;
    }
    std::size_t done = 0;
    while (done < n) {
        if (bufferPos_ == bufferLen_ && !fillBuffer()) {
            failed_ = true;
            std::memset(out, 0, n);
            return false;
        }
        const std::size_t chunk = std::min(n - done, bufferLen_ - bufferPos_);
        std::memcpy(out + done, buffer_.data() + bufferPos_, chunk);
        bufferPos_ += chunk;
        done += chunk;
    }
    position_ += n;
    return true;
}

bool ZFile::flushBuffer() {
    if (bufferPos_ == 0)
        return true;
    const bool ok = writeAll(fd_, buffer_.data(), bufferPos_);
    bufferPos_ = 0;
    if (!ok)
        fail(errno);
    return ok;
}

bool ZFile::writeMore(const void* src, std::size_t n) {
    if (mode_ != Mode::Write || failed_ || committed_) {
        failed_ = true;
        room_ = 0;
        return false;
    }
    const auto* in = static_cast<const std::uint8_t*>(src);
    if (fd_ < 0) {
        memory_.insert(memory_.end(), in, in + n);
        position_ += n;
        return true;
    }
    if (n >= buffer_.size()) {
        if (!flushBuffer())
            return false;
        if (!writeAll(fd_, in, n)) {
            fail(errno);
            return false;
        }
    } else {
        if (bufferPos_ + n > buffer_.size() && !flushBuffer())
            return false;
        std::memcpy(buffer_.data() + bufferPos_, in, n);
        bufferPos_ += n;
    }
    position_ += n;
    return true;
}

bool ZFile::commit() {
    if (mode_ != Mode::Write || committed_)
        return false;
    if (fd_ < 0)
        return !failed_;
    room_ = 0; // nothing more goes to the buffer, whatever follows
    if (!failed_)
        flushBuffer();
    // Pipes, terminals and most devices cannot be synced; that is no failure.
    if (!failed_ && ::fsync(fd_) != 0 &&
        !(direct_ && (errno == EINVAL || errno == EROFS || errno == ENOTSUP)))
        fail(errno);
    if (::close(fd_) != 0)
        fail(errno);
    fd_ = -1;
    if (failed_)
        return false;
    if (direct_) {
        committed_ = true;
        return true;
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        fail(errno);
        return false;
    }
    committed_ = true;
    // Make the rename itself durable.
    const int dir = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
