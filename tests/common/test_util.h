// Helpers shared by the tests: temporary folders, files, the folder of the
// running test executable, and running the UI thread's queue.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testutil {

// A fresh folder under %TEMP%, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder with a trailing backslash.
    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// Sets an environment variable of this process (and so of the programs it
// starts) while it lives, then restores the earlier value.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const wchar_t* name, const std::wstring& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::wstring name_;
    std::wstring previous_;
    bool hadPrevious_ = false;
};

void removeTree(const std::wstring& path);
bool writeFile(const std::wstring& path, const std::string& bytes);
bool readFile(const std::wstring& path, std::string& bytes);
std::string readFile(const std::wstring& path);
// The lines of a UTF-8 file whose lines end with CR LF (as the recording
// stand-ins write them); empty when the file is missing.
std::vector<std::wstring> readLines(const std::wstring& path);
bool fileExists(const std::wstring& path);
bool dirExists(const std::wstring& path);
// Folder of the running executable, with a trailing backslash.
std::wstring exeDir();
// A program's language table (unixSource, a file of the source tree) written
// to path with the columns of `language` and "en_US" trading places: beside a
// program that speaks English, it makes the program speak that language.
bool writeTableSpeaking(const std::string& unixSource, const std::wstring& path, const std::string& language);
// The languages the programs' screenshots are kept in: each reachable one
// (by its region code), and Arabic through a table beside the program (the
// region "en" with writeTableSpeaking). Under emulated 32-bit Wine, several
// times slower, one language of each kind of script.
struct ScreenshotLanguage {
    const wchar_t* region;
    const char* locale;
};
std::vector<ScreenshotLanguage> screenshotLanguages();
// False when this process runs without a display (under Wine: DISPLAY unset),
// as the tests' no-display entries start it; the programs it starts then
// cannot make a window either.
bool hasDisplay();
// Pumps this thread's messages until pred() is true or timeoutMs passes.
bool pumpUntil(const std::function<bool()>& pred, DWORD timeoutMs);
// Pumps this thread's messages for the given time.
void pumpFor(DWORD ms);
std::wstring widen(const std::string& utf8);
// Adds a certificate (a DER file) to the machine's trusted roots of this Wine
// prefix, where every process of the test finds it; true when it is there.
// Adding it again changes nothing.
bool trustRootCertificate(const std::wstring& derFile);
std::string narrow(const std::wstring& wide);

}  // namespace testutil
