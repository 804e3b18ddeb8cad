#include "core/ui/SButtonCtrl.h"

#include "core/SGameCore.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"

namespace {

const SImage* PictureAt(SImageEntry* const* set, u32 i) { return set && set[i] ? set[i]->image : nullptr; }

bool InRect(const SCtrl& c, i32 x, i32 y) {
  return x >= c.left && x < c.left + c.width && y >= c.top && y < c.top + c.height;
}

}  // namespace

bool SButtonCtrl::Inside(i32 x, i32 y) const { return InRect(*this, x, y); }

void SButtonCtrl::SizeToPicture() {
  const SImage* up = PictureAt(pictures, 0);
  width = up ? u16(up->width) : 0;
  height = up ? u16(up->height) : 0;
}

void SButtonCtrl::SetPicture(SImageEntry* const* set, u32 command, u32 key) {
  pictureMode = 1;
  pictures = set;
  commandCode = command;
  hotKey = key;
  SizeToPicture();
  showLabel = keyed = hasDisabledPicture = fireOnPress = 0;
  MarkDirty();
}

void SButtonCtrl::Create(SImageEntry* const* set, const char* text, u32 command, u32 key) {
  SetPicture(set, command, key);
  label.AssignIfNotNull(text);
  showLabel = 1;
  labelFont = 1;
  textColourUp = 0xC8C8C8;
  edgeColourUp = 0x585858;
  textColourDown = 0xFFFFFF;
  edgeColourDown = 0x585858;
}

u32 SButtonCtrl::CreatePanel(SImageEntry* const* down, SImageEntry* const* up, const char* text, u32 command, u32 font0,
                             u32 textUp, u32 edgeUp, u32 textDown, u32 edgeDown, u32 key) {
  pictureMode = 0;
  downPanel = down;
  upPanel = up;
  label.AssignIfNotNull(text);
  commandCode = command;
  hotKey = key;
  showLabel = 1;
  keyed = hasDisabledPicture = fireOnPress = 0;
  labelFont = font0;
  textColourUp = textUp;
  edgeColourUp = edgeUp;
  textColourDown = textDown;
  edgeColourDown = edgeDown;
  MarkDirty();
  return 1;
}

void SButtonCtrl::SetLabel(const char* text) {
  if (!text) return;
  label = text;
  MarkDirty();
}

u32 SButtonCtrl::OnKey(u32 key) { return IsEnabled() && hotKey != 0 && hotKey == key ? commandCode : 0; }

u32 SButtonCtrl::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  if (!IsEnabled()) return 0;
  if (!Inside(x, y)) {
    // Sliding off releases without a report; sliding back presses again.
    if (IsPressed()) Release();
    return 0;
  }
  if (!IsPressed()) {
    if (!touching) return 0;
    SetPressed(true);
    return fireOnPress ? commandCode : 0;
  }
  if (!touching) {
    Release();
    if (!fireOnPress) return commandCode;
    Redraw();
    return 0;
  }
  return fireOnPress ? commandCode : 0;
}

void SButtonCtrl::Paint() {
  if (!display) return;
  const bool down = IsPressed() || !IsEnabled() || IsLatched();
  if (pictureMode) {
    const SImage* picture = !IsEnabled() && hasDisabledPicture ? PictureAt(pictures, 2) : PictureAt(pictures, down);
    if (picture) {
      if (keyed) {
        display->DrawImage(picture, left, top);
      } else {
        display->DrawImageOpaque(picture, left, top);
      }
    }
  } else if (core) {
    // The middle fills the whole place and the caps keep their height: the layouts give a text button its
    // caps' height.
    core->DrawPanel3V(down ? downPanel : upPanel, keyed, left, top, width, height);
  }
  if (!showLabel || !font) return;
  // Latched buttons keep the up colours.
  const bool upColours = !IsPressed() && IsEnabled();
  font->Select(i32(labelFont), upColours ? textColourUp : textColourDown, upColours ? edgeColourUp : edgeColourDown);
  const i32 p = IsPressed() ? 1 : 0;
  const i32 y0 = top + (height - font->LineHeight()) / 2 + 2;
  font->DrawText(left + 2 * p, y0 + p, left + width, y0 + height, label.CStr(), 4);
}

void SCtrlMessageButton::Size(const char* text, u32 command, i32 extra) {
  label = text ? text : "";
  commandCode = command;
  i32 widest = 0, lines = 0;
  if (font) {
    font->Select(1, 0x161616, core ? core->lightTextColour : 0);
    font->MeasureText(label.CStr(), 100, &widest, &lines);
  }
  width = u16(widest + extra);
  const SImage* first = PictureAt(downPanel, 0);
  height = first ? u16(first->height) : 0;
}

void SCtrlMessageButton::SetText(const char* text, u32 command) {
  SetPos(0, 0);
  upPanel = core ? &core->pictures[10] : nullptr;
  downPanel = core ? &core->pictures[13] : nullptr;
  Size(text, command, core && core->IsCompact() ? 26 : 40);
  flags = kShown | kInDialog;
}

void SCtrlMessageButton::SetTextWithPanels(const char* text, u32 command, SImageEntry* const* down,
                                           SImageEntry* const* up) {
  downPanel = down;
  upPanel = up;
  Size(text, command, 40);
  flags = kShown | kInDialog;
}

u32 SCtrlMessageButton::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  if (!InRect(*this, x, y)) {
    if (IsPressed()) Release();
    return 0;
  }
  if (IsPressed()) {
    if (touching) return 0;
    Release();
    return commandCode;
  }
  if (touching) SetPressed(true);
  return 0;
}

void SCtrlMessageButton::Paint() {
  if (core) core->DrawPanel3V(IsPressed() ? downPanel : upPanel, 1, left, top, width, height);
  if (!font) return;
  const u32 edge = core ? (IsPressed() ? core->darkTextColour : core->lightTextColour) : 0;
  font->Select(1, 0x161616, edge);
  const i32 y0 = top + (height - font->LineHeight()) / 2 + 1;
  font->DrawText(left + 8, y0, left + width - 8, top + 24, label.CStr(), 4);
}
