#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "platform/Codepage.h"
#include "platform/gtk/Hosts.h"

namespace platform::gtk {
namespace {

void Put(FILE* stream, const CString& text) {
    std::fputs(WideToUtf8(text.View()).c_str(), stream);
}

// The title without its animated tail of dots: what a log of the run needs to show.
CString WithoutDots(const CString& title) {
    int end = title.GetLength();
    while (end > 0 && (title[end - 1] == u'.' || title[end - 1] == u' '))
        --end;
    return title.Left(end);
}

}  // namespace

ConsoleHost::ConsoleHost(CDialogEx& dialog, const DialogTemplate& layout)
    : m_dialog(dialog), m_layout(layout), m_bTerminal(isatty(STDOUT_FILENO) == 1) {
    m_texts[0] = CString(layout.title);
    for (const DialogItemTemplate& item : layout.items)
        m_texts[item.id] = CString(item.text);
}

intptr_t ConsoleHost::Run() {
    m_dialog.AttachHost(this);
    m_dialog.OnInitDialog();
    while (!m_bEnded) {
        if (m_timers.empty()) {
            // Nothing will happen any more without input, and a console view takes none:
            // the window would wait for the user to close it, so do we (Ctrl+C).
            std::this_thread::sleep_for(std::chrono::seconds(1));
            continue;
        }
        auto next = m_timers.begin();
        for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
            if (it->second.due < next->second.due)
                next = it;
        }
        std::this_thread::sleep_until(next->second.due);
        const uintptr_t id = next->first;
        // A steady rate, as a system timer keeps it; a late tick does not push the next ones.
        next->second.due = std::max(next->second.due + next->second.period, Clock::now());
        Message m;
        m.msg = Msg::Timer;
        m.timerId = id;
        m_dialog.HandleMessage(m);
    }
    EndTitleLine();
    m_dialog.Detach();
    return m_nResult;
}

bool ConsoleHost::HasControl(int id) const {
    return m_texts.count(id) != 0;
}

void ConsoleHost::SetWindowText(int id, const CString& text) {
    m_texts[id] = text;
    if (id != 0 || m_bEnded)
        return;
    if (m_bTerminal) {
        std::fputs("\r", stdout);
        Put(stdout, text);
        std::fputs("\x1b[K", stdout);
        m_bTitlePending = true;
    } else {
        // Into a file or a pipe: one line per change that is more than the dots moving.
        const CString line = WithoutDots(text);
        if (line == m_lastLine)
            return;
        m_lastLine = line;
        Put(stdout, line);
        std::fputs("\n", stdout);
    }
    std::fflush(stdout);
}

CString ConsoleHost::GetWindowText(int id) const {
    const auto it = m_texts.find(id);
    return it == m_texts.end() ? CString() : it->second;
}

CRect ConsoleHost::GetClientRect(int id) const {
    if (id == 0)
        return m_units.Map(0, 0, m_layout.cx, m_layout.cy);
    for (const DialogItemTemplate& item : m_layout.items) {
        if (item.id == id)
            return m_units.Map(0, 0, item.cx, item.cy);
    }
    return CRect();
}

CRect ConsoleHost::GetWindowRect(int id) const {
    if (id == 0)
        return m_units.Map(m_layout.x, m_layout.y, m_layout.cx, m_layout.cy);
    for (const DialogItemTemplate& item : m_layout.items) {
        if (item.id == id)
            return m_units.Map(item.x, item.y, item.cx, item.cy);
    }
    return CRect();
}

int ConsoleHost::GetCheck(int id) const {
    const auto it = m_checks.find(id);
    return it == m_checks.end() ? 0 : it->second;
}

void ConsoleHost::SetCheck(int id, int state) {
    m_checks[id] = state;
}

HICON ConsoleHost::SetIcon(HICON icon, bool big) {
    HICON previous = m_icons[big ? 0 : 1];
    m_icons[big ? 0 : 1] = icon;
    return previous;
}

bool ConsoleHost::SetTimer(uintptr_t timerId, UINT elapseMs) {
    const std::chrono::milliseconds period(elapseMs == 0 ? 1 : elapseMs);
    m_timers[timerId] = Timer{period, Clock::now() + period};
    return true;
}

bool ConsoleHost::KillTimer(uintptr_t timerId) {
    return m_timers.erase(timerId) != 0;
}

int ConsoleHost::MessageBox(const CString& text, const CString& caption, UINT) {
    EndTitleLine();
    Put(stderr, caption);
    std::fputs("\n", stderr);
    Put(stderr, text);
    std::fputs("\n", stderr);
    std::fflush(stderr);
    return kIdOk;
}

void ConsoleHost::EndDialog(int result) {
    m_bEnded = true;
    m_nResult = result;
    m_timers.clear();  // an ended window gets no more ticks
    EndTitleLine();
}

void ConsoleHost::EndTitleLine() {
    if (!m_bTitlePending)
        return;
    m_bTitlePending = false;
    std::fputs("\n", stdout);
    std::fflush(stdout);
}

}  // namespace platform::gtk
