// The launch window's resources: the icon file our script draws, the data the Linux windows
// are built from, and (Windows) what the resource compiler put into the executable, compared
// with that same data.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "app/LaunchDialogTemplate.h"
#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "platform/Resources.h"
#include "platform/Window.h"
#include "tests/support/TempDir.h"

namespace {

constexpr uint16_t kChinesePrc = 0x0804;
constexpr uint16_t kEnglishUs = 0x0409;

// The icon group as it must be: size and bits per pixel, in this order (0 is 256).
constexpr struct {
    int size;
    int bits;
} kIconImages[] = {{32, 4},  {16, 4},  {48, 8},  {32, 8},  {16, 8},  {0, 32}, {64, 32},
                   {48, 32}, {40, 32}, {32, 32}, {24, 32}, {20, 32}, {16, 32}};

uint16_t Word(std::span<const unsigned char> b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}
uint32_t Dword(std::span<const unsigned char> b, size_t at) {
    return static_cast<uint32_t>(Word(b, at) | (static_cast<uint32_t>(Word(b, at + 2)) << 16));
}
bool IsPng(std::span<const unsigned char> b) {
    return b.size() > 8 && std::memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0;
}

TEST(AppIcon, IconFileHasTheThirteenImagesAndA256PixelPng) {
    const std::string bytes = testing_support::ReadFileBytes(KESTROP_ICON_FILE);
    const std::span<const unsigned char> ico(reinterpret_cast<const unsigned char*>(bytes.data()),
                                             bytes.size());
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(Word(ico, 0), 0);
    EXPECT_EQ(Word(ico, 2), 1);  // an icon, not a cursor
    ASSERT_EQ(size_t{Word(ico, 4)}, std::size(kIconImages));
    for (size_t i = 0; i < std::size(kIconImages); ++i) {
        const size_t e = 6 + 16 * i;
        EXPECT_EQ(ico[e], kIconImages[i].size) << i;
        EXPECT_EQ(ico[e + 1], kIconImages[i].size) << i;
        EXPECT_EQ(Word(ico, e + 6), kIconImages[i].bits) << i;
        const uint32_t length = Dword(ico, e + 8);
        const uint32_t offset = Dword(ico, e + 12);
        ASSERT_LE(static_cast<size_t>(offset) + length, ico.size()) << i;
        const std::span<const unsigned char> image = ico.subspan(offset, length);
        if (kIconImages[i].size == 0) {
            EXPECT_TRUE(IsPng(image));
            EXPECT_EQ(Dword(image, 16), 0x00010000u);  // big-endian width 256 in IHDR
            continue;
        }
        // A bottom-up DIB twice the height (colour and mask), then its rows and the mask.
        EXPECT_EQ(Dword(image, 0), 40u) << i;
        EXPECT_EQ(static_cast<int>(Dword(image, 4)), kIconImages[i].size) << i;
        EXPECT_EQ(static_cast<int>(Dword(image, 8)), 2 * kIconImages[i].size) << i;
        EXPECT_EQ(Word(image, 14), kIconImages[i].bits) << i;
        const size_t n = static_cast<size_t>(kIconImages[i].size);
        const size_t palette =
            kIconImages[i].bits < 32 ? (size_t{1} << kIconImages[i].bits) * 4 : 0;
        const size_t colour = ((n * static_cast<size_t>(kIconImages[i].bits) + 31) / 32) * 4 * n;
        const size_t mask = ((n + 31) / 32) * 4 * n;
        EXPECT_EQ(length, 40 + palette + colour + mask) << i;
    }
}

TEST(AppIcon, LinkedImagesIncludeTheStandardSize) {
    if (platform::kTargetIsWindows)
        GTEST_SKIP() << "Windows reads its icon from the resource section";
    const platform::IconResource* icon = platform::FindIconResource(128);
    ASSERT_NE(icon, nullptr);
    const platform::IconImage* standard = icon->Pick(32);
    ASSERT_NE(standard, nullptr);
    EXPECT_EQ(standard->width, 32);
    EXPECT_EQ(icon->Pick(18)->width, 20) << "the next larger size";
    EXPECT_EQ(icon->Pick(512)->width, 64) << "the largest";
    // Opaque in the middle, transparent in the corner.
    EXPECT_EQ(standard->argb[16 * 32 + 16] >> 24, 0xFFu);
    EXPECT_EQ(standard->argb[0] >> 24, 0u);
}

// ---- The executable's resources (Windows) ------------------------------------------------

class ResourceReader {
public:
    explicit ResourceReader(std::span<const unsigned char> b) : m_b(b) {}
    uint16_t Word() {
        const uint16_t v = ::Word(m_b, m_at);
        m_at += 2;
        return v;
    }
    uint32_t Dword() {
        const uint32_t v = ::Dword(m_b, m_at);
        m_at += 4;
        return v;
    }
    int16_t Short() { return static_cast<int16_t>(Word()); }
    std::u16string String() {
        std::u16string s;
        for (char16_t c = static_cast<char16_t>(Word()); c != 0; c = static_cast<char16_t>(Word()))
            s += c;
        return s;
    }
    // A string or 0xFFFF and an ordinal, which comes back as "#<number>".
    std::u16string StringOrOrdinal() {
        if (::Word(m_b, m_at) == 0xFFFF) {
            m_at += 2;
            std::u16string ordinal(1, u'#');
            for (char digit : std::to_string(Word()))
                ordinal.push_back(static_cast<char16_t>(digit));
            return ordinal;
        }
        return String();
    }
    void AlignDword() { m_at = (m_at + 3) & ~size_t{3}; }
    void Skip(size_t n) { m_at += n; }

private:
    std::span<const unsigned char> m_b;
    size_t m_at = 0;
};

std::u16string ClassOrdinalOf(const char16_t* name) {
    const std::u16string_view n(name);
    if (n == u"button")
        return u"#128";
    if (n == u"static")
        return u"#130";
    return std::u16string(n);
}

TEST(ExecutableResources, DialogTemplateIsTheOneTheLinuxWindowsUse) {
    if (!platform::kTargetIsWindows)
        GTEST_SKIP() << "Linux programs have no resource section";
    const platform::DialogTemplate& t = kLaunchDialogTemplate;
    const auto raw = platform::FindRawResource(5 /* RT_DIALOG */, 102, kChinesePrc);
    ASSERT_FALSE(raw.empty()) << "dialog 102 in language 0804";
    ResourceReader r(raw);
    EXPECT_EQ(r.Word(), 1);       // DLGTEMPLATEEX version
    EXPECT_EQ(r.Word(), 0xFFFF);  // and signature
    r.Dword();                    // help id
    EXPECT_EQ(r.Dword(), t.exStyle);
    EXPECT_EQ(r.Dword(), t.style);
    ASSERT_EQ(size_t{r.Word()}, t.items.size());
    EXPECT_EQ(r.Short(), t.x);
    EXPECT_EQ(r.Short(), t.y);
    EXPECT_EQ(r.Short(), t.cx);
    EXPECT_EQ(r.Short(), t.cy);
    EXPECT_EQ(r.StringOrOrdinal(), u"");  // no menu
    EXPECT_EQ(r.StringOrOrdinal(), u"");  // the standard dialog class
    EXPECT_EQ(r.String(), std::u16string(t.title));
    EXPECT_EQ(r.Word(), t.pointSize);
    EXPECT_EQ(r.Word(), t.weight);
    const uint16_t italicAndCharset = r.Word();
    EXPECT_EQ(italicAndCharset & 0xFF, t.italic ? 1 : 0);
    EXPECT_EQ(italicAndCharset >> 8, t.charset);
    EXPECT_EQ(r.String(), std::u16string(t.fontFace));
    for (const platform::DialogItemTemplate& item : t.items) {
        r.AlignDword();
        r.Dword();  // help id
        EXPECT_EQ(r.Dword(), item.exStyle) << item.id;
        EXPECT_EQ(r.Dword(), item.style) << item.id;
        EXPECT_EQ(r.Short(), item.x) << item.id;
        EXPECT_EQ(r.Short(), item.y) << item.id;
        EXPECT_EQ(r.Short(), item.cx) << item.id;
        EXPECT_EQ(r.Short(), item.cy) << item.id;
        EXPECT_EQ(r.Dword(), uint32_t{item.id});
        EXPECT_EQ(r.StringOrOrdinal(), ClassOrdinalOf(item.windowClass)) << item.id;
        EXPECT_EQ(r.StringOrOrdinal(), std::u16string(item.text)) << item.id;
        r.Skip(r.Word());  // creation data
    }
}

TEST(ExecutableResources, LayoutRecordIconGroupAndManifest) {
    if (!platform::kTargetIsWindows)
        GTEST_SKIP() << "Linux programs have no resource section";
    const auto layout = platform::FindRawResource(u"AFX_DIALOG_LAYOUT", 102, kChinesePrc);
    ASSERT_EQ(layout.size(), 2u) << "an empty layout record: one zero word";
    EXPECT_EQ(Word(layout, 0), 0);

    const auto group = platform::FindRawResource(14 /* RT_GROUP_ICON */, 128, kChinesePrc);
    ASSERT_EQ(group.size(), 6 + 14 * std::size(kIconImages));
    EXPECT_EQ(Word(group, 2), 1);
    ASSERT_EQ(size_t{Word(group, 4)}, std::size(kIconImages));
    for (size_t i = 0; i < std::size(kIconImages); ++i) {
        const size_t e = 6 + 14 * i;
        EXPECT_EQ(group[e], kIconImages[i].size) << i;
        EXPECT_EQ(group[e + 1], kIconImages[i].size) << i;
        EXPECT_EQ(Word(group, e + 6), kIconImages[i].bits) << i;
        const auto image =
            platform::FindRawResource(3 /* RT_ICON */, Word(group, e + 12), kChinesePrc);
        ASSERT_EQ(image.size(), Dword(group, e + 8)) << i;
        EXPECT_EQ(IsPng(image), kIconImages[i].size == 0) << i;
    }

    const auto manifest = platform::FindRawResource(24 /* RT_MANIFEST */, 1, kEnglishUs);
    ASSERT_FALSE(manifest.empty());
    const std::string text(manifest.begin(), manifest.end());
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                             "publicKeyToken=\"6595b64144ccf1df\"", "language=\"*\"",
                             "level=\"asInvoker\"", "uiAccess=\"false\"", ">true</dpiAware>"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }
    // The product is 32-bit; the 64-bit build that runs these tests asks for its own kind.
    EXPECT_NE(text.find(sizeof(void*) == 4 ? "processorArchitecture=\"x86\""
                                           : "processorArchitecture=\"amd64\""),
              std::string::npos);
}

TEST(LinkedResources, DialogTemplateIsRegisteredUnderItsId) {
    EXPECT_EQ(platform::FindDialogTemplate(102)->items.size(), 5u);
    EXPECT_EQ(platform::FindDialogTemplate(103), nullptr);
}

}  // namespace
