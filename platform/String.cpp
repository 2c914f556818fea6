#include "platform/String.h"

#include <algorithm>

bool IsWideSpace(char16_t ch) {
    switch (ch) {
        case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x20:
        case 0x85: case 0xA0: case 0x1680: case 0x2028: case 0x2029:
        case 0x202F: case 0x205F: case 0x3000:
            return true;
        default:
            return ch >= 0x2000 && ch <= 0x200A;
    }
}

int CString::Find(char16_t ch, int start) const {
    if (start < 0) start = 0;
    const size_t pos = m_str.find(ch, static_cast<size_t>(start));
    return pos == std::u16string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(std::u16string_view sub, int start) const {
    if (start < 0) start = 0;
    const size_t pos = m_str.find(sub, static_cast<size_t>(start));
    return pos == std::u16string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char16_t ch) const {
    const size_t pos = m_str.rfind(ch);
    return pos == std::u16string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int count) const {
    if (count <= 0) return CString();
    return CString(m_str.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first) const {
    if (first < 0) first = 0;
    if (first >= GetLength()) return CString();
    return CString(m_str.substr(static_cast<size_t>(first)));
}

CString CString::Mid(int first, int count) const {
    if (first < 0) first = 0;
    if (count <= 0 || first >= GetLength()) return CString();
    return CString(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
    if (count <= 0) return CString();
    if (count >= GetLength()) return *this;
    return CString(m_str.substr(m_str.size() - static_cast<size_t>(count)));
}

int CString::Replace(char16_t oldCh, char16_t newCh) {
    int replaced = 0;
    for (char16_t& c : m_str) {
        if (c == oldCh) {
            c = newCh;
            ++replaced;
        }
    }
    return replaced;
}

CString& CString::MakeLower() {
    for (char16_t& c : m_str) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return *this;
}

CString& CString::MakeUpper() {
    for (char16_t& c : m_str) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return *this;
}

CString& CString::TrimRight() {
    size_t end = m_str.size();
    while (end > 0 && IsWideSpace(m_str[end - 1])) --end;
    m_str.erase(end);
    return *this;
}

CString& CString::TrimLeft() {
    size_t begin = 0;
    while (begin < m_str.size() && IsWideSpace(m_str[begin])) ++begin;
    m_str.erase(0, begin);
    return *this;
}
