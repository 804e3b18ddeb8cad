#include "Scene.h"

#include <cstring>
#include <map>

namespace scene {
namespace {

using namespace RenderWords;

u16 Rgb(int r, int g, int b) { return u16((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3)); }

// A picture made of 2x2 blocks: each block has a type (0..63) and each type four colours, so the picture
// has at most 256 colours and 64 distinct blocks and encodes exactly in every format.
struct BlockPicture {
  int width, height;
  std::vector<u8> types;     // per block
  std::vector<u16> colours;  // 4 per type: top-left, top-right, bottom-left, bottom-right
};

BlockPicture MakePicture(u16 id) {
  BlockPicture p{};
  auto size = [&](int w, int h) {
    p.width = w;
    p.height = h;
    p.types.assign(size_t(w / 2) * size_t(h / 2), 0);
  };
  p.colours.assign(256, 0);
  auto setType = [&](int t, u16 base, int dr, int dg, int db) {
    const int r = (base >> 11) << 3, g = ((base >> 5) & 63) << 2, b = (base & 31) << 3;
    for (int j = 0; j < 4; ++j) {
      const int k = j == 3 ? 2 : j;
      p.colours[size_t(t) * 4 + size_t(j)] =
          Rgb(std::min(255, r + dr * k), std::min(255, g + dg * k), std::min(255, b + db * k));
    }
  };
  switch (id) {
    case kWall:
    case kUpperWall:
    case kPitSide: {
      // Bricks: mortar lines and a few brick shades; the stored row is a wall column.
      size(64, 64);
      const u16 base = id == kWall ? Rgb(150, 70, 50) : id == kUpperWall ? Rgb(70, 90, 150) : Rgb(90, 80, 60);
      for (int t = 0; t < 8; ++t) setType(t, u16(base + (t << 11) + (t << 1)), 6, 4, 3);
      setType(8, Rgb(200, 200, 190), 2, 2, 2);
      for (int by = 0; by < 32; ++by)
        for (int bx = 0; bx < 32; ++bx) {
          const int course = bx / 8;  // along the stored row: down the wall
          const bool mortar = (bx % 8) == 7 || ((by + (course & 1) * 8) % 16) == 15;
          p.types[size_t(by) * 32 + size_t(bx)] = u8(mortar ? 8 : (bx / 8 * 3 + by / 16) % 8);
        }
      break;
    }
    case kFloor:
    case kFloor2:
    case kFloor3:
    case kOverlay:
    case kCeiling: {
      size(256, 256);
      const u16 a = id == kFloor     ? Rgb(90, 120, 60)
                    : id == kFloor2  ? Rgb(160, 140, 100)
                    : id == kFloor3  ? Rgb(60, 60, 140)
                    : id == kCeiling ? Rgb(110, 100, 95)
                                     : Rgb(200, 40, 40);
      for (int t = 0; t < 16; ++t) setType(t, u16(a + (t & 3) * 0x0841 + (t >> 2) * 0x0020), 3, 3, 3);
      setType(16, 0xFFFF, 0, 0, 0);  // transparent for the keyed layers
      for (int by = 0; by < 128; ++by)
        for (int bx = 0; bx < 128; ++bx) {
          u8 t = u8(((bx / 16) + (by / 16)) % 4 + 4 * (((bx * 7 + by * 3) / 5) % 4));
          if ((bx % 32) == 0 || (by % 32) == 0) t = 15;
          if ((id == kFloor3 || id == kOverlay) && ((bx / 16 + by / 16) % 2 == 0)) t = 16;
          p.types[size_t(by) * 128 + size_t(bx)] = t;
        }
      break;
    }
    case kSky: {
      size(760, 110);
      for (int t = 0; t < 14; ++t) setType(t, Rgb(60 + t * 8, 100 + t * 8, 200 + t * 3), 1, 1, 0);
      for (int t = 14; t < 20; ++t) setType(t, Rgb(220 + (t - 14) * 5, 220 + (t - 14) * 5, 230), 2, 2, 1);
      for (int by = 0; by < 55; ++by)
        for (int bx = 0; bx < 380; ++bx) {
          u8 t = u8(by / 4);
          const int cx = bx % 95 - 40, cy = by - 20;
          if (cx * cx / 4 + cy * cy * 2 < 150 + (bx % 7) * 10) t = u8(14 + (bx + by) % 6);
          p.types[size_t(by) * 380 + size_t(bx)] = t;
        }
      break;
    }
    case kWindow: {
      size(64, 64);
      setType(0, Rgb(200, 180, 60), 5, 5, 0);
      setType(1, 0xFFFF, 0, 0, 0);
      setType(2, Rgb(80, 60, 20), 3, 3, 3);
      for (int by = 0; by < 32; ++by)
        for (int bx = 0; bx < 32; ++bx) {
          const bool frame = bx < 4 || bx > 27 || by < 4 || by > 27 || bx == 15 || by == 15;
          p.types[size_t(by) * 32 + size_t(bx)] = u8(frame ? ((bx + by) % 5 == 0 ? 2 : 0) : 1);
        }
      break;
    }
    case kTree:
    case kCreature:
    case kItem:
    case kDoor:
    case kArch:
    case kHandle:
    case kShield:
    case kHand:
    case kBanner:
    case kGhost: {
      // Block type 0 is transparent: 0xFFFF in every corner (and block 0 in the block formats).
      struct Dim {
        int w, h;
      } dims[] = {{64, 96}, {48, 64}, {24, 16}, {64, 128}, {128, 128},
                  {16, 16}, {32, 32}, {96, 80}, {32, 64},  {48, 64}};
      const int which = id - kTree;
      size(dims[which].w, dims[which].h);
      setType(0, 0xFFFF, 0, 0, 0);
      const int bw = p.width / 2, bh = p.height / 2;
      auto put = [&](int bx, int by, int t) { p.types[size_t(by) * size_t(bw) + size_t(bx)] = u8(t); };
      switch (id) {
        case kTree:
          for (int t = 1; t < 6; ++t) setType(t, Rgb(30 + t * 12, 100 + t * 18, 40), 6, 6, 2);
          setType(6, Rgb(110, 70, 30), 4, 3, 2);
          for (int by = 0; by < bh; ++by)
            for (int bx = 0; bx < bw; ++bx) {
              const int cx = bx - 16, cy = by - 17;
              if (cx * cx + cy * cy < 15 * 15)
                put(bx, by, 1 + (bx * 3 + by * 5) % 5);
              else if (by > 28 && bx >= 13 && bx < 19)
                put(bx, by, 6);
            }
          break;
        case kCreature:
        case kGhost:
          setType(1, id == kGhost ? Rgb(200, 220, 255) : Rgb(170, 60, 60), 8, 4, 4);
          setType(2, Rgb(250, 240, 80), 0, 0, 0);
          setType(3, id == kGhost ? Rgb(120, 140, 220) : Rgb(90, 30, 30), 5, 5, 5);
          for (int by = 0; by < bh; ++by)
            for (int bx = 0; bx < bw; ++bx) {
              const int cx = bx - 12, cy = by - 18;
              if (cx * cx * 2 + cy * cy < 200)
                put(bx, by, (by == 10 && (bx == 8 || bx == 15)) ? 2 : 1);
              else if (by > 26 && (bx == 6 || bx == 7 || bx == 16 || bx == 17))
                put(bx, by, 3);
              else if (by < 10 && bx < 4 && id == kCreature)
                put(bx, by, 3);  // an arm on one side
            }
          break;
        case kItem:
          setType(1, Rgb(150, 100, 40), 4, 3, 1);
          setType(2, Rgb(240, 200, 60), 2, 2, 0);
          for (int by = 1; by < bh; ++by)
            for (int bx = 1; bx < bw - 1; ++bx) put(bx, by, (by == 3 || bx == 6) ? 2 : 1);
          break;
        case kDoor:
          for (int t = 1; t < 5; ++t) setType(t, Rgb(120 + t * 10, 80 + t * 6, 40), 3, 2, 1);
          setType(5, Rgb(60, 40, 20), 1, 1, 1);
          for (int by = 0; by < bh; ++by)
            for (int bx = 0; bx < bw; ++bx) put(bx, by, (bx % 8 == 7 || by == 10 || by == 52) ? 5 : 1 + (bx / 8) % 4);
          break;
        case kArch:
          for (int t = 1; t < 5; ++t) setType(t, Rgb(140 + t * 8, 140 + t * 8, 130 + t * 6), 3, 3, 3);
          for (int by = 0; by < bh; ++by)
            for (int bx = 0; bx < bw; ++bx) {
              const int cx = bx - 32, cy = by - 24;
              const bool opening = (bx >= 12 && bx < 52 && by >= 24) || (cy < 0 && cx * cx + cy * cy < 20 * 20);
              if (!opening) put(bx, by, 1 + ((bx / 6) + (by / 4)) % 4);
            }
          break;
        case kHandle:
          setType(1, Rgb(230, 190, 50), 3, 3, 0);
          for (int by = 0; by < bh; ++by)
            for (int bx = 0; bx < bw; ++bx) {
              const int d = (bx * 2 - 7) * (bx * 2 - 7) + (by * 2 - 7) * (by * 2 - 7);
              if (d > 12 && d < 60) put(bx, by, 1);
            }
          break;
        case kShield:
          setType(1, Rgb(40, 80, 200), 2, 2, 6);
          setType(2, Rgb(240, 220, 60), 2, 2, 0);
          for (int by = 0; by < bh; ++by)
            for (int bx = 0; bx < bw; ++bx)
              if (by < 10 || (bx - 8) * (bx - 8) < (16 - by) * 4) put(bx, by, (bx == 7 || bx == 8 || by == 5) ? 2 : 1);
          break;
        case kHand:
          setType(1, Rgb(230, 180, 140), 3, 3, 3);
          setType(2, Rgb(120, 120, 130), 4, 4, 4);
          for (int by = 0; by < bh; ++by)
            for (int bx = 0; bx < bw; ++bx) {
              if (bx > 16 + by / 3 && bx < 40 && by > 10)
                put(bx, by, 1);
              else if (by <= 10 && bx > 20 && bx < 34 && (bx % 4) != 0)
                put(bx, by, 1);
              if (bx >= 38 && by > 6) put(bx, by, 2);  // a blade along the right edge
            }
          break;
        case kBanner:
          setType(1, Rgb(180, 30, 40), 4, 2, 2);
          setType(2, Rgb(240, 210, 80), 2, 2, 0);
          for (int by = 0; by < bh - 4; ++by)
            for (int bx = 0; bx < bw; ++bx) put(bx, by, (by % 8 == 3) ? 2 : 1);
          for (int bx = 0; bx < bw; ++bx)
            for (int by = bh - 4; by < bh - 4 + (bx < bw / 2 ? bx : bw - 1 - bx) && by < bh; ++by) put(bx, by, 1);
          break;
        default: break;
      }
      break;
    }
    default: size(2, 2); break;
  }
  return p;
}

std::vector<u16> Encode(const BlockPicture& p, int format) {
  const u32 D = SImage::PixelBytes(format, p.width, p.height);
  const u32 tableEntries = format == 0 ? 256 : 64 * 4;
  std::vector<u16> rec((8 + D) / 2 + tableEntries, 0);
  u8* bytes = reinterpret_cast<u8*>(rec.data());
  bytes[0] = u8(format);
  const i16 w = i16(p.width), h = i16(p.height);
  std::memcpy(bytes + 2, &w, 2);
  std::memcpy(bytes + 4, &h, 2);
  u8* data = bytes + 8;
  const int bw = p.width / 2;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const u8 t = p.types[size_t(y / 2) * size_t(bw) + size_t(x / 2)];
      if (format == 0) {
        data[size_t(y) * size_t(p.width) + size_t(x)] = u8(t * 4 + (y & 1) * 2 + (x & 1));
      } else if (((x | y) & 1) == 0) {
        const size_t at = size_t(y / 2) * size_t(bw) + size_t(x / 2);
        if (format == 1)
          data[at] = t;
        else
          std::memcpy(data + at * 2, &t, 1), data[at * 2 + 1] = 0;
      }
    }
  u16* table = rec.data() + (8 + D) / 2;
  for (u32 i = 0; i < tableEntries && i < p.colours.size(); ++i) table[i] = p.colours[i];
  return rec;
}

std::vector<u16> MakeMask(int seed) {
  // 128 mask rows of 4 words (a 256x256 floor), as a format-0 record 16 bytes wide.
  std::vector<u16> rec(4 + 128 * 8, 0);
  u8* bytes = reinterpret_cast<u8*>(rec.data());
  const i16 w = 16, h = 128;
  std::memcpy(bytes + 2, &w, 2);
  std::memcpy(bytes + 4, &h, 2);
  for (int row = 0; row < 128; ++row)
    for (int word = 0; word < 4; ++word) {
      u32 bits = 0;
      for (int b = 0; b < 32; ++b) {
        const int bx = word * 32 + b;  // block column
        const int cx = bx - 64, cy = row - 64;
        const bool on = seed == 1 ? (cx * cx + cy * cy < 40 * 40) : ((bx / 8 + row / 8) % 3 == 0);
        if (on) bits |= 1u << b;
      }
      std::memcpy(bytes + 8 + (row * 4 + word) * 4, &bits, 4);
    }
  return rec;
}

}  // namespace

std::vector<u16> Scene::MakeImage(u16 id, int format) {
  if (id == kMask1) return MakeMask(1);
  if (id == kMask2) return MakeMask(2);
  return Encode(MakePicture(id), format);
}

Scene::Scene(const Options& o) : options(o) {
  records_.resize(kImageCount);
  images_.assign(kImageCount, nullptr);
  sizes_.assign(kImageCount, 0);
  for (u16 id = 1; id < kImageCount; ++id) {
    records_[id] = MakeImage(id, o.format);
    images_[id] = reinterpret_cast<const SImage*>(records_[id].data());
    sizes_[id] = u32(records_[id].size() * 2);
  }

  // Floor types: 1 plain, 2 pit, 3 two layers + mask, 4 three layers + two masks.
  floorTypes_.assign(5 * kFloorTypeWords, 0);
  auto ft = [&](int i) { return &floorTypes_[size_t(i) * kFloorTypeWords]; };
  ft(1)[0] = kFloor;
  ft(2)[0] = kPitSide;
  ft(2)[6] = 1;
  ft(3)[0] = kFloor;
  ft(3)[1] = kFloor2;
  ft(3)[7] = kMask1;
  ft(4)[0] = kFloor;
  ft(4)[1] = kFloor2;
  ft(4)[2] = kFloor3;
  ft(4)[7] = kMask1;
  ft(4)[8] = kMask2;
  // Objects: 1 lower wall block, 2 overlay (render type 6), 3 upper wall block.
  objects_.assign(4 * kObjectWords, 0);
  auto ob = [&](int i) { return &objects_[size_t(i) * kObjectWords]; };
  ob(1)[0] = 2;
  ob(1)[1] = kWall;
  ob(2)[0] = 6;
  ob(2)[1] = kOverlay;
  ob(3)[0] = 2;
  ob(3)[1] = kUpperWall;
  // Wall faces: 1 gives all four surrounding walls the windowed second layer.
  wallFaces_.assign(2 * kWallFaceWords, 0);
  for (int s = 0; s < 4; ++s) {
    wallFaces_[kWallFaceWords + 16 + size_t(s)] = 0x8000;
    wallFaces_[kWallFaceWords + 20 + size_t(s)] = kWindow;
  }

  const int mh = int(o.rows.size()), mw = mh ? int(o.rows[0].size()) : 0;
  cells_.assign(size_t(mw) * size_t(mh) * kCellWords, 0);
  sides_.assign(size_t(mw) * size_t(mh) * kCellSideWords, 0);
  for (int y = 0; y < mh; ++y)
    for (int x = 0; x < mw; ++x) {
      u16* c = &cells_[(size_t(y) * size_t(mw) + size_t(x)) * kCellWords];
      u16* s = &sides_[(size_t(y) * size_t(mw) + size_t(x)) * kCellSideWords];
      c[11] = o.lightScale;
      s[2] = o.lightScale;
      const char ch = x < int(o.rows[size_t(y)].size()) ? o.rows[size_t(y)][size_t(x)] : ' ';
      switch (ch) {
        case '.': c[0] = 1; break;
        case '#':
          c[1] = 1;
          s[0] = 3;
          break;
        case 'L': c[1] = 1; break;
        case 'U':
          c[0] = 1;
          s[0] = 3;
          break;
        case 'p': c[0] = 2; break;
        case 'm': c[0] = 3; break;
        case '3': c[0] = 4; break;
        case '4':
          c[0] = 1;
          c[1] = 2;
          break;
        case '5':
          c[0] = 3;
          c[1] = 2;
          break;
        case 'w':
          c[0] = 1;
          c[2] = 1;
          s[1] = 1;
          break;
        default: break;
      }
    }

  feet.assign(kImageCount, 0);
  feet[kTree] = 2;
  feet[kCreature] = 4;
  feet[kGhost] = 4;
  feet[kItem] = 1;
  feet[kDoor] = 0;
  floorItems_.assign(kFloorItemWords, 0);
  creatures_.assign(kCreatureWords, 0);
  Relink();
  view.cells = cells_.data();
  view.cellSides = sides_.data();
  view.images = images_.data();
  view.imageCount = kImageCount;
  view.imageSizes = sizes_.data();
  static const u16* const noPalettes[1] = {nullptr};
  view.palettes = noPalettes;
  view.paletteCount = 1;
  view.floorTypes = floorTypes_.data();
  view.floorTypeCount = 5;
  view.objects = objects_.data();
  view.objectCount = 4;
  view.wallFaces = wallFaces_.data();
  view.wallFaceCount = 2;
  view.flags = o.sky ? 1 : 0;
  view.skyTexture = o.sky ? kSky : kCeiling;
  view.cameraX = i32(o.camX * 65536.0);
  view.cameraY = i32(o.camY * 65536.0);
  view.angle = o.angle16 >= 0 ? o.angle16 : i32(o.angleDegrees * 65536.0);
  view.skyAngle = o.skyAngle;
  view.mapWidth = u16(mw);
  view.mapHeight = u16(mh);
  view.fogStart = o.fogStart;
  view.far = o.far;
  view.fogColor = o.fogColor;
  view.viewX = o.viewX;
  view.viewY = o.viewY;
  view.viewWidth = o.viewWidth;
  view.viewHeight = o.viewHeight;
  view.orientation = o.orientation;

  const i32 sw = o.screenWidth ? o.screenWidth : o.viewX + o.viewWidth;
  const i32 sh = o.screenHeight ? o.screenHeight : o.viewY + o.viewHeight;
  // Physical memory: rotated surfaces have their rows along the logical y axis.
  const bool rotated = o.orientation != 0;
  pitch = rotated ? sh : sw;
  frame.assign(size_t(sw) * size_t(sh), 0);
  screen = SSurface::ForMemory(frame.data(), u32(pitch), o.orientation, sw, sh);
  view.frameBuffer = screen.base;
  view.pitch = pitch;
}

void Scene::Relink() {
  view.cells = cells_.data();
  view.cellSides = sides_.data();
  view.imageFeet = feet.data();
  view.objects = objects_.data();
  view.objectCount = u32(objects_.size() / kObjectWords);
  view.wallFaces = wallFaces_.data();
  view.wallFaceCount = u32(wallFaces_.size() / kWallFaceWords);
  view.floorItems = floorItems_.data();
  view.floorItemCount = u32(floorItems_.size() / kFloorItemWords);
  view.creatures = creatures_.data();
  view.creatureCount = u32(creatures_.size() / kCreatureWords);
}

namespace {
u16 Append(std::vector<u16>& table, int words, const std::vector<u16>& record) {
  const u16 id = u16(table.size() / size_t(words));
  for (int i = 0; i < words; ++i) table.push_back(i < int(record.size()) ? record[size_t(i)] : 0);
  return id;
}
}  // namespace

u16 Scene::AddObject(const std::vector<u16>& words) {
  const u16 id = Append(objects_, kObjectWords, words);
  Relink();
  return id;
}
u16 Scene::AddWallFace(const std::vector<u16>& words) {
  const u16 id = Append(wallFaces_, kWallFaceWords, words);
  Relink();
  return id;
}
u16 Scene::AddFloorItems(const std::vector<u16>& images) {
  const u16 id = Append(floorItems_, kFloorItemWords, images);
  Relink();
  return id;
}
u16 Scene::AddCreature(const std::vector<u16>& words) {
  const u16 id = Append(creatures_, kCreatureWords, words);
  Relink();
  return id;
}
void Scene::SetCell(int x, int y, int word, u16 value) {
  cells_[(size_t(y) * view.mapWidth + size_t(x)) * kCellWords + size_t(word)] = value;
}
void Scene::SetSide(int x, int y, int word, u16 value) {
  sides_[(size_t(y) * view.mapWidth + size_t(x)) * kCellSideWords + size_t(word)] = value;
}

void Scene::Render(SRenderer& renderer) {
  std::fill(frame.begin(), frame.end(), u16(0xF81F));
  renderer.view = &view;
  renderer.DrawView();
}

std::vector<u16> Scene::Viewport() const {
  std::vector<u16> out(size_t(options.viewWidth) * size_t(options.viewHeight));
  for (i32 y = 0; y < options.viewHeight; ++y)
    for (i32 x = 0; x < options.viewWidth; ++x)
      out[size_t(y) * size_t(options.viewWidth) + size_t(x)] = *screen.Pixel(options.viewX + x, options.viewY + y);
  return out;
}

}  // namespace scene
