// The framework-style exceptions that the file and internet layers raise. Each operation that
// can raise one catches it itself; none ever leaves a component.
#pragma once

#include <cstddef>

#include "platform/String.h"

class CException {
public:
    virtual ~CException() = default;
    // Copies the readable error text into buf (capacity in characters, terminator included),
    // cut to fit. Returns false when there is no text.
    bool GetErrorMessage(char16_t* buf, size_t capacity) const;
    virtual CString GetErrorText() const = 0;
};

class CFileException : public CException {
public:
    enum Cause { none = 0, generic, fileNotFound, badPath, accessDenied, sharingViolation, diskFull,
                 endOfFile, badSeek, hardIO };

    CFileException(Cause cause, long osError, CString fileName, CString detail)
        : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)),
          m_strDetail(std::move(detail)) {}

    // "<file>: <operating system's description>", or the description alone.
    CString GetErrorText() const override;

    Cause m_cause;
    long m_lOsError;
    CString m_strFileName;
    CString m_strDetail;
};
