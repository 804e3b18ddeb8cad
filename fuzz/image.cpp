// An image record from untrusted bytes: checked as the game checks records from files, then drawn by every
// 2D operation onto small surfaces of each orientation, with its own table when that covers its pixels.
#include "common/Outcome.h"
#include "graphics/SDraw2D.h"
#include "graphics/renderer/SRenderer.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  std::vector<u16> aligned((size + 1) / 2);
  if (size) std::memcpy(aligned.data(), data, size);
  const SImage* image = SImage::FromRecordWithOwnTable(aligned.data(), static_cast<u32>(size));
  FuzzOutcome outcome;
  if (!image) return 0;
  const SBlitSource src = SBlitSource::Of(image);
  for (u32 orientation = 0; orientation < 3; ++orientation) {
    std::vector<u16> memory(96 * 64, 0x1234);
    const SSurface s = SSurface::ForMemory(memory.data(), orientation == 0 ? 96 : 64, orientation, 96, 64);
    for (i32 at : {-7, 0, 40}) {
      SDraw2D::Blit(s, at, at, src, 0, 0, src.width, src.height);
      SDraw2D::BlitKeyed(s, at, -at, src, 1, 1, src.width, src.height);
      SDraw2D::BlitMirroredKeyed(s, at, at, src, src.width, src.height);
      SDraw2D::BlitHalfBlend(s, -at, at, src, 0, src.width, src.height);
      SDraw2D::BlitScaled(s, at, at, src, src.width, src.height, 37, 23);
      SDraw2D::TileImage(s, at, at, src, 61, 45, at == 0);
      SRenderer::BlitRotatedOn(s, 48 + at, 32, src.pixels, src.table, src.width, src.height, src.format, at << 16);
    }
    // Pictures of any size are shrunk at their own stride.
    SDraw2D::ShrinkIcon40(s, -3, 10, src.pixels, src.table, src.width, src.height, src.format);
    SDraw2D::ShrinkIcon20(s, 80, 50, src.pixels, src.table, src.width, src.height, src.format);
    if (image->width >= 50 && image->height >= 50) {
      SDraw2D::ShrinkIcon40(s, 3, 3, src.pixels, src.table, src.format);
      SDraw2D::ShrinkIcon30(s, 70, 40, src.pixels, src.table, src.format);
      SDraw2D::ShrinkIcon20(s, -5, 50, src.pixels, src.table, src.format);
    }
    outcome.Add(std::span<const u16>(memory));
  }
  return 0;
}
