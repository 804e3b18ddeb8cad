#include "platform/hal/Game.h"

#include "os/Clock.h"
#include "os/Memory.h"

#include <cstdio>

namespace Hal {

// ---- clock ----

namespace {
struct TimerRecord {
  bool valid = false;
  u64 ticksPerMs = 0;
  bool initialised = false;
};
TimerRecord timer;

GameBase* instance = nullptr;

// The six screens whose idle timer the game resets, and whose window is not kept on top.
bool IsResettingScreen(i32 w, i32 h) {
  return (w == 240 && h == 320) || (w == 320 && h == 240) || (w == 480 && h == 640) || (w == 640 && h == 480) ||
         (w == 240 && h == 240) || (w == 480 && h == 480);
}
}  // namespace

void InitTimer() {
  const u64 frequency = Os::Clocks().PerformanceFrequency();
  timer.ticksPerMs = frequency / 1000;
  timer.valid = timer.ticksPerMs != 0;
  timer.initialised = true;
}

void ResetTimer() { timer = TimerRecord{}; }

u32 GetTime() {
  if (!timer.initialised) InitTimer();
  if (timer.valid) return u32(i64(Os::Clocks().PerformanceCounter()) / i64(timer.ticksPerMs));
  return Os::Clocks().TickCount();
}

u32 GetFreeMemory() { return Os::Memory().AvailablePhysical(); }

// ---- framework ----

GameBase::GameBase() { instance = this; }
GameBase::~GameBase() {
  if (instance == this) instance = nullptr;
}

Game::Game() { instance = this; }
Game::~Game() {
  if (instance == this) instance = nullptr;
}

Game* Game::Instance() { return static_cast<Game*>(instance); }
void Game::ClearInstance() { instance = nullptr; }

bool Game::OnInitialize() {
  startTime = GetTime();
  return true;
}

void Game::OnResume() { lastIdleReset = GetTime(); }

bool Game::OnFrame() {
  const u32 now = GetTime();
  if (now - lastIdleReset >= 5000) {
    lastIdleReset = now;
    KeepAwake();
  }
  return !quit;
}

void Game::KeepAwake() {
  Os::WindowSystem& ws = Os::Windows();
  if (IsResettingScreen(ws.GetSystemMetrics(0), ws.GetSystemMetrics(1))) ws.ResetIdleTimer();
}

void Game::FormatName(u32 applicationId, char out[32]) {
  std::snprintf(out, 32, "HAL_FRAMEWORK_%08X", unsigned(applicationId));
}

bool Game::Create(const char* windowTitle) {
  title = windowTitle;
  char name[32];
  FormatName(applicationId, name);
  Os::WindowSystem& ws = Os::Windows();
  if (!Os::Instances().TryAcquire(name)) {
    // Another instance runs: bring its window to the front and end; the raised window is the answer.
    if (Os::WindowId other = ws.FindWindow(name)) {
      ws.SetForegroundWindow(other);
      if (ws.IsWindowEnabled(other)) ws.ShowWindow(other, Os::kShowRestoreCommand);
    } else {
      Os::Instances().RaiseHolder(name);
    }
    return false;
  }
  if (!ws.RegisterClass(name, StaticWindowProc)) return false;
  const i32 w = ws.GetSystemMetrics(0);
  i32 h = ws.GetSystemMetrics(1);
  u32 exStyle = 0;
  if (!IsResettingScreen(w, h)) {
    exStyle = Os::kExStyleTopmost;
    if (w == 800 && h == 600) h = 584;
  }
  window = ws.CreateWindow(name, windowTitle, 0, 0, w, h, exStyle);
  return window != 0;
}

bool Game::Start() {
  quit = 0;
  if (!Create(title)) return false;
  lastIdleReset = GetTime();
  return true;
}

bool Game::StartAndRun() {
  if (!Start()) return false;
  if (!OnInitialize()) return false;
  return Run();
}

bool Game::Run() {
  while (Pump()) {}
  return true;
}

bool Game::Pump() {
  Os::WindowSystem& ws = Os::Windows();
  Os::Message m;
  if (!paused) {
    if (ws.PeekMessage(&m)) {
      if (m.code == Os::kMsgQuit) return false;
      ws.TranslateMessage(m);
      ws.DispatchMessage(m);
    } else if (!OnFrame()) {
      ws.DestroyWindow(window);
      return false;
    }
    return true;
  }
  if (!ws.GetMessage(&m)) return false;
  ws.TranslateMessage(m);
  ws.DispatchMessage(m);
  return true;
}

Os::LResult Game::StaticWindowProc(Os::WindowId w, u32 message, Os::WParam wParam, Os::LParam lParam) {
  Game* game = Instance();
  if (!game || game->window != w) return Os::Windows().DefWindowProc(w, message, wParam, lParam);
  return game->WindowProc(message, wParam, lParam);
}

Os::LResult Game::WindowProc(u32 message, Os::WParam wParam, Os::LParam lParam) {
  Os::WindowSystem& ws = Os::Windows();
  const Os::WindowId w = window;
  switch (message) {
    case Os::kMsgDestroy:
      OnShutdown();
      ws.PostQuitMessage(0);
      break;
    case Os::kMsgActivate:
      if ((wParam & 0xFFFF) != 0) {
        paused = 0;
        OnResume();
      } else {
        paused = 1;
        OnSuspend();
      }
      break;
    case Os::kMsgClose:
      // A window that stays open must not reach the default handling, which destroys it.
      if (!OnClose()) return 0;
      ws.DestroyWindow(w);
      break;
    case Os::kMsgKeyDown:
      if (!(lParam & Os::kKeyRepeatBit)) OnKeyDown(wParam);
      break;
    case Os::kMsgKeyUp: OnKeyUp(wParam); break;
    case Os::kMsgMouseMove: OnPenMove(i32(Os::PointX(lParam)), i32(Os::PointY(lParam))); break;
    case Os::kMsgLButtonDown: OnPenDown(i32(Os::PointX(lParam)), i32(Os::PointY(lParam))); break;
    case Os::kMsgLButtonUp: OnPenUp(i32(Os::PointX(lParam)), i32(Os::PointY(lParam))); break;
    default: break;
  }
  return ws.DefWindowProc(w, message, wParam, lParam);
}

}  // namespace Hal
