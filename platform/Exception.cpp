#include "platform/Exception.h"

#include <algorithm>

bool CException::GetErrorMessage(char16_t* buf, size_t capacity) const {
    if (buf == nullptr || capacity == 0) return false;
    const CString text = GetErrorText();
    const size_t n = std::min(static_cast<size_t>(text.GetLength()), capacity - 1);
    for (size_t i = 0; i < n; ++i) buf[i] = text.GetString()[i];
    buf[n] = 0;
    return !text.IsEmpty();
}

CString CFileException::GetErrorText() const {
    CString text = m_strFileName;
    if (!text.IsEmpty() && !m_strDetail.IsEmpty()) text += u": ";
    text += m_strDetail;
    return text;
}
