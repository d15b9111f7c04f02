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

SzResultCode extractToDir(const std::string& archive, const std::wstring& target,
                          SzExtractCallback* callback)
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

std::string hostileArchive(const std::wstring& name)
{
    std::string bytes = readFixture(L"hostile.7z");
    const std::wstring placeholder(20, L'P');
    const std::string from(reinterpret_cast<const char*>(placeholder.data()), placeholder.size() * 2);
    const size_t at = bytes.find(from);
    if (name.size() != placeholder.size() || at == std::string::npos)
        return std::string();
    bytes.replace(at, from.size(), reinterpret_cast<const char*>(name.data()), from.size());
    // The start header records the CRC of the (uncompressed) end header, and
    // its own CRC covers that field.
    uint64_t offset = 0, size = 0;
    memcpy(&offset, bytes.data() + 12, 8);
    memcpy(&size, bytes.data() + 20, 8);
    CrcGenerateTable();
    UInt32 crc = CrcCalc(bytes.data() + 32 + offset, static_cast<size_t>(size));
    memcpy(&bytes[28], &crc, 4);
    crc = CrcCalc(bytes.data() + 12, 20);
    memcpy(&bytes[8], &crc, 4);
    return bytes;
}

}  // namespace sztest
