#include "platform/Format.h"

namespace fmt {
namespace {

// Where the characters go: a fixed buffer that stops at its capacity, or a growing string.
class Sink {
public:
    Sink(char16_t* dst, size_t capacity) : m_dst(dst), m_room(capacity ? capacity - 1 : 0) {}
    explicit Sink(std::u16string& out) : m_out(&out) {}

    void Put(char16_t c) {
        if (m_out) {
            m_out->push_back(c);
            ++m_length;
        } else if (m_length < m_room) {
            m_dst[m_length++] = c;
        } else {
            m_truncated = true;
        }
    }
    void Put(const char16_t* s, size_t n) {
        for (size_t i = 0; i < n; ++i) Put(s[i]);
    }
    void Repeat(char16_t c, size_t n) {
        for (size_t i = 0; i < n; ++i) Put(c);
    }
    Result Finish(bool invalid) {
        if (!m_out && m_dst) m_dst[m_length] = 0;
        return Result{m_length, m_truncated, invalid};
    }
    bool Full() const { return m_truncated; }

private:
    char16_t* m_dst = nullptr;
    size_t m_room = 0;
    std::u16string* m_out = nullptr;
    size_t m_length = 0;
    bool m_truncated = false;
};

struct Conversion {
    bool left = false;
    bool zero = false;
    size_t width = 0;
    bool hasPrecision = false;
    size_t precision = 0;
    char16_t type = 0;
};

// Reads the part after '%'; false when the conversion is not one we know.
bool ParseConversion(const char16_t*& f, Conversion& conv) {
    for (;; ++f) {
        if (*f == u'-') {
            conv.left = true;
        } else if (*f == u'0') {
            conv.zero = true;
        } else {
            break;
        }
    }
    // Widths beyond this are almost certainly a mistake; they would only produce padding.
    constexpr size_t kMaxWidth = 4096;
    while (*f >= u'0' && *f <= u'9') {
        conv.width = conv.width * 10 + static_cast<size_t>(*f++ - u'0');
        if (conv.width > kMaxWidth) return false;
    }
    if (*f == u'.') {
        ++f;
        conv.hasPrecision = true;
        while (*f >= u'0' && *f <= u'9') {
            conv.precision = conv.precision * 10 + static_cast<size_t>(*f++ - u'0');
            if (conv.precision > kMaxWidth) return false;
        }
    }
    conv.type = *f;
    if (conv.type == 0) return false;
    ++f;
    switch (conv.type) {
        case u's': case u'd': case u'i': case u'u': case u'x': case u'X':
            return true;
        default:
            return false;
    }
}

void PutPadded(Sink& sink, const Conversion& conv, const char16_t* body, size_t n, bool allowZero,
               char16_t sign) {
    const size_t total = n + (sign ? 1 : 0);
    const size_t pad = conv.width > total ? conv.width - total : 0;
    if (!conv.left && !(conv.zero && allowZero)) sink.Repeat(u' ', pad);
    if (sign) sink.Put(sign);
    if (!conv.left && conv.zero && allowZero) sink.Repeat(u'0', pad);
    sink.Put(body, n);
    if (conv.left) sink.Repeat(u' ', pad);
}

void PutInteger(Sink& sink, const Conversion& conv, const Arg& arg) {
    unsigned long long magnitude;
    char16_t sign = 0;
    const bool asSigned = (conv.type == u'd' || conv.type == u'i');
    if (asSigned && arg.kind == ArgKind::Signed && arg.integer < 0) {
        sign = u'-';
        magnitude = 0ULL - static_cast<unsigned long long>(arg.integer);
    } else {
        magnitude = static_cast<unsigned long long>(arg.integer);
        if (!asSigned && arg.kind == ArgKind::Signed && arg.bytes < 8) {
            // %x and %u show a negative int as its unsigned bit pattern.
            magnitude &= (1ULL << (arg.bytes * 8)) - 1;
        }
    }
    const unsigned base = (conv.type == u'x' || conv.type == u'X') ? 16 : 10;
    const char16_t* digits = conv.type == u'X' ? u"0123456789ABCDEF" : u"0123456789abcdef";
    char16_t buf[24 + 4096];
    size_t n = 0;
    char16_t rev[24];
    size_t r = 0;
    do {
        rev[r++] = digits[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);
    if (conv.hasPrecision && conv.precision == 0 && r == 1 && rev[0] == u'0') r = 0;
    const size_t minDigits = conv.hasPrecision ? conv.precision : 0;
    while (n + r < minDigits) buf[n++] = u'0';
    while (r > 0) buf[n++] = rev[--r];
    PutPadded(sink, conv, buf, n, !conv.hasPrecision, sign);
}

void PutText(Sink& sink, const Conversion& conv, const Arg& arg) {
    const char16_t* s = arg.text ? arg.text : u"(null)";
    size_t n = arg.text ? arg.textLength : 6;
    if (conv.hasPrecision && conv.precision < n) n = conv.precision;
    PutPadded(sink, conv, s, n, false, 0);
}

Result Run(Sink& sink, const char16_t* f, std::span<const Arg> args) {
    if (f == nullptr) return sink.Finish(true);
    size_t next = 0;
    while (*f && !sink.Full()) {
        if (*f != u'%') {
            sink.Put(*f++);
            continue;
        }
        ++f;
        if (*f == u'%') {
            sink.Put(*f++);
            continue;
        }
        Conversion conv;
        if (!ParseConversion(f, conv) || next >= args.size()) return sink.Finish(true);
        const Arg& arg = args[next++];
        const bool wantsText = conv.type == u's';
        if (wantsText != (arg.kind == ArgKind::Text)) return sink.Finish(true);
        if (wantsText) {
            PutText(sink, conv, arg);
        } else {
            PutInteger(sink, conv, arg);
        }
    }
    return sink.Finish(false);
}

}  // namespace

Result VFormatBounded(char16_t* dst, size_t capacity, const char16_t* format,
                      std::span<const Arg> args) {
    Sink sink(dst, capacity);
    if (capacity == 0) return Result{0, true, format == nullptr};
    return Run(sink, format, args);
}

Result VFormatAppend(std::u16string& out, const char16_t* format, std::span<const Arg> args) {
    Sink sink(out);
    return Run(sink, format, args);
}

}  // namespace fmt
