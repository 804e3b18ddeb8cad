#include "platform/hal/RotationDriver.h"

namespace Hal {

RotationDriver::~RotationDriver() {
  delete backBuffer;
  delete wrapped;
}

void RotationDriver::Resume() {
  if (wrapped) wrapped->Resume();
}
void RotationDriver::Suspend() {
  if (wrapped) wrapped->Suspend();
}
void RotationDriver::Refresh() {
  if (wrapped) wrapped->Refresh();
}

bool RotationDriver::Initialize(Os::WindowId, const DisplayParameters& parameters, const DeviceDescription& native) {
  if (!wrapped) return false;
  rotation = parameters.orientation == ORIENTATION_UNKNOWN ? 0 : (native.orientation - parameters.orientation) & 3;
  nativeWidth = native.width;
  nativeHeight = native.height;
  description = native;
  if (rotation & 1) {
    description.width = native.height;
    description.height = native.width;
  }
  description.swapEffect = SWAP_COPY;
  description.orientation = parameters.orientation;
  backBuffer = Surface::Create(description.width, description.height);
  if (!backBuffer) return false;
  description.pitch = backBuffer->pitch;
  switch (rotation) {
    case 1:
      copy = BlitRotate90CW;
      copyAfterWait = BlitRotate90CWByRows;
      break;
    case 2: copy = copyAfterWait = BlitRotate180; break;
    case 3:
      copy = BlitRotate90CCW;
      copyAfterWait = BlitRotate90CCWByRows;
      break;
    default: copy = copyAfterWait = BlitRectCopy; break;
  }
  // Drawing straight into visible memory: after the scan wait the copy walks the blocks column by column
  // as well.
  if (native.swapEffect == SWAP_NONE) copyAfterWait = copy;
  nativeRect = Rect{0, 0, i32(nativeWidth), i32(nativeHeight)};
  return true;
}

Surface* RotationDriver::BeginDraw() {
  held = wrapped->BeginDraw();
  return held ? backBuffer : nullptr;
}

void RotationDriver::EndDraw(u32 flags) {
  if (held) {
    if (flags & 1) {
      wrapped->WaitVSync();
      copyAfterWait(held, backBuffer, nativeRect);
    } else {
      copy(held, backBuffer, nativeRect);
    }
  }
  wrapped->EndDraw(flags);
  held = nullptr;
}

void RotationDriver::SetViewport(const Rect& r) {
  const i32 wn = i32(nativeWidth), hn = i32(nativeHeight);
  Rect n = r;
  switch (rotation) {
    case 1: n = Rect{wn - r.bottom, r.left, wn - r.top, r.right}; break;
    case 2: n = Rect{wn - r.right, hn - r.bottom, wn - r.left, hn - r.top}; break;
    case 3: n = Rect{r.top, hn - r.right, r.bottom, hn - r.left}; break;
    default: break;
  }
  wrapped->SetViewport(n);
  nativeRect = Rect{n.left & ~15, n.top & ~15, (n.right + 15) & ~15, (n.bottom + 15) & ~15};
}

}  // namespace Hal
