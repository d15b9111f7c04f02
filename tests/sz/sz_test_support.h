// Helpers for the extraction tests: the archives made at build time, tree
// comparison and a callback that records what the layer reports.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "foundation/sz/sz_extract.h"

namespace sztest {

// A file or folder made by make_fixtures.sh beside the test executable.
std::wstring fixture(const std::wstring& name);
std::string readFixture(const std::wstring& name);

// Every folder and file below root by relative path ('\\'-separated);
// folders map to "<dir>", files to their bytes.
typedef std::map<std::wstring, std::string> Tree;
Tree readTree(const std::wstring& root);
// Empty when equal, else the paths that differ.
std::string diffTrees(const Tree& expected, const Tree& actual);

// Records every call of the layer; can stop after a number of writes. (The
// layer also asks while it waits for decoded bytes, so asks may exceed writes.)
class RecordingCallback : public SzExtractCallback {
public:
    bool shouldContinue() override;
    void onProcessing(const wchar_t* itemName, uint64_t itemIndex, uint64_t itemCount, uint64_t bytesDone,
                      uint64_t bytesTotal) override;
    void onResult(int32_t code, const wchar_t* itemName) override;

    int allowWrites = -1;  // < 0: never stop
    int asks = 0;
    uint64_t progressCalls = 0;
    uint64_t lastDone = 0;
    uint64_t lastTotal = 0;
    bool progressInOrder = true;  // counters never go back, index < count, done <= total
    std::set<std::wstring> progressNames;
    std::vector<int32_t> results;
};

// SzExtractToDir on the bytes of archive.
SzResultCode extractToDir(const std::string& archive, const std::wstring& target, SzExtractCallback* callback);
// SzExtractInMemory on the bytes of archive; items collected by name ('/' kept).
SzResultCode extractInMemory(const std::string& archive, Tree* items = nullptr);

// A copy of an archive with an uncompressed header (7zz -mhc=off) in which
// the first `from` of the header reads `to` (as long), the start header's
// CRCs made to match again. Empty when `from` is not in the header.
std::string withHeaderPatched(const std::string& archive, const std::string& from, const std::string& to);

// The 7z header's variable-length encoding of a number, in at least length bytes.
std::string headerNumber(uint64_t value, size_t length = 0);

// A copy of hostile.7z whose one item is named `name` (exactly 20 UTF-16 units).
std::string hostileArchive(const std::wstring& name);

}  // namespace sztest
