// Builds SWorldViews for renderer tests from a few rows of text, with procedural textures in any of the
// three image formats. The same texture content is produced in every format, so a scene renders to the
// same pixels whatever format its textures use.
//
// Cell characters:
//   .  floor                       #  wall block of both storeys     L  wall block of the lower storey only
//   U  floor under an upper-storey wall block                        p  pit
//   m  floor with two layers and a mask (kind 2)                     3  three layers and two masks (kind 3)
//   4  floor with a keyed overlay object (kind 4)                    5  kinds 2 and 4 together (kind 5)
//   w  floor whose walls around it have a second, windowed layer (kind 9)
//   (space) no floor at all
#pragma once
#include "graphics/renderer/SRenderer.h"

#include <string>
#include <vector>

namespace scene {

// Image ids of the scene's textures.
enum : u16 {
  kWall = 1,
  kUpperWall,
  kFloor,
  kFloor2,
  kFloor3,
  kMask1,
  kMask2,
  kPitSide,
  kSky,
  kWindow,
  kOverlay,
  kCeiling,  // the upper ceiling when the sky is off (the view's sky texture then)
  // Upright images (type 0 blocks are transparent in every format) and pictures.
  kTree,
  kCreature,
  kItem,
  kDoor,
  kArch,
  kHandle,
  kShield,
  kHand,
  kBanner,
  kGhost,
  kImageCount
};

struct Options {
  std::vector<std::string> rows;
  double camX = 0.5, camY = 0.5;  // cells
  double angleDegrees = 0;        // converted to 16.16 exactly for whole and .5 degrees
  i32 angle16 = -1;               // when set (>= 0), used instead of angleDegrees
  bool sky = true;
  int format = 0;
  i32 viewWidth = 240, viewHeight = 180;
  i32 far = 1680, fogStart = 1008;  // reference pixels
  u16 fogColor = 0x8410;
  u16 lightScale = 2048;  // every cell's light scale (2048 = 1.0; lower shows more fog)
  i32 skyAngle = 0;
  u32 orientation = 0;
  i32 viewX = 0, viewY = 0;               // viewport position on the screen
  i32 screenWidth = 0, screenHeight = 0;  // 0: the viewport's size plus its position
};

class Scene {
 public:
  explicit Scene(const Options& options);
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  SWorldView view;
  Options options;
  std::vector<u16> frame;  // physical frame memory
  i32 pitch = 0;
  SSurface screen;  // logical screen over `frame`

  // Clears the frame to 0xF81F (never drawn by the scenes) and draws one view.
  void Render(SRenderer& renderer);
  // The viewport's pixels in logical order, row by row.
  std::vector<u16> Viewport() const;

  static std::vector<u16> MakeImage(u16 id, int format);

  // Records added to the view's tables (ids from 1 up, after the scene's own); the view follows.
  u16 AddObject(const std::vector<u16>& words);       // 31 words, missing ones 0
  u16 AddWallFace(const std::vector<u16>& words);     // 36 words
  u16 AddFloorItems(const std::vector<u16>& images);  // up to 10 image ids
  u16 AddCreature(const std::vector<u16>& words);     // 14 words
  void SetCell(int x, int y, int word, u16 value);
  void SetSide(int x, int y, int word, u16 value);
  std::vector<i8> feet;  // foot value per image id

 private:
  std::vector<std::vector<u16>> records_;
  std::vector<const SImage*> images_;
  std::vector<u32> sizes_;
  std::vector<u16> cells_, sides_, floorTypes_, objects_, wallFaces_, floorItems_, creatures_;
  void Relink();
};

}  // namespace scene
