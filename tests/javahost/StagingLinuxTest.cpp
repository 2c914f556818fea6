// Staging where Linux differs: files are shared, data folders may be missing, write limits and
// short reads can be arranged by an unprivileged test.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>

#include "javahost/ArchiveStaging.h"
#include "tests/javahost/RuntimeDouble.h"
#include "tests/javahost/StagingFixture.h"

using testing_support::Ansi;
using testing_support::ReadFileBytes;
using testing_support::Staging;
using testing_support::WriteFileBytes;

namespace {

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path().filename());
    std::sort(files.begin(), files.end());
    return files;
}

TEST_F(Staging, ARunningInstanceKeepsReadingItsOwnCopyWhenTheNextOneStages) {
    PutArchive("first instance's archive");
    ASSERT_EQ(CreateJarAndRun(m_noRuntime, u"app.jar", u""), kJvmLoadFailed);
    std::ifstream running(TempFile(), std::ios::binary);  // as the first instance's runtime

    PutArchive("second instance's archive");
    ASSERT_EQ(CreateJarAndRun(m_noRuntime, u"app.jar", u""), kJvmLoadFailed);

    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(running), {}), "first instance's archive");
    EXPECT_EQ(ReadFileBytes(TempFile()), "second instance's archive");
    EXPECT_EQ(FilesIn(std::filesystem::path(m_folder.Str())),
              std::vector<std::filesystem::path>{TempFile().filename()});
}

TEST_F(Staging, AMissingDataFolderIsCreated) {
    ASSERT_FALSE(std::filesystem::exists(std::filesystem::path(m_folder.Str())));
    PutArchive("archive");
    EXPECT_EQ(CreateJarAndRun(m_noRuntime, u"app.jar", u""), kJvmLoadFailed);
    EXPECT_EQ(ReadFileBytes(TempFile()), "archive");
}

TEST_F(Staging, AWriteErrorIsLoggedKeepsThePreviousCopyAndTheStartGoesAhead) {
    std::filesystem::create_directories(std::filesystem::path(m_folder.Str()));
    WriteFileBytes(TempFile(), "previous copy");
    PutArchive(std::string(1 << 20, 'a'));
    // Writes past 64 KiB fail with EFBIG, as on a full disk; the signal would end the process.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit = {64 * 1024, 64 * 1024};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);

    EXPECT_EQ(CreateJarAndRun(m_noRuntime, u"app.jar", u""), kJvmLoadFailed);

    const std::vector<std::string> log = LogLines();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(log[2], "write jar to:" + Ansi(m_temp));
    EXPECT_EQ(log[3].rfind("exception:" + Ansi(m_temp) + ".", 0), 0u) << log[3];
    EXPECT_EQ(log[4].rfind("jvm param:", 0), 0u);
    EXPECT_EQ(ReadFileBytes(TempFile()), "previous copy");
    EXPECT_EQ(FilesIn(std::filesystem::path(m_folder.Str())),
              std::vector<std::filesystem::path>{TempFile().filename()});
}

TEST_F(Staging, AnArchiveThatReadsShortOfItsLengthIsRefused) {
    // sysfs reports 4096 bytes for attributes that hold a few.
    const char* candidates[] = {"/sys/devices/system/cpu/online",
                                "/sys/kernel/mm/transparent_hugepage/enabled", "/sys/power/state"};
    std::string archive;
    for (const char* candidate : candidates) {
        std::error_code error;
        if (std::filesystem::file_size(candidate, error) == 4096 &&
            ReadFileBytes(candidate).size() < 4096) {
            archive = candidate;
            break;
        }
    }
    if (archive.empty())
        GTEST_SKIP() << "no sysfs attribute to read here";
    const CString path(platform::Utf8ToWide(archive));

    testing::internal::CaptureStdout();
    EXPECT_EQ(CreateJarAndRun(m_noRuntime, path, u""), kJarMissing);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "can't find jar file\n");

    EXPECT_FALSE(std::filesystem::exists(TempFile()));
    const std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1], "read jar file fail: " + std::to_string(ReadFileBytes(archive).size()) +
                          " of 4096 bytes read");
}

TEST_F(Staging, WithoutADataFolderTheMachineGetsAnEmptyArchiveEntry) {
    testing_support::SetEnvVar("XDG_DATA_HOME", nullptr);
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    testing_support::SetEnvVar("HOME", nullptr);
    PutArchive("archive");
    testing_support::TempDir install;
    const CString runtime =
        testing_support::InstallRuntime(install.Path(), KESTROP_RUNTIME_DOUBLE_FILE);
    testing_support::RuntimeDouble control(runtime);

    const int code = CreateJarAndRun(runtime, u"app.jar", u"lib.jar");
    if (!savedHome.empty())
        testing_support::SetEnvVar("HOME", savedHome.c_str());

    EXPECT_EQ(code, kJvmRan);
    const std::vector<std::string> log = LogLines();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.begin() + 1, log.begin() + 4),
              (std::vector<std::string>{"SHGetSpecialFolderLocation fail !", "write jar to:",
                                        "jvm param:-Djava.class.path=.::lib.jar"}));
    const std::vector<std::string> record = control.Record();
    EXPECT_NE(std::find(record.begin(), record.end(), "option -Djava.class.path=.::lib.jar"),
              record.end());
    // Nothing written anywhere for want of a path: not in the working folder either.
    EXPECT_EQ(FilesIn(m_work.Path()), (std::vector<std::filesystem::path>{"app.jar", "t.log"}));
}

}  // namespace
