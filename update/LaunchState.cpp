#include "update/LaunchState.h"

#include "platform/Folders.h"
#include "platform/Thread.h"

CLaunchState* g_pLaunchState = nullptr;

CLaunchState::CLaunchState() { g_pLaunchState = this; }

CLaunchState::~CLaunchState() {
    if (m_bWorkerStarted.load(std::memory_order_acquire) && GetProgress() != 100) {
        platform::EndProcessNow(0);
    }
    if (g_pLaunchState == this) g_pLaunchState = nullptr;
}

void CLaunchState::FinishWithMessage(const char16_t* text) {
    if (text == nullptr) return;
    m_strMessage = CString(text);
    SetProgress(100);
}

void SetLibList(const char16_t* text) {
    if (text == nullptr || g_pLaunchState == nullptr) return;
    CString list(text);
    list.Replace(u'/', platform::kDirSeparator);
    g_pLaunchState->m_strLibList = list;
}
