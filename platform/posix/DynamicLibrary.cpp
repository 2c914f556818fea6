#include "platform/DynamicLibrary.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "platform/posix/Path.h"

namespace platform {

bool DynamicLibrary::Load(const char16_t* path) {
    Free();
    m_nLoadError = 0;
    m_strLoadError.Empty();
    if (path == nullptr || *path == 0) {
        m_nLoadError = ENOENT;
        m_strLoadError = u"empty library path";
        return false;
    }
    const std::string native = posix::Native(path);
    dlerror();  // clear a stale message
    // Everything resolved now: a runtime with a missing dependency fails here, not later
    // inside the virtual machine.
    m_handle = dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle != nullptr)
        return true;
    const char* text = dlerror();
    m_strLoadError = posix::FromNative(text ? text : "unknown loader error");
    // The loader reports text only; the code says whether the file itself could be opened.
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_nLoadError = errno;
    } else {
        ::close(fd);
    }
    return false;
}

void* DynamicLibrary::Symbol(const char* name) const {
    if (m_handle == nullptr || name == nullptr)
        return nullptr;
    return dlsym(m_handle, name);
}

void DynamicLibrary::Free() {
    if (m_handle == nullptr)
        return;
    dlclose(std::exchange(m_handle, nullptr));
}

}  // namespace platform
