// Our own small dialog framework: a modal dialog from a resource template, controls bound by
// id, a message map routing window messages to the handlers a dialog declares, GDI-style
// objects and device contexts, and the application object. Only what the launch window needs.
// Every call goes to the DialogHost the dialog runs in (platform/Window.h).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "platform/String.h"
#include "platform/Window.h"

class CWnd;
class CDC;

namespace platform {

enum class Msg { Paint, QueryDragIcon, Timer, CtlColor, Command };

// One window message as the hosts deliver it.
struct Message {
    Msg msg = Msg::Paint;
    uintptr_t timerId = 0;  // Timer
    int id = 0;             // Command: control id
    int code = 0;           // Command: notification code
    CDC* dc = nullptr;      // CtlColor
    CWnd* ctl = nullptr;    // CtlColor: the window that asks, the dialog itself included
    UINT ctlType = 0;       // CtlColor: kCtlColor*
};

struct MessageEntry {
    Msg msg;
    int id;    // Command only
    int code;  // Command only
    intptr_t (*call)(CWnd& self, const Message& m);
};

struct MessageMap {
    const MessageMap* base;
    std::span<const MessageEntry> entries;
};

namespace detail {
template <class T>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
    using type = C;
};
template <auto H>
using ClassOf = typename MemberOf<decltype(H)>::type;

template <auto H>
intptr_t CallVoid(CWnd& w, const Message&) {
    (static_cast<ClassOf<H>&>(w).*H)();
    return 0;
}
template <auto H>
intptr_t CallTimer(CWnd& w, const Message& m) {
    (static_cast<ClassOf<H>&>(w).*H)(m.timerId);
    return 0;
}
template <auto H>
intptr_t CallCtlColor(CWnd& w, const Message& m) {
    return reinterpret_cast<intptr_t>((static_cast<ClassOf<H>&>(w).*H)(m.dc, m.ctl, m.ctlType));
}
template <auto H>
intptr_t CallQueryDragIcon(CWnd& w, const Message&) {
    return reinterpret_cast<intptr_t>((static_cast<ClassOf<H>&>(w).*H)());
}
}  // namespace detail

// Entries of a message map: void OnPaint(), HCURSOR OnQueryDragIcon(), void OnTimer(uintptr_t),
// HBRUSH OnCtlColor(CDC*, CWnd*, UINT), and void OnCommand() for one control and code.
template <auto H>
constexpr MessageEntry MapPaint() {
    return {Msg::Paint, 0, 0, &detail::CallVoid<H>};
}
template <auto H>
constexpr MessageEntry MapQueryDragIcon() {
    return {Msg::QueryDragIcon, 0, 0, &detail::CallQueryDragIcon<H>};
}
template <auto H>
constexpr MessageEntry MapTimer() {
    return {Msg::Timer, 0, 0, &detail::CallTimer<H>};
}
template <auto H>
constexpr MessageEntry MapCtlColor() {
    return {Msg::CtlColor, 0, 0, &detail::CallCtlColor<H>};
}
template <int Id, int Code, auto H>
constexpr MessageEntry MapCommand() {
    return {Msg::Command, Id, Code, &detail::CallVoid<H>};
}

// Writes one line to the framework's diagnostic output (the debugger's output on Windows,
// standard error elsewhere).
void TraceLine(const char16_t* text);

// Registers the common-control window classes (Windows); nothing to do elsewhere.
inline constexpr unsigned kIccWin95Classes = 0xFF;
bool InitCommonControls(unsigned classes);

}  // namespace platform

// ---- GDI-style objects --------------------------------------------------------------------

namespace platform {
// Owns the object behind a brush or font handle and frees it the target's way.
using GdiOwner = std::unique_ptr<void, void (*)(void*)>;
}  // namespace platform

class CBrush {
public:
    CBrush() = default;
    ~CBrush() = default;
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;
    BOOL CreateSolidBrush(COLORREF colour);
    HBRUSH GetSafeHandle() const { return m_hBrush; }
    operator HBRUSH() const { return m_hBrush; }

private:
    platform::GdiOwner m_object{nullptr, nullptr};
    HBRUSH m_hBrush = nullptr;
};

class CFont {
public:
    CFont() = default;
    ~CFont() = default;
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
    // nPointSize in tenths of a point, for the screen.
    BOOL CreatePointFont(int nPointSize, const char16_t* faceName);
    HFONT GetSafeHandle() const { return m_hFont; }
    operator HFONT() const { return m_hFont; }

private:
    platform::GdiOwner m_object{nullptr, nullptr};
    HFONT m_hFont = nullptr;
};

namespace platform {
// What a brush or font made by the classes above holds (the Linux hosts draw with it; on
// Windows it is read back from the GDI object).
bool GetBrushColour(HBRUSH brush, COLORREF& colour);
struct FontInfo {
    CString face;
    int height = 0;  // character height in pixels, negative as GDI keeps it
};
bool GetFontInfo(HFONT font, FontInfo& info);
}  // namespace platform

class CDC {
public:
    explicit CDC(std::unique_ptr<platform::DrawSurface> surface) : m_pSurface(std::move(surface)) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_pSurface ? m_pSurface->GetHdc() : nullptr; }
    void FillSolidRect(const CRect& rect, COLORREF colour) {
        if (m_pSurface)
            m_pSurface->FillSolidRect(rect, colour);
    }
    BOOL DrawIcon(int x, int y, HICON icon) {
        return m_pSurface && m_pSurface->DrawIcon(x, y, icon);
    }

private:
    std::unique_ptr<platform::DrawSurface> m_pSurface;
};

// The paint context of a window, for the length of one WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
};

// A context on a window's client area, usable outside WM_PAINT.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
};

// ---- Windows and controls -----------------------------------------------------------------

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Binds this object to control id (0: the dialog itself) of the window a host runs.
    void Attach(platform::DialogHost* host, int id) {
        m_pHost = host;
        m_nId = id;
    }
    void Detach() { m_pHost = nullptr; }
    platform::DialogHost* GetHost() const { return m_pHost; }
    int GetDlgCtrlID() const { return m_nId; }
    HWND GetSafeHwnd() const { return m_pHost ? m_pHost->GetHwnd(m_nId) : nullptr; }

    void SetWindowText(const char16_t* text);
    CString GetWindowText() const;
    void GetClientRect(CRect* rect) const;
    void GetWindowRect(CRect* rect) const;
    void SetFont(CFont* font, BOOL redraw = TRUE);
    void Invalidate(BOOL erase = TRUE);
    BOOL IsIconic() const;
    intptr_t SendMessage(UINT message, uintptr_t wParam = 0, intptr_t lParam = 0);
    int MessageBox(const char16_t* text, const char16_t* caption = nullptr,
                   UINT type = platform::kMbOk);

protected:
    platform::DialogHost* m_pHost = nullptr;
    int m_nId = 0;
};

class CStatic : public CWnd {};

class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int state);
};

class CDataExchange {
public:
    explicit CDataExchange(CWnd* dlg, BOOL saveAndValidate)
        : m_pDlgWnd(dlg), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds control nIDC of the dialog to the object rControl.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// A modal dialog from the resource template nIDTemplate.
class CDialogEx : public CWnd {
public:
    explicit CDialogEx(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}

    // Runs the modal loop; returns the code given to EndDialog, or -1 when the dialog cannot
    // be created.
    intptr_t DoModal();
    UINT GetTemplateId() const { return m_nIDTemplate; }

    // For the hosts (and tests): the dialog runs in host from now on; WM_INITDIALOG follows.
    void AttachHost(platform::DialogHost* host) { Attach(host, 0); }
    // Routes one message through the message maps, derived first. Messages nobody declared get
    // the default handling; the result is that of the handler (a brush, an icon), or nullopt
    // when the message was neither declared nor has a default.
    std::optional<intptr_t> HandleMessage(const platform::Message& m);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);

    BOOL SetTimer(uintptr_t nIDEvent, UINT nElapse);
    BOOL KillTimer(uintptr_t nIDEvent);
    HICON SetIcon(HICON icon, BOOL bigIcon);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    virtual const platform::MessageMap* GetMessageMap() const;

    // The default handling a derived handler passes a message on to.
    void OnPaint();
    void OnTimer(uintptr_t) {}

private:
    UINT m_nIDTemplate;
};

// ---- The application object ---------------------------------------------------------------

inline constexpr unsigned long kRestartManagerSupportRestart = 0x0001;

class CWinApp {
public:
    // The newest application object becomes the one AfxGetApp returns.
    explicit CWinApp(const char16_t* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Registers for restart with the system when asked (Windows Restart Manager).
    virtual BOOL InitInstance();
    virtual int ExitInstance() { return 0; }
    HICON LoadIcon(UINT id) const;

    CWnd* m_pMainWnd = nullptr;
    unsigned long m_dwRestartManagerSupportFlags = 0;
};

CWinApp* AfxGetApp();

namespace platform {
// The framework's entry: InitInstance of the application object, then ExitInstance when it
// returns FALSE (the message loop is not needed: every window we show is modal). Returns the
// process exit code.
int RunApplication();
// The per-target modal loop behind CDialogEx::DoModal.
intptr_t RunModalDialog(CDialogEx& dialog);
// The icon resource id of the running program (Windows: its resource section; Linux: the
// linked resource list).
HICON LoadIconResource(UINT id);
}  // namespace platform
