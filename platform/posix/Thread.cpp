#include "platform/Thread.h"

#include "platform/Debug.h"

#include <pthread.h>
#include <unistd.h>

#include <memory>

namespace platform {
namespace {

struct Start {
    ThreadProc proc;
    void* parameter;
};

void* Trampoline(void* raw) {
    const std::unique_ptr<Start> start(static_cast<Start*>(raw));
    start->proc(start->parameter);
    return nullptr;
}

}  // namespace

bool StartDetachedThread(ThreadProc proc, void* parameter) {
    auto start = std::make_unique<Start>(Start{proc, parameter});
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) return false;
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    const int rc = pthread_create(&thread, &attr, Trampoline, start.get());
    pthread_attr_destroy(&attr);
    if (rc != 0) return false;
    start.release();  // the thread owns it now
    return true;
}

void EndProcessNow(int exitCode) { _exit(exitCode); }

void DebugTrace(const char16_t*) {}

}  // namespace platform
