// A game core made by hand for the game state: a screen in memory of the display mode's size, a virtual
// clock, the layouts, fonts and picture slots of the built sample world as start-up leaves them, the
// sample world's archives opened and bound, and the game state attached. Enter puts the player on a map.
#pragma once
#include "core/CoreRig.h"
#include "game/SStateGame.h"
#include "graphics/SFont.h"
#include "support/Png.h"
#include "ui/UiRig.h"

#include <string>

struct GameRig : VirtualTime, CoreRig {
  GameRig(i32 mode = 7, u16 width = 240, u16 height = 320)
      : CoreRig(mode, width, height), files(std::string(DUSKMIRE_DATA_DIR) + "/") {
    core.world.SetFileStore(&files);
    ready = LoadSampleLayouts();
    core.display->SetGameCore(&core);
    core.font = new SFont;
    ready = ready && core.font->Create(&core, core.display, &core.data);
    ready = ready && core.LoadPictures() > 0;
    core.random = new SRandom;
    core.random->Seed(&core, 7);
    ready = ready && core.world.modules.OpenGameArchives(nullptr);
    core.PrepareWorldTables(nullptr);
    core.BindWorldResources(nullptr);
    state.Attach(&core);
    core.states[kStateGame] = &state;
    core.stateGame = &state;
    core.display->SetViewRect();
  }
  ~GameRig() {
    core.currentState = nullptr;
    core.UnloadWorld();
  }

  // The player on a map's cell (window coordinates) with a facing; the game state is entered as on
  // loading a game (word 0 clear) and paints.
  bool Enter(const char* mapName, i32 x, i32 y, i32 facing, u32 minutes = 12 * 60) {
    SMapArea* map = core.world.modules.FindMap(mapName);
    if (!map || !map->module) return false;
    core.SetCurrentWorld(map->module);
    map->module->SetCurrentMap(map);
    state.window.playerX = x;
    state.window.playerY = y;
    state.facing = facing;
    state.window.minutes = minutes;
    core.SetState(kStateGame);
    return core.currentState == &state;
  }
  std::string Golden(const std::string& name) {
    return testpng::CompareGolden(name, pixels.data(), core.display->Width(), core.display->Height(),
                                  core.display->Width());
  }

  SFileStore files;
  SStateGame state;
  bool ready = false;
};
