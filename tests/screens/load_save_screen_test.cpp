// The load and save screen through the real program: saving into a slot, loading it back over a changed
// game, removing it; the buttons that each selection allows; and every failure told to the player: a
// folder that cannot be written, a file that cannot be deleted, thumbnails that do not fit, a damaged body.
#include "SaveScreens.h"
#include "core/SGameCore.h"
#include "foundation/SDatabase.h"
#include "game/SStateGame.h"
#include "os/Files.h"
#include "os/headless/MemoryFiles.h"
#include "player/SSaveGame.h"
#include "graphics/SDraw2D.h"
#include "screens/SStateInventory.h"
#include "screens/SStateLoadSave.h"
#include "screens/SStateMain.h"
#include "support/GoldenText.h"
#include "support/Png.h"
#include "support/SaveFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>

using namespace savescreens;

namespace {

using Bytes = std::vector<u8>;
constexpr u32 kLayout = SStateLoadSave::kLayout;

GameHarness::Options NewGame() {
  GameHarness::Options o;
  o.copyData = true;
  o.newGame = true;
  return o;
}

std::string SlotPath(const GameHarness& game, u32 slot) {
  return game.dataFolder() + "/DuskmireSave" + std::to_string(slot) + ".pdb";
}

using testsaves::ReadFile;
using testsaves::Records;
using testsaves::WriteFile;

// A slot file of the records given, as the saved-games writer lays them out.
void WriteSlot(const std::string& path, u32 slot, const std::map<u16, Bytes>& records) {
  SDatabaseWriter writer;
  SString name;
  SSaveGame::SlotName(slot, name);
  writer.InitSavedGameHeader(name.CStr());
  for (const auto& [id, bytes] : records) ASSERT_TRUE(writer.AddRecord(id, bytes.data(), u32(bytes.size())));
  Bytes image;
  ASSERT_TRUE(writer.BuildImage(image));
  WriteFile(path, image);
}

// A header record: markers, version, a thumbnail of `count` bytes of which `present` are there, the texts.
Bytes Header(u16 count, u32 present, const std::string& place, const std::string& date) {
  Bytes out = {2, 3, 255, u8(kSaveVersion), u8(count & 0xFF), u8(count >> 8)};
  out.insert(out.end(), present, 0x5A);
  if (present >= count) {
    out.insert(out.end(), place.begin(), place.end());
    out.push_back(0);
    out.insert(out.end(), date.begin(), date.end());
    out.push_back(0);
  }
  return out;
}

void OpenScreen(GameHarness& game, u32 mode) { ASSERT_TRUE(OpenOverCurrent(game, kStateLoadSave, mode)); }

void TapRow(GameHarness& game, u32 row) { game.tap(kLayout, SStateLoadSave::kRowFrameIds[row]); }

std::string RowText(const GameHarness& game, u32 row) { return TextOf(game, SStateLoadSave::kTextIds[row]); }

}  // namespace

// Save into slot 1, back to the game; change the money, load slot 1: the saved game is back and the stack
// was emptied; remove slot 1: "- empty -" at once and the buttons go.
TEST(LoadSaveScreen, SaveLoadAndRemoveThroughTheScreen) {
  GameHarness game(NewGame());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  const u32 money = game.player().money;

  OpenScreen(game, 0);
  ASSERT_EQ(game.state(), kStateLoadSave);
  EXPECT_EQ(TextOf(game, SStateLoadSave::kTitleId), "Save a game");
  for (u32 row = 0; row < 4; ++row) EXPECT_EQ(RowText(game, row), "- empty -") << row;
  EXPECT_FALSE(IsShown(game, SStateLoadSave::kActionId));
  TapRow(game, 0);
  EXPECT_TRUE(IsShown(game, SStateLoadSave::kActionId));
  EXPECT_FALSE(IsShown(game, SStateLoadSave::kRemoveId));
  game.tap(kLayout, SStateLoadSave::kActionId);
  EXPECT_EQ(BoxText(game), "Game saved.");
  EXPECT_NE(RowText(game, 0), "- empty -");
  EXPECT_NE(RowText(game, 0).find('\r'), std::string::npos) << "place, then day and time";
  const std::string description = RowText(game, 0);
  ASSERT_TRUE(TapBoxButton(game, "Ok"));
  EXPECT_EQ(game.state(), kStateGame) << "Ok after saving returns to the screen kept below";

  game.core().player.money = money + 777;
  OpenScreen(game, 1);
  EXPECT_EQ(TextOf(game, SStateLoadSave::kTitleId), "Load a game");
  EXPECT_EQ(RowText(game, 0), description);
  TapRow(game, 0);
  game.tap(kLayout, SStateLoadSave::kActionId);
  ASSERT_TRUE(game.waitUntil(GameHarness::stateIs(kStateGame), 10));
  EXPECT_EQ(game.player().money, money);
  EXPECT_TRUE(game.stateStack().empty());
  EXPECT_EQ(game.core().stateGame->params[0], 0u) << "entered as a loaded game, not a new one";

  OpenScreen(game, 1);
  TapRow(game, 0);
  EXPECT_TRUE(IsShown(game, SStateLoadSave::kRemoveId));
  game.tap(kLayout, SStateLoadSave::kRemoveId);
  EXPECT_EQ(BoxText(game), "Do you want to physically remove this saved game?");
  ASSERT_TRUE(TapBoxButton(game, "Yes"));
  EXPECT_EQ(BoxText(game), "The saved game has been removed.");
  EXPECT_EQ(RowText(game, 0), "- empty -");
  EXPECT_FALSE(IsShown(game, SStateLoadSave::kActionId));
  EXPECT_FALSE(IsShown(game, SStateLoadSave::kRemoveId));
  ASSERT_TRUE(TapBoxButton(game, "Ok"));
  EXPECT_EQ(game.state(), kStateLoadSave);
  EXPECT_TRUE(ReadFile(SlotPath(game, 1)).empty());
  game.tap(kLayout, SStateLoadSave::kCloseId);
  EXPECT_EQ(game.state(), kStateGame);
}

// The buttons by mode, slot and selection; overwriting is asked only for an occupied slot and No keeps
// it; a tap between rows keeps the selection.
TEST(LoadSaveScreen, ButtonsFollowTheSelection) {
  GameHarness game(NewGame());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  ASSERT_EQ(game.core().saveGame.Write(2), 1);  // row 1 occupied, row 0 empty

  struct Case {
    u32 mode;
    i32 row;  // -1: none tapped
    bool action, remove;
  } const cases[] = {
      {1, -1, false, false}, {1, 0, false, false}, {1, 1, true, true},
      {0, -1, false, false}, {0, 0, true, false},  {0, 1, true, true},
  };
  for (const Case& c : cases) {
    OpenScreen(game, c.mode);
    if (c.row >= 0) TapRow(game, u32(c.row));
    EXPECT_EQ(IsShown(game, SStateLoadSave::kActionId), c.action) << "mode " << c.mode << " row " << c.row;
    EXPECT_EQ(IsShown(game, SStateLoadSave::kRemoveId), c.remove) << "mode " << c.mode << " row " << c.row;
    game.tap(kLayout, SStateLoadSave::kCloseId);
    ASSERT_EQ(game.state(), kStateGame);
  }

  OpenScreen(game, 0);
  TapRow(game, 1);
  // Between the frames of rows 1 and 2.
  const SLayoutItem* below = game.core().GetLayoutItem(kLayout, SStateLoadSave::kRowFrameIds[1]);
  const SLayoutItem* next = game.core().GetLayoutItem(kLayout, SStateLoadSave::kRowFrameIds[2]);
  ASSERT_TRUE(below && next);
  ASSERT_LT(below->y + below->h, next->y) << "the layout leaves no gap between rows";
  game.penDown(below->x + 2, below->y + below->h);
  game.penUp(below->x + 2, below->y + below->h);
  auto* screen = dynamic_cast<SStateLoadSave*>(game.core().currentState);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->selected, 1);

  const Bytes before = ReadFile(SlotPath(game, 2));
  game.core().player.money += 5;
  game.tap(kLayout, SStateLoadSave::kActionId);
  EXPECT_EQ(BoxText(game), "Do you want to overwrite this saved game?");
  ASSERT_TRUE(TapBoxButton(game, "No"));
  EXPECT_EQ(BoxText(game), "");
  EXPECT_TRUE(ReadFile(SlotPath(game, 2)) == before) << "No changed the slot";
  TapRow(game, 0);
  game.tap(kLayout, SStateLoadSave::kActionId);
  EXPECT_EQ(BoxText(game), "Game saved.") << "an empty slot is saved without a question";
}

// A folder that cannot be written: "The game could not be saved." and the slot's previous game stays on
// its row and in its file. A file that cannot be deleted: "The saved game could not be removed." and its
// row stays.
TEST(LoadSaveScreen, FailedSavesAndRemovalsAreTold) {
  GameHarness game(NewGame());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  ASSERT_EQ(game.core().saveGame.Write(3), 1);
  const Bytes old = ReadFile(SlotPath(game, 3));

  Os::MemoryFileSystem files(true);
  Os::InstallFiles(&files);
  files.FailCreate("");
  files.FailDelete("DuskmireSave3.pdb");
  OpenScreen(game, 0);
  const std::string description = RowText(game, 2);
  TapRow(game, 2);
  game.tap(kLayout, SStateLoadSave::kActionId);
  ASSERT_TRUE(TapBoxButton(game, "Yes"));
  EXPECT_EQ(BoxText(game), "The game could not be saved.");
  EXPECT_EQ(RowText(game, 2), description);
  ASSERT_TRUE(TapBoxButton(game, "Ok"));
  EXPECT_EQ(game.state(), kStateLoadSave) << "Ok only closes the notice";
  EXPECT_EQ(BoxText(game), "");

  game.tap(kLayout, SStateLoadSave::kRemoveId);
  ASSERT_TRUE(TapBoxButton(game, "Yes"));
  EXPECT_EQ(BoxText(game), "The saved game could not be removed.");
  EXPECT_EQ(RowText(game, 2), description);
  EXPECT_TRUE(IsShown(game, SStateLoadSave::kRemoveId));
  ASSERT_TRUE(TapBoxButton(game, "Ok"));
  Os::InstallFiles(nullptr);
  EXPECT_TRUE(ReadFile(SlotPath(game, 3)) == old);
}

// Thumbnails that do not fit: one of another size keeps its texts without a picture; one that runs past its
// record leaves nothing readable after it, so the slot shows empty. Either can be saved over.
TEST(LoadSaveScreen, BadThumbnailsShowNoPicture) {
  GameHarness game(NewGame());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  ASSERT_EQ(game.core().saveGame.Write(1), 1);
  std::map<u16, Bytes> records = Records(SlotPath(game, 1));
  ASSERT_TRUE(records.count(kSaveHeaderRecord));
  records[kSaveHeaderRecord] = Header(4000, 4000, "Small town", "Day 2, 10:00");
  WriteSlot(SlotPath(game, 2), 2, records);
  records[kSaveHeaderRecord] = Header(kThumbnailBytes, 100, "", "");
  WriteSlot(SlotPath(game, 3), 3, records);

  OpenScreen(game, 1);
  EXPECT_TRUE(IsShown(game, SStateLoadSave::kThumbnailIds[0])) << "a good thumbnail shows";
  EXPECT_EQ(RowText(game, 1), "Small town\rDay 2, 10:00");
  EXPECT_FALSE(IsShown(game, SStateLoadSave::kThumbnailIds[1]));
  EXPECT_EQ(RowText(game, 2), "- empty -");
  EXPECT_FALSE(IsShown(game, SStateLoadSave::kThumbnailIds[2]));
  TapRow(game, 1);
  EXPECT_TRUE(IsShown(game, SStateLoadSave::kActionId)) << "the slot can still be loaded";
  game.tap(kLayout, SStateLoadSave::kCloseId);

  OpenScreen(game, 0);
  TapRow(game, 2);
  game.tap(kLayout, SStateLoadSave::kActionId);
  EXPECT_EQ(BoxText(game), "Game saved.");
  EXPECT_TRUE(IsShown(game, SStateLoadSave::kThumbnailIds[2]));
}

// A good header with a damaged body: "The saved game could not be loaded.", and Ok goes to the main menu
// with no game left to continue.
TEST(LoadSaveScreen, ADamagedBodyIsNotLoaded) {
  GameHarness game(NewGame());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  ASSERT_EQ(game.core().saveGame.Write(1), 1);
  std::map<u16, Bytes> records = Records(SlotPath(game, 1));
  ASSERT_TRUE(records.count(kSavePlayerRecord));
  records[kSavePlayerRecord].resize(records[kSavePlayerRecord].size() / 3);
  WriteSlot(SlotPath(game, 1), 1, records);

  OpenScreen(game, 1);
  TapRow(game, 0);
  ASSERT_TRUE(IsShown(game, SStateLoadSave::kActionId)) << "the header is good";
  game.tap(kLayout, SStateLoadSave::kActionId);
  EXPECT_EQ(game.state(), kStateLoadSave);
  EXPECT_EQ(BoxText(game), "The saved game could not be loaded.");
  EXPECT_TRUE(game.stateStack().empty());
  ASSERT_TRUE(TapBoxButton(game, "Ok"));
  EXPECT_EQ(game.state(), kStateMain);
  EXPECT_EQ(game.core().stateGame->gameInProgress, 0u);
}

// The screens as the harness describes them, in save mode with slot 2 occupied and row 1 selected, and in
// load mode, on 240x320 and 800x480.
TEST(LoadSaveScreen, GoldenDescriptions) {
  for (i32 mode : {7, 14}) {
    GameHarness::Options options = GameHarness::forMode(mode);
    options.copyData = true;
    options.newGame = true;
    GameHarness game(options);
    ASSERT_TRUE(game.boot()) << game.startError();
    ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
    ASSERT_EQ(game.core().saveGame.Write(2), 1);
    OpenScreen(game, 0);
    TapRow(game, 1);
    EXPECT_EQ(testgolden::CompareText("load_save_save_mode" + std::to_string(mode), game.describeUi()), "");
    game.tap(kLayout, SStateLoadSave::kCloseId);
    OpenScreen(game, 1);
    EXPECT_EQ(testgolden::CompareText("load_save_load_mode" + std::to_string(mode), game.describeUi()), "");
  }
}

// The way a player saves: the pack opened from the game view keeps a small picture of the view, the pack's
// menu button leads to the main menu and its "Save Game"; the slot's header (record 3000) carries that
// picture and the load screen shows it in the slot's row.
TEST(LoadSaveScreen, ASaveCarriesThePictureOfTheViewItWasMadeFrom) {
  GameHarness game(NewGame());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  SStateGame& state = *game.core().stateGame;
  const SWorldView& v = state.view;
  ASSERT_FALSE(game.frames().empty());
  const std::vector<u16> before = game.frames().back().pixels;
  u16 expected[SStateGame::kThumbnailWidth * SStateGame::kThumbnailHeight];
  SDraw2D::MakeViewThumbnail(expected, before.data() + v.viewY * 240 + v.viewX, 240, v.viewWidth, v.viewHeight);

  game.tapControl(SStateGame::kPortraitId);
  ASSERT_TRUE(game.waitUntil(GameHarness::stateIs(kStateInventory), 10));
  const std::vector<u16> thumbnail(std::begin(state.thumbnail), std::end(state.thumbnail));
  EXPECT_TRUE(thumbnail == std::vector<u16>(std::begin(expected), std::end(expected)))
      << "the picture is the view the player left";
  game.tapControl(SStateInventory::kMainMenuId);
  ASSERT_TRUE(game.waitUntil(GameHarness::stateIs(kStateMain), 10));
  game.tapRow(SStateMain::kListId, 3);
  ASSERT_TRUE(game.waitUntil(GameHarness::stateIs(kStateLoadSave), 10));
  TapRow(game, 0);
  game.tap(kLayout, SStateLoadSave::kActionId);
  EXPECT_EQ(BoxText(game), "Game saved.");
  ASSERT_TRUE(TapBoxButton(game, "Ok"));

  const std::map<u16, Bytes> records = Records(SlotPath(game, 1));
  ASSERT_TRUE(records.count(kSaveHeaderRecord));
  const Bytes& header = records.at(kSaveHeaderRecord);
  ASSERT_GE(header.size(), 6u + kThumbnailBytes);
  std::vector<u16> stored(kThumbnailBytes / 2);
  for (size_t i = 0; i < stored.size(); ++i) stored[i] = u16(header[6 + 2 * i] | header[7 + 2 * i] << 8);
  EXPECT_TRUE(stored == thumbnail) << "record 3000 carries the picture";
  EXPECT_NE(std::count(stored.begin(), stored.end(), u16(0)), i64(stored.size())) << "not a black picture";

  OpenScreen(game, 1);
  EXPECT_TRUE(IsShown(game, SStateLoadSave::kThumbnailIds[0]));
  game.frame(2);
  ASSERT_FALSE(game.frames().empty());
  EXPECT_EQ(testpng::CompareGolden("load_save_thumbnail_240x320", game.frames().back().pixels.data(), 240, 320, 240),
            "");
}
