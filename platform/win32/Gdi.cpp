#include <cstdlib>

#include "platform/Debug.h"
#include "platform/Dialog.h"
#include "platform/Resources.h"
#include "platform/win32/Ui.h"

namespace {
void DeleteGdiObject(void* object) {
    DeleteObject(static_cast<HGDIOBJ>(object));
}
}  // namespace

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
    if (m_hBrush)
        return FALSE;  // one object per CBrush
    m_hBrush = ::CreateSolidBrush(colour);
    if (!m_hBrush)
        return FALSE;
    m_object = platform::GdiOwner(m_hBrush, DeleteGdiObject);
    return TRUE;
}

BOOL CFont::CreatePointFont(int nPointSize, const char16_t* faceName) {
    if (m_hFont)
        return FALSE;
    // Tenths of a point to pixels on the screen, as a negative character height.
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    LOGFONTW lf = {};
    lf.lfHeight = -std::abs(dpi * nPointSize / 720);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, platform::win32::W(faceName), LF_FACESIZE);
    m_hFont = CreateFontIndirectW(&lf);
    if (!m_hFont)
        return FALSE;
    m_object = platform::GdiOwner(m_hFont, DeleteGdiObject);
    return TRUE;
}

BOOL CWinApp::InitInstance() {
    if (m_dwRestartManagerSupportFlags & kRestartManagerSupportRestart) {
        // Restart after an update or a crash with the same (empty) command line.
        RegisterApplicationRestart(nullptr, 0);
    }
    return TRUE;
}

namespace platform {

bool GetBrushColour(HBRUSH brush, COLORREF& colour) {
    LOGBRUSH lb = {};
    if (!brush || GetObjectW(brush, sizeof lb, &lb) != sizeof lb || lb.lbStyle != BS_SOLID)
        return false;
    colour = lb.lbColor;
    return true;
}

bool GetFontInfo(HFONT font, FontInfo& info) {
    LOGFONTW lf = {};
    if (!font || GetObjectW(font, sizeof lf, &lf) != sizeof lf)
        return false;
    info.face = CString(win32::U(lf.lfFaceName));
    info.height = lf.lfHeight;
    return true;
}

int GetSystemMetrics(int index) {
    return ::GetSystemMetrics(index);
}

HICON LoadIconResource(UINT id) {
    return LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
}

void TraceLine(const char16_t* text) {
    DebugTrace(text);
}

bool InitCommonControls(unsigned classes) {
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof icc;
    icc.dwICC = classes;
    return InitCommonControlsEx(&icc) != FALSE;
}

}  // namespace platform

namespace platform {
namespace {
std::span<const unsigned char> RawResource(LPCWSTR type, int id, uint16_t language) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(module, found);  // resources live as long as the module
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return {static_cast<const unsigned char*>(data),
            static_cast<size_t>(SizeofResource(module, found))};
}
}  // namespace

std::span<const unsigned char> FindRawResource(int type, int id, uint16_t language) {
    return RawResource(MAKEINTRESOURCEW(type), id, language);
}
std::span<const unsigned char> FindRawResource(const char16_t* type, int id, uint16_t language) {
    return RawResource(win32::W(type), id, language);
}

}  // namespace platform
