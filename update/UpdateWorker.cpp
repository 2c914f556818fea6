#include "update/UpdateWorker.h"

#include "ProductInfo.h"
#include "env/Log.h"
#include "env/VersionStrings.h"
#include "javahost/JvmPath.h"
#include "net/HttpBuffer.h"
#include "platform/Folders.h"
#include "update/ArchiveUpdate.h"
#include "update/LaunchState.h"
#include "update/RuntimeLibraries.h"
#include "update/ServerLocation.h"

namespace {

// What the launch window shows when the sequence fails.
constexpr const char16_t* kRuntimeMissing = u"本地库文件丢失，请重新重新安装软件！";
constexpr const char16_t* kNoServerLocation = u"配置文件丢失！";
constexpr const char16_t* kServerUnreachable = u"无法连接到服务器！";
constexpr const char16_t* kPackageNotFetched = u"下载更新文件失败！";
constexpr const char16_t* kPackageNotWritten = u"写入更新文件失败！";

}  // namespace

unsigned long UpdateThreadProc(void* /*parameter*/) {
    return RunUpdate(platform::GetModuleFilePath(), CString(KESTROP_RUNTIME_BASE_URL));
}

unsigned long RunUpdate(const CString& exePath, const CString& runtimeBaseUrl) {
    // Taken once: the record must not be reached after the final progress store.
    CLaunchState& state = *g_pLaunchState;
    theLog.Write(u"curr version: %s", GetProductVersionString());

    if (FindJvmBeside(exePath).IsEmpty()) {
        state.FinishWithMessage(kRuntimeMissing);
        return 0;
    }
    state.SetProgress(10);

    if (!LoadServerLocationFrom(exePath)) {
        state.FinishWithMessage(kNoServerLocation);
        return 0;
    }
    state.SetProgress(20);

    const CString localDigest = GetLocalArchiveDigest();
    DownloadRuntimeLibrariesFrom(state.m_strLibsUrl, runtimeBaseUrl);
    state.SetProgress(50);

    CHttpBuffer buffer;
    if (!buffer.FetchWithRetry(state.m_strUpdateUrl)) {
        state.FinishWithMessage(kServerUnreachable);
        return 0;
    }
    state.SetProgress(70);

    const CString serverDigest = NormaliseServerDigest(buffer);
    if (serverDigest.Compare(localDigest.View()) == 0) {
        state.SetProgress(100);  // the archive is current
        return 0;
    }

    MakePackageUrl(serverDigest);
    if (!buffer.FetchWithRetry(state.m_strPackageUrl) || !IsVerifiedPackage(buffer, serverDigest)) {
        state.FinishWithMessage(kPackageNotFetched);
        return 0;
    }
    state.SetProgress(90);

    if (!WritePackage(buffer)) {
        state.FinishWithMessage(kPackageNotWritten);
        return 0;
    }
    state.SetProgress(100);
    return 0;
}
