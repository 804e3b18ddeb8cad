// The loading dialog, the list dialog, the item grid and the keyboard as a person sees them, with the
// pictures and fonts of the built sample world: each frame matches its stored PNG exactly.
#include "GridRig.h"
#include "ImageEncode.h"
#include "core/ui/SDialogList.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SDialogLoading.h"
#include "core/ui/SDialogTextEdit.h"

#include <string>

namespace {

struct Screen {
  i32 mode;
  u16 width, height;
  std::string Suffix() const { return "_" + std::to_string(width) + "x" + std::to_string(height); }
};

// Test pictures in the loading screen's slots: three opaque scenes scaled to their places and a keyed
// emblem over them, as large as its place (a keyed picture is never scaled).
void FillLoadingSlots(SGameCore& core) {
  using imageenc::Encode;
  const SLayoutItem* emblem = core.GetLayoutItem(SDialogLoading::kLayout, 11);
  ASSERT_NE(emblem, nullptr);
  const imageenc::Picture pictures[4] = {
      imageenc::MakeGradient(64, 32, imageenc::Rgb565(30, 40, 90), imageenc::Rgb565(180, 120, 60)),
      imageenc::MakeBricks(48, 64, 3),
      imageenc::MakeNoise(48, 64, imageenc::Rgb565(40, 90, 40), 24, 5),
      imageenc::MakeChecker(emblem->w, emblem->h, 8, imageenc::Rgb565(220, 200, 40), 0xFFFF),
  };
  for (u32 i = 0; i < 4; ++i) {
    delete core.pictures[420 + i];
    core.pictures[420 + i] = MakePictureEntry(Encode(pictures[i], 0));
  }
}

TEST(ListsFrames, LoadingDialogHalfWay) {
  for (const Screen& s : {Screen{7, 240, 320}, Screen{10, 480, 640}, Screen{14, 800, 480}}) {
    UiRig rig(s.mode, s.width, s.height);
    ASSERT_TRUE(rig.ready);
    FillLoadingSlots(rig.core);
    SDialogLoading loading;
    loading.Attach(&rig.core);
    loading.Layout();
    loading.ShowLoadingText();
    loading.Begin(8);
    for (int i = 0; i < 4; ++i) loading.Step();
    EXPECT_EQ(loading.bar.done, 4);
    EXPECT_EQ(rig.Golden("loading_half" + s.Suffix()), "") << s.mode;
  }
}

TEST(ListsFrames, ListDialogWithNineRows) {
  for (const Screen& s : {Screen{10, 480, 640}, Screen{7, 240, 320}}) {
    UiRig rig(s.mode, s.width, s.height);
    ASSERT_TRUE(rig.ready);
    rig.FillBackground();
    SDialogList box;
    box.Attach(&rig.core);
    SDialogListCtrl list;
    list.Attach(&box);
    list.SetFont(1, 0x161616, 0xB8D8E8, nullptr);
    list.SetOwnHighlight();
    const char* names[9] = {"Bread",  "Water",       "A healing potion", "Ale",          "Candles",
                            "A lamp", "Rope, 10 ft", "Lockpicks",        "A map of town"};
    for (const char* n : names) list.AddRowWithKey(n, n, 0);
    list.LayoutRows(s.mode == 7 ? 120 : 200);
    list.Select(2);
    box.Create(&list);
    box.Paint();
    EXPECT_EQ(box.scrollShown, 1u);
    EXPECT_EQ(rig.Golden((s.mode == 7 ? "list_dialog_moved" : "list_dialog_nine") + s.Suffix()), "");
  }
}

// An inventory (equipment markers, counts, a stack) and a trader's goods (prices, the billions form, the
// second glyph set of magic items) on one screen.
TEST(ListsFrames, ItemGridInventoryAndTrade) {
  for (const Screen& s : {Screen{7, 240, 320}, Screen{10, 480, 640}}) {
    GridRig r(s.mode, s.width, s.height);
    ASSERT_TRUE(r.loaded) << r.core.world.modules.LastError();
    const bool small = s.mode == 7;
    r.core.display->FillRect(0, 0, s.width, s.height, 0x2104);
    r.core.player.fame = -5;
    r.AddEquipped("base_weap_shortswordcheap", 5);
    r.Add("base_weap_shortswordcheap");
    for (int i = 0; i < 3; ++i) r.Add("base_weap_daggers", 12);
    for (const char* name :
         {"base_weap_longsword", "base_armor_leather", "base_acc_ring", "base_potion_heal", "base_potion_heal",
          "base_ingr_mushroom", "base_gem_starstone", "base_misc_idol", "base_key_dungeon"})
      r.Add(name);
    if (small) {
      r.Layout(3, 20, 42, 42, 5, 3, 10, 0);
    } else {
      r.Layout(14, 20, 60, 60, 7, 3, 10, 0);
    }
    r.Fill();
    r.grid.Select(2);
    r.grid.Paint();

    // The trader's goods, bought at the full price; the starstone is worth two and a half thousand million,
    // shown as its whole thousand millions, "2B".
    r.Type("base_gem_starstone")->value = 2500000000u;
    SPtrArray<SItem> goods(false, 4);
    for (u32 i = 0; i < r.items.Count(); ++i)
      if (i != 0 && i != 3 && i != 4) goods.Add(r.items.At(i32(i)));
    SItemsCtrl shop;
    shop.Attach(&r.owner);
    shop.flags = SCtrl::kPlaced;
    const i32 cellW = small ? 42 : 60, cellH = small ? 54 : 74, columns = small ? 5 : 7;
    shop.SetRect(u16(small ? 3 : 14), u16(small ? 180 : 260), u16(8 + columns * cellW + (columns - 1) * 4),
                 u16(8 + 2 * cellH + 4));
    shop.SetLayout(&r.core.pictures[25], &r.core.pictures[77], cellW, cellH, columns, 2, 15, 10, 1);
    shop.buying = 1;
    shop.SetItems(goods, 0, nullptr);
    shop.Select(0);
    shop.Paint();
    EXPECT_EQ(r.Golden("items_grid" + s.Suffix()), "") << s.mode;
  }
}

// The keyboard after "sir " was typed: a capital is next, so the indicator shows and the letters are
// capitals.
TEST(ListsFrames, KeyboardWithTheCapitalIndicator) {
  for (const Screen& s : {Screen{7, 240, 320}, Screen{14, 800, 480}}) {
    UiRig rig(s.mode, s.width, s.height);
    ASSERT_TRUE(rig.ready);
    rig.core.display->FillRect(0, 0, s.width, s.height, 0x2104);
    SDialogTextEdit keyboard;
    keyboard.Attach(&rig.core);
    keyboard.Create();
    keyboard.SetText("");
    for (char c : std::string("sir ")) keyboard.PressKey(c);
    EXPECT_STREQ(keyboard.GetText(), "Sir ");
    EXPECT_EQ(keyboard.shiftState, SDialogTextEdit::kCapitalNext);
    keyboard.Paint();
    EXPECT_EQ(rig.Golden("keyboard_capital" + s.Suffix()), "") << s.mode;
  }
}

}  // namespace
