#include "platform/Http.h"

// <wininet.h> needs the types of <windows.h>, which Wide.h brings.
#include "platform/win32/Wide.h"

#include <wininet.h>

#include <string>
#include <vector>

namespace platform::http {
namespace {

// Owns one WinInet handle (session, connection or request) and closes it.
class InetHandle {
public:
    explicit InetHandle(HINTERNET h = nullptr) : m_h(h) {}
    ~InetHandle() {
        if (m_h)
            InternetCloseHandle(m_h);
    }
    InetHandle(const InetHandle&) = delete;
    InetHandle& operator=(const InetHandle&) = delete;
    HINTERNET get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }

private:
    HINTERNET m_h;
};

constexpr DWORD kReadPiece = 256 * 1024;

// WinInet's codes (12000 and up) have their texts in wininet.dll's message table; anything
// else comes from the system's.
CString InetErrorText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                        FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM;
    const DWORD n = FormatMessageW(flags, GetModuleHandleW(L"wininet.dll"), code, 0,
                                   reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    CString result;
    if (n > 0 && text) {
        result = CString(win32::U(text), static_cast<int>(n));
        result.TrimRight();
    }
    if (text)
        LocalFree(text);
    wchar_t number[32];
    wsprintfW(number, L"error %lu", static_cast<unsigned long>(code));
    if (result.IsEmpty())
        return CString(win32::U(number));
    return result + u" (" + CString(win32::U(number)) + u")";
}

Outcome Failure(DWORD code) {
    Outcome out;
    out.kind = Outcome::Failed;
    out.errorCode = static_cast<long>(code);
    out.errorText = InetErrorText(code);
    return out;
}

Outcome LastFailure() {
    return Failure(GetLastError());
}

Outcome Finished(Outcome::Kind kind) {
    Outcome out;
    out.kind = kind;
    return out;
}

// Wine honours the receive time-out only on connection and request handles, so every handle
// gets all of them.
void SetTimeouts(HINTERNET h, const Timeouts& t) {
    const struct {
        DWORD option;
        DWORD value;
    } options[] = {
        {INTERNET_OPTION_CONNECT_TIMEOUT, t.connectMs},
        {INTERNET_OPTION_SEND_TIMEOUT, t.sendMs},
        {INTERNET_OPTION_RECEIVE_TIMEOUT, t.receiveMs},
        {INTERNET_OPTION_DATA_SEND_TIMEOUT, t.sendMs},
        {INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, t.receiveMs},
    };
    for (const auto& o : options) {
        DWORD value = o.value;
        InternetSetOptionW(h, o.option, &value, sizeof value);
    }
}

// The announced body length: -1 without the header, INT64_MAX when it does not fit.
bool QueryContentLength(HINTERNET request, int64_t& length) {
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) {
        const DWORD err = GetLastError();
        if (err == ERROR_HTTP_HEADER_NOT_FOUND) {
            length = -1;
            return true;
        }
        if (err == ERROR_INSUFFICIENT_BUFFER) {  // more digits than any length we could hold
            length = INT64_MAX;
            return true;
        }
        return false;
    }
    const wchar_t* p = text;
    while (*p == L' ' || *p == L'\t')
        ++p;
    if (*p < L'0' || *p > L'9') {
        SetLastError(ERROR_HTTP_INVALID_HEADER);
        return false;
    }
    int64_t value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        const int digit = *p - L'0';
        value = value > (INT64_MAX - digit) / 10 ? INT64_MAX : value * 10 + digit;
    }
    length = value;
    return true;
}

}  // namespace

Outcome Get(const Request& request, Receiver& receiver) {
    const wchar_t* url = win32::W(request.url ? request.url : u"");
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;  // non-zero: point into the URL instead of copying
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(url, 0, 0, &parts))
        return LastFailure();
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        return Failure(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength);
    if (parts.lpszExtraInfo)
        object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty())
        object = L"/";

    // A session of its own per exchange: nothing carries over to the next attempt.
    InetHandle session(
        InternetOpenW(win32::W(request.agent), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session)
        return LastFailure();
    SetTimeouts(session.get(), request.timeouts);

    InetHandle connection(InternetConnectW(session.get(), host.c_str(), parts.nPort, nullptr,
                                           nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection)
        return LastFailure();
    SetTimeouts(connection.get(), request.timeouts);

    // Always from the origin server, never written to the cache; redirects are followed, also
    // between http and https, as libcurl does on Linux.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                  INTERNET_FLAG_TRANSFER_BINARY | INTERNET_FLAG_NO_UI |
                  INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS)
        flags |= INTERNET_FLAG_SECURE;
    InetHandle req(HttpOpenRequestW(connection.get(), L"GET", object.c_str(), nullptr, nullptr,
                                    nullptr, flags, 0));
    if (!req)
        return LastFailure();
    SetTimeouts(req.get(), request.timeouts);

    // The one exchange of this attempt.
    if (!HttpSendRequestW(req.get(), nullptr, 0, nullptr, 0))
        return LastFailure();

    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(req.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr)) {
        return LastFailure();
    }
    int64_t length = -1;
    if (!QueryContentLength(req.get(), length))
        return LastFailure();
    if (!receiver.OnResponse(static_cast<int>(status), length))
        return Finished(Outcome::Stopped);

    std::vector<unsigned char> piece(kReadPiece);
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(req.get(), piece.data(), kReadPiece, &got))
            return LastFailure();
        if (got == 0)
            break;
        if (!receiver.OnBody(piece.data(), got))
            return Finished(Outcome::Stopped);
    }
    return Finished(Outcome::Completed);
}

}  // namespace platform::http
