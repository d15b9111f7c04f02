#include "foundation/sz/sz_mem_sink.h"

#include <new>
#include <vector>

#include "7zCrc.h"
#include "foundation/log.h"
#include "foundation/sz/sz_crc.h"

SzMemSink::SzMemSink(const SzItemCallback& onItem) : onItem_(onItem) {}

void SzMemSink::attach(const CSzArEx* db) { db_ = db; }

// Skips folders and empty files; true when a file that takes data begins.
bool SzMemSink::beginNextItem()
{
    while (itemIndex_ < db_->NumFiles) {
        const UInt32 index = itemIndex_;
        const UInt64 size = SzArEx_GetFileSize(db_, index);
        if (SzArEx_IsDir(db_, index) || size == 0) {
            itemIndex_++;
            continue;
        }
        const size_t length = SzArEx_GetFileNameUtf16(db_, index, nullptr);
        std::vector<UInt16> name(length + 1, 0);
        SzArEx_GetFileNameUtf16(db_, index, name.data());
        itemName_ = reinterpret_cast<const wchar_t*>(name.data());
        bytes_.clear();
        try {
            if (size > bytes_.max_size()) {
                throw std::bad_alloc();
            }
            bytes_.reserve(static_cast<size_t>(size));
        } catch (const std::exception&) {
            common::log("SzMemSink::beginNextItem", __LINE__, L"no memory for %s (%I64u bytes)", itemName_.c_str(),
                        size);
            errorCode_ = kSzErrorMem;
            return false;
        }
        bytesLeft_ = size;
        itemOpen_ = true;
        return true;
    }
    return false;
}

bool SzMemSink::completeItem()
{
    const UInt32 index = itemIndex_;
    itemOpen_ = false;
    itemIndex_++;
    if (SzBitWithVals_Check(&db_->CRCs, index) &&
        CRC_GET_DIGEST(SzCrcUpdate(CRC_INIT_VAL, bytes_.data(), bytes_.size())) != db_->CRCs.Vals[index]) {
        common::log("SzMemSink::completeItem", __LINE__, L"CRC mismatch in %s", itemName_.c_str());
        errorCode_ = kSzErrorCrc;
        return false;
    }
    onItem_(itemName_, bytes_);
    bytes_.clear();
    return true;
}

size_t SzMemSink::write(const Byte* data, size_t size)
{
    size_t taken = 0;
    while (errorCode_ == 0 && taken < size) {
        if (!itemOpen_ && !beginNextItem()) {
            // Bytes after the last item are ignored.
            return errorCode_ == 0 ? size : taken;
        }
        size_t chunk = size - taken;
        if (chunk > bytesLeft_) {
            chunk = static_cast<size_t>(bytesLeft_);
        }
        bytes_.append(reinterpret_cast<const char*>(data + taken), chunk);
        taken += chunk;
        bytesLeft_ -= chunk;
        if (bytesLeft_ == 0 && !completeItem()) {
            break;
        }
    }
    return taken;
}

SRes SzMemSink::finish()
{
    if (errorCode_ == 0 && (itemOpen_ || beginNextItem())) {
        common::log("SzMemSink::finish", __LINE__, L"no data left for %s", itemName_.c_str());
        return SZ_ERROR_DATA;
    }
    return SZ_OK;
}
