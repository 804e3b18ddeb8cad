// A whole game played through the real program from its main menu, by scripted input in the program's own
// --input format. A quit ends the process, so the game is several runs, each starting from the files the
// last one left in the data folder. Each run plays in this process through the harness, which keeps at
// every "capture" of its script the state summary (a golden text per run) and the frame (a golden PNG per
// capture); the runs play twice to show that they repeat exactly, and once more as processes of the built
// program, whose captures must equal the harness's frames. On the first pass, the frame after each input
// must equal the same state painted whole (RepaintCheck); the second pass, which does not look, shows that
// looking changed nothing.
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "support/GameHarness.h"
#include "support/GoldenText.h"
#include "support/Png.h"
#include "support/RepaintCheck.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The runs in order, how many frames each may take at most, and whether it ends by quitting through the
// menu (the program then ends at once, with status 0 as at that frame, and writes no final capture) rather
// than at that frame.
struct ReplayRun {
  const char* name;
  u32 frames;
  bool quits;
};
const ReplayRun kRuns[] = {
    {"1-newgame", 4000, true},
    {"2-inn", 4000, true},
    {"3-isle", 4000, true},
    {"4-services", 4000, true},
    {"5-inn", 12000, true},
    {"6-cellar", 8000, true},
    {"7-death", 3100, false},
    {"8-thief", 6000, true},
};

// The program's exit on quitting, caught in this process.
int exits = 0;

struct Stage {
  std::string name;
  u32 frame = 0;
  std::string summary;
  std::vector<u16> pixels;
};

std::string ReadScript(const std::string& run) {
  std::ifstream in(std::string(DUSKMIRE_SOURCE_DIR) + "/tests/program/replay/" + run + ".input", std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The script's captures ("f<frame> capture <name>"), in order.
std::vector<Stage> StagesOf(const std::string& script) {
  std::vector<Stage> stages;
  std::istringstream lines(script);
  std::string line;
  while (std::getline(lines, line)) {
    unsigned frame = 0;
    char name[64] = {};
    if (std::sscanf(line.c_str(), "f%u capture %63s", &frame, name) == 2) stages.push_back({name, frame, {}, {}});
  }
  return stages;
}

// The script's inputs (key and stylus lines) as (frame, line), in order.
std::vector<std::pair<u32, std::string>> InputsOf(const std::string& script) {
  std::vector<std::pair<u32, std::string>> inputs;
  std::istringstream lines(script);
  std::string line;
  while (std::getline(lines, line)) {
    unsigned frame = 0;
    char what[16] = {};
    if (std::sscanf(line.c_str(), "f%u %15s", &frame, what) == 2 && std::string(what) != "capture")
      inputs.emplace_back(frame, line);
  }
  return inputs;
}

// The player's quests and how each stands, a line for the stage's summary ("" while there are none): the
// quests are what the runs play towards.
std::string QuestsOf(const SPlayer& player) {
  if (player.quests.IsEmpty()) return "";
  static const char* const kStates[] = {"open", "solved", "failed"};
  std::string line = "quests";
  for (const SQuestState* q : player.quests)
    line += std::string(" ") + (q->name.Text() ? q->name.Text() : "?") + ":" + (q->state < 3 ? kStates[q->state] : "?");
  return line + "\n";
}

// Plays one run in this process on the data folder, keeping the summary and frame at each capture; with
// `lookAfterInputs`, the frame after each input is checked against the state painted whole.
std::vector<Stage> Play(const ReplayRun& run, const std::string& folder, bool lookAfterInputs) {
  const std::string script = ReadScript(run.name);
  std::vector<Stage> stages = StagesOf(script);
  const std::vector<std::pair<u32, std::string>> inputs = InputsOf(script);
  size_t nextInput = 0;
  EXPECT_FALSE(stages.empty()) << run.name << " has no captures";
  GameHarness::Options o;
  o.dataFolder = folder;
  o.inputScript = script;
  o.frameLimit = run.frames;
  GameHarness game(o);
  exits = 0;
  DuskmireApp::SetExit([](int) { ++exits; });
  if (!game.boot()) {
    ADD_FAILURE() << run.name << ": " << game.startError();
    return stages;
  }
  // DUSKMIRE_REPLAY_TRACE=1 prints the summary, the controls and who stands where at each capture and writes
  // its frame; DUSKMIRE_REPLAY_OBJECTS=1 adds the map's objects with their state words.
  const bool trace = std::getenv("DUSKMIRE_REPLAY_TRACE") != nullptr;
  size_t next = 0;
  while (!game.ended() && !exits && next < stages.size()) {
    game.frame();
    if (lookAfterInputs && nextInput < inputs.size() && game.presents() > inputs[nextInput].first) {
      const std::string& input = inputs[nextInput].second;
      while (nextInput < inputs.size() && game.presents() > inputs[nextInput].first) ++nextInput;
      for (const std::string& fault : RepaintCheck::Stale(game))
        ADD_FAILURE() << run.name << " after \"" << input << "\" (present " << game.presents() << "): " << fault;
    }
    for (; next < stages.size() && game.presents() >= stages[next].frame; ++next) {
      Stage& stage = stages[next];
      stage.summary = game.summary() + QuestsOf(game.core().player);
      stage.pixels = game.panel().pixels;
      if (trace) {
        std::printf("== %s at %u\n%s%s", stage.name.c_str(), game.presents(), stage.summary.c_str(),
                    game.describeUi().c_str());
        // Where the player stands on the map, for the next steps of a script.
        if (const SStateGame* g = game.core().stateGame) {
          const i32 px = g->window.playerX, py = g->window.playerY;
          for (const auto& slot : g->window.slots)
            if (slot.area && px >= slot.windowX && py >= slot.windowY && px < slot.windowX + slot.width &&
                py < slot.windowY + slot.height) {
              std::printf("on the map: %d,%d\n", px - slot.windowX + slot.sourceX, py - slot.windowY + slot.sourceY);
              // And who is about on that map, by its own cells.
              for (i32 i = 0; i < slot.area->monsters.Count(); ++i) {
                const SMapMonster* m = slot.area->monsters[i];
                std::printf("  %s at %d,%d hp %d flags %d\n", m->monster->name.Text(), m->cellX, m->cellY, m->hp,
                            m->flags);
              }
              if (std::getenv("DUSKMIRE_REPLAY_OBJECTS"))
                for (i32 i = 0; i < slot.area->objects.Count(); ++i) {
                  const SMapObjectInst* object = slot.area->objects[i];
                  std::printf("  object %s at %d,%d state %d packed %d\n", object->name.Text(), object->cellX,
                              object->cellY, object->state, object->packed);
                }
              break;
            }
        }
        testpng::WriteRgb565(std::string(DUSKMIRE_BIN_DIR) + "/frames/trace_" + stage.name + ".png",
                             stage.pixels.data(), game.panel().width, game.panel().height, game.panel().width);
      }
    }
  }
  EXPECT_EQ(next, stages.size()) << run.name << " ended before its capture " << stages[next].name;
  while (!game.ended() && !exits) game.frame();
  EXPECT_EQ(exits, run.quits ? 1 : 0) << run.name;
  DuskmireApp::SetExit(nullptr);
  return stages;
}

std::vector<std::vector<Stage>> PlayAll(const std::string& folder, bool lookAfterInputs = false) {
  std::vector<std::vector<Stage>> all;
  for (const ReplayRun& run : kRuns) all.push_back(Play(run, folder, lookAfterInputs));
  return all;
}

TEST(Replay, AWholeGameFromTheMainMenu) {
  if (std::getenv("DUSKMIRE_REPLAY_TRACE")) {
    // Writing scripts: one pass, what each capture shows, no comparisons.
    PlayAll(GameHarness::makeDataFolder("replay-trace", nullptr));
    return;
  }
  const std::vector<std::vector<Stage>> first = PlayAll(GameHarness::makeDataFolder("replay-first", nullptr), true);
  for (size_t r = 0; r < first.size(); ++r) {
    std::string text;
    for (const Stage& stage : first[r]) {
      text += "== " + stage.name + "\n" + stage.summary;
      if (stage.pixels.size() == 240u * 320u) {
        EXPECT_EQ(testpng::CompareGolden("replay_" + stage.name, stage.pixels.data(), 240, 320, 240), "");
      }
    }
    EXPECT_EQ(testgolden::CompareText(std::string("replay_") + kRuns[r].name, text), "");
  }

  // The same runs on a fresh copy of the world: the same game, frame for frame.
  const std::vector<std::vector<Stage>> second = PlayAll(GameHarness::makeDataFolder("replay-second", nullptr));
  ASSERT_EQ(second.size(), first.size());
  for (size_t r = 0; r < first.size(); ++r) {
    for (size_t s = 0; s < first[r].size() && s < second[r].size(); ++s) {
      EXPECT_EQ(second[r][s].summary, first[r][s].summary) << first[r][s].name;
      EXPECT_TRUE(second[r][s].pixels == first[r][s].pixels) << first[r][s].name;
    }
  }

  // The built program, one process a run, on a copy of its own.
  const std::string folder = GameHarness::makeDataFolder("replay-program", nullptr);
  for (size_t r = 0; r < std::size(kRuns); ++r) {
    const ReplayRun& run = kRuns[r];
    const GameHarness::ProgramResult result = GameHarness::runProgram(
        {std::string("replay-") + run.name, "--data '" + folder + "' --frames " + std::to_string(run.frames),
         ReadScript(run.name)});
    ASSERT_EQ(result.status, 0) << run.name << ": " << result.output;
    EXPECT_NE(std::filesystem::exists(result.folder + "/shots/final.png"), run.quits) << run.name;
    for (const Stage& stage : first[r]) {
      std::vector<u16> shot;
      int w = 0, h = 0;
      ASSERT_TRUE(testpng::ReadRgb565(result.folder + "/shots/" + stage.name + ".png", shot, w, h)) << stage.name;
      EXPECT_TRUE(shot == stage.pixels) << stage.name << ": the program's capture differs from the harness's frame";
    }
  }
}

}  // namespace
