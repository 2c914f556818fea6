// Paths cross the Linux boundary as UTF-8.
#pragma once

#include <string>

#include "platform/Codepage.h"

namespace platform::posix {

inline std::string Native(const char16_t* path) {
    return WideToUtf8(path ? std::u16string_view(path) : std::u16string_view());
}
inline CString FromNative(const std::string& path) { return CString(Utf8ToWide(path)); }

}  // namespace platform::posix
