#include "env/VersionStrings.h"

#include <cstdint>
#include <mutex>

#include "platform/Format.h"
#include "platform/VersionInfo.h"

namespace {

// One cache per string. The lock makes the first fill safe when the window's timer and the
// update worker ask at the same moment; an empty cache means "not read yet" and is retried.
struct Cache {
    std::mutex lock;
    CString value;
};

Cache& VersionCache() {
    static Cache cache;
    return cache;
}

Cache& NameCache() {
    static Cache cache;
    return cache;
}

}  // namespace

CString GetProductVersionString() {
    Cache& cache = VersionCache();
    const std::lock_guard<std::mutex> hold(cache.lock);
    if (cache.value.IsEmpty()) {
        uint16_t f[4] = {};
        if (platform::ReadProductVersion(f)) {
            char16_t text[32] = {};
            fmt::FormatBounded(text, 32, u"%d.%d.%d.%d", f[0], f[1], f[2], f[3]);
            cache.value = CString(text);
        }
    }
    return cache.value;
}

CString GetProductNameString() {
    Cache& cache = NameCache();
    const std::lock_guard<std::mutex> hold(cache.lock);
    if (cache.value.IsEmpty()) {
        CString name;
        if (platform::ReadProductName(name)) cache.value = name;
    }
    return cache.value;
}
