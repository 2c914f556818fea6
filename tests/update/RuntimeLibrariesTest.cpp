#include "update/RuntimeLibraries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "env/Log.h"
#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "tests/support/HttpFixture.h"
#include "tests/support/LogReader.h"
#include "tests/support/TempDir.h"
#include "update/LaunchState.h"

using testing_support::Body;
using testing_support::HttpFixture;
using testing_support::ReadFileBytes;
using testing_support::Reply;
using testing_support::Status;
using testing_support::WriteFileBytes;

namespace {

using Lines = std::vector<std::string>;

// The working folder is current; the libraries come from /install/runtime/ of the fixture.
class RuntimeLibrariesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Ready()) << server.Problem();
        theLog.Reset();
    }
    void TearDown() override { theLog.Reset(); }

    void Run(const std::string& libsText) {
        server.Route("/libs.txt", Body(libsText));
        Run();
    }
    void Run() { DownloadRuntimeLibrariesFrom(server.WideUrl("/libs.txt"), server.WideUrl(kBase)); }

    Lines Log() {
        theLog.Reset();
        return testing_support::ReadLogMessages(work / "t.log");
    }
    // The log without the fetches' own lines.
    Lines StepLog() {
        Lines lines;
        for (const auto& l : Log()) {
            if (l.rfind("start get url: ", 0) != 0 && l.rfind("http complete", 0) != 0)
                lines.push_back(l);
        }
        return lines;
    }
    std::string FileUrl(const std::string& entry) const { return server.Url(kBase + entry); }
    static std::string Fetch(const std::string& entry) {
        return "GET " + std::string(kBase) + entry;
    }
    CString ClassPath(std::u16string text) const {
        std::replace(text.begin(), text.end(), u'/', platform::kDirSeparator);
        return CString(text);
    }

    static constexpr const char* kBase = "/install/runtime/";
    testing_support::TempDir outside;
    testing_support::TempDir work;
    testing_support::CurrentDirScope cwd{work.Path()};
    CLaunchState state;
    HttpFixture server{"libs"};
};

TEST_F(RuntimeLibrariesTest, OnlyMissingFilesAreFetchedAndWrittenUnderTheirNames) {
    std::filesystem::create_directory(work / "lib");
    WriteFileBytes(work / "lib" / "present.jar", "local copy");
    server.Route("/install/runtime/lib/present.jar", Body("server copy"));
    Reply chunked = Body("missing jar bytes");
    chunked.framing = "chunked";  // read to its end, not taken as empty
    chunked.pieces = 2;
    server.Route("/install/runtime/lib/missing.jar", chunked);

    Run("lib/present.jar;lib/missing.jar");

    EXPECT_EQ(ReadFileBytes(work / "lib" / "present.jar"), "local copy");
    EXPECT_EQ(ReadFileBytes(work / "lib" / "missing.jar"), "missing jar bytes");
    EXPECT_FALSE(std::filesystem::exists(work / "lib" / "missing.jar.part"));
    EXPECT_EQ(server.Requests(), (Lines{"GET /libs.txt", Fetch("lib/missing.jar")}));
    EXPECT_EQ(StepLog(),
              (Lines{"set lib text:lib/present.jar;lib/missing.jar",
                     "download file lib/missing.jar, from " + FileUrl("lib/missing.jar")}));
    EXPECT_EQ(state.m_strLibList, ClassPath(u"lib/present.jar;lib/missing.jar"));
}

TEST_F(RuntimeLibrariesTest, FirstFolderIsCreatedAndEmptyEntriesAndDuplicatesAreSkipped) {
    server.Route("/install/runtime/top.jar", Body("top"));
    server.Route("/install/runtime/newdir/inner.jar", Body("inner"));

    Run(";;top.jar;;newdir/inner.jar;top.jar;");

    EXPECT_EQ(ReadFileBytes(work / "top.jar"), "top");
    EXPECT_TRUE(std::filesystem::is_directory(work / "newdir"));
    EXPECT_EQ(ReadFileBytes(work / "newdir" / "inner.jar"), "inner");
    EXPECT_EQ(server.Requests(),
              (Lines{"GET /libs.txt", Fetch("top.jar"), Fetch("newdir/inner.jar")}));
    EXPECT_EQ(state.m_strLibList, ClassPath(u";;top.jar;;newdir/inner.jar;top.jar;"));
}

TEST_F(RuntimeLibrariesTest, NoListMeansNoLibrariesAndNoClassPath) {
    const struct {
        const char* name;
        Reply libs;
    } cases[] = {{"libs.txt missing", Status(404, "gone")},
                 {"libs.txt empty", Body("")},
                 {"libs.txt starts with a zero byte", Body(std::string("\0a.jar", 6))}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpFixture one("libs-none");
        one.Route("/libs.txt", c.libs);
        DownloadRuntimeLibrariesFrom(one.WideUrl("/libs.txt"), one.WideUrl(kBase));
        EXPECT_EQ(one.Requests(), Lines{"GET /libs.txt"}) << "one attempt, no library";
        EXPECT_TRUE(state.m_strLibList.IsEmpty());
        for (const auto& line : Log())
            EXPECT_EQ(line.rfind("set lib text:", 0), std::string::npos) << line;
    }
}

TEST_F(RuntimeLibrariesTest, FailedLibraryLeavesNoFileAndTheOthersGoOn) {
    Reply truncated = Body("half");
    truncated.length = "100";
    server.Route("/install/runtime/missing.jar", Status(404));
    server.Route("/install/runtime/refused.jar", Status(400, "error page"));
    server.Route("/install/runtime/cut.jar", truncated);
    server.Route("/install/runtime/fine.jar", Body("fine"));

    Run("missing.jar;refused.jar;cut.jar;fine.jar");

    for (const char* name : {"missing.jar", "refused.jar", "cut.jar"}) {
        EXPECT_FALSE(std::filesystem::exists(work / name)) << name;
        EXPECT_FALSE(std::filesystem::exists(work / (std::string(name) + ".part"))) << name;
    }
    EXPECT_EQ(ReadFileBytes(work / "fine.jar"), "fine");
    const Lines three = {Fetch("missing.jar"), Fetch("missing.jar"), Fetch("missing.jar"),
                         Fetch("refused.jar"), Fetch("refused.jar"), Fetch("refused.jar"),
                         Fetch("cut.jar"),     Fetch("cut.jar"),     Fetch("cut.jar")};
    Lines expected = {"GET /libs.txt"};
    expected.insert(expected.end(), three.begin(), three.end());
    expected.push_back(Fetch("fine.jar"));
    EXPECT_EQ(server.Requests(), expected);
}

TEST_F(RuntimeLibrariesTest, UnwritableLibraryIsLoggedAndSkipped) {
    server.Route("/install/runtime/a/b/deep.jar", Body("deep"));
    server.Route("/install/runtime/next.jar", Body("next"));

    // Only the first folder level is made, so a/b does not exist and the write fails.
    Run("a/b/deep.jar;next.jar");

    EXPECT_TRUE(std::filesystem::is_directory(work / "a"));
    EXPECT_FALSE(std::filesystem::exists(work / "a" / "b"));
    EXPECT_EQ(ReadFileBytes(work / "next.jar"), "next");
    const Lines log = StepLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].rfind("exception:", 0), 0u) << log[1];
    EXPECT_NE(log[1].find("deep.jar"), std::string::npos) << log[1];
    EXPECT_EQ(log[2], "download file next.jar, from " + FileUrl("next.jar"));
}

TEST_F(RuntimeLibrariesTest, EntriesThatLeaveTheWorkingFolderAreNotFetched) {
    const std::string escape = "../" + outside.Path().filename().string() + "/up.jar";
    const std::vector<std::string> unsafe = {"/abs.jar",  "\\back.jar", "C:/drive.jar",
                                             "lib:x.jar", escape,       "lib/../../up.jar",
                                             "lib\\x.jar"};
    std::string text;
    for (const auto& e : unsafe)
        text += e + ";";
    text += "ok.jar";
    server.Route("/install/runtime/ok.jar", Body("ok"));

    Run(text);

    EXPECT_EQ(server.Requests(), (Lines{"GET /libs.txt", Fetch("ok.jar")}));
    EXPECT_EQ(ReadFileBytes(work / "ok.jar"), "ok");
    EXPECT_TRUE(std::filesystem::is_empty(outside.Path()));
    Lines expected = {"set lib text:" + text};
    for (const auto& e : unsafe)
        expected.push_back("skip library outside the working folder: " + e);
    expected.push_back("download file ok.jar, from " + FileUrl("ok.jar"));
    EXPECT_EQ(StepLog(), expected);
    EXPECT_EQ(state.m_strLibList, ClassPath(platform::Utf8ToWide(text)))
        << "the class path is as sent";
}

TEST(RuntimeLibraryEntries, SafeEntriesAreRelativeAndStayInside) {
    for (const char16_t* ok :
         {u"a.jar", u"lib/a.jar", u"lib/sub/a.jar", u"./a.jar", u"lib/..a.jar", u"a..b/c"}) {
        EXPECT_TRUE(IsSafeLibraryEntry(CString(ok))) << platform::WideToUtf8(ok);
    }
    for (const char16_t* bad :
         {u"", u"/a.jar", u"\\a.jar", u"C:a.jar", u"c:/a.jar", u"..", u"../a.jar", u"lib/..",
          u"lib/../a.jar", u"lib\\a.jar", u"lib/a.jar:stream"}) {
        EXPECT_FALSE(IsSafeLibraryEntry(CString(bad))) << platform::WideToUtf8(bad);
    }
}

}  // namespace
