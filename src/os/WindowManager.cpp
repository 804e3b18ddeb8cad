#include "os/WindowManager.h"

#include <cstdio>

namespace Os {

WindowManager::WindowManager(i32 screenWidth, i32 screenHeight)
    : screenWidth_(screenWidth), screenHeight_(screenHeight) {}

WindowManager::Win* WindowManager::Find(WindowId window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

bool WindowManager::RegisterClass(const char* className, WindowProc proc) {
  if (!className || !*className || !proc || classes_.count(className)) return false;
  classes_[className] = proc;
  return true;
}

WindowId WindowManager::CreateWindow(const char* className, const char* title, i32 x, i32 y, i32 width, i32 height,
                                     u32 exStyle) {
  if (!className) return 0;
  auto cls = classes_.find(className);
  if (cls == classes_.end() || width <= 0 || height <= 0) return 0;
  const WindowId id = nextId_++;
  Win& w = windows_[id];
  w.className = className;
  w.title = title ? title : "";
  w.proc = cls->second;
  w.x = x;
  w.y = y;
  w.width = width;
  w.height = height;
  w.exStyle = exStyle;
  OnRaise(id);
  return id;
}

bool WindowManager::DestroyWindow(WindowId window) {
  Win* w = Find(window);
  if (!w || w->destroying) return false;
  w->destroying = true;
  // The destroy message goes through whatever procedure chain the window has now.
  w->proc(window, kMsgDestroy, 0, 0);
  windows_.erase(window);
  // Messages still queued for it can no longer be delivered.
  for (auto it = queue_.begin(); it != queue_.end();)
    it = (it->window == window && it->code != kMsgQuit) ? queue_.erase(it) : it + 1;
  return true;
}

bool WindowManager::IsWindow(WindowId window) {
  Win* w = Find(window);
  return w && !w->destroying;
}

bool WindowManager::IsWindowEnabled(WindowId window) {
  Win* w = Find(window);
  return w && w->enabled;
}

bool WindowManager::ShowWindow(WindowId window, i32) {
  if (!Find(window)) return false;
  OnRaise(window);
  return true;
}

bool WindowManager::SetForegroundWindow(WindowId window) {
  if (!Find(window)) return false;
  ++foregroundRequests_;
  OnRaise(window);
  return true;
}

WindowId WindowManager::FindWindow(const char* className) {
  if (!className) return 0;
  for (auto& [id, w] : windows_)
    if (!w.destroying && w.className == className) return id;
  return 0;
}

WindowProc WindowManager::SetWindowProc(WindowId window, WindowProc proc) {
  Win* w = Find(window);
  if (!w || !proc) return nullptr;
  WindowProc previous = w->proc;
  w->proc = proc;
  return previous;
}

LResult WindowManager::CallWindowProc(WindowProc previous, WindowId window, u32 message, WParam wParam, LParam lParam) {
  return previous ? previous(window, message, wParam, lParam) : 0;
}

LResult WindowManager::DefWindowProc(WindowId window, u32 message, WParam, LParam) {
  if (message == kMsgClose) DestroyWindow(window);
  return 0;
}

LResult WindowManager::SendMessage(WindowId window, u32 message, WParam wParam, LParam lParam) {
  Win* w = Find(window);
  return w ? w->proc(window, message, wParam, lParam) : 0;
}

void WindowManager::SetKeyDown(i32 key, bool down) {
  if (key >= 0 && key < 256) keys_[key] = down ? 1 : 0;
}

void WindowManager::Enqueue(const Message& message) {
  // Key state follows the keys as they arrive from the host.
  if (message.code == kMsgKeyDown) SetKeyDown(i32(message.wParam), true);
  if (message.code == kMsgKeyUp) SetKeyDown(i32(message.wParam), false);
  queue_.push_back(message);
}

bool WindowManager::PostMessage(WindowId window, u32 message, WParam wParam, LParam lParam) {
  if (window && !Find(window)) return false;
  Enqueue(Message{window, message, wParam, lParam});
  return true;
}

void WindowManager::CheckRaiseRequest() {
  if (!Instances().TakeRaiseRequest()) return;
  if (WindowId main = MainWindow()) {
    SetForegroundWindow(main);
    if (IsWindowEnabled(main)) ShowWindow(main, kShowRestoreCommand);
  }
}

bool WindowManager::PeekMessage(Message* message) {
  CheckRaiseRequest();
  if (queue_.empty()) PumpHost(false);
  if (queue_.empty()) {
    OnEmptyPeek();
    return false;
  }
  *message = queue_.front();
  queue_.pop_front();
  return true;
}

bool WindowManager::GetMessage(Message* message) {
  for (;;) {
    CheckRaiseRequest();
    if (queue_.empty()) PumpHost(false);
    if (!queue_.empty()) break;
    if (!CanWait()) {
      *message = Message{0, kMsgQuit, 0, 0};
      return false;
    }
    PumpHost(true);
  }
  *message = queue_.front();
  queue_.pop_front();
  return message->code != kMsgQuit;
}

LResult WindowManager::DispatchMessage(const Message& message) {
  if (message.code == kMsgQuit) return 0;
  return SendMessage(message.window, message.code, message.wParam, message.lParam);
}

void WindowManager::PostQuitMessage(i32 exitCode) { queue_.push_back(Message{0, kMsgQuit, WParam(exitCode), 0}); }

i16 WindowManager::GetKeyState(i32 key) { return (key >= 0 && key < 256 && keys_[key]) ? i16(-128) : i16(0); }

i32 WindowManager::GetSystemMetrics(i32 index) {
  if (index == 0) return screenWidth_;
  if (index == 1) return screenHeight_;
  return 0;
}

i32 WindowManager::MessageBox(WindowId, const char* text, const char* caption, u32 type) {
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
  boxes_.push_back(Box{text ? text : "", caption ? caption : "", type});
  return boxAnswer_;
}

WindowId WindowManager::MainWindow() const {
  for (auto& [id, w] : windows_)
    if (!w.destroying) return id;
  return 0;
}

namespace {
WindowManager& HostWindows() {
  static WindowManager instance;
  return instance;
}
WindowSystem* installedWindows = nullptr;
}  // namespace

WindowSystem& Windows() { return installedWindows ? *installedWindows : HostWindows(); }
void InstallWindows(WindowSystem* w) { installedWindows = w; }

}  // namespace Os
