// The output side of an in-memory extraction: collects each file's bytes
// and hands the complete, CRC-checked file to the caller's callback.
#pragma once

#include <string>

#include "7z.h"
#include "foundation/sz/sz_extract.h"
#include "foundation/sz/sz_extract_all.h"

class SzMemSink : public SzOutSink {
public:
    explicit SzMemSink(const SzItemCallback& onItem);

    void attach(const CSzArEx* db) override;
    size_t write(const Byte* data, size_t size) override;
    SRes finish() override;

    // 0, 1002 (a file too big to hold) or 1005.
    SzResultCode errorCode() const { return errorCode_; }

private:
    bool beginNextItem();
    bool completeItem();

    SzResultCode errorCode_ = 0;
    const CSzArEx* db_ = nullptr;
    UInt32 itemIndex_ = 0;
    bool itemOpen_ = false;
    std::wstring itemName_;
    std::string bytes_;
    UInt64 bytesLeft_ = 0;
    const SzItemCallback& onItem_;
};
