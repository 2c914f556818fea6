// A window host with no window: it answers from the values a test gives it and writes every
// call into one list of events, so a test can check what a dialog did and in which order.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Dialog.h"

namespace testing_support {

struct FillCall {
    int target;  // control id the context was opened on; -1 for the paint context
    CRect rect;
    COLORREF colour;
};

struct IconCall {
    int target;
    int x;
    int y;
    HICON icon;
};

struct BoxCall {
    std::string text;  // UTF-8
    std::string caption;
    UINT type;
};

class RecordingHost : public platform::DialogHost {
public:
    // Events, as text: "SetTimer 1 50", "KillTimer 1", "Title <text>", "Invalidate 0 erase",
    // "EndDialog 1", "MessageBox <caption>", "BeginPaint", "SendMessage 39", ... Tests add
    // their own (for example from a recording launcher) with Note().
    std::vector<std::string> events;
    std::vector<std::string> titles;
    std::vector<FillCall> fills;
    std::vector<IconCall> icons;
    std::vector<BoxCall> boxes;
    std::map<int, CRect> clientRects;  // answers of GetClientRect; missing ids are empty
    std::map<int, int> checks;
    std::map<int, HFONT> fonts;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    bool iconic = false;
    bool ended = false;
    int result = 0;
    std::map<uintptr_t, UINT> timers;

    void Note(const std::string& event) { events.push_back(event); }
    size_t Count(const std::string& event) const;
    // Position of the first event equal to event, or -1.
    long IndexOf(const std::string& event) const;

    HWND GetHwnd(int) const override { return nullptr; }
    bool HasControl(int id) const override { return id == 0 || clientRects.count(id) != 0; }
    void SetWindowText(int id, const CString& text) override;
    CString GetWindowText(int id) const override;
    CRect GetClientRect(int id) const override;
    CRect GetWindowRect(int id) const override { return GetClientRect(id); }
    void SetFont(int id, HFONT font, bool redraw) override;
    void Invalidate(int id, bool erase) override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    HICON SetIcon(HICON icon, bool big) override;
    bool IsIconic() const override { return iconic; }
    bool SetTimer(uintptr_t timerId, UINT elapseMs) override;
    bool KillTimer(uintptr_t timerId) override;
    int MessageBox(const CString& text, const CString& caption, UINT type) override;
    void EndDialog(int code) override;
    intptr_t SendMessage(int id, UINT message, uintptr_t wParam, intptr_t lParam) override;
    std::unique_ptr<platform::DrawSurface> BeginPaint() override;
    std::unique_ptr<platform::DrawSurface> GetDC(int id) override;

private:
    std::map<int, CString> m_texts;
};

}  // namespace testing_support
