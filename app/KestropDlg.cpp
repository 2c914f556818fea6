#include "app/KestropDlg.h"

#include "ProductInfo.h"
#include "env/Log.h"
#include "env/VersionStrings.h"
#include "env/WorkingFolder.h"
#include "javahost/JvmPath.h"
#include "platform/Format.h"

int32_t g_nTimerTicks = 0;

namespace {
constexpr int kControlIcon = 1004;
constexpr int kControlProgress = 1005;
constexpr int kControlProduct = 1006;
constexpr int kControlLiteMode = 1007;
constexpr int kControlStatus = 1008;
constexpr uintptr_t kTimerId = 1;
constexpr UINT kTimerPeriodMs = 50;
constexpr int kProgressStep = 2;
}  // namespace

CKestropDlg::CKestropDlg(WorkerStarter startWorker, Launcher launch)
    : CDialogEx(IDD), m_startWorker(std::move(startWorker)), m_launch(std::move(launch)) {
    if (CWinApp* app = AfxGetApp())
        m_hIcon = app->LoadIcon(kIconResource);
}

CKestropDlg::~CKestropDlg() = default;

void CKestropDlg::DoDataExchange(CDataExchange* pDX) {
    CDialogEx::DoDataExchange(pDX);
    DDX_Control(pDX, kControlIcon, m_stcIcon);
    DDX_Control(pDX, kControlProduct, m_stcProduct);
    DDX_Control(pDX, kControlProgress, m_stcProgress);
    DDX_Control(pDX, kControlLiteMode, m_chkLite);
    DDX_Control(pDX, kControlStatus, m_stcStatus);
}

const platform::MessageMap* CKestropDlg::GetMessageMap() const {
    static constexpr platform::MessageEntry kEntries[] = {
        platform::MapPaint<&CKestropDlg::OnPaint>(),
        platform::MapQueryDragIcon<&CKestropDlg::OnQueryDragIcon>(),
        platform::MapTimer<&CKestropDlg::OnTimer>(),
        platform::MapCtlColor<&CKestropDlg::OnCtlColor>(),
        platform::MapCommand<kControlLiteMode, platform::kBnClicked,
                             &CKestropDlg::OnClickedLiteMode>(),
    };
    static const platform::MessageMap kMap{CDialogEx::GetMessageMap(), kEntries};
    return &kMap;
}

BOOL CKestropDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_brWhite.CreateSolidBrush(kWhite);
    m_fontProduct.CreatePointFont(130, u"宋体");
    m_stcProduct.SetFont(&m_fontProduct, TRUE);

    SetTimer(kTimerId, kTimerPeriodMs);

    if (SetupWorkingFolder()) {
        LoadLiteMode();
        if (m_startWorker && m_startWorker()) {
            m_launchState.OnWorkerStarted();
        } else {
            // Without a worker nothing will move the bar; the user can still close the window.
            theLog.Write(u"create update thread fail!");
        }
    } else {
        m_launchState.FinishWithMessage(u"创建工作目录失败！");
    }

    m_chkLite.SetCheck(g_bLiteMode ? 1 : 0);
    return TRUE;
}

void CKestropDlg::OnTimer(uintptr_t nIDEvent) {
    CDialogEx::OnTimer(nIDEvent);

    if (m_launchState.HasMessage()) {
        KillTimer(nIDEvent);
        MessageBox(m_launchState.GetMessageText(), u"客服QQ：" KESTROP_SUPPORT_NUMBER,
                   platform::kMbOk);
        OnOK();
        return;
    }

    if (m_nShownProgress < m_launchState.GetProgress()) {
        m_nShownProgress += kProgressStep;
        if (m_nShownProgress == 100)
            KillTimer(nIDEvent);
    }

    // Wraps instead of overflowing after years of polling; the dots only need the low digits.
    g_nTimerTicks = static_cast<int32_t>(static_cast<uint32_t>(g_nTimerTicks) + 1u);
    int dots = (g_nTimerTicks / 10) % 4;
    if (dots < 0)
        dots += 4;
    char16_t szDots[5] = {};
    for (int i = 0; i < dots; ++i)
        szDots[i] = u'.';

    char16_t szTitle[128] = {};
    fmt::FormatBounded(szTitle, 128, u"%s%s  %d%%   %s", GetProductNameString(),
                       GetProductVersionString(), m_nShownProgress, szDots);
    SetWindowText(szTitle);
    Invalidate(TRUE);

    if (m_nShownProgress == 100) {
        OnOK();
        KillTimer(nIDEvent);
        const char16_t* jvmPath = GetJvmPath();
        const int result =
            m_launch ? m_launch(jvmPath, m_launchState.m_strJarFile, m_launchState.m_strLibList)
                     : 0;
        if (result != 0) {
            char16_t szText[64] = {};
            fmt::FormatBounded(szText, 64,
                               u"启动失败，请联系客服QQ：" KESTROP_SUPPORT_NUMBER u"。%d", result);
            MessageBox(szText, u"启动", platform::kMbOk);
        }
    }
}

void CKestropDlg::OnClickedLiteMode() {
    g_bLiteMode = (m_chkLite.GetCheck() == 1);
    SaveLiteMode();
}
