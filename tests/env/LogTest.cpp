#include "env/Log.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "tests/support/LogReader.h"
#include "tests/support/TempDir.h"

using testing_support::CurrentDirScope;
using testing_support::ReadLogMessages;
using testing_support::ReadLogText;
using testing_support::TempDir;

namespace {

const platform::LocalTime kMarch5 = {2021, 3, 5, 14, 7, 9};

std::u16string Line(const char16_t* format, std::initializer_list<fmt::Arg> args) {
    std::vector<char16_t> line(Log::kLineCapacity);
    const size_t n = Log::BuildLine(line.data(), kMarch5, format, args);
    return std::u16string(line.data(), n);
}

TEST(LogLine, StampThenMessageThenCrLf) {
    EXPECT_EQ(Line(u"get document dir success: %s", {fmt::MakeArg(u"C:\\Users\\user\\Documents")}),
              u"[2021-03-05 14:07:09]get document dir success: C:\\Users\\user\\Documents\r\n");
    EXPECT_EQ(Line(nullptr, {}), u"[2021-03-05 14:07:09]NULL\r\n");
    EXPECT_EQ(Line(u"FindClass zobj/Run failed\n", {}), u"[2021-03-05 14:07:09]FindClass zobj/Run failed\n\r\n");
    const platform::LocalTime newYear = {2026, 1, 1, 0, 0, 0};
    std::vector<char16_t> line(Log::kLineCapacity);
    const size_t n = Log::BuildLine(line.data(), newYear, u"x", {});
    EXPECT_EQ(std::u16string(line.data(), n), u"[2026-01-01 00:00:00]x\r\n");
}

TEST(LogLine, LongMessagesLoseTheirLineEndAndAreCutAtTheBuffer) {
    // 21 characters of stamp; below 102,397 characters in all the line gets CR LF.
    struct Case {
        size_t messageLength;
        size_t expectedLength;
        bool crlf;
    } cases[] = {
        {102375, 21 + 102375 + 2, true},
        {102376, 21 + 102376, false},
        {102378, 21 + 102378, false},
        {150000, Log::kLineCapacity - 1, false},  // cut to fit, never past the buffer
    };
    for (const Case& c : cases) {
        const std::u16string message(c.messageLength, u'a');
        const std::u16string line = Line(u"%s", {fmt::MakeArg(message)});
        EXPECT_EQ(line.size(), c.expectedLength) << c.messageLength;
        EXPECT_EQ(line.size() >= 2 && line.substr(line.size() - 2) == u"\r\n", c.crlf) << c.messageLength;
    }
}

TEST(LogLine, RejectedRunTimeFormatIsWrittenAsItStands) {
    EXPECT_EQ(Line(u"bad %s here", {}), u"[2021-03-05 14:07:09]bad %s here\r\n");
}

TEST(LogFile, ScrambledWithTheMaskAndTruncatedAtTheFirstLineOfTheRun) {
    TempDir dir;
    CurrentDirScope cwd(dir.Path());
    testing_support::WriteFileBytes(dir / "t.log", "previous run's content");
    {
        Log log;
        log.Write(u"curr version: %s", u"4.2.0.0");
        log.Write(u"http complete, len = %d", 11);
        // Every byte on disk is the ANSI byte XOR 0x6D: no plain text, no byte left over.
        const std::string raw = testing_support::ReadFileBytes(dir / "t.log");
        EXPECT_EQ(raw.find("curr"), std::string::npos);
        const std::string text = ReadLogText(dir / "t.log");
        ASSERT_EQ(text.size(), raw.size());
        EXPECT_EQ(text.substr(21, 22), "curr version: 4.2.0.0\r");
        const std::vector<std::string> lines = ReadLogMessages(dir / "t.log");
        EXPECT_EQ(lines, (std::vector<std::string>{"curr version: 4.2.0.0", "http complete, len = 11"}));
    }
    {
        Log nextRun;
        nextRun.Write(u"get document dir fail!");
        EXPECT_EQ(ReadLogMessages(dir / "t.log"), std::vector<std::string>{"get document dir fail!"});
    }
}

TEST(LogFile, TextIsWrittenInTheAnsiCodePage) {
    TempDir dir;
    CurrentDirScope cwd(dir.Path());
    Log log;
    log.Write(u"%s", u"无法连接到服务器！");
    const std::string expected = platform::WideToAnsi(u"无法连接到服务器！");
    EXPECT_EQ(ReadLogMessages(dir / "t.log"), std::vector<std::string>{expected});
    if (platform::kTargetIsWindows) {
        EXPECT_EQ(expected.size(), 18u);  // two bytes a character
    }
}

TEST(LogFile, StaysInTheFolderOfItsFirstLine) {
    TempDir first, second;
    Log log;
    {
        CurrentDirScope cwd(first.Path());
        log.Write(u"one");
    }
    CurrentDirScope cwd(second.Path());
    log.Write(u"two");
    EXPECT_EQ(ReadLogMessages(first / "t.log"), (std::vector<std::string>{"one", "two"}));
    EXPECT_FALSE(std::filesystem::exists(second / "t.log"));
}

TEST(LogFile, UnwritableFolderMeansNoLogAndNoFailure) {
    TempDir dir;
    std::filesystem::create_directory(dir / "t.log");  // a folder where the file would go
    CurrentDirScope cwd(dir.Path());
    Log log;
    log.Write(u"dropped");
    log.Write(u"dropped too");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "t.log"));
}

TEST(LogFile, TwoThreadsWritingAtOnceNeverTearALine) {
    TempDir dir;
    CurrentDirScope cwd(dir.Path());
    Log log;
    constexpr int kLines = 300;
    auto writer = [&log](const char16_t* who) {
        for (int i = 0; i < kLines; ++i) log.Write(u"%s line %d of a message long enough to interleave", who, i);
    };
    std::thread ui(writer, u"ui");
    std::thread worker(writer, u"worker");
    ui.join();
    worker.join();
    const std::vector<std::string> lines = ReadLogMessages(dir / "t.log");
    ASSERT_EQ(lines.size(), 2u * kLines);
    int next[2] = {0, 0};
    for (const std::string& line : lines) {
        const int who = line.rfind("ui ", 0) == 0 ? 0 : 1;
        const std::string prefix = who == 0 ? "ui" : "worker";
        EXPECT_EQ(line, prefix + " line " + std::to_string(next[who]++) +
                            " of a message long enough to interleave");
    }
}

TEST(LogException, WritesTheReadableErrorText) {
    TempDir dir;
    CurrentDirScope cwd(dir.Path());
    theLog.Reset();
    LogException(CFileException(CFileException::fileNotFound, 2, CString(u"run.d"), CString(u"not found")));
    theLog.Reset();
    EXPECT_EQ(ReadLogMessages(dir / "t.log"), std::vector<std::string>{"exception:run.d: not found"});
}

}  // namespace
