#include "dialogs/SDialogSpellbook.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/ui/SRgb.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SSpell.h"

namespace {

constexpr u32 kColour = RgbWord(0x00141E), kShade = RgbWord(0x6496C8);
constexpr u32 kActionAttack = 3000, kActionBook = 3001, kActionLeft = 1004, kActionRight = 1006;
constexpr u32 kHealSchool = 1, kUndeadSchool = 5;
constexpr u8 kMagicClass = 9, kUnusableFlag = 16;
constexpr u8 kScroll = 1, kSpellbookSubtype = 2, kBlankScroll = 3, kEmptyWand = 5;

const char* SpellDisplayName(const SSpell& spell) { return spell.texts[0] ? spell.texts[0] : spell.name.Text(); }

bool HasOwnEffects(const SItem& item) { return item.enchantments && item.enchantments->Count() > 0; }

}  // namespace

void SDialogSpellbook::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&background, &message, &list, &previousPage, &nextPage, &cast, &close};
  for (SCtrl* c : all) c->Attach(this);
  for (SButtonCtrl& t : tabs) t.Attach(this);
  category = 1;
}

void SDialogSpellbook::Place() {
  SetLayout(kLayout);
  if (core && core->stateGame) {
    const SWorldView& v = core->stateGame->view;
    SetPos(v.viewX + v.viewWidth - width - 2, v.viewY + v.viewHeight - height - 2);
  }
}

void SDialogSpellbook::Open() {
  const i32 kept = list.selected;
  ClearControls();
  Place();
  HideBackground();
  AddTiledPicture(background, kBackgroundId, PictureRole::kParchment);
  AddText(message, kMessageId, "", STextCtrl::kCentred | STextCtrl::kMiddle, kColour, kShade);
  static const char* const kTabCaptions[kCategories] = {"Heal", "Prot", "Att", "Mind", "Und", "Env", "Items"};
  for (u32 i = 0; i < kCategories; ++i) AddLabelButton(tabs[i], u16(kFirstTabId + i), kTabCaptions[i]);
  AddList(list, kListId, kColour, kShade);
  AddPictureButton(previousPage, kPreviousPageId, kPageUpSlot);
  AddPictureButton(nextPage, kNextPageId, kPageDownSlot);
  AddPictureButton(cast, kCastCode, kConfirmSlot);
  AddPictureButton(close, kCloseCode, kCloseSlot);

  if (category == kItemsCategory)
    FillItems();
  else
    FillSpells();
  list.selected = kept;
  list.ResetView(true);
  if (!list.RowCount()) list.selected = -1;

  SString text;
  SPlayer* player = Player();
  const bool undead = player && player->IsRace(kUndeadRace);
  if (undead && category == kHealSchool)
    text.Assign("You can't have any heal spells, since you're undead.");
  else if (!undead && category == kUndeadSchool)
    text.Assign("You can't have any undead spells, since you aren't undead.");
  else if (list.RowCount())
    text.Assign("");
  else if (category == kItemsCategory)
    text.Assign("You don't have any magical items.");
  else
    text.Format("You don't know any %s.", core ? core->world.rules.spells.SchoolName(category) : "?");
  message.SetText(text.CStr());
  UpdateTabs();
  UpdatePageButtons(list, previousPage, nextPage);
  SetFullRepaint();
}

void SDialogSpellbook::FillSpells() {
  SPlayer* player = Player();
  if (!player || category < 1 || category > 6) return;
  const bool undead = player->IsRace(kUndeadRace);
  if ((undead && category == kHealSchool) || (!undead && category == kUndeadSchool)) return;
  for (SSpell* spell : player->knownSpells[category])
    if (spell) list.AddRowWithKey(spell->name.Text(), SpellDisplayName(*spell), 0);
}

void SDialogSpellbook::FillItems() {
  SPlayer* player = Player();
  if (!player || !core) return;
  SWorldRules& rules = core->world.rules;
  const bool undead = player->IsRace(kUndeadRace);
  const i32 count = i32(player->inventory.GetItemCount());
  SString name, row, key;
  // Scrolls, one row per type with the first instance's index.
  for (i32 i = 0; i < count; ++i) {
    const SItem* item = player->GetInventoryItem(i);
    const SItemType* type = item ? item->type : nullptr;
    if (!type || type->itemClass != kMagicClass || (type->flags & kUnusableFlag)) continue;
    if (type->subtype != kScroll && !(type->subtype == kBlankScroll && item->enchantments)) continue;
    if (!player->CanUseItem(*item)) continue;
    bool earlier = false;
    for (i32 j = 0; j < i && !earlier; ++j) {
      const SItem* other = player->GetInventoryItem(j);
      earlier = other && other->type == type && player->CanUseItem(*other) &&
                (type->subtype == kScroll || other->enchantments);
    }
    if (earlier) continue;
    u32 same = 0;
    for (i32 j = i; j < count; ++j) {
      const SItem* other = player->GetInventoryItem(j);
      if (other && other->type == type && player->CanUseItem(*other) &&
          (type->subtype == kScroll || other->enchantments))
        ++same;
    }
    type->GetDisplayName(rules, item, name, false);
    row.Format("%c%s", kScrollGlyph, name.CStr());
    if (same > 1) row.FormatAppend(" (%u)", same);
    key.Format("%d", i);
    list.AddRowWithKey(key.CStr(), row.CStr(), 0);
  }
  // Wands with charges left, each on its own row.
  for (i32 i = 0; i < count; ++i) {
    const SItem* item = player->GetInventoryItem(i);
    const SItemType* type = item ? item->type : nullptr;
    if (!type || type->itemClass != kMagicClass) continue;
    if (type->subtype == kScroll || type->subtype == kSpellbookSubtype || type->subtype == kBlankScroll) continue;
    if (type->subtype == kEmptyWand && !HasOwnEffects(*item)) continue;
    const SEffectList* effects = item->Enchantment();
    if (effects && (undead ? effects->HasHealSpell(rules) : effects->HasUndeadSpell(rules))) continue;
    if (item->count == 0) continue;
    const SEffectList* sized = type->subtype == kEmptyWand ? item->enchantments : type->enchantment;
    const SEffect* first = sized && sized->Count() ? sized->Entry(0) : nullptr;
    const u32 most = first ? u32(first->base > 0 ? first->base : 0) : 0;
    type->GetDisplayName(rules, item, name, false);
    if (item->count == most)
      row.Format("%c%s (%u ch)", kWandGlyph, name.CStr(), u32(item->count));
    else
      row.Format("%c%s (%u/%u ch)", kWandGlyph, name.CStr(), u32(item->count), most);
    key.Format("%d", i);
    list.AddRowWithKey(key.CStr(), row.CStr(), 0);
  }
}

void SDialogSpellbook::UpdateTabs() {
  for (u32 i = 0; i < kCategories; ++i) {
    tabs[i].SetLatched(i + 1 == category);
    tabs[i].MarkDirty();
  }
  MarkAllDirty();
}

void SDialogSpellbook::SelectCategory(u16 code) {
  if (code >= kFirstTabId && code <= kLastTabId) category = code - kFirstTabId + 1;
  list.selected = -1;
  list.firstRow = -1;
  UpdateTabs();
  Open();
}

SSpell* SDialogSpellbook::GetSelectedSpell() const {
  if (category < 1 || category > 6 || !core) return nullptr;
  const char* key = list.SelectedKeyText();
  return key && *key ? core->world.rules.spells.FindByName(key) : nullptr;
}

SItem* SDialogSpellbook::GetSelectedItem() const {
  if (category != kItemsCategory) return nullptr;
  return InventoryItemForKey(list.SelectedKeyText());
}

void SDialogSpellbook::Paint() {
  MarkAllDirty();
  PaintControls();
  if (child) child->Paint();
}

u32 SDialogSpellbook::OnCommand(u16 code) {
  if (code >= kFirstTabId && code <= kLastTabId) {
    PlayNamed("bsnd_bookpage");
    SelectCategory(code);
    return 0;
  }
  switch (code) {
    case kListId: Click(0); return 0;
    case kPreviousPageId:
    case kNextPageId:
      Click(0);
      Page(list, code == kNextPageId, previousPage, nextPage);
      return 0;
    case kCastCode:
    case kCloseCode: PlayNamed("bsnd_bookclose"); return parent ? parent->OnCommand(code) : 0;
    default: return 0;
  }
}

u32 SDialogSpellbook::OnKey(u32 key) {
  switch (key) {
    case kActionAttack: return OnCommand(kCloseCode);
    case kActionBook: return OnCommand(kCastCode);
    case kActionLeft:
    case kActionRight:
      category = key == kActionLeft ? (category <= 1 ? kCategories : category - 1)
                                    : (category >= kCategories ? 1 : category + 1);
      PlayNamed("bsnd_bookpage");
      SelectCategory(0);
      return 0;
    default: return SDialog::OnKey(key);
  }
}

u32 SDialogSpellbook::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  return PenClosingOutside(x, y, touching, moving, kCloseCode);
}
