#include "platform/DynamicLibrary.h"

#include <utility>

// The target-independent part: moving the ownership of a loaded library.
namespace platform {

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)),
      m_nLoadError(other.m_nLoadError),
      m_strLoadError(std::move(other.m_strLoadError)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
    if (this != &other) {
        Free();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_nLoadError = other.m_nLoadError;
        m_strLoadError = std::move(other.m_strLoadError);
    }
    return *this;
}

}  // namespace platform
