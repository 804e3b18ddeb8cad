// The front door played through the real program: the maker's logo on the virtual clock, the main menu
// with and without a game, its questions, and the death screen.
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "os/Files.h"
#include "os/headless/HeadlessWindows.h"
#include "screens/SLogoStrokes.h"
#include "screens/SStateCorvanth.h"
#include "screens/SStateDeath.h"
#include "screens/SStateMain.h"
#include "support/GameHarness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

std::vector<std::string> MenuRows(const GameHarness& game) {
  const auto* menu = static_cast<const SStateMain*>(game.core().states[kStateMain]);
  std::vector<std::string> rows;
  for (u32 i = 0; i < menu->list.RowCount(); ++i) rows.push_back(menu->list.Row(i32(i))->text.CStr());
  return rows;
}

const std::vector<std::string> kSixRows = {"Start new game",    "Load Game", "Settings",
                                           "Additional worlds", "Credits",   "Exit"};

std::string SlotPath(const GameHarness& game, u32 slot) {
  return game.dataFolder() + "/DuskmireSave" + std::to_string(slot) + ".pdb";
}

// A game entered at once (as --new-game does), on a copy of the world that saves may land in.
GameHarness::Options InGame() {
  GameHarness::Options o;
  o.copyData = true;
  o.newGame = true;
  return o;
}

}  // namespace

// The logo writes a step every 100 ms of the virtual clock: the strokes without delay start together, a
// stroke with delay 30 after 30 steps; the finished logo holds two seconds, then the menu comes.
TEST(Logo, WritesStrokeByStrokeThenHoldsAndGoesToTheMenu) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_EQ(game.state(), kStateCorvanth);
  const auto& logo = *static_cast<const SStateCorvanth*>(game.core().states[kStateCorvanth]);
  for (u32 i = 0; i < SStateCorvanth::kHolders; ++i)
    EXPECT_EQ(logo.holders[i].recordId, SStateCorvanth::RecordFor(i, 7)) << i;
  EXPECT_EQ(SStateCorvanth::RecordFor(0, 7), 4033);
  EXPECT_EQ(SStateCorvanth::RecordFor(0, 10), 3521);
  EXPECT_EQ(SStateCorvanth::RecordFor(3, 7), 3524);
  // 240x320 is compact: two thirds of each coordinate, less one.
  EXPECT_EQ(logo.points[0][0][0], CompactLogoCoordinate(11));
  EXPECT_EQ(logo.points[0][0][0], 6);
  EXPECT_EQ(logo.points[0][1][1], 13);

  // Frames come every 40 ms, so a step (at most one per 100 ms) comes every third frame: 25 frames, 8 steps.
  game.frame(25);
  EXPECT_EQ(logo.progress[0], 8);
  EXPECT_EQ(logo.progress[5], 0) << "stroke 5 waits 30 steps";
  EXPECT_EQ(logo.delays[5], 22);
  game.frame(65);  // 30 steps: stroke 5 still waits
  EXPECT_EQ(logo.progress[5], 0);
  EXPECT_EQ(logo.delays[5], 0);
  game.frame(3);  // the 31st step draws its first point
  EXPECT_EQ(logo.progress[5], 1);
  EXPECT_EQ(logo.progress[0], 31);
  ASSERT_TRUE(game.waitUntil({"the logo holds",
                              [](const GameHarness& h) {
                                return static_cast<const SStateCorvanth*>(h.core().states[kStateCorvanth])->phase ==
                                       SStateCorvanth::kHolding;
                              }},
                             200));
  for (u32 j = 0; j < SStateCorvanth::kStrokes; ++j) EXPECT_EQ(logo.progress[j], logo.counts[j]) << j;
  game.frame(45);  // 1.8 s
  EXPECT_EQ(game.state(), kStateCorvanth);
  ASSERT_TRUE(game.waitUntil(GameHarness::stateIs(kStateMain), 10));
}

// The strokes hold what the logo screen promises: 451 points in fourteen strokes, inside the logo.
TEST(Logo, StrokeTable) {
  const u16 counts[14] = {48, 46, 21, 37, 54, 7, 28, 7, 54, 26, 11, 53, 12, 47};
  const i16 delays[14] = {0, 0, 20, 0, 0, 30, 0, 30, 0, 0, 40, 0, 40, 0};
  u32 total = 0;
  i32 minX = 999, maxX = 0, minY = 999, maxY = 0;
  ASSERT_EQ(LogoStrokes().size(), 14u);
  for (u32 j = 0; j < 14; ++j) {
    const SLogoStroke& s = LogoStrokes()[j];
    EXPECT_EQ(s.count, counts[j]) << j;
    EXPECT_EQ(s.delay, delays[j]) << j;
    total += s.count;
    for (u32 p = 0; p < s.count; ++p) {
      minX = std::min<i32>(minX, s.points[p][0]);
      maxX = std::max<i32>(maxX, s.points[p][0]);
      minY = std::min<i32>(minY, s.points[p][1]);
      maxY = std::max<i32>(maxY, s.points[p][1]);
    }
  }
  EXPECT_EQ(total, 451u);
  EXPECT_EQ(std::make_tuple(minX, maxX, minY, maxY), std::make_tuple(2, 245, 0, 78));
  EXPECT_EQ(LogoStrokes()[0].points[0][0], 11);
  EXPECT_EQ(LogoStrokes()[0].points[2][1], 21);
}

// A key or a pen-down during the writing goes to the menu at once; outside a game it lists six rows, and
// the forward and back keys wrap.
TEST(Menu, AKeyDuringTheLogoGivesTheMenuOfSixRowsThatWrap) {
  for (bool pen : {false, true}) {
    GameHarness game;
    ASSERT_TRUE(game.boot()) << game.startError();
    game.frame(3);
    if (pen) {
      game.penDown(100, 100);
      game.penUp(100, 100);
    } else {
      game.press(kActionForward);
    }
    ASSERT_EQ(game.state(), kStateMain) << pen;
    EXPECT_EQ(MenuRows(game), kSixRows);
    const auto& menu = *static_cast<const SStateMain*>(game.core().states[kStateMain]);
    EXPECT_EQ(menu.list.selected, -1);
    game.press(kActionBack);
    EXPECT_EQ(menu.list.selected, 0) << "back with none selected selects the first";
    EXPECT_EQ(game.sounds().back().name, "#4031");
    game.press(kActionForward);
    EXPECT_EQ(menu.list.selected, 5) << "forward on the first wraps to the last";
    game.press(kActionBack);
    EXPECT_EQ(menu.list.selected, 0) << "back on the last wraps to the first";
    EXPECT_EQ(game.state(), kStateMain);
  }
}

// In a game the menu has eight rows; "Exit" answered Yes writes slot 0 and ends through the exit hook.
TEST(Menu, InAGameEightRowsAndExitSaves) {
  static int exits = 0;
  exits = 0;
  DuskmireApp::SetExit([](int) { ++exits; });
  GameHarness game(InGame());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  game.setState(kStateMain);
  EXPECT_EQ(MenuRows(game), (std::vector<std::string>{"Continue game", "Start new game", "Load Game", "Save Game",
                                                      "Settings", "Additional worlds", "Credits", "Exit"}));
  std::filesystem::remove(SlotPath(game, 0));
  // "Exit" is the last row: back selects the first, forward wraps to the last, use activates it.
  game.press(kActionBack);
  game.press(kActionForward);
  game.press(kActionUse);
  ASSERT_NE(game.describeUi().find("\"Are you sure you want to exit?\rThe active game will be saved.\""),
            std::string::npos)
      << game.describeUi();
  game.press(kActionUse);  // Yes is the default
  EXPECT_EQ(exits, 1);
  EXPECT_TRUE(std::filesystem::exists(SlotPath(game, 0)));
  DuskmireApp::SetExit(nullptr);
}

// With slot 0 present the list hides behind the question; No shows it, Yes loads and enters the game. A
// slot whose header reads but whose body is damaged is reported and the menu stays without a game.
TEST(Menu, TheAutoSavedGameIsOffered) {
  std::string folder;
  {
    GameHarness game(InGame());
    ASSERT_TRUE(game.boot()) << game.startError();
    ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
    ASSERT_EQ(game.core().saveGame.Write(0), 1);
    folder = GameHarness::makeDataFolder("autosave", nullptr);
    std::filesystem::copy_file(SlotPath(game, 0), folder + "/DuskmireSave0.pdb");
  }
  for (int answer : {0, 1, 2}) {
    GameHarness::Options o;
    o.dataFolder = folder;
    if (answer == 2) {
      // The header stays readable; the records behind it are overwritten.
      o.dataFolder = GameHarness::makeDataFolder("autosave-damaged", nullptr);
      std::vector<u8> bytes;
      Os::ReadWholeFile((folder + "/DuskmireSave0.pdb").c_str(), 64u << 20, &bytes);
      for (size_t k = bytes.size() - 400; k < bytes.size(); ++k) bytes[k] = 0xFF;
      std::ofstream(o.dataFolder + "/DuskmireSave0.pdb", std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    GameHarness game(o);
    ASSERT_TRUE(game.boot()) << game.startError();
    game.press(kActionUse);
    ASSERT_EQ(game.state(), kStateMain);
    const auto& menu = *static_cast<const SStateMain*>(game.core().states[kStateMain]);
    ASSERT_NE(game.describeUi().find("\"Do you want to load\rthe auto-saved game?\""), std::string::npos)
        << game.describeUi();
    EXPECT_FALSE(menu.list.IsVisible());
    if (answer == 0) {
      game.tapLabel("No");
      EXPECT_TRUE(menu.list.IsVisible());
      EXPECT_EQ(game.openChild(), nullptr);
      EXPECT_EQ(game.state(), kStateMain);
      continue;
    }
    game.press(kActionUse);
    if (answer == 1) {
      EXPECT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
      EXPECT_TRUE(game.core().stateGame->gameInProgress);
      continue;
    }
    EXPECT_EQ(game.state(), kStateMain);
    EXPECT_NE(game.describeUi().find("\"The saved game could not be loaded.\""), std::string::npos)
        << game.describeUi();
    EXPECT_FALSE(game.core().stateGame->gameInProgress);
    game.press(kActionUse);
    EXPECT_EQ(game.openChild(), nullptr);
    EXPECT_EQ(MenuRows(game), kSixRows);
  }
}

// Hit points set to 0 lead to the death screen; the use key gives the menu of six rows, whose "Exit"
// asks without the saving note.
TEST(Death, UseKeyGivesTheMenuWithoutTheGame) {
  GameHarness game(InGame());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  game.core().player.hp = 0;
  ASSERT_TRUE(game.waitUntil(GameHarness::stateIs(kStateDeath), 20));
  const std::string ui = game.describeUi();
  EXPECT_NE(ui.find(SStateDeath::kEpitaph), std::string::npos) << ui;
  EXPECT_NE(ui.find("SButtonCtrl 25"), std::string::npos) << ui;
  game.press(kActionUse);
  ASSERT_EQ(game.state(), kStateMain);
  EXPECT_EQ(MenuRows(game), kSixRows);
  game.press(kActionBack);
  game.press(kActionForward);
  game.press(kActionUse);
  EXPECT_NE(game.describeUi().find("\"Are you sure you want to exit?\""), std::string::npos);
  EXPECT_EQ(game.describeUi().find("saved"), std::string::npos);
}
