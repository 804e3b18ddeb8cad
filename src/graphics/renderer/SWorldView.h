// The view record the world simulation fills before each frame; the renderer only reads it (and sets flags
// bit 1). Tables are indexed by the render words of the cells.
#pragma once
#include "os/Types.h"

struct SImage;

// Word layout of the records the tables hold.
namespace RenderWords {
constexpr int kCellWords = 13;     // SRenderCell
constexpr int kCellSideWords = 3;  // upper storey words per cell
constexpr int kFloorTypeWords = 10;
constexpr int kObjectWords = 31;
constexpr int kWallFaceWords = 36;
constexpr int kFloorItemWords = 10;
constexpr int kCreatureWords = 14;
}  // namespace RenderWords

struct SWorldView {
  const u16* cells = nullptr;      // 13 words per cell, row-major, mapWidth x mapHeight
  const u16* cellSides = nullptr;  // 3 words per cell: upper object, upper wall faces, upper light scale
  const SImage* const* images = nullptr;
  const u16* const* palettes = nullptr;  // id 0 means the image's own table
  const i8* imageFeet = nullptr;
  const u16* floorTypes = nullptr;
  const u16* objects = nullptr;
  const u16* wallFaces = nullptr;
  const u16* floorItems = nullptr;
  const u16* creatures = nullptr;
  u16 flags = 0;  // bit 0 sky, bit 1 set by the renderer every frame, bit 2 rain
  u16 skyTexture = 0;
  u16 skyPalette = 0;
  i32 cameraX = 0;  // 16.16 cells
  i32 cameraY = 0;
  i32 angle = 0;  // 16.16 degrees, 0 <= angle < 360 << 16
  i32 skyAngle = 0;
  u16 mapWidth = 0;
  u16 mapHeight = 0;
  i32 fogStart = 0;  // reference pixels beyond the focal distance
  i32 far = 0;
  u16 fogColor = 0;  // RGB565
  i32 viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;
  u16* frameBuffer = nullptr;
  i32 pitch = 0;
  u32 orientation = 0;
  const SImage* altImageA = nullptr;
  const SImage* altImageB = nullptr;

  // The first-person overlay images drawn over the view's lower corners (the hands). Percentages cut the
  // images: p x size / 100 pixels are drawn.
  u16 handRightImage = 0;
  u16 handRightPalette = 0;
  u16 handRightHeightPct = 100;
  u16 handRightWidthPct = 100;
  u8 handSecondFollows = 0;  // the left image is drawn relative to the right one (offsets below)
  u16 handLeftImage = 0;
  u16 handLeftPalette = 0;
  u16 handLeftHeightPct = 100;
  u16 handLeftWidthPct = 100;
  u8 handLeftMirrored = 0;
  i16 handSecondDy = 0;
  i16 handSecondDx = 0;

  // Sizes of the tables, so that a render word pointing past its table is treated as absent rather than
  // read out of bounds. A count of 0 leaves that table unchecked (the owner vouches for its words).
  u32 imageCount = 0;
  u32 paletteCount = 0;
  u32 floorTypeCount = 0;
  u32 objectCount = 0;
  u32 wallFaceCount = 0;
  u32 floorItemCount = 0;
  u32 creatureCount = 0;
  // Optional record sizes in bytes per image id: textures addressed with 256 texels per row (floors) are
  // only drawn when their record holds that many texels. Null leaves the images unchecked.
  const u32* imageSizes = nullptr;
  // Optional colour-table sizes: the entries each image id reads from its table, and the colours each
  // palette id holds. A palette that holds fewer than the image reads is not drawn with it. Null leaves
  // the palettes unchecked (the owner vouches for its words).
  const u32* imageTableNeeds = nullptr;
  const u32* paletteSizes = nullptr;
};
