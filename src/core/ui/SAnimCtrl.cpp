#include "core/ui/SAnimCtrl.h"

#include "core/SGameCore.h"
#include "graphics/SDisplay.h"
#include "platform/hal/Game.h"

const SImage* SAnimCtrl::FindImage(const char* name) const {
  if (!core || !name) return nullptr;
  SImageEntry* entry = core->world.images.FindImage(name);
  if (entry && !entry->IsResident()) core->world.images.LoadImage(entry);
  return entry ? entry->image : nullptr;
}

void SAnimCtrl::SetSource(const SImage* image) {
  sourceWidth = image ? image->width : 0;
  sourceHeight = image ? image->height : 0;
  stretch = sourceWidth != width || sourceHeight != height ? 1 : 0;
}

void SAnimCtrl::SetFrames(const SImage* const* frameArray) {
  resourceMode = 0;
  frames = frameArray;
  frameCount = kFrames;
  frameTime = kFrameTime;
  SetSource(frameArray ? frameArray[0] : nullptr);
  frame = 0;
  lastChange = Hal::GetTime();
}

void SAnimCtrl::SetAnimation(const SAnimation* resource) {
  resourceMode = 1;
  animation = resource;
  stretch = 0;
  frame = 1;
  basePicture = resource && resource->count > 0 && resource->entries ? FindImage(resource->entries[0].name) : nullptr;
  SetSource(basePicture);
  lastChange = Hal::GetTime();
}

bool SAnimCtrl::HasSomething() const {
  // Without a source size there is nothing to scale to, and nothing is drawn.
  if (sourceWidth <= 0 || sourceHeight <= 0) return false;
  return resourceMode ? animation && animation->entries && animation->count > 0 : frames != nullptr;
}

void SAnimCtrl::DrawBase() {
  if (!basePicture) return;
  if (stretch) {
    display->DrawImageScaled(basePicture, left, top, width, height);
  } else {
    display->DrawImageOpaque(basePicture, left, top);
  }
}

void SAnimCtrl::DrawOverlay(i32 index) {
  // A resource of fewer than two entries shows its base picture only.
  if (index < 1 || u32(index) >= animation->count) return;
  const SAnimationEntry& e = animation->entries[index];
  const SImage* image = FindImage(e.name);
  if (!image) return;
  if (!stretch) {
    display->DrawImage(image, left + e.x, top + e.y);
    return;
  }
  // Scaled, an overlay still leaves its transparent pixels to the base picture under it.
  const i64 sx = i64(width) * 10000 / sourceWidth, sy = i64(height) * 10000 / sourceHeight;
  display->DrawImageScaledKeyed(image, left + i32(e.x * sx / 10000), top + i32(e.y * sy / 10000),
                           i32(image->width * sx / 10000), i32(image->height * sy / 10000));
}

void SAnimCtrl::DrawFrame() {
  const SImage* image = frame >= 0 && frame < frameCount ? frames[frame] : nullptr;
  if (!image) return;  // a missing frame is skipped
  if (stretch) {
    display->DrawImageScaled(image, left, top, width, height);
  } else {
    display->DrawImageOpaque(image, left, top);
  }
}

u32 SAnimCtrl::OnTick(u32) {
  if (!display || (resourceMode ? !animation : !frames)) return 0;
  const u32 now = Hal::GetTime();
  if (resourceMode) {
    if (!animation->entries || animation->count < 2) return 0;
    if (frame < 1 || u32(frame) >= animation->count) frame = 1;
    if (now - lastChange < 10u * animation->entries[frame].duration) return 0;
    if (u32(++frame) >= animation->count) frame = 1;
    if (HasSomething()) {
      DrawBase();
      DrawOverlay(frame);
    }
  } else {
    if (now - lastChange < frameTime) return 0;
    if (++frame >= frameCount) frame = 0;
    if (HasSomething()) DrawFrame();
  }
  lastChange = now;
  return 0;
}

void SAnimCtrl::Paint() {
  if (!display) return;
  if (!HasSomething()) {
    display->FillRect(left, top, width, height, 0);
    return;
  }
  if (resourceMode) {
    DrawBase();
    DrawOverlay(1);
  } else {
    DrawFrame();
  }
}
