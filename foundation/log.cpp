#include "log.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include <atomic>
#include <vector>

#include "scoped_handle.h"

namespace common {

const LogLimits kSmallLogLimits = {511, 1024};
const LogLimits kLauncherLogLimits = {8011, 8012};

namespace {

std::atomic<LogSink> g_sink{nullptr};
LogLimits g_limits = kSmallLogLimits;
std::atomic<Logger*> g_logger{nullptr};
std::mutex g_loggerLifetime;  // serialises init/shutdown against enqueue

const int kFormatChars = 8192;

}  // namespace

void setLogSink(LogSink sink) { g_sink = sink; }
LogSink logSink() { return g_sink; }

void setLogLimits(const LogLimits& limits) { g_limits = limits; }
LogLimits logLimits() { return g_limits; }

void log(const char* function, int line, const wchar_t* format, ...)
{
    LogSink sink = g_sink;
    if (!sink)
        return;
    std::vector<wchar_t> text(kFormatChars, L'\0');
    va_list args;
    va_start(args, format);
    // _vsnwprintf keeps the Windows meaning of %s (a wide string) even when
    // mingw's ANSI stdio is active for the C++ library.
    _vsnwprintf(text.data(), kFormatChars - 1, format, args);
    va_end(args);
    text[kFormatChars - 1] = L'\0';
    sink(function, line, text.data());
}

void logLine(const char* function, int line, const wchar_t* message)
{
    const LogLimits limits = g_limits;
    std::vector<wchar_t> text(static_cast<size_t>(limits.messageChars) + 1, L'\0');
    if (message)
        wcsncpy(text.data(), message, static_cast<size_t>(limits.messageChars));
    LogStream stream(function ? function : "", line);
    stream.appendUtf16(text.data());
}

LogStream::LogStream(const char* function, int line)
    : buffer_(new char[static_cast<size_t>(g_limits.lineBytes)]), capacity_(static_cast<size_t>(g_limits.lineBytes))
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char prefix[512];
    int n = snprintf(prefix, sizeof(prefix), "%02d-%02d\t%02d:%02d:%02d.%03d\t%04lu\t%s\t(%d):", now.wMonth, now.wDay,
                     now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, GetCurrentThreadId(), function, line);
    if (n < 0 || n >= static_cast<int>(sizeof(prefix)))
        overflow_ = true;
    else
        append(prefix, static_cast<size_t>(n));
}

LogStream::~LogStream()
{
    append("\r\n", 2);
    if (!overflow_)
        Logger::enqueue(std::string(buffer_, used_));
    delete[] buffer_;
}

void LogStream::appendUtf16(const wchar_t* text)
{
    if (!text || !*text)
        return;
    // Converted into an area of the line's own size; what does not fit is lost
    // with the whole line.
    std::vector<char> utf8(capacity_, '\0');
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    if (n <= 0) {
        overflow_ = true;
        return;
    }
    append(utf8.data(), static_cast<size_t>(n - 1));
}

bool LogStream::append(const char* bytes, size_t count)
{
    if (overflow_ || used_ + count > capacity_) {
        overflow_ = true;
        return false;
    }
    memcpy(buffer_ + used_, bytes, count);
    used_ += count;
    return true;
}

Logger::Logger(const std::wstring& path) : writer_(&Logger::writerMain, this, path) {}

Logger::~Logger()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (writer_.joinable())
        writer_.join();
}

Logger* Logger::instance() { return g_logger; }

void Logger::init(const std::wstring& path)
{
    std::lock_guard<std::mutex> lifetime(g_loggerLifetime);
    if (path.empty() || g_logger)
        return;
    g_logger = new Logger(path);
}

void Logger::shutdown()
{
    std::lock_guard<std::mutex> lifetime(g_loggerLifetime);
    Logger* logger = g_logger.exchange(nullptr);
    delete logger;
}

void Logger::enqueue(const std::string& line)
{
    std::lock_guard<std::mutex> lifetime(g_loggerLifetime);
    Logger* self = g_logger;
    if (!self)
        return;
    // The size is read before the lock: a burst may overshoot by one line.
    if (self->pending_.size() > self->pendingLimit_)
        return;
    size_t size;
    {
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->pending_ += line;
        size = self->pending_.size();
    }
    if (size >= self->pendingLimit_)
        self->wake_.notify_one();
}

namespace {

// The log file, opened for reading and appending and shared with readers.
class LogFile {
public:
    explicit LogFile(const std::wstring& path) : path_(path) {}

    void open(bool truncate)
    {
        close();
        handle_.reset(CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, truncate ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    void close() { handle_.reset(); }
    bool isOpen() const { return handle_.valid(); }

    bool startsWithUtf16Mark()
    {
        unsigned char mark[2] = {0, 0};
        DWORD read = 0;
        return ReadFile(handle_.get(), mark, 2, &read, nullptr) && read == 2 && mark[0] == 0xFF && mark[1] == 0xFE;
    }
    void seekEnd()
    {
        LARGE_INTEGER zero = {};
        SetFilePointerEx(handle_.get(), zero, nullptr, FILE_END);
    }
    unsigned long long position() const
    {
        LARGE_INTEGER zero = {}, pos = {};
        SetFilePointerEx(handle_.get(), zero, &pos, FILE_CURRENT);
        return static_cast<unsigned long long>(pos.QuadPart);
    }
    void write(const char* data, size_t size)
    {
        while (size > 0) {
            DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
            DWORD written = 0;
            if (!WriteFile(handle_.get(), data, chunk, &written, nullptr) || written == 0)
                return;
            data += written;
            size -= written;
        }
    }
    // To the disk itself; WriteFile has already handed every byte to the system.
    void sync() { FlushFileBuffers(handle_.get()); }

    // Keeps only the last `keep` bytes that end at the write position.
    void cutToLast(unsigned long long keep)
    {
        unsigned long long end = position();
        unsigned long long start = end > keep ? end - keep : 0;
        std::vector<char> tail(static_cast<size_t>(end - start));
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(start);
        SetFilePointerEx(handle_.get(), at, nullptr, FILE_BEGIN);
        DWORD read = 0;
        if (!tail.empty() && !ReadFile(handle_.get(), tail.data(), static_cast<DWORD>(tail.size()), &read, nullptr))
            read = 0;
        open(true);
        if (isOpen())
            write(tail.data(), read);
    }

private:
    std::wstring path_;
    utility::ScopedHandle handle_;
};

}  // namespace

void Logger::writerMain(std::wstring path)
{
    LogFile file(path);
    file.open(false);
    if (file.isOpen()) {
        if (file.startsWithUtf16Mark())
            file.open(true);
        else
            file.seekEnd();
    }

    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait_for(lock, std::chrono::milliseconds(500),
                       [this] { return stop_ || pending_.size() >= pendingLimit_; });
        if (!pending_.empty()) {
            if (file.isOpen()) {
                // Unbuffered writes: the lines are in the system's hands, and
                // callers never wait for the disk. At the end as it is now:
                // another program may have added lines since (a second
                // installer that found this one running).
                file.seekEnd();
                file.write(pending_.data(), pending_.size());
                if (file.position() >= kCutThreshold)
                    file.cutToLast(kCutKeep);
            }
            pending_.clear();
        }
        if (stop_)
            break;
    }
    if (file.isOpen())
        file.sync();
}

void startLogging(const std::wstring& path) { Logger::init(path); }

}  // namespace common
