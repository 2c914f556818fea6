// The vocabulary shared by our dialog classes and the per-target window hosts: handle types,
// rectangles, colours, and the few message, style and result values the program uses. Values
// are the Win32 ones, so the Windows host passes them through unchanged; the names differ from
// <windows.h> where that header defines them as macros.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/String.h"

// Opaque handles. On Windows they are the system's own handle types (the same declarations as
// <windows.h>); elsewhere they point at objects of the Linux hosts.
struct HWND__;
struct HICON__;
struct HBRUSH__;
struct HFONT__;
struct HDC__;
using HWND = HWND__*;
using HICON = HICON__*;
using HCURSOR = HICON;
using HBRUSH = HBRUSH__*;
using HFONT = HFONT__*;
using HDC = HDC__*;

using BOOL = int;
using UINT = unsigned int;
using COLORREF = unsigned long;  // 0x00BBGGRR

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// A rectangle whose right and bottom edges are outside it, as GDI's.
class CRect {
public:
    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    // Empty when it has no area: a zero or negative width or height.
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr void OffsetRect(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    friend constexpr bool operator==(const CRect&, const CRect&) = default;

    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

namespace platform {

// Message-box types and dialog results.
inline constexpr UINT kMbOk = 0x0000;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Notification code of a button click.
inline constexpr int kBnClicked = 0;

// The kind of window that asks for its colours (the nCtlColor argument of OnCtlColor).
inline constexpr UINT kCtlColorMsgBox = 0;
inline constexpr UINT kCtlColorEdit = 1;
inline constexpr UINT kCtlColorListBox = 2;
inline constexpr UINT kCtlColorBtn = 3;
inline constexpr UINT kCtlColorDlg = 4;
inline constexpr UINT kCtlColorScrollBar = 5;
inline constexpr UINT kCtlColorStatic = 6;

// The one message the program sends itself: the minimised window's icon background.
inline constexpr UINT kWmIconEraseBkgnd = 0x0027;

// Window and control styles that appear in our templates.
inline constexpr uint32_t kWsPopup = 0x80000000;
inline constexpr uint32_t kWsChild = 0x40000000;
inline constexpr uint32_t kWsVisible = 0x10000000;
inline constexpr uint32_t kWsCaption = 0x00C00000;
inline constexpr uint32_t kWsSysMenu = 0x00080000;
inline constexpr uint32_t kWsGroup = 0x00020000;
inline constexpr uint32_t kWsTabStop = 0x00010000;
inline constexpr uint32_t kDsSetFont = 0x0040;
inline constexpr uint32_t kDsModalFrame = 0x0080;
inline constexpr uint32_t kDsFixedSys = 0x0008;
inline constexpr uint32_t kWsExToolWindow = 0x00000080;
inline constexpr uint32_t kWsExAppWindow = 0x00040000;
inline constexpr uint32_t kWsExNoActivate = 0x08000000;
inline constexpr uint32_t kSsLeft = 0x0000;
inline constexpr uint32_t kSsGrayFrame = 0x0008;
inline constexpr uint32_t kSsWhiteFrame = 0x0009;
inline constexpr uint32_t kSsTypeMask = 0x001F;
inline constexpr uint32_t kBsAutoCheckBox = 0x0003;
inline constexpr uint32_t kBsTypeMask = 0x000F;

// GetSystemMetrics indexes.
inline constexpr int kSmCxIcon = 11;
inline constexpr int kSmCyIcon = 12;
int GetSystemMetrics(int index);

// a * b / c rounded to the nearest integer, halves away from zero, as the dialog-unit
// conversion does it. c == 0 gives -1.
int MulDiv(int a, int b, int c);

// A drawing target: a window's client area or a control's, clipped to it.
class DrawSurface {
public:
    virtual ~DrawSurface() = default;
    virtual HDC GetHdc() const = 0;
    virtual void FillSolidRect(const CRect& rect, COLORREF colour) = 0;
    // Draws the icon at its standard size (GetSystemMetrics kSmCxIcon by kSmCyIcon).
    virtual bool DrawIcon(int x, int y, HICON icon) = 0;
};

// What a dialog asks of the window it runs in. Control id 0 is the dialog itself; other ids
// are the controls of its template. The hosts: Win32 (platform/win32), GTK and console
// (platform/gtk), and the tests' recording host.
class DialogHost {
public:
    virtual ~DialogHost() = default;

    virtual HWND GetHwnd(int id) const = 0;
    virtual bool HasControl(int id) const = 0;
    virtual void SetWindowText(int id, const CString& text) = 0;
    virtual CString GetWindowText(int id) const = 0;
    virtual CRect GetClientRect(int id) const = 0;
    // In screen coordinates.
    virtual CRect GetWindowRect(int id) const = 0;
    virtual void SetFont(int id, HFONT font, bool redraw) = 0;
    virtual void Invalidate(int id, bool erase) = 0;
    virtual int GetCheck(int id) const = 0;
    virtual void SetCheck(int id, int state) = 0;
    // Returns the icon that was set before.
    virtual HICON SetIcon(HICON icon, bool big) = 0;
    virtual bool IsIconic() const = 0;
    virtual bool SetTimer(uintptr_t timerId, UINT elapseMs) = 0;
    virtual bool KillTimer(uintptr_t timerId) = 0;
    // Modal to the dialog; returns the button the user chose.
    virtual int MessageBox(const CString& text, const CString& caption, UINT type) = 0;
    // Hides the dialog now; its modal loop ends once the running handler returns.
    virtual void EndDialog(int result) = 0;
    virtual intptr_t SendMessage(int id, UINT message, uintptr_t wParam, intptr_t lParam) = 0;
    // The dialog's paint: begins it (erasing the background when asked) and ends it when the
    // surface goes.
    virtual std::unique_ptr<DrawSurface> BeginPaint() = 0;
    virtual std::unique_ptr<DrawSurface> GetDC(int id) = 0;
};

}  // namespace platform
