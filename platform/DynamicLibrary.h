// A shared library loaded into the process at run time (the private Java runtime's
// virtual-machine library): loaded by path, its exports looked up by name, unloaded when the
// object goes away.
#pragma once

#include "platform/String.h"

namespace platform {

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary() { Free(); }
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;
    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;

    // Loads the library at path together with the libraries it depends on. False on failure;
    // GetLoadError and GetLoadErrorText then tell why.
    bool Load(const char16_t* path);
    bool IsLoaded() const { return m_handle != nullptr; }

    // The address exported under name, or null (also when nothing is loaded).
    void* Symbol(const char* name) const;

    // Drops this object's reference; the system unloads the library when no other load of it
    // remains.
    void Free();
    // Forgets the library without unloading it, for code that may still run inside it (a
    // runtime's threads); it stays until the process ends.
    void KeepLoaded() { m_handle = nullptr; }

    // Why the last Load failed: the system's error code (GetLastError on Windows; on Linux,
    // whose loader has no codes, errno of opening the file, 0 when the file opens but is no
    // loadable library) and the loader's own description.
    long GetLoadError() const { return m_nLoadError; }
    const CString& GetLoadErrorText() const { return m_strLoadError; }

private:
    void* m_handle = nullptr;
    long m_nLoadError = 0;
    CString m_strLoadError;
};

}  // namespace platform
