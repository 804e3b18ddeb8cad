// Windows, the message queue, key state, screen metrics, message boxes and the idle timer: the window
// system the game's framework runs on. Message codes and parameter packing are the handheld's, so the
// game's dispatch tables read as the device's did.
#pragma once
#include "os/Types.h"

namespace Os {

using WindowId = u32;  // 0 = no window
using WParam = u32;
using LParam = i32;
using LResult = i32;
using WindowProc = LResult (*)(WindowId window, u32 message, WParam wParam, LParam lParam);

// Message codes.
inline constexpr u32 kMsgDestroy = 2;
inline constexpr u32 kMsgActivate = 6;  // low word of wParam: 0 deactivated, else activated
inline constexpr u32 kMsgPaint = 15;
inline constexpr u32 kMsgClose = 16;
inline constexpr u32 kMsgQuit = 18;      // wParam: exit code
inline constexpr u32 kMsgKeyDown = 256;  // wParam: key code; lParam bit 30: auto-repeat
inline constexpr u32 kMsgKeyUp = 257;
inline constexpr u32 kMsgMouseMove = 512;  // lParam: x in the low 16 bits, y in the high 16 bits
inline constexpr u32 kMsgLButtonDown = 513;
inline constexpr u32 kMsgLButtonUp = 514;

inline constexpr LParam kKeyRepeatBit = LParam(1) << 30;

// Message boxes: a box of this type asks a question with Yes and No buttons and answers which was chosen.
inline constexpr u32 kMessageBoxYesNo = 4;
inline constexpr i32 kAnswerYes = 6;
inline constexpr i32 kAnswerNo = 7;
inline constexpr u32 kExStyleTopmost = 8;
inline constexpr i32 kShowRestoreCommand = 13;

// Key codes the game binds.
inline constexpr i32 kKeyTab = 9;
inline constexpr i32 kKeyEnter = 13;
inline constexpr i32 kKeySpace = 32;
inline constexpr i32 kKeyLeft = 37;
inline constexpr i32 kKeyUp = 38;
inline constexpr i32 kKeyRight = 39;
inline constexpr i32 kKeyDown = 40;
inline constexpr i32 kKeyShift = 160;    // the left shift key's code, which the game binds
inline constexpr i32 kKeyControl = 162;  // the left control key's code, which the game binds
inline constexpr i32 kKeyApp1 = 193;     // application keys 1..4 are 193..196

inline LParam PackPoint(i32 x, i32 y) { return LParam((u32(x) & 0xFFFF) | (u32(y) << 16)); }
inline u32 PointX(LParam l) { return u32(l) & 0xFFFF; }
inline u32 PointY(LParam l) { return u32(l) >> 16; }

struct Message {
  WindowId window = 0;
  u32 code = 0;
  WParam wParam = 0;
  LParam lParam = 0;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Windows. Creating a window needs its class registered first.
  virtual bool RegisterClass(const char* className, WindowProc proc) = 0;
  virtual WindowId CreateWindow(const char* className, const char* title, i32 x, i32 y, i32 width, i32 height,
                                u32 exStyle) = 0;
  // Sends kMsgDestroy through the window's current procedure, then removes it; false when there is no
  // such window (destroying twice is harmless).
  virtual bool DestroyWindow(WindowId window) = 0;
  virtual bool IsWindow(WindowId window) = 0;
  virtual bool IsWindowEnabled(WindowId window) = 0;
  virtual bool ShowWindow(WindowId window, i32 command) = 0;
  virtual bool SetForegroundWindow(WindowId window) = 0;
  virtual WindowId FindWindow(const char* className) = 0;

  // Replaces the window's procedure; returns the previous one (null when the window does not exist).
  virtual WindowProc SetWindowProc(WindowId window, WindowProc proc) = 0;
  virtual LResult CallWindowProc(WindowProc previous, WindowId window, u32 message, WParam wParam, LParam lParam) = 0;
  // The default handling: kMsgClose destroys the window; everything else returns 0.
  virtual LResult DefWindowProc(WindowId window, u32 message, WParam wParam, LParam lParam) = 0;
  // Calls the window's current procedure at once.
  virtual LResult SendMessage(WindowId window, u32 message, WParam wParam, LParam lParam) = 0;

  // The queue.
  virtual bool PostMessage(WindowId window, u32 message, WParam wParam, LParam lParam) = 0;
  // Takes the next message without waiting; false when none is waiting.
  virtual bool PeekMessage(Message* message) = 0;
  // Waits for the next message; false when it is kMsgQuit.
  virtual bool GetMessage(Message* message) = 0;
  virtual void TranslateMessage(const Message& message) = 0;
  virtual LResult DispatchMessage(const Message& message) = 0;
  virtual void PostQuitMessage(i32 exitCode) = 0;

  // Input and system.
  virtual i16 GetKeyState(i32 key) = 0;         // negative while the key is down
  virtual i32 GetSystemMetrics(i32 index) = 0;  // 0 screen width, 1 screen height
  // Shows a message box; its caption and text also go to stderr, so a refused start always says why. The
  // answer: kAnswerYes or kAnswerNo for a kMessageBoxYesNo question.
  virtual i32 MessageBox(WindowId owner, const char* text, const char* caption, u32 type) = 0;
  virtual void ResetIdleTimer() = 0;

  // The content of the window is the panel turned by this many quarter turns clockwise (the rotating
  // display wrapper tells it); a backend that shows the panel on a host screen turns it back upright.
  virtual void SetContentTurn(u32 quarterTurns) = 0;
  // The game reads the arrow keys through the key table of this orientation code (0 portrait, 1 left
  // landscape, 2 right landscape; 0 too where keys are bound by character). The handheld's buttons turn
  // with it; a backend whose arrow keys stay put beside the screen turns them to match.
  virtual void SetKeyOrientation(u32 orientation) = 0;
};

WindowSystem& Windows();
void InstallWindows(WindowSystem* w);  // nullptr restores the host default

// Single instance by name: a lock named after the window class that lives as long as the process.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // True when this process now holds the name; false when another instance holds it.
  virtual bool TryAcquire(const char* name) = 0;
  // Asks the holder of the name to bring its window to the front (best effort); gives the holder's
  // process id as the lock names it, 0 when it names none.
  virtual u32 RaiseHolder(const char* name) = 0;
  // True (once) when another start has asked this process to come to the front.
  virtual bool TakeRaiseRequest() = 0;
  virtual void Release() = 0;
};

InstanceLock& Instances();
void InstallInstances(InstanceLock* l);  // nullptr restores the host default

}  // namespace Os
