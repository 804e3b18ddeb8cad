// The game state's dialogs on the laid-out screen: each opened through the game state and worked by taps
// on its controls, with the description of what is shown compared with a stored golden text.
#include "GameDialogs.h"
#include "dialogs/SDialogAlchemy.h"
#include "dialogs/SDialogGameMap.h"
#include "dialogs/SDialogLockpick.h"
#include "dialogs/SDialogMarkRecall.h"
#include "dialogs/SDialogPotion.h"
#include "dialogs/SDialogRepair.h"
#include "dialogs/SDialogShipTravel.h"
#include "dialogs/SDialogSpellbook.h"
#include "game/SStateGame.h"
#include "support/GoldenText.h"
#include "support/Png.h"
#include "support/TextRecord.h"
#include "world/SMapArea.h"
#include "world/SWorldModule.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// CIE L*a*b* of an RGB565 colour (sRGB, D65 white), so that colours compare as a person sees them.
std::array<double, 3> Lab(u16 c) {
  auto linear = [](u32 v, u32 max) {
    const double s = double(v) / max;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  const double r = linear(c >> 11 & 31, 31), g = linear(c >> 5 & 63, 63), b = linear(c & 31, 31);
  auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116; };
  const double x = f((0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.9505), y = f(0.2126 * r + 0.7152 * g + 0.0722 * b),
               z = f((0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.089);
  return {116 * y - 16, 500 * (x - y), 200 * (y - z)};
}

double Distance(u16 a, u16 b) {
  const std::array<double, 3> p = Lab(a), q = Lab(b);
  return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
}

// The face of a control as it shows: the median by lightness of the pixels in its rectangle (its caption
// is the smaller part).
u16 Face(const Os::Panel& panel, const SCtrl& c) {
  std::vector<std::pair<double, u16>> pixels;
  for (i32 y = c.top; y < c.top + c.height; ++y)
    for (i32 x = c.left; x < c.left + c.width; ++x) pixels.emplace_back(Lab(panel.At(x, y))[0], panel.At(x, y));
  std::nth_element(pixels.begin(), pixels.begin() + pixels.size() / 2, pixels.end());
  return pixels[pixels.size() / 2].second;
}

// A state standing in for the pack, which opens the alchemy and repair dialogs as its own children: it
// takes their close code (26) by closing them.
struct ToolOwner : SState {
  u32 OnCommand(u16 code) override {
    if (code == 26) {
      ++closed;
      CloseChild();
    }
    return 0;
  }
  u32 closed = 0;
};

struct ScreenGame : DialogGame {
  explicit ScreenGame(i32 mode = 7) : DialogGame(GameHarness::forMode(mode)) {}
  // The golden of the description; a frame passes first so that the opening frame's guard is over.
  testing::AssertionResult Golden(const std::string& name) {
    game.frame();
    const std::string diff = testgolden::CompareText("dialogs/" + name, game.describeUi());
    if (diff.empty()) return testing::AssertionSuccess();
    return testing::AssertionFailure() << diff;
  }
  // The owner state in place of the main menu, current, with the dialog open over it.
  void OpenOverOwner(SDialog& dialog) {
    owner.Attach(&core());
    replaced = core().states[kStateMain];
    core().states[kStateMain] = &owner;
    game.setState(kStateMain);
    owner.OpenChild(&dialog);
  }
  ~ScreenGame() {
    if (replaced) {
      game.setState(kStateGame);
      core().states[kStateMain] = replaced;
    }
  }
  // A tap on the open message box's button of that caption.
  void TapCaption(const std::string& caption) {
    for (const GameHarness::Control& c : game.controls())
      if (c.type == "SCtrlMessageButton" && c.text == caption) {
        game.penDown(c.x + c.width / 2, c.y + c.height / 2);
        game.penUp(c.x + c.width / 2, c.y + c.height / 2);
        return;
      }
    ADD_FAILURE() << "no button " << caption;
  }
  void Prepare() {
    clearInventory();
    player().race = 2;
    player().ClearKnownSpells();
    player().markedPositions.DeleteAll();
  }
  ToolOwner owner;
  SState* replaced = nullptr;
};

TEST(DialogScreens, SpellBookByTabsInModesSevenAndTen) {
  for (i32 mode : {7, 10}) {
    ScreenGame g(mode);
    ASSERT_TRUE(g.Enter("base_dungeon1", 5, 6, 180));
    g.Prepare();
    g.player().LearnSpell("base_spellburninghand", false);
    g.player().LearnSpell("base_spellfireball", false);
    g.give("base_scroll_fireball", 3);
    g.give("base_wand_lightning", 1, 3);
    g.state().spellbook.category = 1;
    g.game.press(3001);
    ASSERT_EQ(g.game.subMode(), SStateGame::kSpellbook);
    g.game.frame();
    g.game.tapControl(SDialogSpellbook::kFirstTabId + 2);
    EXPECT_EQ(g.state().spellbook.category, 3u);
    g.game.tapRow(SDialogSpellbook::kListId, 1);
    EXPECT_EQ(g.state().spellbook.list.selected, 1);
    EXPECT_TRUE(g.Golden("spellbook_school_mode" + std::to_string(mode)));
    // The chosen tab stands apart from the others at a glance: a face merely a shade darker did not.
    const SDialogSpellbook& book = g.state().spellbook;
    const Os::Panel& panel = g.game.panel();
    for (u32 i = 0; i < 7; ++i) {
      if (i == 2) continue;
      EXPECT_GT(Distance(Face(panel, book.tabs[2]), Face(panel, book.tabs[i])), 25.0)
          << "mode " << mode << " tab " << i;
    }
    EXPECT_EQ(testpng::CompareGolden("spellbook_tabs_mode" + std::to_string(mode),
                                     &panel.pixels[size_t(book.top) * size_t(panel.width) + book.left], book.width,
                                     book.height, panel.width),
              "");
    // The tabs stand at the top of the book, no further in than from its side: the message of an empty list
    // is written in the list, where once it kept an empty band above the tabs of every list with rows.
    EXPECT_LE(book.tabs[0].top - book.top, book.tabs[0].left - book.left) << "mode " << mode;
    g.game.tapControl(SDialogSpellbook::kFirstTabId + 6);
    EXPECT_TRUE(g.Golden("spellbook_items_mode" + std::to_string(mode)));
    {
      // The longest message, in the empty list's frame and whole.
      TextRecord texts(g.game);
      g.game.tapControl(SDialogSpellbook::kFirstTabId + 4);
      g.game.frame();
      const std::vector<TextRecord::Text> drawn = texts.byControl(&book.message);
      ASSERT_FALSE(drawn.empty()) << "mode " << mode;
      const TextRecord::Text& t = drawn.back();
      EXPECT_EQ(t.text, "You can't have any undead spells, since you aren't undead.");
      EXPECT_FALSE(t.cut);
      EXPECT_TRUE(t.inkLeft >= book.list.left && t.inkRight <= book.list.left + book.list.width &&
                  t.inkTop >= book.list.top && t.inkBottom <= book.list.top + book.list.height)
          << t.describe() << " in the list at " << book.list.left << "," << book.list.top << " " << book.list.width
          << "x" << book.list.height;
    }
    g.game.tapControl(SDialogSpellbook::kCloseCode);
    EXPECT_EQ(g.game.subMode(), SStateGame::kWalking);
  }
}

TEST(DialogScreens, PotionListDrinkAndClose) {
  ScreenGame g;
  ASSERT_TRUE(g.Enter("base_dungeon1", 5, 6, 180));
  g.Prepare();
  g.give("base_potion_heal", 3);
  g.give("base_potion_ale");
  g.state().OnCommand(SStateGame::kPotionsId);
  ASSERT_EQ(g.game.subMode(), SStateGame::kPotionList);
  EXPECT_TRUE(g.Golden("potions_mode7"));
  g.game.tapRow(SDialogPotion::kListId, 1);
  g.game.tapControl(SDialogPotion::kCloseCode);
  EXPECT_EQ(g.game.subMode(), SStateGame::kWalking);
  g.state().OnCommand(SStateGame::kPotionsId);
  g.game.frame();
  g.game.tapControl(SDialogPotion::kDrinkCode);
  EXPECT_EQ(g.game.subMode(), SStateGame::kWalking);
}

TEST(DialogScreens, LockPickingByItsButtons) {
  ScreenGame g;
  ASSERT_TRUE(g.Enter("base_dungeon1", 10, 4, 180));
  g.Prepare();
  SMapArea* map = nullptr;
  SMapObjectInst* door = g.core().CurrentWorld()->FindObjectByName("base_obj_cellardoor", map);
  ASSERT_NE(door, nullptr);
  door->packed = i16(12 << 6);
  g.player().skills[18] = 30;
  g.give("base_key_lockpick", 1, 5000);
  g.give("base_key_lockpickbeginner", 1, 2000);
  g.state().trappedInst = door;
  g.state().OpenLockpick();
  EXPECT_TRUE(g.Golden("lockpick_mode7"));
  g.game.tapControl(SDialogLockpick::kNextId);
  EXPECT_EQ(g.state().lockpick.selected, 1);
  g.game.tapControl(SDialogLockpick::kTrapCode);
  EXPECT_EQ(g.state().lockpick.chance.text.CStr(), std::string("Failed"));
  g.game.tapControl(SDialogLockpick::kCloseCode);
  EXPECT_EQ(g.game.subMode(), SStateGame::kWalking);
  door->packed = 1088;
}

TEST(DialogScreens, MarkAndRecallByTheList) {
  ScreenGame g;
  ASSERT_TRUE(g.Enter("base_dungeon2", 3, 3, 90));
  g.Prepare();
  g.player().attributes[4] = 14;
  g.state().BeginMark();
  g.game.frame();
  g.game.tapRow(SDialogMarkRecall::kListId, 1);
  g.game.tapControl(SDialogMarkRecall::kOkId);
  EXPECT_NE(g.game.subMode(), SStateGame::kMarkRecall);
  EXPECT_TRUE(g.player().GetMarkedPosition(1)->IsHeld());
  ASSERT_TRUE(g.Settle());
  g.state().BeginRecall();
  EXPECT_TRUE(g.Golden("recall_mode7"));
  g.game.tapControl(SDialogMarkRecall::kCloseCode);
  EXPECT_EQ(g.game.subMode(), SStateGame::kWalking);
}

TEST(DialogScreens, WorldMapViewsAndATappedTile) {
  ScreenGame g;
  ASSERT_TRUE(g.Enter("base_out0101", 17, 17, 0, 1439));
  g.Prepare();
  g.state().OnCommand(SStateGame::kAutomapId);
  ASSERT_EQ(g.game.subMode(), SStateGame::kWorldMap);
  EXPECT_TRUE(g.Golden("worldmap_local_mode7"));
  g.game.tapControl(SDialogGameMap::kWorldViewId);
  const SGameWorldMapCtrl& m = g.state().mapDialog.worldMap;
  ASSERT_TRUE(m.IsVisible());
  // The last pixel of the second column's first tile.
  const i32 x = i32(m.left) + m.offsetX + 41, y = i32(m.top) + m.offsetY + 20;
  g.game.penDown(x, y);
  g.game.penUp(x, y);
  EXPECT_EQ(g.state().mapDialog.selection.text.CStr(), std::string("Selected: East Fields"));
  EXPECT_TRUE(g.Golden("worldmap_world_mode7"));
  g.game.tapControl(SDialogGameMap::kCloseCode);
  EXPECT_EQ(g.game.subMode(), SStateGame::kWalking);
}

TEST(DialogScreens, ShipTravelLandsByItsButton) {
  ScreenGame g;
  ASSERT_TRUE(g.Enter("base_out0101", 17, 17, 0));
  g.Prepare();
  g.player().QueueTravel("base_pos_deep", "The ship sails through the night.");
  ASSERT_TRUE(g.game.waitUntil(GameHarness::subModeIs(SStateGame::kShipTravel), 10));
  EXPECT_TRUE(g.Golden("ship_mode7"));
  g.game.tapControl(SDialogShipTravel::kCloseCode);
  ASSERT_TRUE(g.Settle());
  EXPECT_STREQ(g.state().window.CurrentArea()->name.Text(), "base_dungeon2");
}

TEST(DialogScreens, AlchemyBySlotButtonsAndCreate) {
  ScreenGame g;
  ASSERT_TRUE(g.Enter("base_dungeon2", 3, 3, 0));
  g.Prepare();
  SItem* mortar = g.give("base_alch_mortar", 1, 250);
  g.give("base_ingr_mushroom", 2);
  g.give("base_ingr_nightshade");
  g.player().skills[16] = 100;
  SDialogAlchemy alchemy;
  alchemy.Attach(&g.core());
  g.OpenOverOwner(alchemy);
  alchemy.Open(mortar);
  g.game.frame();
  g.game.tapControl(SDialogAlchemy::kSlotNextIds[0]);
  g.game.tapControl(SDialogAlchemy::kSlotNextIds[1]);
  g.game.tapControl(SDialogAlchemy::kSlotNextIds[1]);
  EXPECT_TRUE(g.Golden("alchemy_mode7"));
  g.game.tapControl(SDialogAlchemy::kCreateId);
  ASSERT_EQ(alchemy.child, &alchemy.box);
  g.game.frame();
  g.TapCaption("Ok");
  EXPECT_EQ(alchemy.child, nullptr);
  g.game.tapControl(SDialogAlchemy::kCloseId);
  EXPECT_EQ(g.owner.closed, 1u);
}

TEST(DialogScreens, RepairByItsButtons) {
  ScreenGame g;
  ASSERT_TRUE(g.Enter("base_dungeon2", 3, 3, 0));
  g.Prepare();
  SItem* hammer = g.give("base_repair_hammer");
  g.give("base_repair_hammerapprentice");
  g.give("base_weap_shortswordcheap", 1, 300);
  g.give("base_armor_chain", 1, 100);
  g.player().skills[14] = 60;
  SDialogRepair repair;
  repair.Attach(&g.core());
  g.OpenOverOwner(repair);
  repair.Open(hammer);
  g.game.frame();
  g.game.tapRow(SDialogRepair::kListId, 1);
  g.game.tapControl(SDialogRepair::kNextHammerId);
  EXPECT_EQ(repair.hammerIndex, 1);
  EXPECT_TRUE(g.Golden("repair_mode7"));
  const u16 before = repair.items[1]->count;
  g.game.tapControl(SDialogRepair::kRepairId);
  EXPECT_GT(repair.items[1]->count, before);
  g.game.tapControl(SDialogRepair::kCloseId);
  EXPECT_EQ(g.owner.closed, 1u);
}

}  // namespace
