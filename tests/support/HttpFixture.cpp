#include "tests/support/HttpFixture.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "platform/Codepage.h"
#include "tests/support/TempDir.h"

namespace testing_support {
namespace {

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const unsigned char b : bytes) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 15]);
    }
    return out;
}

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string Json(const Reply& r) {
    std::ostringstream out;
    out << "{\"status\": " << r.status << ", \"body_hex\": " << Quote(Hex(r.body))
        << ", \"framing\": " << Quote(r.framing) << ", \"pieces\": " << r.pieces
        << ", \"pause\": " << r.pause << ", \"delay\": " << r.delay
        << ", \"hang\": " << (r.hang ? "true" : "false");
    if (!r.length.empty())
        out << ", \"length\": " << Quote(r.length);
    if (!r.file.empty())
        out << ", \"file\": " << Quote(r.file);
    out << ", \"headers\": [";
    for (size_t i = 0; i < r.headers.size(); ++i) {
        out << (i ? ", " : "") << "[" << Quote(r.headers[i].first) << ", "
            << Quote(r.headers[i].second) << "]";
    }
    out << "]}";
    return out.str();
}

}  // namespace

Reply Status(int status, std::string body) {
    Reply r;
    r.status = status;
    r.body = std::move(body);
    return r;
}

Reply Body(std::string body) {
    return Status(200, std::move(body));
}

Reply Redirect(int status, const std::string& location) {
    Reply r = Status(status);
    r.headers.push_back({"Location", location});
    return r;
}

HttpFixture::HttpFixture(const std::string& name) : m_folder(KESTROP_HTTP_FIXTURE_DIR) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    m_token = name + "-" + std::to_string(stamp) + "-" + std::to_string(counter++);
    std::ifstream state(m_folder / "state.txt");
    std::map<std::string, int> values;
    std::string line;
    while (std::getline(state, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            values[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
    }
    m_port = values["port"];
    m_tlsPort = values["tls_port"];
    m_refusedPort = values["closed_port"];
}

HttpFixture::~HttpFixture() {
    std::error_code ignored;
    std::filesystem::remove(m_folder / "routes" / (m_token + ".json"), ignored);
    std::filesystem::remove(m_folder / "routes" / (m_token + ".log"), ignored);
}

std::string HttpFixture::Problem() const {
    return "the fixture HTTP server is not running (no " + (m_folder / "state.txt").string() +
           "); CTest starts it, or: python3 tests/fixtures/http_server.py start --dir " +
           m_folder.string();
}

std::string HttpFixture::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + "/" + m_token + path;
}
std::string HttpFixture::TlsUrl(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(m_tlsPort) + "/" + m_token + path;
}
std::string HttpFixture::RefusedUrl(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_refusedPort) + "/" + m_token + path;
}
CString HttpFixture::WideUrl(const std::string& path) const {
    return CString(platform::Utf8ToWide(Url(path)));
}

void HttpFixture::Route(const std::string& path, const Reply& reply) {
    Route(path, std::vector<Reply>{reply});
}

void HttpFixture::Route(const std::string& path, const std::vector<Reply>& replies) {
    for (auto& route : m_routes) {
        if (route.first == path) {
            route.second = replies;
            WriteRoutes();
            return;
        }
    }
    m_routes.push_back({path, replies});
    WriteRoutes();
}

void HttpFixture::WriteRoutes() const {
    std::ostringstream json;
    json << "{";
    for (size_t i = 0; i < m_routes.size(); ++i) {
        json << (i ? ",\n" : "\n") << Quote(m_routes[i].first) << ": [";
        for (size_t k = 0; k < m_routes[i].second.size(); ++k) {
            json << (k ? ", " : "") << Json(m_routes[i].second[k]);
        }
        json << "]";
    }
    json << "\n}\n";
    // Written beside and renamed, so the server never reads half a file.
    const auto routes = m_folder / "routes";
    const auto temp = routes / (m_token + ".json.tmp");
    WriteFileBytes(temp, json.str());
    std::filesystem::rename(temp, routes / (m_token + ".json"));
}

std::vector<std::string> HttpFixture::Requests() const {
    std::ifstream log(m_folder / "routes" / (m_token + ".log"));
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(log, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

bool HttpFixture::WaitForRequests(size_t count, double timeoutSeconds) const {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<long long>(timeoutSeconds * 1000));
    while (Requests().size() < count) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::filesystem::path HttpFixture::TlsCertificate() {
    return std::filesystem::path(KESTROP_TEST_FIXTURES_DIR) / "tls" / "server.pem";
}

}  // namespace testing_support
