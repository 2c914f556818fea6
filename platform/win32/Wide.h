// On Windows wchar_t is a UTF-16 code unit, so our text passes to the API unchanged.
#pragma once

#include <windows.h>

#include "platform/String.h"

namespace platform::win32 {

inline const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline wchar_t* W(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }
inline const char16_t* U(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }

// The system's own description of an error code, without the trailing line break.
CString SystemErrorText(DWORD code, HMODULE messageModule = nullptr);

// Owns a kernel handle and closes it.
class UniqueHandle {
public:
    explicit UniqueHandle(HANDLE h = nullptr) : m_h(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    HANDLE get() const { return m_h; }
    void reset(HANDLE h = nullptr) {
        if (m_h && m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
        m_h = h;
    }

private:
    HANDLE m_h;
};

}  // namespace platform::win32
