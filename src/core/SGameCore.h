// The game core object: owns everything of a running game (the screen, the data archive, the settings,
// the states) and builds it at start-up. The application hands it every tick, key and stylus event; it
// passes them to the current state and switches states on their results.
#pragma once
#include "core/SGameWorld.h"
#include "core/SLayoutTable.h"
#include "core/SStateNumbers.h"
#include "foundation/SDatabase.h"
#include "foundation/SRandom.h"
#include "foundation/SSettings.h"
#include "graphics/SDisplayHost.h"
#include "os/Window.h"

#include <string>

class SDisplay;
class SFont;
class SSoundManager;
class SState;
class SStateGame;

class SGameCore : public SDisplayHost {
 public:
  SGameCore();
  ~SGameCore() override;
  SGameCore(const SGameCore&) = delete;
  SGameCore& operator=(const SGameCore&) = delete;

  // Builds the running game for the display mode (6 to 16) on the window of that screen size. False, with
  // *error saying why, when the game cannot run (no data archive, no display, no fonts).
  bool Startup(i32 mode, Os::WindowId window, u32 screenWidth, u32 screenHeight, std::string* error);

  // One game-loop tick: the frame counter grows by one; with a screen the current state ticks (and
  // paints). Returns the state's result, which has been acted on.
  u32 Tick();
  void OnKey(u32 code);
  // A stylus event in panel coordinates, turned for a rotated picture.
  void OnStylus(i32 x, i32 y, u32 touching, u32 moving);
  // Switches the current state: 1 to 15 by number, 99 back to the state kept on the stack.
  void SetState(i32 next);
  // The stylus point as the current state sees it.
  void TurnStylus(i32* x, i32* y) const;

  // Per frame: begin drawing (false when no frame buffer is available now) and present.
  bool BeginFrame();
  void Present();

  // The layout entry of a control for the current display mode, or null.
  const SLayoutItem* GetLayoutItem(u32 screenId, u32 controlId) const;

  // SDisplayHost
  i32 DisplayMode() const override { return displayMode; }
  bool ViewLayoutRect(i32& x, i32& y, i32& w, i32& h) const override;
  u32 ViewSizeSetting(u32 orientation) const override;
  SWorldView* WorldView() override { return gameView; }

  // What the rest of the game reads and writes.
  SDisplay* display = nullptr;  // the screen, set at start-up
  SFont* font = nullptr;
  SSoundManager* soundManager = nullptr;
  SFileStore fileStore;
  SDatabase data;  // "DuskmireData"
  SRandom* random = nullptr;
  SSettings settings;
  SLayoutTable layouts;
  std::string programFolder;  // ends with a separator
  i32 displayMode = 0;
  u8 landscapeScreen = 0;  // the application's landscape flag: the panel is wider than high
  u32 frameCounter = 0;
  SState* states[kStateCount] = {};  // by state number
  SState* currentState = nullptr;
  SStateGame* stateGame = nullptr;
  SWorldView* gameView = nullptr;  // the game state's world view, once there is one
  SState* stateStack[kStateCount] = {};
  u32 stackCount = 0;

  // The loaded world and its three loading phases (SGameCoreWorld.cpp). `steps` advances the loading
  // dialog (may be null for BindWorldResources).
  SGameWorld world;
  void UnloadWorld();
  void PrepareWorldTables(SLoadingSteps* steps);
  void BindWorldResources(SLoadingSteps* steps);
};
