// The tables the renderer draws the game's view from, one set per window of cells: a render cell and a
// second-layer record per window cell, the ground-texture records, the render-word and light-word
// records of both layers (the map-object kinds fill them), and the bag and monster draw records indexed
// by the small sequence numbers of the window's bags and monsters. Cell i (x + 35 y) uses ground record
// i + 1 and word records 2i + 1 (first layer) and 2i + 2 (second layer).
#pragma once
#include "graphics/renderer/SWorldView.h"
#include "os/Types.h"

// Words of a render cell (the renderer reads 0 to 11): words 4 to 8 are the sprite a cell shows besides its
// monsters (a missile in flight, a spell's effect): picture, palette, x and y inside the cell, height.
namespace RenderCell {
constexpr u32 kGround = 0, kObject = 1, kFaces = 2, kBag = 3, kSprite = 4, kSpritePalette = 5, kSpriteX = 6,
              kSpriteY = 7, kSpriteHeight = 8, kMonster1 = 9, kMonster2 = 10, kLight = 11, kKind = 12;
}  // namespace RenderCell

// Words of a second-layer record.
namespace RenderLayer2 {
constexpr u32 kObject = 0, kFaces = 1, kLight = 2;
}  // namespace RenderLayer2

// Words of a ground-texture record: three textures, their palettes, the flag word of the first (bit 0: the
// cell is a pit walled by its wall base), the mask pictures of the second and third, and a last word.
namespace GroundRecord {
constexpr u32 kTexture = 0, kPalette = 3, kFlags = 6, kMask = 7, kLast = 9;
}  // namespace GroundRecord

// Words of a monster draw record: the renderer's creature record (picture, palette, place in the cell,
// height, flags with bit 0 mirrored, overlay), then the monster's own animation words.
namespace MonsterDraw {
constexpr u32 kPicture = 0, kPalette = 1, kX = 2, kY = 3, kHeight = 4, kFlags = 5, kOverlay = 6, kLook = 7, kFrame = 8,
              kCountdown = 9;
}  // namespace MonsterDraw

struct SSceneTables {
  static constexpr u32 kCells = 1225;
  static constexpr u32 kGroundRecords = kCells + 1;
  static constexpr u32 kWordRecords = 2 * kCells + 1;
  static constexpr u32 kNumbered = 256;  // bag and monster records, by sequence number (0 unused)
  static constexpr u32 kLight = 256;     // a cell's normal light

  SSceneTables() = default;
  ~SSceneTables() { Free(); }
  SSceneTables(const SSceneTables&) = delete;
  SSceneTables& operator=(const SSceneTables&) = delete;

  // Every table zeroed; false (and nothing held) when memory runs out.
  bool Allocate();
  void Free();
  bool IsAllocated() const { return cells != nullptr; }
  void Reset();

  u16* Cell(u32 i) { return cells + i * RenderWords::kCellWords; }
  u16* Layer2(u32 i) { return layer2 + i * RenderWords::kCellSideWords; }
  u16* Ground(u32 i) { return ground + (i + 1) * RenderWords::kFloorTypeWords; }
  // Word records of cell i's first (1) or second (2) layer.
  u16* Words(u32 i, u32 layer) { return words + (2 * i + layer) * RenderWords::kObjectWords; }
  u16* Lights(u32 i, u32 layer) { return lights + (2 * i + layer) * RenderWords::kWallFaceWords; }
  // Null for number 0 or one outside the table.
  u16* Bag(u32 number) { return number && number < kNumbered ? bags + number * RenderWords::kFloorItemWords : nullptr; }
  u16* Monster(u32 number) {
    return number && number < kNumbered ? monsters + number * RenderWords::kCreatureWords : nullptr;
  }

  // Hands the tables and their counts to the view the renderer reads.
  void Publish(SWorldView& view) const;

  u16* cells = nullptr;
  u16* layer2 = nullptr;
  u16* ground = nullptr;
  u16* words = nullptr;
  u16* lights = nullptr;
  u16* bags = nullptr;
  u16* monsters = nullptr;
};
