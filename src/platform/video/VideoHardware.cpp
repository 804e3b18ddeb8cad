// The drivers that reach the graphics hardware directly hook in here. Without them the window-drawing
// driver is the only candidate.
#include "platform/video/VideoDetect.h"

namespace Hal {

void DetectHardwareDrivers(VideoDetect&) {}

VideoDriver* CreateHardwareDriver(u32) { return nullptr; }

u32 GetProcessorType() { return 0; }

}  // namespace Hal
