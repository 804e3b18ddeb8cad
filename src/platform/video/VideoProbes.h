// Helpers the hardware video drivers and their probes share.
#pragma once
#include "os/DeviceMemory.h"
#include "os/Gdi.h"

namespace Hal {

// The screen's device context for the length of a probe (released also when a fault unwinds through).
struct ScreenDc {
  Os::Dc dc;
  ScreenDc();
  ~ScreenDc();
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
};

// Host pointer to a frame of `height` rows of `pitch` bytes at a device address; null when there is no
// such memory.
u16* FramePixels(Os::DeviceAddr address, u32 pitch, u32 height);

// Byte offset from the address of the screen's pixel (0, 0) to the lowest address of the panel's frame,
// for a panel of that native orientation; cx and cy are the screen's width and height, xPitch and yPitch
// the byte strides between neighbouring screen pixels.
i32 PanelOffset(u32 orientation, i32 cx, i32 cy, i32 xPitch, i32 yPitch, i32 bpp);

// Runs a probe so that a hardware fault inside it counts as its failure.
template <typename Probe>
bool RunGuarded(Probe probe) {
  try {
    return probe();
  } catch (const Os::DeviceFault&) {
    return false;
  }
}

}  // namespace Hal
