// A portrait: a character's or a monster's face by name, or a face image drawn over the picture with a
// palette of the image cache, or one of the game core's two badges.
#pragma once
#include "core/ui/SCtrl.h"

struct SImage;
struct SPaletteEntry;

class SFaceCtrl : public SCtrl {
 public:
  SFaceCtrl() { inputMask = kInputPen; }

  // The picture of that name from the image cache, loaded on first use (none when absent).
  void SetFace(const char* name);
  // The picture of the face table's record of that name; failing that, the monster base type's portrait;
  // failing both, no picture.
  void SetFaceByName(const char* characterName);
  void SetPicture(const SImage* image);
  // The face image and palette of the image cache by index (palette 0: the image's own).
  void SetPictures(u32 imageIndex, u32 paletteIndex);
  void SetBadge(u32 plain, u32 which);
  void ClearFace();

  // With a face image nothing is reported; otherwise a pen-up inside reports the id.
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  void Paint() override;

  const SImage* picture = nullptr;
  i32 pictureWidth = 0, pictureHeight = 0;
  u32 backgroundColour = 0;
  const SImage* faceImage = nullptr;  // drawn keyed over the picture
  const SPaletteEntry* facePalette = nullptr;
  u32 plainFace = 0;  // 1: the face image with its colour key only
};

// A two-colour progress bar.
class SProgressCtrl : public SCtrl {
 public:
  SProgressCtrl() { SetDefaults(); }
  void SetDefaults();
  // A total below 1 counts as 1: the bar divides by it.
  void SetTotal(i32 n);
  void Step();
  void Paint() override;

  u32 restColour = 0;
  u32 doneColour = 0;
  i32 total = 1;
  i32 done = 0;
};
