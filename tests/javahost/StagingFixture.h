// The archive staging's situation: the working folder is current and holds the scrambled
// archive; the local application-data folder is the test's own on Linux (a folder not yet
// created, with percent signs in its name) and the Wine prefix's under Wine.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "env/Log.h"
#include "javahost/JavaVm.h"
#include "net/MD5Checksum.h"
#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "platform/JavaRuntime.h"
#include "tests/support/LogReader.h"
#include "tests/support/TempDir.h"

namespace testing_support {

inline std::string Scrambled(std::string bytes) {
    for (char& b : bytes)
        b = static_cast<char>(static_cast<unsigned char>(b) ^ 0xC5);
    return bytes;
}

inline std::string Ansi(const CString& text) {
    return platform::WideToAnsi(text.View());
}

class Staging : public ::testing::Test {
protected:
    void SetUp() override {
        if (!platform::kTargetIsWindows) {
            const char* previous = std::getenv("XDG_DATA_HOME");
            if (previous)
                m_previousDataHome = previous;
            SetEnvVar("XDG_DATA_HOME", (m_data / "data%s%d").string().c_str());
        }
        ASSERT_TRUE(platform::GetLocalAppDataFolder(m_folder));
        m_temp = m_folder + platform::kDirSeparator + u"_Temp_" +
                 CMD5Checksum::GetMD5(platform::GetModuleFilePath());
        platform::RemoveFile(m_temp);
        g_szTempJarPath.Empty();
        theLog.Reset();
    }
    void TearDown() override {
        theLog.Reset();
        platform::RemoveFile(m_temp);
        g_szTempJarPath.Empty();
        if (!platform::kTargetIsWindows) {
            SetEnvVar("XDG_DATA_HOME", m_previousDataHome ? m_previousDataHome->c_str() : nullptr);
        }
    }

    void PutArchive(const std::string& plain) {
        WriteFileBytes(m_work / "app.jar", Scrambled(plain));
    }
    std::filesystem::path TempFile() const { return std::filesystem::path(m_temp.Str()); }
    std::vector<std::string> LogLines() {
        theLog.Reset();
        return ReadLogMessages(m_work / "t.log");
    }

    TempDir m_data;
    TempDir m_work;
    CurrentDirScope m_cwd{m_work.Path()};
    // A runtime path with nothing there: the start ends at the load, after the staging.
    CString m_noRuntime =
        m_work.Wide("none") + platform::kDirSeparator + platform::kJvmRelativePath;
    CString m_folder;
    CString m_temp;
    std::optional<std::string> m_previousDataHome;
};

}  // namespace testing_support
