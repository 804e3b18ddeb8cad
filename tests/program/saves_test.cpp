// Saved games through the real program: a new game with the new-player record's defaults, saved to a
// slot, walked on and loaded back exactly; the quit sequence writing slot 0; damaged, interrupted and
// unwritable saves that never cost the player a game.
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "core/ui/SDialogLoading.h"
#include "foundation/SDatabase.h"
#include "game/SStateGame.h"
#include "os/Backend.h"
#include "os/Files.h"
#include "os/headless/HeadlessWindows.h"
#include "os/headless/MemoryFiles.h"
#include "player/SSaveGame.h"
#include "support/GameHarness.h"
#include "support/SaveFiles.h"
#include "world/SWorldModule.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

using Bytes = std::vector<u8>;

GameHarness::Options NewGameOptions() {
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

// What the player carries, by item type, in inventory order.
std::string Carried(const GameHarness& game) {
  std::ostringstream out;
  for (const SItem* item : game.core().player.inventory.items)
    out << (item->type && item->type->name.Text() ? item->type->name.Text() : "?") << ":" << item->count << " ";
  return out.str();
}

// Loads the slot as the load screen will: inside a frame, with the loading dialog; then the game state
// is entered with word 0 clear. The result of the load.
i32 LoadSlot(GameHarness& game, u32 slot) {
  SGameCore& core = game.core();
  SDialogLoading loading;
  loading.Attach(&core);
  loading.Layout();
  if (!core.BeginFrame()) return -1;
  const i32 loaded = core.saveGame.Load(slot, &loading);
  core.Present();
  if (loaded == 1) game.setState(kStateGame, 0);
  return loaded;
}

testing::AssertionResult WalkOn(GameHarness& game) {
  for (u16 action : {kActionForward, kActionTurnLeft, kActionForward, kActionSideRight}) {
    game.press(action);
    if (auto r = game.waitUntil(GameHarness::gameIdle(), 80); !r) return r;
  }
  return testing::AssertionSuccess();
}

}  // namespace

// The road: a new game with the record's defaults, saved, walked on, loaded back to the same game and
// picture, and saved again to the same records.
TEST(Saves, NewGameSaveWalkAndLoadBack) {
  GameHarness game(NewGameOptions());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_EQ(game.state(), kStateGame);
  EXPECT_EQ(game.core().stateGame->params[0], 1u);
  EXPECT_EQ(game.core().stateGame->gameInProgress, 1u);
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  const std::string started = game.summary();
  // Race 2, every attribute 15, 500 money and the kit's 100, the kit of major skills 2, 5, 1, 8, 15, 14
  // with weapon, shield, armour and boots equipped, 3 pm of day 1, on the Etherim's start position
  // (town cell 10, 11) facing north.
  EXPECT_NE(started.find("race 2 Etherim"), std::string::npos) << started;
  EXPECT_NE(started.find("attributes 15 15 15 15 15\n"), std::string::npos) << started;
  EXPECT_NE(started.find(" money 600 "), std::string::npos) << started;
  EXPECT_NE(started.find("equipped 4:base_mail_frayedleather 5:base_weap_shortswordcheap 6:base_shield_woodenround "
                         "11:base_boots_fur\n"),
            std::string::npos)
      << started;
  EXPECT_NE(started.find("game map base_out0101 cell 17,18 in cell 32768,32768 facing 0 clock day 1 15:00"),
            std::string::npos)
      << started;
  EXPECT_EQ(game.core().player.portrait.CStr(), std::string("bres_head00_raceetherim"));
  EXPECT_TRUE(game.core().player.KnowsSpell("base_spellcurelightwounds"));

  // Save to slot 1 and walk on.
  ASSERT_TRUE(WalkOn(game));
  const std::string saved = game.summary();
  const std::string carried = Carried(game);
  ASSERT_FALSE(game.frames().empty());
  const std::vector<u16> savedFrame = game.frames().back().pixels;
  ASSERT_EQ(game.core().saveGame.Write(1), 1);
  // A second save of the same moment: every record but the header's dates byte for byte the first's. (A
  // save after loading differs where townspeople were mid-walk: their walks are not saved, and they stand
  // again when the map is entered.)
  ASSERT_EQ(game.core().saveGame.Write(2), 1);
  const std::map<u16, Bytes> first = Records(SlotPath(game, 1)), second = Records(SlotPath(game, 2));
  ASSERT_FALSE(first.empty());
  for (const auto& [id, bytes] : first) {
    if (id == kSaveHeaderRecord) continue;
    ASSERT_TRUE(second.count(id)) << id;
    EXPECT_TRUE(second.at(id) == bytes) << "record " << id << " differs";
  }
  EXPECT_EQ(second.size(), first.size());
  EXPECT_TRUE(first.count(kSaveFirstModuleRecord)) << "the base module's records begin at 3010";
  ASSERT_TRUE(WalkOn(game));
  ASSERT_NE(game.summary(), saved);

  // Load slot 1: the game and its picture as they were at saving.
  ASSERT_EQ(LoadSlot(game, 1), 1);
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  EXPECT_EQ(game.summary(), saved);
  EXPECT_EQ(Carried(game), carried);
  game.frame(2);
  ASSERT_FALSE(game.frames().empty());
  EXPECT_TRUE(game.frames().back().pixels == savedFrame) << "the picture after loading differs from the saved one";
}

// Quitting during a game, by closing the window or by the menu's Exit, writes slot 0 and ends the process
// with status 0, as any program the player leaves; the slot then describes itself and loads into the game
// the player left.
TEST(Saves, AQuitSavesSlotZeroAndEndsWithStatusZero) {
  std::string left;
  {
    GameHarness played(NewGameOptions());
    ASSERT_TRUE(played.boot()) << played.startError();
    played.press(kActionForward);
    ASSERT_TRUE(played.waitUntil(GameHarness::gameIdle(), 60));
    left = played.summary();
  }
  const std::string step = "f10 keydown up\nf12 keyup up\n";
  const struct {
    const char* name;
    std::string input;
  } quits[] = {
      {"close", step + "f60 close\n"},
      // The portrait opens the pack, whose menu button the main menu; "Exit", then "Yes".
      {"menu-exit", step + "f60 pendown 125 231\nf62 penup 125 231\nf100 pendown 210 304\nf102 penup 210 304\n"
                           "f150 pendown 120 290\nf152 penup 120 290\nf200 pendown 95 180\nf202 penup 95 180\n"},
  };
  for (const auto& quit : quits) {
    SCOPED_TRACE(quit.name);
    const std::string name = std::string("quit-") + quit.name;
    const std::string folder = GameHarness::makeDataFolder(name, nullptr);
    const GameHarness::ProgramResult r =
        GameHarness::runProgram({name, "--data '" + folder + "' --new-game --frames 1000", quit.input});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_FALSE(std::filesystem::exists(r.folder + "/shots/final.png")) << "it ran to the frame limit";
    ASSERT_TRUE(std::filesystem::exists(folder + "/DuskmireSave0.pdb")) << r.output;

    GameHarness::Options o;
    o.dataFolder = folder;
    GameHarness game(o);
    ASSERT_TRUE(game.boot()) << game.startError();
    SSaveSlotInfo* info = game.core().saveGame.ReadSlotInfo(0);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->date.CStr(), "Day 1, 3:00 pm");
    EXPECT_NE(info->thumbnail, nullptr);
    info->Free();
    delete info;
    ASSERT_EQ(LoadSlot(game, 0), 1);
    ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
    EXPECT_EQ(game.summary(), left);
  }
}

// When slot 0 cannot be written the player is asked: No goes on playing, Yes ends; the old automatic save
// stays as it was either way.
TEST(Saves, AFailedQuitSaveAsksAndKeepsTheOldSlot) {
  static int exits = 0;
  exits = 0;
  DuskmireApp::SetExit([](int) { ++exits; });
  GameHarness game(NewGameOptions());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  ASSERT_EQ(game.core().saveGame.Write(0), 1);
  const Bytes old = ReadFile(SlotPath(game, 0));
  ASSERT_TRUE(WalkOn(game));

  Os::MemoryFileSystem files(true);
  Os::InstallFiles(&files);
  files.FailCreate("");
  Os::HeadlessWindows& windows = *Os::HeadlessWindowSystem();
  windows.SetMessageBoxAnswer(Os::kAnswerNo);
  Os::Windows().PostMessage(game.app().window, Os::kMsgClose, 0, 0);
  game.frame(2);
  ASSERT_EQ(windows.MessageBoxes().size(), 1u);
  EXPECT_EQ(windows.MessageBoxes()[0].text, "The game could not be saved. Exit anyway?");
  EXPECT_EQ(windows.MessageBoxes()[0].type, Os::kMessageBoxYesNo);
  EXPECT_EQ(exits, 0);
  EXPECT_FALSE(game.ended()) << "No: the window stays and the game goes on";
  EXPECT_TRUE(game.waitUntil(GameHarness::gameIdle(), 5));

  windows.SetMessageBoxAnswer(Os::kAnswerYes);
  Os::Windows().PostMessage(game.app().window, Os::kMsgClose, 0, 0);
  game.frame(2);
  EXPECT_EQ(windows.MessageBoxes().size(), 2u);
  EXPECT_EQ(exits, 1);
  EXPECT_TRUE(game.ended());
  Os::InstallFiles(nullptr);
  DuskmireApp::SetExit(nullptr);
  EXPECT_TRUE(ReadFile(SlotPath(game, 0)) == old) << "the old slot 0 changed";
}

// A save that stops at any byte of the file, or whose rename fails, reports failure and leaves the old
// slot whole: it loads into the game saved before.
TEST(Saves, AnInterruptedSaveKeepsTheOldSlot) {
  GameHarness game(NewGameOptions());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  ASSERT_EQ(game.core().saveGame.Write(1), 1);
  const std::string before = game.summary();
  const Bytes old = ReadFile(SlotPath(game, 1));
  ASSERT_TRUE(WalkOn(game));

  Os::MemoryFileSystem files(true);
  Os::InstallFiles(&files);
  // The size the new file would have.
  ASSERT_EQ(game.core().saveGame.Write(4), 1);
  Bytes whole;
  ASSERT_TRUE(files.Get(SlotPath(game, 4), &whole));
  for (u64 k : {u64(1), u64(kDatabaseHeaderSize), u64(kDatabaseHeaderSize + 9), u64(whole.size() - 1)}) {
    files.ClearFaults();
    files.LimitWrites(k);
    EXPECT_EQ(game.core().saveGame.Write(1), 0) << "a write cut at byte " << k;
  }
  for (u64 k = 97; k < whole.size(); k += whole.size() / 16) {
    files.ClearFaults();
    files.LimitWrites(k);
    EXPECT_EQ(game.core().saveGame.Write(1), 0) << "a write cut at byte " << k;
  }
  files.ClearFaults();
  files.FailRename(true);
  EXPECT_EQ(game.core().saveGame.Write(1), 0);
  files.ClearFaults();
  EXPECT_FALSE(files.Get(SlotPath(game, 1), nullptr)) << "a failed save left a slot file behind";
  Os::InstallFiles(nullptr);

  EXPECT_TRUE(ReadFile(SlotPath(game, 1)) == old);
  ASSERT_EQ(LoadSlot(game, 1), 1);
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  EXPECT_EQ(game.summary(), before);
}

// A slot file cut short at a dense sample of lengths, and with bytes of its header, its record table and
// each record flipped: the description is there or not, and the load either succeeds or is refused with
// the running game as it was, or (for damage found only in the reloaded world) leaves no world and no
// game running.
TEST(Saves, DamagedSlotsAreRefusedOrLoadCleanly) {
  GameHarness game(NewGameOptions());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  ASSERT_TRUE(WalkOn(game));
  SGameCore& core = game.core();
  ASSERT_EQ(core.saveGame.Write(1), 1);
  const Bytes golden = ReadFile(SlotPath(game, 1));
  ASSERT_GT(golden.size(), 8000u);

  struct Case {
    std::string what;
    Bytes bytes;
  };
  std::vector<Case> cases;
  const size_t step = golden.size() / 97;
  for (size_t n = 0; n < golden.size(); n += n < 160 ? 7 : step)
    cases.push_back({"cut at " + std::to_string(n), Bytes(golden.begin(), golden.begin() + n)});
  auto flipped = [&](size_t at) {
    Bytes b = golden;
    b[at] ^= 0xFF;
    return Case{"byte " + std::to_string(at) + " flipped", b};
  };
  const u32 records = u32(golden[76]) << 8 | golden[77];
  for (size_t at = 0; at < kDatabaseHeaderSize + 8u * records; ++at) cases.push_back(flipped(at));
  for (u32 i = 0; i < records; ++i) {
    const u8* e = golden.data() + kDatabaseHeaderSize + 8 * i;
    const size_t begin = size_t(e[0]) << 24 | size_t(e[1]) << 16 | size_t(e[2]) << 8 | e[3];
    const size_t end =
        i + 1 < records ? size_t(e[8]) << 24 | size_t(e[9]) << 16 | size_t(e[10]) << 8 | e[11] : golden.size();
    // The first bytes of each record, then a spread over the rest.
    for (size_t at = begin; at < end; at += at < begin + 24 ? 1 : std::max<size_t>(1, (end - begin) / 12))
      cases.push_back(flipped(at));
  }

  u32 loaded = 0, refused = 0, unloaded = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(SlotPath(game, 3), c.bytes);
    if (SSaveSlotInfo* info = core.saveGame.ReadSlotInfo(3)) {
      EXPECT_NE(info->database, nullptr);
      info->Free();
      delete info;
    }
    const std::string before = game.summary() + Carried(game);
    const i32 result = core.saveGame.Load(3, nullptr);
    if (result == 1) {
      ++loaded;
      continue;
    }
    ASSERT_EQ(result, 0);
    if (core.world.modules.Count() == 0) {
      // Refused past the teardown: nothing of the world is left, and no game runs.
      ++unloaded;
      EXPECT_EQ(core.stateGame->gameInProgress, 0u);
      EXPECT_EQ(core.player.inventory.GetItemCount(), 0);
      EXPECT_EQ(core.stateGame->window.CurrentArea(), nullptr);
      ASSERT_EQ(core.saveGame.Load(1, nullptr), 1);
      continue;
    }
    ++refused;
    EXPECT_EQ(game.summary() + Carried(game), before) << "a refused load changed the running game";
  }
  // The sample reaches every outcome.
  EXPECT_GT(loaded, 0u);
  EXPECT_GT(refused, 0u);
  std::cout << cases.size() << " cases: " << loaded << " loaded, " << refused << " refused, " << unloaded
            << " refused once the world was reloaded\n";
}

namespace {

// Writes the records, changed by `edit`, as slot `slot`.
void WriteSlot(GameHarness& game, u32 slot, std::map<u16, Bytes> records,
               const std::function<void(std::map<u16, Bytes>&)>& edit) {
  if (edit) edit(records);
  SFileStore store(game.dataFolder());
  SDatabaseWriter w(&store);
  const std::string name = "DuskmireSave" + std::to_string(slot);
  w.InitSavedGameHeader(name.c_str());
  for (const auto& [id, bytes] : records) w.AddRecord(id, bytes.data(), u32(bytes.size()));
  ASSERT_TRUE(w.Write(name.c_str()));
}

void Replace(Bytes& b, const std::string& from, const std::string& to) {
  const auto at = std::search(b.begin(), b.end(), from.begin(), from.end());
  ASSERT_NE(at, b.end()) << from;
  std::copy(to.begin(), to.end(), at);
}

}  // namespace

// A slot the check refuses leaves the running game as it was; one whose fault shows only in the
// reloaded world (its map is gone) leaves no world and no game running, and a good slot loads after it.
TEST(Saves, RefusedSlotsLeaveTheGameAsItWas) {
  GameHarness game(NewGameOptions());
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  SGameCore& core = game.core();
  ASSERT_EQ(core.saveGame.Write(1), 1);
  const std::map<u16, Bytes> good = Records(SlotPath(game, 1));
  // Records that only a damaged game could have written.
  core.player.race = 9;
  ASSERT_EQ(core.saveGame.Write(5), 1);
  core.player.race = 2;
  const Bytes badPlayer = Records(SlotPath(game, 5)).at(kSavePlayerRecord);
  core.stateGame->previousX = 99;
  ASSERT_EQ(core.saveGame.Write(5), 1);
  core.stateGame->previousX = core.stateGame->window.playerX;
  const Bytes badGameState = Records(SlotPath(game, 5)).at(kSaveGameStateRecord);
  ASSERT_TRUE(WalkOn(game));

  const struct Case {
    std::string what;
    std::function<void(std::map<u16, Bytes>&)> edit;
  } cases[] = {
      {"no header", [](auto& r) { r.erase(kSaveHeaderRecord); }},
      {"no module list", [](auto& r) { r.erase(kSaveModulesRecord); }},
      {"no globals", [](auto& r) { r.erase(kSaveGlobalsRecord); }},
      {"no player", [](auto& r) { r.erase(kSavePlayerRecord); }},
      {"no game state", [](auto& r) { r.erase(kSaveGameStateRecord); }},
      {"no inventory view", [](auto& r) { r.erase(kSaveInventoryRecord); }},
      {"no name tables", [](auto& r) { r.erase(kSaveNamesRecord); }},
      {"a newer version", [](auto& r) { r[kSaveHeaderRecord][3] = 117; }},
      {"another world", [](auto& r) { Replace(r[kSaveModulesRecord], "base", "bass"); }},
      {"a module record missing", [](auto& r) { r.erase(kSaveFirstModuleRecord); }},
      {"a map record missing", [](auto& r) { r.erase(u16(kSaveFirstModuleRecord + 3)); }},
      {"a map the world lacks", [](auto& r) { Replace(r[kSaveModulesRecord], "base_out0101", "base_out0909"); }},
      {"a race beyond the table", [&](auto& r) { r[kSavePlayerRecord] = badPlayer; }},
      {"a cell outside the window", [&](auto& r) { r[kSaveGameStateRecord] = badGameState; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteSlot(game, 3, good, c.edit);
    const std::string before = game.summary() + Carried(game);
    const u16 modules = core.world.modules.Count();
    EXPECT_EQ(core.saveGame.Load(3, nullptr), 0);
    EXPECT_EQ(core.world.modules.Count(), modules);
    EXPECT_EQ(game.summary() + Carried(game), before);
  }

  // Without a world running, the missing map shows only once the world is back: it goes again.
  WriteSlot(game, 3, good, cases[11].edit);
  ASSERT_GT(core.world.modules.Count(), 0);
  core.UnloadWorld();
  EXPECT_EQ(core.saveGame.Load(3, nullptr), 0);
  EXPECT_EQ(core.world.modules.Count(), 0);
  EXPECT_EQ(core.stateGame->gameInProgress, 0u);
  EXPECT_EQ(core.player.inventory.GetItemCount(), 0);
  ASSERT_EQ(LoadSlot(game, 1), 1);
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  EXPECT_EQ(core.stateGame->gameInProgress, 1u);
}

// A new game that finds no world, or not the race's start position, reports failure with the world
// unloaded and no game running.
TEST(Saves, ANewGameWithoutItsWorldFails) {
  for (const char* damage : {"no base archive", "no start position"}) {
    SCOPED_TRACE(damage);
    GameHarness game(NewGameOptions());
    const std::string base = game.dataFolder() + "/DuskmireBase.pdb";
    if (std::string(damage) == "no base archive") {
      std::filesystem::remove(base);
    } else {
      Bytes archive = ReadFile(base);
      Replace(archive, "base_startgameetherim", "base_startgameetherix");
      WriteFile(base, archive);
    }
    EXPECT_FALSE(game.boot());
    EXPECT_NE(game.startError().find("The new game could not be started"), std::string::npos) << game.startError();
    EXPECT_EQ(game.core().world.modules.Count(), 0);
    EXPECT_EQ(game.core().stateGame->gameInProgress, 0u);
    EXPECT_NE(game.state(), kStateGame);
  }
}

// A world of two modules with maps: the sound archive made a second module ("west", a copy of the base
// archive under its own name), which loads before the base module. A game saved on a map of the second
// module goes on there after loading, with each module's records at the ids the map counts give. When
// that module is no longer part of the world, the slot is refused and the running game is left alone.
TEST(Saves, AGameSavedInASecondModuleLoadsIntoIt) {
  GameHarness game(NewGameOptions());
  Bytes west = ReadFile(game.dataFolder() + "/DuskmireBase.pdb");
  const Bytes sounds = ReadFile(game.dataFolder() + "/DuskmireSound.pdb");
  // The module's name in the header record, just after the world's title.
  Replace(west, std::string("Duskmire Vale\0base\0", 19), std::string("Duskmire Vale\0west\0", 19));
  WriteFile(game.dataFolder() + "/DuskmireSound.pdb", west);
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  SGameCore& core = game.core();
  SWorldModule* second = core.world.modules.FindByName("west");
  ASSERT_NE(second, nullptr);
  ASSERT_STREQ(core.CurrentWorld()->name.CStr(), "base");
  const u32 maps = second->maps.Count();
  ASSERT_GT(maps, 1u);

  // Into the second module's copy of the town, on the cell the new game began on.
  SMapArea* town = second->FindMap("base_out0101");
  ASSERT_NE(town, nullptr);
  core.SetCurrentWorld(second);
  second->SetCurrentMap(town);
  game.setState(kStateGame, 0);
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  ASSERT_EQ(core.stateGame->window.CurrentArea(), town);
  ASSERT_TRUE(WalkOn(game));
  const std::string saved = game.summary();
  ASSERT_EQ(core.saveGame.Write(1), 1);
  const std::map<u16, Bytes> records = Records(SlotPath(game, 1));
  const u16 baseFirst = u16(kSaveFirstModuleRecord + maps + 1);
  EXPECT_TRUE(records.count(kSaveFirstModuleRecord) && records.count(u16(baseFirst - 1)) && records.count(baseFirst))
      << "west at 3010 with its " << maps << " maps after it, base at " << baseFirst;
  ASSERT_TRUE(WalkOn(game));

  ASSERT_EQ(LoadSlot(game, 1), 1);
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  EXPECT_STREQ(core.CurrentWorld()->name.CStr(), "west");
  EXPECT_EQ(core.CurrentWorld()->currentMap, core.stateGame->window.CurrentArea());
  EXPECT_EQ(core.stateGame->window.CurrentArea()->module, core.CurrentWorld());
  EXPECT_EQ(game.summary(), saved);

  // The world without the second module: the slot cannot be played, and nothing changes.
  WriteFile(game.dataFolder() + "/DuskmireSound.pdb", sounds);
  ASSERT_TRUE(WalkOn(game));
  const std::string before = game.summary() + Carried(game);
  EXPECT_EQ(core.saveGame.Load(1, nullptr), 0);
  EXPECT_EQ(game.summary() + Carried(game), before);
}
