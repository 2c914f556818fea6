#include "platform/Dialog.h"

#include "platform/Resources.h"

// ---- Device contexts ----------------------------------------------------------------------

namespace {
std::unique_ptr<platform::DrawSurface> PaintSurface(CWnd* wnd) {
    platform::DialogHost* host = wnd ? wnd->GetHost() : nullptr;
    return host ? host->BeginPaint() : nullptr;
}
std::unique_ptr<platform::DrawSurface> ClientSurface(CWnd* wnd) {
    platform::DialogHost* host = wnd ? wnd->GetHost() : nullptr;
    return host ? host->GetDC(wnd->GetDlgCtrlID()) : nullptr;
}
}  // namespace

CPaintDC::CPaintDC(CWnd* wnd) : CDC(PaintSurface(wnd)) {}
CClientDC::CClientDC(CWnd* wnd) : CDC(ClientSurface(wnd)) {}

// ---- Windows and controls -----------------------------------------------------------------

void CWnd::SetWindowText(const char16_t* text) {
    if (m_pHost)
        m_pHost->SetWindowText(m_nId, CString(text));
}

CString CWnd::GetWindowText() const {
    return m_pHost ? m_pHost->GetWindowText(m_nId) : CString();
}

void CWnd::GetClientRect(CRect* rect) const {
    *rect = m_pHost ? m_pHost->GetClientRect(m_nId) : CRect();
}

void CWnd::GetWindowRect(CRect* rect) const {
    *rect = m_pHost ? m_pHost->GetWindowRect(m_nId) : CRect();
}

void CWnd::SetFont(CFont* font, BOOL redraw) {
    if (m_pHost)
        m_pHost->SetFont(m_nId, font ? font->GetSafeHandle() : nullptr, redraw != FALSE);
}

void CWnd::Invalidate(BOOL erase) {
    if (m_pHost)
        m_pHost->Invalidate(m_nId, erase != FALSE);
}

BOOL CWnd::IsIconic() const {
    return m_pHost && m_pHost->IsIconic();
}

intptr_t CWnd::SendMessage(UINT message, uintptr_t wParam, intptr_t lParam) {
    return m_pHost ? m_pHost->SendMessage(m_nId, message, wParam, lParam) : 0;
}

int CWnd::MessageBox(const char16_t* text, const char16_t* caption, UINT type) {
    // Without a window there is nobody to ask; the caller takes it as dismissed.
    if (!m_pHost)
        return platform::kIdOk;
    return m_pHost->MessageBox(CString(text), CString(caption), type);
}

int CButton::GetCheck() const {
    return m_pHost ? m_pHost->GetCheck(m_nId) : 0;
}

void CButton::SetCheck(int state) {
    if (m_pHost)
        m_pHost->SetCheck(m_nId, state);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    rControl.Attach(pDX->m_pDlgWnd->GetHost(), nIDC);
}

// ---- The dialog ---------------------------------------------------------------------------

intptr_t CDialogEx::DoModal() {
    return platform::RunModalDialog(*this);
}

BOOL CDialogEx::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialogEx::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialogEx::OnOK() {
    EndDialog(platform::kIdOk);
}
void CDialogEx::OnCancel() {
    EndDialog(platform::kIdCancel);
}

void CDialogEx::EndDialog(int result) {
    if (m_pHost)
        m_pHost->EndDialog(result);
}

BOOL CDialogEx::SetTimer(uintptr_t nIDEvent, UINT nElapse) {
    return m_pHost && m_pHost->SetTimer(nIDEvent, nElapse);
}

BOOL CDialogEx::KillTimer(uintptr_t nIDEvent) {
    return m_pHost && m_pHost->KillTimer(nIDEvent);
}

HICON CDialogEx::SetIcon(HICON icon, BOOL bigIcon) {
    return m_pHost ? m_pHost->SetIcon(icon, bigIcon != FALSE) : nullptr;
}

void CDialogEx::OnPaint() {
    // Begin and end painting: validates the window and erases its background.
    CPaintDC dc(this);
}

const platform::MessageMap* CDialogEx::GetMessageMap() const {
    static constexpr platform::MessageMap kMap{nullptr, {}};
    return &kMap;
}

std::optional<intptr_t> CDialogEx::HandleMessage(const platform::Message& m) {
    for (const platform::MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (const platform::MessageEntry& e : map->entries) {
            if (e.msg != m.msg)
                continue;
            if (e.msg == platform::Msg::Command && (e.id != m.id || e.code != m.code))
                continue;
            return e.call(*this, m);
        }
    }
    switch (m.msg) {
        case platform::Msg::Paint:
            OnPaint();
            return 0;
        case platform::Msg::Timer:
            OnTimer(m.timerId);
            return 0;
        case platform::Msg::Command:
            // Enter, Escape and the close box arrive as IDOK and IDCANCEL.
            if (m.id == platform::kIdOk && m.code == platform::kBnClicked) {
                OnOK();
                return 0;
            }
            if (m.id == platform::kIdCancel && m.code == platform::kBnClicked) {
                OnCancel();
                return 0;
            }
            return std::nullopt;
        case platform::Msg::QueryDragIcon:
        case platform::Msg::CtlColor:
            return std::nullopt;
    }
    return std::nullopt;
}

// ---- The application object ---------------------------------------------------------------

namespace {
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp(const char16_t*) {
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* AfxGetApp() {
    return g_pApp;
}

HICON CWinApp::LoadIcon(UINT id) const {
    return platform::LoadIconResource(id);
}

namespace platform {

int RunApplication() {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    if (!app->InitInstance())
        return app->ExitInstance();
    // Every window of ours is modal and has ended by now: there is no message loop to run.
    return app->ExitInstance();
}

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long half = (c < 0 ? -c : c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long magnitude = ((product < 0 ? -product : product) + half) / (c < 0 ? -c : c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

// ---- Linked resources ---------------------------------------------------------------------

namespace {
constinit ResourceModule* g_pModules = nullptr;
}

ResourceModule::ResourceModule(std::span<const DialogTemplate> dialogs,
                               std::span<const IconResource> icons)
    : m_dialogs(dialogs), m_icons(icons), m_pNext(g_pModules) {
    g_pModules = this;
}

const DialogTemplate* FindDialogTemplate(int id) {
    for (const ResourceModule* m = g_pModules; m; m = m->m_pNext) {
        for (const DialogTemplate& d : m->m_dialogs) {
            if (d.id == id)
                return &d;
        }
    }
    return nullptr;
}

const IconResource* FindIconResource(int id) {
    for (const ResourceModule* m = g_pModules; m; m = m->m_pNext) {
        for (const IconResource& i : m->m_icons) {
            if (i.id == id)
                return &i;
        }
    }
    return nullptr;
}

const IconImage* IconResource::Pick(int size) const {
    const IconImage* larger = nullptr;
    const IconImage* largest = nullptr;
    for (const IconImage& image : images) {
        if (image.width == size)
            return &image;
        if (image.width > size && (!larger || image.width < larger->width))
            larger = &image;
        if (!largest || image.width > largest->width)
            largest = &image;
    }
    return larger ? larger : largest;
}

}  // namespace platform
