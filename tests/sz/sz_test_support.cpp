#include "sz_test_support.h"

#include <cstring>

#include "7zCrc.h"
#include "common/test_util.h"

namespace sztest {

std::wstring fixtureDir()
{
    return testutil::exeDir() + L"fixtures\\";
}

std::wstring fixture(const std::wstring& name)
{
    return fixtureDir() + name;
}

std::string readFixture(const std::wstring& name)
{
    std::string bytes;
    testutil::readFile(fixture(name), bytes);
    return bytes;
}

namespace {

void walk(const std::wstring& root, const std::wstring& relative, Tree& tree)
{
    WIN32_FIND_DATAW data;
    std::wstring dir = relative.empty() ? root : root + L"\\" + relative;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        std::wstring child = relative.empty() ? name : relative + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree[child] = "<dir>";
            walk(root, child, tree);
        } else {
            testutil::readFile(root + L"\\" + child, tree[child]);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

}  // namespace

Tree readTree(const std::wstring& root)
{
    std::wstring clean = root;
    while (!clean.empty() && clean.back() == L'\\') {
        clean.pop_back();
    }
    Tree tree;
    walk(clean, L"", tree);
    return tree;
}

std::string diffTrees(const Tree& expected, const Tree& actual)
{
    std::string report;
    for (const auto& entry : expected) {
        auto found = actual.find(entry.first);
        if (found == actual.end()) {
            report += "missing: " + testutil::narrow(entry.first) + "\n";
        } else if (found->second != entry.second) {
            report += "differs: " + testutil::narrow(entry.first) + "\n";
        }
    }
    for (const auto& entry : actual) {
        if (expected.find(entry.first) == expected.end()) {
            report += "extra: " + testutil::narrow(entry.first) + "\n";
        }
    }
    return report;
}

bool RecordingCallback::shouldContinue()
{
    asks++;
    return allowWrites < 0 || asks <= allowWrites;
}

void RecordingCallback::onProcessing(const wchar_t* itemName, uint64_t itemIndex, uint64_t itemCount,
                                     uint64_t bytesDone, uint64_t bytesTotal)
{
    if (bytesDone < lastDone || itemIndex >= itemCount || bytesDone > bytesTotal ||
        (progressCalls != 0 && bytesTotal != lastTotal)) {
        progressInOrder = false;
    }
    progressCalls++;
    lastDone = bytesDone;
    lastTotal = bytesTotal;
    progressNames.insert(itemName);
}

void RecordingCallback::onResult(int32_t code, const wchar_t* itemName)
{
    results.push_back(code);
    resultName = itemName;
}

std::string hostileArchive(const std::wstring& name)
{
    std::string bytes = readFixture(L"hostile.7z");
    const std::wstring placeholder(20, L'P');
    if (name.size() != placeholder.size() || bytes.size() < 32) {
        return std::string();
    }
    std::string from(reinterpret_cast<const char*>(placeholder.data()), placeholder.size() * 2);
    std::string to(reinterpret_cast<const char*>(name.data()), name.size() * 2);
    size_t at = bytes.find(from);
    if (at == std::string::npos) {
        return std::string();
    }
    bytes.replace(at, to.size(), to);
    // The start header records the CRC of the (uncompressed) end header...
    uint64_t offset = 0;
    uint64_t size = 0;
    memcpy(&offset, bytes.data() + 12, 8);
    memcpy(&size, bytes.data() + 20, 8);
    CrcGenerateTable();
    UInt32 crc = CrcCalc(bytes.data() + 32 + offset, static_cast<size_t>(size));
    memcpy(&bytes[28], &crc, 4);
    // ... and its own CRC covers that field.
    crc = CrcCalc(bytes.data() + 12, 20);
    memcpy(&bytes[8], &crc, 4);
    return bytes;
}

}  // namespace sztest
