// Text conversions at the boundary to the operating system. The "ANSI code page" is CP_ACP on
// Windows and UTF-8 on Linux.
#pragma once

#include <string>
#include <string_view>

#include "platform/String.h"

namespace platform {

// Wide text to the system ANSI code page; characters it cannot represent become its default
// character ('?').
std::string WideToAnsi(std::u16string_view text);
// Bytes in the system ANSI code page (CP_ACP) to wide text. An invalid sequence yields an empty
// string, as a failed MultiByteToWideChar does.
CString AnsiToWide(std::string_view bytes);
// The same for the calling thread's ANSI code page (CP_THREAD_ACP; UTF-8 on Linux).
CString ThreadAnsiToWide(std::string_view bytes);

// UTF-8 for the Linux boundary; both targets have them. Unpaired surrogates and invalid bytes
// become U+FFFD.
std::string WideToUtf8(std::u16string_view text);
std::u16string Utf8ToWide(std::string_view bytes);

}  // namespace platform
