// A screen layout record from untrusted bytes: every lookup of the screens it names, for every display mode,
// must stay inside the record.
#include "common/Outcome.h"
#include "core/SLayoutTable.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

// A real layout record names a few screens, each with at most a variant per display mode (18 of them) and a
// few dozen controls: the sample world's name three screens with at most five variants, in under 4 KB. Every
// lookup walks the screen list and the variant lists, so looking everything up is quadratic in those
// counts: counts above these caps are cut to them in a copy of the record, which still lets a list run past
// a short record.
constexpr u16 kMaxScreens = 16, kMaxVariants = 18;

u16 WordAt(const std::vector<u8>& record, u32 offset) {
  offset &= ~1u;
  u16 value = 0;
  if (offset + 2 <= record.size()) std::memcpy(&value, record.data() + offset, 2);
  return value;
}

void CapWord(std::vector<u8>& record, u32 offset, u16 cap) {
  offset &= ~1u;
  if (offset + 2 <= record.size() && WordAt(record, offset) > cap) std::memcpy(record.data() + offset, &cap, 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 8192) return 0;  // twice the largest real record
  FuzzOutcome outcome;
  std::vector<u8> record(data, data + size);
  CapWord(record, 0, kMaxScreens);
  for (u32 i = 0; i < WordAt(record, 0); ++i) CapWord(record, WordAt(record, 2 + 4 * i), kMaxVariants);
  const u16 screens = WordAt(record, 0);
  SLayoutTable table;
  if (!table.Load(record.data(), static_cast<u32>(size))) return 0;
  // A screen id listed twice answers the same lookups: each is looked up once.
  std::vector<u16> ids;
  for (u32 i = 0; i < screens && 6 + 4 * i <= size; ++i) {
    u16 id = 0;
    std::memcpy(&id, record.data() + 4 + 4 * i, 2);
    ids.push_back(id);
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  volatile u32 sink = 0;
  for (u16 id : ids) {
    for (i32 mode = 0; mode <= 17; ++mode) {
      u32 w = 0, h = 0;
      // Without a variant for the mode every control lookup finds nothing before reaching a control list.
      if (!table.GetSize(id, mode, w, h)) continue;
      sink = sink + w + h;
      for (u32 control : {0u, 1u, 10u, 19u, 157u, 199u, 550u, 0x10000u + 550u})
        if (const SLayoutItem* item = table.GetItem(id, mode, control))
          sink = sink + item->x + item->y + item->w + item->h;
    }
  }
  outcome.AddValue(sink);
  return 0;
}
