// Bounded printf-style formatting with the Windows wide conventions: %s takes a wide string,
// %d/%i/%u/%x/%X an integer, %% a percent sign; flags '-' and '0', a width and a precision.
// Formats written in the code are checked against their arguments at compile time; the
// run-time entry points reject a bad format instead of reading arguments that are not there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/String.h"

namespace fmt {

enum class ArgKind : unsigned char { Signed, Unsigned, Text };

struct Arg {
    ArgKind kind = ArgKind::Signed;
    unsigned char bytes = 4;  // size of the original integer, for %x/%u of a negative value
    long long integer = 0;
    const char16_t* text = nullptr;  // null prints "(null)", as the C runtime does
    size_t textLength = 0;
};

struct Result {
    size_t length = 0;       // characters written, the terminator not counted
    bool truncated = false;  // the output did not fit and was cut
    bool invalid = false;    // the format was rejected; the output stops where it went wrong
    bool Ok() const { return !truncated && !invalid; }
};

namespace detail {

template <class T>
using Plain = std::remove_cvref_t<T>;

template <class T>
constexpr bool kIsInteger = std::is_integral_v<Plain<T>> && !std::is_same_v<Plain<T>, bool> &&
                            !std::is_same_v<Plain<T>, char> && !std::is_same_v<Plain<T>, char16_t> &&
                            !std::is_same_v<Plain<T>, char32_t> && !std::is_same_v<Plain<T>, wchar_t>;

template <class T>
constexpr bool kIsText = std::is_convertible_v<const Plain<T>&, std::u16string_view> ||
                         std::is_convertible_v<const Plain<T>&, const char16_t*>;

template <class T>
consteval ArgKind KindOf() {
    static_assert(kIsInteger<T> || kIsText<T>,
                  "format arguments are integers or wide strings (char16_t*, CString)");
    if constexpr (kIsInteger<T>) {
        return std::is_signed_v<Plain<T>> ? ArgKind::Signed : ArgKind::Unsigned;
    } else {
        return ArgKind::Text;
    }
}

// Walks the format once; with kinds given, every conversion must match the next kind.
// Returns the number of conversions, or -1 when the format is malformed or mismatched.
constexpr int Scan(const char16_t* f, const ArgKind* kinds, int count) {
    if (f == nullptr) return -1;
    int used = 0;
    while (*f) {
        if (*f++ != u'%') continue;
        if (*f == u'%') {
            ++f;
            continue;
        }
        while (*f == u'-' || *f == u'0') ++f;
        while (*f >= u'0' && *f <= u'9') ++f;
        if (*f == u'.') {
            ++f;
            while (*f >= u'0' && *f <= u'9') ++f;
        }
        const char16_t conv = *f;
        if (conv == 0) return -1;
        ++f;
        bool wantsText;
        if (conv == u's') {
            wantsText = true;
        } else if (conv == u'd' || conv == u'i' || conv == u'u' || conv == u'x' || conv == u'X') {
            wantsText = false;
        } else {
            return -1;
        }
        if (used >= count) return -1;
        if ((kinds[used] == ArgKind::Text) != wantsText) return -1;
        ++used;
    }
    return used;
}

void FormatDoesNotMatchArguments();  // never defined: calling it at compile time is the error

}  // namespace detail

// A format string checked against the argument types at compile time.
template <class... Args>
class FormatString {
public:
    consteval FormatString(const char16_t* text) : m_text(text) {
        constexpr ArgKind kinds[sizeof...(Args) + 1] = {detail::KindOf<Args>()..., ArgKind::Signed};
        if (detail::Scan(text, kinds, static_cast<int>(sizeof...(Args))) !=
            static_cast<int>(sizeof...(Args))) {
            detail::FormatDoesNotMatchArguments();
        }
    }
    const char16_t* Get() const { return m_text; }

private:
    const char16_t* m_text;
};

template <class T>
Arg MakeArg(const T& value) {
    Arg a;
    a.kind = detail::KindOf<T>();
    if constexpr (detail::kIsInteger<T>) {
        a.bytes = static_cast<unsigned char>(sizeof(T));
        a.integer = static_cast<long long>(value);
    } else if constexpr (std::is_convertible_v<const T&, std::u16string_view> &&
                         !std::is_convertible_v<const T&, const char16_t*>) {
        const std::u16string_view v = value;
        a.text = v.data() ? v.data() : u"";
        a.textLength = v.size();
    } else if constexpr (std::is_same_v<detail::Plain<T>, CString>) {
        a.text = value.GetString();
        a.textLength = static_cast<size_t>(value.GetLength());
    } else {
        const char16_t* p = value;
        a.text = p;
        a.textLength = p ? std::char_traits<char16_t>::length(p) : 0;
    }
    return a;
}

// Run-time entry points: the format is checked as it is read.
Result VFormatBounded(char16_t* dst, size_t capacity, const char16_t* format,
                      std::span<const Arg> args);
Result VFormatAppend(std::u16string& out, const char16_t* format, std::span<const Arg> args);

// Formats into dst (capacity in characters, terminator included). The output is always
// terminated when capacity > 0; text that does not fit is cut and reported as truncated.
template <class... Args>
Result FormatBounded(char16_t* dst, size_t capacity,
                     FormatString<std::type_identity_t<Args>...> format, const Args&... args) {
    const Arg list[sizeof...(Args) + 1] = {MakeArg(args)..., Arg{}};
    return VFormatBounded(dst, capacity, format.Get(), std::span<const Arg>(list, sizeof...(Args)));
}

// Formats into a new string of whatever length the text needs.
template <class... Args>
CString Format(FormatString<std::type_identity_t<Args>...> format, const Args&... args) {
    const Arg list[sizeof...(Args) + 1] = {MakeArg(args)..., Arg{}};
    std::u16string out;
    VFormatAppend(out, format.Get(), std::span<const Arg>(list, sizeof...(Args)));
    return CString(std::move(out));
}

}  // namespace fmt
