// Collects the log lines written while a test runs, so tests can check
// what was (and was not) logged.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "foundation/log.h"

namespace addtest {

class LogCapture {
public:
    LogCapture() : previous_(common::logSink())
    {
        std::lock_guard<std::mutex> lock(mutex());
        store().clear();
        common::setLogSink(&LogCapture::sink);
    }
    ~LogCapture() { common::setLogSink(previous_); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::wstring> lines() const
    {
        std::lock_guard<std::mutex> lock(mutex());
        return store();
    }
    // Lines containing the given text.
    size_t count(const std::wstring& text) const
    {
        size_t n = 0;
        for (const std::wstring& line : lines())
            if (line.find(text) != std::wstring::npos)
                ++n;
        return n;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex());
        store().clear();
    }

private:
    static void sink(const char* function, int line, const wchar_t* message)
    {
        std::wstring text;
        for (const char* p = function; p && *p; ++p)
            text += static_cast<wchar_t>(*p);
        text += L": ";
        text += message ? message : L"";
        std::lock_guard<std::mutex> lock(mutex());
        store().push_back(text);
    }
    static std::mutex& mutex()
    {
        static std::mutex m;
        return m;
    }
    static std::vector<std::wstring>& store()
    {
        static std::vector<std::wstring> lines;
        return lines;
    }

    common::LogSink previous_;
};

}  // namespace addtest
