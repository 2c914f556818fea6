#include "app/KestropApp.h"

#include "app/KestropDlg.h"

CKestropApp theApp;

CKestropApp::CKestropApp() : CWinApp(nullptr) {
    m_dwRestartManagerSupportFlags = kRestartManagerSupportRestart;
}

BOOL CKestropApp::InitInstance() {
    platform::InitCommonControls(platform::kIccWin95Classes);
    CWinApp::InitInstance();

    CKestropDlg dlg;
    m_pMainWnd = &dlg;
    const intptr_t nResponse = dlg.DoModal();
    if (nResponse == -1) {
        platform::TraceLine(u"警告: 对话框创建失败，应用程序将意外终止。\n");
        platform::TraceLine(
            u"警告: 如果您在对话框上使用 MFC 控件，则无法 #define "
            u"_AFX_NO_MFC_CONTROLS_IN_DIALOGS。\n");
    }
    m_pMainWnd = nullptr;
    return FALSE;
}
