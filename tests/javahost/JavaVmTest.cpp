#include "javahost/JavaVm.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "env/Log.h"
#include "env/WorkingFolder.h"
#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "platform/JavaRuntime.h"
#include "tests/javahost/RuntimeDouble.h"
#include "tests/support/LogReader.h"
#include "tests/support/TempDir.h"

using testing_support::CurrentDirScope;
using testing_support::InstallRuntime;
using testing_support::RecordOf;
using testing_support::RuntimeDouble;
using testing_support::TempDir;

namespace {

const std::string kSep = platform::kTargetIsWindows ? ";" : ":";
const std::string kDir = platform::kTargetIsWindows ? "\\" : "/";

std::string Ansi(const CString& text) {
    return platform::WideToAnsi(text.View());
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// The record without the loader's line and the options: the calls the launcher made.
std::vector<std::string> CallsIn(const std::vector<std::string>& record) {
    std::vector<std::string> calls;
    for (const std::string& line : record) {
        if (line.rfind("load cwd=", 0) == 0 || line.rfind("option ", 0) == 0)
            continue;
        calls.push_back(line.substr(0, line.find(' ')));
    }
    return calls;
}

std::vector<std::string> OptionsIn(const std::vector<std::string>& record) {
    std::vector<std::string> options;
    for (const std::string& line : record) {
        if (line.rfind("option ", 0) == 0)
            options.push_back(line.substr(7));
    }
    return options;
}

// The working folder is current, as when the launch window starts the application; t.log is
// written there.
class JvmStart : public ::testing::Test {
protected:
    void SetUp() override {
        theLog.Reset();
        g_bLiteMode = false;
        g_szTempJarPath = m_work.Wide("_Temp_archive");
    }
    void TearDown() override {
        theLog.Reset();
        g_bLiteMode = false;
        g_szTempJarPath.Empty();
    }
    std::vector<std::string> LogLines() {
        theLog.Reset();
        return testing_support::ReadLogMessages(m_work / "t.log");
    }
    bool WorkIsCurrent() const {
        return std::filesystem::equivalent(std::filesystem::current_path(), m_work.Path());
    }

    TempDir m_work;
    CurrentDirScope m_cwd{m_work.Path()};
};

TEST_F(JvmStart, EveryStepThatFailsHasItsCodeItsLogLinesAndNoFurtherCalls) {
    const std::vector<std::string> created = {"start create java vm.", "create java vm now!!!"};
    struct Case {
        const char* name;
        const char* library;  // null: nothing at the runtime's place
        const char* failAt;   // for the double; null: not steered
        int code;
        std::vector<std::string> logAfterLoad;  // <runtime> stands for the runtime's path
        std::vector<std::string> calls;
    } cases[] = {
        {"runs",
         KESTROP_RUNTIME_DOUBLE_FILE,
         "",
         kJvmRan,
         {"start create java vm.", "create java vm now!!!", "find main class", "find main mathod",
          "load jar success"},
         {"JNI_CreateJavaVM", "FindClass", "GetStaticMethodID", "NewString", "CallStaticVoidMethod",
          "DestroyJavaVM"}},
        {"no runtime",
         nullptr,
         nullptr,
         kJvmLoadFailed,
         // ERROR_MOD_NOT_FOUND on Windows, ENOENT on Linux
         {"load jvm.dll fail!!! path = <runtime>, code=" +
          std::to_string(platform::kTargetIsWindows ? 126 : 2)},
         {}},
        {"not a runtime",
         KESTROP_NOT_A_RUNTIME_FILE,
         nullptr,
         kJvmCreateFailed,
         {"start create java vm.", "JNI_CreateJavaVM not found in <runtime>",
          "create java vm now!!!", "create java vm fail!!!"},
         {}},
        {"creation fails",
         KESTROP_RUNTIME_DOUBLE_FILE,
         "create",
         kJvmCreateFailed,
         {"start create java vm.", "create java vm now!!!", "create java vm fail!!!"},
         {"JNI_CreateJavaVM"}},
        {"no main class",
         KESTROP_RUNTIME_DOUBLE_FILE,
         "class",
         kJvmNoMainClass,
         {"start create java vm.", "create java vm now!!!", "find main class",
          "FindClass zobj/Run failed\n"},
         {"JNI_CreateJavaVM", "FindClass", "DestroyJavaVM"}},
        {"no entry method",
         KESTROP_RUNTIME_DOUBLE_FILE,
         "method",
         kJvmNoEntryMethod,
         {"start create java vm.", "create java vm now!!!", "find main class", "find main mathod",
          "getMethodID runWithPath failed"},
         {"JNI_CreateJavaVM", "FindClass", "GetStaticMethodID", "DestroyJavaVM"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir install;
        CString runtime = install.Wide(std::u16string(platform::kJvmRelativePath));
        if (c.library)
            runtime = InstallRuntime(install.Path(), c.library);
        std::optional<RuntimeDouble> control;
        if (c.failAt) {
            control.emplace(runtime);
            control->FailAt(c.failAt);
        }
        theLog.Reset();

        EXPECT_EQ(CreateJvmAndRun(runtime, u"lib.jar"), c.code);

        EXPECT_TRUE(WorkIsCurrent());
        const std::vector<std::string> log = LogLines();
        ASSERT_GE(log.size(), 3u);
        EXPECT_EQ(log[0].rfind("jvm param:-Djava.class.path=", 0), 0u) << log[0];
        EXPECT_EQ(log[1], "start load jvm dll.");
        EXPECT_EQ(log[2], "load jvm dll complete!!!");
        std::vector<std::string> expected;
        for (const std::string& line : c.logAfterLoad)
            expected.push_back(Replace(line, "<runtime>", Ansi(runtime)));
        EXPECT_EQ(std::vector<std::string>(log.begin() + 3, log.end()), expected);
        if (control) {
            EXPECT_EQ(CallsIn(control->Record()), c.calls);
        }
    }
}

TEST_F(JvmStart, TheMachineGetsTheseOptionsAndTheEntryGetsTheExecutablesPath) {
    const std::string exe = platform::WideToUtf8(platform::GetModuleFilePath().View());
    const CString libs = CString(u"lib") + platform::kDirSeparator + u"a.jar;lib" +
                         platform::kDirSeparator + u"b.jar";
    for (const bool lite : {true, false}) {
        SCOPED_TRACE(lite ? "lite" : "full");
        TempDir install;
        const CString runtime = InstallRuntime(install.Path(), KESTROP_RUNTIME_DOUBLE_FILE);
        RuntimeDouble control(runtime);
        g_bLiteMode = lite;

        ASSERT_EQ(CreateJvmAndRun(runtime, libs), kJvmRan);

        const std::string heap = lite ? "512m" : "1024m";
        const std::string classPath = "-Djava.class.path=." + kSep + Ansi(g_szTempJarPath) + kSep +
                                      "lib" + kDir + "a.jar" + kSep + "lib" + kDir + "b.jar";
        std::vector<std::string> record = control.Record();
        ASSERT_FALSE(record.empty());
        record.erase(record.begin());  // the second load's own line
        EXPECT_EQ(record, (std::vector<std::string>{
                              "JNI_CreateJavaVM version=0x00010008 options=5 ignoreUnrecognized=1",
                              "option -Djava.compiler=NONE",
                              "option " + classPath,
                              "option -verbose:NONE",
                              "option -Xms" + heap,
                              "option -Xmx" + heap,
                              "FindClass zobj/Run",
                              "GetStaticMethodID runWithPath (Ljava/lang/String;)V",
                              "NewString " + exe,
                              "CallStaticVoidMethod runWithPath " + exe,
                              "DestroyJavaVM",
                          }));
        EXPECT_EQ(LogLines().at(0), "jvm param:" + classPath);
    }
}

TEST_F(JvmStart, TheClassPathIsBuiltToItsWholeLengthInTheAnsiCodePage) {
    std::u16string longLibs;
    std::string longLibsExpected;
    for (int i = 0; i < 60; ++i) {
        const std::string name = "lib" + kDir + "library-number-" + std::to_string(i) + ".jar";
        if (i > 0) {
            longLibs += u';';
            longLibsExpected += kSep;
        }
        longLibs += platform::Utf8ToWide(name);
        longLibsExpected += name;
    }
    struct Case {
        const char* name;
        CString tempJar;
        CString libList;
        std::string expectedTail;  // after "-Djava.class.path=.<sep><temp jar><sep>"
    } cases[] = {
        {"no libraries: a trailing separator", m_work.Wide("_Temp_archive"), u"", ""},
        {"long archive path and library list", m_work.Wide(std::string(600, 'd')),
         CString(longLibs), longLibsExpected},
        // U+0E01 is in no ANSI code page we run under; Linux's is UTF-8.
        {"a character outside the code page", m_work.Wide("_Temp_archive"),
         CString(u"lib") + platform::kDirSeparator + u"\u0E01.jar",
         "lib" + kDir + (platform::kTargetIsWindows ? "?" : "\xE0\xB8\x81") + ".jar"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir install;
        const CString runtime = InstallRuntime(install.Path(), KESTROP_RUNTIME_DOUBLE_FILE);
        RuntimeDouble control(runtime);
        g_szTempJarPath = c.tempJar;
        theLog.Reset();

        ASSERT_EQ(CreateJvmAndRun(runtime, c.libList), kJvmRan);

        const std::string expected =
            "-Djava.class.path=." + kSep + Ansi(c.tempJar) + kSep + c.expectedTail;
        const std::vector<std::string> options = OptionsIn(control.Record());
        ASSERT_EQ(options.size(), 5u);
        EXPECT_EQ(options[1], expected);
        EXPECT_EQ(LogLines().at(0), "jvm param:" + expected);
    }
}

TEST(JvmLoadFolder, IsThePathCutAtItsSecondSeparatorFromTheEnd) {
    struct Case {
        const char16_t* path;
        const char16_t* folder;
    } cases[] = {
        {u"C:\\app\\java\\bin\\client\\jvm.dll", u"C:\\app\\java\\bin"},
        {u"/opt/app/java/lib/server/libjvm.so", u"/opt/app/java/lib"},
        {u"C:/app\\java/bin\\client/jvm.dll", u"C:/app\\java/bin"},  // either kind counts
        {u"C:\\jvm.dll", u"C:\\jvm.dll"},                            // one separator: whole
        {u"jvm.dll", u"jvm.dll"},
        {u"", u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JvmLoadFolder(c.path), CString(c.folder)) << platform::WideToUtf8(c.path);
}

TEST_F(JvmStart, TheRuntimeLoadsWithItsBinFolderCurrentAndTheWorkingFolderComesBack) {
    TempDir install;
    const CString runtime = InstallRuntime(install.Path(), KESTROP_RUNTIME_DOUBLE_FILE);

    const platform::DynamicLibrary loaded = LoadJvmLibrary(runtime);

    ASSERT_TRUE(loaded.IsLoaded()) << platform::WideToUtf8(loaded.GetLoadErrorText().View());
    EXPECT_TRUE(WorkIsCurrent());
    const std::vector<std::string> record = RecordOf(loaded);
    ASSERT_FALSE(record.empty());
    ASSERT_EQ(record[0].rfind("load cwd=", 0), 0u);
    const std::string cwd = record[0].substr(9);
    const std::filesystem::path during(std::u8string(cwd.begin(), cwd.end()));
    EXPECT_TRUE(std::filesystem::equivalent(
        during, install / "java" / (platform::kTargetIsWindows ? "bin" : "lib")))
        << cwd;
}

TEST_F(JvmStart, AFailedLoadAndAFolderThatCannotBeEnteredLeaveTheWorkingFolderCurrent) {
    // The runtime's folders are there, its library is not: the bin folder is entered, the load
    // fails.
    TempDir install;
    const std::filesystem::path missing = install / std::u16string(platform::kJvmRelativePath);
    std::filesystem::create_directories(missing.parent_path());
    EXPECT_FALSE(LoadJvmLibrary(CString(missing.u16string())).IsLoaded());
    EXPECT_TRUE(WorkIsCurrent());

    // A relative path with one separator is its own load folder, which is a file and cannot be
    // entered: the load is made anyway, from the working folder.
    const std::filesystem::path library =
        m_work / "runtime" / testing_support::BuiltFile(KESTROP_RUNTIME_DOUBLE_FILE).filename();
    std::filesystem::create_directory(library.parent_path());
    std::filesystem::copy_file(testing_support::BuiltFile(KESTROP_RUNTIME_DOUBLE_FILE), library);
    const CString relative =
        CString(u"runtime") + platform::kDirSeparator + CString(library.filename().u16string());
    const platform::DynamicLibrary loaded = LoadJvmLibrary(relative);
    EXPECT_TRUE(loaded.IsLoaded()) << platform::WideToUtf8(loaded.GetLoadErrorText().View());
    EXPECT_TRUE(WorkIsCurrent());
}

}  // namespace
