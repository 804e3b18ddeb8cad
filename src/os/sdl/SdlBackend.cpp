#include "os/sdl/SdlBackend.h"

#include "os/Gdi.h"
#include "os/WindowManager.h"
#include "os/sdl/SdlWaveOut.h"

#include <SDL.h>

#include <algorithm>
#include <memory>

namespace Os {

namespace {

constexpr i32 kHostArrows[4] = {SDLK_UP, SDLK_RIGHT, SDLK_DOWN, SDLK_LEFT};
// The handheld's arrows clockwise from up: a quarter turn of the handheld moves each one place.
constexpr i32 kArrowsClockwise[4] = {kKeyUp, kKeyRight, kKeyDown, kKeyLeft};

i32 ArrowIndex(i32 sdlKey) {
  for (i32 i = 0; i < 4; ++i)
    if (kHostArrows[i] == sdlKey) return i;
  return -1;
}

}  // namespace

i32 KeyCodeFromSdl(i32 k, u32 orientation) {
  if (const i32 arrow = ArrowIndex(k); arrow >= 0) {
    // Held in left landscape, the handheld's right button points up in the picture; in right landscape its left.
    const i32 turn = orientation == 0 ? 0 : orientation == 1 ? 1 : 3;
    return kArrowsClockwise[(arrow + turn) % 4];
  }
  switch (k) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return kKeyEnter;
    case SDLK_SPACE: return kKeySpace;
    case SDLK_TAB: return kKeyTab;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return kKeyShift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return kKeyControl;
    case SDLK_BACKSPACE: return 8;
    case SDLK_ESCAPE: return 27;
    case SDLK_F1: return kKeyApp1;
    case SDLK_F2: return kKeyApp1 + 1;
    case SDLK_F3: return kKeyApp1 + 2;
    case SDLK_F4: return kKeyApp1 + 3;
    default: break;
  }
  if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
  return 0;
}

i32* SdlKeys::Held(i32 sdlKey) {
  const i32 arrow = ArrowIndex(sdlKey);
  return arrow >= 0 ? &heldArrows_[arrow] : nullptr;
}

i32 SdlKeys::Down(i32 sdlKey, u32 orientation) {
  i32* held = Held(sdlKey);
  if (held && *held) return *held;  // a repeat of a key held since before a turn
  const i32 key = KeyCodeFromSdl(sdlKey, orientation);
  if (held) *held = key;
  return key;
}

i32 SdlKeys::Up(i32 sdlKey, u32 orientation) {
  i32* held = Held(sdlKey);
  if (!held || !*held) return KeyCodeFromSdl(sdlKey, orientation);
  const i32 key = *held;
  *held = 0;
  return key;
}

void SdlKeys::Forget() {
  for (i32& held : heldArrows_) held = 0;
}

namespace {

class SdlGdi;

class SdlWindows : public WindowManager {
 public:
  SdlWindows(i32 w, i32 h, u32 scale) : WindowManager(w, h), scale_(scale) {}
  ~SdlWindows() override { Close(); }

  // Connects to the display; no window yet.
  bool Open(std::string* error);
  void Close();
  // The game's window opens the host window: a start that finds another copy running creates none, so
  // it never takes the running window's focus.
  WindowId CreateWindow(const char* className, const char* title, i32 x, i32 y, i32 width, i32 height,
                        u32 exStyle) override;
  bool HasHostWindow() const { return window_ != nullptr; }
  // Why the host window could not be opened (empty when it could, or was never asked for).
  const std::string& WindowError() const { return windowError_; }
  void SetGdi(PanelGdi* gdi) { gdi_ = gdi; }
  void SetContentTurn(u32 quarterTurns) override;
  i32 MessageBox(WindowId owner, const char* text, const char* caption, u32 type) override;
  // The panel changed: show it.
  void Present();

 protected:
  void PumpHost(bool wait) override;
  bool CanWait() override { return MainWindow() != 0; }
  void OnRaise(WindowId) override {
    if (!window_) return;
    SDL_RaiseWindow(window_);
    // Without a window manager a raised window does not get the keys back by itself, and a window
    // without the focus is paused: ask for it.
    SDL_SetWindowInputFocus(window_);
  }

 private:
  void Handle(const SDL_Event& e);
  // Window pixels to panel pixels; outside the picture false, unless clamp moves the point to its edge.
  bool ToPanel(i32 wx, i32 wy, i32* px, i32* py, bool clamp = false) const;
  void Resize();
  bool OpenHostWindow(std::string* error);
  void CloseHostWindow();
  // The window's size for the content turn, in host pixels.
  void HostSize(i32* w, i32* h) const;

  u32 scale_;
  bool videoOpen_ = false;
  std::string windowError_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  PanelGdi* gdi_ = nullptr;
  bool penDown_ = false;
  SdlKeys keys_;
};

class SdlGdi : public PanelGdi {
 public:
  SdlGdi(i32 w, i32 h, SdlWindows* windows) : PanelGdi(w, h, 16), windows_(windows) {}

 protected:
  void OnPanelChanged(i32, i32, i32, i32) override { windows_->Present(); }

 private:
  SdlWindows* windows_;
};

bool SdlWindows::Open(std::string* error) {
  const char* hint =
      ". Run it where a graphical session is open (DISPLAY or WAYLAND_DISPLAY set), or use "
      "--backend headless.";
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    *error = std::string("no display is available for a window (") + SDL_GetError() + ")" + hint;
    return false;
  }
  // Without a display SDL falls back to drivers that show nothing; only take them when asked for by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if (driver && (!SDL_strcmp(driver, "offscreen") || !SDL_strcmp(driver, "dummy")) &&
      !(asked && !SDL_strcasecmp(asked, driver))) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    *error = std::string("no display is available for a window") + hint;
    return false;
  }
  videoOpen_ = true;
  return true;
}

WindowId SdlWindows::CreateWindow(const char* className, const char* title, i32 x, i32 y, i32 width, i32 height,
                                  u32 exStyle) {
  const WindowId id = WindowManager::CreateWindow(className, title, x, y, width, height, exStyle);
  if (!id || window_) return id;
  if (!OpenHostWindow(&windowError_)) {
    DestroyWindow(id);
    return 0;
  }
  return id;
}

void SdlWindows::HostSize(i32* w, i32* h) const {
  const bool turned = ContentTurn() & 1;
  *w = (turned ? ScreenHeight() : ScreenWidth()) * i32(scale_);
  *h = (turned ? ScreenWidth() : ScreenHeight()) * i32(scale_);
}

bool SdlWindows::OpenHostWindow(std::string* error) {
  i32 w = 0, h = 0;
  HostSize(&w, &h);
  window_ = SDL_CreateWindow("Duskmire", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h, SDL_WINDOW_SHOWN);
  if (window_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
  if (window_ && !renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_)
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, ScreenWidth(),
                                 ScreenHeight());
  if (!texture_) {
    *error = std::string("cannot open the game's window: ") + SDL_GetError();
    CloseHostWindow();
    return false;
  }
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderPresent(renderer_);
  return true;
}

void SdlWindows::CloseHostWindow() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
}

void SdlWindows::Close() {
  CloseHostWindow();
  if (videoOpen_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  videoOpen_ = false;
}

void SdlWindows::Resize() {
  if (!window_) return;
  i32 w = 0, h = 0;
  HostSize(&w, &h);
  SDL_SetWindowSize(window_, w, h);
}

void SdlWindows::SetContentTurn(u32 quarterTurns) {
  WindowManager::SetContentTurn(quarterTurns);
  Resize();
}

void SdlWindows::Present() {
  if (!texture_ || !gdi_) return;
  const Panel& p = gdi_->GetPanel();
  SDL_UpdateTexture(texture_, nullptr, p.pixels.data(), p.width * 2);
  SDL_RenderClear(renderer_);
  i32 ww = 0, wh = 0;
  SDL_GetWindowSize(window_, &ww, &wh);
  const i32 pw = p.width * i32(scale_), ph = p.height * i32(scale_);
  // The panel turned back upright: the copy turned the picture clockwise, the window turns it back.
  SDL_Rect dst{(ww - pw) / 2, (wh - ph) / 2, pw, ph};
  SDL_RenderCopyEx(renderer_, texture_, nullptr, &dst, -90.0 * ContentTurn(), nullptr, SDL_FLIP_NONE);
  SDL_RenderPresent(renderer_);
}

bool SdlWindows::ToPanel(i32 wx, i32 wy, i32* px, i32* py, bool clamp) const {
  const i32 pw = ScreenWidth(), ph = ScreenHeight();
  const bool turned = ContentTurn() & 1;
  const i32 uw = turned ? ph : pw, uh = turned ? pw : ph;
  i32 ux = wx < 0 ? -1 : wx / i32(scale_), uy = wy < 0 ? -1 : wy / i32(scale_);
  if (ux < 0 || uy < 0 || ux >= uw || uy >= uh) {
    if (!clamp) return false;
    ux = std::clamp(ux, 0, uw - 1);
    uy = std::clamp(uy, 0, uh - 1);
  }
  switch (ContentTurn()) {
    case 1:
      *px = pw - 1 - uy;
      *py = ux;
      break;
    case 2:
      *px = pw - 1 - ux;
      *py = ph - 1 - uy;
      break;
    case 3:
      *px = uy;
      *py = ph - 1 - ux;
      break;
    default:
      *px = ux;
      *py = uy;
      break;
  }
  return true;
}

i32 SdlWindows::MessageBox(WindowId owner, const char* text, const char* caption, u32 type) {
  const i32 answer = WindowManager::MessageBox(owner, text, caption, type);
  if (!(type & kMessageBoxYesNo)) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption ? caption : "", text ? text : "", window_);
    return answer;
  }
  const SDL_MessageBoxButtonData buttons[2] = {
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kAnswerNo, "No"},
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kAnswerYes, "Yes"},
  };
  const SDL_MessageBoxData box = {
      SDL_MESSAGEBOX_WARNING, window_, caption ? caption : "", text ? text : "", 2, buttons, nullptr};
  int chosen = kAnswerNo;
  // Without a way to ask, the game goes on: nothing is lost by staying.
  if (SDL_ShowMessageBox(&box, &chosen) != 0 || chosen < 0) return kAnswerNo;
  return chosen;
}

void SdlWindows::Handle(const SDL_Event& e) {
  const WindowId main = MainWindow();
  if (!main) return;
  switch (e.type) {
    case SDL_QUIT: PostMessage(main, kMsgClose, 0, 0); break;
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_LOST:
          // Keys released while another window has the focus never reach us: let go of them now, so
          // that nothing keeps repeating.
          for (i32 key = 1; key < 256; ++key)
            if (GetKeyState(key) < 0) PostMessage(main, kMsgKeyUp, WParam(key), LParam(0xC0000001u));
          keys_.Forget();
          PostMessage(main, kMsgActivate, 0, 0);
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: PostMessage(main, kMsgActivate, 1, 0); break;
        case SDL_WINDOWEVENT_EXPOSED:
          Present();
          PostMessage(main, kMsgPaint, 0, 0);
          break;
        case SDL_WINDOWEVENT_CLOSE: PostMessage(main, kMsgClose, 0, 0); break;
        default: break;
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const bool down = e.type == SDL_KEYDOWN;
      const i32 key =
          down ? keys_.Down(e.key.keysym.sym, KeyOrientation()) : keys_.Up(e.key.keysym.sym, KeyOrientation());
      if (!key) break;
      if (down)
        PostMessage(main, kMsgKeyDown, WParam(key), 1 | (e.key.repeat ? kKeyRepeatBit : 0));
      else
        PostMessage(main, kMsgKeyUp, WParam(key), LParam(0xC0000001u));
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (e.button.button != SDL_BUTTON_LEFT) break;
      i32 x, y;
      if (e.type == SDL_MOUSEBUTTONDOWN) {
        if (!ToPanel(e.button.x, e.button.y, &x, &y)) break;
        penDown_ = true;
        PostMessage(main, kMsgLButtonDown, 1, PackPoint(x, y));
      } else if (penDown_) {
        penDown_ = false;
        // Lifted outside the picture: the stylus still comes up, at the nearest edge.
        ToPanel(e.button.x, e.button.y, &x, &y, true);
        PostMessage(main, kMsgLButtonUp, 0, PackPoint(x, y));
      }
      break;
    }
    case SDL_MOUSEMOTION: {
      i32 x, y;
      if (penDown_ && ToPanel(e.motion.x, e.motion.y, &x, &y)) PostMessage(main, kMsgMouseMove, 1, PackPoint(x, y));
      break;
    }
    default: break;
  }
}

void SdlWindows::PumpHost(bool wait) {
  SDL_Event e;
  bool any = false;
  while (SDL_PollEvent(&e)) {
    Handle(e);
    any = true;
  }
  if (any) return;
  // An idle poll waits up to a millisecond for the host, so an idle game does not spin; a blocked one
  // longer (it still wakes now and then to answer a second start).
  if (SDL_WaitEventTimeout(&e, wait ? 100 : 1)) Handle(e);
}

struct SdlBackend {
  std::unique_ptr<SdlWindows> windows;
  std::unique_ptr<SdlGdi> gdi;
  std::unique_ptr<SdlWaveOut> waveOut;
};
std::unique_ptr<SdlBackend> sdl;

bool FinishSdl(std::string* error) {
  if (!sdl) return true;
  // The game cannot say why its window failed to open: the backend does.
  const std::string windowError = sdl->windows->WindowError();
  if (!windowError.empty() && error) *error = windowError;
  InstallWindows(nullptr);
  InstallGraphics(nullptr);
  InstallWaveOut(nullptr);
  sdl.reset();
  SDL_Quit();
  return windowError.empty();
}

}  // namespace

bool SdlHasWindow() { return sdl && sdl->windows->HasHostWindow(); }

bool UseSdl(const BackendOptions& o, std::string* error) {
  if (sdl) {
    *error = "a backend is already in use";
    return false;
  }
  auto b = std::make_unique<SdlBackend>();
  b->windows = std::make_unique<SdlWindows>(o.screenWidth, o.screenHeight, o.scale);
  if (!b->windows->Open(error)) return false;
  b->gdi = std::make_unique<SdlGdi>(o.screenWidth, o.screenHeight, b->windows.get());
  b->windows->SetGdi(b->gdi.get());
  b->waveOut = std::make_unique<SdlWaveOut>();
  InstallWindows(b->windows.get());
  InstallGraphics(b->gdi.get());
  InstallWaveOut(b->waveOut.get());
  sdl = std::move(b);
  SetBackendFinisher(FinishSdl);
  return true;
}

}  // namespace Os
