// A change made in place leaves nothing behind: after each change below the frame the game shows equals the
// same state painted whole, every control over its background (RepaintCheck), in a compact and a large
// display mode. The changes are those a player makes without leaving the screen: moving a list's highlight
// by key and by tap (the main menu, the in-game menu where it turns its page, a dialog's lists), stepping a
// value, turning a page, equipping and removing by Enter and by the slot mark, choosing a hand, dropping
// and taking, choosing a filter or a tab, a gauge and labels that change.
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "core/SStateNumbers.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SItemsCtrl.h"
#include "dialogs/SDialogAlchemy.h"
#include "dialogs/SDialogPotion.h"
#include "dialogs/SDialogSpellbook.h"
#include "dialogs/enchant/SDialogEnchantEntryOther.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "screens/SStateGenerate.h"
#include "screens/SStateInventory.h"
#include "screens/SStateMain.h"
#include "support/RepaintCheck.h"
#include "support/ScreenTour.h"
#include "world/SItem.h"
#include "world/SItemTable.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct Step {
  std::string what;
  std::function<void(GameHarness&)> act;
};

// Plays the steps in turn; after each the frame must equal the state painted whole.
void PlaySteps(GameHarness& game, const std::string& where, const std::vector<Step>& steps) {
  for (const std::string& fault : RepaintCheck::Stale(game)) ADD_FAILURE() << where << ", before any change: " << fault;
  for (const Step& step : steps) {
    step.act(game);
    for (const std::string& fault : RepaintCheck::Stale(game))
      ADD_FAILURE() << where << ", " << step.what << ": " << fault;
  }
}

// Steps from a tour stop, in each mode.
void FromStop(const char* stop, std::initializer_list<i32> modes, const std::vector<Step>& steps,
              const std::function<void(GameHarness&)>& before = nullptr, bool seasoned = false) {
  for (i32 mode : modes) {
    ScreenTour tour(mode);
    tour.only(stop);
    if (seasoned) tour.seasoned();
    u32 visited = 0;
    const std::vector<std::string> missed = tour.run([&](const std::string&, GameHarness& game) {
      ++visited;
      if (before) before(game);
      PlaySteps(game, "mode " + std::to_string(mode) + " " + stop, steps);
    });
    EXPECT_EQ(missed, std::vector<std::string>{}) << "mode " << mode;
    EXPECT_EQ(visited, 1u) << "mode " << mode;
  }
}

Step Press(const std::string& what, u16 action, int times = 1) {
  return {what, [=](GameHarness& g) {
            for (int i = 0; i < times; ++i) g.press(action);
          }};
}
Step TapControl(const std::string& what, u32 id) {
  return {what, [=](GameHarness& g) { g.tapControl(id); }};
}
Step TapRow(const std::string& what, u32 list, u32 row) {
  return {what, [=](GameHarness& g) { g.tapRow(list, row); }};
}

SStateMain& Menu(GameHarness& g) { return *static_cast<SStateMain*>(g.core().states[kStateMain]); }
SStateInventory& Inventory(GameHarness& g) { return *static_cast<SStateInventory*>(g.core().currentState); }

// Each Down, one at a time, then taps on rows: after each exactly one row is highlighted, the selected one.
std::vector<Step> MenuSteps(u32 downs) {
  std::vector<Step> steps;
  for (u32 i = 1; i <= downs; ++i) steps.push_back(Press("down " + std::to_string(i), kActionBack));
  steps.push_back(Press("up", kActionForward));
  steps.push_back({"a stylus drawn over the rows to the first", [](GameHarness& g) {
                     const SDialogListCtrl& l = Menu(g).list;
                     const i32 x = l.left + l.width / 2, y = l.top + (l.selected - l.firstRow) * l.rowHeight + 2;
                     g.penDown(x, y);
                     g.penMove(x, l.top + 2);
                   }});
  steps.push_back({"the stylus lifted outside the rows", [](GameHarness& g) {
                     const SDialogListCtrl& l = Menu(g).list;
                     g.penMove(l.left + l.width / 2, l.top + l.height + 40);
                     g.penUp(l.left + l.width / 2, l.top + l.height + 40);
                   }});
  return steps;
}

TEST(Repaint, TheMainMenuKeepsOneRowHighlighted) {
  for (i32 mode : {7, 10, 6}) {
    GameHarness game(GameHarness::forMode(mode));
    ASSERT_TRUE(game.boot());
    game.setState(kStateMain);
    game.frame(2);
    ASSERT_EQ(game.openChild(), nullptr) << "no auto-saved game is offered on the sample world";
    PlaySteps(game, "mode " + std::to_string(mode) + " menu", MenuSteps(3));
  }
}

// With a game in progress the menu has its eight rows; on the low screens they take two pages.
TEST(Repaint, TheInGameMenuTurnsItsPageWhole) {
  FromStop("game/view", {6, 16, 7}, MenuSteps(9), [](GameHarness& g) {
    g.setState(kStateMain);
    g.frame(2);
  });
}

TEST(Repaint, EnchantingValuesAndListsShowOnlyTheirState) {
  using E = SDialogEnchantEntryOther;
  FromStop("dialog/enchant-entry", {7, 10},
           {TapControl("value up", E::kValueUp), TapControl("value up", E::kValueUp),
            TapControl("value up by ten", E::kValueUp10), TapControl("value down", E::kValueDown),
            TapControl("value down by ten", E::kValueDown10), Press("kinds list down", kActionBack),
            TapRow("kinds list tap", E::kKinds, 0), TapControl("kinds page down", E::kKindsDown),
            TapControl("kinds page up", E::kKindsUp), Press("data list down", kActionBack)});
}

// The pack's paper doll and grid follow every change of what is worn and carried.
TEST(Repaint, TheDollAndPackFollowEquippingRemovingDroppingAndTaking) {
  // Selects the first cell of the type (not worn, when asked), as a tap on it does.
  auto select = [](const char* type, bool unworn = false) {
    return [=](GameHarness& g) {
      SStateInventory& inv = Inventory(g);
      for (u32 i = 0; i < inv.grid.SlotCount(); ++i)
        if (const SItemSlot* s = inv.grid.Slot(i32(i)); s && s->type && std::string(s->type->name.Text()) == type &&
                                                        !(unworn && (s->flags & SItemSlot::kEquipped))) {
          inv.grid.Select(i32(i));
          inv.grid.MarkDirty();
          inv.RefreshDescription();
          g.frame();
          return;
        }
      ADD_FAILURE() << "no cell of " << type;
    };
  };
  auto mark = [](GameHarness& g) {
    // A tap on the selected cell's mark, its top-left corner.
    SItemsCtrl& grid = Inventory(g).grid;
    const i32 onPage = grid.selected - grid.firstVisible;
    i32 x = 0, y = 0;
    grid.CellOrigin(onPage % grid.columns, onPage / grid.columns, x, y);
    g.penDown(x + 1, y + 1);
    g.penUp(x + 1, y + 1);
  };
  const char* sword = "base_weap_shortswordcheap";
  FromStop("inventory/items-doll", {7, 10},
           {{"the shield selected", select("base_armor_shield")},
            Press("the shield equipped by Enter", kActionUse),
            Press("the shield removed by Enter", kActionUse),
            {"the shield equipped by its mark", mark},
            {"the shield removed by its mark", mark},
            {"two more swords given",
             [=](GameHarness& g) {
               SPlayer& p = g.core().player;
               for (int i = 0; i < 2; ++i) p.AddItems(g.core().world.items.FindType(sword), 1);
               Inventory(g).RebuildItemGrid(true);
               g.frame();
             }},
            {"a sword not worn selected", select(sword, true)},
            Press("the sword in the other hand", kActionUse),
            {"the last sword selected", select(sword, true)},
            Press("the hand asked", kActionUse),
            {"the left hand chosen", [](GameHarness& g) { g.tapLabel("Left"); }},
            {"a worn sword selected", select(sword)},
            TapControl("the worn sword dropped in the bag", SStateInventory::kDropId),
            TapControl("the bag shown", SStateInventory::kTakeId),
            TapControl("the sword taken back", SStateInventory::kTakeId),
            TapControl("the pack shown", SStateInventory::kDropId),
            TapControl("the weapons filter", SStateInventory::kFirstCategoryId + 1),
            TapControl("every item again", SStateInventory::kFirstCategoryId),
            TapControl("the grid's next page", SStateInventory::kGridNextId),
            TapControl("the description shown", SStateInventory::kShowDescriptionId)});
}

TEST(Repaint, TabsFiltersAndRaisedNumbersOnTheSheet) {
  FromStop("inventory/sheet-main", {7, 10},
           {TapControl("an attribute raised", SStateInventory::kAttributeRaiseIds[0]),
            TapControl("another raised", SStateInventory::kAttributeRaiseIds[3]),
            TapControl("the raises undone", SStateInventory::kAttributeUndoId),
            TapControl("the skills sub-page", SStateInventory::kSubPageIds[1]),
            TapControl("a skill raised", SStateInventory::kFirstPrimaryRaiseId + 2),
            TapControl("the effects sub-page", SStateInventory::kSubPageIds[4]),
            TapControl("an effects filter", SStateInventory::kEffectsFilterIds[1]),
            TapControl("the quests tab", SStateInventory::kQuestsTab),
            TapControl("a quests filter", SStateInventory::kQuestsFilterIds[1]),
            TapControl("the spells tab", SStateInventory::kSpellsTab),
            TapControl("a school", SStateInventory::kFirstSchoolId + 1),
            TapControl("the items tab", SStateInventory::kItemsTab)},
           nullptr, true);
}

// The head-up display's gauges and the dialogs over the view: a list moved, a page turned.
TEST(Repaint, GaugesAndListsOverTheView) {
  FromStop("dialog/spellbook", {7, 10},
           {{"hit points lost",
             [](GameHarness& g) {
               g.core().player.hp = u16(g.core().player.hp / 2);
               g.frame();
             }},
            {"the first school with spells",
             [](GameHarness& g) {
               auto* book = dynamic_cast<SDialogSpellbook*>(g.openChild());
               ASSERT_NE(book, nullptr);
               for (u16 tab = SDialogSpellbook::kFirstTabId;
                    tab <= SDialogSpellbook::kLastTabId && !book->list.RowCount(); ++tab)
                 g.tapControl(tab);
             }},
            Press("a spell selected by key", kActionBack),
            TapRow("a spell tapped", SDialogSpellbook::kListId, 0),
            TapControl("the next page", SDialogSpellbook::kNextPageId),
            TapControl("another school", SDialogSpellbook::kFirstTabId + 5)},
           nullptr, true);
  FromStop("dialog/potions", {7, 10},
           {Press("a potion selected by key", kActionBack), Press("and back", kActionForward)});
}

// A box answered with another box in its place (the alchemy's "try it anyway?" answered Yes, then what came of
// it): the dialog beneath shows what the answer changed, and nothing of the first, larger box stays.
TEST(Repaint, ABoxAnsweredWithAnotherShowsTheDialogBeneathAsItIsNow) {
  using A = SDialogAlchemy;
  FromStop("dialog/alchemy", {7, 10},
           {TapControl("an ingredient in the first slot", A::kSlotNextIds[0]),
            TapControl("in the second", A::kSlotNextIds[1]),
            TapControl("in the third", A::kSlotNextIds[2]),
            TapControl("a potion beyond the skill made", A::kCreateId),
            {"tried anyway", [](GameHarness& g) { g.tapLabel("Yes"); }}});
}

// A caption as wide as its button keeps to the button while it is held (the label moves 2 pixels right, and
// one that no longer fits was drawn from past its middle, over the next panel, and cut off where the repaint
// ended).
TEST(Repaint, AHeldCaptionStaysOnItsButton) {
  FromStop("screen/new-player", {8, 7}, {{"Rename held", [](GameHarness& g) {
                                            const GameHarness::Control* c = nullptr;
                                            const std::vector<GameHarness::Control> all = g.controls();
                                            for (const GameHarness::Control& k : all)
                                              if (k.id == SStateGenerate::kRename) c = &k;
                                            ASSERT_NE(c, nullptr);
                                            g.penDown(c->x + c->width / 2, c->y + c->height / 2);
                                          }}});
}

}  // namespace
