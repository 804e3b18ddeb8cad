// A screen layout record from untrusted bytes: every lookup of the screens it names, for every display mode,
// must stay inside the record.
#include "core/SLayoutTable.h"

#include <cstring>
#include <initializer_list>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 16)) return 0;
  SLayoutTable table;
  if (!table.Load(data, static_cast<u32>(size))) return 0;
  u16 screens = 0;
  std::memcpy(&screens, data, 2);
  volatile u32 sink = 0;
  for (u32 i = 0; i < screens && 6 + 4 * i <= size; ++i) {
    u16 id = 0;
    std::memcpy(&id, data + 4 + 4 * i, 2);
    for (i32 mode = 0; mode <= 17; ++mode) {
      u32 w = 0, h = 0;
      if (table.GetSize(id, mode, w, h)) sink = sink + w + h;
      for (u32 control : {0u, 1u, 10u, 19u, 157u, 199u, 550u, 0x10000u + 550u})
        if (const SLayoutItem* item = table.GetItem(id, mode, control))
          sink = sink + item->x + item->y + item->w + item->h;
    }
  }
  return 0;
}
