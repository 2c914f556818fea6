#include "javahost/JvmPath.h"

#include <gtest/gtest.h>

#include "env/Log.h"
#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "platform/JavaRuntime.h"
#include "tests/javahost/RuntimeDouble.h"
#include "tests/support/LogReader.h"
#include "tests/support/TempDir.h"

using testing_support::CurrentDirScope;
using testing_support::TempDir;

namespace {

TEST(JvmProbe, FindsTheRuntimeBesideTheExecutableOrLogsThePathItTried) {
    TempDir install;
    CurrentDirScope cwd(install.Path());
    const CString exe = install.Wide("kestrop");
    const CString expected = install.Wide(std::u16string(platform::kJvmRelativePath));
    theLog.Reset();

    EXPECT_TRUE(FindJvmBeside(exe).IsEmpty());
    testing_support::InstallRuntime(install.Path(), KESTROP_RUNTIME_DOUBLE_FILE);
    EXPECT_EQ(FindJvmBeside(exe), expected);
    EXPECT_TRUE(FindJvmBeside(u"no-folder").IsEmpty());

    theLog.Reset();
    EXPECT_EQ(testing_support::ReadLogMessages(install / "t.log"),
              std::vector<std::string>{"check jvm.dll: " + platform::WideToAnsi(expected.View()) +
                                       ". ret = false"});
}

}  // namespace
