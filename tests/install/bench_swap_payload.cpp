// Puts another archive into an installer as its payload (resource 130 of
// type "zip"): every language of the old one goes, the archive comes in.
//   bench_swap_payload.exe <installer exe> <archive>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const wchar_t kType[] = L"ZIP";
const int kId = 130;

BOOL CALLBACK collectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

bool readArchive(const wchar_t* path, std::vector<char>& bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < 0x7FFFFFFF;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
    }
    CloseHandle(file);
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_swap_payload <installer exe> <archive>\n");
        return 2;
    }
    std::vector<char> archive;
    if (!readArchive(argv[2], archive)) {
        std::fprintf(stderr, "cannot read %ls\n", argv[2]);
        return 1;
    }
    std::vector<WORD> languages;
    HMODULE image = LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (image != nullptr) {
        EnumResourceLanguagesW(image, kType, MAKEINTRESOURCEW(kId), collectLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        FreeLibrary(image);
    }
    HANDLE update = BeginUpdateResourceW(argv[1], FALSE);
    if (update == nullptr) {
        std::fprintf(stderr, "cannot update %ls: %lu\n", argv[1], GetLastError());
        return 1;
    }
    for (WORD language : languages)
        UpdateResourceW(update, kType, MAKEINTRESOURCEW(kId), language, nullptr, 0);
    if (!UpdateResourceW(update, kType, MAKEINTRESOURCEW(kId), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                         archive.data(), static_cast<DWORD>(archive.size())) ||
        !EndUpdateResourceW(update, FALSE)) {
        std::fprintf(stderr, "cannot write the payload: %lu\n", GetLastError());
        return 1;
    }
    return 0;
}
