// Libraries loaded at run time by name, and their entry points. The host has none of the handheld's
// graphics libraries; a simulated device installs its own.
#pragma once
#include "os/Types.h"

namespace Os {

using LibraryHandle = u32;  // 0 = not loaded

class Libraries {
 public:
  virtual ~Libraries() = default;
  virtual LibraryHandle LoadLibrary(const char* name) = 0;
  virtual void FreeLibrary(LibraryHandle library) = 0;
  // The entry point of that name, or null.
  virtual void* GetProcAddress(LibraryHandle library, const char* name) = 0;
};

Libraries& Libs();
void InstallLibraries(Libraries* l);  // nullptr restores the host default

}  // namespace Os
