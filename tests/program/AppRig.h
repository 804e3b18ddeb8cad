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

class FreeInstances : public Os::InstanceLock {
 public:
  bool TryAcquire(const char*) override { return true; }
  void RaiseHolder(const char*) override {}
  bool TakeRaiseRequest() override { return false; }
  void Release() override {}
};

struct AppRig {
  struct Options {
    int width = 240, height = 320;
    u32 startMode = 0;
    u32 timeLimit = 0, frameLimit = 0;
    std::string script;  // input script text
    u32 memory = 64u << 20;
  };

  explicit AppRig(const Options& o) {
    Os::InstallInstances(&instances);
    Os::SetProgramFolder(DUSKMIRE_DATA_DIR);
    Os::BackendOptions b;
    b.screenWidth = o.width;
    b.screenHeight = o.height;
    b.timeLimit = o.timeLimit;
    b.frameLimit = o.frameLimit;
    b.availableMemory = o.memory;
    if (!o.script.empty()) {
      // One file per process: the suite's tests may run side by side.
      b.inputFile = std::string(DUSKMIRE_BIN_DIR) + "/app_rig_input_" + std::to_string(::getpid()) + ".txt";
      FILE* f = std::fopen(b.inputFile.c_str(), "w");
      std::fputs(o.script.c_str(), f);
      std::fclose(f);
    }
    std::string error;
    EXPECT_TRUE(Os::UseHeadless(b, &error)) << error;
    if (!b.inputFile.empty()) std::remove(b.inputFile.c_str());
    Hal::ResetTimer();
    Hal::VideoDetect::ResetInstance();
    RegSetDword("StartMode", o.startMode);
    app = std::make_unique<DuskmireApp>();
    app->applicationId = DuskmireApp::kApplicationId;
  }
  ~AppRig() {
    app.reset();
    Hal::VideoDetect::ResetInstance();
    std::string error;
    Os::FinishBackend(&error);
    Hal::ResetTimer();
    Os::InstallInstances(nullptr);
    Os::SetProgramFolder("");
  }
  // Window and initialisation, as the program's entry does them.
  bool Start() {
    if (!app->Create(kDuskmireTitle)) return false;
    app->lastIdleReset = Hal::GetTime();
    return app->OnInitialize();
  }
  // Makes the recording game state current.
  void EnterGameState() {
    SGameCore* core = app->core;
    core->states[kStateGame] = &state;
    core->stateGame = &state;
    core->SetState(kStateGame);
  }
  u32 Frames() const { return Os::HeadlessGraphics()->PanelUpdates(); }
  Os::HeadlessWindows& Windows() { return *Os::HeadlessWindowSystem(); }

  FreeInstances instances;
  std::unique_ptr<DuskmireApp> app;
  RecordingStateGame state;
};
