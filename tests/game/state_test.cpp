// The game state on a hand-made core with the sample world: entering keeps a loaded game's place, clock
// and weather; the head-up layout adds what the layout holds; resuming releases the menu pictures and
// rebuilds what scripts changed; the sprite offsets fit the view; each member dialog's close code comes
// back to the state; the automap's layout, drag and arrow (with the mended arrow order).
#include "GameRig.h"
#include "HandWindow.h"
#include "graphics/renderer/SRenderer.h"
#include "script/SScriptContext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// A layout record with the game screen only, for one display mode, holding the given controls.
std::vector<u8> GameScreenLayout(i32 mode, u16 w, u16 h, const std::vector<SLayoutItem>& items) {
  std::vector<u16> words = {1, 6, u16(SLayoutTable::kGameScreen), 1, 12, u16(mode), w, h, u16(items.size())};
  for (const SLayoutItem& it : items) words.insert(words.end(), {it.id, it.x, it.y, it.w, it.h});
  std::vector<u8> bytes(words.size() * 2);
  std::memcpy(bytes.data(), words.data(), bytes.size());
  return bytes;
}

SImageEntry* SmallPicture() {
  static const u8 kImage[] = {0, 0, 0, 0,  // archive header
                              0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0x1F, 0x00};
  auto* e = new SImageEntry;
  e->record = new SRecordData(new u8[sizeof kImage], sizeof kImage);
  std::memcpy(e->record->data, kImage, sizeof kImage);
  e->image = SImage::FromRecord(e->record->data + 4, sizeof kImage - 4);
  return e;
}

TEST(GameState, EnteringALoadedGameKeepsPlaceClockAndWeather) {
  GameRig rig;
  ASSERT_TRUE(rig.ready);
  rig.state.weather = 30;
  rig.state.rainIntensity = 12;
  rig.state.rainTarget = 40;
  ASSERT_TRUE(rig.Enter("base_out0101", 12, 19, 90, 3000));
  EXPECT_EQ(rig.state.window.playerX, 12);
  EXPECT_EQ(rig.state.window.playerY, 19);
  EXPECT_EQ(rig.state.facing, 90);
  EXPECT_EQ(rig.state.GetClockMinutes(), 3000u);
  EXPECT_EQ(rig.state.weather, 30);
  EXPECT_EQ(rig.state.rainIntensity, 12);
  EXPECT_EQ(rig.state.rainTarget, 40);
  EXPECT_EQ(rig.state.gameInProgress, 1u);
  EXPECT_EQ(rig.state.subMode, SStateGame::kWalking);
  EXPECT_TRUE(rig.state.window.IsCellSeen(12, 19)) << "the automap marks the player's cell";
  // The world's layers ask the state: the kinds' services, the rules' hooks, the maps' game link.
  EXPECT_EQ(rig.core.world.mapObjectTypes.services, &rig.state.kindServices);
  EXPECT_EQ(rig.core.world.rules.hooks, &rig.state.ruleHooks);
  EXPECT_EQ(rig.core.world.modules.env.game, &rig.state.window);
  EXPECT_EQ(rig.core.gameView, &rig.state.view);
  EXPECT_EQ(rig.core.display->Renderer()->view, &rig.state.view);
  EXPECT_EQ(rig.core.display->Renderer()->random, rig.core.random);
}

TEST(GameState, TheHeadUpLayoutAddsOnlyWhatTheLayoutHolds) {
  {
    GameRig rig(7, 240, 320);
    ASSERT_TRUE(rig.Enter("base_dungeon1", 2, 2, 0));
    EXPECT_EQ(rig.state.controls.Count(), 20)
        << "two fills, three frames, automap, portrait, two bars, compass, ten buttons";
    EXPECT_FALSE(rig.state.viewFill.IsInDialog());
  }
  {
    // A large screen with a smaller view frames the view.
    GameRig rig(10, 480, 640);
    rig.core.settings.viewSize = 1;
    ASSERT_TRUE(rig.Enter("base_dungeon1", 2, 2, 0));
    EXPECT_EQ(rig.state.controls.Count(), 22);
    EXPECT_TRUE(rig.state.viewFill.IsInDialog());
    EXPECT_EQ(rig.state.largeScreen, 1u);
  }
  {
    GameRig rig(7, 240, 320);
    const std::vector<u8> record = GameScreenLayout(
        7, 240, 320, {{550, 0, 0, 240, 200}, {535, 5, 205, 50, 50}, {537, 100, 260, 25, 25}, {544, 60, 205, 6, 50}});
    rig.core.layouts.Load(record.data(), u32(record.size()));
    ASSERT_TRUE(rig.Enter("base_dungeon1", 2, 2, 0));
    EXPECT_EQ(rig.state.controls.Count(), 3);
    EXPECT_TRUE(rig.state.automap.IsInDialog());
    EXPECT_TRUE(rig.state.hitPoints.IsInDialog());
    EXPECT_FALSE(rig.state.portrait.IsInDialog());
    EXPECT_EQ(rig.state.portrait.flags, 0);
    EXPECT_FALSE(rig.state.compass.IsVisible());
    EXPECT_EQ(rig.state.viewWidth, 240);
    EXPECT_EQ(rig.state.largeScreen, 0u);
  }
}

TEST(GameState, ResumeReleasesTheMenuPicturesAndRebuildsChangedCells) {
  GameRig rig;
  SScriptContext context;
  rig.core.scriptContext = &context;
  ASSERT_TRUE(rig.Enter("base_dungeon1", 2, 2, 0));
  for (u32 slot = 420; slot <= 423; ++slot) rig.core.pictures[slot] = SmallPicture();
  // A script takes the wall north of the player away and reports the cell changed.
  SMapCell* wall = rig.state.GetCell(2, 0);
  ASSERT_NE(wall->centreType, nullptr);
  const u32 i = 2 + 35 * 0;
  ASSERT_NE(rig.state.scene.Words(i, 1)[0], 0);
  wall->centreType = nullptr;
  context.AddChangedObject(rig.state.window.CurrentArea(), 2, 0, -1, 1);
  context.AddChangedObject(rig.state.window.CurrentArea(), 2, 0, -1, 1);
  EXPECT_EQ(context.changedObjects.Count(), 1u) << "an equal entry is listed once";
  rig.state.Resume();
  for (u32 slot = 420; slot <= 423; ++slot) EXPECT_EQ(rig.core.pictures[slot], nullptr) << slot;
  EXPECT_EQ(rig.state.scene.Words(i, 1)[0], 0);
  EXPECT_EQ(context.changedObjects.Count(), 0u);
  EXPECT_EQ(rig.state.monstersChanged, 1u);
  rig.core.scriptContext = nullptr;
}

TEST(GameState, SpriteOffsetsFitTheView) {
  const struct Case {
    i32 w, h;
    u16 x, y;
    u16 wantX, wantY;
  } cases[] = {
      {380, 320, 100, 100, 100, 100}, {480, 400, 70, 30, 70, 30},   {240, 200, 100, 100, 84, 81},
      {240, 320, 50, 100, 42, 100},   {240, 200, 150, 250, 84, 81},
  };
  for (const Case& c : cases) {
    SWorldView view;
    view.viewWidth = c.w;
    view.viewHeight = c.h;
    const u16 xs[2] = {c.x, c.x}, ys[2] = {c.y, c.y};
    ScaleHandOffsets(view, xs, ys);
    EXPECT_EQ(view.handRightWidthPct, c.wantX) << c.w << "x" << c.h << " " << c.x;
    EXPECT_EQ(view.handLeftWidthPct, c.wantX);
    EXPECT_EQ(view.handRightHeightPct, c.wantY) << c.w << "x" << c.h << " " << c.y;
    EXPECT_EQ(view.handLeftHeightPct, c.wantY);
  }
}

TEST(GameState, EachMemberDialogsCloseCodeReachesTheState) {
  GameRig rig;
  ASSERT_TRUE(rig.Enter("base_dungeon1", 2, 2, 0));
  SStateGame& s = rig.state;
  const struct Case {
    SDialog* dialog;
    i32 mode;
    u16 code;
  } cases[] = {
      {&s.mapDialog, SStateGame::kWorldMap, 48},
      {&s.spellbook, SStateGame::kSpellbook, 219},
      {&s.potions, SStateGame::kPotionList, 225},
      {&s.lockpick, SStateGame::kLockpick, 104},
      {&s.shipTravel, SStateGame::kShipTravel, 228},
      {&s.markRecall, SStateGame::kMarkRecall, 232},
  };
  for (const Case& c : cases) {
    s.OpenSubDialog(c.dialog, c.mode);
    if (c.dialog == &s.mapDialog) s.mapDialog.Open();
    if (c.dialog == &s.spellbook) s.spellbook.Open();
    if (c.dialog == &s.potions) s.potions.Open();
    if (c.dialog == &s.lockpick) s.lockpick.Open(nullptr);
    if (c.dialog == &s.shipTravel) s.shipTravel.Open("A calm crossing.", "base_pos_start");
    if (c.dialog == &s.markRecall) s.markRecall.Open(1);
    EXPECT_EQ(s.subDialog, c.dialog);
    s.Paint();
    // The dialog's close code, as its close button reports it.
    EXPECT_EQ(c.dialog->OnCommand(c.code), 0u);
    EXPECT_EQ(s.subDialog, nullptr) << c.code;
    EXPECT_EQ(s.subMode, SStateGame::kWalking) << c.code;
    EXPECT_EQ(s.child, nullptr) << c.code;
  }
  EXPECT_STREQ(s.shipTravel.destination.CStr(), "base_pos_start");

  // The enchanting picker closes with its own code, whatever its layout holds.
  s.OpenSubDialog(&s.enchantItem, SStateGame::kEnchanting);
  s.enchantItem.Open(nullptr, 0, 1);
  EXPECT_EQ(s.enchantItem.rechargeMode, 1u);
  EXPECT_EQ(s.enchantItem.OnCommand(SDialogEnchantItem::kClose), 0u);
  EXPECT_EQ(s.subDialog, nullptr);
  EXPECT_EQ(s.subMode, SStateGame::kWalking);
}

TEST(GameState, PendingMonsterAttacksAreFoundByMonster) {
  HandWindow h;
  h.state.ShowPlayerHit(3, 1);
  for (i32 id : {4, 9}) {
    auto* r = new SActionRecord;
    r->kind = kActionMonsterAttack;
    r->monsterId = id;
    h.state.actions.Add(r);
  }
  EXPECT_EQ(h.state.FindAttackAction(9), h.state.actions.At(2));
  EXPECT_EQ(h.state.FindAttackAction(-1), h.state.actions.At(1));
  EXPECT_EQ(h.state.FindAttackAction(5), nullptr);
}

TEST(GameState, ATapOnTheAutomapOpensTheWorldMapUnlessTheViewMoves) {
  GameRig rig;
  ASSERT_TRUE(rig.Enter("base_out0101", 17, 17, 0));
  rig.state.stepping = 1;
  EXPECT_EQ(rig.state.OnCommand(SStateGame::kAutomapId), 0u);
  EXPECT_EQ(rig.state.subDialog, nullptr);
  rig.state.stepping = 0;
  rig.state.OnCommand(SStateGame::kAutomapId);
  EXPECT_EQ(rig.state.subDialog, &rig.state.mapDialog);
  EXPECT_EQ(rig.state.subMode, SStateGame::kWorldMap);
}

TEST(AutomapControl, LayoutByDisplayModeDragAndTheArrow) {
  const struct Case {
    i32 mode;
    u16 w, h;
    u16 size;
    i32 cell, half;
  } cases[] = {{7, 240, 320, 160, 8, 9}, {10, 480, 640, 160, 16, 4}, {8, 240, 240, 54, 8, 2}};
  for (const Case& c : cases) {
    GameRig rig(c.mode, c.w, c.h);
    SGameMapCtrl map;
    map.Attach(&rig.state);
    map.game = &rig.state;
    map.SetRect(10, 10, c.size, c.size);
    map.UpdateLayout();
    EXPECT_EQ(map.cellSize, c.cell) << c.mode;
    EXPECT_EQ(map.halfColumns, c.half) << c.mode;
    EXPECT_EQ(map.sideOffset[0][1], (c.cell - 10) / 2 - c.cell) << "north: one cell up";
    EXPECT_EQ(map.sideOffset[1][0], c.cell + (c.cell - 10) / 2) << "east: one cell right";
  }
  // Dragging moves the map by exactly the pen's way; lifting or leaving stops it.
  GameRig rig;
  SGameMapCtrl map;
  map.Attach(&rig.state);
  map.SetRect(10, 10, 200, 200);
  map.id = 535;
  map.UpdateLayout();
  map.CentreOrigin();
  EXPECT_EQ(map.OnPen(50, 50, 0, 0), 535u) << "follow mode: a lift inside reports the id";
  map.SetDragMode();
  const i32 ox = map.originX, oy = map.originY;
  map.OnPen(50, 50, 1, 0);
  map.OnPen(61, 43, 1, 1);
  EXPECT_EQ(map.originX, ox + 11);
  EXPECT_EQ(map.originY, oy - 7);
  map.OnPen(61, 43, 0, 0);
  map.OnPen(70, 70, 1, 1);
  EXPECT_EQ(map.originX, ox + 11) << "a lift ends the drag";
  map.OnPen(60, 60, 1, 0);
  map.OnPen(300, 60, 1, 1);
  map.OnPen(65, 60, 1, 1);
  EXPECT_EQ(map.originX, ox + 11) << "leaving the control ends the drag";
  // The dragged map's arrow: pictures north, east, south, west for a facing counter-clockwise from north.
  const struct Arrow {
    i32 facing;
    u32 index;
  } arrows[] = {{0, 0}, {90, 3}, {180, 2}, {270, 1}, {360, 0}};
  for (const Arrow& a : arrows) EXPECT_EQ(SGameMapCtrl::ArrowIndex(a.facing), a.index) << a.facing;
}

}  // namespace
