#pragma once

namespace platform {

struct LocalTime {
    int year;    // in full, e.g. 2026
    int month;   // 1 to 12
    int day;     // 1 to 31
    int hour;    // 0 to 23
    int minute;  // 0 to 59
    int second;  // 0 to 60
};

// The current calendar time in the local time zone.
LocalTime GetLocalTime();

}  // namespace platform
