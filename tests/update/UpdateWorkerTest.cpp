#include "update/UpdateWorker.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "env/Log.h"
#include "net/MD5Checksum.h"
#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "platform/JavaRuntime.h"
#include "tests/support/HttpFixture.h"
#include "tests/support/LogReader.h"
#include "tests/support/TempDir.h"
#include "update/LaunchState.h"

using testing_support::Body;
using testing_support::HttpFixture;
using testing_support::ReadFileBytes;
using testing_support::Reply;
using testing_support::Status;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

using Lines = std::vector<std::string>;

const std::string kOldArchive = "old archive, scrambled";
const std::string kNewArchive = "new archive, scrambled as well";

std::string Md5(const std::string& bytes) {
    return platform::WideToUtf8(
        CMD5Checksum::GetMD5(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())
            .View());
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

void InstallRuntimeIn(const TempDir& install) {
    const std::filesystem::path jvm =
        install.Path() / std::filesystem::path(platform::kJvmRelativePath);
    std::filesystem::create_directories(jvm.parent_path());
    WriteFileBytes(jvm, "not really a virtual machine");
}

// An installation folder (executable, run.d, private runtime) and a working folder that is
// current, with the fixture server as update server and runtime base.
class UpdateWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Ready()) << server.Problem();
        theLog.Reset();
        server.Route("/libs.txt", Status(404));
    }
    void TearDown() override { theLog.Reset(); }

    void InstallRuntime() { InstallRuntimeIn(install); }
    void WriteRunD(const std::string& url) { WriteFileBytes(install / "run.d", url + "\r\n"); }
    unsigned long Run() {
        return RunUpdate(install.Wide("Kestrop.exe"), server.WideUrl("/install/runtime/"));
    }
    Lines Log() {
        theLog.Reset();
        return testing_support::ReadLogMessages(work / "t.log");
    }

    TempDir install;
    TempDir work;
    testing_support::CurrentDirScope cwd{work.Path()};
    CLaunchState state;
    HttpFixture server{"worker"};
};

TEST(UpdateWorker, EveryPathEndsAtOneHundredWithItsMessage) {
    enum Setup { NoRuntime, NoRunD, Ready };
    struct Case {
        const char* name;
        Setup setup;
        std::vector<Reply> update;   // replies for update.txt
        std::vector<Reply> package;  // replies for the package
        bool localArchive;
        std::u16string message;
        Lines requests;       // after libs.txt; "PAK" stands for the package's path
        std::string archive;  // afterwards; empty: no archive
    };
    const std::string newDigest = Md5(kNewArchive);
    const Reply currentUpper = Body(Upper(Md5(kOldArchive)) + "\r\n");
    const Reply outdated = Body(newDigest + "\n");
    Reply truncated = Body(kNewArchive.substr(0, 5));
    truncated.length = std::to_string(kNewArchive.size());
    Reply hugeLength = Body(kNewArchive);
    hugeLength.length = "4294967295";
    Reply chunked = Body(kNewArchive);
    chunked.framing = "chunked";
    chunked.pieces = 3;
    const std::u16string notFetched = u"下载更新文件失败！";

    const std::vector<Case> cases = {
        {"runtime missing",
         NoRuntime,
         {},
         {},
         true,
         u"本地库文件丢失，请重新重新安装软件！",
         {},
         kOldArchive},
        {"run.d missing", NoRunD, {}, {}, true, u"配置文件丢失！", {}, kOldArchive},
        {"update.txt not fetched",
         Ready,
         {Status(404)},
         {},
         true,
         u"无法连接到服务器！",
         {"GET /update.txt", "GET /update.txt", "GET /update.txt"},
         kOldArchive},
        {"archive current", Ready, {currentUpper}, {}, true, u"", {"GET /update.txt"}, kOldArchive},
        {"package not fetched",
         Ready,
         {outdated},
         {Status(404)},
         true,
         notFetched,
         {"GET /update.txt", "PAK", "PAK", "PAK"},
         kOldArchive},
        {"package written",
         Ready,
         {outdated},
         {Body(kNewArchive)},
         true,
         u"",
         {"GET /update.txt", "PAK"},
         kNewArchive},
        {"no local archive: the package is fetched",
         Ready,
         {outdated},
         {Body(kNewArchive)},
         false,
         u"",
         {"GET /update.txt", "PAK"},
         kNewArchive},
        {"package after a redirect, chunked",
         Ready,
         {outdated},
         {testing_support::Redirect(302, "MOVED")},
         true,
         u"",
         {"GET /update.txt", "PAK", "GET /moved.pak"},
         kNewArchive},
        // A server error page is not a package.
        {"package answered with 400",
         Ready,
         {outdated},
         {Status(400, kNewArchive)},
         true,
         notFetched,
         {"GET /update.txt", "PAK", "PAK", "PAK"},
         kOldArchive},
        {"package cut short",
         Ready,
         {outdated},
         {truncated},
         true,
         notFetched,
         {"GET /update.txt", "PAK", "PAK", "PAK"},
         kOldArchive},
        {"package too large to hold",
         Ready,
         {outdated},
         {hugeLength},
         true,
         notFetched,
         {"GET /update.txt", "PAK", "PAK", "PAK"},
         kOldArchive},
        {"package is not what update.txt names",
         Ready,
         {outdated},
         {Body("something else")},
         true,
         notFetched,
         {"GET /update.txt", "PAK"},
         kOldArchive},
        {"package empty",
         Ready,
         {Body(Md5(""))},
         {Body("")},
         true,
         notFetched,
         {"GET /update.txt", "PAK"},
         kOldArchive},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir installDir, workDir;
        testing_support::CurrentDirScope inWork(workDir.Path());
        theLog.Reset();
        HttpFixture one("worker-path");
        ASSERT_TRUE(one.Ready()) << one.Problem();
        one.Route("/libs.txt", Status(404));
        if (!c.update.empty())
            one.Route("/update.txt", c.update);
        // The package is named by the digest update.txt gives.
        std::string digest = c.update.empty() ? std::string() : c.update[0].body;
        while (!digest.empty() && std::isspace(static_cast<unsigned char>(digest.back())))
            digest.pop_back();
        for (char& ch : digest)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        const std::string pak = "/" + digest + ".pak";
        std::vector<Reply> package = c.package;
        for (Reply& r : package) {
            for (auto& h : r.headers) {
                if (h.second == "MOVED")
                    h.second = one.Url("/moved.pak");
            }
        }
        if (!package.empty())
            one.Route(pak, package);
        one.Route("/moved.pak", chunked);
        if (c.setup != NoRuntime)
            InstallRuntimeIn(installDir);
        if (c.setup == Ready)
            WriteFileBytes(installDir / "run.d", one.Url("/quorvia.jar") + "\r\nignored\r\n");
        if (c.localArchive)
            WriteFileBytes(workDir / "quorvia.jar", kOldArchive);

        CLaunchState record;
        EXPECT_EQ(RunUpdate(installDir.Wide("Kestrop.exe"), one.WideUrl("/install/runtime/")), 0u);

        EXPECT_EQ(record.GetProgress(), 100);
        EXPECT_EQ(record.m_strMessage.Str(), c.message);
        Lines expected;
        if (c.setup == Ready)
            expected.push_back("GET /libs.txt");
        for (const auto& r : c.requests)
            expected.push_back(r == "PAK" ? "GET " + pak : r);
        EXPECT_EQ(one.Requests(), expected);
        if (c.archive.empty()) {
            EXPECT_FALSE(std::filesystem::exists(workDir / "quorvia.jar"));
        } else {
            EXPECT_EQ(ReadFileBytes(workDir / "quorvia.jar"), c.archive);
        }
        EXPECT_FALSE(std::filesystem::exists(workDir / "quorvia.jar.part"));
        theLog.Reset();
        const Lines log = testing_support::ReadLogMessages(workDir / "t.log");
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log[0].rfind("curr version: ", 0), 0u) << log[0];
    }
}

TEST_F(UpdateWorkerTest, UnreachableServerFailsAfterOneLibsAndThreeUpdateAttempts) {
    InstallRuntime();
    WriteRunD(server.RefusedUrl("/quorvia.jar"));
    WriteFileBytes(work / "quorvia.jar", kOldArchive);
    EXPECT_EQ(Run(), 0u);
    EXPECT_EQ(state.m_strMessage, CString(u"无法连接到服务器！"));
    EXPECT_EQ(state.GetProgress(), 100);
    Lines starts, exceptions;
    for (const auto& line : Log()) {
        if (line.rfind("start get url: ", 0) == 0)
            starts.push_back(line.substr(15));
        if (line.rfind("exception:", 0) == 0)
            exceptions.push_back(line);
    }
    const std::string libs = server.RefusedUrl("/libs.txt"),
                      update = server.RefusedUrl("/update.txt");
    EXPECT_EQ(starts, (Lines{libs, update, update, update}));
    EXPECT_EQ(exceptions.size(), 4u);
    EXPECT_EQ(ReadFileBytes(work / "quorvia.jar"), kOldArchive);
}

TEST_F(UpdateWorkerTest, UnwritableArchiveFailsWithItsOwnMessageAndKeepsTheOldOne) {
    InstallRuntime();
    WriteRunD(server.Url("/quorvia.jar"));
    WriteFileBytes(work / "quorvia.jar", kOldArchive);
    std::filesystem::create_directory(work /
                                      "quorvia.jar.part");  // the new archive cannot be written
    server.Route("/update.txt", Body(Md5(kNewArchive)));
    server.Route("/" + Md5(kNewArchive) + ".pak", Body(kNewArchive));
    EXPECT_EQ(Run(), 0u);
    EXPECT_EQ(state.m_strMessage, CString(u"写入更新文件失败！"));
    EXPECT_EQ(state.GetProgress(), 100);
    EXPECT_EQ(ReadFileBytes(work / "quorvia.jar"), kOldArchive);
}

TEST_F(UpdateWorkerTest, LibrariesComeFromTheRuntimeBaseAndAreOnTheClassPath) {
    InstallRuntime();
    WriteRunD(server.Url("/app/quorvia.jar"));
    WriteFileBytes(work / "quorvia.jar", kOldArchive);
    server.Route("/app/libs.txt", Body("lib/x.jar"));
    server.Route("/install/runtime/lib/x.jar", Body("x"));
    server.Route("/app/update.txt", Body(Md5(kOldArchive)));
    EXPECT_EQ(Run(), 0u);
    EXPECT_TRUE(state.m_strMessage.IsEmpty());
    EXPECT_EQ(ReadFileBytes(work / "lib" / "x.jar"), "x");
    EXPECT_EQ(state.m_strLibList, CString(u"lib") + platform::kDirSeparator + u"x.jar");
    EXPECT_EQ(server.Requests(), (Lines{"GET /app/libs.txt", "GET /install/runtime/lib/x.jar",
                                        "GET /app/update.txt"}));
}

// The server answers each stage late, so the worker can be seen waiting at each milestone.
TEST_F(UpdateWorkerTest, ProgressPassesTheMilestonesInOrder) {
    InstallRuntime();
    WriteRunD(server.Url("/quorvia.jar"));
    WriteFileBytes(work / "quorvia.jar", kOldArchive);
    Reply libs = Status(404);
    Reply update = Body(Md5(kNewArchive));
    Reply package = Body(kNewArchive);
    for (Reply* r : {&libs, &update, &package})
        r->delay = 1.0;
    server.Route("/libs.txt", libs);
    server.Route("/update.txt", update);
    server.Route("/" + Md5(kNewArchive) + ".pak", package);

    unsigned long exitCode = 1;
    std::thread worker([&] { exitCode = Run(); });
    std::vector<int> seen;
    for (size_t request = 1; request <= 3; ++request) {
        EXPECT_TRUE(server.WaitForRequests(request, 30));
        seen.push_back(state.GetProgress());
    }
    worker.join();
    seen.push_back(state.GetProgress());
    EXPECT_EQ(seen, (std::vector<int>{20, 50, 70, 100}));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(state.m_strMessage.IsEmpty());
    EXPECT_EQ(ReadFileBytes(work / "quorvia.jar"), kNewArchive);
}

TEST(UpdateThread, EndsAtOneHundredAndReturnsZero) {
    // Beside the test executable there is no private runtime (or no run.d): the worker stops at
    // its first checks without touching the network.
    TempDir work;
    testing_support::CurrentDirScope cwd(work.Path());
    CLaunchState state;
    EXPECT_EQ(UpdateThreadProc(nullptr), 0u);
    EXPECT_EQ(state.GetProgress(), 100);
    EXPECT_FALSE(state.m_strMessage.IsEmpty());
    theLog.Reset();
}

}  // namespace
