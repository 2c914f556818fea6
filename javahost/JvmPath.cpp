#include "javahost/JvmPath.h"

#include "env/Log.h"
#include "platform/File.h"
#include "platform/Folders.h"
#include "platform/JavaRuntime.h"

namespace {
// Built to the path's real length; filled once, at the first call that gets a path.
CString g_szJvmPath;
}  // namespace

CString FindJvmBeside(const CString& exe) {
    const int slash = exe.ReverseFind(platform::kDirSeparator);
    if (slash < 0) return CString();
    const CString path = exe.Left(slash + 1) + platform::kJvmRelativePath;
    CFile probe;
    if (!probe.Open(path, CFile::modeRead | CFile::shareDenyNone)) {
        theLog.Write(u"check jvm.dll: %s. ret = false", path);
        return CString();
    }
    return path;
}

const char16_t* GetJvmPath() {
    if (!g_szJvmPath.IsEmpty()) return g_szJvmPath.GetString();
    const CString exe = platform::GetModuleFilePath();
    if (exe.IsEmpty()) return nullptr;
    const CString path = FindJvmBeside(exe);
    if (path.IsEmpty()) return nullptr;
    g_szJvmPath = path;
    return g_szJvmPath.GetString();
}
