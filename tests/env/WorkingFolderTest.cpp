#include "env/WorkingFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "env/Log.h"
#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "tests/support/LogReader.h"
#include "tests/support/TempDir.h"

using testing_support::CurrentDirScope;
using testing_support::ReadFileBytes;
using testing_support::ReadLogMessages;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

TEST(LiteMode, OnlyExactlyTrueTurnsItOn) {
    struct Case {
        std::optional<std::string> content;  // nullopt: no record.d at all
        bool before;
        bool expected;
    } cases[] = {
        {std::string("true"), false, true},
        {std::string("True"), false, false},
        {std::string("true\r\n"), false, false},
        {std::string(" true"), false, false},
        {std::string(""), true, false},
        {std::string("false"), true, false},
        {std::string("true\0junk", 9), false, true},  // the text ends at the first zero byte
        {std::nullopt, false, false},                  // missing: the flag keeps its value
        {std::nullopt, true, true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        CurrentDirScope cwd(dir.Path());
        if (c.content) WriteFileBytes(dir / "record.d", *c.content);
        g_bLiteMode = c.before;
        LoadLiteMode();
        EXPECT_EQ(g_bLiteMode, c.expected) << (c.content ? *c.content : "<missing>");
    }
    g_bLiteMode = false;
}

TEST(LiteMode, SavingWritesTheWholeWordAndNothingElse) {
    TempDir dir;
    CurrentDirScope cwd(dir.Path());
    g_bLiteMode = true;
    SaveLiteMode();
    EXPECT_EQ(ReadFileBytes(dir / "record.d"), "true");
    g_bLiteMode = false;
    SaveLiteMode();
    EXPECT_EQ(ReadFileBytes(dir / "record.d"), "false");
    LoadLiteMode();
    EXPECT_FALSE(g_bLiteMode);
}

TEST(LiteMode, UnwritableRecordIsLoggedAndTheChoiceHoldsForThisRun) {
    TempDir dir;
    std::filesystem::create_directory(dir / "record.d");  // cannot be opened as a file
    CurrentDirScope cwd(dir.Path());
    theLog.Reset();
    g_bLiteMode = true;
    SaveLiteMode();
    EXPECT_TRUE(g_bLiteMode);
    theLog.Reset();
    EXPECT_EQ(ReadLogMessages(dir / "t.log"), std::vector<std::string>{"write config error!!"});
    g_bLiteMode = false;
}

// The Documents folder: on Linux the test chooses it; under Wine it is the prefix's own.
class WorkingFolder : public ::testing::Test {
protected:
    void SetUp() override {
        if (!platform::kTargetIsWindows) {
            testing_support::SetEnvVar("XDG_DOCUMENTS_DIR", m_fakeDocuments.Path().string().c_str());
        }
        ASSERT_TRUE(platform::GetDocumentsFolder(m_documents));
        m_quorvia = m_documents + platform::kDirSeparator + u"quorvia";
        std::error_code ignored;
        std::filesystem::remove_all(Native(m_quorvia), ignored);
        theLog.Reset();
    }
    void TearDown() override {
        theLog.Reset();
        std::filesystem::current_path(m_start.Path());
        std::error_code ignored;
        std::filesystem::remove_all(Native(m_quorvia), ignored);
    }
    static std::filesystem::path Native(const CString& path) { return std::filesystem::path(path.Str()); }

    TempDir m_fakeDocuments;
    TempDir m_start;
    CurrentDirScope m_cwd{m_start.Path()};
    CString m_documents;
    CString m_quorvia;
};

TEST_F(WorkingFolder, FirstRunCreatesTheFolderMakesItCurrentAndLogsThere) {
    ASSERT_TRUE(SetupWorkingFolder());
    EXPECT_TRUE(std::filesystem::is_directory(Native(m_quorvia)));
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), Native(m_quorvia)));
    theLog.Reset();
    const std::vector<std::string> lines = ReadLogMessages(Native(m_quorvia) / "t.log");
    EXPECT_EQ(lines, std::vector<std::string>{"get document dir success: " +
                                              platform::WideToAnsi(m_documents.View())});
    EXPECT_FALSE(std::filesystem::exists(m_start / "t.log"));
}

TEST_F(WorkingFolder, AFileNamedQuorviaLeavesTheStartFolderCurrent) {
    WriteFileBytes(Native(m_quorvia), "not a folder");
    EXPECT_TRUE(SetupWorkingFolder());
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), m_start.Path()));
    theLog.Reset();
    EXPECT_EQ(ReadLogMessages(m_start / "t.log").size(), 1u);
    std::filesystem::remove(Native(m_quorvia));
}

TEST(WorkingFolderMissing, NoDocumentsFolderFailsAndLogsInTheStartFolder) {
    if (platform::kTargetIsWindows) GTEST_SKIP() << "Wine always has a Documents folder";
    TempDir start;
    CurrentDirScope cwd(start.Path());
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    testing_support::SetEnvVar("XDG_DOCUMENTS_DIR", nullptr);
    testing_support::SetEnvVar("HOME", nullptr);
    theLog.Reset();
    EXPECT_FALSE(SetupWorkingFolder());
    theLog.Reset();
    if (!home.empty()) testing_support::SetEnvVar("HOME", home.c_str());
    EXPECT_EQ(ReadLogMessages(start / "t.log"), std::vector<std::string>{"get document dir fail!"});
}

}  // namespace
