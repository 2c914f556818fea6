// One HTTP resource fetched whole into memory, with fixed time-outs, a status check and a log
// line at every step. Used on the update worker thread only.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/Exception.h"
#include "platform/String.h"

// A transport failure of one fetch: the client's code and its readable text. Raised and
// caught inside CHttpBuffer::Fetch; it never reaches the callers.
class CInternetException : public CException {
public:
    CInternetException(long error, CString text) : m_dwError(error), m_strText(std::move(text)) {}
    CString GetErrorText() const override { return m_strText; }

    long m_dwError;  // WinInet or libcurl code; 0 for a fault found in the response itself

private:
    CString m_strText;
};

class CHttpBuffer {
public:
    struct FreeBlock {
        void operator()(unsigned char* p) const { std::free(p); }
    };
    using Block = std::unique_ptr<unsigned char[], FreeBlock>;

    CHttpBuffer() = default;
    CHttpBuffer(const CHttpBuffer&) = delete;
    CHttpBuffer& operator=(const CHttpBuffer&) = delete;

    // One GET of url. True when the whole body of a 2xx response is in the buffer; false
    // otherwise, with the reason in the log and the buffer as it was before the call.
    bool Fetch(const char16_t* url);
    // Up to three Fetch attempts, one right after the other; true at the first success.
    bool FetchWithRetry(const char16_t* url);
    // The body up to its first zero byte, each byte one character of the same value.
    CString ToString() const;

    const unsigned char* Data() const { return m_pData.get(); }

    // The body of the last successful fetch in a block of m_nLength + 1 bytes, the last one
    // zero, so it also reads as a C string. Null before the first success.
    Block m_pData;
    int32_t m_nLength = 0;
};
