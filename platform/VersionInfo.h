// The running executable's own version record: read from its version resource on Windows, and
// from the build's product values on Linux, which also generate that resource.
#pragma once

#include <cstdint>

#include "platform/String.h"

namespace platform {

// The four 16-bit fields of the product version (not the file version).
bool ReadProductVersion(uint16_t (&fields)[4]);
// ProductName from the string table of the first listed translation.
bool ReadProductName(CString& name);

}  // namespace platform
