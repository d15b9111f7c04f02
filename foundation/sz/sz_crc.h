// The CRC-32 of extracted bytes, as the SDK's CrcUpdate computes it: on a
// processor with carry-less multiplication, 64 bytes at a time by folding,
// several times faster than the SDK's tables, which do the rest. The
// writing thread checks every byte it writes, so this is its cost per byte
// beside the write itself.
#pragma once

#include <cstddef>

#include "7zTypes.h"

// Continues crc (CRC_INIT_VAL at the start; CRC_GET_DIGEST at the end) over
// size bytes. The SDK's CRC table must be built (CrcGenerateTable).
UInt32 SzCrcUpdate(UInt32 crc, const void* data, size_t size);
