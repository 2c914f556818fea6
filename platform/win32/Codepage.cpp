#include "platform/Codepage.h"

#include <vector>

#include "platform/win32/Wide.h"

namespace platform {
namespace {

CString ToWide(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return CString();
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                      nullptr, 0);
    if (n <= 0) return CString();
    std::u16string out(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                        win32::W(out.data()), n);
    return CString(std::move(out));
}

}  // namespace

std::string WideToAnsi(std::u16string_view text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_ACP, 0, win32::W(text.data()), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, win32::W(text.data()), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

CString AnsiToWide(std::string_view bytes) { return ToWide(CP_ACP, bytes); }
CString ThreadAnsiToWide(std::string_view bytes) { return ToWide(CP_THREAD_ACP, bytes); }

namespace win32 {

CString SystemErrorText(DWORD code, HMODULE messageModule) {
    wchar_t* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                        (messageModule ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM);
    const DWORD n = FormatMessageW(flags, messageModule, code, 0, reinterpret_cast<wchar_t*>(&text),
                                   0, nullptr);
    CString result;
    if (n > 0 && text) {
        result = CString(U(text), static_cast<int>(n));
        result.TrimRight();
    }
    if (text) LocalFree(text);
    if (result.IsEmpty()) {
        wchar_t buf[32];
        wsprintfW(buf, L"error %lu", static_cast<unsigned long>(code));
        result = CString(U(buf));
    }
    return result;
}

}  // namespace win32
}  // namespace platform
