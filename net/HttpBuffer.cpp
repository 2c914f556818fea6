#include "net/HttpBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "ProductInfo.h"
#include "env/Log.h"
#include "platform/Format.h"
#include "platform/Http.h"
#include "platform/Memory.h"

namespace {

constexpr platform::http::Timeouts kTimeouts{5000, 15000, 15000};
constexpr int kAttempts = 3;
// m_nLength is 32-bit and the block holds one byte more than the body.
constexpr int64_t kMaxBody = INT32_MAX - 1;
// First block for a body of unknown length; it doubles as needed.
constexpr size_t kUnknownLengthStart = 64 * 1024;

bool IsSuccess(int status) {
    return status >= 200 && status <= 299;
}

// Collects the body of one exchange in a block of its own; the buffer takes it over only when
// the whole body has arrived.
class BodyReceiver final : public platform::http::Receiver {
public:
    bool OnResponse(int status, int64_t length) override {
        m_bResponded = true;
        m_nStatus = status;
        m_nAnnounced = length;
        if (!IsSuccess(status))
            return false;  // the body of a failure is never read
        if (length > kMaxBody) {
            // INT64_MAX stands for a value beyond any integer.
            m_strFailure = length == INT64_MAX
                               ? CString(u"Content-Length is too large for memory")
                               : fmt::Format(u"Content-Length %d is too large for memory", length);
            return false;
        }
        const size_t first = length >= 0 ? static_cast<size_t>(length) : kUnknownLengthStart;
        // Zeroed, so every byte the body does not fill is zero.
        m_block.reset(static_cast<unsigned char*>(std::calloc(first + 1, 1)));
        if (!m_block) {
            m_strFailure =
                fmt::Format(u"cannot allocate %d bytes for the body", static_cast<int64_t>(first));
            return false;
        }
        platform::AdviseLargeBlock(m_block.get(), first + 1);
        m_nCapacity = first;
        return true;
    }

    bool OnBody(const void* data, size_t size) override {
        if (m_nAnnounced >= 0 && size > static_cast<uint64_t>(m_nAnnounced) - m_nReceived) {
            m_strFailure =
                fmt::Format(u"the body is longer than its Content-Length %d", m_nAnnounced);
            return false;
        }
        if (size > m_nCapacity - m_nReceived && !Grow(m_nReceived + size))
            return false;
        std::memcpy(m_block.get() + m_nReceived, data, size);
        m_nReceived += size;
        return true;
    }

    // Why the body was refused, or empty.
    const CString& Failure() const { return m_strFailure; }
    bool Responded() const { return m_bResponded; }
    int Status() const { return m_nStatus; }
    int64_t Announced() const { return m_nAnnounced; }
    size_t Received() const { return m_nReceived; }

    // The block cut to the body and its terminating zero.
    CHttpBuffer::Block TakeBody() {
        if (m_nCapacity != m_nReceived) {
            if (auto* p =
                    static_cast<unsigned char*>(std::realloc(m_block.get(), m_nReceived + 1))) {
                (void)m_block.release();
                m_block.reset(p);
            }
        }
        m_block[m_nReceived] = 0;
        return std::move(m_block);
    }

private:
    // Only bodies without a Content-Length grow.
    bool Grow(size_t needed) {
        if (needed > static_cast<size_t>(kMaxBody)) {
            m_strFailure = fmt::Format(u"the body is longer than %d bytes", kMaxBody);
            return false;
        }
        const size_t wanted =
            std::min(std::max(needed, m_nCapacity * 2), static_cast<size_t>(kMaxBody));
        auto* p = static_cast<unsigned char*>(std::realloc(m_block.get(), wanted + 1));
        if (p == nullptr) {
            m_strFailure =
                fmt::Format(u"cannot allocate %d bytes for the body", static_cast<int64_t>(wanted));
            return false;
        }
        (void)m_block.release();
        m_block.reset(p);
        platform::AdviseLargeBlock(p, wanted + 1);
        m_nCapacity = wanted;
        return true;
    }

    bool m_bResponded = false;
    int m_nStatus = 0;
    int64_t m_nAnnounced = -1;
    CHttpBuffer::Block m_block;
    size_t m_nCapacity = 0;  // body bytes the block can hold, its terminator not counted
    size_t m_nReceived = 0;
    CString m_strFailure;
};

}  // namespace

bool CHttpBuffer::Fetch(const char16_t* url) {
    if (url == nullptr) {
        theLog.Write(u"invalid url.");
        return false;
    }
    theLog.Write(u"start get url: %s", url);

    platform::http::Request request;
    request.url = url;
    request.agent = KESTROP_PRODUCT_NAME u"/" KESTROP_PRODUCT_VERSION;
    request.timeouts = kTimeouts;
    request.maxBody = kMaxBody;
    try {
        BodyReceiver body;
        const platform::http::Outcome outcome = platform::http::Get(request, body);
        if (body.Responded() && !IsSuccess(body.Status())) {
            theLog.Write(u"invalid http statue: %d from:%s", body.Status(), url);
            return false;
        }
        if (outcome.kind == platform::http::Outcome::Failed) {
            throw CInternetException(outcome.errorCode, outcome.errorText);
        }
        if (!body.Failure().IsEmpty())
            throw CInternetException(0, body.Failure());
        if (!body.Responded())
            throw CInternetException(0, CString(u"no response"));
        if (body.Announced() >= 0 && body.Received() != static_cast<uint64_t>(body.Announced())) {
            // A short body is never used: the connection ended before the announced length.
            throw CInternetException(
                0, fmt::Format(u"the body ended after %d of its %d bytes",
                               static_cast<int64_t>(body.Received()), body.Announced()));
        }
        const int32_t length = static_cast<int32_t>(body.Received());
        m_pData = body.TakeBody();  // the previous body goes now
        m_nLength = length;
        theLog.Write(u"http complete, len = %d", m_nLength);
        return true;
    } catch (const CInternetException& e) {
        LogException(e);
        return false;
    } catch (const std::bad_alloc&) {
        LogException(CInternetException(0, CString(u"out of memory")));
        return false;
    }
}

bool CHttpBuffer::FetchWithRetry(const char16_t* url) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (Fetch(url))
            return true;
    }
    return false;
}

CString CHttpBuffer::ToString() const {
    if (!m_pData || m_nLength == 0)
        return CString();
    // Byte by byte to the character of the same value: what the C locale gives on Windows.
    // glibc's C locale refuses bytes above 0x7F, so the mapping is written out for both.
    std::u16string text;
    text.reserve(static_cast<size_t>(m_nLength));
    for (int32_t i = 0; i < m_nLength && m_pData[i] != 0; ++i)
        text.push_back(m_pData[i]);
    return CString(std::move(text));
}
