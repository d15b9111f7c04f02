// The allocator the LZMA SDK's multi-threaded decoder is given: it counts
// what it hands out against a memory budget and refuses what would go over
// it. The decoder answers a refused buffer by decoding the rest of its stream
// on fewer threads, so a refusal costs time, never the extraction.
#pragma once

#include <cstdint>

#include "7zTypes.h"
#include "foundation/sz/sz_sync.h"

struct SzBudgetAlloc {
    ISzAlloc vt;  // first: the SDK hands &vt back to the callbacks

    explicit SzBudgetAlloc(uint64_t budgetBytes);
    SzBudgetAlloc(const SzBudgetAlloc&) = delete;
    SzBudgetAlloc& operator=(const SzBudgetAlloc&) = delete;

    uint64_t budget() const { return budget_; }
    // The most that was in use at once, and how many requests were refused.
    uint64_t peak();
    unsigned refusals();

    // Called by the vtable's functions.
    void* take(size_t size);
    void give(void* address);

private:
    const uint64_t budget_;
    SzLock lock_;
    uint64_t used_ = 0;
    uint64_t peak_ = 0;
    unsigned refusals_ = 0;
};

// What a folder's decoding may hold at once: a quarter of physical memory,
// at most 1 GiB in a 64-bit process and 384 MiB in a 32-bit one (2 GiB of
// address space, shared with the program and Wine).
uint64_t SzDefaultMemoryBudget();

// The processors this process may run on (at least 1).
unsigned SzProcessorCount();
