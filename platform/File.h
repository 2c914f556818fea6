// CFile: a file opened and closed within the operation that uses it. Failures raise
// CFileException with a readable text; Open() reports them by its result instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/Exception.h"
#include "platform/String.h"

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,  // like shareExclusive: nobody else may open the file meanwhile
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,  // create, or truncate an existing file
        modeNoTruncate = 0x2000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    // Opens or throws CFileException.
    CFile(const char16_t* path, unsigned flags);
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // False on failure; when error is given it receives the reason.
    bool Open(const char16_t* path, unsigned flags, CFileException* error = nullptr);
    bool IsOpen() const { return m_handle != kInvalid; }
    const CString& GetFilePath() const { return m_strPath; }

    uint64_t GetLength() const;
    uint64_t GetPosition() const;
    uint64_t Seek(int64_t offset, SeekPosition from);
    void SeekToBegin() { Seek(0, begin); }
    // Returns the count read; 0 at the end of the file.
    size_t Read(void* buffer, size_t count);
    // Writes every byte or throws.
    void Write(const void* buffer, size_t count);
    // Pushes written data through to the storage device.
    void Flush();
    void Close();
    // Closes without raising, for destructors and error paths.
    void Abort() noexcept;

private:
    static constexpr intptr_t kInvalid = -1;
    [[noreturn]] void Throw(long osError) const;
    void DropReadAhead();

    intptr_t m_handle = kInvalid;
    CString m_strPath;
    bool m_bReadOnly = false;
    // Read-ahead for files opened to be read: callers may read in small pieces.
    std::unique_ptr<unsigned char[]> m_pReadAhead;
    size_t m_nAheadPos = 0;
    size_t m_nAheadEnd = 0;
};

namespace platform::file {

// The operating system's side of CFile; each returns 0 on success or the OS error code.
long Open(const char16_t* path, unsigned flags, intptr_t& handle);
long Read(intptr_t handle, void* buffer, size_t count, size_t& got);
long Write(intptr_t handle, const void* buffer, size_t count);
long Seek(intptr_t handle, int64_t offset, int from, uint64_t& position);
long Length(intptr_t handle, uint64_t& length);
long Flush(intptr_t handle);
long Close(intptr_t handle);
CFileException::Cause CauseOf(long osError);
CString ErrorText(long osError);

}  // namespace platform::file
