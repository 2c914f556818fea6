#include "platform/Thread.h"

#include "platform/Debug.h"

#include <memory>

#include "platform/win32/Wide.h"

namespace platform {
namespace {

struct Start {
    ThreadProc proc;
    void* parameter;
};

DWORD WINAPI Trampoline(LPVOID raw) {
    const std::unique_ptr<Start> start(static_cast<Start*>(raw));
    return static_cast<DWORD>(start->proc(start->parameter));
}

}  // namespace

bool StartDetachedThread(ThreadProc proc, void* parameter) {
    auto start = std::make_unique<Start>(Start{proc, parameter});
    HANDLE h = CreateThread(nullptr, 0, Trampoline, start.get(), 0, nullptr);
    if (h == nullptr) return false;
    start.release();  // the thread owns it now
    CloseHandle(h);   // never waited for
    return true;
}

void EndProcessNow(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

void DebugTrace(const char16_t* text) { OutputDebugStringW(win32::W(text)); }

}  // namespace platform
