#include "update/ServerLocation.h"

#include "env/Log.h"
#include "platform/File.h"
#include "platform/Folders.h"
#include "update/LaunchState.h"

namespace {
constexpr size_t kReadLimit = 1024;
}

int LoadServerLocation() { return LoadServerLocationFrom(platform::GetModuleFilePath()); }

int LoadServerLocationFrom(const CString& exe) {
    CLaunchState& state = *g_pLaunchState;
    if (exe.IsEmpty()) return 0;
    const int slash = exe.ReverseFind(platform::kDirSeparator);
    if (slash < 0) return 0;
    const CString path = exe.Left(slash + 1) + u"run.d";

    unsigned char bytes[kReadLimit];
    size_t count = 0;
    try {
        CFile file(path, CFile::modeRead);
        count = file.Read(bytes, kReadLimit);
        file.Close();
    } catch (const CFileException& e) {
        LogException(e);
        return 0;
    }

    // run.d is ASCII: each byte becomes one character by sign extension, no code page.
    CString line;
    for (size_t i = 0; i < count && bytes[i] != 0x0D && bytes[i] != 0x0A; ++i) {
        line.AppendChar(static_cast<char16_t>(static_cast<signed char>(bytes[i])));
    }
    state.m_strServerUrl += line;
    state.m_strPackageUrl = state.m_strServerUrl;

    const int last = state.m_strServerUrl.ReverseFind(u'/');
    if (last < 0) return 1;
    const CString folder = state.m_strServerUrl.Left(last + 1);
    state.m_strUpdateUrl = folder + u"update.txt";
    state.m_strLibsUrl = folder + u"libs.txt";
    state.m_strJarFile = state.m_strServerUrl.Mid(last + 1);
    return 1;
}
