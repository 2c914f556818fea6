// The private Java runtime beside the executable.
#pragma once

#include "platform/String.h"

// Full path of the runtime's virtual-machine library, or null when it is missing or the
// executable's path is unknown. Once found it is remembered: later calls touch no file. The
// pointer stays valid for the life of the process.
const char16_t* GetJvmPath();
// The same for an executable at exePath, without the memory (for tests and tools).
CString FindJvmBeside(const CString& exePath);
