// Where the process looks for DLLs: never the current folder or the PATH,
// and system DLLs only in the system folder, so that a copy planted beside
// a program (a Downloads folder) is never the one loaded.
#pragma once

#include <windows.h>

namespace utility {

// Whether the program's own folder may serve DLLs. The launcher and the
// uninstaller load their libraries from their folder (the install folder);
// the installer runs from wherever it was downloaded to and loads nothing of
// its own, so it refuses its folder.
enum class ProgramFolderDlls { Allowed, Refused };

// Restricts every later DLL search of the process to the system folder, the
// program's folder when allowed, and folders added on purpose, and keeps the
// choice for the calls below. SetDefaultDllDirectories is looked up by name:
// a system without it keeps its search order (false). A program states its
// choice at the top of its entry point; utility::init repeats the call with
// the choice made (the program's folder allowed until one is stated).
bool restrictDllSearch(ProgramFolderDlls programFolder);
bool restrictDllSearch();
bool programFolderServesDlls();

// Loads a system DLL by file name ("msimg32.dll") from the system folder
// only: with LOAD_LIBRARY_SEARCH_SYSTEM32, or by its full path where the
// system does not know that flag. Null, with a log line, on failure. The
// caller frees it (ScopedLibrary) or keeps it for the life of the process.
HMODULE loadSystemLibrary(const wchar_t* name);

// Loads a DLL named by a skin or a setting: a plain file name, looked up in
// the program's folder when the program allows that, then in the system
// folder. A name with a folder part, a drive or ".." is refused (null, with
// a log line), as is a name found in neither folder.
HMODULE loadModuleByName(const wchar_t* fileName);

}  // namespace utility
