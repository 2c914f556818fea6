// The two Linux window hosts: a GTK 3 window laid out from the dialog template, and a console
// view for when no display can be opened.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Resources.h"

namespace platform::gtk {

// Dialog units to pixels with the dialog font's average character width and height.
struct BaseUnits {
    int x = 6;
    int y = 13;
    CRect Map(int x0, int y0, int cx, int cy) const {
        const int left = MulDiv(x0, x, 4);
        const int top = MulDiv(y0, y, 8);
        return CRect(left, top, left + MulDiv(cx, x, 4), top + MulDiv(cy, y, 8));
    }
};

// True once GTK has opened the display; asked once per process.
bool OpenDisplay();

// Runs dialog modally in a GTK window; -1 when the template has a control we cannot make.
intptr_t RunGtkDialog(CDialogEx& dialog, const DialogTemplate& layout);

// Runs dialog in the terminal: the title line stands for the window, message boxes go to
// standard error and count as dismissed, and nothing is painted.
class ConsoleHost final : public DialogHost {
public:
    ConsoleHost(CDialogEx& dialog, const DialogTemplate& layout);
    intptr_t Run();

    HWND GetHwnd(int) const override { return nullptr; }
    bool HasControl(int id) const override;
    void SetWindowText(int id, const CString& text) override;
    CString GetWindowText(int id) const override;
    CRect GetClientRect(int id) const override;
    CRect GetWindowRect(int id) const override;
    void SetFont(int, HFONT, bool) override {}
    void Invalidate(int, bool) override {}
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    HICON SetIcon(HICON icon, bool big) override;
    bool IsIconic() const override { return false; }
    bool SetTimer(uintptr_t timerId, UINT elapseMs) override;
    bool KillTimer(uintptr_t timerId) override;
    int MessageBox(const CString& text, const CString& caption, UINT type) override;
    void EndDialog(int result) override;
    intptr_t SendMessage(int, UINT, uintptr_t, intptr_t) override { return 0; }
    std::unique_ptr<DrawSurface> BeginPaint() override { return nullptr; }
    std::unique_ptr<DrawSurface> GetDC(int) override { return nullptr; }

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        std::chrono::milliseconds period;
        Clock::time_point due;
    };
    void EndTitleLine();

    CDialogEx& m_dialog;
    const DialogTemplate& m_layout;
    BaseUnits m_units;
    std::map<int, CString> m_texts;
    std::map<int, int> m_checks;
    std::map<uintptr_t, Timer> m_timers;
    HICON m_icons[2] = {nullptr, nullptr};
    bool m_bTerminal;
    bool m_bTitlePending = false;  // a title line without its line end on the terminal
    CString m_lastLine;
    bool m_bEnded = false;
    int m_nResult = 0;
};

}  // namespace platform::gtk
