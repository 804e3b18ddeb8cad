// Enchanting over the real program: the harness boots it headless with the sample world open, and a small
// owner state stands where the conversation, the interior and the game state will, holding the item
// picker and counting the codes it closes with. Like them it paints nothing of its own while the picker is
// open, so that a dialog the picker's children open must be painted by the tap that opened it. The
// player's inventory and spells are set by each test.
#pragma once
#include "core/SGameCore.h"
#include "core/ui/SState.h"
#include "dialogs/enchant/SDialogEnchantItem.h"
#include "dialogs/enchant/SEnchantRules.h"
#include "foundation/SRandom.h"
#include "graphics/SDisplay.h"
#include "script/SGlobalVariables.h"
#include "support/GameHarness.h"
#include "world/SEffect.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SPeopleTables.h"
#include "world/SSpell.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class PickerOwner : public SState {
 public:
  void Attach(SGameCore* gameCore) override {
    SState::Attach(gameCore);
    picker.Attach(gameCore);
  }
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override {
    SState::Enter(w0, w1, w2, w3);
    SetBlackBackground();
    left = top = 0;
    width = display ? display->Width() : 0;
    height = display ? display->Height() : 0;
  }
  void Open(const SNpc* person, u32 storage, u32 recharge) {
    picker.Open(person, storage, recharge);
    OpenChild(&picker);
    SetFullRepaint();
  }
  u32 OnCommand(u16 code) override {
    if (child == &picker) {
      CloseChild();
      SetFullRepaint();
      closedWith.push_back(code);
    }
    return 0;
  }
  SDialogEnchantItem picker;
  std::vector<u32> closedWith;
};

struct EnchantRig {
  explicit EnchantRig(const GameHarness::Options& o = GameHarness::Options{}) {
    game = std::make_unique<GameHarness>(o);
    ready = game->boot();
    if (!ready) return;
    SGameCore& c = game->core();
    ready = c.world.modules.OpenGameArchives(nullptr);
    if (!ready) return;
    c.PrepareWorldTables(nullptr);
    c.BindWorldResources(nullptr);
    c.player.inventory.DeleteAllItems();
    c.player.ClearKnownSpells();
    c.player.money = 5000;
    c.random->Seed(c.random->Owner(), 41);
    owner.Attach(&c);
    c.states[kStateDialog] = &owner;
    game->setState(kStateDialog);
  }
  ~EnchantRig() {
    if (game && ready) game->core().states[kStateDialog] = nullptr;
  }

  SGameCore& core() { return game->core(); }
  SWorldRules& rules() { return core().world.rules; }
  SDialogEnchantItem& picker() { return owner.picker; }
  SDialogEnchant& enchant() { return owner.picker.enchant; }
  SNpc* Merchant() { return rules().people.FindByName("base_merchant"); }

  // A new item of the type at the end of the inventory; for wands the charges given (-1: as made).
  SItem* Give(const char* type, i32 count = -1) {
    SItemType* t = core().world.items.FindType(type);
    EXPECT_NE(t, nullptr) << type;
    if (!t) return nullptr;
    SItem* item = t->CreateInstance(100, *core().random);
    if (!item) return nullptr;
    if (count >= 0) item->count = u16(count);
    core().player.inventory.AddItem(item);
    return item;
  }
  void Learn(const char* spell) {
    SSpell* s = rules().spells.FindByName(spell);
    ASSERT_NE(s, nullptr) << spell;
    core().player.AddKnownSpell(s);
  }
  void Open(const SNpc* person, u32 storage = 0, u32 recharge = 0) {
    owner.Open(person, storage, recharge);
    game->frame();
  }
  std::vector<std::string> Rows(const SDialogListCtrl& list) const {
    std::vector<std::string> out;
    for (u32 i = 0; i < list.RowCount(); ++i) out.push_back(list.Row(i32(i))->text.CStr());
    return out;
  }
  // Selects the picker's row of an item and presses OK.
  bool Choose(const SItem* item) {
    for (u32 i = 0; i < picker().items.RowCount(); ++i)
      if (core().player.inventory.GetItem(i32(picker().items.Row(i32(i))->code)) == item) {
        picker().items.Select(i32(i));
        picker().OnCommand(SDialogEnchantItem::kItems);
        picker().OnCommand(SDialogEnchantItem::kChoose);
        return true;
      }
    return false;
  }
  // The body text of the message box open over one of the dialogs, without its spaces and line breaks (the
  // box wraps it), or "".
  std::string BoxText() {
    SDialogEnchantItem& p = picker();
    const struct {
      SDialog* owner;
      SDialogMessage* box;
      SDialogTextCtrl* text;
    } boxes[] = {{&p, &p.box, &p.boxText},
                 {&p.enchant, &p.enchant.box, &p.enchant.boxText},
                 {&p.recharge, &p.recharge.box, &p.recharge.boxText}};
    for (const auto& b : boxes) {
      if (b.owner->child != b.box) continue;
      std::string out;
      for (u32 i = 0; i < b.text->page.Count(); ++i)
        out += b.text->page[i].text.CStr() ? b.text->page[i].text.CStr() : "";
      for (u32 i = b.text->firstWaiting; i < b.text->waiting.Count(); ++i)
        out += b.text->waiting[i].text.CStr() ? b.text->waiting[i].text.CStr() : "";
      return Squeezed(out);
    }
    return "";
  }
  static std::string Squeezed(const std::string& text) {
    std::string out;
    for (char ch : text)
      if (ch != ' ' && ch != '\r') out += ch;
    return out;
  }
  std::string Text(const STextCtrl& t) const { return t.text.CStr() ? t.text.CStr() : ""; }
  // A text as the dialogs show numbers: in the font's number glyphs.
  static std::string Glyphs(const char* text) {
    SString s;
    s.Assign(text);
    SGameCore::ConvertNumberGlyphs(s);
    return s.CStr();
  }
  void SetPriceGlobal(i32 value) {
    SGlobalVariable* g = core().world.globals.Find("base_merchantprice");
    ASSERT_NE(g, nullptr);
    g->value.SetInt(value);
  }
  // The enchanting dialog opened on its own for an item, with nobody to hand its end to.
  SDialogEnchant& OpenEnchant(const SNpc* person, SItem* item, i32 limit) {
    SDialogEnchant& e = enchant();
    e.parent = nullptr;
    e.Open(person, item, limit);
    return e;
  }
  // Adds an entry through the other-entry editor: the kind, the data row, then the value stepped from 1.
  void AddOther(u32 kind, i32 dataRow, i32 value) {
    SDialogEnchant& e = enchant();
    e.OnCommand(SDialogEnchant::kAdd);
    ASSERT_EQ(e.child, &e.otherEditor);
    SDialogEnchantEntryOther& o = e.otherEditor;
    if (rules().effects.AllowedMode(o.itemKind, kind) != o.edited->mode)
      o.OnCommand(o.edited->mode == SDialogEnchantEntryOther::kModeConstant ? SDialogEnchantEntryOther::kStrike
                                                                            : SDialogEnchantEntryOther::kConstant);
    o.kinds.SelectByCode(kind);
    ASSERT_EQ(o.kinds.SelectedCode(), kind);
    o.OnCommand(SDialogEnchantEntryOther::kKinds);
    if (dataRow >= 0) {
      o.data.Select(dataRow);
      o.OnCommand(SDialogEnchantEntryOther::kData);
    }
    while (o.ShownValue() < value) o.OnCommand(SDialogEnchantEntryOther::kValueUp);
    e.OnCommand(SDialogEnchant::kOk);
    ASSERT_EQ(e.child, nullptr);
  }

  PickerOwner owner;  // outlives the program that points at it
  std::unique_ptr<GameHarness> game;
  bool ready = false;
};
