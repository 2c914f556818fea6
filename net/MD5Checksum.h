// MD5 (RFC 1321) of an open file or of a text, as 32 lower-case hexadecimal digits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/File.h"
#include "platform/String.h"

class CMD5Checksum {
public:
    // Digests the file from its current position to its end, in reads of 1024 bytes; neither
    // seeks nor closes it. A read error is passed on as the same CFileException.
    static CString GetMD5(CFile& file);
    // Digests the text's UTF-16 code units in little-endian order, two bytes per unit, so the
    // digest depends on the text alone and not on a code page.
    static CString GetMD5(CString text);
    // Digests size bytes from data, such as a body held in memory.
    static CString GetMD5(const unsigned char* data, size_t size);

    virtual ~CMD5Checksum() = default;

protected:
    CMD5Checksum();
    void Update(const unsigned char* input, uint32_t length);
    CString Final();
    void Transform(const unsigned char* block);

private:
    unsigned char m_buffer[64];
    uint32_t m_nCount[2];  // bits absorbed, modulo 2^64, low word first
    uint32_t m_state[4];
};
