#include "dialogs/SDialogPotion.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/ui/SRgb.h"
#include "player/SPlayer.h"
#include "world/SItem.h"
#include "world/SItemTable.h"

#include <algorithm>
#include <vector>

void SDialogPotion::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&background, &title, &list, &pageUp, &pageDown, &drink, &close};
  for (SCtrl* c : all) c->Attach(this);
}

void SDialogPotion::Open() {
  ClearControls();
  SetLayout(kLayout);
  CenterInView();
  HideBackground();
  AddTiledPicture(background, kBackgroundId, PictureRole::kParchment);
  AddText(title, kTitleId, "Select a potion:", STextCtrl::kCentred | STextCtrl::kMiddle, RgbWord(0x161616),
          SGameCore::kLightTextColour);
  AddList(list, kListId, RgbWord(0x00141E), RgbWord(0x6496C8));
  AddPictureButton(pageUp, kPageUpId, kPageUpSlot);
  AddPictureButton(pageDown, kPageDownId, kPageDownSlot);
  AddPictureButton(drink, kDrinkCode, kConfirmSlot);
  AddPictureButton(close, kCloseCode, kCloseSlot);
  FillList();
  ResetInputGuard();
  SetFullRepaint();
}

void SDialogPotion::FillList() {
  struct Entry {
    const SItemType* type;
    u32 count;
    i32 first;
  };
  std::vector<Entry> entries;
  if (const SPlayer* player = Player()) {
    const i32 n = i32(player->inventory.GetItemCount());
    for (i32 i = 0; i < n; ++i) {
      const SItem* item = player->GetInventoryItem(i);
      const SItemType* type = item ? item->type : nullptr;
      if (!type || type->itemClass != kPotionClass || (type->flags & kUnlistedFlag)) continue;
      auto same = std::find_if(entries.begin(), entries.end(), [type](const Entry& e) { return e.type == type; });
      if (same != entries.end())
        ++same->count;
      else
        entries.push_back({type, 1, i});
    }
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.type->order > b.type->order; });
  SString text, key;
  for (const Entry& e : entries) {
    // A row names the potion type as its data does ("Healing"), not as an item's title ("Healing potion").
    text.Assign(e.type->text3 ? e.type->text3 : "");
    if (e.count > 1) text.FormatAppend(" (%u)", e.count);
    key.Format("%d", e.first);
    list.AddRowWithKey(key.CStr(), text.CStr(), 0);
  }
  potionCount = list.RowCount();
  list.ResetView(false);
  UpdatePageButtons(list, pageUp, pageDown);
}

SItem* SDialogPotion::GetSelectedItem() { return InventoryItemForKey(list.SelectedKeyText()); }

u32 SDialogPotion::OnCommand(u16 code) {
  switch (code) {
    case kPageUpId:
    case kPageDownId:
      Click(0);
      Page(list, code == kPageDownId, pageUp, pageDown);
      return 0;
    case kDrinkCode: return parent ? parent->OnCommand(code) : 0;
    case kCloseCode: Click(1); return parent ? parent->OnCommand(code) : 0;
    case kListId: Click(1); return 0;
    default: return 0;
  }
}

u32 SDialogPotion::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  return PenClosingOutside(x, y, touching, moving, kCloseCode);
}
