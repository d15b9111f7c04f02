// Where the process looks for DLLs: never the current folder or the PATH,
// and system DLLs only in the system folder, so that a copy planted beside
// a program (a Downloads folder) is never the one loaded.
#pragma once

#include <windows.h>

namespace utility {

// Restricts every later DLL search of the process to the program's folder,
// the system folder and folders added on purpose. SetDefaultDllDirectories is
// looked up by name: a system without it keeps its search order (false).
// utility::init calls it first; programs and tests that do not start the
// foundation call it at the top of their entry point.
bool restrictDllSearch();

// Loads a system DLL by file name ("msimg32.dll") from the system folder
// only: with LOAD_LIBRARY_SEARCH_SYSTEM32, or by its full path where the
// system does not know that flag. Null, with a log line, on failure. The
// caller frees it (ScopedLibrary) or keeps it for the life of the process.
HMODULE loadSystemLibrary(const wchar_t* name);

}  // namespace utility
