// The front door played through the real program: the maker's logo on the virtual clock, the main menu
// with and without a game, its questions, and the death screen.
#include "MenuScreen.h"
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "foundation/SDatabase.h"
#include "game/SStateGame.h"
#include "os/Backend.h"
#include "os/Files.h"
#include "os/headless/HeadlessWindows.h"
#include "os/headless/MemoryFiles.h"
#include "player/SSaveGame.h"
#include "screens/SLogoStrokes.h"
#include "screens/SStateCorvanth.h"
#include "screens/SStateDeath.h"
#include "screens/SStateGenerate.h"
#include "screens/SStateMain.h"
#include "screens/SStateScene.h"
#include "script/SScriptContext.h"
#include "support/GameHarness.h"
#include "support/GoldenText.h"
#include "support/Png.h"
#include "support/TextRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>

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

namespace {

const SStateScene& Scene(const GameHarness& game) {
  return *static_cast<const SStateScene*>(game.core().states[kStateScene]);
}

std::string SceneText(const GameHarness& game) {
  for (const GameHarness::Control& c : game.controls())
    if (c.id == SStateScene::kTextId && c.type == "SSceneTextCtrl") {
      // The wrapped lines as one text.
      std::string text = c.text;
      std::replace(text.begin(), text.end(), '\r', ' ');
      return text;
    }
  return "";
}

// Activates the menu row of that code by the keys: back selects the first row, forward moves on.
void ChooseRow(GameHarness& game, u32 code) {
  const auto& menu = *static_cast<const SStateMain*>(game.core().states[kStateMain]);
  game.press(kActionBack);
  while (menu.list.SelectedCode() != code) game.press(kActionForward);
  game.press(kActionUse);
}

}  // namespace

// "Start new game" opens the game archives behind the loading bar and plays the introduction: a page
// with a picture and a text whose macro is expanded, a page whose text scrolls, a page whose script
// writes into the scene text; in this mode a tap on the text turns nothing; the scroll buttons stop at
// 50 and 300. After the last page comes the new player screen, and messages go to the message line again.
TEST(Scene, TheIntroductionOfANewGame) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  game.press(kActionUse);
  ASSERT_EQ(game.state(), kStateMain);
  const u16 modulesBefore = game.core().world.modules.Count();
  game.tapRow(SStateMain::kListId, 0);  // a tap on a row activates it
  ASSERT_EQ(game.state(), kStateScene);
  EXPECT_GT(game.core().world.modules.Count(), modulesBefore) << "the game archives are open";
  const SStateScene& scene = Scene(game);
  ASSERT_NE(scene.scene, nullptr);
  EXPECT_STREQ(scene.scene->name.Text(), "bres_intro");
  EXPECT_EQ(scene.pageIndex, 0u);
  EXPECT_TRUE(scene.picture.IsVisible());
  EXPECT_EQ(scene.text.centred, 0u) << "a new game's scene scrolls";
  EXPECT_EQ(SceneText(game).find("%Day%"), std::string::npos) << SceneText(game);
  EXPECT_NE(SceneText(game).find("on day 1"), std::string::npos) << SceneText(game);
  EXPECT_EQ(scene.musicTrack.CStr(), std::string("bmus_main"));

  game.tapControl(SStateScene::kTextId);
  EXPECT_EQ(scene.pageIndex, 0u) << "mode 0: the text turns nothing";
  EXPECT_EQ(scene.scrollSpeed, 150);
  // The speed is the time of a pixel's step: slower lengthens it, faster shortens it.
  for (int i = 0; i < 3; ++i) game.tapControl(SStateScene::kSlowerId);
  EXPECT_EQ(scene.scrollSpeed, 300);
  EXPECT_EQ(scene.text.stepTime, 300u);
  EXPECT_FALSE(scene.slower.IsEnabled());
  EXPECT_TRUE(scene.faster.IsEnabled());
  for (int i = 0; i < 6; ++i) game.tapControl(SStateScene::kFasterId);
  EXPECT_EQ(scene.scrollSpeed, 50);
  EXPECT_EQ(scene.text.stepTime, 50u);
  EXPECT_FALSE(scene.faster.IsEnabled());
  EXPECT_TRUE(scene.slower.IsEnabled());

  game.tapControl(SStateScene::kPictureId);
  EXPECT_EQ(scene.pageIndex, 1u);
  EXPECT_FALSE(scene.picture.IsVisible()) << "a page without picture";
  EXPECT_GT(scene.text.lines.Count(), 5u) << "a text that scrolls";
  game.press(kActionForward);
  EXPECT_EQ(scene.pageIndex, 2u);
  EXPECT_EQ(SceneText(game), "The innkeeper waves you in off the road.");
  EXPECT_EQ(game.scriptError(), 0u);
  EXPECT_EQ(testgolden::CompareText("frontdoor_scene_page", game.describeUi()), "");

  game.press(kActionForward);
  ASSERT_EQ(game.state(), kStateGenerate);
  EXPECT_EQ(game.core().scriptContext->output, u32(kOutputGameMessage));
  const size_t before = game.messages().size();
  game.core().scriptContext->ShowMessage("Outside any script.", 0);
  ASSERT_GT(game.messages().size(), before);
  EXPECT_EQ(game.messages()[before].destination, "game message");
  EXPECT_EQ(game.messages()[before].text, "Outside any script.");

  // A second new game goes straight to the introduction: the archives stay open.
  game.setState(kStateMain);
  const u16 modules = game.core().world.modules.Count();
  ChooseRow(game, SStateMain::kNewGame);
  EXPECT_EQ(game.state(), kStateScene);
  EXPECT_EQ(game.core().world.modules.Count(), modules);
}

// A missing scene, or a number past the table, ends at the first tick: mode 0 gives the new player
// screen (as a world without "bres_intro" does), another mode returns to the kept state.
TEST(Scene, AMissingSceneEndsAtOnce) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  game.press(kActionUse);
  for (u32 word : {0u, 5000u}) {
    game.setState(kStateScene, 0, word);
    EXPECT_TRUE(game.waitUntil(GameHarness::stateIs(kStateGenerate), 3)) << word;
    game.setState(kStateMain);
  }
}

// The credits come from the music archive, the only one open before a game, with their picture: their
// pages turn by keys, then the menu is back with its rows.
TEST(Scene, TheCreditsPlayAndReturnToTheMenu) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  game.press(kActionUse);
  ChooseRow(game, SStateMain::kCredits);
  ASSERT_EQ(game.state(), kStateScene);
  const SStateScene& scene = Scene(game);
  ASSERT_NE(scene.scene, nullptr);
  EXPECT_STREQ(scene.scene->name.Text(), "bmus_credits");
  EXPECT_EQ(scene.musicTrack.CStr(), std::string("bmus_credits"));
  EXPECT_EQ(SceneText(game), "Duskmire");
  EXPECT_TRUE(scene.picture.IsVisible()) << "the first page has its picture";
  game.tapControl(SStateScene::kTextId);
  EXPECT_EQ(SceneText(game), "Duskmire Vale: the small world that comes with the game.")
      << "mode 2: the text turns the page";
  // A page without picture stops scrolling when it stands in the middle of its box.
  EXPECT_FALSE(scene.picture.IsVisible());
  const i32 block = i32(scene.text.lines.Count()) * scene.text.lineHeight;
  EXPECT_GT(scene.text.lines.Count(), 0u);
  EXPECT_EQ(scene.text.endPosition, (scene.text.height + block) / 2);
  for (int page = 0; page < 10 && game.state() == kStateScene; ++page) game.press(kActionForward);
  ASSERT_EQ(game.state(), kStateMain);
  EXPECT_EQ(MenuRows(game), kSixRows);
  EXPECT_EQ(static_cast<const SStateMain*>(game.core().states[kStateMain])->list.selected, -1);
}

// Without the archive that holds the maps "Start new game" says so and the menu stays, with no game.
TEST(Menu, AWorldThatCannotBeLoadedIsReported) {
  GameHarness::Options o;
  o.dataFolder = GameHarness::makeDataFolder("nobase", nullptr);
  std::filesystem::remove(o.dataFolder + "/DuskmireBase.pdb");
  GameHarness game(o);
  ASSERT_TRUE(game.boot()) << game.startError();
  game.press(kActionUse);
  ChooseRow(game, SStateMain::kNewGame);
  EXPECT_EQ(game.state(), kStateMain);
  EXPECT_NE(game.describeUi().find("\"The world could not be loaded.\""), std::string::npos) << game.describeUi();
  EXPECT_FALSE(game.core().stateGame->gameInProgress);
  game.press(kActionUse);
  EXPECT_EQ(game.openChild(), nullptr);
  // The credits still play: the music archive is open again.
  ChooseRow(game, SStateMain::kCredits);
  EXPECT_EQ(game.state(), kStateScene);
  EXPECT_NE(Scene(game).scene, nullptr);
}

namespace {

const SStateGenerate& Generate(const GameHarness& game) {
  return *static_cast<const SStateGenerate*>(game.core().states[kStateGenerate]);
}

std::vector<u32> Skills(const GameHarness& game) {
  const SNewPlayer& p = Generate(game).newPlayer;
  return std::vector<u32>(std::begin(p.majorSkills), std::end(p.majorSkills));
}

// From the logo through the menu and the introduction to the new player screen.
void ToNewPlayer(GameHarness& game) {
  ASSERT_TRUE(game.boot()) << game.startError();
  game.press(kActionUse);
  ChooseRow(game, SStateMain::kNewGame);
  for (int page = 0; page < 3 && game.state() == kStateScene; ++page) game.press(kActionForward);
  ASSERT_EQ(game.state(), kStateGenerate);
}

}  // namespace

// A character made through the real screens: a name typed on the keyboard, a gender, Rasvim (Heal Magic
// becomes Undead Magic, the face the undead one), the Priest's skills, a skill another slot holds swapping,
// the face arrows, and OK entering the game on the race's start position with its items.
TEST(NewPlayer, ACharacterMadeThroughTheRealScreens) {
  GameHarness::Options o;
  o.copyData = true;
  GameHarness game(o);
  ToNewPlayer(game);
  const SStateGenerate& screen = Generate(game);
  EXPECT_STREQ(screen.newPlayer.name.CStr(), "Player");
  EXPECT_EQ(Skills(game), (std::vector<u32>{2, 5, 1, 8, 15, 14}));
  EXPECT_STREQ(screen.newPlayer.portrait.CStr(), "bres_head00_raceetherim");

  game.tapControl(SStateGenerate::kRename);
  ASSERT_NE(dynamic_cast<SDialogTextEdit*>(game.openChild()), nullptr);
  game.typeText("\b\b\b\b\b\bAda Fen");
  game.tapControl(SDialogTextEdit::kAccept);
  EXPECT_EQ(game.openChild(), nullptr);
  EXPECT_STREQ(screen.newPlayer.name.CStr(), "Ada Fen");
  game.tapControl(SStateGenerate::kFemale);
  EXPECT_EQ(screen.newPlayer.sex, 0u);

  game.tapControl(SStateGenerate::kChangeRace);
  ASSERT_EQ(game.openChild(), &screen.raceDialog);
  EXPECT_EQ(screen.raceDialog.chosenRace, 2u);
  game.tapRow(SDialogRaceSelect::kListId, 0);
  EXPECT_EQ(screen.raceDialog.chosenRace, 1u);
  EXPECT_EQ(screen.raceDialog.picture.picture, screen.raceDialog.pictures[0].image);
  {
    // Shown centred in its place at its own shape (a 64 x 80 picture was stretched to the wide place).
    const SPicCtrl& pic = screen.raceDialog.picture;
    ASSERT_NE(pic.picture, nullptr);
    EXPECT_EQ(i64(pic.drawWidth) * pic.picture->height, i64(pic.drawHeight) * pic.picture->width);
    EXPECT_LE(pic.drawWidth, i32(pic.width));
    EXPECT_LE(pic.drawHeight, i32(pic.height));
    EXPECT_NEAR(pic.drawX - pic.left, pic.left + pic.width - (pic.drawX + pic.drawWidth), 1);
    EXPECT_NEAR(pic.drawY - pic.top, pic.top + pic.height - (pic.drawY + pic.drawHeight), 1);
  }
  EXPECT_EQ(testgolden::CompareText("frontdoor_race_dialog", game.describeUi()), "");
  game.tapControl(SSelectDialog::kOkId);
  EXPECT_EQ(game.openChild(), nullptr);
  EXPECT_FALSE(screen.raceDialog.pictures[0].IsResident()) << "released after closing";
  EXPECT_STREQ(screen.newPlayer.raceName.CStr(), "Rasvim");
  EXPECT_STREQ(screen.newPlayer.portrait.CStr(), "bres_head00_raceundead");
  EXPECT_EQ(Skills(game), (std::vector<u32>{2, 5, 1, 12, 15, 14}));

  game.tapControl(SStateGenerate::kSelectClass);
  ASSERT_EQ(game.openChild(), &screen.classDialog);
  EXPECT_EQ(screen.classDialog.chosenClass, 1u);
  game.tapRow(SDialogSelectClass::kListId, 5);
  EXPECT_EQ(screen.classDialog.chosenClass, 6u);
  EXPECT_EQ(std::vector<u32>(std::begin(screen.classDialog.shownSkills), std::end(screen.classDialog.shownSkills)),
            (std::vector<u32>{2, 5, 8, 9, 16, 17}));
  EXPECT_EQ(testgolden::CompareText("frontdoor_class_dialog", game.describeUi()), "");
  game.tapControl(SSelectDialog::kOkId);
  EXPECT_EQ(Skills(game), (std::vector<u32>{2, 5, 12, 9, 16, 17})) << "the Priest's, Heal Magic made Undead Magic";

  // Slot 3 (Protection Magic) takes Light Weapon, which slot 0 holds: the two swap.
  game.tapControl(SStateGenerate::kFirstSkill + 3);
  ASSERT_EQ(game.openChild(), &screen.skillDialog);
  EXPECT_EQ(screen.skillDialog.selectedSkill, 9u);
  game.tapControl(SDialogSelectSkill::CodeOf(2));
  EXPECT_EQ(screen.skillDialog.selectedSkill, 2u);
  EXPECT_EQ(testgolden::CompareText("frontdoor_skill_dialog", game.describeUi()), "");
  game.tapControl(SSelectDialog::kOkId);
  EXPECT_EQ(Skills(game), (std::vector<u32>{9, 5, 12, 2, 16, 17}));
  // Cancel keeps the slot.
  game.tapControl(SStateGenerate::kFirstSkill + 1);
  game.tapControl(SDialogSelectSkill::CodeOf(7));
  game.tapControl(SSelectDialog::kCancelId);
  EXPECT_EQ(Skills(game), (std::vector<u32>{9, 5, 12, 2, 16, 17}));

  // The arrows go on from the face reached before the race changed it: the list is the choosable faces
  // in byte order, and at its ends the button that can go no further is disabled.
  ASSERT_EQ(screen.faces.size(), 7u);
  EXPECT_STREQ(screen.faces[0], "bres_head00_racederth");
  EXPECT_EQ(screen.faceIndex, 1) << "the Etherim face at entry";
  game.tapControl(SStateGenerate::kPreviousFace);
  EXPECT_EQ(screen.faceIndex, 0);
  EXPECT_STREQ(screen.newPlayer.portrait.CStr(), "bres_head00_racederth");
  EXPECT_FALSE(screen.previousFace.IsEnabled());
  for (int i = 0; i < 8; ++i) game.tapControl(SStateGenerate::kNextFace);
  EXPECT_EQ(screen.faceIndex, 6);
  EXPECT_STREQ(screen.newPlayer.portrait.CStr(), "bres_head35");
  EXPECT_FALSE(screen.nextFace.IsEnabled());

  game.tapControl(SStateGenerate::kOk);
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  const SPlayer& player = game.core().player;
  EXPECT_STREQ(player.name.CStr(), "Ada Fen");
  EXPECT_EQ(player.race, 1u);
  EXPECT_STREQ(player.startPosition.CStr(), "base_startgamerasvim");
  // The save made at the end: records 3001 to 3006 by size and content hash.
  ASSERT_EQ(game.core().saveGame.Write(1), 1);
  std::string records = game.summary();
  std::unique_ptr<SSaveSlotInfo> slot(game.core().saveGame.ReadSlotInfo(1));
  ASSERT_TRUE(slot && slot->database);
  for (u16 id = 3001; id <= 3006; ++id) {
    std::unique_ptr<SRecordData> r = slot->database->ReadRecord(id);
    u32 hash = 2166136261u;
    for (u32 i = 0; r && i < r->size; ++i) hash = (hash ^ r->data[i]) * 16777619u;
    records += "record " + std::to_string(id) + " " +
               (r ? std::to_string(r->size) + " bytes " + std::to_string(hash) : "missing") + "\n";
  }
  slot->Free();
  EXPECT_EQ(testgolden::CompareText("frontdoor_new_character", records), "");
}

// Each screen and dialog here works against an empty layout table: every control stays hidden and inert,
// the logo stands at the corner, and the flows still end.
TEST(NewPlayer, ScreensWithoutTheirLayouts) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  game.core().layouts.Clear();
  game.setState(kStateCorvanth);
  game.frame(30);
  EXPECT_EQ(game.state(), kStateCorvanth);
  game.press(kActionUse);
  ASSERT_EQ(game.state(), kStateMain);
  EXPECT_EQ(game.controls().size(), 0u) << game.describeUi();
  game.setState(kStateScene, 0, SStateMain::SceneWord(&game.core(), "bmus_credits"));
  for (int page = 0; page < 10 && game.state() == kStateScene; ++page) game.press(kActionUse);
  ASSERT_EQ(game.state(), kStateGenerate);
  EXPECT_EQ(game.controls().size(), 0u) << game.describeUi();
  SStateGenerate& screen = *static_cast<SStateGenerate*>(game.core().states[kStateGenerate]);
  for (u16 code : {SStateGenerate::kRename, SStateGenerate::kChangeRace, SStateGenerate::kSelectClass,
                   u16(SStateGenerate::kFirstSkill)}) {
    if (game.core().BeginFrame()) {
      screen.OnCommand(code);
      game.core().Present();
    }
    game.frame(2);
    ASSERT_NE(game.openChild(), nullptr) << code;
    EXPECT_EQ(game.controls().size(), 0u) << game.describeUi();
    if (game.core().BeginFrame()) {
      game.openChild()->OnCommand(SSelectDialog::kCancelId);
      game.core().Present();
    }
    EXPECT_EQ(game.openChild(), nullptr) << code;
  }
  game.setState(kStateDeath);
  EXPECT_EQ(game.controls().size(), 0u) << game.describeUi();
  game.press(kActionUse);
  EXPECT_EQ(game.state(), kStateDeath) << "no button: the use key has nothing to press";
}

// The screens as they are drawn: the main menu on a small and a large screen, the new player's defaults,
// the death screen on both.
TEST(FrontDoorGoldens, MenuNewPlayerAndDeath) {
  auto compare = [](GameHarness& game, const char* golden) {
    game.frame(2);
    const Os::Panel& panel = game.panel();
    EXPECT_EQ(testpng::CompareGolden(golden, panel.pixels.data(), panel.width, panel.height, panel.width), "");
  };
  // The wide screen too: its sky is stretched to a wide band, the moon keeps its shape.
  for (i32 mode : {7, 10, 14}) {
    GameHarness game(GameHarness::forMode(mode));
    ASSERT_TRUE(game.boot()) << game.startError();
    game.press(kActionUse);
    ASSERT_EQ(game.state(), kStateMain);
    compare(game, ("frontdoor_menu_mode" + std::to_string(mode)).c_str());
  }
  {
    GameHarness game;
    ToNewPlayer(game);
    compare(game, "frontdoor_new_player_mode7");
    game.setState(kStateDeath);
    compare(game, "frontdoor_death_mode7");
  }
  // The new player's face choice on the large screen too.
  GameHarness large(GameHarness::forMode(10));
  ToNewPlayer(large);
  compare(large, "frontdoor_new_player_mode10");
  large.setState(kStateDeath);
  compare(large, "frontdoor_death_mode10");
}

// The first pages of the introduction and of the credits, their pictures over their texts, on both
// families of screens; the credits' buttons also as they stand after the reader has used them.
TEST(FrontDoorGoldens, TheFirstPagesOfTheIntroductionAndTheCredits) {
  for (i32 mode : {7, 10})
    for (u32 row : {SStateMain::kNewGame, SStateMain::kCredits}) {
      GameHarness game(GameHarness::forMode(mode));
      ASSERT_TRUE(game.boot()) << game.startError();
      game.press(kActionUse);
      ChooseRow(game, row);
      ASSERT_EQ(game.state(), kStateScene);
      game.frame(2);
      const Os::Panel& panel = game.panel();
      const std::string golden = std::string(row == SStateMain::kNewGame ? "frontdoor_intro" : "frontdoor_credits") +
                                 (mode == 7 ? "_mode7" : "_mode10");
      EXPECT_EQ(testpng::CompareGolden(golden, panel.pixels.data(), panel.width, panel.height, panel.width), "");
      if (row != SStateMain::kCredits) continue;
      // The pages wait for the reader (the toggle offers to turn them again) and the text scrolls as fast
      // as it can (the faster button greyed).
      game.tapControl(SStateScene::kAutoId);
      while (Scene(game).faster.IsEnabled()) game.tapControl(SStateScene::kFasterId);
      game.frame(2);
      EXPECT_EQ(
          testpng::CompareGolden(golden + "_waiting", panel.pixels.data(), panel.width, panel.height, panel.width), "");
    }
}

// On every screen the introduction's picture keeps its shape: a whole multiple of its size (224 x 112)
// inside its box and centred across it, with the text starting below it.
TEST(Scene, ThePictureKeepsItsShapeOnEveryScreen) {
  for (i32 mode : GameHarness::deviceModes()) {
    GameHarness game(GameHarness::forMode(mode));
    ASSERT_TRUE(game.boot()) << game.startError();
    game.press(kActionUse);
    ChooseRow(game, SStateMain::kNewGame);
    ASSERT_EQ(game.state(), kStateScene) << mode;
    const SStateScene& scene = Scene(game);
    const SLayoutItem* box = game.core().GetLayoutItem(SStateScene::kLayout, SStateScene::kPictureId);
    ASSERT_NE(box, nullptr) << mode;
    const SPicCtrl& p = scene.picture;
    const i32 times = std::min(box->w / 224, box->h / 112);
    ASSERT_GE(times, 1) << mode;
    EXPECT_EQ(p.drawWidth, 224 * times) << mode;
    EXPECT_EQ(p.drawHeight, 112 * times) << mode;
    EXPECT_EQ(p.drawX, box->x + (box->w - p.drawWidth) / 2) << mode;
    EXPECT_EQ(p.drawY, box->y) << mode;
    if (mode != 16) {
      EXPECT_GE(i32(scene.text.top), p.drawY + p.drawHeight) << mode;
    }
  }
}

// The menu's backdrop keeps its bright details (the tower's lit window, the moon, the title) away from the
// menu's words on every screen, with and without a game (the rows move down by two in a game): every pixel
// behind a row's drawn line leaves its white text at least 3:1.
TEST(Menu, NoBrightDetailOfTheBackdropSitsUnderTheWords) {
  auto luminance = [](u16 c) {
    auto channel = [](u32 v, u32 max) {
      const double s = double(v) / max;
      return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c >> 11 & 31, 31) + 0.7152 * channel(c >> 5 & 63, 63) + 0.0722 * channel(c & 31, 31);
  };
  for (i32 mode : GameHarness::deviceModes())
    for (bool inGame : {false, true}) {
      GameHarness game(MenuOptions(GameHarness::forMode(mode), inGame));
      ASSERT_TRUE(EnterMenu(game, inGame)) << mode;
      SStateMain& menu = Menu(game);
      TextRecord texts(game);
      menu.SetFullRepaint();
      game.frame();
      const std::vector<TextRecord::Text> rows = texts.byControl(&menu.list);
      ASSERT_GE(rows.size(), 6u) << mode;  // a short screen pages the eight rows of a game
      // The backdrop alone.
      menu.list.flags &= u16(~SCtrl::kShown);
      menu.SetFullRepaint();
      game.frame();
      const Os::Panel& panel = game.panel();
      for (const TextRecord::Text& t : rows) {
        double brightest = 0;
        for (i32 y = std::max(0, t.top); y < std::min(panel.height, t.bottom); ++y)
          for (i32 x = std::max(0, t.left); x < std::min(panel.width, t.right); ++x)
            brightest = std::max(brightest, luminance(panel.At(x, y)));
        EXPECT_GE(1.05 / (brightest + 0.05), 3.0) << "mode " << mode << (inGame ? " in a game" : "") << ": \""
                                                  << t.text << "\" has a bright detail behind it";
      }
    }
}

// "Exit" in a game whose save folder refuses files asks whether to leave anyway: No stays in the menu
// with the game, Yes ends without another attempt.
TEST(Menu, ExitWhenTheGameCannotBeSaved) {
  static int exits = 0;
  exits = 0;
  DuskmireApp::SetExit([](int) { ++exits; });
  GameHarness game(InGame());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  game.setState(kStateMain);
  Os::MemoryFileSystem files(true);
  Os::InstallFiles(&files);
  files.FailCreate("");
  Os::HeadlessWindows& windows = *Os::HeadlessWindowSystem();
  for (i32 answer : {Os::kAnswerNo, Os::kAnswerYes}) {
    windows.SetMessageBoxAnswer(answer);
    ChooseRow(game, SStateMain::kExit);
    game.press(kActionUse);  // Yes to "Are you sure you want to exit?"
    ASSERT_FALSE(windows.MessageBoxes().empty());
    EXPECT_EQ(windows.MessageBoxes().back().text, "The game could not be saved. Exit anyway?");
    EXPECT_EQ(exits, answer == Os::kAnswerYes ? 1 : 0);
    if (answer == Os::kAnswerNo) {
      EXPECT_EQ(game.state(), kStateMain);
      EXPECT_TRUE(game.core().stateGame->gameInProgress);
    }
  }
  EXPECT_EQ(windows.MessageBoxes().size(), 2u) << "Yes ends without another attempt";
  Os::InstallFiles(nullptr);
  DuskmireApp::SetExit(nullptr);
}

// Each screen and dialog of the front door with one of its layout entries missing at a time (every id its
// layout lists on this display mode): the screen still runs its flows, whatever it places from that entry.
TEST(FrontDoor, EachLayoutEntryMissingInTurn) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  game.press(kActionUse);
  SGameCore& core = game.core();
  auto command = [&](SDialog* dialog, u16 code) {
    if (core.BeginFrame()) {
      dialog->OnCommand(code);
      core.Present();
    }
    game.frame(1);
  };
  auto generate = [&] { return static_cast<SStateGenerate*>(core.states[kStateGenerate]); };
  const struct {
    u32 layout;
    std::function<void()> exercise;
  } screens[] = {
      {2, [&] { game.setState(kStateCorvanth), game.frame(4), game.press(kActionUse); }},
      {3, [&] { game.setState(kStateMain), game.press(kActionBack), game.press(kActionForward); }},
      {7,
       [&] {
         game.setState(kStateScene, 0, SStateMain::SceneWord(&core, "bmus_credits"));
         command(core.currentState, SStateScene::kSlowerId);
         for (int i = 0; i < 3 && game.state() == kStateScene; ++i) game.press(kActionUse);
       }},
      {13, [&] { game.setState(kStateDeath), game.press(kActionUse); }},
      {16,
       [&] {
         game.setState(kStateGenerate);
         command(generate(), SStateGenerate::kNextFace);
         command(generate(), SStateGenerate::kMale);
       }},
      {17,
       [&] {
         game.setState(kStateGenerate);
         command(generate(), SStateGenerate::kRename);
         command(game.openChild(), SDialogTextEdit::kFirstKey);
         command(game.openChild(), SDialogTextEdit::kAccept);
       }},
      {18,
       [&] {
         game.setState(kStateGenerate);
         command(generate(), SStateGenerate::kChangeRace);
         command(game.openChild(), SDialogRaceSelect::kListId);
         command(game.openChild(), SSelectDialog::kOkId);
       }},
      {9,
       [&] {
         game.setState(kStateGenerate);
         command(generate(), SStateGenerate::kSelectClass);
         command(game.openChild(), SDialogSelectClass::kListId);
         command(game.openChild(), SSelectDialog::kOkId);
       }},
      {10,
       [&] {
         game.setState(kStateGenerate);
         command(generate(), SStateGenerate::kFirstSkill);
         command(game.openChild(), u16(SDialogSelectSkill::CodeOf(3)));
         command(game.openChild(), SSelectDialog::kOkId);
       }},
  };
  for (const auto& s : screens) {
    u32 missing = 0;
    for (u32 id = 1; id < 1000; ++id) {
      auto* item = const_cast<SLayoutItem*>(core.layouts.GetItem(s.layout, core.displayMode, id));
      if (!item) continue;
      SCOPED_TRACE("layout " + std::to_string(s.layout) + " without control " + std::to_string(id));
      item->id = 0xFFFF;
      s.exercise();
      item->id = u16(id);
      game.setState(kStateMain);
      ++missing;
    }
    EXPECT_GT(missing, 1u) << "layout " << s.layout;
  }
}

// A new game that cannot start (here the world's archive went away after the introduction) leaves no
// game: the player is told and the menu follows, without "Continue game".
TEST(NewPlayer, AGameThatCannotStartIsReported) {
  GameHarness::Options o;
  o.copyData = true;
  GameHarness game(o);
  ToNewPlayer(game);
  std::filesystem::remove(game.dataFolder() + "/DuskmireBase.pdb");
  game.tapControl(SStateGenerate::kOk);
  ASSERT_EQ(game.state(), kStateGenerate);
  EXPECT_NE(game.describeUi().find("\"The world could not be loaded.\""), std::string::npos) << game.describeUi();
  EXPECT_FALSE(game.core().stateGame->gameInProgress);
  game.press(kActionUse);
  ASSERT_EQ(game.state(), kStateMain);
  EXPECT_EQ(MenuRows(game), kSixRows);
  EXPECT_NE(SStateMain::SceneWord(&game.core(), "bmus_credits"), 0u) << "the music archive is open again";
}

// A screen the menu keeps itself under returns to it: the rows are built again, none selected.
TEST(Menu, ReturningFromTheSettingsRebuildsTheRows) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  game.press(kActionUse);
  ChooseRow(game, SStateMain::kSettings);
  ASSERT_EQ(game.state(), kStateSettings);
  EXPECT_EQ(game.stateStack(), (std::vector<i32>{kStateMain}));
  game.tapControl(25);
  ASSERT_EQ(game.state(), kStateMain);
  EXPECT_EQ(MenuRows(game), kSixRows);
  EXPECT_EQ(static_cast<const SStateMain*>(game.core().states[kStateMain])->list.selected, -1);
}
