// The device's own name (the OEM information text of the system parameters), by which the display layer
// recognises a few handhelds that need special treatment.
#pragma once
#include "os/Types.h"

namespace Os {

class OemInfo {
 public:
  virtual ~OemInfo() = default;
  // Copies the zero-terminated text into `text` (at most `capacity` bytes, always terminated when
  // capacity > 0); false when the system has none.
  virtual bool Text(char* text, u32 capacity) = 0;
};

OemInfo& Oem();
void InstallOemInfo(OemInfo* o);  // nullptr restores the host default (no text)

}  // namespace Os
