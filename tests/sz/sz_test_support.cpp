#include "sz_test_support.h"

#include <cstring>

#include "7zCrc.h"
#include "common/test_util.h"

namespace sztest {

std::wstring fixture(const std::wstring& name) { return testutil::exeDir() + L"fixtures\\" + name; }

std::string readFixture(const std::wstring& name) { return testutil::readFile(fixture(name)); }

namespace {
void walk(const std::wstring& root, const std::wstring& relative, Tree& tree)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((root + relative + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree[relative + name] = "<dir>";
            walk(root, relative + name + L"\\", tree);
        } else {
            tree[relative + name] = testutil::readFile(root + relative + name);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}
}  // namespace

Tree readTree(const std::wstring& root)
{
    Tree tree;
    walk(root.empty() || root.back() == L'\\' ? root : root + L"\\", L"", tree);
    return tree;
}

std::string diffTrees(const Tree& expected, const Tree& actual)
{
    std::string report;
    for (const auto& entry : expected) {
        auto found = actual.find(entry.first);
        if (found == actual.end() || found->second != entry.second)
            report += "missing or different: " + testutil::narrow(entry.first) + "\n";
    }
    for (const auto& entry : actual) {
        if (expected.find(entry.first) == expected.end())
            report += "extra: " + testutil::narrow(entry.first) + "\n";
    }
    return report;
}

bool RecordingCallback::shouldContinue()
{
    asks++;
    return allowWrites < 0 || progressCalls < static_cast<uint64_t>(allowWrites);
}

void RecordingCallback::onProcessing(const wchar_t* itemName, uint64_t itemIndex, uint64_t itemCount,
                                     uint64_t bytesDone, uint64_t bytesTotal)
{
    if (bytesDone < lastDone || itemIndex >= itemCount || bytesDone > bytesTotal ||
        (progressCalls != 0 && bytesTotal != lastTotal))
        progressInOrder = false;
    progressCalls++;
    lastDone = bytesDone;
    lastTotal = bytesTotal;
    progressNames.insert(itemName);
}

void RecordingCallback::onResult(int32_t code, const wchar_t*) { results.push_back(code); }

SzResultCode extractToDir(const std::string& archive, const std::wstring& target, SzExtractCallback* callback)
{
    return SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()), target, callback);
}

SzResultCode extractInMemory(const std::string& archive, Tree* items)
{
    return SzExtractInMemory(archive.data(), static_cast<uint32_t>(archive.size()),
                             [items](const std::wstring& name, const std::string& bytes) {
                                 if (items)
                                     (*items)[name] = bytes;
                             });
}

std::string withHeaderPatched(const std::string& archive, const std::string& from, const std::string& to)
{
    if (archive.size() < 32 || from.size() != to.size())
        return std::string();
    uint64_t offset = 0, size = 0;
    memcpy(&offset, archive.data() + 12, 8);
    memcpy(&size, archive.data() + 20, 8);
    if (32 + offset + size > archive.size())
        return std::string();
    const size_t at = archive.find(from, 32 + offset);
    if (at == std::string::npos)
        return std::string();
    std::string bytes = archive;
    bytes.replace(at, from.size(), to);
    // The start header records the CRC of the end header, and its own CRC covers that field.
    CrcGenerateTable();
    UInt32 crc = CrcCalc(bytes.data() + 32 + offset, static_cast<size_t>(size));
    memcpy(&bytes[28], &crc, 4);
    crc = CrcCalc(bytes.data() + 12, 20);
    memcpy(&bytes[8], &crc, 4);
    return bytes;
}

std::string headerNumber(uint64_t value, size_t length)
{
    int extra = 0;
    while (extra < 8 && (value >= (1ull << (7 * (extra + 1))) || static_cast<size_t>(extra + 1) < length))
        extra++;
    const unsigned first = extra == 8 ? 0xFF
                                      : (((0xFF00u >> extra) & 0xFF) | static_cast<unsigned>(value >> (8 * extra)));
    std::string out(1, static_cast<char>(first));
    for (int i = 0; i < extra; i++)
        out += static_cast<char>(value >> (8 * i));
    return out;
}

std::string hostileArchive(const std::wstring& name)
{
    const std::wstring placeholder(20, L'P');
    if (name.size() != placeholder.size())
        return std::string();
    return withHeaderPatched(readFixture(L"hostile.7z"),
                             std::string(reinterpret_cast<const char*>(placeholder.data()), placeholder.size() * 2),
                             std::string(reinterpret_cast<const char*>(name.data()), name.size() * 2));
}

}  // namespace sztest
