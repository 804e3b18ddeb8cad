#include "core/SRolePictures.h"

#include "core/SGameCore.h"

namespace RolePicture {

namespace {
constexpr i32 kDeviceModes[] = {6, 7, 8, 9, 10, 11, 14, 15, 16};
}  // namespace

std::span<const i32> DeviceModes() { return kDeviceModes; }

u16 RecordFor(u16 role, i32 displayMode) {
  if (role >= kCount) return 0;
  i32 mode = SGameCore::IsCompactMode(displayMode) ? 7 : 10;
  for (i32 m : kDeviceModes)
    if (m == displayMode) mode = m;
  u16 index = 0;
  while (kDeviceModes[index] != mode) ++index;
  return u16(kFirstRecord + index * kRecordsPerMode + role);
}

}  // namespace RolePicture
