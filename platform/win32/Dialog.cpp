// Dialogs on the Win32 API: a modal dialog box from the executable's template, its messages
// routed into the dialog's message map, and the device contexts it paints with.
#include <memory>
#include <vector>

#include "platform/Dialog.h"
#include "platform/win32/Ui.h"

namespace platform::win32 {
namespace {

CRect FromRect(const RECT& r) {
    return CRect(static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                 static_cast<int>(r.bottom));
}

// The drawing shared by every kind of context; the kinds differ in how they get and give
// back their HDC.
class GdiSurface : public DrawSurface {
public:
    HDC GetHdc() const override { return m_hdc; }
    void FillSolidRect(const CRect& rect, COLORREF colour) override {
        if (!m_hdc)
            return;
        const RECT r = {rect.left, rect.top, rect.right, rect.bottom};
        const COLORREF old = SetBkColor(m_hdc, colour);
        ExtTextOutW(m_hdc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
        SetBkColor(m_hdc, old);
    }
    bool DrawIcon(int x, int y, HICON icon) override {
        return m_hdc && ::DrawIcon(m_hdc, x, y, icon);
    }

protected:
    HDC m_hdc = nullptr;
};

class PaintSurface final : public GdiSurface {
public:
    explicit PaintSurface(HWND hwnd) : m_hwnd(hwnd) { m_hdc = ::BeginPaint(hwnd, &m_ps); }
    ~PaintSurface() override {
        if (m_hdc)
            ::EndPaint(m_hwnd, &m_ps);
    }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps = {};
};

class ClientSurface final : public GdiSurface {
public:
    explicit ClientSurface(HWND hwnd) : m_hwnd(hwnd) { m_hdc = hwnd ? ::GetDC(hwnd) : nullptr; }
    ~ClientSurface() override {
        if (m_hdc)
            ::ReleaseDC(m_hwnd, m_hdc);
    }

private:
    HWND m_hwnd;
};

// A context the system lends for one message (WM_CTLCOLOR*): not ours to release.
class BorrowedSurface final : public GdiSurface {
public:
    explicit BorrowedSurface(HDC hdc) { m_hdc = hdc; }
};

class Win32Host final : public DialogHost {
public:
    explicit Win32Host(HWND hwnd) : m_hwnd(hwnd) {}

    HWND GetHwnd(int id) const override { return Item(id); }
    bool HasControl(int id) const override { return Item(id) != nullptr; }
    void SetWindowText(int id, const CString& text) override {
        SetWindowTextW(Item(id), W(text.GetString()));
    }
    CString GetWindowText(int id) const override {
        HWND w = Item(id);
        std::vector<wchar_t> buf(static_cast<size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
        GetWindowTextW(w, buf.data(), static_cast<int>(buf.size()));
        return CString(U(buf.data()));
    }
    CRect GetClientRect(int id) const override {
        RECT r = {};
        ::GetClientRect(Item(id), &r);
        return FromRect(r);
    }
    CRect GetWindowRect(int id) const override {
        RECT r = {};
        ::GetWindowRect(Item(id), &r);
        return FromRect(r);
    }
    void SetFont(int id, HFONT font, bool redraw) override {
        SendMessageW(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
    }
    void Invalidate(int id, bool erase) override {
        InvalidateRect(Item(id), nullptr, erase ? TRUE : FALSE);
    }
    int GetCheck(int id) const override {
        return static_cast<int>(SendMessageW(Item(id), BM_GETCHECK, 0, 0));
    }
    void SetCheck(int id, int state) override {
        SendMessageW(Item(id), BM_SETCHECK, static_cast<WPARAM>(state), 0);
    }
    HICON SetIcon(HICON icon, bool big) override {
        return reinterpret_cast<HICON>(SendMessageW(m_hwnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                                                    reinterpret_cast<LPARAM>(icon)));
    }
    bool IsIconic() const override { return ::IsIconic(m_hwnd) != FALSE; }
    bool SetTimer(uintptr_t timerId, UINT elapseMs) override {
        return ::SetTimer(m_hwnd, static_cast<UINT_PTR>(timerId), elapseMs, nullptr) != 0;
    }
    bool KillTimer(uintptr_t timerId) override {
        return ::KillTimer(m_hwnd, static_cast<UINT_PTR>(timerId)) != FALSE;
    }
    int MessageBox(const CString& text, const CString& caption, UINT type) override {
        return MessageBoxW(m_hwnd, W(text.GetString()), W(caption.GetString()), type);
    }
    void EndDialog(int result) override { ::EndDialog(m_hwnd, result); }
    intptr_t SendMessage(int id, UINT message, uintptr_t wParam, intptr_t lParam) override {
        return static_cast<intptr_t>(SendMessageW(Item(id), message, static_cast<WPARAM>(wParam),
                                                  static_cast<LPARAM>(lParam)));
    }
    std::unique_ptr<DrawSurface> BeginPaint() override {
        return std::make_unique<PaintSurface>(m_hwnd);
    }
    std::unique_ptr<DrawSurface> GetDC(int id) override {
        return std::make_unique<ClientSurface>(Item(id));
    }

private:
    HWND Item(int id) const { return id == 0 ? m_hwnd : GetDlgItem(m_hwnd, id); }
    HWND m_hwnd;
};

struct ModalContext {
    CDialogEx* dialog;
    std::unique_ptr<Win32Host> host;
};

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* ctx = reinterpret_cast<ModalContext*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        ctx->host = std::make_unique<Win32Host>(hwnd);
        ctx->dialog->AttachHost(ctx->host.get());
        return ctx->dialog->OnInitDialog();
    }
    auto* ctx = reinterpret_cast<ModalContext*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!ctx || !ctx->host)
        return FALSE;
    CDialogEx& dlg = *ctx->dialog;
    Message m;
    switch (message) {
        case WM_PAINT:
            m.msg = Msg::Paint;
            dlg.HandleMessage(m);
            return TRUE;
        case WM_QUERYDRAGICON: {
            m.msg = Msg::QueryDragIcon;
            const std::optional<intptr_t> icon = dlg.HandleMessage(m);
            return icon ? static_cast<INT_PTR>(*icon) : FALSE;
        }
        case WM_TIMER:
            m.msg = Msg::Timer;
            m.timerId = static_cast<uintptr_t>(wParam);
            dlg.HandleMessage(m);
            return TRUE;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: {
            CDC dc(std::make_unique<BorrowedSurface>(reinterpret_cast<HDC>(wParam)));
            CWnd control;
            HWND asking = reinterpret_cast<HWND>(lParam);
            if (asking != hwnd)
                control.Attach(ctx->host.get(), GetDlgCtrlID(asking));
            m.msg = Msg::CtlColor;
            m.dc = &dc;
            m.ctl = asking == hwnd ? static_cast<CWnd*>(&dlg) : &control;
            m.ctlType = message - WM_CTLCOLORMSGBOX;  // the CTLCOLOR_* kinds, in order
            const std::optional<intptr_t> brush = dlg.HandleMessage(m);
            // A dialog procedure returns the brush itself for these messages.
            return brush ? static_cast<INT_PTR>(*brush) : FALSE;
        }
        case WM_COMMAND:
            m.msg = Msg::Command;
            m.id = LOWORD(wParam);
            m.code = HIWORD(wParam);
            return dlg.HandleMessage(m).has_value() ? TRUE : FALSE;
        default:
            return FALSE;
    }
}

}  // namespace
}  // namespace platform::win32

namespace platform {

intptr_t RunModalDialog(CDialogEx& dialog) {
    win32::ModalContext ctx{&dialog, nullptr};
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialog.GetTemplateId()),
                        nullptr, win32::DialogProc, reinterpret_cast<LPARAM>(&ctx));
    dialog.Detach();
    return static_cast<intptr_t>(result);
}

}  // namespace platform
