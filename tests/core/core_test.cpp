// The game core object: what construction leaves, the code-made tables, the display-mode families, the
// layout lookups over the sample world's records, the settings and the world modules.
#include "CoreRig.h"

#include "foundation/SDatabase.h"
#include "os/headless/MemoryRegistry.h"
#include "platform/hal/DisplayModes.h"

#include <set>

namespace {

TEST(GameCore, ConstructionLeavesNoStateAndEmptySlots) {
  SGameCore core;
  EXPECT_EQ(core.currentState, nullptr);
  EXPECT_EQ(core.stackCount, 0u);
  for (SState* s : core.states) EXPECT_EQ(s, nullptr);
  for (SImageEntry* slot : core.pictures) EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(core.clickSounds[0], nullptr);
  EXPECT_EQ(core.clickSounds[1], nullptr);
  for (const SFrameTimer& t : core.frameTimers) EXPECT_EQ(t.counter + t.lastTick, 0u);
  EXPECT_EQ(core.lightTextColour, 0x94D6EFu);
  EXPECT_EQ(core.darkTextColour, 0x4294C6u);
  EXPECT_EQ(core.CurrentWorld(), nullptr);
  // Before start-up there is no screen: input and ticks reach nothing.
  core.OnKey(1000);
  core.OnStylus(1, 1, 1, 0);
  EXPECT_EQ(core.Tick(), 0u);
}

TEST(GameCore, DirectionTablesRunClockwiseFromNorth) {
  // (dx, dy) of each direction, y growing southward.
  const i32 expected[8][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};
  for (int d = 0; d < 8; ++d) {
    EXPECT_EQ(SGameCore::kDirX[d], expected[d][0]) << d;
    EXPECT_EQ(SGameCore::kDirY[d], expected[d][1]) << d;
    EXPECT_EQ(SGameCore::kDirBit[d], 1 << d) << d;
  }
  // Each diagonal: the bits of the straight directions beside it, and its own.
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(SGameCore::kDiagonalSides[i], SGameCore::kDirBit[2 * i] | SGameCore::kDirBit[(2 * i + 2) % 8]) << i;
    EXPECT_EQ(SGameCore::kDiagonalBit[i], SGameCore::kDirBit[2 * i + 1]) << i;
  }
  // The group offsets: every eighth from 1 to 7 once in each table, inside the cell.
  std::set<i32> xs(std::begin(SGameCore::kGroupOffsetX), std::end(SGameCore::kGroupOffsetX));
  std::set<i32> ys(std::begin(SGameCore::kGroupOffsetY), std::end(SGameCore::kGroupOffsetY));
  EXPECT_EQ(xs.size(), 7u);
  EXPECT_EQ(ys.size(), 7u);
  EXPECT_EQ(*xs.begin(), 8192);
  EXPECT_EQ(*xs.rbegin(), 7 * 8192);
  EXPECT_EQ(SGameCore::kGroupOffsetX[1], 5 * 8192);
}

TEST(GameCore, DisplayModeFamilies) {
  for (i32 mode = 0; mode <= 17; ++mode) {
    const bool compact =
        mode == 2 || mode == 5 || mode == 6 || mode == 7 || mode == 8 || mode == 12 || mode == 13 || mode == 16;
    const bool large = mode == 9 || mode == 10 || mode == 11 || mode == 14 || mode == 15;
    EXPECT_EQ(SGameCore::IsCompactMode(mode), compact) << mode;
    EXPECT_EQ(SGameCore::IsLargeMode(mode), large) << mode;
  }
}

TEST(GameCore, LayoutLookupsFollowTheDisplayModesRecord) {
  // The same screen from the builder's two records: 240x240 reads record 3003, 240x320 record 3001.
  CoreRig square(8, 240, 240), tall(7, 240, 320);
  ASSERT_TRUE(square.LoadSampleLayouts());
  ASSERT_TRUE(tall.LoadSampleLayouts());
  u32 w = 0, h = 0;
  square.core.GetLayoutSize(SLayoutTable::kGameScreen, w, h);
  EXPECT_EQ(w, 240u);
  EXPECT_EQ(h, 240u);
  tall.core.GetLayoutSize(SLayoutTable::kGameScreen, w, h);
  EXPECT_EQ(w, 240u);
  EXPECT_EQ(h, 320u);
  const SLayoutItem* a = square.core.GetLayoutItem(SLayoutTable::kGameScreen, 537);
  const SLayoutItem* b = tall.core.GetLayoutItem(SLayoutTable::kGameScreen, 537);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->id, 537);
  EXPECT_NE(a->y, b->y);
  // Absent screens and controls: outputs untouched, no entry.
  w = 7;
  h = 9;
  tall.core.GetLayoutSize(9999, w, h);
  EXPECT_EQ(w, 7u);
  EXPECT_EQ(h, 9u);
  EXPECT_EQ(tall.core.GetLayoutItem(9999, 550), nullptr);
  EXPECT_EQ(tall.core.GetLayoutItem(SLayoutTable::kGameScreen, 9999), nullptr);

  // A screen with no controls still has a size; every control lookup answers null.
  const u8 record[] = {1,   0, 6,  0, 5, 0,   // one screen: list at 6, id 5
                       1,   0, 12, 0, 7, 0,   // one variant: at 12, mode 7
                       100, 0, 60, 0, 0, 0};  // 100 x 60, no controls
  tall.core.layouts.Load(record, sizeof record);
  tall.core.GetLayoutSize(5, w, h);
  EXPECT_EQ(w, 100u);
  EXPECT_EQ(h, 60u);
  for (u32 id : {0u, 1u, 550u}) EXPECT_EQ(tall.core.GetLayoutItem(5, id), nullptr);
}

// Every screen the game builds lays out every one of its controls, inside the screen, in every display mode a
// device selects: the builders may then rely on them.
TEST(GameCore, SampleLayoutsHoldEveryControlForEveryDeviceMode) {
  struct ScreenControls {
    u32 screen;
    std::vector<u32> controls;
  };
  std::vector<ScreenControls> screens = {
      {3, {10, 11, 12, 13, 14, 15}},
      {17, {19, 25, 26, 40}},
      {43, {550, 534, 721, 535, 36, 544, 545, 548, 549, 542, 543, 546, 547, 536, 537, 538, 539, 540, 541}},
  };
  for (u32 id = 157; id <= 199; ++id) screens[1].controls.push_back(id);
  std::set<i32> modes;
  for (const Hal::DisplayModeRow& row : Hal::DisplayModeRows())
    if (row.screenWidth) modes.insert(row.mode);
  EXPECT_EQ(modes, (std::set<i32>{6, 7, 8, 9, 10, 11, 14, 15, 16}));
  for (i32 mode : modes) {
    const Hal::DisplayModeRow* row = Hal::FindDisplayMode(mode);
    const u32 pictureW = row->width ? row->width : row->screenWidth;
    const u32 pictureH = row->height ? row->height : row->usedHeight;
    CoreRig rig(mode, u16(pictureW), u16(pictureH));
    ASSERT_TRUE(rig.LoadSampleLayouts()) << mode;
    for (const ScreenControls& s : screens) {
      u32 w = 0, h = 0;
      rig.core.GetLayoutSize(s.screen, w, h);
      EXPECT_TRUE(w > 0 && w <= pictureW && h > 0 && h <= pictureH) << "mode " << mode << " screen " << s.screen;
      if (s.screen != 17) {
        EXPECT_TRUE(w == pictureW && h == pictureH) << "mode " << mode << " screen " << s.screen;
      }
      for (u32 id : s.controls) {
        const SLayoutItem* item = rig.core.GetLayoutItem(s.screen, id);
        ASSERT_NE(item, nullptr) << "mode " << mode << " screen " << s.screen << " control " << id;
        EXPECT_TRUE(item->w > 0 && item->h > 0 && u32(item->x) + item->w <= w && u32(item->y) + item->h <= h)
            << "mode " << mode << " screen " << s.screen << " control " << id;
      }
    }
    EXPECT_LE(rig.core.GetLayoutItem(SLayoutTable::kGameScreen, SLayoutTable::kViewControl)->w, 800);
  }
}

TEST(GameCore, SettingsAndWorldModules) {
  Os::MemoryRegistry registry;
  Os::InstallRegistry(&registry);
  {
    SGameCore core;
    core.SetDisplayMode(7);
    core.LoadSettings();  // first start: the defaults, written back
    EXPECT_EQ(core.settings.musicVolume, 5u);
    core.settings.musicVolume = 3;
    core.SaveSettings();
  }
  SGameCore core;
  core.LoadSettings();
  EXPECT_EQ(core.settings.musicVolume, 3u);
  Os::InstallRegistry(nullptr);

  SWorldModule* module = core.AddWorldModule();
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(core.world.modules.Count(), 1);
  core.SetCurrentWorld(module);
  EXPECT_EQ(core.CurrentWorld(), module);
  core.UnloadWorld();
  EXPECT_EQ(core.CurrentWorld(), nullptr);
  EXPECT_EQ(core.world.modules.Count(), 0);
}

TEST(GameCore, ItemClassBitsOnePerClassButTheUntradedOnes) {
  SItemTable items;
  items.InitFlagValues();
  u16 next = 1;
  for (u32 c = 0; c < kItemClasses; ++c) {
    if (c == 0 || c == 10) {
      EXPECT_EQ(items.classFlags[c], 0) << c;
      continue;
    }
    EXPECT_EQ(items.classFlags[c], next) << c;
    next = u16(next << 1);
  }
  EXPECT_EQ(next, 32768);  // the last class has 16384
}

}  // namespace
