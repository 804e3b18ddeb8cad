#include "platform/hal/Blit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// A surface with four spare pixels at the end of each row and a spare row, all holding a canary, so that
// a copy writing outside the surface shows.
struct Guarded {
  static constexpr u16 kCanary = 0xDEAD;
  Guarded(u32 w, u32 h) : storage((w + 4) * (h + 1), kCanary), surface(w, h, (w + 4) * 2, storage.data()) {}
  u16& At(u32 x, u32 y) { return surface.Row(y)[x]; }
  bool CanariesIntact() const {
    for (u32 y = 0; y <= surface.height; ++y)
      for (u32 x = (y < surface.height ? surface.width : 0); x < surface.width + 4; ++x)
        if (storage[y * (surface.width + 4) + x] != kCanary) return false;
    return true;
  }
  std::vector<u16> storage;
  Hal::Surface surface;
};

struct Routine {
  const char* name;
  Hal::RotatedCopy copy;
  int turn;  // 1 clockwise, 3 counter-clockwise, 2 half
};

}  // namespace

// Every pixel of a rotated copy lands where the turn puts it, for every routine, on sizes that are and
// are not whole 16 x 16 blocks, and nothing outside the destination is written.
TEST(Blit, RotatedCopiesPutEveryPixelWhereTheTurnSays) {
  const Routine routines[] = {{"CW", Hal::BlitRotate90CW, 1},
                              {"CWByRows", Hal::BlitRotate90CWByRows, 1},
                              {"CCW", Hal::BlitRotate90CCW, 3},
                              {"CCWByRows", Hal::BlitRotate90CCWByRows, 3},
                              {"180", Hal::BlitRotate180, 2}};
  const u32 sizes[][2] = {{64, 48}, {48, 64}, {40, 24}, {240, 320}};
  for (u32 prefetch : {0u, 2u}) {
    Hal::SelectBlockRoutines(prefetch);
    for (const Routine& r : routines) {
      for (const auto& size : sizes) {
        const u32 ws = size[0], hs = size[1];
        Guarded src(ws, hs);
        for (u32 y = 0; y < hs; ++y)
          for (u32 x = 0; x < ws; ++x) src.At(x, y) = u16(x + y * ws);
        const bool odd = r.turn & 1;
        Guarded dst(odd ? hs : ws, odd ? ws : hs);
        r.copy(&dst.surface, &src.surface, Hal::Rect{0, 0, i32(dst.surface.width), i32(dst.surface.height)});
        for (u32 sy = 0; sy < hs; ++sy)
          for (u32 sx = 0; sx < ws; ++sx) {
            u32 dx, dy;
            if (r.turn == 1) {
              dx = hs - 1 - sy;
              dy = sx;
            } else if (r.turn == 3) {
              dx = sy;
              dy = ws - 1 - sx;
            } else {
              dx = ws - 1 - sx;
              dy = hs - 1 - sy;
            }
            ASSERT_EQ(dst.At(dx, dy), src.At(sx, sy)) << r.name << " " << ws << "x" << hs << " at " << sx << "," << sy;
          }
        EXPECT_TRUE(dst.CanariesIntact()) << r.name << " " << ws << "x" << hs;
      }
    }
  }
  Hal::SelectBlockRoutines(0);
}

TEST(Blit, RotatedCopyStaysInsideItsRectangle) {
  Guarded src(64, 48), dst(48, 64);
  for (u16& p : src.storage) p = 1;
  for (u32 y = 0; y < 64; ++y)
    for (u32 x = 0; x < 48; ++x) dst.At(x, y) = 0;
  Hal::BlitRotate90CW(&dst.surface, &src.surface, Hal::Rect{16, 16, 32, 48});
  for (u32 y = 0; y < 64; ++y)
    for (u32 x = 0; x < 48; ++x)
      EXPECT_EQ(dst.At(x, y), (x >= 16 && x < 32 && y >= 16 && y < 48) ? 1 : 0) << x << "," << y;
}

TEST(Blit, PlainCopies) {
  Guarded src(20, 10), dst(20, 10);
  for (u32 y = 0; y < 10; ++y)
    for (u32 x = 0; x < 20; ++x) {
      src.At(x, y) = u16(100 + x + y * 20);
      dst.At(x, y) = 0;
    }
  Hal::BlitRect(&dst.surface, &src.surface, Hal::Rect{2, 3, 5, 4});
  EXPECT_EQ(dst.At(2, 3), src.At(2, 3));
  EXPECT_EQ(dst.At(4, 3), src.At(4, 3));
  EXPECT_EQ(dst.At(5, 3), 0);
  EXPECT_EQ(dst.At(2, 4), 0);
  Hal::BlitRows(&dst.surface, &src.surface, 6, 8);
  EXPECT_EQ(dst.At(19, 7), src.At(19, 7));
  EXPECT_EQ(dst.At(0, 8), 0);
  EXPECT_TRUE(dst.CanariesIntact());
  u8 a[77], b[77];
  for (int i = 0; i < 77; ++i) a[i] = u8(i * 3);
  Hal::FastCopy(b, a, 77);
  EXPECT_EQ(std::memcmp(a, b, 77), 0);
}
