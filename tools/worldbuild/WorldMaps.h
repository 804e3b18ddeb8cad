// Map content for world archives: the map-object type block and each map's five records (cells, outdoor
// cell offsets, monsters, objects, containers). Shared by the world builder and tests that build fixtures.
#pragma once
#include "BuildStep.h"
#include "WorldWriter.h"
#include "world/SMapArea.h"

#include <string>
#include <vector>

class SImageCache;
class SItemContainer;
class SMapObjectTypeTable;

namespace worldbuild {

// One cell of a map's cell record; every type and palette is a position in the module's "C" or "F" list
// (0 = none). A group is written when its type is set.
struct CellDef {
  u16 base1 = 0, base1Palette = 0, base1Second = 0;
  u16 base2 = 0, base2Palette = 0, base2Second = 0;
  u16 centre = 0, centrePalette = 0;
  u8 centreId = 0, cellFlags = 0;
  u16 style = 0, stylePalette = 0;
  u16 side[4] = {}, sidePalette[4] = {};
  u8 sideId[4] = {};
  u16 side2[4] = {}, side2Palette[4] = {};
  // The face record (written when faceCentre or face0 is set).
  u16 face0 = 0, face0Palette = 0, faceCentre = 0, faceCentrePalette = 0;
  u8 faceCentreId = 0;
};

struct MonsterDef {
  u16 templatePosition = 0;  // "E" list
  u8 id = 0, flags = 2, objectId = 0, x = 0, y = 0, containerId = 0;
  i16 hp = 0;  // stored only below data version 71
};

// Record R: marker "H" and the cells row by row; `offsets` (if given) gets each cell's offset.
Bytes CellRecord(const std::vector<CellDef>& cells, u32 version, std::vector<u16>* offsets = nullptr);
// Record R+1 of an outdoor map: a 2-byte header and the offsets.
Bytes OffsetRecord(const std::vector<u16>& offsets);
Bytes MonsterRecord(const std::vector<MonsterDef>& monsters, u8 nextId, u32 version);
// Record R+3: marker "I", the area byte, the objects (each written through the game's own transfer).
Bytes ObjectRecord(const std::vector<SMapObjectInst*>& objects, u32 version);
// Record R+4: the containers (each through the game's own transfer), or none.
Bytes ContainerRecord(const std::vector<SItemContainer*>& containers, u8 nextId, u32 version);
Bytes EmptyContainerRecord(u32 version);
// The type block record, through the table's own transfer.
Bytes TypeBlockRecord(SMapObjectTypeTable& table, u32 version);

// The builder's part: the type block from data/sample/maps/types.json and every map's content from
// data/sample/maps/maps.json into `spec` (the base archive). False after reporting a fault.
bool BuildMapBlocks(Context& ctx, WorldArchiveSpec& spec);
// After the archives are read back: every image name of every type names an image of the cache.
bool CheckMapTypes(Context& ctx, SMapObjectTypeTable& types, SImageCache& images);

}  // namespace worldbuild
