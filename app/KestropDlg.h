// The launch window: starts the update worker, animates the percentage in its title and its
// painted bar while polling the launch state every 50 ms, shows a failure in a message box,
// and at 100 ends itself and runs the Java application from inside the timer handler.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/Dialog.h"
#include "platform/String.h"
#include "update/LaunchState.h"

// Advanced by every tick that takes the progress path; drives the dots in the title.
extern int32_t g_nTimerTicks;

class CKestropDlg : public CDialogEx {
public:
    enum { IDD = 102 };
    static constexpr int kIconResource = 128;
    static constexpr COLORREF kWhite = 0x00FFFFFF;
    static constexpr COLORREF kTrackColour = 0x00B7B7B7;
    static constexpr COLORREF kFillColour = 0x006CBFF9;

    // The two calls out of the window, replaceable for tests. The worker starter returns
    // whether a worker now runs; the launcher gets the runtime path (null when missing), the
    // archive name and the library list, and returns the launch result code.
    using WorkerStarter = std::function<bool()>;
    using Launcher =
        std::function<int(const char16_t* jvmPath, const CString& jarFile, const CString& libList)>;

    // The real worker and launch call.
    CKestropDlg();
    CKestropDlg(WorkerStarter startWorker, Launcher launch);
    ~CKestropDlg() override;

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const platform::MessageMap* GetMessageMap() const override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnTimer(uintptr_t nIDEvent);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnClickedLiteMode();
    void DrawProgressBar();

    HICON m_hIcon = nullptr;
    int32_t m_nShownProgress = 0;
    CLaunchState m_launchState;
    CFont m_fontProduct;
    CBrush m_brWhite;
    CStatic m_stcIcon;
    CStatic m_stcProduct;
    CStatic m_stcStatus;
    CStatic m_stcProgress;
    CButton m_chkLite;

private:
    WorkerStarter m_startWorker;
    Launcher m_launch;
};
