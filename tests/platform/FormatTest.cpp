#include "platform/Format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct IntCase {
    const char16_t* format;
    long long value;
    const char16_t* expected;
};

TEST(Format, IntegerConversionsFollowTheWideConventions) {
    const IntCase cases[] = {
        {u"%d", 0, u"0"},          {u"%d", -42, u"-42"},      {u"%02d", 5, u"05"},
        {u"%02d", 59, u"59"},      {u"%02d", 123, u"123"},    {u"%x", 255, u"ff"},
        {u"%X", 255, u"FF"},       {u"%5d", 42, u"   42"},    {u"%-5d|", 42, u"42   |"},
        {u"%05d", -42, u"-0042"},  {u"%.3d", 7, u"007"},      {u"%u", 4000000000LL, u"4000000000"},
    };
    for (const IntCase& c : cases) {
        const fmt::Arg args[] = {fmt::MakeArg(c.value)};
        char16_t out[64];
        const fmt::Result r = fmt::VFormatBounded(out, 64, c.format, args);
        EXPECT_TRUE(r.Ok()) << std::u16string_view(c.format).size();
        EXPECT_EQ(std::u16string(out), std::u16string(c.expected));
    }
}

TEST(Format, NegativeIntInHexShowsItsThirtyTwoBitPattern) {
    EXPECT_EQ(fmt::Format(u"%x", -1), CString(u"ffffffff"));
    EXPECT_EQ(fmt::Format(u"%u", -1), CString(u"4294967295"));
}

TEST(Format, TextAndPercent) {
    const CString name(u"中文");
    EXPECT_EQ(fmt::Format(u"%s=%d%%", name, 42), CString(u"中文=42%"));
    EXPECT_EQ(fmt::Format(u"[%s]", static_cast<const char16_t*>(nullptr)), CString(u"[(null)]"));
    EXPECT_EQ(fmt::Format(u"%.2s|%4s", u"abcdef", u"x"), CString(u"ab|   x"));
    EXPECT_EQ(fmt::Format(u"%s%s  %d%%   %s", u"Quorvia", u"4.2.0.0", 42, u".."),
              CString(u"Quorvia4.2.0.0  42%   .."));
}

TEST(Format, BoundedOutputIsCutTerminatedAndReported) {
    char16_t out[6];
    for (char16_t& c : out) c = u'#';
    const fmt::Result r = fmt::FormatBounded(out, 5, u"%s", u"abcdefgh");
    EXPECT_TRUE(r.truncated);
    EXPECT_EQ(r.length, 4u);
    EXPECT_EQ(std::u16string(out), u"abcd");
    EXPECT_EQ(out[5], u'#');  // nothing written past the capacity

    const fmt::Result exact = fmt::FormatBounded(out, 5, u"%d", 1234);
    EXPECT_TRUE(exact.Ok());
    EXPECT_EQ(std::u16string(out), u"1234");

    EXPECT_TRUE(fmt::FormatBounded(out, 0, u"x").truncated);
}

TEST(Format, RunTimeFormatsThatDoNotMatchTheirArgumentsAreRejected) {
    const fmt::Arg one[] = {fmt::MakeArg(7)};
    const fmt::Arg text[] = {fmt::MakeArg(u"x")};
    char16_t out[32];
    struct Case {
        const char16_t* format;
        std::span<const fmt::Arg> args;
    } cases[] = {
        {u"%s", one},  // wrong kind
        {u"%d", text},
        {u"%d %d", one},  // too few arguments
        {u"%", one},      // dangling percent
        {u"%q", one},     // unknown conversion
        {u"%99999d", one},
        {nullptr, one},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(fmt::VFormatBounded(out, 32, c.format, c.args).invalid);
    }
}

}  // namespace
