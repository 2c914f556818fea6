#include "platform/File.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kReadAheadSize = 64 * 1024;
}

CFile::CFile(const char16_t* path, unsigned flags) {
    CFileException error(CFileException::none, 0, CString(), CString());
    if (!Open(path, flags, &error)) throw error;
}

CFile::~CFile() { Abort(); }

bool CFile::Open(const char16_t* path, unsigned flags, CFileException* error) {
    Abort();
    const CString name(path);
    intptr_t handle = kInvalid;
    const long err = name.IsEmpty() ? -1 : platform::file::Open(name, flags, handle);
    if (err != 0) {
        if (error) {
            const bool empty = name.IsEmpty();
            *error = CFileException(empty ? CFileException::badPath : platform::file::CauseOf(err),
                                    empty ? 0 : err, name,
                                    empty ? CString(u"empty file name") : platform::file::ErrorText(err));
        }
        return false;
    }
    m_handle = handle;
    m_strPath = name;
    m_bReadOnly = (flags & 0x3) == modeRead;
    return true;
}

void CFile::Throw(long osError) const {
    throw CFileException(platform::file::CauseOf(osError), osError, m_strPath,
                         platform::file::ErrorText(osError));
}

void CFile::DropReadAhead() { m_nAheadPos = m_nAheadEnd = 0; }

uint64_t CFile::GetLength() const {
    uint64_t length = 0;
    if (const long err = platform::file::Length(m_handle, length)) Throw(err);
    return length;
}

uint64_t CFile::GetPosition() const {
    uint64_t position = 0;
    if (const long err = platform::file::Seek(m_handle, 0, current, position)) Throw(err);
    return position - (m_nAheadEnd - m_nAheadPos);
}

uint64_t CFile::Seek(int64_t offset, SeekPosition from) {
    if (from == current) offset -= static_cast<int64_t>(m_nAheadEnd - m_nAheadPos);
    DropReadAhead();
    uint64_t position = 0;
    if (const long err = platform::file::Seek(m_handle, offset, from, position)) Throw(err);
    return position;
}

size_t CFile::Read(void* buffer, size_t count) {
    auto* out = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < count) {
        if (m_nAheadPos < m_nAheadEnd) {
            const size_t n = std::min(count - done, m_nAheadEnd - m_nAheadPos);
            std::memcpy(out + done, m_pReadAhead.get() + m_nAheadPos, n);
            m_nAheadPos += n;
            done += n;
            continue;
        }
        size_t got = 0;
        if (!m_bReadOnly || count - done >= kReadAheadSize) {
            if (const long err = platform::file::Read(m_handle, out + done, count - done, got)) Throw(err);
            done += got;
            if (got == 0) break;
            continue;
        }
        if (!m_pReadAhead) m_pReadAhead = std::make_unique<unsigned char[]>(kReadAheadSize);
        if (const long err = platform::file::Read(m_handle, m_pReadAhead.get(), kReadAheadSize, got)) {
            Throw(err);
        }
        m_nAheadPos = 0;
        m_nAheadEnd = got;
        if (got == 0) break;
    }
    return done;
}

void CFile::Write(const void* buffer, size_t count) {
    if (const long err = platform::file::Write(m_handle, buffer, count)) Throw(err);
}

void CFile::Flush() {
    if (const long err = platform::file::Flush(m_handle)) Throw(err);
}

void CFile::Close() {
    if (m_handle == kInvalid) return;
    const intptr_t handle = m_handle;
    m_handle = kInvalid;
    DropReadAhead();
    if (const long err = platform::file::Close(handle)) Throw(err);
}

void CFile::Abort() noexcept {
    if (m_handle == kInvalid) return;
    platform::file::Close(m_handle);
    m_handle = kInvalid;
    DropReadAhead();
}
