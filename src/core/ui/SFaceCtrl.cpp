#include "core/ui/SFaceCtrl.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "graphics/SDisplay.h"

void SFaceCtrl::SetPicture(const SImage* image) {
  picture = image;
  pictureWidth = image ? image->width : 0;
  pictureHeight = image ? image->height : 0;
  backgroundColour = 0;
  faceImage = nullptr;
  facePalette = nullptr;
  plainFace = 0;
  MarkDirty();
}

void SFaceCtrl::SetFace(const char* name) {
  SImageEntry* entry = core && name ? core->world.images.FindImage(name) : nullptr;
  if (entry && !entry->IsResident()) core->world.images.LoadImage(entry);
  SetPicture(entry ? entry->image : nullptr);
}

void SFaceCtrl::SetFaceByName(const char* characterName) {
  const char* pictureName = nullptr;
  if (core && characterName) {
    if (const SFace* face = core->world.faces.FindByName(characterName)) {
      pictureName = face->name.Text();
    } else if (const SMonsterBaseType* type = core->world.monsters.FindBaseType(characterName)) {
      pictureName = type->FrameName(type->kind == 4 ? 9 : 6);
    }
  }
  SetFace(pictureName);
}

void SFaceCtrl::SetPictures(u32 imageIndex, u32 paletteIndex) {
  const SImageEntry* entry = core ? core->world.images.GetImageEntry(u16(imageIndex)) : nullptr;
  faceImage = entry ? entry->image : nullptr;
  facePalette = core && paletteIndex ? core->world.images.GetPaletteEntry(u16(paletteIndex)) : nullptr;
  MarkDirty();
}

void SFaceCtrl::SetBadge(u32 plain, u32 which) {
  plainFace = plain;
  faceImage = core ? core->Picture(which ? PictureRole::kBadge1 : PictureRole::kBadge0) : nullptr;
  facePalette = nullptr;
}

void SFaceCtrl::ClearFace() {
  faceImage = nullptr;
  facePalette = nullptr;
  MarkDirty();
}

u32 SFaceCtrl::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  if (faceImage || touching) return 0;
  return x >= left && x < left + width && y >= top && y < top + height ? id : 0;
}

void SFaceCtrl::Paint() {
  if (!display) return;
  const i32 w = width, h = height, pw = pictureWidth, ph = pictureHeight;
  const u16 background = MakeColor565(backgroundColour);
  display->FillRect(left, top, w, h, background);
  if (!picture) return;
  const u16* palette = facePalette ? facePalette->colours : nullptr;
  const u32 entries = facePalette ? facePalette->ColourCount() : 0;
  if (pw <= w && ph <= h) {
    if (pw < w || ph < h) {
      display->DrawImageScaled(picture, left, top, w, h);
      return;
    }
    display->DrawImageOpaque(picture, left, top);
    if (!faceImage) return;
    if (plainFace) {
      display->DrawImage(faceImage, left + (w - pw) / 2, top + (h - ph) / 2);
    } else {
      display->DrawImagePartPal(faceImage, palette, entries, left + (w - pw) / 2, top + (h - ph) / 2, 0, 0, pw, ph);
    }
    return;
  }
  display->FillRect(left, top, w, h, background);
  display->DrawIcon40(picture, nullptr, 0, left, top);
  if (!faceImage) return;
  if (plainFace) {
    display->DrawImage(faceImage, left, top);
  } else {
    display->DrawImagePartPal(faceImage, palette, entries, left, top, (pw - w) / 2, (ph - h) / 2, w, h);
  }
}

void SProgressCtrl::SetDefaults() {
  restColour = 0;
  doneColour = 0x64C8C8;
  total = 1;
  done = 0;
}

void SProgressCtrl::SetTotal(i32 n) {
  total = n < 1 ? 1 : n;
  done = 0;
  MarkDirty();
}

void SProgressCtrl::Step() {
  if (done < total) ++done;
  MarkDirty();
}

void SProgressCtrl::Paint() {
  if (!display) return;
  const i32 doneWidth = i32(i64(width) * done / total);
  display->FillRect(left, top, doneWidth, height, MakeColor565(doneColour));
  display->FillRect(left + doneWidth, top, width - doneWidth, height, MakeColor565(restColour));
}
