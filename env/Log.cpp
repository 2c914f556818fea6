#include "env/Log.h"

#include <mutex>
#include <string>

#include "platform/Codepage.h"

// Usable before any other static initialisation: its state is constant-initialised.
constinit Log theLog;

Log::~Log() {
    if (m_pStream) m_pStream->Abort();
}

void Log::Reset() {
    const std::lock_guard<platform::StaticMutex> hold(m_lock);
    if (m_pStream) m_pStream->Abort();
    m_pStream.reset();
}

size_t Log::BuildLine(char16_t* line, const platform::LocalTime& t, const char16_t* format,
                      std::initializer_list<fmt::Arg> args) {
    char16_t stamp[kStampCapacity] = {};
    fmt::FormatBounded(stamp, kStampCapacity, u"[%d-%02d-%02d %02d:%02d:%02d]", t.year, t.month, t.day,
                       t.hour, t.minute, t.second);
    size_t len = 0;
    while (len < kStampCapacity - 1 && stamp[len]) {
        line[len] = stamp[len];
        ++len;
    }
    line[len] = 0;

    if (format == nullptr) format = u"NULL";
    const std::span<const fmt::Arg> list(args.begin(), args.size());
    fmt::Result r = fmt::VFormatBounded(line + len, kLineCapacity - len, format, list);
    if (r.invalid) {
        // The arguments cannot be trusted to match: keep the format itself as the message.
        const fmt::Arg raw[] = {fmt::MakeArg(format)};
        r = fmt::VFormatBounded(line + len, kLineCapacity - len, u"%s", raw);
    }
    size_t total = len + r.length;
    // Room is left for CR LF and the terminator only below this length; a longer line is
    // written without a line end.
    if (total < kLineCapacity - 3) {
        line[total++] = u'\r';
        line[total++] = u'\n';
        line[total] = 0;
    }
    return total;
}

void Log::WriteArgs(const char16_t* format, std::initializer_list<fmt::Arg> args) {
    const std::lock_guard<platform::StaticMutex> hold(m_lock);
    if (!m_pStream) {
        m_pStream = std::make_unique<CFile>();
        m_pStream->Open(u"t.log", CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone);
    }
    if (!m_pStream->IsOpen()) return;  // no log for this run
    if (!m_pLine) m_pLine = std::make_unique<char16_t[]>(kLineCapacity);

    const size_t length = BuildLine(m_pLine.get(), platform::GetLocalTime(), format, args);
    std::string bytes = platform::WideToAnsi(std::u16string_view(m_pLine.get(), length));
    for (char& b : bytes) b = static_cast<char>(static_cast<unsigned char>(b) ^ kMask);
    try {
        // Unbuffered: the line has reached the operating system when Write returns.
        m_pStream->Write(bytes.data(), bytes.size());
    } catch (const CFileException&) {
        m_pStream->Abort();  // the stream has failed; later lines of the run are dropped
    }
}

void LogException(const CException& e) {
    char16_t text[1024] = {};
    e.GetErrorMessage(text, 1024);
    theLog.Write(u"exception:%s", static_cast<const char16_t*>(text));
}
