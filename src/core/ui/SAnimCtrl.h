// A timed animation drawn by the control itself on its ticks: either an animation resource (a base picture
// with overlay pictures drawn over it in turn, each for its own time) or an array of eight frames shown
// 200 ms each.
#pragma once
#include "core/ui/SCtrl.h"

struct SImage;

// One entry of an animation resource: an image of the image cache by name, where it is drawn over the
// base picture, and how long it stays (10 ms units).
struct SAnimationEntry {
  const char* name = nullptr;
  u16 x = 0, y = 0;
  u16 duration = 0;
};

// Entry 0 names the base picture; entries 1 .. count - 1 are the overlays.
struct SAnimation {
  u32 count = 0;
  const SAnimationEntry* entries = nullptr;
};

class SAnimCtrl : public SCtrl {
 public:
  static constexpr i32 kFrames = 8;
  static constexpr u32 kFrameTime = 200;

  SAnimCtrl() { inputMask = kInputTick; }

  // Frame-array mode over eight frames (an empty one is skipped), 200 ms each, from frame 0.
  void SetFrames(const SImage* const* frameArray);
  // Resource mode from overlay 1; the base picture is looked up in the image cache.
  void SetAnimation(const SAnimation* resource);

  u32 OnTick(u32 frameCounter) override;  // draws; never reports a command
  void Paint() override;

  u32 resourceMode = 0;
  const SAnimation* animation = nullptr;
  const SImage* basePicture = nullptr;
  i32 frame = 0;
  u32 stretch = 0;
  i32 sourceWidth = 0, sourceHeight = 0;
  u32 lastChange = 0;
  const SImage* const* frames = nullptr;
  i32 frameCount = 0;
  u32 frameTime = 0;

 private:
  const SImage* FindImage(const char* name) const;
  void SetSource(const SImage* image);
  bool HasSomething() const;
  void DrawBase();
  void DrawOverlay(i32 index);
  void DrawFrame();
};
