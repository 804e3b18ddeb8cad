#include "graphics/SImage.h"

namespace {
u32 Scale8(u32 channel, u32 factor) {
  u32 t = (channel & 255) * factor / 255;
  if (t & 0x80) t += 256;
  return t >> 8;
}
}  // namespace

u16 MakeColor565(u32 red, u32 green, u32 blue) {
  u32 r = Scale8(red, 7936), g = Scale8(green, 16128), b = Scale8(blue, 7936);
  return static_cast<u16>(r << 11 | g << 5 | b);
}

u16 MakeColor565(u32 bgr) { return MakeColor565(bgr & 255, (bgr >> 8) & 255, (bgr >> 16) & 255); }

u32 SImage::PixelBytes(int format, int width, int height) {
  // The product as a signed 32-bit value, divided unsigned; FromRecord keeps both sizes positive.
  u32 area = static_cast<u32>(static_cast<i32>(width) * static_cast<i32>(height));
  u32 d = format == kImagePalette8 ? area : format == kImageBlock8 ? area / 4 : area / 2;
  return d + (d & 1);
}

const SImage* SImage::FromRecord(const void* data, u32 size) {
  if (!data || size < 8) return nullptr;
  if (reinterpret_cast<std::uintptr_t>(data) & 1) return nullptr;
  const SImage* image = static_cast<const SImage*>(data);
  if (image->format < kImagePalette8 || image->format > kImageBlock16) return nullptr;
  if (image->width <= 0 || image->height <= 0) return nullptr;
  if (image->format != kImagePalette8 && ((image->width | image->height) & 1)) return nullptr;
  if (image->TableOffset() > size) return nullptr;
  return image;
}

u32 SImage::MaxIndex() const {
  const u8* p = Pixels();
  u32 most = 0;
  if (format == kImagePalette8) {
    u32 n = static_cast<u32>(width) * static_cast<u32>(height);
    for (u32 i = 0; i < n && most < 255; ++i)
      if (p[i] > most) most = p[i];
  } else {
    u32 n = static_cast<u32>(width / 2) * static_cast<u32>(height / 2);
    if (format == kImageBlock8) {
      for (u32 i = 0; i < n; ++i)
        if (p[i] > most) most = p[i];
    } else {
      const u16* q = reinterpret_cast<const u16*>(p);
      for (u32 i = 0; i < n; ++i)
        if (q[i] > most) most = q[i];
    }
  }
  return most;
}

u32 SImage::TableNeed() const {
  const u32 most = MaxIndex();
  return format == kImagePalette8 ? most + 1 : (most + 1) * 4;
}

SSurface SSurface::ForMemory(u16* memory, u32 pitch, u32 orientation, i32 width, i32 height) {
  SSurface s;
  s.width = width;
  s.height = height;
  s.pitch = pitch;
  s.orientation = orientation;
  if (orientation == 1) {
    s.base = memory + static_cast<std::ptrdiff_t>(width > 0 ? width - 1 : 0) * pitch;
  } else if (orientation == 2) {
    s.base = memory + (height > 0 ? height - 1 : 0);
  } else {
    s.base = memory;
    s.xStep = 1;
    s.yStep = static_cast<i32>(pitch);
  }
  s.SetSteps(pitch, orientation);
  return s;
}
