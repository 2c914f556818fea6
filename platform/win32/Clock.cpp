#include "platform/Clock.h"

#include <windows.h>

namespace platform {

LocalTime GetLocalTime() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace platform
