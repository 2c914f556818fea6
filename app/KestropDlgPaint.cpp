// The launch window draws its bar and its icon itself and gives every control a white
// background.
#include "app/KestropDlg.h"

void CKestropDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(platform::kWmIconEraseBkgnd, reinterpret_cast<uintptr_t>(dc.GetSafeHdc()), 0);

        const int cxIcon = platform::GetSystemMetrics(platform::kSmCxIcon);
        const int cyIcon = platform::GetSystemMetrics(platform::kSmCyIcon);
        CRect rect;
        GetClientRect(&rect);
        const int x = (rect.Width() - cxIcon + 1) / 2;
        const int y = (rect.Height() - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
    } else {
        CDialogEx::OnPaint();
        DrawProgressBar();
        CClientDC dc(&m_stcIcon);
        dc.DrawIcon(0, 0, m_hIcon);
    }
}

void CKestropDlg::DrawProgressBar() {
    CClientDC dc(&m_stcProgress);
    CRect rect;
    m_stcProgress.GetClientRect(&rect);
    dc.FillSolidRect(rect, kTrackColour);
    rect.right = rect.left + (rect.Width() * m_nShownProgress) / 100;
    if (!rect.IsRectEmpty())
        dc.FillSolidRect(rect, kFillColour);
}

HBRUSH CKestropDlg::OnCtlColor(CDC*, CWnd*, UINT) {
    return m_brWhite;
}

HCURSOR CKestropDlg::OnQueryDragIcon() {
    return m_hIcon;
}
