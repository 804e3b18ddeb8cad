#include "core/ui/STextCtrl.h"

#include "core/SGameCore.h"
#include "graphics/SFont.h"

void STextCtrl::UpdateLayout() {
  textX = left;
  textY = top;
  if (!font) return;
  font->Select(i32(fontNumber), colour, shade);
  i32 widest = 0, lines = 0;
  font->MeasureText(text.CStr(), width, &widest, &lines);
  const i32 block = lines * (font->LineHeight() + 1);
  if ((mode & kMiddle) && block < height) {
    textY = top + (height - block) / 2;
  } else if (mode & kBottom) {
    textY = top + height - block;
  }
  // A block taller than the control starts at its top.
  if (textY < top) textY = top;
}

void STextCtrl::SetText(const char* value) {
  text = value;
  MarkDirty();
  UpdateLayout();
}

void STextCtrl::SetTextStyled(const char* value, u32 modeFlags, u32 number, u32 colourWord, u32 shadeWord) {
  text = value;
  mode = modeFlags;
  fontNumber = number;
  colour = colourWord;
  shade = shadeWord;
  MarkDirty();
  UpdateLayout();
}

void STextCtrl::SetColour(u32 colourWord) {
  colour = colourWord;
  MarkDirty();
}

void STextCtrl::Paint() {
  if (!font) return;
  const i32 bottom = top + height;
  if (mode & kLeft) {
    font->Select(i32(fontNumber), colour, shade);
    font->DrawText(textX, textY, textX + width, bottom, text.CStr(), 0);
    return;
  }
  const u32 align = (mode & kCentred) ? 4 : 2;
  if (outline) {
    const i32 d = core && core->IsLarge() ? 2 : 1;
    font->Select(i32(fontNumber), 0, 0);
    const i32 shifts[4][2] = {{d, 0}, {-d, 0}, {0, -d}, {0, d}};
    for (const auto& s : shifts)
      font->DrawText(textX + s[0], textY + s[1], textX + width + s[0], textY + height + s[1], text.CStr(), align);
  }
  font->Select(i32(fontNumber), colour, shade);
  font->DrawText(textX, textY, textX + width, bottom, text.CStr(), align);
}

void SNameTextCtrl::SetDefaults() {
  fontNumber = 1;
  labelColour = 0x64C8C8;
  valueColour = 0xC8C8C8;
  edgeColour = 0x161616;
}

void SNameTextCtrl::SetLabel(const char* text) {
  if (!text) return;
  label = text;
  MarkDirty();
}

void SNameTextCtrl::SetValue(const char* text) {
  if (!text) return;
  value = text;
  MarkDirty();
}

void SNameTextCtrl::Paint() {
  if (!font) return;
  font->Select(i32(fontNumber), labelColour, edgeColour);
  i32 labelWidth = 0, valueWidth = 0, lines = 0;
  font->MeasureText(label.CStr(), width, &labelWidth, &lines);
  font->MeasureText(value.CStr(), width - labelWidth - 10, &valueWidth, &lines);
  const i32 x0 = left + (width - valueWidth - labelWidth - 10) / 2;
  const i32 bottom = top + height;
  font->DrawText(x0, top, x0 + labelWidth + 10, bottom, label.CStr(), 0);
  font->Select(i32(fontNumber), valueColour, edgeColour);
  font->DrawText(x0 + labelWidth + 10, top, left + width, bottom, value.CStr(), 0);
}
