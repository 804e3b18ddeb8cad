// One record's bytes copied out of a record-database file; owned by whoever holds it.
#pragma once
#include "os/Types.h"

struct SRecordData {
  u8* data = nullptr;  // new[] block
  u32 size = 0;

  SRecordData() = default;
  SRecordData(u8* d, u32 n) : data(d), size(n) {}
  SRecordData(const SRecordData&) = delete;
  SRecordData& operator=(const SRecordData&) = delete;
  ~SRecordData() { delete[] data; }
};
