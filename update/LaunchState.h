// The one record through which the update worker reports to the launch window.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/String.h"

// Milestones of m_nProgress: 0, 10, 20, 50, 70, 90, 100. A message means the launch is
// abandoned. Publication: every string the worker stores is complete before the progress store
// that follows it (release/acquire on m_nProgress); the worker writes nothing after storing 100.
class CLaunchState {
public:
    CLaunchState();
    ~CLaunchState();
    CLaunchState(const CLaunchState&) = delete;
    CLaunchState& operator=(const CLaunchState&) = delete;

    // Stores the whole text, then progress 100. A null text changes nothing.
    void FinishWithMessage(const char16_t* text);
    CString GetMessageText() const { return m_strMessage; }

    // Progress as the worker last published it; the strings it stored before are visible.
    int32_t GetProgress() const { return m_nProgress.load(std::memory_order_acquire); }
    void SetProgress(int32_t value) { m_nProgress.store(value, std::memory_order_release); }
    // The window's test for the failure path. The message is only ever stored right before
    // the final progress, so it is read only once that store is visible.
    bool HasMessage() const { return GetProgress() == 100 && !m_strMessage.IsEmpty(); }

    // Called by whoever starts the worker. If the record is destroyed while that worker has
    // not published 100 yet, the process ends there instead (it is about to end anyway), so
    // the worker never writes into a destroyed record.
    void OnWorkerStarted() { m_bWorkerStarted.store(true, std::memory_order_release); }

    std::atomic<int32_t> m_nProgress{0};
    CString m_strMessage;
    CString m_strUpdateUrl;
    CString m_strServerUrl;
    CString m_strPackageUrl;
    CString m_strLibsUrl;
    CString m_strJarFile;
    CString m_strLibList;

private:
    std::atomic<bool> m_bWorkerStarted{false};
};

// Points at the one record; set by its constructor.
extern CLaunchState* g_pLaunchState;

// Stores the library list, every '/' turned into the target's directory separator. A null text
// changes nothing.
void SetLibList(const char16_t* text);
