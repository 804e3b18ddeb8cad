#include "platform/hal/Display.h"

#include "platform/hal/Blit.h"
#include "platform/hal/RotationDriver.h"
#include "platform/video/SystemLibraries.h"
#include "platform/video/VideoDetect.h"

#include <algorithm>
#include <new>

namespace Hal {

// ---- window hook ----

namespace {
struct HookEntry {
  Os::WindowId window;
  Os::WindowProc previous;
  DisplayBase* display;
};
HookEntry hooks[kMaxHookedWindows];
u32 hookCount = 0;

HookEntry* FindHook(Os::WindowId window) {
  for (u32 i = 0; i < hookCount; ++i)
    if (hooks[i].window == window) return &hooks[i];
  return nullptr;
}
}  // namespace

bool SubclassWindow(Os::WindowId window, DisplayBase* display) {
  if (hookCount >= kMaxHookedWindows) return false;
  Os::WindowProc previous = Os::Windows().SetWindowProc(window, DisplayWindowProc);
  if (!previous) return false;
  hooks[hookCount++] = HookEntry{window, previous, display};
  return true;
}

void UnsubclassWindow(Os::WindowId window) {
  HookEntry* e = FindHook(window);
  if (!e) return;
  Os::Windows().SetWindowProc(window, e->previous);
  *e = hooks[--hookCount];
}

u32 HookedWindowCount() { return hookCount; }

Os::LResult DisplayWindowProc(Os::WindowId window, u32 message, Os::WParam wParam, Os::LParam lParam) {
  Os::WindowSystem& ws = Os::Windows();
  HookEntry* e = FindHook(window);
  if (!e) return ws.DefWindowProc(window, message, wParam, lParam);
  const Os::WindowProc previous = e->previous;
  switch (message) {
    case Os::kMsgDestroy: UnsubclassWindow(window); break;
    case Os::kMsgActivate:
      if ((wParam & 0xFFFF) == 0)
        e->display->Suspend();
      else
        e->display->Resume();
      break;
    case Os::kMsgPaint: e->display->Refresh(); break;
    default: break;
  }
  return ws.CallWindowProc(previous, window, message, wParam, lParam);
}

// ---- display base ----

DisplayBase::DisplayBase(Os::WindowId w) : window(w) {}

DisplayBase::~DisplayBase() {
  delete backBuffer;
  delete driver;
}

void DisplayBase::Resume() {
  active = 1;
  held = nullptr;
  if (driver) driver->Resume();
}

void DisplayBase::Suspend() {
  if (driver) driver->Suspend();
  active = 0;
  held = nullptr;
}

void DisplayBase::Refresh() {
  if (driver) driver->Refresh();
}

bool DisplayBase::Initialize(const DisplayParameters& parameters) {
  if (driver) return false;
  VideoDriver* d = CreateDriver(parameters);
  if (!d) return false;
  const DeviceDescription& native = d->Description();
  if (parameters.orientation < ORIENTATION_UNKNOWN && parameters.orientation != native.orientation) {
    RotationDriver* wrapper = new (std::nothrow) RotationDriver(d);
    if (!wrapper) {
      delete d;
      return false;
    }
    if (!wrapper->Initialize(window, parameters, d->Description())) {
      delete wrapper;  // owns d: each is released once
      return false;
    }
    contentTurn = wrapper->Rotation();
    d = wrapper;
  }
  Os::Windows().SetContentTurn(contentTurn);
  driver = d;
  const DeviceDescription& desc = driver->Description();
  actual.width = desc.width;
  actual.height = desc.height;
  actual.orientation = desc.orientation;
  if (desc.swapEffect == SWAP_NONE || (parameters.swapEffect == SWAP_COPY && desc.swapEffect != SWAP_COPY)) {
    backBuffer = Surface::Create(desc.width, desc.height);
    if (!backBuffer) return false;
    actual.swapEffect = SWAP_COPY;
  } else {
    actual.swapEffect = desc.swapEffect;
  }
  held = nullptr;
  SetUpdateRect(nullptr);
  return true;
}

void DisplayBase::SetUpdateRect(const Rect* rectangle) {
  Rect r = rectangle ? *rectangle : Rect{0, 0, i32(actual.width), i32(actual.height)};
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, i32(actual.width));
  r.bottom = std::min(r.bottom, i32(actual.height));
  if (r.right <= r.left || r.bottom <= r.top) r = Rect{};
  if (driver) driver->SetViewport(r);
  // Whole 32-bit words of pixels.
  r.left &= ~1;
  r.top &= ~1;
  r.right = (r.right + 1) & ~1;
  r.bottom = (r.bottom + 1) & ~1;
  update = r;
  fullRow = driver && driver->Description().pitch == u32(r.right - r.left) * 2 ? 1 : 0;
}

bool DisplayBase::BeginScene() {
  if (!active || !driver) return false;
  if (held) return true;
  held = driver->BeginDraw();
  return held != nullptr;
}

Surface* DisplayBase::GetBackBuffer() const {
  if (!held) return nullptr;
  return backBuffer ? backBuffer : held;
}

bool DisplayBase::Swap(u32 flags) {
  if (!held || !active) return false;
  if (backBuffer) {
    if (flags & 1) driver->WaitVSync();
    // Rounding to even may reach one past an odd-sized surface; stay inside both.
    Rect r = update;
    const i32 w = i32(std::min(backBuffer->width, held->width));
    const i32 h = i32(std::min(backBuffer->height, held->height));
    r.right = std::min(r.right, w);
    r.bottom = std::min(r.bottom, h);
    if (r.right > r.left && r.bottom > r.top) {
      if (fullRow && backBuffer->pitch == held->pitch)
        BlitRows(held, backBuffer, r.top, r.bottom);
      else
        BlitRect(held, backBuffer, r);
    }
  }
  driver->EndDraw(flags);
  held = nullptr;
  return true;
}

// ---- window display ----

WindowDisplay::~WindowDisplay() {
  CoreDll::Instance().AllKeys(0);
  if (Os::Windows().IsWindow(window)) UnsubclassWindow(window);
}

void WindowDisplay::Resume() {
  AygShell::Instance().SHFullScreen(window, kFullScreenHide);
  DisplayBase::Resume();
}

void WindowDisplay::Suspend() {
  AygShell::Instance().SHFullScreen(window, kFullScreenShow);
  DisplayBase::Suspend();
}

// The orientation to ask the device for: the asked one, unless the device offers it but the asked
// picture does not fit its frame buffer that way (a landscape picture upright on a portrait panel); then
// the first offered orientation in which it fits, so that the game never draws outside the frame buffer.
// An orientation the device does not offer stays asked for, and no driver is found.
static u32 FittingOrientation(const DisplayParameters& p) {
  if (p.orientation >= ORIENTATION_UNKNOWN || p.width == 0 || p.height == 0) return p.orientation;
  const VideoDetect& detector = VideoDetect::Instance();
  if (!detector.HasMode(p.orientation)) return p.orientation;
  const DeviceDescription& native = detector.description;
  auto fits = [&](u32 o) {
    const bool odd = ((o - native.orientation) & 1) != 0;
    return p.width <= (odd ? native.height : native.width) && p.height <= (odd ? native.width : native.height);
  };
  if (fits(p.orientation)) return p.orientation;
  for (u32 step : {3u, 1u, 0u, 2u}) {
    const u32 o = (native.orientation + step) & 3;
    if (detector.HasMode(o) && fits(o)) return o;
  }
  return p.orientation;
}

bool WindowDisplay::Initialize(const DisplayParameters& asked) {
  if (!Os::Windows().IsWindow(window)) return false;
  if (!SubclassWindow(window, this)) return false;
  DisplayParameters parameters = asked;
  VideoDetect::SetProbeWindow(window);
  parameters.orientation = FittingOrientation(asked);
  if (!DisplayBase::Initialize(parameters)) return false;
  CoreDll::Instance().AllKeys(1);
  AygShell::Instance().SHFullScreen(window, kFullScreenHide);
  return true;
}

VideoDriver* WindowDisplay::CreateDriver(const DisplayParameters& parameters) {
  VideoDetect::SetProbeWindow(window);
  return VideoDetect::Instance().CreateBestDriver(window, parameters);
}

// ---- handle ----

Display* Display::Create(Os::WindowId window, DisplayParameters* parameters) {
  if (!parameters) return nullptr;
  DisplayParameters asked = *parameters;
  if (asked.swapEffect == SWAP_NONE) asked.swapEffect = SWAP_DISCARD;
  WindowDisplay* impl = new (std::nothrow) WindowDisplay(window);
  if (!impl) return nullptr;
  Display* display = new (std::nothrow) Display(impl);
  if (!display) {
    delete impl;
    return nullptr;
  }
  if (!impl->Initialize(asked)) {
    delete display;
    return nullptr;
  }
  *parameters = impl->Actual();
  return display;
}

Display::~Display() { delete impl; }

}  // namespace Hal
