#include "platform/video/DriverMediaQ.h"

#include "os/Clock.h"
#include "platform/hal/Game.h"
#include "platform/video/VideoProbes.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace Hal {

bool DriverMediaQ::Initialize(Os::WindowId window, const DisplayParameters&, const DeviceDescription& d) {
  if (!Os::Windows().IsWindow(window) || d.frameBuffer == 0) return false;
  u16* pixels = FramePixels(d.frameBuffer, d.pitch, d.height);
  if (!pixels) return false;
  description = d;
  description.swapEffect = SWAP_NONE;
  surface.width = d.width;
  surface.height = d.height;
  surface.pitch = d.pitch;
  surface.pixels = pixels;
  return true;
}

bool DriverMediaQ::Detect(const DeviceDescription& d) {
  const u64 bytes = u64{d.pitch} * d.height;
  if (d.frameBuffer == 0 || (d.frameBuffer & 0x7FFFF) < 0x42000 || bytes == 0 || bytes > 0x40000) return false;
  // Start on a fresh millisecond. The clock may only move when the thread sleeps, so after a bounded spin
  // a short sleep moves it on.
  const u32 before = GetTime();
  u32 start = before;
  for (u32 spins = 0; spins < 1000000 && start == before; ++spins) start = GetTime();
  if (start == before) {
    Os::Clocks().Sleep(1);
    start = GetTime();
  }
  if (!Os::Device().Fill(d.frameBuffer, 0, u32(bytes))) return false;
  const u32 end = GetTime();
  return i64(end - start) - 1 >= 14;
}

DriverSlowFB::~DriverSlowFB() {
  delete wrapped;
  delete surfaceA;
  delete surfaceB;
}

// A system-memory surface laid out like the frame (same pitch), so that words at equal offsets match.
Surface* DriverSlowFB::NewSurface() const {
  const DeviceDescription& d = description;
  auto* pixels = static_cast<u16*>(std::calloc(size_t{d.pitch} * d.height, 1));
  if (!pixels) return nullptr;
  Surface* s = new (std::nothrow) Surface(d.width, d.height, d.pitch, pixels);
  if (!s) {
    std::free(pixels);
    return nullptr;
  }
  s->ownsPixels = 1;
  return s;
}

bool DriverSlowFB::Initialize(Os::WindowId window, const DisplayParameters& parameters, const DeviceDescription& d) {
  if (!Os::Windows().IsWindow(window) || !wrapped || !wrapped->Initialize(window, parameters, d)) return false;
  description = wrapped->Description();
  const u32 bytes = description.pitch * description.height;
  if ((bytes & 63) == 0) {
    doubleBuffer = 1;
    description.swapEffect = SWAP_DISCARD;
    if (parameters.swapEffect == SWAP_COPY && parameters.orientation == description.orientation)
      description.swapEffect = SWAP_COPY;
    surfaceA = NewSurface();
    surfaceB = NewSurface();
    if (!surfaceA || !surfaceB) return false;
    current = surfaceA;
    spanOffset = 0;
    spanUnits = bytes / 64;
  }
  fullCopy = 1;
  return true;
}

Surface* DriverSlowFB::BeginDraw() { return doubleBuffer ? current : wrapped->BeginDraw(); }

void DriverSlowFB::SetViewport(const Rect& r) {
  if (doubleBuffer) {
    const u32 pitch = description.pitch;
    u32 top = u32(r.top);
    u32 rows = u32(r.bottom - r.top);
    if ((pitch * rows) % 64 != 0) {
      top &= ~1u;
      rows = (u32(r.bottom + 1) & ~1u) - top;
    }
    const u32 total = pitch * description.height;
    spanOffset = pitch * top;
    spanUnits = pitch * rows / 64;
    // Never past the frame, whatever rectangle arrives.
    if (spanOffset > total) spanOffset = total;
    if (spanUnits > (total - spanOffset) / 64) spanUnits = (total - spanOffset) / 64;
  }
  wrapped->SetViewport(r);
}

void DriverSlowFB::EndDraw(u32 flags) {
  if (!doubleBuffer) {
    wrapped->EndDraw(flags);
    return;
  }
  Surface* frame = wrapped->BeginDraw();
  if (!frame || !frame->pixels) return;
  Surface* previous = current == surfaceA ? surfaceB : surfaceA;
  const bool keep = description.swapEffect == SWAP_COPY;
  wordsWritten = 0;
  if (!fullCopy && !(flags & 2)) {
    // Sixteen words (64 bytes) per step; only words that differ from the previous frame are written.
    const u32* cur = reinterpret_cast<const u32*>(reinterpret_cast<const u8*>(current->pixels) + spanOffset);
    u32* prev = reinterpret_cast<u32*>(reinterpret_cast<u8*>(previous->pixels) + spanOffset);
    u32* dst = reinterpret_cast<u32*>(reinterpret_cast<u8*>(frame->pixels) + spanOffset);
    for (u32 unit = 0; unit < spanUnits; ++unit, cur += 16, prev += 16, dst += 16) {
      for (u32 i = 0; i < 16; ++i) {
        if (cur[i] == prev[i]) continue;
        dst[i] = cur[i];
        if (keep) prev[i] = cur[i];
        ++wordsWritten;
      }
    }
  } else {
    const size_t bytes = size_t{description.pitch} * description.height;
    std::memcpy(frame->pixels, current->pixels, bytes);
    if (keep) std::memcpy(previous->pixels, current->pixels, bytes);
    wordsWritten = u32(bytes / 4);
    fullCopy = 0;
  }
  current = previous;
  wrapped->EndDraw(flags);
}

void DriverSlowFB::WaitVSync() { wrapped->WaitVSync(); }

}  // namespace Hal
