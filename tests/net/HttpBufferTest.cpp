#include "net/HttpBuffer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "env/Log.h"
#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "platform/Http.h"
#include "tests/support/HttpFixture.h"
#include "tests/support/LogReader.h"
#include "tests/support/TempDir.h"

using testing_support::Body;
using testing_support::HttpFixture;
using testing_support::Redirect;
using testing_support::Reply;
using testing_support::Status;

namespace {

std::string Bytes(const CHttpBuffer& b) {
    return b.Data() ? std::string(reinterpret_cast<const char*>(b.Data()),
                                  static_cast<size_t>(b.m_nLength))
                    : std::string();
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.rfind(prefix, 0) == 0;
}

class HttpBufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Ready()) << server.Problem();
        theLog.Reset();
    }
    void TearDown() override { theLog.Reset(); }

    // The log lines written since the last call; the next line starts a fresh t.log.
    std::vector<std::string> TakeLog() {
        theLog.Reset();
        auto lines = testing_support::ReadLogMessages(logDir / "t.log");
        std::filesystem::remove(logDir / "t.log");
        return lines;
    }

    testing_support::TempDir logDir;
    testing_support::CurrentDirScope cwd{logDir.Path()};
    HttpFixture server{"http"};
};

// Fills the buffer with a known body, so that a failed fetch can be seen to leave it alone.
void Prefill(HttpFixture& server, CHttpBuffer& buffer) {
    server.Route("/previous", Body("previous"));
    ASSERT_TRUE(buffer.Fetch(server.WideUrl("/previous")));
    ASSERT_EQ(Bytes(buffer), "previous");
}

TEST_F(HttpBufferTest, OnlyWholeBodiesOfSuccessfulResponsesAreTaken) {
    Reply chunked = Body("helloworld");
    chunked.framing = "chunked";
    chunked.pieces = 3;
    Reply closeDelimited = Body("until the end");
    closeDelimited.framing = "close";
    Reply slow = Body("three slow pieces");
    slow.pieces = 3;
    slow.pause = 0.3;
    Reply truncated = Body("hello");
    truncated.length = "11";

    enum Expect { Taken, BadStatus, Failure };
    struct Case {
        const char* name;
        std::vector<Reply> replies;
        Expect expect;
        std::string body;                       // when taken
        int finalStatus;                        // when refused for its status
        std::vector<std::string> redirectedTo;  // requests after the first
    };
    const std::vector<Case> cases = {
        {"200", {Body("hello")}, Taken, "hello", 0, {}},
        {"204 without a body", {Status(204)}, Taken, "", 0, {}},
        {"302 to a 200",
         {Redirect(302, "/" + server.Token() + "/target")},
         Taken,
         "moved",
         0,
         {"GET /target"}},
        {"zero byte inside the body",
         {Body(std::string("ab\0cd", 5))},
         Taken,
         std::string("ab\0cd", 5),
         0,
         {}},
        {"chunked, no Content-Length", {chunked}, Taken, "helloworld", 0, {}},
        {"no Content-Length, ends with the connection",
         {closeDelimited},
         Taken,
         "until the end",
         0,
         {}},
        {"slow but steady", {slow}, Taken, "three slow pieces", 0, {}},
        {"400 with a body", {Status(400, "bad request")}, BadStatus, "", 400, {}},
        {"404", {Status(404, "not here")}, BadStatus, "", 404, {}},
        {"500", {Status(500)}, BadStatus, "", 500, {}},
        {"302 to a 404",
         {Redirect(302, server.Url("/nowhere"))},
         BadStatus,
         "",
         404,
         {"GET /nowhere"}},
        {"body shorter than its Content-Length", {truncated}, Failure, "", 0, {}},
    };
    server.Route("/target", Body("moved"));
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = "/case" + std::to_string(index++);
        server.Route(path, c.replies);
        CHttpBuffer buffer;
        Prefill(server, buffer);
        TakeLog();
        const size_t before = server.Requests().size();

        const std::string url = server.Url(path);
        const bool ok = buffer.Fetch(server.WideUrl(path));
        const auto log = TakeLog();

        EXPECT_EQ(ok, c.expect == Taken);
        ASSERT_EQ(log.size(), 2u);
        EXPECT_EQ(log[0], "start get url: " + url);
        switch (c.expect) {
            case Taken:
                EXPECT_EQ(Bytes(buffer), c.body);
                EXPECT_EQ(buffer.m_nLength, static_cast<int32_t>(c.body.size()));
                EXPECT_EQ(buffer.Data()[buffer.m_nLength], 0) << "the block ends with a zero byte";
                EXPECT_EQ(log[1], "http complete, len = " + std::to_string(c.body.size()));
                break;
            case BadStatus:
                EXPECT_EQ(log[1],
                          "invalid http statue: " + std::to_string(c.finalStatus) + " from:" + url);
                break;
            case Failure:
                EXPECT_TRUE(StartsWith(log[1], "exception:")) << log[1];
                EXPECT_GT(log[1].size(), std::string("exception:").size()) << "a readable reason";
                break;
        }
        if (c.expect != Taken) {
            EXPECT_EQ(Bytes(buffer), "previous") << "a failed fetch leaves the buffer alone";
        }
        const auto all = server.Requests();
        std::vector<std::string> expected = {"GET " + path};
        expected.insert(expected.end(), c.redirectedTo.begin(), c.redirectedTo.end());
        EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(before), all.end()),
                  expected)
            << "one GET per attempt";
    }
}

TEST_F(HttpBufferTest, NullUrlLogsAndTouchesNothing) {
    CHttpBuffer buffer;
    Prefill(server, buffer);
    TakeLog();
    EXPECT_FALSE(buffer.Fetch(nullptr));
    EXPECT_FALSE(buffer.FetchWithRetry(nullptr));
    // One attempt, then three.
    EXPECT_EQ(TakeLog(), std::vector<std::string>(4, "invalid url."));
    EXPECT_EQ(Bytes(buffer), "previous");
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(HttpBufferTest, TransportFailuresAreFalseWithAReadableReason) {
    const std::vector<std::string> urls = {
        server.RefusedUrl("/refused"),
        "ftp://127.0.0.1/" + std::string("file"),
        "http://",
    };
    for (const std::string& url : urls) {
        SCOPED_TRACE(url);
        CHttpBuffer buffer;
        EXPECT_FALSE(buffer.Fetch(CString(platform::Utf8ToWide(url))));
        const auto log = TakeLog();
        ASSERT_EQ(log.size(), 2u);
        EXPECT_EQ(log[0], "start get url: " + url);
        EXPECT_TRUE(StartsWith(log[1], "exception:")) << log[1];
        EXPECT_GT(log[1].size(), std::string("exception:").size());
        EXPECT_EQ(buffer.Data(), nullptr);
    }
}

TEST_F(HttpBufferTest, RetryMakesThreeAttemptsAtMost) {
    const std::string refused = server.RefusedUrl("/x");
    CHttpBuffer buffer;
    EXPECT_FALSE(buffer.FetchWithRetry(CString(platform::Utf8ToWide(refused))));
    const auto log = TakeLog();
    ASSERT_EQ(log.size(), 6u);
    for (size_t i = 0; i < 6; i += 2) {
        EXPECT_EQ(log[i], "start get url: " + refused);
        EXPECT_TRUE(StartsWith(log[i + 1], "exception:")) << log[i + 1];
    }

    server.Route("/flaky", {Status(500), Status(503), Body("third time")});
    EXPECT_TRUE(buffer.FetchWithRetry(server.WideUrl("/flaky")));
    EXPECT_EQ(Bytes(buffer), "third time");
    EXPECT_EQ(server.Requests(),
              (std::vector<std::string>{"GET /flaky", "GET /flaky", "GET /flaky"}));
    const auto flaky = TakeLog();
    ASSERT_EQ(flaky.size(), 6u);
    EXPECT_EQ(flaky[1], "invalid http statue: 500 from:" + server.Url("/flaky"));
    EXPECT_EQ(flaky[3], "invalid http statue: 503 from:" + server.Url("/flaky"));
    EXPECT_EQ(flaky[5], "http complete, len = 10");

    server.Route("/first", Body("at once"));
    EXPECT_TRUE(buffer.FetchWithRetry(server.WideUrl("/first")));
    EXPECT_EQ(TakeLog().size(), 2u) << "no attempt after a success";
}

// A Content-Length the buffer cannot hold is a failed attempt, never a crash or a short block.
TEST_F(HttpBufferTest, ContentLengthThatCannotBeHeldFails) {
    for (const char* announced :
         {"2147483647", "4294967295", "99999999999999999999", "2000000000"}) {
        SCOPED_TRACE(announced);
        Reply r = Body("abc");
        r.length = announced;
        server.Route("/huge", r);
        CHttpBuffer buffer;
        Prefill(server, buffer);
        TakeLog();
        EXPECT_FALSE(buffer.Fetch(server.WideUrl("/huge")));
        const auto log = TakeLog();
        ASSERT_EQ(log.size(), 2u);
        EXPECT_TRUE(StartsWith(log[1], "exception:")) << log[1];
        EXPECT_EQ(Bytes(buffer), "previous");
    }
}

// Waits out the 15 s receive time-out once: a server that accepts and never answers.
TEST_F(HttpBufferTest, SilentServerFailsAfterTheReceiveTimeout) {
    Reply silent;
    silent.hang = true;
    server.Route("/silent", silent);
    CHttpBuffer buffer;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(buffer.Fetch(server.WideUrl("/silent")));
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(seconds, 14.0) << "gave up before the time-out";
    EXPECT_LT(seconds, 60.0) << "did not give up at the time-out";
    const auto log = TakeLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(StartsWith(log[1], "exception:")) << log[1];
}

TEST_F(HttpBufferTest, ToStringMapsEachByteToTheSameCodePointUpToTheFirstZero) {
    const struct {
        std::string body;
        std::u16string text;
    } cases[] = {
        {"abcde", u"abcde"},
        {std::string("ab\0cd", 5), u"ab"},
        {"\xE9t\xE9\xFF", u"\u00E9t\u00E9\u00FF"},
        {"", u""},
    };
    for (const auto& c : cases) {
        server.Route("/text", Body(c.body));
        CHttpBuffer buffer;
        ASSERT_TRUE(buffer.Fetch(server.WideUrl("/text")));
        EXPECT_EQ(buffer.ToString().Str(), c.text);
    }
    EXPECT_TRUE(CHttpBuffer().ToString().IsEmpty());
}

TEST_F(HttpBufferTest, HttpsIsSpokenOnHttpsUrls) {
    // The local TLS server's certificate is self-signed: the system's store rejects it, so
    // the fetch fails in the TLS layer with a reason, not as an unknown scheme.
    const std::string url = server.TlsUrl("/secret");
    server.Route("/secret", Body("over tls"));
    CHttpBuffer buffer;
    EXPECT_FALSE(buffer.Fetch(CString(platform::Utf8ToWide(url))));
    const auto log = TakeLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(StartsWith(log[1], "exception:")) << log[1];
    EXPECT_TRUE(server.Requests().empty()) << "no request may pass an untrusted certificate";
}

class Collect : public platform::http::Receiver {
public:
    bool OnResponse(int s, int64_t length) override {
        status = s;
        announced = length;
        return true;
    }
    bool OnBody(const void* data, size_t size) override {
        body.append(static_cast<const char*>(data), size);
        return true;
    }
    int status = 0;
    int64_t announced = -2;
    std::string body;
};

TEST_F(HttpBufferTest, TrustedHttpsServerAnswersLikePlainHttp) {
    if (platform::kTargetIsWindows)
        GTEST_SKIP() << "WinInet trusts the system's store only";
    server.Route("/secret", Body("over tls"));
    const std::u16string url = platform::Utf8ToWide(server.TlsUrl("/secret"));
    const CString ca = testing_support::ToWide(HttpFixture::TlsCertificate());
    platform::http::Request request;
    request.url = url.c_str();
    request.timeouts = {5000, 15000, 15000};
    request.caFile = ca;
    Collect collect;
    const auto outcome = platform::http::Get(request, collect);
    EXPECT_EQ(outcome.kind, platform::http::Outcome::Completed)
        << platform::WideToUtf8(outcome.errorText.View());
    EXPECT_EQ(collect.status, 200);
    EXPECT_EQ(collect.announced, 8);
    EXPECT_EQ(collect.body, "over tls");
    EXPECT_EQ(server.Requests(), std::vector<std::string>{"GET /secret"});
}

}  // namespace
