// CString: a UTF-16 string with value semantics, the one text type inside the program.
// Conversions to the operating system's encodings live in Codepage.h.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char16_t* text) : m_str(text ? text : u"") {}
    CString(const char16_t* text, int count) : m_str(text ? text : u"", text ? Clamp(count) : 0) {}
    CString(std::u16string_view text) : m_str(text) {}
    CString(std::u16string text) : m_str(std::move(text)) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    const char16_t* GetString() const { return m_str.c_str(); }
    operator const char16_t*() const { return m_str.c_str(); }
    std::u16string_view View() const { return m_str; }
    const std::u16string& Str() const { return m_str; }

    char16_t GetAt(int index) const { return m_str.at(static_cast<size_t>(index)); }
    char16_t operator[](int index) const { return GetAt(index); }
    void AppendChar(char16_t ch) { m_str.push_back(ch); }

    // Positions are in UTF-16 code units; -1 means "not found".
    int Find(char16_t ch, int start = 0) const;
    int Find(std::u16string_view sub, int start = 0) const;
    int ReverseFind(char16_t ch) const;

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    // Replaces every occurrence of one code unit by another; returns how many were replaced.
    int Replace(char16_t oldCh, char16_t newCh);
    // Only the ASCII letters change case: the digests and names we compare are ASCII.
    CString& MakeLower();
    CString& MakeUpper();
    // White space as the C library's iswspace knows it (see IsWideSpace).
    CString& TrimRight();
    CString& TrimLeft();
    CString& Trim() { return TrimRight().TrimLeft(); }

    // Ordinal comparison of the code units: <0, 0 or >0.
    int Compare(std::u16string_view other) const { return View().compare(other); }

    CString& operator+=(std::u16string_view text) {
        m_str.append(text);
        return *this;
    }
    CString& operator+=(const CString& text) {
        m_str.append(text.m_str);
        return *this;
    }
    CString& operator+=(const char16_t* text) { return *this += std::u16string_view(text ? text : u""); }
    CString& operator+=(char16_t ch) {
        m_str.push_back(ch);
        return *this;
    }

    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const char16_t* b) { return a += b; }
    friend CString operator+(const char16_t* a, const CString& b) { return CString(a) += b; }
    friend CString operator+(CString a, char16_t b) { return a += b; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char16_t* b) { return a.View() == (b ? b : u""); }

private:
    static size_t Clamp(int count) { return count < 0 ? 0 : static_cast<size_t>(count); }
    std::u16string m_str;
};

// The set the C runtime's iswspace accepts for UTF-16: tab to carriage return, space, and the
// Unicode separators. Kept here so both targets trim the same way.
bool IsWideSpace(char16_t ch);
