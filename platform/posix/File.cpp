#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/posix/Path.h"

// Linux has no share modes: the sharing flags are accepted and have no effect.
namespace platform::file {

long Open(const char16_t* path, unsigned flags, intptr_t& handle) {
    int oflags = O_CLOEXEC;
    switch (flags & 0x3) {
        case CFile::modeWrite: oflags |= O_WRONLY; break;
        case CFile::modeReadWrite: oflags |= O_RDWR; break;
        default: oflags |= O_RDONLY; break;
    }
    if (flags & CFile::modeCreate) {
        oflags |= O_CREAT;
        if (!(flags & CFile::modeNoTruncate)) oflags |= O_TRUNC;
    }
    const std::string native = posix::Native(path);
    const int fd = ::open(native.c_str(), oflags, 0644);
    if (fd < 0) return errno;
    // A folder opens for reading on Linux; as on Windows it is not a file.
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return EISDIR;
    }
    handle = fd;
    return 0;
}

long Read(intptr_t handle, void* buffer, size_t count, size_t& got) {
    got = 0;
    auto* out = static_cast<char*>(buffer);
    while (got < count) {
        const ssize_t n = ::read(static_cast<int>(handle), out + got, count - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return 0;
}

long Write(intptr_t handle, const void* buffer, size_t count) {
    const auto* in = static_cast<const char*>(buffer);
    while (count > 0) {
        const ssize_t n = ::write(static_cast<int>(handle), in, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;
        in += n;
        count -= static_cast<size_t>(n);
    }
    return 0;
}

long Seek(intptr_t handle, int64_t offset, int from, uint64_t& position) {
    const int whence = from == CFile::begin ? SEEK_SET : from == CFile::current ? SEEK_CUR : SEEK_END;
    const off_t r = ::lseek(static_cast<int>(handle), static_cast<off_t>(offset), whence);
    if (r < 0) return errno;
    position = static_cast<uint64_t>(r);
    return 0;
}

long Length(intptr_t handle, uint64_t& length) {
    struct stat st;
    if (fstat(static_cast<int>(handle), &st) != 0) return errno;
    length = static_cast<uint64_t>(st.st_size);
    return 0;
}

long Flush(intptr_t handle) {
    if (::fsync(static_cast<int>(handle)) != 0 && errno != EINVAL) return errno;
    return 0;
}

long Close(intptr_t handle) {
    if (::close(static_cast<int>(handle)) != 0 && errno != EINTR) return errno;
    return 0;
}

CFileException::Cause CauseOf(long osError) {
    switch (osError) {
        case ENOENT: return CFileException::fileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case EISDIR: return CFileException::badPath;
        case EACCES:
        case EPERM:
        case EROFS: return CFileException::accessDenied;
        case ENOSPC: return CFileException::diskFull;
        case EIO: return CFileException::hardIO;
        default: return CFileException::generic;
    }
}

CString ErrorText(long osError) {
    char buf[256] = {};
    const char* text = strerror_r(static_cast<int>(osError), buf, sizeof buf);
    return CString(Utf8ToWide(text ? text : "unknown error"));
}

}  // namespace platform::file
