// The game framework: one full-screen window, a single running instance, a millisecond clock and the
// message loop that calls the application once per idle pass.
#pragma once
#include "os/Window.h"

namespace Hal {

// Milliseconds (wrapping); the performance counter when there is a usable one, else the tick count.
u32 GetTime();
void InitTimer();
// Forgets the clock record, so that the next GetTime reads the clock's frequency again.
void ResetTimer();
// Available physical memory in bytes.
u32 GetFreeMemory();

class IGame {
 public:
  virtual ~IGame() = default;
  virtual bool OnInitialize() = 0;
  virtual void OnShutdown() = 0;
  virtual bool OnFrame() = 0;
  virtual void OnSuspend() = 0;
  virtual void OnResume() = 0;
  virtual void OnKeyDown(u32 key) = 0;
  virtual void OnKeyUp(u32 key) = 0;
  virtual void OnPenDown(i32 x, i32 y) = 0;
  virtual void OnPenMove(i32 x, i32 y) = 0;
  virtual void OnPenUp(i32 x, i32 y) = 0;
};

class GameBase : public IGame {
 public:
  GameBase();
  ~GameBase() override;
};

class Game : public GameBase {
 public:
  Game();
  ~Game() override;

  // The live game object, null when none.
  static Game* Instance();
  static void ClearInstance();

  bool OnInitialize() override;
  void OnShutdown() override {}
  bool OnFrame() override;
  void OnSuspend() override {}
  void OnResume() override;
  void OnKeyDown(u32) override {}
  void OnKeyUp(u32) override {}
  void OnPenDown(i32, i32) override {}
  void OnPenMove(i32, i32) override {}
  void OnPenUp(i32, i32) override {}
  // The window is asked to close: true lets it close, which ends the loop.
  virtual bool OnClose() { return true; }

  // The single-instance start and the window; true when the window exists.
  bool Create(const char* windowTitle);
  bool Start();
  bool StartAndRun();
  // The message loop: polls while active, blocks while paused. Returns true.
  bool Run();
  // One pass of that loop: a waiting message is handled, or else the application's frame runs (while
  // paused, the pass waits for a message). False once the loop has ended.
  bool Pump();
  Os::LResult WindowProc(u32 message, Os::WParam wParam, Os::LParam lParam);
  static Os::LResult StaticWindowProc(Os::WindowId window, u32 message, Os::WParam wParam, Os::LParam lParam);
  // Keeps the device from switching off, on the screen sizes whose idle timer the game resets.
  void KeepAwake();

  // "HAL_FRAMEWORK_" and the application id in eight upper-case hexadecimal digits.
  static void FormatName(u32 applicationId, char out[32]);

  Os::WindowId window = 0;
  u8 paused = 0;
  u32 applicationId = 0;
  const char* title = nullptr;
  u8 quit = 0;
  u32 lastIdleReset = 0;
  u32 startTime = 0;
};

}  // namespace Hal
