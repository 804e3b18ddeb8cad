// A game core over the built sample world with a screen in memory and the game state entered on the
// town at its start, for the benchmarks of the game view and of its tick.
#pragma once
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"

#include <memory>
#include <string>
#include <vector>

struct GameViewRig {
  GameViewRig(i32 mode, u16 w, u16 h) : pixels(size_t(w) * h), files(std::string(DUSKMIRE_DATA_DIR) + "/") {
    core.SetDisplayMode(u32(mode));
    core.fileStore.SetFolder(DUSKMIRE_DATA_DIR);
    core.world.SetFileStore(&files);
    core.display = new SDisplay;
    core.display->UseMemory(pixels.data(), w, h);
    if (!core.data.Open("DuskmireData")) return;
    if (auto record = core.data.ReadRecord(u16(SLayoutTable::RecordForMode(mode))))
      core.layouts.Load(record->data, record->size);
    core.display->SetGameCore(&core);
    core.font = new SFont;
    if (!core.font->Create(&core, core.display, &core.data)) return;
    core.LoadPictures();
    core.random = new SRandom;
    core.random->Seed(&core, 1);
    if (!core.world.modules.OpenGameArchives(nullptr)) return;
    core.PrepareWorldTables(nullptr);
    core.BindWorldResources(nullptr);
    state = std::make_unique<SStateGame>();
    state->Attach(&core);
    core.states[kStateGame] = state.get();
    core.stateGame = state.get();
    SMapArea* town = core.world.modules.FindMap("base_out0101");
    if (!town) return;
    core.SetCurrentWorld(town->module);
    town->module->SetCurrentMap(town);
    state->window.playerX = state->window.playerY = 17;
    state->window.minutes = 12 * 60;
    core.SetState(kStateGame);
    ready = core.currentState == state.get();
  }
  ~GameViewRig() {
    core.currentState = nullptr;
    state.reset();
    core.UnloadWorld();
  }
  std::vector<u16> pixels;  // outlives the display, which the core deletes
  SFileStore files;
  SGameCore core;
  std::unique_ptr<SStateGame> state;
  bool ready = false;
};
