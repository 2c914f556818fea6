// A thin HTTP GET client: one exchange per call, on a session of its own, with time-outs.
// WinInet on Windows, libcurl on Linux. It reports the final response (after redirects) and
// hands the body over piece by piece; what counts as success is the caller's business.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/String.h"

namespace platform::http {

struct Timeouts {
    unsigned long connectMs;
    unsigned long sendMs;     // for each send step
    unsigned long receiveMs;  // for each receive step: a transfer that stalls this long fails
};

struct Request {
    const char16_t* url = nullptr;  // absolute http:// or https:// URL
    const char16_t* agent = nullptr;
    Timeouts timeouts{};
    // The longest body the receiver can take; 0: no limit. The client may fail an exchange
    // whose body is announced longer (libcurl does, also for a Content-Length beyond any
    // integer); otherwise the receiver sees the length and decides.
    int64_t maxBody = 0;
    // A PEM file of certificates to trust instead of the system's store, for tests against a
    // local TLS server. Linux only: WinInet always uses the system's store. Null: the system's.
    const char16_t* caFile = nullptr;
};

// Receives the final response of one exchange.
class Receiver {
public:
    virtual ~Receiver() = default;
    // Called once, before any body byte, when the final response's head is in. length is the
    // announced Content-Length, or -1 when the response has none. False ends the exchange
    // without reading the body.
    virtual bool OnResponse(int status, int64_t length) = 0;
    // The next piece of the body, in order. False ends the exchange.
    virtual bool OnBody(const void* data, size_t size) = 0;
};

struct Outcome {
    enum Kind {
        Completed,  // the exchange ran to the end of the body
        Stopped,    // the receiver ended it
        Failed,     // a transport error; errorCode and errorText say which
    };
    Kind kind = Failed;
    long errorCode = 0;  // WinInet or libcurl code
    CString errorText;   // readable, from the client's own messages
};

// Sends one GET (no cache, redirects followed) and feeds the answer to receiver.
Outcome Get(const Request& request, Receiver& receiver);

}  // namespace platform::http
