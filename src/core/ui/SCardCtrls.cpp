#include "core/ui/SCardCtrls.h"

#include "core/SGameCore.h"
#include "graphics/SDisplay.h"

u32 SCardBaseCtrl::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  if (!touching || moving) return 0;
  return x >= left && y >= top && x < left + width && y < top + height ? id : 0;
}

i32 SCardBaseCtrl::SignDx() const { return core && core->IsCompact() ? 8 : 10; }
i32 SCardBaseCtrl::SignDy() const { return core && core->IsCompact() ? 5 : 6; }

void SCardBaseCtrl::AddPicture(Area& area, const SImage* picture, i32 x, i32 y) {
  if (picture) area.Add({x, y, x + picture->width, y + picture->height});
}

// ---- deck

void SDeckCtrl::ShowCard(const SCardLook& card) {
  cardTag = card.tag;
  topPicture = card.picture;
  sign = card.sign;
  count = 1;
  MarkDirty();
}

void SDeckCtrl::ShowBack(const SImage* back) {
  cardTag = 0;
  topPicture = back;
  sign = nullptr;
  count = 1;
  MarkDirty();
}

void SDeckCtrl::SetCount(i32 n) {
  count = n;
  MarkDirty();
}

void SDeckCtrl::TakeOne() {
  --count;
  MarkDirty();
}

i32 SDeckCtrl::Layers(i32 n, bool compact) {
  const i32 k = compact ? 8 : 5;
  return n / k + (n < k ? 1 : 0);
}

void SDeckCtrl::Paint() {
  if (!display) return;
  if (!topPicture) {
    display->DrawImage(empty, left, top);
    return;
  }
  if (count == 1) {
    display->DrawImage(topPicture, left, top);
    if (sign) display->DrawImageOpaque(sign, left + SignDx(), top + SignDy());
    return;
  }
  const i32 layers = Layers(count, core && core->IsCompact());
  for (i32 i = 0; i < layers; ++i) {
    if (i & 1)
      display->DrawImageMirrored(topPicture, left - i, top - i);
    else
      display->DrawImage(topPicture, left - i, top - i);
  }
}

SCtrl::Area SDeckCtrl::PaintedArea() const {
  Area area = SCtrl::PaintedArea();
  if (!topPicture) {
    AddPicture(area, empty, left, top);
  } else if (count == 1) {
    AddPicture(area, topPicture, left, top);
    AddPicture(area, sign, left + SignDx(), top + SignDy());
  } else {
    const i32 below = Layers(count, core && core->IsCompact()) - 1;
    AddPicture(area, topPicture, left, top);
    AddPicture(area, topPicture, left - below, top - below);
  }
  return area;
}

// ---- card of a hand

void SCardCtrl::SetCard(const SCardLook* look, u32 cardFace, const SCardScreenPictures& screen) {
  card = look;
  face = cardFace;
  if (!look) {
    homeX = left;
    homeY = top;
    picture = sign = nullptr;
  } else if (cardFace == 0) {
    picture = look->kind < SCardScreenPictures::kKinds ? screen.backs[look->kind] : nullptr;
    sign = nullptr;
  } else {
    picture = (look->flags & 0x11) ? screen.secondFrame : screen.frame;
    sign = look->sign;
  }
  MarkDirty();
}

void SCardCtrl::SetRaised(bool on) {
  raised = on ? 1 : 0;
  top = u16(on ? homeY - lift : homeY);
  MarkDirty();
}

void SCardCtrl::Paint() {
  if (!display || !picture) return;
  display->DrawImage(picture, left, top);
  if (sign) display->DrawImageOpaque(sign, left + SignDx(), top + SignDy());
}

SCtrl::Area SCardCtrl::PaintedArea() const {
  Area area = SCtrl::PaintedArea();
  if (picture) {
    AddPicture(area, picture, left, top);
    AddPicture(area, sign, left + SignDx(), top + SignDy());
  }
  return area;
}

// ---- card place with marks

void SCardSignCtrl::SetCardPicture(const SImage* image) {
  cardPicture = image;
  MarkDirty();
}

void SCardSignCtrl::SetMarkPictures(const SImage* first, const SImage* second) {
  firstMark = first;
  secondMark = second;
}

void SCardSignCtrl::ShowFirstMark() {
  firstShown = 1;
  secondShown = 0;
  MarkDirty();
}

void SCardSignCtrl::ShowSecondMark() {
  firstShown = 0;
  secondShown = 1;
  MarkDirty();
}

void SCardSignCtrl::ClearMarks() {
  firstShown = secondShown = 0;
  MarkDirty();
}

void SCardSignCtrl::Paint() {
  if (!display) return;
  if (!cardPicture) {
    display->DrawImage(empty, left, top);
    return;
  }
  display->DrawImageOpaque(cardPicture, left, top);
  if (firstShown)
    display->DrawImage(firstMark, left, top);
  else if (secondShown)
    display->DrawImage(secondMark, left, top);
}

SCtrl::Area SCardSignCtrl::PaintedArea() const {
  Area area = SCtrl::PaintedArea();
  if (!cardPicture) {
    AddPicture(area, empty, left, top);
    return area;
  }
  AddPicture(area, cardPicture, left, top);
  AddPicture(area, firstShown ? firstMark : secondShown ? secondMark : nullptr, left, top);
  return area;
}
