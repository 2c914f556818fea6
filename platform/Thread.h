// The update worker's thread: started detached, never joined.
#pragma once

namespace platform {

using ThreadProc = unsigned long (*)(void* parameter);

// Starts proc(parameter) on a new thread with the default stack; the thread is not kept.
bool StartDetachedThread(ThreadProc proc, void* parameter);

// Ends the process at once, without running static destructors.
[[noreturn]] void EndProcessNow(int exitCode);

}  // namespace platform
