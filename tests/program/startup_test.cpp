// The program's start-up on every screen the handheld had: what it reads, what it builds, what it shows.
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "core/ui/SState.h"
#include "foundation/SSettings.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "screens/SStateAddWorlds.h"
#include "screens/SStateCard.h"
#include "screens/SStateCorvanth.h"
#include "screens/SStateDeath.h"
#include "screens/SStateDialog.h"
#include "screens/SStateDialogInterior.h"
#include "screens/SStateGenerate.h"
#include "screens/SStateInventory.h"
#include "screens/SStateLoadSave.h"
#include "screens/SStateMain.h"
#include "screens/SStateScene.h"
#include "screens/SStateSettings.h"
#include "screens/SStateShop.h"
#include "script/SScriptContext.h"
#include "script/SScriptInterpreter.h"
#include "support/GameHarness.h"
#include "support/Png.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

struct Screen {
  int width, height;
  u32 startMode;
  i32 mode;
  u16 layout;  // the layout record read
  // Picture slots and the records they hold on this screen.
  std::vector<std::pair<u32, u16>> slots;
};

const Screen kScreens[] = {
    {240, 320, 1, 6, 3001, {{1, 3670}, {10, 3679}, {417, 3497}}},
    {240, 320, 0, 7, 3001, {{1, 3670}, {10, 3679}, {405, 3918}}},
    {240, 240, 0, 8, 3003, {{1, 3670}, {417, 4053}, {418, 4054}, {405, 4055}, {408, 4058}}},
    {480, 640, 1, 9, 3001, {{1, 3015}, {10, 4069}, {417, 3497}}},
    {480, 640, 0, 10, 3001, {{1, 3015}, {10, 4069}, {405, 4088}}},
    {480, 480, 0, 11, 3003, {{1, 3015}, {10, 4069}}},
    {800, 480, 0, 14, 3003, {{1, 3015}, {43, 4075}}},
    {800, 600, 0, 15, 3003, {{1, 3015}, {131, 3220}}},
    {640, 240, 0, 16, 3003, {{1, 3670}, {131, 4229}}},
};

// Whether the state of that number is of the class (for number 13: there is none).
bool StateIs(const SGameCore& core, i32 number) {
  SState* s = core.states[number];
  switch (number) {
    case kStateGame: return dynamic_cast<SStateGame*>(s);
    case kStateDialog: return dynamic_cast<SStateDialog*>(s);
    case kStateDialogInterior: return dynamic_cast<SStateDialogInterior*>(s);
    case kStateInventory: return dynamic_cast<SStateInventory*>(s);
    case kStateShop: return dynamic_cast<SStateShop*>(s);
    case kStateCorvanth: return dynamic_cast<SStateCorvanth*>(s);
    case kStateDeath: return dynamic_cast<SStateDeath*>(s);
    case kStateLoadSave: return dynamic_cast<SStateLoadSave*>(s);
    case kStateMain: return dynamic_cast<SStateMain*>(s);
    case kStateGenerate: return dynamic_cast<SStateGenerate*>(s);
    case kStateScene: return dynamic_cast<SStateScene*>(s);
    case kStateCard: return dynamic_cast<SStateCard*>(s);
    case kStateSettings: return dynamic_cast<SStateSettings*>(s);
    case kStateAddWorlds: return dynamic_cast<SStateAddWorlds*>(s);
    default: return s == nullptr;
  }
}

u32 FilledPictures(const SGameCore& core) {
  return u32(std::count_if(std::begin(core.pictures), std::end(core.pictures), [](auto* p) { return p != nullptr; }));
}

}  // namespace

TEST(Startup, EveryScreenReadsTheRecordsOfItsModeAndEndsInTheLogoState) {
  for (const Screen& screen : kScreens) {
    const std::string where = std::to_string(screen.width) + "x" + std::to_string(screen.height) + " StartMode " +
                              std::to_string(screen.startMode);
    GameHarness::Options o;
    o.width = screen.width;
    o.height = screen.height;
    o.startMode = screen.startMode;
    // Out of range, as a hand-edited settings file may hold them.
    o.settings = {{"SoundVolume", 25}, {"MusicVolume", 0xFFFFFFFFu}};
    GameHarness game(o);
    // At each present, how many pictures had been read, and whether the panel showed anything.
    std::vector<std::pair<u32, bool>> presents;
    game.onPresent = [&](const Os::Panel& panel) {
      const bool lit = std::any_of(panel.pixels.begin(), panel.pixels.end(), [](u16 p) { return p != 0; });
      presents.emplace_back(FilledPictures(game.core()), lit);
    };
    ASSERT_TRUE(game.boot()) << where << ": " << game.startError();
    SGameCore& core = game.core();
    EXPECT_EQ(core.displayMode, screen.mode) << where;

    // The records of the mode.
    std::unique_ptr<SRecordData> layout = core.data.ReadRecord(screen.layout);
    ASSERT_TRUE(layout) << where;
    const std::span<const u8> held = core.layouts.Bytes();
    EXPECT_TRUE(held.size() == layout->size && std::memcmp(held.data(), layout->data, layout->size) == 0)
        << where << ": the layout is not record " << screen.layout;
    for (const auto& [slot, record] : screen.slots) {
      ASSERT_TRUE(core.pictures[slot]) << where << " slot " << slot;
      EXPECT_EQ(core.pictures[slot]->recordId, record) << where << " slot " << slot;
    }
    EXPECT_EQ(FilledPictures(core), 447u) << where;
    for (u32 slot : {20u, 55u, 420u, 421u, 422u, 423u, 457u}) EXPECT_FALSE(core.pictures[slot]) << where << " " << slot;
    ASSERT_TRUE(core.clickSounds[0] && core.clickSounds[1]) << where;
    EXPECT_EQ(core.clickSounds[0]->recordId, 4031u);
    EXPECT_EQ(core.clickSounds[1]->recordId, 4032u);

    // The start-up text was on the panel before the first picture was read.
    const auto text = std::find_if(presents.begin(), presents.end(), [](const auto& p) { return p.second; });
    ASSERT_NE(text, presents.end()) << where;
    EXPECT_EQ(text->first, 0u) << where;

    // Every state, attached; the logo state current with four zero words, nothing kept, no frame run.
    for (i32 n = 0; n < i32(kStateCount); ++n) {
      EXPECT_TRUE(StateIs(core, n)) << where << " state " << n;
      if (core.states[n]) {
        EXPECT_EQ(core.states[n]->core, &core) << where << " state " << n;
      }
    }
    EXPECT_EQ(core.stateGame, core.states[kStateGame]);
    EXPECT_EQ(game.state(), kStateCorvanth) << where;
    for (u32 w : core.currentState->params) EXPECT_EQ(w, 0u) << where;
    EXPECT_EQ(core.stackCount, 0u) << where;
    EXPECT_EQ(core.frameCounter, 0u) << where;

    // The volumes within 0..10, in the record and in the registry.
    EXPECT_EQ(core.settings.soundVolume, 10u) << where;
    EXPECT_EQ(core.settings.musicVolume, 0u) << where;
    EXPECT_EQ(RegGetDword("SoundVolume", 99), 10u) << where;
    EXPECT_EQ(RegGetDword("MusicVolume", 99), 0u) << where;

    // The music archive is open; the world's tables are registered where the loader finds them.
    ASSERT_EQ(core.world.modules.Count(), 1u) << where;
    EXPECT_GT(core.world.sounds.songs.Count(), 0u) << where;
    EXPECT_EQ(core.world.tables[kBlockMonsters], &core.world.monsters);
    EXPECT_EQ(core.world.tables[kBlockScripts], &core.world.scripts);
    EXPECT_EQ(core.world.tables[kBlockGlobals], &core.world.globals);
    EXPECT_EQ(core.world.tables[kBlockDialogLists], &core.world.dialogs);
    EXPECT_EQ(core.world.tables[kBlockFaces], &core.world.faces);

    // The script machinery, the player, the cards and the timers.
    ASSERT_TRUE(core.scriptInterpreter && core.scriptContext);
    EXPECT_EQ(core.scriptContext->core, &core);
    EXPECT_EQ(core.scriptContext->interpreter, core.scriptInterpreter);
    EXPECT_EQ(core.scriptInterpreter->Context(), core.scriptContext);
    EXPECT_EQ(core.world.scripts.core, &core);
    EXPECT_EQ(core.world.scripts.interpreter, core.scriptInterpreter);
    EXPECT_EQ(core.world.scripts.context, core.scriptContext);
    EXPECT_EQ(core.player.game, &core);
    EXPECT_EQ(core.player.header.state, 17u);
    EXPECT_EQ(core.cards.core, &core);
    EXPECT_EQ(core.cards.CardAt(2, 24)->deckKind, 2u);
    EXPECT_EQ(core.cards.CardAt(2, 24)->index, 24u);
    for (const SFrameTimer& t : core.frameTimers) EXPECT_EQ(t.counter + t.lastTick, 0u);
    EXPECT_EQ(core.startTime->seconds, 1767268800u) << "the virtual clock's 2026-01-01 12:00:00";
  }
}

// The frame the real start-up presents is the start-up text, on the screens of each family.
TEST(Startup, PresentsTheStartupText) {
  const struct {
    int width, height;
    u32 startMode;
    const char* golden;
  } cases[] = {
      {240, 320, 0, "graphics_startup_240x320"},
      {640, 480, 1, "graphics_startup_640x480"},
      {800, 480, 0, "graphics_startup_800x480"},
      {240, 240, 0, "graphics_startup_240x240"},
  };
  for (const auto& c : cases) {
    GameHarness::Options o;
    o.width = c.width;
    o.height = c.height;
    o.startMode = c.startMode;
    GameHarness game(o);
    ASSERT_TRUE(game.boot()) << game.startError();
    // The first picture with anything on it: the maker's logo blacks the screen out after it. (Comparing
    // every picture would let a black one pass, and write a black golden when goldens are rewritten.)
    const Os::Panel& panel = game.panel();
    const auto shown = std::find_if(game.frames().begin(), game.frames().end(), [](const GameHarness::Frame& f) {
      return std::any_of(f.pixels.begin(), f.pixels.end(), [](u16 p) { return p != 0; });
    });
    ASSERT_NE(shown, game.frames().end()) << c.golden << ": no picture with anything on it";
    EXPECT_EQ(testpng::CompareGolden(c.golden, shown->pixels.data(), panel.width, panel.height, panel.width), "")
        << game.frames().size() << " pictures";
  }
}

// Start-up leaves the new player's defaults and no music chosen for the interior and the scene.
TEST(Startup, TheStatesStartWithTheirDefaults) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  SGameCore& core = game.core();
  const SNewPlayer& fresh = static_cast<SStateGenerate*>(core.states[kStateGenerate])->newPlayer;
  EXPECT_STREQ(fresh.name.CStr(), "Player");
  EXPECT_EQ(fresh.sex, 1u);
  EXPECT_EQ(fresh.race, 2u);
  EXPECT_EQ(std::vector<u32>(std::begin(fresh.majorSkills), std::end(fresh.majorSkills)),
            (std::vector<u32>{2, 5, 1, 8, 15, 14}));
  EXPECT_STREQ(fresh.portrait.CStr(), "bres_head00_raceetherim");
  EXPECT_TRUE(static_cast<SStateDialogInterior*>(core.states[kStateDialogInterior])->musicTrack.IsEmpty());
  EXPECT_TRUE(static_cast<SStateScene*>(core.states[kStateScene])->musicTrack.IsEmpty());
}

// The music belongs to the world: without its archive, or with a damaged one, the game starts silent.
TEST(Startup, MissingOrDamagedMusicIsPassedOver) {
  for (bool damaged : {false, true}) {
    GameHarness::Options o;
    o.copyData = true;
    GameHarness game(o);
    const std::string music = game.dataFolder() + "/DuskmireMusic.pdb";
    if (damaged) {
      std::filesystem::resize_file(music, std::filesystem::file_size(music) / 2);
    } else {
      std::filesystem::remove(music);
    }
    ASSERT_TRUE(game.boot()) << game.startError();
    EXPECT_EQ(game.core().world.modules.Count(), 0u) << "damaged " << damaged;
    EXPECT_EQ(game.core().world.sounds.songs.Count(), 0u) << "damaged " << damaged;
    EXPECT_EQ(game.state(), kStateCorvanth);
  }
}
