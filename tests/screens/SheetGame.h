// The character sheet and the list pages through the real program: the inventory opened on the town's
// street, a sub-page or page chosen by its tab, and helpers that read the page's texts and set up the
// player's record.
#pragma once
#include "InventoryGame.h"
#include "core/SGameCore.h"
#include "core/ui/SDialogListCtrl.h"

#include <cstring>
#include <string>

struct SheetGame : InventoryGame {
  explicit SheetGame(const GameHarness::Options& options = {}) : InventoryGame(options) {}

  // The sheet's sub-page (0 Main, 1 Skills, 2 Abilities, 3 Diseases, 4 Active effects).
  bool OpenSheet(u32 sub) {
    if (!Open()) return false;
    game.tapControl(SStateInventory::kSheetTab);
    game.tapControl(SStateInventory::kSubPageIds[sub]);
    return inv().page == SStateInventory::kSheetPage && inv().sheetSubPage == sub;
  }
  bool OpenPage(u16 tab) {
    if (!Open()) return false;
    game.tapControl(tab);
    return inv().page == u32(tab - SStateInventory::kItemsTab);
  }
  // The current page built afresh, as a tab does.
  void Rebuild() { inv().Rebuild(); }

  // A control of the page by id, shown or not; null when the page has none.
  template <typename T = SCtrl>
  T* Control(u16 id) {
    for (u32 i = 0; i < inv().controls.Count(); ++i)
      if (SCtrl* c = inv().controls.At(i); c && c->id == id) return dynamic_cast<T*>(c);
    return nullptr;
  }
  std::string Text(u16 id) {
    const STextCtrl* t = Control<STextCtrl>(id);
    return t && t->text.CStr() ? t->text.CStr() : "<none>";
  }
  bool Shown(u16 id) {
    const SCtrl* c = Control(id);
    return c && c->IsVisible();
  }
  bool Enabled(u16 id) {
    const SCtrl* c = Control(id);
    return c && c->IsEnabled();
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> out;
    for (u32 i = 0; i < inv().pageList.RowCount(); ++i) out.push_back(inv().pageList.Row(i32(i))->text.CStr());
    return out;
  }
  // The description's lines joined by blanks, wherever the control wrapped them.
  std::string Flat() {
    std::string out;
    for (u32 i = 0; i < inv().pageDescription.LineCount(); ++i)
      out += (i ? " " : "") + std::string(inv().pageDescription.lines.At(i)->CStr());
    return out;
  }
  // The description's lines, each followed by "|".
  std::string Body() {
    std::string out;
    for (u32 i = 0; i < inv().pageDescription.LineCount(); ++i)
      out += std::string(inv().pageDescription.lines.At(i)->CStr()) + "|";
    return out;
  }

  // A player effect put straight into its category's list.
  SPlayerEffect* AddEffect(u32 category, u32 sourceType, const void* source, i32 strength, u8 duration, u8 sub = 0,
                           const char* text = nullptr) {
    auto* e = new SPlayerEffect;
    e->category = u8(category);
    e->sourceType = u8(sourceType);
    e->source = source;
    e->strength = i16(strength);
    e->duration = duration;
    e->sub = sub;
    if (text) {
      e->text = new char[std::strlen(text) + 1];
      std::strcpy(e->text, text);
    }
    player().effects[category].Add(e);
    return e;
  }
  void ClearEffects() {
    for (auto& list : player().effects) list.DeleteAll();
  }
};

// A text in the first glyph set, or the second.
inline std::string Glyphs(const std::string& text, bool second = false) {
  SString s(text.c_str());
  if (second) {
    SGameCore::ConvertNumberGlyphsAlt(s);
  } else {
    SGameCore::ConvertNumberGlyphs(s);
  }
  return s.CStr() ? s.CStr() : "";
}
