// The launch window's real calls out: the update worker and the archive staging and launch.
#include "app/KestropDlg.h"
#include "javahost/ArchiveStaging.h"
#include "platform/Thread.h"
#include "update/UpdateWorker.h"

namespace {

bool StartUpdateWorker() {
    return platform::StartDetachedThread(UpdateThreadProc, nullptr);
}

int LaunchApplication(const char16_t* jvmPath, const CString& jarFile, const CString& libList) {
    return CreateJarAndRun(jvmPath, jarFile, libList);
}

}  // namespace

CKestropDlg::CKestropDlg() : CKestropDlg(StartUpdateWorker, LaunchApplication) {}
