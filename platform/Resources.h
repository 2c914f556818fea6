// Resources linked into the program as data: dialog templates and icon images. The Linux
// hosts build their windows from them; on Windows the same values are compiled into the
// executable's resource section, and the tests compare the two.
#pragma once

#include <cstdint>
#include <span>

namespace platform {

struct DialogItemTemplate {
    uint16_t id;
    const char16_t* windowClass;  // "static", "button"
    const char16_t* text;
    uint32_t style;  // WS_CHILD | WS_VISIBLE included
    uint32_t exStyle;
    int16_t x, y, cx, cy;  // dialog units
};

struct DialogTemplate {
    uint16_t id;
    const char16_t* title;
    uint32_t style;
    uint32_t exStyle;
    int16_t x, y, cx, cy;  // dialog units
    const char16_t* fontFace;
    uint16_t pointSize;
    uint16_t weight;
    bool italic;
    uint8_t charset;
    std::span<const DialogItemTemplate> items;
};

// One image of an icon, straight (not premultiplied) alpha, 0xAARRGGBB, rows top to bottom.
struct IconImage {
    int width;
    int height;
    const uint32_t* argb;
};

struct IconResource {
    uint16_t id;
    std::span<const IconImage> images;
    // The image of exactly that size, or else the smallest larger one, or else the largest.
    const IconImage* Pick(int size) const;
};

// A set of resources that joins the program's list when it is constructed (a namespace-scope
// object in the file that defines the data).
class ResourceModule {
public:
    ResourceModule(std::span<const DialogTemplate> dialogs, std::span<const IconResource> icons);
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

private:
    friend const DialogTemplate* FindDialogTemplate(int id);
    friend const IconResource* FindIconResource(int id);
    std::span<const DialogTemplate> m_dialogs;
    std::span<const IconResource> m_icons;
    ResourceModule* m_pNext;
};

const DialogTemplate* FindDialogTemplate(int id);
const IconResource* FindIconResource(int id);

// The bytes of a resource in the executable's resource section (Windows), by numeric or named
// type; empty when there is none, and always on Linux, whose programs have no such section.
std::span<const unsigned char> FindRawResource(int type, int id, uint16_t language);
std::span<const unsigned char> FindRawResource(const char16_t* type, int id, uint16_t language);

}  // namespace platform
