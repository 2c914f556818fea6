#include "tests/support/RecordingHost.h"

#include <algorithm>

#include "platform/Codepage.h"

namespace testing_support {
namespace {

std::string Utf8(const CString& text) {
    return platform::WideToUtf8(text.View());
}

class RecordingSurface : public platform::DrawSurface {
public:
    RecordingSurface(RecordingHost& host, int target) : m_host(host), m_target(target) {}
    ~RecordingSurface() override {
        if (m_target < 0)
            m_host.Note("EndPaint");
    }
    HDC GetHdc() const override {
        return reinterpret_cast<HDC>(const_cast<RecordingSurface*>(this));
    }
    void FillSolidRect(const CRect& rect, COLORREF colour) override {
        m_host.fills.push_back({m_target, rect, colour});
    }
    bool DrawIcon(int x, int y, HICON icon) override {
        m_host.icons.push_back({m_target, x, y, icon});
        return icon != nullptr;
    }

private:
    RecordingHost& m_host;
    int m_target;
};

}  // namespace

size_t RecordingHost::Count(const std::string& event) const {
    return static_cast<size_t>(std::count(events.begin(), events.end(), event));
}

long RecordingHost::IndexOf(const std::string& event) const {
    const auto it = std::find(events.begin(), events.end(), event);
    return it == events.end() ? -1 : static_cast<long>(it - events.begin());
}

void RecordingHost::SetWindowText(int id, const CString& text) {
    m_texts[id] = text;
    if (id == 0)
        titles.push_back(Utf8(text));
    Note("Title " + std::to_string(id) + " " + Utf8(text));
}

CString RecordingHost::GetWindowText(int id) const {
    const auto it = m_texts.find(id);
    return it == m_texts.end() ? CString() : it->second;
}

CRect RecordingHost::GetClientRect(int id) const {
    const auto it = clientRects.find(id);
    return it == clientRects.end() ? CRect() : it->second;
}

void RecordingHost::SetFont(int id, HFONT font, bool redraw) {
    fonts[id] = font;
    Note("SetFont " + std::to_string(id) + (redraw ? " redraw" : ""));
}

void RecordingHost::Invalidate(int id, bool erase) {
    Note("Invalidate " + std::to_string(id) + (erase ? " erase" : ""));
}

int RecordingHost::GetCheck(int id) const {
    const auto it = checks.find(id);
    return it == checks.end() ? 0 : it->second;
}

void RecordingHost::SetCheck(int id, int state) {
    checks[id] = state;
    Note("SetCheck " + std::to_string(id) + " " + std::to_string(state));
}

HICON RecordingHost::SetIcon(HICON icon, bool big) {
    HICON& slot = big ? bigIcon : smallIcon;
    HICON previous = slot;
    slot = icon;
    Note(big ? "SetIcon big" : "SetIcon small");
    return previous;
}

bool RecordingHost::SetTimer(uintptr_t timerId, UINT elapseMs) {
    timers[timerId] = elapseMs;
    Note("SetTimer " + std::to_string(timerId) + " " + std::to_string(elapseMs));
    return true;
}

bool RecordingHost::KillTimer(uintptr_t timerId) {
    Note("KillTimer " + std::to_string(timerId));
    return timers.erase(timerId) != 0;
}

int RecordingHost::MessageBox(const CString& text, const CString& caption, UINT type) {
    boxes.push_back({Utf8(text), Utf8(caption), type});
    Note("MessageBox " + Utf8(caption));
    return platform::kIdOk;
}

void RecordingHost::EndDialog(int code) {
    ended = true;
    result = code;
    Note("EndDialog " + std::to_string(code));
}

intptr_t RecordingHost::SendMessage(int id, UINT message, uintptr_t, intptr_t) {
    Note("SendMessage " + std::to_string(id) + " " + std::to_string(message));
    return 0;
}

std::unique_ptr<platform::DrawSurface> RecordingHost::BeginPaint() {
    Note("BeginPaint");
    return std::make_unique<RecordingSurface>(*this, -1);
}

std::unique_ptr<platform::DrawSurface> RecordingHost::GetDC(int id) {
    return std::make_unique<RecordingSurface>(*this, id);
}

}  // namespace testing_support
