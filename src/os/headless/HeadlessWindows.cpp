#include "os/headless/HeadlessWindows.h"

#include "os/headless/PngCapture.h"

namespace Os {

HeadlessWindows::HeadlessWindows(i32 screenWidth, i32 screenHeight, VirtualClock* clock, PanelGdi* gdi)
    : WindowManager(screenWidth, screenHeight), clock_(clock), gdi_(gdi) {}

bool HeadlessWindows::Capture(const std::string& name, std::string* error) {
  if (captureDir_.empty()) return true;
  return WritePanelPng(gdi_->GetPanel(), captureDir_ + "/" + name + ".png", error);
}

void HeadlessWindows::Fire(const ScriptEvent& e) {
  const WindowId w = MainWindow();
  switch (e.kind) {
    case ScriptEvent::KeyDown: PostMessage(w, kMsgKeyDown, WParam(e.key), 1 | (e.repeat ? kKeyRepeatBit : 0)); break;
    case ScriptEvent::KeyUp: PostMessage(w, kMsgKeyUp, WParam(e.key), LParam(0xC0000001u)); break;
    case ScriptEvent::PenDown: PostMessage(w, kMsgLButtonDown, 1, PackPoint(e.x, e.y)); break;
    case ScriptEvent::PenMove: PostMessage(w, kMsgMouseMove, 1, PackPoint(e.x, e.y)); break;
    case ScriptEvent::PenUp: PostMessage(w, kMsgLButtonUp, 0, PackPoint(e.x, e.y)); break;
    case ScriptEvent::Activate: PostMessage(w, kMsgActivate, 1, 0); break;
    case ScriptEvent::Deactivate: PostMessage(w, kMsgActivate, 0, 0); break;
    case ScriptEvent::Paint: PostMessage(w, kMsgPaint, 0, 0); break;
    case ScriptEvent::Close: PostMessage(w, kMsgClose, 0, 0); break;
    case ScriptEvent::Capture: {
      std::string error;
      if (!Capture(e.name, &error)) errors_.push_back(error);
      break;
    }
  }
}

void HeadlessWindows::CheckLimits() {
  if (closePosted_) return;
  const bool framesDone = frameLimit_ && Frames() >= frameLimit_;
  const bool timeDone = timeLimit_ && clock_->ElapsedMilliseconds() >= timeLimit_;
  if ((framesDone || timeDone) && MainWindow()) {
    closePosted_ = true;
    // The run is over: the window goes without being asked to close, as a player's close would ask the
    // game (which may save and end the process).
    DestroyWindow(MainWindow());
  }
}

void HeadlessWindows::PumpHost(bool wait) {
  if (wait && next_ < events_.size() && !events_[next_].byFrame) {
    // Nothing else can happen while blocked: let virtual time run to the next timed event.
    const u64 now = clock_->ElapsedMilliseconds();
    if (events_[next_].when > now) clock_->Advance(u32(events_[next_].when - now));
  } else if (wait && timeLimit_ && !closePosted_) {
    const u64 now = clock_->ElapsedMilliseconds();
    if (timeLimit_ > now) clock_->Advance(u32(timeLimit_ - now));
  }
  while (next_ < events_.size()) {
    const ScriptEvent& e = events_[next_];
    const u64 reached = e.byFrame ? Frames() : clock_->ElapsedMilliseconds();
    if (reached < e.when) break;
    ++next_;
    Fire(e);
  }
  CheckLimits();
}

void HeadlessWindows::OnEmptyPeek() { clock_->Advance(idleStep_); }

bool HeadlessWindows::CanWait() {
  if (next_ < events_.size() && !events_[next_].byFrame) return true;
  return timeLimit_ && !closePosted_;
}

}  // namespace Os
