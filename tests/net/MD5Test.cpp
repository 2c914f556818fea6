#include "net/MD5Checksum.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/TempDir.h"

using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

CString DigestOfFile(const TempDir& dir, const std::string& bytes) {
    WriteFileBytes(dir / "input.bin", bytes);
    CFile file(dir.Wide("input.bin"), CFile::modeRead);
    return CMD5Checksum::GetMD5(file);
}

TEST(MD5, Rfc1321TestSuiteThroughTheFileForm) {
    const struct {
        std::string input;
        const char16_t* digest;
    } cases[] = {
        {"", u"d41d8cd98f00b204e9800998ecf8427e"},
        {"a", u"0cc175b9c0f1b6a831c399e269772661"},
        {"abc", u"900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", u"f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", u"c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", u"d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         u"57edf4a22be3c955ac49da2e2107b67a"},
    };
    TempDir dir;
    for (const auto& c : cases) EXPECT_EQ(DigestOfFile(dir, c.input), CString(c.digest)) << c.input;
}

// Digests of 'a' repeated n times, worked out independently (Python's hashlib).
TEST(MD5, ChunkAndPaddingBoundaries) {
    const struct {
        size_t length;
        const char16_t* digest;
    } cases[] = {
        {55, u"ef1772b6dff9a122358552954ad0df65"},   {56, u"3b0c8ac703f828b04c6c197006d17218"},
        {63, u"b06521f39153d618550606be297466d5"},   {64, u"014842d480b571495a4a0363793f7367"},
        {65, u"c743a45e0d2e6a95cb859adae0248435"},   {1024, u"c9a34cfc85d982698c6ac89f76071abd"},
        {1025, u"ae187e1febee2a150b64849c32d566ca"}, {100000, u"1af6d6f2f682f76f80e606aeaaee1680"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        EXPECT_EQ(DigestOfFile(dir, std::string(c.length, 'a')), CString(c.digest)) << c.length;
    }
}

TEST(MD5, FileFormDigestsFromTheCurrentPositionOnly) {
    TempDir dir;
    WriteFileBytes(dir / "f", "xxabc");
    CFile file(dir.Wide("f"), CFile::modeRead);
    file.Seek(2, CFile::begin);
    EXPECT_EQ(CMD5Checksum::GetMD5(file), CString(u"900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_EQ(CMD5Checksum::GetMD5(file), CString(u"d41d8cd98f00b204e9800998ecf8427e"));  // at the end
}

TEST(MD5, ReadErrorReachesTheCallerAsTheFileException) {
    TempDir dir;
    CFile file(dir.Wide("w"), CFile::modeCreate | CFile::modeWrite);
    file.Write("abc", 3);
    EXPECT_THROW(CMD5Checksum::GetMD5(file), CFileException);
}

TEST(MD5, TextFormDigestsTheUtf16LittleEndianCodeUnits) {
    EXPECT_EQ(CMD5Checksum::GetMD5(CString()), CString(u"d41d8cd98f00b204e9800998ecf8427e"));
    // "abc" as UTF-16LE is 61 00 62 00 63 00.
    TempDir dir;
    EXPECT_EQ(CMD5Checksum::GetMD5(CString(u"abc")), DigestOfFile(dir, std::string("a\0b\0c\0", 6)));
    const CString path(u"C:\\Program Files\\Quorvia\\Kestrop.exe");
    EXPECT_EQ(CMD5Checksum::GetMD5(path), CMD5Checksum::GetMD5(path));
    EXPECT_NE(CMD5Checksum::GetMD5(path), CMD5Checksum::GetMD5(CString(u"D:\\Quorvia\\Kestrop.exe")));
}

TEST(MD5, EveryDigestIsThirtyTwoLowerCaseHexDigits) {
    TempDir dir;
    for (int n = 0; n < 64; ++n) {
        const CString d = DigestOfFile(dir, std::string(static_cast<size_t>(n), static_cast<char>(n)));
        ASSERT_EQ(d.GetLength(), 32);
        for (const char16_t c : d.View()) EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'));
    }
}

}  // namespace
