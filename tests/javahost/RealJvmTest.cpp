// The launch with the real OpenJDK: every start is a host process of its own, installed in a
// folder whose path is longer than any fixed buffer, with the JDK as its private runtime.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "net/MD5Checksum.h"
#include "platform/Codepage.h"
#include "tests/javahost/RuntimeDouble.h"
#include "tests/support/LogReader.h"
#include "tests/support/TempDir.h"

using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

std::string Scrambled(std::string bytes) {
    for (char& b : bytes)
        b = static_cast<char>(static_cast<unsigned char>(b) ^ 0xC5);
    return bytes;
}

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

class RealJvm : public ::testing::Test {
public:
    void InstallJdk() {
        std::filesystem::create_directory_symlink(KESTROP_JDK_HOME, m_install / "java");
    }
    // A file at the runtime's place that is no library.
    void PutDamagedRuntime() {
        std::filesystem::create_directories(m_install / "java/lib/server");
        testing_support::WriteFileBytes(m_install / "java/lib/server/libjvm.so", "not a library");
    }

protected:
    void SetUp() override {
        m_install = m_root.Path();
        for (char part = 'a'; part < 'g'; ++part)
            m_install /= std::string(60, part);
        std::filesystem::create_directories(m_install);
        m_exe = m_install / "kestrop";
        std::filesystem::copy_file(testing_support::BuiltFile(KESTROP_JVM_HOST_FILE), m_exe);
        m_work = m_root / "work";
        std::filesystem::create_directory(m_work);
        m_data = m_root / "data";
    }

    // Runs the host from the working folder with archive (a plain jar) as app.jar.
    int Start(const char* archive, const std::string& libraries, bool lite) {
        m_plainArchive = ReadFileBytes(archive);
        testing_support::WriteFileBytes(m_work / "app.jar", Scrambled(m_plainArchive));
        const std::string command =
            "cd " + Quoted(m_work.string()) + " && XDG_DATA_HOME=" + Quoted(m_data.string()) + " " +
            Quoted(m_exe.string()) + " app.jar " + Quoted(libraries) + (lite ? " lite" : " full") +
            " >" + Quoted((m_work / "output.txt").string()) + " 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string TempArchive() const {
        return (m_data / ("_Temp_" + platform::WideToUtf8(
                                         CMD5Checksum::GetMD5(CString(m_exe.u16string())).View())))
            .string();
    }
    std::string Output() const { return ReadFileBytes(m_work / "output.txt"); }
    std::vector<std::string> Log() const {
        return testing_support::ReadLogMessages(m_work / "t.log");
    }
    // What the test application found, by key.
    std::map<std::string, std::string> Record() const {
        std::map<std::string, std::string> record;
        std::istringstream lines(ReadFileBytes(m_work / "run-record.txt"));
        for (std::string line; std::getline(lines, line);) {
            const size_t equals = line.find('=');
            if (equals != std::string::npos)
                record[line.substr(0, equals)] = line.substr(equals + 1);
        }
        return record;
    }

    TempDir m_root;
    std::filesystem::path m_install;
    std::filesystem::path m_exe;
    std::filesystem::path m_work;
    std::filesystem::path m_data;
    std::string m_plainArchive;
};

TEST_F(RealJvm, TheApplicationRunsWithTheWholePathItsArchiveTheLibrariesAndItsHeap) {
    InstallJdk();
    ASSERT_GT(m_exe.string().size(), 300u);
    for (const bool lite : {true, false}) {
        SCOPED_TRACE(lite ? "lite" : "full");
        std::filesystem::remove(m_work / "run-record.txt");

        ASSERT_EQ(Start(KESTROP_TEST_APP_JAR, "lib/a.jar;lib/b.jar", lite), 0) << Output();

        const std::map<std::string, std::string> record = Record();
        EXPECT_EQ(record.at("path"), m_exe.string());
        EXPECT_EQ(record.at("classpath"), ".:" + TempArchive() + ":lib/a.jar:lib/b.jar");
        EXPECT_EQ(record.at("userdir"), m_work.string());
        const std::string heap = lite ? "512m" : "1024m";
        EXPECT_NE(record.at("arguments").find("-Xms" + heap + " -Xmx" + heap), std::string::npos)
            << record.at("arguments");
        const long long maxHeap = std::stoll(record.at("maxheap"));
        const long long mib = 1024 * 1024;
        EXPECT_LE(maxHeap, (lite ? 512 : 1024) * mib);
        EXPECT_GT(maxHeap, (lite ? 448 : 896) * mib);
        EXPECT_EQ(ReadFileBytes(TempArchive()), m_plainArchive);
        EXPECT_EQ(Log(),
                  (std::vector<std::string>{
                      "create JarAnd Run: jvm=" +
                          (m_install / "java/lib/server/libjvm.so").string() + ", jar=app.jar",
                      TempArchive(),
                      "write jar to:" + TempArchive(),
                      "jvm param:-Djava.class.path=.:" + TempArchive() + ":lib/a.jar:lib/b.jar",
                      "start load jvm dll.",
                      "load jvm dll complete!!!",
                      "start create java vm.",
                      "create java vm now!!!",
                      "find main class",
                      "find main mathod",
                      "load jar success",
                  }));
    }
}

TEST_F(RealJvm, EachFailureEndsWithItsCode) {
    const std::string runtime = (m_install / "java/lib/server/libjvm.so").string();
    struct Case {
        const char* name;
        void (RealJvm::*install)();
        const char* archive;
        int code;
        std::string lastLine;
    } cases[] = {
        {"no runtime", nullptr, KESTROP_TEST_APP_JAR, 2,
         "load jvm.dll fail!!! path = (null), code=2"},
        {"damaged runtime", &RealJvm::PutDamagedRuntime, KESTROP_TEST_APP_JAR, 2,
         "load jvm.dll fail!!! path = " + runtime + ", code=0"},
        {"no zobj.Run in the archive", &RealJvm::InstallJdk, KESTROP_NO_CLASS_JAR, 4,
         "FindClass zobj/Run failed\n"},
        {"zobj.Run without runWithPath(String)", &RealJvm::InstallJdk, KESTROP_NO_METHOD_JAR, 5,
         "getMethodID runWithPath failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(m_install / "java");
        if (c.install)
            (this->*c.install)();

        EXPECT_EQ(Start(c.archive, "", false), c.code) << Output();

        const std::vector<std::string> log = Log();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back(), c.lastLine);
        EXPECT_FALSE(std::filesystem::exists(m_work / "run-record.txt"));
    }
}

}  // namespace
