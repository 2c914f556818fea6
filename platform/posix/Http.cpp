#include "platform/Http.h"

#include <curl/curl.h>

#include <memory>
#include <string>

#include "platform/Codepage.h"

namespace platform::http {
namespace {

struct EasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

// A large receive buffer keeps the number of callbacks (and copies) per megabyte small.
constexpr long kReceiveBufferSize = 512 * 1024;

struct Exchange {
    CURL* curl;
    Receiver& receiver;
    bool responded = false;
    bool stopped = false;

    // Hands the final response's head over once; false when the receiver wants no body.
    bool Respond() {
        if (responded)
            return true;
        responded = true;
        long status = 0;
        curl_off_t length = -1;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        if (!receiver.OnResponse(static_cast<int>(status),
                                 length < 0 ? -1 : static_cast<int64_t>(length))) {
            stopped = true;
            return false;
        }
        return true;
    }
};

// libcurl delivers only the final response's body here: the bodies of redirects it follows
// are skipped.
size_t OnWrite(char* data, size_t size, size_t count, void* user) {
    auto& ex = *static_cast<Exchange*>(user);
    const size_t bytes = size * count;
    if (!ex.Respond())
        return 0;
    if (bytes > 0 && !ex.receiver.OnBody(data, bytes)) {
        ex.stopped = true;
        return 0;
    }
    return bytes;
}

void InitOnce() {
    // Thread-safe local static; libcurl stays initialised for the life of the process.
    static const CURLcode init = curl_global_init(CURL_GLOBAL_DEFAULT);
    (void)init;
}

Outcome Failure(CURLcode code, const char* detail) {
    Outcome out;
    out.kind = Outcome::Failed;
    out.errorCode = static_cast<long>(code);
    const char* text = detail && detail[0] ? detail : curl_easy_strerror(code);
    out.errorText = CString(Utf8ToWide(text));
    return out;
}

}  // namespace

Outcome Get(const Request& request, Receiver& receiver) {
    InitOnce();
    Easy easy(curl_easy_init());
    if (!easy)
        return Failure(CURLE_FAILED_INIT, "cannot create a transfer");
    CURL* curl = easy.get();

    const std::string url = WideToUtf8(request.url ? request.url : u"");
    const std::string agent = WideToUtf8(request.agent ? request.agent : u"");
    const std::string caFile = request.caFile ? WideToUtf8(request.caFile) : std::string();
    char error[CURL_ERROR_SIZE] = {};
    Exchange ex{curl, receiver};

    // Stalls: fewer than 1 byte/s over the receive time-out ends the transfer.
    const long stallSeconds = static_cast<long>((request.timeouts.receiveMs + 999) / 1000);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // worker thread: no SIGALRM for time-outs
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(request.timeouts.connectMs));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, stallSeconds);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);  // nothing of one attempt outlives it
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnWrite);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &ex);
    // Also catches a Content-Length too large for any integer, which libcurl would ignore.
    if (request.maxBody > 0)
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBody));
    if (!agent.empty())
        curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
    if (!caFile.empty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.c_str());

    const CURLcode rc = curl_easy_perform(curl);
    if (ex.stopped) {
        Outcome out;
        out.kind = Outcome::Stopped;
        return out;
    }
    if (rc != CURLE_OK)
        return Failure(rc, error);
    // A response without a body never reached the write callback.
    if (!ex.Respond()) {
        Outcome out;
        out.kind = Outcome::Stopped;
        return out;
    }
    Outcome out;
    out.kind = Outcome::Completed;
    return out;
}

}  // namespace platform::http
