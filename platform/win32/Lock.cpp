#include "platform/Lock.h"

#include <windows.h>

namespace platform {

static_assert(sizeof(SRWLOCK) == sizeof(void*));

void StaticMutex::lock() { AcquireSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&m_srw)); }
void StaticMutex::unlock() { ReleaseSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&m_srw)); }

}  // namespace platform
