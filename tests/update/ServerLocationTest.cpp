#include "update/ServerLocation.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "env/Log.h"
#include "platform/Folders.h"
#include "update/LaunchState.h"
#include "tests/support/LogReader.h"
#include "tests/support/TempDir.h"

using testing_support::CurrentDirScope;
using testing_support::TempDir;

namespace {

struct Expected {
    std::u16string server, update, libs, jar;
};

struct Case {
    const char* name;
    std::string content;
    Expected expected;
};

TEST(ServerLocation, FirstLineGivesTheServerFolderAndTheArchiveName) {
    const std::string longLine = "http://h/d/" + std::string(1100, 'x');
    const Case cases[] = {
        {"CR LF and more lines", "http://s.example/app/quorvia.jar\r\nsecond line\n",
         {u"http://s.example/app/quorvia.jar", u"http://s.example/app/update.txt",
          u"http://s.example/app/libs.txt", u"quorvia.jar"}},
        {"LF only", "http://s/q.jar\nx", {u"http://s/q.jar", u"http://s/update.txt", u"http://s/libs.txt", u"q.jar"}},
        {"spaces are kept", " http://s/a/q.jar ",
         {u" http://s/a/q.jar ", u" http://s/a/update.txt", u" http://s/a/libs.txt", u"q.jar "}},
        {"root folder", "http://s/q.jar", {u"http://s/q.jar", u"http://s/update.txt", u"http://s/libs.txt", u"q.jar"}},
        {"line ends with a slash", "http://s/a/", {u"http://s/a/", u"http://s/a/update.txt", u"http://s/a/libs.txt", u""}},
        {"no slash", "quorvia.jar", {u"quorvia.jar", u"", u"", u""}},
        {"empty file", "", {u"", u"", u"", u""}},
        {"starts with a line end", "\r\nhttp://s/q.jar", {u"", u"", u"", u""}},
        {"byte 0xE9 is sign-extended", "http://s/\xE9.jar",
         {u"http://s/\uFFE9.jar", u"http://s/update.txt", u"http://s/libs.txt", u"\uFFE9.jar"}},
        {"only the first 1024 bytes", longLine,
         {std::u16string(u"http://h/d/") + std::u16string(1024 - 11, u'x'), u"http://h/d/update.txt",
          u"http://h/d/libs.txt", std::u16string(1024 - 11, u'x')}},
    };
    for (const Case& c : cases) {
        TempDir install;
        testing_support::WriteFileBytes(install / "run.d", c.content);
        CLaunchState state;
        const CString exe = install.Wide("Kestrop.exe");
        ASSERT_EQ(LoadServerLocationFrom(exe), 1) << c.name;
        EXPECT_EQ(state.m_strServerUrl.Str(), c.expected.server) << c.name;
        EXPECT_EQ(state.m_strPackageUrl.Str(), c.expected.server) << c.name;
        EXPECT_EQ(state.m_strUpdateUrl.Str(), c.expected.update) << c.name;
        EXPECT_EQ(state.m_strLibsUrl.Str(), c.expected.libs) << c.name;
        EXPECT_EQ(state.m_strJarFile.Str(), c.expected.jar) << c.name;
    }
}

TEST(ServerLocation, TheCurrentDirectoryPlaysNoPart) {
    TempDir install, elsewhere;
    testing_support::WriteFileBytes(install / "run.d", "http://s/right.jar");
    testing_support::WriteFileBytes(elsewhere / "run.d", "http://s/wrong.jar");
    CurrentDirScope cwd(elsewhere.Path());
    CLaunchState state;
    ASSERT_EQ(LoadServerLocationFrom(install.Wide("Kestrop.exe")), 1);
    EXPECT_EQ(state.m_strJarFile, CString(u"right.jar"));
}

TEST(ServerLocation, MissingFileIsZeroWithOneExceptionLine) {
    TempDir install, logDir;
    CurrentDirScope cwd(logDir.Path());
    theLog.Reset();
    CLaunchState state;
    EXPECT_EQ(LoadServerLocationFrom(install.Wide("Kestrop.exe")), 0);
    theLog.Reset();
    const auto lines = testing_support::ReadLogMessages(logDir / "t.log");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("exception:", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("run.d"), std::string::npos) << lines[0];
    EXPECT_TRUE(state.m_strServerUrl.IsEmpty());
}

TEST(ServerLocation, PathWithoutSeparatorIsZero) {
    CLaunchState state;
    EXPECT_EQ(LoadServerLocationFrom(CString()), 0);
    EXPECT_EQ(LoadServerLocationFrom(CString(u"Kestrop.exe")), 0);
}

}  // namespace
