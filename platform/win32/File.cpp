#include "platform/File.h"

#include <algorithm>

#include "platform/win32/Wide.h"

namespace platform::file {

long Open(const char16_t* path, unsigned flags, intptr_t& handle) {
    DWORD access = GENERIC_READ;
    switch (flags & 0x3) {
        case CFile::modeWrite: access = GENERIC_WRITE; break;
        case CFile::modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
        default: break;
    }
    DWORD share = 0;  // shareCompat and shareExclusive both deny everything
    switch (flags & 0x70) {
        case CFile::shareDenyWrite: share = FILE_SHARE_READ; break;
        case CFile::shareDenyRead: share = FILE_SHARE_WRITE; break;
        case CFile::shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
        default: break;
    }
    DWORD disposition = OPEN_EXISTING;
    if (flags & CFile::modeCreate) {
        disposition = (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    }
    HANDLE h = CreateFileW(win32::W(path), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return static_cast<long>(GetLastError());
    handle = reinterpret_cast<intptr_t>(h);
    return 0;
}

long Read(intptr_t handle, void* buffer, size_t count, size_t& got) {
    got = 0;
    auto* out = static_cast<char*>(buffer);
    while (got < count) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - got, 1u << 30));
        DWORD n = 0;
        if (!ReadFile(reinterpret_cast<HANDLE>(handle), out + got, chunk, &n, nullptr)) {
            return static_cast<long>(GetLastError());
        }
        got += n;
        if (n < chunk) break;
    }
    return 0;
}

long Write(intptr_t handle, const void* buffer, size_t count) {
    const auto* in = static_cast<const char*>(buffer);
    while (count > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count, 1u << 30));
        DWORD n = 0;
        if (!WriteFile(reinterpret_cast<HANDLE>(handle), in, chunk, &n, nullptr)) {
            return static_cast<long>(GetLastError());
        }
        if (n == 0) return ERROR_DISK_FULL;
        in += n;
        count -= n;
    }
    return 0;
}

long Seek(intptr_t handle, int64_t offset, int from, uint64_t& position) {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER result;
    const DWORD method = from == CFile::begin ? FILE_BEGIN : from == CFile::current ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(reinterpret_cast<HANDLE>(handle), distance, &result, method)) {
        return static_cast<long>(GetLastError());
    }
    position = static_cast<uint64_t>(result.QuadPart);
    return 0;
}

long Length(intptr_t handle, uint64_t& length) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(reinterpret_cast<HANDLE>(handle), &size)) return static_cast<long>(GetLastError());
    length = static_cast<uint64_t>(size.QuadPart);
    return 0;
}

long Flush(intptr_t handle) {
    if (!FlushFileBuffers(reinterpret_cast<HANDLE>(handle))) return static_cast<long>(GetLastError());
    return 0;
}

long Close(intptr_t handle) {
    if (!CloseHandle(reinterpret_cast<HANDLE>(handle))) return static_cast<long>(GetLastError());
    return 0;
}

CFileException::Cause CauseOf(long osError) {
    switch (osError) {
        case ERROR_FILE_NOT_FOUND: return CFileException::fileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME: return CFileException::badPath;
        case ERROR_ACCESS_DENIED: return CFileException::accessDenied;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return CFileException::sharingViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return CFileException::diskFull;
        case ERROR_HANDLE_EOF: return CFileException::endOfFile;
        default: return CFileException::generic;
    }
}

CString ErrorText(long osError) { return win32::SystemErrorText(static_cast<DWORD>(osError)); }

}  // namespace platform::file
