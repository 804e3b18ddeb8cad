#include "platform/hal/Surface.h"

#include <cstdlib>
#include <new>

namespace Hal {

Surface::~Surface() {
  if (ownsPixels) std::free(pixels);
}

Surface* Surface::Create(u32 width, u32 height) {
  if (width == 0 || height == 0 || width > 0x4000 || height > 0x4000) return nullptr;
  const u32 pitch = (width * 2 + 3) & ~3u;
  Surface* s = new (std::nothrow) Surface;
  if (!s) return nullptr;
  s->pixels = static_cast<u16*>(std::calloc(size_t(pitch) * height, 1));
  if (!s->pixels) {
    delete s;
    return nullptr;
  }
  s->width = width;
  s->height = height;
  s->pitch = pitch;
  s->ownsPixels = 1;
  return s;
}

}  // namespace Hal
