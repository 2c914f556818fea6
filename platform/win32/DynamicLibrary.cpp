#include "platform/DynamicLibrary.h"

#include <utility>

#include "platform/win32/Wide.h"

namespace platform {

bool DynamicLibrary::Load(const char16_t* path) {
    Free();
    m_nLoadError = 0;
    m_strLoadError.Empty();
    if (path == nullptr || *path == 0) {
        m_nLoadError = ERROR_MOD_NOT_FOUND;
        m_strLoadError = win32::SystemErrorText(ERROR_MOD_NOT_FOUND);
        return false;
    }
    // The libraries the runtime depends on are searched in the current directory among others,
    // which is why callers choose it before the load.
    HMODULE module = LoadLibraryW(win32::W(path));
    if (module == nullptr) {
        const DWORD error = GetLastError();
        m_nLoadError = static_cast<long>(error);
        m_strLoadError = win32::SystemErrorText(error);
        return false;
    }
    m_handle = module;
    return true;
}

void* DynamicLibrary::Symbol(const char* name) const {
    if (m_handle == nullptr || name == nullptr)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_handle), name));
}

void DynamicLibrary::Free() {
    if (m_handle == nullptr)
        return;
    FreeLibrary(static_cast<HMODULE>(std::exchange(m_handle, nullptr)));
}

}  // namespace platform
