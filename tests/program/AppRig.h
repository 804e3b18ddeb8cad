// Runs the application in-process on the headless backend, over the sample world built next to the tests.
#pragma once
#include "core/SGameCore.h"
#include "game/SStateGame.h"
#include "os/Backend.h"
#include "os/Gdi.h"
#include "os/Process.h"
#include "os/headless/FixedMemory.h"
#include "os/headless/HeadlessWindows.h"
#include "os/headless/VirtualClock.h"
#include "app/DuskmireApp.h"
#include "platform/hal/Game.h"
#include "platform/video/VideoDetect.h"
#include "support/GameHarness.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// The game state with its input and ticks recorded.
class RecordingStateGame : public SStateGame {
 public:
  struct Event {
    u32 time;
    std::string what;
    i32 a, b;
  };
  u32 OnKey(u32 code) override {
    events.push_back({Hal::GetTime(), "key", i32(code), 0});
    return 0;
  }
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override {
    events.push_back({Hal::GetTime(), touching ? (moving ? "move" : "down") : "up", x, y});
    return 0;
  }
  u32 OnTick(u32, SDisplay*) override {
    ++ticks;
    return 0;
  }
  std::vector<Event> Of(const std::string& what) const {
    std::vector<Event> out;
    for (const Event& e : events)
      if (e.what == what) out.push_back(e);
    return out;
  }
  std::vector<Event> events;
  int ticks = 0;
};

// The application on the game harness, with its loop run whole (Run) or by hand, and the recording game
// state at hand.
struct AppRig {
  using Options = GameHarness::Options;

  explicit AppRig(const Options& o) : harness(o), app(&harness.app()) {}
  // Window and initialisation, as the program's entry does them.
  bool Start() { return harness.boot(); }
  // Makes the recording game state current.
  void EnterGameState() {
    SGameCore* core = app->core;
    core->states[kStateGame] = &state;
    core->stateGame = &state;
    core->SetState(kStateGame);
  }
  u32 Frames() const { return Os::HeadlessGraphics()->PanelUpdates(); }
  Os::HeadlessWindows& Windows() { return *Os::HeadlessWindowSystem(); }

  GameHarness harness;
  DuskmireApp* app;
  RecordingStateGame state;
};
