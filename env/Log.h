// The program's only diagnostic record: t.log in the current directory of the first line of
// the run, one time-stamped line per event, in the ANSI code page, every byte XORed with a mask.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include "platform/Lock.h"
#include <type_traits>

#include "platform/Clock.h"
#include "platform/Exception.h"
#include "platform/File.h"
#include "platform/Format.h"
#include "platform/String.h"

class ILog {
public:
    virtual ~ILog() = default;
    // Reserved: no caller uses them and Log ignores them.
    virtual void SetLevel(int32_t level) = 0;
    virtual void SetOption(int32_t option) = 0;
};

class Log : public ILog {
public:
    static constexpr unsigned char kMask = 0x6D;
    static constexpr size_t kLineCapacity = 102400;  // wide characters, terminator included
    static constexpr size_t kStampCapacity = 32;

    constexpr Log() = default;
    ~Log() override;
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    // Appends one line; the format is checked against the arguments when it is compiled.
    template <class... Args>
    void Write(fmt::FormatString<std::type_identity_t<Args>...> format, const Args&... args) {
        WriteArgs(format.Get(), {fmt::MakeArg(args)...});
    }
    // A null format writes the line "NULL".
    void Write(std::nullptr_t) { WriteArgs(nullptr, {}); }
    // Writes text as it stands, percent signs included.
    void WriteText(const CString& text) { Write(u"%s", text); }

    // Closes t.log; the next line opens it afresh in the then-current directory, as the first
    // line of a run does. For tests that run several "runs" in one process.
    void Reset();

    void SetLevel(int32_t) override {}
    void SetOption(int32_t) override {}

    // Builds one line before conversion: time stamp, message, CR LF when it fits. A message
    // that does not fit is cut; a format the formatter rejects is written as it stands.
    // Returns the line's length; line holds kLineCapacity characters.
    static size_t BuildLine(char16_t* line, const platform::LocalTime& time, const char16_t* format,
                            std::initializer_list<fmt::Arg> args);

private:
    void WriteArgs(const char16_t* format, std::initializer_list<fmt::Arg> args);

    platform::StaticMutex m_lock;               // serialises writers from both threads
    std::unique_ptr<CFile> m_pStream;  // set at the first line, kept even when the open failed
    std::unique_ptr<char16_t[]> m_pLine;
};

extern Log theLog;

// Writes "exception:%s" with the exception's readable error text (at most 1,023 characters).
void LogException(const CException& e);
