#include "javahost/ArchiveStaging.h"

#include <gtest/gtest.h>

#include <regex>

#include "platform/File.h"
#include "tests/javahost/RuntimeDouble.h"
#include "tests/javahost/StagingFixture.h"

using testing_support::Ansi;
using testing_support::ReadFileBytes;
using testing_support::Staging;

namespace {

std::string EveryByteValue(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(i * 7 % 256);
    return bytes;
}

TEST_F(Staging, TheTemporaryArchiveIsThePlainArchive) {
    const std::string cases[] = {
        "x",                       // one byte: that byte XOR the key on disk
        "PK\x03\x04\x14\0\x08\0",  // a zip header, zero bytes included
        EveryByteValue(200000),    // larger than one read-ahead block
    };
    for (const std::string& plain : cases) {
        SCOPED_TRACE(plain.size());
        PutArchive(plain);
        EXPECT_EQ(CreateJarAndRun(m_noRuntime, u"app.jar", u""), kJvmLoadFailed);
        EXPECT_EQ(ReadFileBytes(TempFile()), plain);
    }
}

TEST_F(Staging, TheMachineStartsWithTheTemporaryArchiveOnItsClassPath) {
    PutArchive("plain archive");
    testing_support::TempDir install;
    const CString runtime =
        testing_support::InstallRuntime(install.Path(), KESTROP_RUNTIME_DOUBLE_FILE);
    testing_support::RuntimeDouble control(runtime);

    EXPECT_EQ(CreateJarAndRun(runtime, u"app.jar", u"lib.jar"), kJvmRan);

    const std::string sep = platform::kTargetIsWindows ? ";" : ":";
    const std::string classPath = "-Djava.class.path=." + sep + Ansi(m_temp) + sep + "lib.jar";
    EXPECT_EQ(g_szTempJarPath, m_temp);
    const std::vector<std::string> log = LogLines();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 4),
              (std::vector<std::string>{"create JarAnd Run: jvm=" + Ansi(runtime) + ", jar=app.jar",
                                        Ansi(m_temp), "write jar to:" + Ansi(m_temp),
                                        "jvm param:" + classPath}));
    bool found = false;
    for (const std::string& line : control.Record())
        found = found || line == "option " + classPath;
    EXPECT_TRUE(found);
}

TEST_F(Staging, AMissingOrEmptyArchiveEndsWithCodeOneBeforeAnyRuntimeWork) {
    struct Case {
        const char* name;
        void (*prepare)(const std::filesystem::path& archive);
    } cases[] = {
        {"missing", [](const std::filesystem::path&) {}},
        {"empty", [](const std::filesystem::path& a) { testing_support::WriteFileBytes(a, ""); }},
        {"a folder", [](const std::filesystem::path& a) { std::filesystem::create_directory(a); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(m_work / "app.jar");
        c.prepare(m_work / "app.jar");
        theLog.Reset();
        testing::internal::CaptureStdout();
        const int code = CreateJarAndRun(m_noRuntime, u"app.jar", u"");
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "can't find jar file\n");
        EXPECT_EQ(code, kJarMissing);
        EXPECT_FALSE(std::filesystem::exists(TempFile()));
        EXPECT_EQ(LogLines(), std::vector<std::string>{
                                  "create JarAnd Run: jvm=" + Ansi(m_noRuntime) + ", jar=app.jar"});
    }
}

TEST_F(Staging, TheTemporaryNameIsTheDigestOfTheExecutablesPathAndIsLoggedAsItStands) {
    MakeTempJarPath();
    const CString first = g_szTempJarPath;
    MakeTempJarPath();
    EXPECT_EQ(g_szTempJarPath, first);
    EXPECT_EQ(first, m_temp);
    const std::string name = Ansi(first.Mid(first.ReverseFind(platform::kDirSeparator) + 1));
    EXPECT_TRUE(std::regex_match(name, std::regex("_Temp_[0-9a-f]{32}"))) << name;
    // On Linux the folder's name holds "%s%d": the line is the path, not a format.
    EXPECT_EQ(LogLines(), (std::vector<std::string>{Ansi(first), Ansi(first)}));
}

TEST_F(Staging, ATemporaryArchiveHeldOpenByARunningInstanceIsLeftAsItIs) {
    if (!platform::kTargetIsWindows)
        GTEST_SKIP() << "Linux has no share modes; it writes a new file";
    PutArchive("new archive");
    testing_support::WriteFileBytes(TempFile(), "running instance's archive");
    CFile running(m_temp, CFile::modeRead);  // exclusive, as the runtime of another instance

    EXPECT_EQ(CreateJarAndRun(m_noRuntime, u"app.jar", u""), kJvmLoadFailed);

    running.Close();
    EXPECT_EQ(ReadFileBytes(TempFile()), "running instance's archive");
    const std::vector<std::string> log = LogLines();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[2], "write jar to:" + Ansi(m_temp));
    EXPECT_EQ(log[3].rfind("jvm param:", 0), 0u) << "nothing logged for the failed open";
}

TEST_F(Staging, AnArchiveLongerThanTheAddressSpaceIsRefusedNotCut) {
    if (sizeof(size_t) > 4)
        GTEST_SKIP() << "only a 32-bit process cannot hold a 4 GiB archive";
    // 4 GiB and one byte, sparse: the low 32 bits of its length say 1.
    {
        CFile archive(m_work.Wide("app.jar"), CFile::modeCreate | CFile::modeWrite);
        archive.Seek(0x100000000ll, CFile::begin);
        archive.Write("x", 1);
    }

    testing::internal::CaptureStdout();
    EXPECT_EQ(CreateJarAndRun(m_noRuntime, u"app.jar", u""), kJarMissing);
    testing::internal::GetCapturedStdout();

    EXPECT_FALSE(std::filesystem::exists(TempFile()));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "create JarAnd Run: jvm=" + Ansi(m_noRuntime) + ", jar=app.jar",
                              "read jar file fail: no memory for 4294967297 bytes"}));
}

}  // namespace
