// Libraries loaded at run time, and the two system tables the display layer always calls: the core
// library's key and display functions and the shell's full-screen call, each with its fallback when the
// function is missing.
#pragma once
#include "os/DisplayHardware.h"
#include "os/Library.h"
#include "os/Window.h"

namespace Hal {

// A module loaded at construction and freed at destruction.
class DynamicLibrary {
 public:
  explicit DynamicLibrary(const char* name);
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;
  bool IsLoaded() const { return handle != 0; }
  void* Symbol(const char* name) const;

 private:
  Os::LibraryHandle handle;
};

// "coredll.dll": AllKeys, SetKMode, ChangeDisplaySettingsEx.
class CoreDll {
 public:
  using AllKeysFn = Os::Entry::AllKeys;
  using SetKModeFn = Os::Entry::SetKMode;
  using ChangeDisplaySettingsExFn = Os::Entry::ChangeDisplaySettingsEx;
  static CoreDll& Instance();
  // Lets the application receive every hardware key; returns the previous setting.
  i32 AllKeys(i32 all);
  bool HasSetKMode() const { return setKMode != nullptr; }
  // Switches kernel mode; returns the previous mode. Only when HasSetKMode.
  i32 SetKMode(i32 kernel) { return setKMode ? setKMode(kernel) : 0; }
  i32 ChangeDisplaySettingsEx(const void* device, void* mode, Os::WindowId window, u32 flags, void* parameter);

 private:
  CoreDll();
  DynamicLibrary library;
  AllKeysFn allKeys = nullptr;
  SetKModeFn setKMode = nullptr;
  ChangeDisplaySettingsExFn changeDisplaySettingsEx = nullptr;
  i32 allKeysValue = 0;  // kept by the fallback
};

// "aygshell.dll": SHFullScreen.
inline constexpr u32 kFullScreenHide = 42;  // task bar, input-panel button and start icon hidden
inline constexpr u32 kFullScreenShow = 21;
class AygShell {
 public:
  using SHFullScreenFn = Os::Entry::SHFullScreen;
  static AygShell& Instance();
  i32 SHFullScreen(Os::WindowId window, u32 state) { return fullScreen ? fullScreen(window, state) : 1; }

 private:
  AygShell();
  DynamicLibrary library;
  SHFullScreenFn fullScreen = nullptr;
};

}  // namespace Hal
