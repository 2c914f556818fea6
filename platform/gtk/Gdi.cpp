#include "platform/gtk/Gdi.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/Codepage.h"

using platform::gtk::BrushObject;
using platform::gtk::FontObject;

namespace {
template <class T>
platform::GdiOwner Own(std::unique_ptr<T> object) {
    return platform::GdiOwner(object.release(),
                              [](void* p) { std::default_delete<T>()(static_cast<T*>(p)); });
}
}  // namespace

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
    if (m_hBrush)
        return FALSE;  // one object per CBrush
    auto brush = std::make_unique<BrushObject>(BrushObject{colour});
    m_hBrush = reinterpret_cast<HBRUSH>(brush.get());
    m_object = Own(std::move(brush));
    return TRUE;
}

BOOL CFont::CreatePointFont(int nPointSize, const char16_t* faceName) {
    if (m_hFont)
        return FALSE;
    const int height = -std::abs(platform::gtk::kScreenDpi * nPointSize / 720);
    auto font = std::make_unique<FontObject>(FontObject{CString(faceName), height});
    m_hFont = reinterpret_cast<HFONT>(font.get());
    m_object = Own(std::move(font));
    return TRUE;
}

namespace platform {

bool GetBrushColour(HBRUSH brush, COLORREF& colour) {
    if (!brush)
        return false;
    colour = reinterpret_cast<const BrushObject*>(brush)->colour;
    return true;
}

bool GetFontInfo(HFONT font, FontInfo& info) {
    if (!font)
        return false;
    const auto* f = reinterpret_cast<const FontObject*>(font);
    info.face = f->face;
    info.height = f->height;
    return true;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case kSmCxIcon:
        case kSmCyIcon:
            return 32;
        default:
            return 0;
    }
}

HICON LoadIconResource(UINT id) {
    return reinterpret_cast<HICON>(
        const_cast<IconResource*>(FindIconResource(static_cast<int>(id))));
}

void TraceLine(const char16_t* text) {
    std::fputs(WideToUtf8(text ? text : u"").c_str(), stderr);
    std::fflush(stderr);
}

bool InitCommonControls(unsigned) {
    return true;
}

}  // namespace platform

BOOL CWinApp::InitInstance() {
    // Linux has no restart manager to register with.
    return TRUE;
}

namespace platform {

std::span<const unsigned char> FindRawResource(int, int, uint16_t) {
    return {};
}
std::span<const unsigned char> FindRawResource(const char16_t*, int, uint16_t) {
    return {};
}

}  // namespace platform
