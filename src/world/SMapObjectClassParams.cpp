// The fixed parameters of the 43 map-object classes: class flags, default type flags, a small number per
// class and the mask of events the class reacts to. The world data does not store them.
#include "world/SMapObjectType.h"

namespace {

struct ClassValues {
  u32 classFlags;
  u16 typeFlags;
  u8 number;
  u16 eventMask;
};

// Row index = class number; row 0 is a placeholder no type uses.
constexpr ClassValues kClassValues[SMapObjectTypeTable::kClassRows] = {
    {0x00000000, 0x0000, 0, 0x000},   // 0
    {0x08008001, 0x0008, 1, 0x000},   // 1 texture
    {0x00001000, 0x0008, 47, 0x000},  // 2 plain
    {0x0800C000, 0x0008, 0, 0x000},   // 3 plain
    {0x00084000, 0x0008, 0, 0x207},   // 4 texture decor
    {0x0008A001, 0x0002, 1, 0x038},   // 5 wall
    {0x00202001, 0x0002, 1, 0x000},   // 6 wall line
    {0x04080881, 0x0001, 1, 0x23B},   // 7 block
    {0x04080881, 0x0001, 1, 0x23B},   // 8 block
    {0x80100080, 0x0002, 16, 0x038},  // 9 wall decor
    {0x001001C0, 0x0002, 8, 0x038},   // 10 city window
    {0x00120182, 0x4002, 2, 0x038},   // 11 city door
    {0x04120182, 0x0002, 2, 0x038},   // 12 npc
    {0x14080082, 0x0001, 2, 0x223},   // 13 flower
    {0x44120082, 0x0002, 2, 0x03C},   // 14 container
    {0x040A0082, 0x0001, 2, 0x223},   // 15 hole
    {0x04120788, 0x0002, 4, 0x038},   // 16 lever
    {0x44120182, 0x0002, 2, 0x03C},   // 17 shelf
    {0x04200002, 0x0002, 2, 0x000},   // 18 sign
    {0x04080001, 0x0001, 1, 0x038},   // 19 table
    {0x054A0A84, 0x0005, 3, 0x238},   // 20 door
    {0x00008082, 0x0010, 2, 0x000},   // 21 plain
    {0x054A0A90, 0x0005, 3, 0x238},   // 22 door
    {0x00008082, 0x0010, 2, 0x000},   // 23 plain
    {0x02480001, 0x0001, 1, 0x000},   // 24 footbridge
    {0x050A0808, 0x0001, 4, 0x21B},   // 25 teleport
    {0x04080001, 0x0001, 1, 0x238},   // 26 tree
    {0x04090000, 0x0001, 0, 0x203},   // 27 group
    {0x04120188, 0x0002, 4, 0x038},   // 28 secret switch
    {0x04080001, 0x0001, 1, 0x203},   // 29 pillar
    {0x00004000, 0x0000, 0, 0x000},   // 30 plain
    {0x040A0182, 0x0001, 2, 0x207},   // 31 floor switch
    {0x040A0182, 0x0001, 2, 0x038},   // 32 stand
    {0x040A0B04, 0x4001, 3, 0x020},   // 33 stair
    {0x00000384, 0x0000, 3, 0x000},   // 34 plain
    {0x040A0182, 0x0001, 2, 0x238},   // 35 web
    {0x00004000, 0x0020, 0, 0x000},   // 36 plain
    {0x040A4000, 0x4001, 0, 0x238},   // 37 wall of force
    {0x04080001, 0x0001, 1, 0x23B},   // 38 bush
    {0x040B0000, 0x0001, 0, 0x203},   // 39 position
    {0x80100080, 0x0002, 16, 0x038},  // 40 wall and floor decor
    {0x04084800, 0x0001, 1, 0x23B},   // 41 animated block
    {0x040A0182, 0x0001, 2, 0x23B},   // 42 trap
    {0x04090000, 0x0001, 0, 0x203},   // 43 ambient sound
};

}  // namespace

void SMapObjectTypeTable::InitClassParameters() {
  for (u32 i = 0; i < kClassRows; ++i) {
    SMapObjectClassRow& row = classParams[i];
    row = SMapObjectClassRow();
    row.classFlags = kClassValues[i].classFlags;
    row.typeFlags = kClassValues[i].typeFlags;
    row.number = kClassValues[i].number;
    row.eventMask = kClassValues[i].eventMask;
    // Row 0 carries empty texts, the class rows none.
    for (const char*& t : row.texts) t = i == 0 ? "" : nullptr;
    classTypeFlags[i] = u16(row.typeFlags);
  }
}
