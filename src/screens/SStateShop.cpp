#include "screens/SStateShop.h"

#include "core/SGameCore.h"
#include "core/SStateNumbers.h"
#include "core/ui/SRgb.h"
#include "foundation/TimeUtil.h"
#include "game/SStateGame.h"
#include "platform/hal/Game.h"
#include "platform/sound/SSoundManager.h"
#include "player/SPlayer.h"
#include "player/SPlayerItemChecks.h"
#include "screens/SServicePrices.h"
#include "screens/SStateDialog.h"
#include "script/SScriptContext.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SPeopleTables.h"
#include "world/SSoundTable.h"

namespace {

constexpr u32 kVolume = 10;
constexpr char kCoin = 9;
constexpr u16 kLeaveKey = 3007;
constexpr u32 kSmallFrames = 77;

// The grid by display mode: columns and rows, cell size, and whether its cells take the large cell
// pictures (picture set 16, 8-pixel lines) or the small ones (set 77, 4-pixel lines).
struct GridGeometry {
  i32 mode, columns, rows, cellWidth, cellHeight;
  bool large;
};
constexpr GridGeometry kGeometry[] = {
    {2, 4, 5, 40, 56, false},  {3, 6, 4, 46, 57, false}, {4, 5, 4, 50, 66, true},  {5, 5, 2, 40, 52, false},
    {8, 5, 2, 40, 52, false},  {6, 4, 4, 40, 52, false}, {7, 5, 3, 40, 52, false}, {9, 6, 6, 60, 69, true},
    {10, 6, 4, 60, 69, true},  {11, 6, 3, 60, 69, true}, {14, 8, 6, 64, 69, true}, {15, 8, 7, 64, 73, true},
    {16, 8, 3, 40, 55, false},
};

const GridGeometry& GeometryFor(i32 mode) {
  for (const GridGeometry& g : kGeometry)
    if (g.mode == mode) return g;
  return kGeometry[5];  // mode 6
}

}  // namespace

void SStateShop::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  for (SBorderCtrl& f : frames) f.Attach(this);
  SCtrl* const all[] = {&goldFrame, &portrait, &name, &gold, &grid, &description, &prevPage,
                        &nextPage,  &leave,    &buy,  &sell, &yes,  &no};
  for (SCtrl* c : all) c->Attach(this);
}

// ---- entering and leaving

void SStateShop::Enter(u32 w0, u32 w1, u32 w2, u32 w3) {
  SState::Enter(w0, w1, w2, w3);
  child = nullptr;
  dealPending = 0;
  statusShowing = 0;
  if (core && core->stateGame) core->stateGame->StopAmbientSounds(false);
  person = SStateDialog::PersonFromCore(core, w1);
  speakerWord = w2;

  // The stock: the speaker's container of its area, stocked once.
  stock = nullptr;
  SMapArea* area = core && core->scriptContext ? core->scriptContext->thisArea : nullptr;
  const u8 containerId = u8(speakerWord & 0xFF);
  if ((speakerWord & kSpeaker) && containerId && area) {
    stock = area->FindContainerById(containerId);
    if (stock && person && core->random) person->RestockShop(core->world.rules, stock, stock->flags, *core->random);
  }

  ClearControls();
  SetLayout(kLayout);
  left = top = 0;
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  SImageEntry* const* pictures = core ? core->pictures : nullptr;
  // The outer frame by the screen's size, the inner ones from the small set.
  SImageEntry* const* inner = pictures ? &pictures[kSmallFrames] : nullptr;
  for (u32 i = 0; i < 5; ++i)
    if (AddLayoutControl(&frames[i], kFrameIds[i]))
      frames[i].SetFrame(i == 0 ? (core ? core->FrameSet() : nullptr) : inner, 0, 0, i == 0 ? 15 : 2);
  SStateDialog::ShowSpeaker(*this, person, portrait, kPortraitId, name, kNameId);
  if (AddLayoutControl(&grid, kGridId)) {
    const GridGeometry& g = GeometryFor(core ? core->displayMode : 6);
    grid.SetLayout(pictures ? &pictures[25] : nullptr, pictures ? &pictures[g.large ? 16 : 77] : nullptr, g.cellWidth,
                   g.cellHeight, g.columns, g.rows, 15, u32(ServicePrices::PriceFactor(core, person)), 1);
  }
  if (AddLayoutControl(&description, kDescriptionId)) {
    description.Setup(2, RgbWord(0xFFFFFF), RgbWord(0xC8C8C8), RgbWord(0x161616), 0, 4, 2, RgbWord(0xFF6464),
                      RgbWord(0x64C8C8));
    description.SetText("", "", 0, 0);
  }
  const struct {
    SButtonCtrl* button;
    u16 id;
    u32 slot;
    u32 key;
  } buttons[] = {{&prevPage, kPrevPage, 135, 0},
                 {&nextPage, kNextPage, 137, 0},
                 {&leave, kLeave, 143, kLeaveKey},
                 {&buy, kBuy, 145, 0},
                 {&sell, kSell, 147, 0}};
  for (const auto& b : buttons)
    if (AddLayoutControl(b.button, b.id)) b.button->SetPicture(pictures ? &pictures[b.slot] : nullptr, b.id, 0);
  if (AddLayoutControl(&goldFrame, kGoldFrameId)) goldFrame.SetFrame(inner, 0, 0, 2);
  if (AddLayoutControl(&gold, kGoldId))
    gold.SetTextStyled("", STextCtrl::kCentred | STextCtrl::kMiddle, 1, RgbWord(0xC8C8C8), RgbWord(0x161616));
  // "Yes" and "No" join the screen only while a deal is asked: at their places, 40 pixels wider than their
  // labels on every screen, on the message buttons' panels.
  const struct {
    SCtrlMessageButton* button;
    u16 id;
    const char* label;
  } answers[] = {{&yes, kYes, "Yes"}, {&no, kNo, "No"}};
  for (const auto& a : answers) {
    if (!AddLayoutControl(a.button, a.id)) continue;
    a.button->SetTextWithPanels(a.label, a.id, pictures ? &pictures[13] : nullptr, pictures ? &pictures[10] : nullptr);
    a.button->id = a.id;
    RemoveControl(a.button);
  }

  viewMode = 1;
  SetGoldPackText();
  FillGrid(false);
  Paint();
  ResetInputGuard();
}

void SStateShop::Leave(u32 next) {
  dealPending = 0;
  statusShowing = 0;
  stock = nullptr;
  SState::Leave(next);
}

// ---- the grid, the description and the gold line

void SStateShop::FillGrid(bool keepPlace) {
  const i32 index = grid.selected, first = grid.firstVisible;
  grid.buying = viewMode;
  if (viewMode) {
    if (stock)
      grid.SetItems(stock->items, 0, nullptr);
    else
      grid.SetItems(SPtrArray<SItem>{false, 1}, 0, nullptr);
  } else if (core) {
    grid.SetItems(core->player.inventory.items, 0, person);
  }
  if (grid.SlotCount()) {
    if (keepPlace && index >= 0) {
      grid.Select(index);
      // The page stays where it was while it holds the selection.
      if (grid.selected >= first && grid.selected < first + grid.PageSize()) grid.firstVisible = first;
    } else {
      grid.Select(0);
    }
  }
  grid.MarkDirty();
  UpdatePageButtons();
  DescribeSelected();
}

void SStateShop::UpdatePageButtons() {
  prevPage.Enable(grid.firstVisible != 0);
  nextPage.Enable(i32(grid.SlotCount()) > grid.firstVisible + grid.PageSize());
  prevPage.MarkDirty();
  nextPage.MarkDirty();
}

void SStateShop::DescribeSelected() {
  const SItemSlot* slot = grid.selectedSlot;
  if (!slot || !slot->item || !slot->type || !core) {
    description.SetText("", "", 0, 0);
    description.MarkDirty();
    return;
  }
  SWorldRules& rules = core->world.rules;
  SString title, body, text;
  slot->type->GetDisplayName(rules, slot->item, title, false);
  if (core->player.IsEquipped(slot->item)) {
    const u8 c = slot->type->itemClass, sub = slot->type->subtype;
    const bool wielded = c == kItemWeapon || ((c == kItemHeavyArmor || c == kItemLightArmor) && sub == 1);
    body.Assign(wielded ? "(wielded)\r" : "(equipped)\r");
  }
  const SPlayerItemChecks checks(core->player);
  slot->type->Describe(rules, slot->item, text, true, &checks);
  body.Append(text.CStr() ? text.CStr() : "");
  SGameCore::ConvertNumberGlyphs(body);
  const bool armament = slot->type->itemClass >= 1 && slot->type->itemClass <= 4;
  const bool enchanted = armament && (slot->item->enchantments || slot->type->enchantment);
  description.SetText(title.CStr() ? title.CStr() : "", body.CStr() ? body.CStr() : "", enchanted ? 1 : 0,
                      (slot->type->flags & 0x04) ? 1 : 0);
  description.MarkDirty();
}

void SStateShop::ShowStatus(const char* text, u32 ms) {
  description.SetText("", text ? text : "", 0, 0);
  description.MarkDirty();
  if (ms) {
    statusShowing = 1;
    statusStart = Hal::GetTime();
    statusDuration = ms;
  }
}

void SStateShop::SetGoldPackText() {
  if (!core) return;
  SPlayer& player = core->player;
  SString amount, text;
  ServicePrices::FormatGold(player.GetMoney(), amount);
  u32 weight = 0;
  for (const SItem* item : player.inventory.items)
    if (item && item->type) weight += item->type->weight;
  const i32 capacity = player.GetCarryCapacity();
  const u32 c = capacity > 0 ? u32(capacity) : 0;
  const u32 wWhole = weight / 100, wTenth = weight % 100 / 10, cWhole = c / 100, cTenth = c % 100 / 10;
  switch (core->displayMode) {
    case 7: text.Format("Gold:%s\rPack:\r%u.%u/%u.%u", amount.CStr(), wWhole, wTenth, cWhole, cTenth); break;
    case 5:
    case 8: text.Format("Gold:\r%s\rPack:\r%u.%u/%u.%u", amount.CStr(), wWhole, wTenth, cWhole, cTenth); break;
    case 2:
    case 6:
    case 12:
    case 13: text.Format("Gold:%s, Pack:%u.%u/%u.%u", amount.CStr(), wWhole, wTenth, cWhole, cTenth); break;
    default:
      text.Format("Gold: %s%c     Pack: %u.%u/%u.%u", amount.CStr(), kCoin, wWhole, wTenth, cWhole, cTenth);
      break;
  }
  SGameCore::ConvertNumberGlyphs(text);
  gold.SetTextStyled(text.CStr(), gold.mode | STextCtrl::kCentred, gold.fontNumber, gold.colour, gold.shade);
  goldFrame.MarkDirty();
  gold.MarkDirty();
}

// ---- trading

void SStateShop::AfterTrade(const char* verb, const SItemType* type, u32 amount, const char* sound) {
  if (!core) return;
  FillGrid(true);
  core->world.sounds.PlayByName(sound, kVolume);
  SString text(verb), named;
  core->player.FormatItemName(type, 1, named);
  text.Append(named.CStr() ? named.CStr() : "");
  SString tail;
  tail.Format(" for %u gold.", amount);
  text.Append(tail.CStr());
  SGameCore::ConvertNumberGlyphs(text);
  ShowStatus(text.CStr(), kStatusMs);
  SetGoldPackText();
  UpdatePageButtons();
  SetFullRepaint();
}

void SStateShop::BuySelected() {
  if (!core) return;
  if (!viewMode) {
    if (core) core->PlayClick(1);
    viewMode = 1;
    FillGrid(false);
    ShowStatus("Shop items", kShortStatusMs);
    SetFullRepaint();
    return;
  }
  const SItemSlot* slot = grid.selectedSlot;
  if (!slot || !slot->item || !stock) return;
  SPlayer& player = core->player;
  const u32 price = slot->price;
  if (!player.HasMoney(price)) {
    if (core) core->PlayClick(1);
    ShowStatus("You don't have enough gold.", kStatusMs);
    return;
  }
  if (player.practice[15] < 255) ++player.practice[15];
  ServicePrices::Pay(player, price);
  SItem* item = slot->item;
  const SItemType* type = slot->type;
  stock->RemoveItem(item);
  player.ReceiveItem(item);
  AfterTrade("You have purchased ", type, price, "bsnd_pickup");
}

void SStateShop::SellSelected(bool confirmed) {
  if (!core) return;
  const char* who = person && person->texts[0] ? person->texts[0] : "";
  SString text;
  if (viewMode) {
    if (core) core->PlayClick(1);
    viewMode = 0;
    FillGrid(false);
    ShowStatus("Player items", kShortStatusMs);
    SetFullRepaint();
    return;
  }
  const SItemSlot* slot = grid.selectedSlot;
  if (!slot || !slot->item || !slot->type) return;
  const SItemType* type = slot->type;
  const u16 bits = type->itemClass < kItemClasses ? core->world.items.classFlags[type->itemClass] : 0;
  if (slot->flags & SItemSlot::kTypeFlag4) {
    if (core) core->PlayClick(1);
    ShowStatus("You can't sell this item.", kStatusMs);
    return;
  }
  if (!person || !(person->categories & bits)) {
    if (core) core->PlayClick(1);
    text.Format("%s doesn't purchase such things.", who);
    ShowStatus(text.CStr(), kStatusMs);
    return;
  }
  // Without a stock the sold item would have nowhere to go: the person buys nothing then.
  if (person->value32 == 0 || !stock) {
    if (core) core->PlayClick(1);
    text.Format("%s doesn't purchase anything.", who);
    ShowStatus(text.CStr(), kStatusMs);
    return;
  }
  if (person->value32 < slot->price && !confirmed) {
    if (core) core->PlayClick(1);
    text.Format("I can't pay you more than %u. Do we have a deal?", person->value32);
    ShowStatus(text.CStr(), 0);
    statusShowing = 0;
    dealPending = 1;
    AddControl(&yes);
    AddControl(&no);
    yes.MarkDirty();
    no.MarkDirty();
    return;
  }
  const u32 paid = person->value32 < slot->price ? person->value32 : slot->price;
  SPlayer& player = core->player;
  SItem* item = slot->item;
  player.UnequipAndRemoveItem(item);
  stock->AddItem(item);
  ServicePrices::Receive(player, paid);
  if (player.practice[15] < 255) ++player.practice[15];
  AfterTrade("You have sold ", type, paid, "bsnd_drop");
}

void SStateShop::EndDeal() {
  RemoveControl(&yes);
  RemoveControl(&no);
  dealPending = 0;
  SetFullRepaint();
}

u32 SStateShop::OnCommand(u16 code) {
  if (dealPending && (code == kYes || code == kNo)) {
    EndDeal();
    if (code == kYes)
      SellSelected(true);
    else
      DescribeSelected();
    return 0;
  }
  if (dealPending) EndDeal();
  switch (code) {
    case kBuy: BuySelected(); return 0;
    case kSell: SellSelected(false); return 0;
    case kLeave:
      if (core) core->PlayClick(1);
      return kStateReturn;
    case kGridId:
      if (core) core->PlayClick(0);
      DescribeSelected();
      return 0;
    case kNextPage:
    case kPrevPage:
      if (core) core->PlayClick(0);
      if (code == kNextPage)
        grid.NextPage();
      else
        grid.PrevPage();
      UpdatePageButtons();
      grid.MarkDirty();
      DescribeSelected();
      return 0;
    default: return 0;
  }
}

u32 SStateShop::OnTick(u32 frameCounter, SDisplay* screen) {
  if (statusShowing && TicksElapsed(Hal::GetTime(), statusStart, statusDuration)) {
    statusShowing = 0;
    DescribeSelected();
  }
  return SState::OnTick(frameCounter, screen);
}
