// The headless window system: deterministic. Time is a virtual clock that moves with sleeps and with
// every poll that finds no message; input comes from a script; the panel is captured to PNG files; a run
// ends after a number of presented frames or of virtual milliseconds.
#pragma once
#include "os/Gdi.h"
#include "os/WindowManager.h"
#include "os/headless/InputScript.h"
#include "os/headless/VirtualClock.h"

#include <string>
#include <vector>

namespace Os {

class HeadlessWindows : public WindowManager {
 public:
  HeadlessWindows(i32 screenWidth, i32 screenHeight, VirtualClock* clock, PanelGdi* gdi);

  void SetScript(const std::vector<ScriptEvent>& events) {
    events_ = events;
    next_ = 0;
  }
  void SetCaptureDir(const std::string& dir) { captureDir_ = dir; }
  // 0 = no limit. Reaching a limit destroys the main window (the game is not asked, as a close would).
  void SetFrameLimit(u32 frames) { frameLimit_ = frames; }
  void SetTimeLimit(u32 milliseconds) { timeLimit_ = milliseconds; }
  // Virtual milliseconds that a poll finding no message lets pass (default 1).
  void SetIdleStep(u32 milliseconds) { idleStep_ = milliseconds; }

  u32 Frames() const { return gdi_->PanelUpdates(); }
  bool Capture(const std::string& name, std::string* error);
  // Failures met while running (a capture that could not be written), for the program's exit status.
  const std::vector<std::string>& Errors() const { return errors_; }

 protected:
  void PumpHost(bool wait) override;
  void OnEmptyPeek() override;
  bool CanWait() override;

 private:
  void Fire(const ScriptEvent& e);
  void CheckLimits();

  VirtualClock* clock_;
  PanelGdi* gdi_;
  std::vector<ScriptEvent> events_;
  size_t next_ = 0;
  std::string captureDir_;
  u32 frameLimit_ = 0, timeLimit_ = 0, idleStep_ = 1;
  bool closePosted_ = false;
  std::vector<std::string> errors_;
};

}  // namespace Os
