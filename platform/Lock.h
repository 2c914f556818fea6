// A mutex that needs no run-time construction, for objects usable before static
// initialisation. std::mutex is constexpr-constructible with glibc but not with winpthreads.
#pragma once

#ifdef _WIN32
namespace platform {

class StaticMutex {
public:
    constexpr StaticMutex() = default;
    StaticMutex(const StaticMutex&) = delete;
    StaticMutex& operator=(const StaticMutex&) = delete;
    void lock();
    void unlock();

private:
    void* m_srw = nullptr;  // an SRWLOCK, which is one pointer initialised to zero
};

}  // namespace platform
#else
#include <mutex>
namespace platform {
using StaticMutex = std::mutex;
}
#endif
