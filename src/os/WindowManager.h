// The window system kept in memory: windows, procedures, the queue, key state and metrics. The host
// default and both backends build on it; a backend adds where host events come from and how they reach
// the screen through the hooks at the bottom.
#pragma once
#include "os/Window.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace Os {

class WindowManager : public WindowSystem {
 public:
  WindowManager(i32 screenWidth = 240, i32 screenHeight = 320);

  bool RegisterClass(const char* className, WindowProc proc) override;
  WindowId CreateWindow(const char* className, const char* title, i32 x, i32 y, i32 width, i32 height,
                        u32 exStyle) override;
  bool DestroyWindow(WindowId window) override;
  bool IsWindow(WindowId window) override;
  bool IsWindowEnabled(WindowId window) override;
  bool ShowWindow(WindowId window, i32 command) override;
  bool SetForegroundWindow(WindowId window) override;
  WindowId FindWindow(const char* className) override;
  WindowProc SetWindowProc(WindowId window, WindowProc proc) override;
  LResult CallWindowProc(WindowProc previous, WindowId window, u32 message, WParam wParam, LParam lParam) override;
  LResult DefWindowProc(WindowId window, u32 message, WParam wParam, LParam lParam) override;
  LResult SendMessage(WindowId window, u32 message, WParam wParam, LParam lParam) override;
  bool PostMessage(WindowId window, u32 message, WParam wParam, LParam lParam) override;
  bool PeekMessage(Message* message) override;
  bool GetMessage(Message* message) override;
  void TranslateMessage(const Message&) override {}
  LResult DispatchMessage(const Message& message) override;
  void PostQuitMessage(i32 exitCode) override;
  i16 GetKeyState(i32 key) override;
  i32 GetSystemMetrics(i32 index) override;
  i32 MessageBox(WindowId owner, const char* text, const char* caption, u32 type) override;
  void ResetIdleTimer() override { ++idleResets_; }
  void SetContentTurn(u32 quarterTurns) override { contentTurn_ = quarterTurns & 3; }
  void SetKeyOrientation(u32 orientation) override { keyOrientation_ = orientation; }

  // For the backends and tests.
  struct Box {
    std::string text, caption;
    u32 type = 0;
  };
  const std::vector<Box>& MessageBoxes() const { return boxes_; }
  void SetMessageBoxAnswer(i32 answer) { boxAnswer_ = answer; }
  u32 IdleTimerResets() const { return idleResets_; }
  u32 ContentTurn() const { return contentTurn_; }
  u32 KeyOrientation() const { return keyOrientation_; }
  u32 ForegroundRequests() const { return foregroundRequests_; }
  size_t QueuedMessages() const { return queue_.size(); }
  void SetKeyDown(i32 key, bool down);
  // The first window still alive (the game has one), 0 when none.
  WindowId MainWindow() const;
  i32 ScreenWidth() const { return screenWidth_; }
  i32 ScreenHeight() const { return screenHeight_; }

 protected:
  // Moves host events into the queue; wait: block until one arrives (the queue is empty then).
  virtual void PumpHost(bool /*wait*/) {}
  // A peek found nothing waiting.
  virtual void OnEmptyPeek() {}
  // GetMessage found the queue empty after pumping with wait; false when nothing can arrive any more
  // (GetMessage then reports a quit).
  virtual bool CanWait() { return false; }
  // A window came to the front or was shown.
  virtual void OnRaise(WindowId) {}

  void Enqueue(const Message& message);
  // Another start of the program asked this one to come to the front.
  void CheckRaiseRequest();

 private:
  struct Win {
    std::string className, title;
    WindowProc proc = nullptr;
    i32 x = 0, y = 0, width = 0, height = 0;
    u32 exStyle = 0;
    bool enabled = true, destroying = false;
  };
  Win* Find(WindowId window);

  i32 screenWidth_, screenHeight_;
  std::map<std::string, WindowProc> classes_;
  std::map<WindowId, Win> windows_;
  WindowId nextId_ = 0x100;
  std::deque<Message> queue_;
  u8 keys_[256] = {};
  std::vector<Box> boxes_;
  i32 boxAnswer_ = 1;
  u32 idleResets_ = 0, contentTurn_ = 0, keyOrientation_ = 0, foregroundRequests_ = 0;
};

}  // namespace Os
