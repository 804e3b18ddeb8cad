#include "dialogs/SGameDialog.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/ui/SItemsCtrl.h"
#include "core/ui/SRgb.h"
#include "platform/sound/SSoundManager.h"
#include "player/SPlayer.h"
#include "world/SImageCache.h"
#include "world/SItemTable.h"

void SGameDialog::Click(u32 which) {
  if (core && core->soundManager && which < 2 && core->clickSounds[which])
    core->soundManager->PlaySound(core->clickSounds[which], 10);
}

void SGameDialog::PlayNamed(const char* name) {
  if (core) core->world.sounds.PlayByName(name, 10);
}

SPlayer* SGameDialog::Player() const { return core ? &core->player : nullptr; }

SImageEntry* const* SGameDialog::OuterFrameSet() const { return core ? core->FrameSet() : nullptr; }

SImageEntry* const* SGameDialog::SmallFrameSet() const { return core ? &core->pictures[77] : nullptr; }

SImageEntry* const* SGameDialog::Slot(u32 slot) const {
  return core ? core->PictureSet(slot) : nullptr;
}

// Each helper gives the control its look whether the layout places it or not (a control left out keeps
// flags 0, so it is neither painted nor asked), so that its state is the same on every screen.
bool SGameDialog::AddFrame(SBorderCtrl& frame, u16 id, bool outer) {
  const bool placed = AddLayoutControl(&frame, id);
  frame.SetFrame(outer ? OuterFrameSet() : SmallFrameSet(), 0, 0, 15);
  return placed;
}

bool SGameDialog::AddTiledPicture(SFillBmpCtrl& fill, u16 id, u32 slot) {
  const bool placed = AddLayoutControl(&fill, id);
  fill.tileMode = 1;
  fill.SetPicture(core ? core->Picture(slot) : nullptr);
  return placed;
}

bool SGameDialog::AddPictureButton(SButtonCtrl& button, u16 id, u32 slot) {
  const bool placed = AddLayoutControl(&button, id);
  button.SetPicture(Slot(slot), id, 0);
  return placed;
}

bool SGameDialog::AddLabelButton(SButtonCtrl& button, u16 id, const char* caption) {
  const bool placed = AddLayoutControl(&button, id);
  button.CreatePanel(Slot(PictureRole::kMenuButtonDown), Slot(PictureRole::kMenuButtonUp), caption, id, 1,
                     RgbWord(0xC8C8C8), RgbWord(0x161616), RgbWord(0xFFFFFF), RgbWord(0x161616), 0);
  return placed;
}

bool SGameDialog::AddText(STextCtrl& text, u16 id, const char* value, u32 mode, u32 colour, u32 shade) {
  const bool placed = AddLayoutControl(&text, id);
  text.SetTextStyled(value, mode, 1, colour, shade);
  return placed;
}

bool SGameDialog::AddList(SDialogListCtrl& list, u16 id, u32 textColour, u32 shade) {
  list.Clear();
  const bool placed = AddLayoutControl(&list, id);
  list.SetFont(1, textColour, shade, nullptr);
  list.drawBackground = 0;
  return placed;
}

void SGameDialog::UpdatePageButtons(const SDialogListCtrl& list, SButtonCtrl& up, SButtonCtrl& down) {
  up.Enable(list.firstRow > 0);
  down.Enable(i32(list.RowCount()) > list.firstRow + list.PageSize());
}

void SGameDialog::Page(SDialogListCtrl& list, bool down, SButtonCtrl& up, SButtonCtrl& downButton) {
  if (down)
    list.PageDown();
  else
    list.PageUp();
  UpdatePageButtons(list, up, downButton);
}

u32 SGameDialog::PenClosingOutside(i32 x, i32 y, u32 touching, u32 moving, u16 code) {
  const bool outside = x < left || y < top || x >= left + width || y >= top + height;
  if (touching && outside && !child && !IsOpeningTick() && (!moving || penLatch)) return OnCommand(code);
  return SDialog::OnPen(x, y, touching, moving);
}

i32 SGameDialog::KeyIndex(const char* key) {
  if (!key || !*key) return -1;
  i32 value = 0;
  for (const char* c = key; *c; ++c) {
    if (*c < '0' || *c > '9' || value > 99999999) return -1;
    value = value * 10 + (*c - '0');
  }
  return value;
}

SItem* SGameDialog::InventoryItemForKey(const char* key) const {
  const SPlayer* player = Player();
  const i32 index = KeyIndex(key);
  if (!player || index < 0 || index >= i32(player->inventory.GetItemCount())) return nullptr;
  return player->GetInventoryItem(index);
}

void SGameDialog::ShowItem(SItemCtrl& control, const SItemType* type, u32 count) {
  SImageEntry* picture = nullptr;
  SPaletteEntry* palette = nullptr;
  if (core && type)
    if (const SItemPicture* pic = SItemsCtrl::PictureOf(core->world.items, *type)) {
      picture = core->world.images.FindImage(pic->name.Text());
      if (pic->palettes.Count()) palette = core->world.images.FindPalette(pic->palettes.Text(0));
    }
  control.SetItem(picture, palette, count);
}

void SGameDialog::Practise(u32 skill) {
  SPlayer* player = Player();
  if (player && skill >= 1 && skill <= kPlayerSkills && player->practice[skill] < 255) ++player->practice[skill];
}
