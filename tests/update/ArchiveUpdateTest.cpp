#include "update/ArchiveUpdate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "env/Log.h"
#include "net/HttpBuffer.h"
#include "platform/Codepage.h"
#include "tests/support/LogReader.h"
#include "tests/support/TempDir.h"
#include "update/LaunchState.h"

using testing_support::CurrentDirScope;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// A buffer holding body as a successful fetch leaves it.
void Hold(CHttpBuffer& buffer, const std::string& body) {
    buffer.m_pData.reset(static_cast<unsigned char*>(std::calloc(body.size() + 1, 1)));
    std::memcpy(buffer.m_pData.get(), body.data(), body.size());
    buffer.m_nLength = static_cast<int32_t>(body.size());
}

constexpr const char16_t* kHelloMd5 = u"5d41402abc4b2a76b9719d911017c592";

TEST(ArchiveUpdate, ServerDigestIsTrimmedAndLowerCased) {
    const struct {
        std::string text;
        std::u16string digest;
    } cases[] = {
        {"5D41402ABC4B2A76B9719D911017C592\r\n", kHelloMd5},
        {" \t5d41402abc4b2a76b9719d911017c592 \n\n", kHelloMd5},
        {"5d41402abc4b 2a76b9719d911017c592", u"5d41402abc4b 2a76b9719d911017c592"},
        {std::string("5d41402abc4b2a76b9719d911017c592\0trailing", 41), kHelloMd5},
        {"", u""},
        {"\r\n", u""},
    };
    for (const auto& c : cases) {
        CHttpBuffer buffer;
        Hold(buffer, c.text);
        EXPECT_EQ(NormaliseServerDigest(buffer).Str(), c.digest) << c.text;
    }
}

TEST(ArchiveUpdate, PackageUrlIsTheServerFolderTheDigestAndPak) {
    const struct {
        const char16_t* line;
        const char16_t* digest;
        const char16_t* url;
    } cases[] = {
        {u"http://s/app/quorvia.jar", kHelloMd5,
         u"http://s/app/5d41402abc4b2a76b9719d911017c592.pak"},
        {u"http://s/quorvia.jar", u"abc", u"http://s/abc.pak"},
        {u"http://s/app/quorvia.jar", u"", u"http://s/app/.pak"},
        {u"quorvia.jar", u"abc", u"quorvia.jar"},
        {u"http://s/app/quorvia.jar", nullptr, u"http://s/app/quorvia.jar"},
    };
    for (const auto& c : cases) {
        CLaunchState state;
        state.m_strPackageUrl = CString(c.line);
        MakePackageUrl(c.digest);
        EXPECT_EQ(state.m_strPackageUrl, CString(c.url)) << platform::WideToUtf8(c.line);
    }
}

TEST(ArchiveUpdate, LocalDigestIsTheArchivesMd5OrEmpty) {
    TempDir work;
    CurrentDirScope cwd(work.Path());
    CLaunchState state;
    state.m_strJarFile = CString(u"quorvia.jar");
    EXPECT_TRUE(GetLocalArchiveDigest().IsEmpty()) << "missing archive";
    WriteFileBytes(work / "quorvia.jar", "hello");
    EXPECT_EQ(GetLocalArchiveDigest(), CString(kHelloMd5));
    state.m_strJarFile.Empty();
    EXPECT_TRUE(GetLocalArchiveDigest().IsEmpty()) << "no archive name";
}

TEST(ArchiveUpdate, OnlyANonEmptyPackageWithTheServersDigestIsAccepted) {
    TempDir work;
    CurrentDirScope cwd(work.Path());
    theLog.Reset();
    CHttpBuffer buffer;
    Hold(buffer, "hello");
    EXPECT_TRUE(IsVerifiedPackage(buffer, CString(kHelloMd5)));
    EXPECT_FALSE(IsVerifiedPackage(buffer, CString(u"00000000000000000000000000000000")));
    Hold(buffer, "");
    EXPECT_FALSE(IsVerifiedPackage(buffer, CString(u"d41d8cd98f00b204e9800998ecf8427e")))
        << "an empty body never replaces the archive";
    EXPECT_FALSE(IsVerifiedPackage(CHttpBuffer(), CString()));
    theLog.Reset();
    const auto log = testing_support::ReadLogMessages(work / "t.log");
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0],
              "package check failed: 5 bytes, md5 5d41402abc4b2a76b9719d911017c592, expected "
              "00000000000000000000000000000000");
}

TEST(ArchiveUpdate, PackageReplacesTheArchiveWhole) {
    TempDir work;
    CurrentDirScope cwd(work.Path());
    CLaunchState state;
    state.m_strJarFile = CString(u"quorvia.jar");
    WriteFileBytes(work / "quorvia.jar", std::string(100000, 'o'));
    CHttpBuffer buffer;
    Hold(buffer, "the new archive");
    ASSERT_TRUE(WritePackage(buffer));
    EXPECT_EQ(ReadFileBytes(work / "quorvia.jar"), "the new archive");
    EXPECT_FALSE(std::filesystem::exists(work / "quorvia.jar.part"));
}

TEST(ArchiveUpdate, FailedWriteKeepsTheOldArchive) {
    TempDir work;
    CurrentDirScope cwd(work.Path());
    theLog.Reset();
    CLaunchState state;
    state.m_strJarFile = CString(u"quorvia.jar");
    WriteFileBytes(work / "quorvia.jar", "old archive");
    // A folder where the new archive is first written: the write cannot start.
    std::filesystem::create_directory(work / "quorvia.jar.part");
    CHttpBuffer buffer;
    Hold(buffer, "the new archive");
    EXPECT_FALSE(WritePackage(buffer));
    EXPECT_EQ(ReadFileBytes(work / "quorvia.jar"), "old archive");

    state.m_strJarFile.Empty();
    EXPECT_FALSE(WritePackage(buffer)) << "no archive name";
    theLog.Reset();
    const auto log = testing_support::ReadLogMessages(work / "t.log");
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].rfind("exception:", 0), 0u) << log[0];
    EXPECT_NE(log[0].find("quorvia.jar.part"), std::string::npos) << log[0];
}

}  // namespace
