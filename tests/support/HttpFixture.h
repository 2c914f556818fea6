// The tests' side of the fixture HTTP server (tests/fixtures/http_server.py), which CTest
// starts before and stops after the suites that need it. Tests talk to it through files, so
// the Windows tests under Wine use it the same way: routes go into a file named by a token of
// the test's own, and the server records every request for that token in another.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/String.h"

namespace testing_support {

// One answer of the server; see http_server.py for what each field does.
struct Reply {
    int status = 200;
    std::string body;
    std::string framing = "length";  // "length", "chunked" or "close"
    std::string length;              // announced Content-Length when not the body's
    std::vector<std::pair<std::string, std::string>> headers;
    std::string file;  // serve this file instead of body
    double delay = 0;
    int pieces = 1;
    double pause = 0;
    bool hang = false;
};

Reply Status(int status, std::string body = {});
Reply Body(std::string body);
Reply Redirect(int status, const std::string& location);

class HttpFixture {
public:
    // Reads the running server's state; Ready() is false when there is none.
    explicit HttpFixture(const std::string& name);
    ~HttpFixture();
    HttpFixture(const HttpFixture&) = delete;
    HttpFixture& operator=(const HttpFixture&) = delete;

    bool Ready() const { return m_port != 0; }
    // Why Ready() is false.
    std::string Problem() const;
    // The first path segment of this test's URLs.
    const std::string& Token() const { return m_token; }

    // URLs of this test's paths (path starts with '/') on the plain, TLS and refused ports.
    std::string Url(const std::string& path) const;
    std::string TlsUrl(const std::string& path) const;
    std::string RefusedUrl(const std::string& path) const;
    CString WideUrl(const std::string& path) const;

    // Answers requests for path with reply, or with the replies in turn (the last repeats).
    void Route(const std::string& path, const Reply& reply);
    void Route(const std::string& path, const std::vector<Reply>& replies);

    // Every request the server got for this test, as "GET /path", in order.
    std::vector<std::string> Requests() const;
    // Waits until at least count requests are recorded; false after timeoutSeconds.
    bool WaitForRequests(size_t count, double timeoutSeconds) const;

    static std::filesystem::path TlsCertificate();

private:
    void WriteRoutes() const;

    std::filesystem::path m_folder;
    std::string m_token;
    int m_port = 0;
    int m_tlsPort = 0;
    int m_refusedPort = 0;
    std::vector<std::pair<std::string, std::vector<Reply>>> m_routes;
};

}  // namespace testing_support
