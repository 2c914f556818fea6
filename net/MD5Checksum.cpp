#include "net/MD5Checksum.h"

#include <cstring>
#include <vector>

#include "platform/Debug.h"

namespace {

inline uint32_t Rotl(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

inline uint32_t LoadLE(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline void StoreLE(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

// The four round functions and one step of each, as RFC 1321 defines them.
inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) {
    return z ^ (x & (y ^ z));
}
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) {
    return x ^ y ^ z;
}
inline uint32_t I(uint32_t x, uint32_t y, uint32_t z) {
    return y ^ (x | ~z);
}

#define MD5_STEP(f, a, b, c, d, x, s, ac)              \
    a += f(b, c, d) + (x) + static_cast<uint32_t>(ac); \
    a = Rotl(a, s) + b

// G's two halves never overlap, so they can be added separately: a shorter dependency chain
// than the textbook form, same result.
#define MD5_STEP_G(a, b, c, d, x, s, ac)             \
    a += (x) + static_cast<uint32_t>(ac) + (~d & c); \
    a += (d & b);                                    \
    a = Rotl(a, s) + b

}  // namespace

CMD5Checksum::CMD5Checksum()
    : m_buffer{}, m_nCount{0, 0}, m_state{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

void CMD5Checksum::Transform(const unsigned char* block) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = LoadLE(block + 4 * i);
    uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];

    MD5_STEP(F, a, b, c, d, x[0], 7, 0xd76aa478);
    MD5_STEP(F, d, a, b, c, x[1], 12, 0xe8c7b756);
    MD5_STEP(F, c, d, a, b, x[2], 17, 0x242070db);
    MD5_STEP(F, b, c, d, a, x[3], 22, 0xc1bdceee);
    MD5_STEP(F, a, b, c, d, x[4], 7, 0xf57c0faf);
    MD5_STEP(F, d, a, b, c, x[5], 12, 0x4787c62a);
    MD5_STEP(F, c, d, a, b, x[6], 17, 0xa8304613);
    MD5_STEP(F, b, c, d, a, x[7], 22, 0xfd469501);
    MD5_STEP(F, a, b, c, d, x[8], 7, 0x698098d8);
    MD5_STEP(F, d, a, b, c, x[9], 12, 0x8b44f7af);
    MD5_STEP(F, c, d, a, b, x[10], 17, 0xffff5bb1);
    MD5_STEP(F, b, c, d, a, x[11], 22, 0x895cd7be);
    MD5_STEP(F, a, b, c, d, x[12], 7, 0x6b901122);
    MD5_STEP(F, d, a, b, c, x[13], 12, 0xfd987193);
    MD5_STEP(F, c, d, a, b, x[14], 17, 0xa679438e);
    MD5_STEP(F, b, c, d, a, x[15], 22, 0x49b40821);

    MD5_STEP_G(a, b, c, d, x[1], 5, 0xf61e2562);
    MD5_STEP_G(d, a, b, c, x[6], 9, 0xc040b340);
    MD5_STEP_G(c, d, a, b, x[11], 14, 0x265e5a51);
    MD5_STEP_G(b, c, d, a, x[0], 20, 0xe9b6c7aa);
    MD5_STEP_G(a, b, c, d, x[5], 5, 0xd62f105d);
    MD5_STEP_G(d, a, b, c, x[10], 9, 0x02441453);
    MD5_STEP_G(c, d, a, b, x[15], 14, 0xd8a1e681);
    MD5_STEP_G(b, c, d, a, x[4], 20, 0xe7d3fbc8);
    MD5_STEP_G(a, b, c, d, x[9], 5, 0x21e1cde6);
    MD5_STEP_G(d, a, b, c, x[14], 9, 0xc33707d6);
    MD5_STEP_G(c, d, a, b, x[3], 14, 0xf4d50d87);
    MD5_STEP_G(b, c, d, a, x[8], 20, 0x455a14ed);
    MD5_STEP_G(a, b, c, d, x[13], 5, 0xa9e3e905);
    MD5_STEP_G(d, a, b, c, x[2], 9, 0xfcefa3f8);
    MD5_STEP_G(c, d, a, b, x[7], 14, 0x676f02d9);
    MD5_STEP_G(b, c, d, a, x[12], 20, 0x8d2a4c8a);

    MD5_STEP(H, a, b, c, d, x[5], 4, 0xfffa3942);
    MD5_STEP(H, d, a, b, c, x[8], 11, 0x8771f681);
    MD5_STEP(H, c, d, a, b, x[11], 16, 0x6d9d6122);
    MD5_STEP(H, b, c, d, a, x[14], 23, 0xfde5380c);
    MD5_STEP(H, a, b, c, d, x[1], 4, 0xa4beea44);
    MD5_STEP(H, d, a, b, c, x[4], 11, 0x4bdecfa9);
    MD5_STEP(H, c, d, a, b, x[7], 16, 0xf6bb4b60);
    MD5_STEP(H, b, c, d, a, x[10], 23, 0xbebfbc70);
    MD5_STEP(H, a, b, c, d, x[13], 4, 0x289b7ec6);
    MD5_STEP(H, d, a, b, c, x[0], 11, 0xeaa127fa);
    MD5_STEP(H, c, d, a, b, x[3], 16, 0xd4ef3085);
    MD5_STEP(H, b, c, d, a, x[6], 23, 0x04881d05);
    MD5_STEP(H, a, b, c, d, x[9], 4, 0xd9d4d039);
    MD5_STEP(H, d, a, b, c, x[12], 11, 0xe6db99e5);
    MD5_STEP(H, c, d, a, b, x[15], 16, 0x1fa27cf8);
    MD5_STEP(H, b, c, d, a, x[2], 23, 0xc4ac5665);

    MD5_STEP(I, a, b, c, d, x[0], 6, 0xf4292244);
    MD5_STEP(I, d, a, b, c, x[7], 10, 0x432aff97);
    MD5_STEP(I, c, d, a, b, x[14], 15, 0xab9423a7);
    MD5_STEP(I, b, c, d, a, x[5], 21, 0xfc93a039);
    MD5_STEP(I, a, b, c, d, x[12], 6, 0x655b59c3);
    MD5_STEP(I, d, a, b, c, x[3], 10, 0x8f0ccc92);
    MD5_STEP(I, c, d, a, b, x[10], 15, 0xffeff47d);
    MD5_STEP(I, b, c, d, a, x[1], 21, 0x85845dd1);
    MD5_STEP(I, a, b, c, d, x[8], 6, 0x6fa87e4f);
    MD5_STEP(I, d, a, b, c, x[15], 10, 0xfe2ce6e0);
    MD5_STEP(I, c, d, a, b, x[6], 15, 0xa3014314);
    MD5_STEP(I, b, c, d, a, x[13], 21, 0x4e0811a1);
    MD5_STEP(I, a, b, c, d, x[4], 6, 0xf7537e82);
    MD5_STEP(I, d, a, b, c, x[11], 10, 0xbd3af235);
    MD5_STEP(I, c, d, a, b, x[2], 15, 0x2ad7d2bb);
    MD5_STEP(I, b, c, d, a, x[9], 21, 0xeb86d391);

    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

#undef MD5_STEP
#undef MD5_STEP_G

void CMD5Checksum::Update(const unsigned char* input, uint32_t length) {
    uint32_t index = (m_nCount[0] >> 3) & 0x3F;
    const uint32_t bitsLow = length << 3;
    m_nCount[0] += bitsLow;
    if (m_nCount[0] < bitsLow)
        ++m_nCount[1];
    m_nCount[1] += length >> 29;

    const uint32_t partLen = 64 - index;
    uint32_t i = 0;
    if (length >= partLen) {
        std::memcpy(m_buffer + index, input, partLen);
        Transform(m_buffer);
        // Whole blocks straight from the input; only the remainder is copied.
        for (i = partLen; i + 63 < length; i += 64)
            Transform(input + i);
        index = 0;
    }
    std::memcpy(m_buffer + index, input + i, length - i);
}

CString CMD5Checksum::Final() {
    unsigned char bits[8];
    StoreLE(bits, m_nCount[0]);
    StoreLE(bits + 4, m_nCount[1]);
    const uint32_t index = (m_nCount[0] >> 3) & 0x3F;
    const uint32_t padLen = index < 56 ? 56 - index : 120 - index;
    static const unsigned char kPadding[64] = {0x80};
    Update(kPadding, padLen);
    Update(bits, 8);

    unsigned char digest[16];
    for (int i = 0; i < 4; ++i)
        StoreLE(digest + 4 * i, m_state[i]);
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    char16_t text[33];
    for (int i = 0; i < 16; ++i) {
        text[2 * i] = kHex[digest[i] >> 4];
        text[2 * i + 1] = kHex[digest[i] & 0x0F];
    }
    text[32] = 0;
    return CString(text, 32);
}

CString CMD5Checksum::GetMD5(CFile& file) {
    CMD5Checksum md5;
    unsigned char block[1024];
    try {
        for (;;) {
            const size_t n = file.Read(block, sizeof block);
            if (n == 0)
                break;
            md5.Update(block, static_cast<uint32_t>(n));
        }
    } catch (const CFileException&) {
        platform::DebugTrace(u"CMD5Checksum::GetMD5: CFileException caught");
        throw;  // the caller decides what an unreadable file means
    }
    return md5.Final();
}

CString CMD5Checksum::GetMD5(CString text) {
    CMD5Checksum md5;
    if (!text.IsEmpty()) {
        std::vector<unsigned char> bytes;
        bytes.reserve(static_cast<size_t>(text.GetLength()) * 2);
        for (const char16_t c : text.View()) {
            bytes.push_back(static_cast<unsigned char>(c & 0xFF));
            bytes.push_back(static_cast<unsigned char>(c >> 8));
        }
        md5.Update(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    return md5.Final();
}

CString CMD5Checksum::GetMD5(const unsigned char* data, size_t size) {
    CMD5Checksum md5;
    // Update counts in 32 bits: large blocks go in pieces.
    constexpr size_t kPiece = size_t{1} << 30;
    while (size > 0) {
        const size_t n = size < kPiece ? size : kPiece;
        md5.Update(data, static_cast<uint32_t>(n));
        data += n;
        size -= n;
    }
    return md5.Final();
}
