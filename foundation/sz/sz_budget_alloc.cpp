#include "foundation/sz/sz_budget_alloc.h"

#include <windows.h>

#include <cstdlib>

#include "foundation/log.h"

namespace {

// Each block starts with its size, padded to keep malloc's alignment.
const size_t kHeader = 16;

SzBudgetAlloc* of(ISzAllocPtr p) { return reinterpret_cast<SzBudgetAlloc*>(const_cast<ISzAlloc*>(p)); }

void* budgetAlloc(ISzAllocPtr p, size_t size) { return of(p)->take(size); }

void budgetFree(ISzAllocPtr p, void* address) { of(p)->give(address); }

}  // namespace

SzBudgetAlloc::SzBudgetAlloc(uint64_t budgetBytes) : budget_(budgetBytes)
{
    vt.Alloc = budgetAlloc;
    vt.Free = budgetFree;
}

void* SzBudgetAlloc::take(size_t size)
{
    if (size == 0 || size > SIZE_MAX - kHeader) {
        return nullptr;
    }
    {
        std::lock_guard<SzLock> lock(lock_);
        if (used_ + size > budget_) {
            refusals_++;
            return nullptr;
        }
        used_ += size;
        if (used_ > peak_) {
            peak_ = used_;
        }
    }
    Byte* block = static_cast<Byte*>(malloc(size + kHeader));
    if (!block) {
        std::lock_guard<SzLock> lock(lock_);
        used_ -= size;
        return nullptr;
    }
    *reinterpret_cast<size_t*>(block) = size;
    return block + kHeader;
}

void SzBudgetAlloc::give(void* address)
{
    if (!address) {
        return;
    }
    Byte* block = static_cast<Byte*>(address) - kHeader;
    const size_t size = *reinterpret_cast<size_t*>(block);
    free(block);
    std::lock_guard<SzLock> lock(lock_);
    used_ -= size;
}

uint64_t SzBudgetAlloc::peak()
{
    std::lock_guard<SzLock> lock(lock_);
    return peak_;
}

unsigned SzBudgetAlloc::refusals()
{
    std::lock_guard<SzLock> lock(lock_);
    return refusals_;
}

uint64_t SzDefaultMemoryBudget()
{
    const uint64_t cap = sizeof(void*) == 8 ? (1ull << 30) : (384ull << 20);
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status)) {
        common::log("SzDefaultMemoryBudget", __LINE__, L"GlobalMemoryStatusEx failed lastError = %d",
                    static_cast<int>(GetLastError()));
        return 64ull << 20;
    }
    const uint64_t quarter = status.ullTotalPhys / 4;
    return quarter < cap ? quarter : cap;
}

unsigned SzProcessorCount()
{
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    unsigned count = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) {
        for (; process != 0; process &= process - 1) {
            count++;
        }
    }
    if (count == 0) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        count = info.dwNumberOfProcessors;
    }
    return count == 0 ? 1 : count;
}
