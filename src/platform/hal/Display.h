// The display layer: one 16-bit surface to draw a frame into, presented on the device's screen whatever
// its graphics hardware and however its panel is mounted. A frame is BeginScene, drawing into
// GetBackBuffer, Swap.
#pragma once
#include "os/Window.h"
#include "platform/hal/Surface.h"

namespace Hal {

class VideoDriver;

// The implementation behind a display handle.
class DisplayBase {
 public:
  explicit DisplayBase(Os::WindowId window);
  virtual ~DisplayBase();
  DisplayBase(const DisplayBase&) = delete;
  DisplayBase& operator=(const DisplayBase&) = delete;

  virtual void Resume();
  virtual void Suspend();
  virtual void Refresh();
  virtual bool Initialize(const DisplayParameters& parameters);
  virtual VideoDriver* CreateDriver(const DisplayParameters& parameters) = 0;

  bool BeginScene();
  Surface* GetBackBuffer() const;
  bool Swap(u32 flags);
  // The rectangle the next swaps present; null = the whole screen.
  void SetUpdateRect(const Rect* rectangle);

  Os::WindowId Window() const { return window; }
  const DisplayParameters& Actual() const { return actual; }
  VideoDriver* Driver() const { return driver; }
  bool HasBackBuffer() const { return backBuffer != nullptr; }
  const Rect& UpdateRect() const { return update; }
  bool FullRows() const { return fullRow != 0; }
  bool IsActive() const { return active != 0; }
  // Quarter turns clockwise from the picture to the panel (0 when the panel is drawn as is).
  u32 ContentTurn() const { return contentTurn; }

 protected:
  Os::WindowId window;
  DisplayParameters actual;
  VideoDriver* driver = nullptr;
  Surface* backBuffer = nullptr;
  Surface* held = nullptr;
  Rect update;
  u8 fullRow = 0;
  u8 active = 1;
  u32 contentTurn = 0;
};

// A display over the game's window: hooks the window to follow its activation, takes all hardware keys
// and the whole screen while it lives.
class WindowDisplay : public DisplayBase {
 public:
  explicit WindowDisplay(Os::WindowId w) : DisplayBase(w) {}
  ~WindowDisplay() override;
  void Resume() override;
  void Suspend() override;
  bool Initialize(const DisplayParameters& parameters) override;
  VideoDriver* CreateDriver(const DisplayParameters& parameters) override;
};

// The handle the game holds.
class Display {
 public:
  // A new display over the window, or null; on success the parameters hold what was actually made.
  static Display* Create(Os::WindowId window, DisplayParameters* parameters);
  ~Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // True when a frame buffer is held (or was obtained now) and the display is active.
  bool BeginScene() { return impl->BeginScene(); }
  // The surface to draw the frame into; null when no frame buffer is held.
  Surface* GetBackBuffer() const { return impl->GetBackBuffer(); }
  // Presents the frame; flag bit 0 waits for the panel's scan. False when nothing is held or inactive.
  bool Swap(u32 flags) { return impl->Swap(flags); }
  void SetUpdateRect(const Rect* rectangle) { impl->SetUpdateRect(rectangle); }
  DisplayBase* Impl() const { return impl; }

 private:
  explicit Display(DisplayBase* implementation) : impl(implementation) {}
  DisplayBase* impl;
};

// The window hook: up to 16 windows whose procedure the display layer has replaced.
inline constexpr u32 kMaxHookedWindows = 16;
bool SubclassWindow(Os::WindowId window, DisplayBase* display);
void UnsubclassWindow(Os::WindowId window);
Os::LResult DisplayWindowProc(Os::WindowId window, u32 message, Os::WParam wParam, Os::LParam lParam);
u32 HookedWindowCount();

}  // namespace Hal
