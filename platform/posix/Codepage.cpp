#include "platform/Codepage.h"

// Linux's "ANSI code page" is UTF-8 for every thread.
namespace platform {

std::string WideToAnsi(std::u16string_view text) {
    // UTF-8 represents everything but unpaired surrogates; those become the default character,
    // as WideCharToMultiByte does for what a code page cannot hold.
    std::u16string copy(text);
    for (size_t i = 0; i < copy.size(); ++i) {
        const char16_t c = copy[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < copy.size() && copy[i + 1] >= 0xDC00 &&
            copy[i + 1] <= 0xDFFF) {
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            copy[i] = u'?';
        }
    }
    return WideToUtf8(copy);
}

CString AnsiToWide(std::string_view bytes) { return CString(Utf8ToWide(bytes)); }
CString ThreadAnsiToWide(std::string_view bytes) { return CString(Utf8ToWide(bytes)); }

}  // namespace platform
