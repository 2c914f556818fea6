#include "platform/File.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "platform/VersionInfo.h"
#include "tests/support/TempDir.h"

using testing_support::TempDir;

namespace {

TEST(File, WritesReadsAndReportsLengthAndPosition) {
    TempDir dir;
    const CString path = dir.Wide("data.bin");
    {
        CFile out(path, CFile::modeCreate | CFile::modeWrite);
        out.Write("hello world", 11);
        out.Flush();
        out.Close();
    }
    CFile in(path, CFile::modeRead);
    EXPECT_EQ(in.GetLength(), 11u);
    char buf[5];
    ASSERT_EQ(in.Read(buf, 5), 5u);
    EXPECT_EQ(std::string(buf, 5), "hello");
    EXPECT_EQ(in.GetPosition(), 5u);
    in.Seek(6, CFile::begin);
    ASSERT_EQ(in.Read(buf, 5), 5u);
    EXPECT_EQ(std::string(buf, 5), "world");
    EXPECT_EQ(in.Read(buf, 5), 0u);
}

TEST(File, CreateTruncatesAnExistingFile) {
    TempDir dir;
    testing_support::WriteFileBytes(dir / "f", "0123456789");
    CFile out(dir.Wide("f"), CFile::modeCreate | CFile::modeWrite);
    out.Write("ab", 2);
    out.Close();
    EXPECT_EQ(testing_support::ReadFileBytes(dir / "f"), "ab");
}

TEST(File, FailuresCarryTheFileNameAndAReadableReason) {
    TempDir dir;
    const CString missing = dir.Wide("missing.txt");
    CFileException error(CFileException::none, 0, CString(), CString());
    CFile file;
    EXPECT_FALSE(file.Open(missing, CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    const CString text = error.GetErrorText();
    EXPECT_EQ(text.Find(missing.View()), 0);
    EXPECT_GT(text.GetLength(), missing.GetLength() + 2);

    try {
        CFile thrown(missing, CFile::modeRead);
        FAIL() << "opening a missing file must throw";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    }
    EXPECT_FALSE(file.Open(dir.Wide(), CFile::modeRead)) << "a folder is not a file";
}

TEST(File, ReadingAFileOpenedForWritingRaises) {
    TempDir dir;
    CFile out(dir.Wide("w"), CFile::modeCreate | CFile::modeWrite);
    char buf[4];
    EXPECT_THROW(out.Read(buf, 4), CFileException);
}

TEST(File, ExclusiveOpenKeepsOthersOutOnWindows) {
    if (!platform::kTargetIsWindows) GTEST_SKIP() << "Linux has no share modes";
    TempDir dir;
    testing_support::WriteFileBytes(dir / "locked", "x");
    CFile first(dir.Wide("locked"), CFile::modeRead | CFile::shareExclusive);
    CFile second;
    CFileException error(CFileException::none, 0, CString(), CString());
    EXPECT_FALSE(second.Open(dir.Wide("locked"), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    CFile shared;
    EXPECT_FALSE(shared.Open(dir.Wide("locked"), CFile::modeRead | CFile::shareDenyNone));
    first.Close();
    EXPECT_TRUE(second.Open(dir.Wide("locked"), CFile::modeRead));
}

TEST(Codepage, AnsiConversionFollowsTheSystemCodePage) {
    // On Linux the ANSI code page is UTF-8; under Wine with zh_CN.UTF-8 it is code page 936,
    // where each Chinese character takes two bytes.
    const std::string bytes = platform::WideToAnsi(u"a中文");
    if (platform::kTargetIsWindows) {
        EXPECT_EQ(bytes, std::string("a\xD6\xD0\xCE\xC4"));
    } else {
        EXPECT_EQ(bytes, std::string("a\xE4\xB8\xAD\xE6\x96\x87"));
    }
    EXPECT_EQ(platform::AnsiToWide(bytes), CString(u"a中文"));
    EXPECT_EQ(platform::WideToAnsi(u"x\xD800y"), std::string("x?y"));
}

TEST(Folders, ShellFoldersAreAbsoluteAndTheExecutableIsKnown) {
    CString documents, appData;
    ASSERT_TRUE(platform::GetDocumentsFolder(documents));
    ASSERT_TRUE(platform::GetLocalAppDataFolder(appData));
    const CString exe = platform::GetModuleFilePath();
    EXPECT_GT(exe.ReverseFind(platform::kDirSeparator), 0);
    EXPECT_TRUE(platform::IsDirectory(exe.Left(exe.ReverseFind(platform::kDirSeparator))));
    if (platform::kTargetIsWindows) {
        EXPECT_EQ(documents.Mid(1, 2), CString(u":\\"));
        EXPECT_EQ(appData.Mid(1, 2), CString(u":\\"));
    } else {
        EXPECT_EQ(documents[0], u'/');
        EXPECT_EQ(appData[0], u'/');
    }
}

TEST(Folders, MoveFileOverSwapsInTheNewContent) {
    TempDir dir;
    testing_support::WriteFileBytes(dir / "old", "old");
    testing_support::WriteFileBytes(dir / "new", "new");
    ASSERT_TRUE(platform::MoveFileOver(dir.Wide("new"), dir.Wide("old")));
    EXPECT_EQ(testing_support::ReadFileBytes(dir / "old"), "new");
    EXPECT_FALSE(std::filesystem::exists(dir / "new"));
    EXPECT_FALSE(platform::MoveFileOver(dir.Wide("absent"), dir.Wide("old")));
}

}  // namespace

namespace {

// This test executable carries no version resource, unlike the product and env_tests.
TEST(VersionInfo, ExecutableWithoutAVersionResourceReadsNothingOnWindows) {
    if (!platform::kTargetIsWindows) GTEST_SKIP() << "Linux takes the build's values";
    uint16_t fields[4] = {};
    CString name;
    EXPECT_FALSE(platform::ReadProductVersion(fields));
    EXPECT_FALSE(platform::ReadProductName(name));
}

}  // namespace
