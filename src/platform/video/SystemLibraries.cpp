#include "platform/video/SystemLibraries.h"

namespace Hal {

DynamicLibrary::DynamicLibrary(const char* name) : handle(Os::Libs().LoadLibrary(name)) {}

DynamicLibrary::~DynamicLibrary() {
  if (handle) Os::Libs().FreeLibrary(handle);
}

void* DynamicLibrary::Symbol(const char* name) const {
  return handle ? Os::Libs().GetProcAddress(handle, name) : nullptr;
}

CoreDll::CoreDll() : library("coredll.dll") {
  allKeys = reinterpret_cast<AllKeysFn>(library.Symbol("AllKeys"));
  setKMode = reinterpret_cast<SetKModeFn>(library.Symbol("SetKMode"));
  changeDisplaySettingsEx = reinterpret_cast<ChangeDisplaySettingsExFn>(library.Symbol("ChangeDisplaySettingsEx"));
}

CoreDll& CoreDll::Instance() {
  static CoreDll instance;
  return instance;
}

i32 CoreDll::AllKeys(i32 all) {
  if (allKeys) return allKeys(all);
  const i32 previous = allKeysValue;
  allKeysValue = all;
  return previous;
}

i32 CoreDll::ChangeDisplaySettingsEx(const void* device, void* mode, Os::WindowId window, u32 flags, void* parameter) {
  return changeDisplaySettingsEx ? changeDisplaySettingsEx(device, mode, window, flags, parameter) : 0;
}

AygShell::AygShell() : library("aygshell.dll") {
  fullScreen = reinterpret_cast<SHFullScreenFn>(library.Symbol("SHFullScreen"));
}

AygShell& AygShell::Instance() {
  static AygShell instance;
  return instance;
}

}  // namespace Hal
