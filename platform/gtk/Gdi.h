// What the Linux handles point at: brushes and fonts made by CBrush and CFont, and the linked
// icon resources.
#pragma once

#include "platform/Dialog.h"
#include "platform/Resources.h"

namespace platform::gtk {

struct BrushObject {
    COLORREF colour;
};

struct FontObject {
    CString face;
    int height;  // negative: character height in pixels
};

// Pixels per logical inch of the screen; the dialog fonts are sized for it.
inline constexpr int kScreenDpi = 96;

inline const IconResource* IconOf(HICON icon) {
    return reinterpret_cast<const IconResource*>(icon);
}

}  // namespace platform::gtk
