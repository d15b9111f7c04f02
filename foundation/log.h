// The process-wide log: one printf-style call per event, stamped with the
// caller's function name and line, written by one background writer thread.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace common {

// Sink that receives every finished message; null until utility::init.
typedef void (*LogSink)(const char* function, int line, const wchar_t* message);
void setLogSink(LogSink sink);
LogSink logSink();

// Formats with the Windows meaning of %s (wide) and hands the text to the sink.
void log(const char* function, int line, const wchar_t* format, ...);

// The default sink: builds one LogStream line and queues it on the logger.
void logLine(const char* function, int line, const wchar_t* message);

// Per-program line limits. The installer and uninstaller keep the defaults
// (511 message characters, 1024-byte lines); the launcher uses 8011 / 8012.
struct LogLimits {
    int messageChars;
    int lineBytes;
};
extern const LogLimits kSmallLogLimits;
extern const LogLimits kLauncherLogLimits;
void setLogLimits(const LogLimits& limits);
LogLimits logLimits();

// One log line under construction over a fixed buffer that never grows.
// A line that does not fit is discarded whole when the stream is destroyed.
class LogStream {
public:
    LogStream(const char* function, int line);
    ~LogStream();
    LogStream(const LogStream&) = delete;
    LogStream& operator=(const LogStream&) = delete;

    void appendUtf16(const wchar_t* text);
    bool overflowed() const { return overflow_; }

private:
    bool append(const char* bytes, size_t count);

    char* buffer_;
    size_t capacity_;
    size_t used_ = 0;
    bool overflow_ = false;
};

// Asynchronous writer that owns the process's one log file.
class Logger {
public:
    static const unsigned kPendingLimit = 10240;
    static const unsigned long long kCutThreshold = 52428800ull;
    static const unsigned long long kCutKeep = 2097152ull;

    static void init(const std::wstring& path);
    static void enqueue(const std::string& line);
    // Writes every pending line, syncs the file to disk and ends the writer;
    // lines logged afterwards are dropped. Without a logger it does nothing.
    // A program that exits early calls it so that its last lines are kept.
    static void shutdown();
    static Logger* instance();

private:
    explicit Logger(const std::wstring& path);
    ~Logger();
    void writerMain(std::wstring path);

    bool stop_ = false;
    unsigned pendingLimit_ = kPendingLimit;
    std::string pending_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread writer_;
};

void startLogging(const std::wstring& path);

}  // namespace common
