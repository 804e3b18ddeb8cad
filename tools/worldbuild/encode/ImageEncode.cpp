#include "ImageEncode.h"

#include "graphics/SImage.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <unordered_map>

namespace imageenc {
namespace {

void PutHeader(std::vector<u8>& out, int format, int width, int height) {
  out.assign(8, 0);
  out[0] = static_cast<u8>(format);
  out[2] = static_cast<u8>(width & 255);
  out[3] = static_cast<u8>((width >> 8) & 255);
  out[4] = static_cast<u8>(height & 255);
  out[5] = static_cast<u8>((height >> 8) & 255);
}

void PutU16(std::vector<u8>& out, u16 v) {
  out.push_back(static_cast<u8>(v & 255));
  out.push_back(static_cast<u8>(v >> 8));
}

void PadToTable(std::vector<u8>& out, int format, int width, int height) {
  out.resize(SImage::TableOffset(format, width, height), 0);
}

// Squared distance of two colours with the channels on a common 6-bit scale.
int Distance(u16 a, u16 b) {
  int dr = ((a >> 11) - (b >> 11)) * 2, dg = ((a >> 5) & 63) - ((b >> 5) & 63), db = ((a & 31) - (b & 31)) * 2;
  return dr * dr + dg * dg + db * db;
}

using Block = std::array<u16, 4>;

int BlockDistance(const Block& a, const Block& b) {
  int d = 0;
  for (int i = 0; i < 4; ++i) {
    if ((a[i] == kColorKey565) != (b[i] == kColorKey565)) {
      d += 1 << 20;  // never trade a transparent texel for an opaque one if anything else fits
    } else {
      d += Distance(a[i], b[i]);
    }
  }
  return d;
}

// Reduces weighted blocks to at most k representatives (k-means from the most used blocks).
std::vector<Block> Quantise(const std::vector<std::pair<Block, u32>>& blocks, size_t k) {
  std::vector<size_t> order(blocks.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return blocks[a].second > blocks[b].second; });
  std::vector<Block> centres;
  for (size_t i = 0; i < k && i < order.size(); ++i) centres.push_back(blocks[order[i]].first);
  std::vector<size_t> owner(blocks.size(), 0);
  for (int pass = 0; pass < 4; ++pass) {
    for (size_t i = 0; i < blocks.size(); ++i) {
      int best = -1;
      for (size_t c = 0; c < centres.size(); ++c) {
        int d = BlockDistance(blocks[i].first, centres[c]);
        if (best < 0 || d < best) {
          best = d;
          owner[i] = c;
        }
      }
    }
    struct Sum {
      u64 r[4] = {}, g[4] = {}, b[4] = {}, n[4] = {}, keys[4] = {}, total = 0;
    };
    std::vector<Sum> sums(centres.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
      Sum& s = sums[owner[i]];
      const u32 w = blocks[i].second;
      s.total += w;
      for (int t = 0; t < 4; ++t) {
        u16 c = blocks[i].first[t];
        if (c == kColorKey565) {
          s.keys[t] += w;
        } else {
          s.r[t] += static_cast<u64>(c >> 11) * w;
          s.g[t] += static_cast<u64>((c >> 5) & 63) * w;
          s.b[t] += static_cast<u64>(c & 31) * w;
          s.n[t] += w;
        }
      }
    }
    for (size_t c = 0; c < centres.size(); ++c) {
      const Sum& s = sums[c];
      if (!s.total) continue;
      for (int t = 0; t < 4; ++t) {
        if (s.keys[t] * 2 > s.total || !s.n[t]) {
          centres[c][t] = kColorKey565;
        } else {
          u16 v = static_cast<u16>((s.r[t] + s.n[t] / 2) / s.n[t] << 11 | (s.g[t] + s.n[t] / 2) / s.n[t] << 5 |
                                   (s.b[t] + s.n[t] / 2) / s.n[t]);
          centres[c][t] = v == kColorKey565 ? 0xFFDF : v;  // an opaque average never becomes the key
        }
      }
    }
  }
  return centres;
}

}  // namespace

u16 Rgb565(int r, int g, int b) {
  return MakeColor565(static_cast<u32>(std::clamp(r, 0, 255)), static_cast<u32>(std::clamp(g, 0, 255)),
                      static_cast<u32>(std::clamp(b, 0, 255)));
}

std::vector<u8> EncodeIndexed(int width, int height, const std::vector<u8>& indices, const std::vector<u16>& palette) {
  std::vector<u8> out;
  PutHeader(out, 0, width, height);
  out.insert(out.end(), indices.begin(), indices.begin() + static_cast<long>(width) * height);
  PadToTable(out, 0, width, height);
  for (u16 c : palette) PutU16(out, c);
  return out;
}

std::vector<u8> EncodePalette(const Picture& picture) {
  std::unordered_map<u16, u32> counts;
  for (u16 c : picture.pixels) ++counts[c];
  std::vector<std::pair<u16, u32>> colours(counts.begin(), counts.end());
  std::sort(colours.begin(), colours.end(), [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : a.first < b.first;
  });
  std::vector<u16> palette;
  for (size_t i = 0; i < colours.size() && i < 256; ++i) palette.push_back(colours[i].first);
  std::unordered_map<u16, u8> index;
  for (size_t i = 0; i < palette.size(); ++i) index[palette[i]] = static_cast<u8>(i);
  std::vector<u8> indices(picture.pixels.size());
  for (size_t i = 0; i < indices.size(); ++i) {
    u16 c = picture.pixels[i];
    auto it = index.find(c);
    if (it == index.end()) {
      int best = -1;
      u8 pick = 0;
      for (size_t p = 0; p < palette.size(); ++p) {
        if (palette[p] == kColorKey565) continue;
        int d = Distance(c, palette[p]);
        if (best < 0 || d < best) {
          best = d;
          pick = static_cast<u8>(p);
        }
      }
      it = index.emplace(c, pick).first;
    }
    indices[i] = it->second;
  }
  return EncodeIndexed(picture.width, picture.height, indices, palette);
}

std::vector<u8> EncodeBlocks(const Picture& picture, int format, bool keyed, int maxBlocks, u16 keyColour) {
  const int w = picture.width, h = picture.height;
  if ((format != 1 && format != 2) || w <= 0 || h <= 0 || (w & 1) || (h & 1)) return {};
  const size_t limit = format == 1 ? 256 : 65536;
  size_t capacity = maxBlocks > 0 ? std::min<size_t>(static_cast<size_t>(maxBlocks), limit) : limit;
  const Block transparent = {keyColour, keyColour, keyColour, keyColour};
  const int bw = w / 2, bh = h / 2;
  std::vector<Block> grid(static_cast<size_t>(bw) * bh);
  std::map<Block, u32> counts;
  for (int by = 0; by < bh; ++by) {
    for (int bx = 0; bx < bw; ++bx) {
      Block b = {picture.at(2 * bx, 2 * by), picture.at(2 * bx + 1, 2 * by), picture.at(2 * bx, 2 * by + 1),
                 picture.at(2 * bx + 1, 2 * by + 1)};
      grid[static_cast<size_t>(by) * bw + bx] = b;
      if (!(keyed && b == transparent)) ++counts[b];
    }
  }
  if (keyed) --capacity;  // index 0 is the keyed block
  std::vector<Block> book;
  if (counts.size() <= capacity) {
    for (const auto& [b, n] : counts) book.push_back(b);
  } else {
    book = Quantise(std::vector<std::pair<Block, u32>>(counts.begin(), counts.end()), capacity);
  }
  std::map<Block, u32> exact;
  for (size_t i = 0; i < book.size(); ++i) exact.emplace(book[i], static_cast<u32>(i + (keyed ? 1 : 0)));
  std::vector<u8> out;
  PutHeader(out, format, w, h);
  for (const Block& b : grid) {
    u32 idx = 0;
    if (!(keyed && b == transparent)) {
      auto it = exact.find(b);
      if (it != exact.end()) {
        idx = it->second;
      } else {
        int best = -1;
        for (size_t i = 0; i < book.size(); ++i) {
          int d = BlockDistance(b, book[i]);
          if (best < 0 || d < best) {
            best = d;
            idx = static_cast<u32>(i + (keyed ? 1 : 0));
          }
        }
        exact.emplace(b, idx);
      }
    }
    if (format == 1) {
      out.push_back(static_cast<u8>(idx));
    } else {
      PutU16(out, static_cast<u16>(idx));
    }
  }
  PadToTable(out, format, w, h);
  if (keyed)
    for (u16 c : transparent) PutU16(out, c);
  for (const Block& b : book)
    for (u16 c : b) PutU16(out, c);
  return out;
}

std::vector<u8> Encode(const Picture& picture, int format) {
  if (format == 0) return EncodePalette(picture);
  bool keyed = std::find(picture.pixels.begin(), picture.pixels.end(), kColorKey565) != picture.pixels.end();
  return EncodeBlocks(picture, format, keyed);
}

bool Decode(const std::vector<u8>& record, Picture& out) {
  // Copy into 2-byte aligned storage: the record is read in place.
  std::vector<u16> aligned((record.size() + 1) / 2);
  std::memcpy(aligned.data(), record.data(), record.size());
  const SImage* image = SImage::FromRecord(aligned.data(), static_cast<u32>(record.size()));
  if (!image || !image->TableCovers(image->OwnTableEntries(static_cast<u32>(record.size())))) return false;
  out = Picture(image->width, image->height);
  const u16* table = image->GetPalette();
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x)
      out.at(x, y) = SImage::Texel(image->format, image->Pixels(), table, image->IndexStride(), x, y);
  return true;
}

bool ReadPng(const std::string& path, Picture& out, std::string& error) {
  png_image img;
  std::memset(&img, 0, sizeof img);
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&img, path.c_str())) {
    error = img.message;
    return false;
  }
  img.format = PNG_FORMAT_RGBA;
  std::vector<u8> rgba(PNG_IMAGE_SIZE(img));
  if (!png_image_finish_read(&img, nullptr, rgba.data(), 0, nullptr)) {
    error = img.message;
    png_image_free(&img);
    return false;
  }
  out = Picture(static_cast<int>(img.width), static_cast<int>(img.height));
  for (size_t i = 0; i < out.pixels.size(); ++i) {
    const u8* p = &rgba[i * 4];
    if (p[3] < 128) {
      out.pixels[i] = kColorKey565;
    } else {
      u16 c = MakeColor565(p[0], p[1], p[2]);
      out.pixels[i] = c == kColorKey565 ? 0xFFDF : c;  // opaque white must not turn transparent
    }
  }
  return true;
}

bool WritePng(const std::string& path, const u16* pixels, int width, int height, int pitch, std::string& error) {
  std::vector<u8> rgb(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      u16 c = pixels[static_cast<size_t>(y) * pitch + x];
      u8* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = static_cast<u8>(((c >> 11) * 255 + 15) / 31);
      p[1] = static_cast<u8>((((c >> 5) & 63) * 255 + 31) / 63);
      p[2] = static_cast<u8>(((c & 31) * 255 + 15) / 31);
    }
  }
  png_image img;
  std::memset(&img, 0, sizeof img);
  img.version = PNG_IMAGE_VERSION;
  img.width = static_cast<png_uint_32>(width);
  img.height = static_cast<png_uint_32>(height);
  img.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&img, path.c_str(), 0, rgb.data(), 0, nullptr)) {
    error = img.message;
    return false;
  }
  return true;
}

namespace {
u32 NextRandom(u32& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}
}  // namespace

Picture MakeChecker(int width, int height, int cell, u16 a, u16 b) {
  Picture p(width, height);
  cell = std::max(cell, 1);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p.at(x, y) = ((x / cell + y / cell) & 1) ? b : a;
  return p;
}

Picture MakeBricks(int width, int height, u32 seed) {
  Picture p(width, height);
  u32 state = seed;
  const int bh = std::max(height / 8, 2), bw = std::max(width / 4, 4);
  for (int y = 0; y < height; ++y) {
    const int row = y / bh;
    const int shift = (row & 1) ? bw / 2 : 0;
    for (int x = 0; x < width; ++x) {
      const bool mortar = (y % bh == 0) || ((x + shift) % bw == 0);
      int v = static_cast<int>(NextRandom(state) % 24);
      p.at(x, y) = mortar ? Rgb565(150 + v, 145 + v, 135 + v) : Rgb565(140 + v, 60 + v / 2, 40 + v / 2);
    }
  }
  return p;
}

Picture MakeNoise(int width, int height, u16 base, int spread, u32 seed) {
  Picture p(width, height);
  u32 state = seed;
  const int r = (base >> 11) * 255 / 31, g = ((base >> 5) & 63) * 255 / 63, b = (base & 31) * 255 / 31;
  for (auto& px : p.pixels) {
    int v = spread > 0 ? static_cast<int>(NextRandom(state) % static_cast<u32>(2 * spread + 1)) - spread : 0;
    px = Rgb565(r + v, g + v, b + v);
  }
  return p;
}

Picture MakeGradient(int width, int height, u16 top, u16 bottom) {
  Picture p(width, height);
  auto ch = [](u16 c, int shift, int bits) { return ((c >> shift) & ((1 << bits) - 1)) * 255 / ((1 << bits) - 1); };
  for (int y = 0; y < height; ++y) {
    const int t = height > 1 ? y * 256 / (height - 1) : 0;
    auto mix = [&](int shift, int bits) {
      return ch(top, shift, bits) + (ch(bottom, shift, bits) - ch(top, shift, bits)) * t / 256;
    };
    const u16 c = Rgb565(mix(11, 5), mix(5, 6), mix(0, 5));
    for (int x = 0; x < width; ++x) p.at(x, y) = c;
  }
  return p;
}

void AddStars(Picture& picture, int count, u32 seed) {
  if (picture.width < 1 || picture.height < 4) return;
  u32 state = seed;
  const u16 shades[3] = {Rgb565(250, 250, 240), Rgb565(190, 200, 230), Rgb565(130, 140, 180)};
  for (int i = 0; i < count; ++i) {
    const int x = static_cast<int>(NextRandom(state) % static_cast<u32>(picture.width));
    const int y = static_cast<int>(NextRandom(state) % static_cast<u32>(picture.height * 3 / 4));
    picture.at(x, y) = shades[NextRandom(state) % 3];
  }
}

Picture MakeFlagstones(int width, int height, u32 seed) {
  Picture p(width, height);
  u32 state = seed;
  const int course = std::max(height / 4, 4);
  for (int top = 0; top < height; top += course) {
    // Slab lengths of this course, between one and two courses, ending exactly at the width.
    std::vector<int> cuts{0};
    for (int x = 0; x < width;) {
      int len = course + static_cast<int>(NextRandom(state) % static_cast<u32>(course));
      if (width - (x + len) < course) len = width - x;
      x += len;
      cuts.push_back(x);
    }
    const int offset = static_cast<int>(NextRandom(state) % static_cast<u32>(width));
    for (size_t k = 0; k + 1 < cuts.size(); ++k) {
      const int tone = static_cast<int>(NextRandom(state) % 28), warm = static_cast<int>(NextRandom(state) % 10);
      const int len = cuts[k + 1] - cuts[k];
      for (int j = 0; j < course && top + j < height; ++j)
        for (int i = 0; i < len; ++i) {
          const int x = (cuts[k] + i + offset) % width, y = top + j;
          int v = 104 + tone + static_cast<int>(NextRandom(state) % 12);
          if (NextRandom(state) % 23 == 0) v -= 30;  // grit
          if (j == 1 || i == 1) v += 18;             // the worn upper-left edge catches the light
          if (j == course - 1 || i == len - 1 || j == 0 || i == 0)
            v = 46 + static_cast<int>(NextRandom(state) % 10);
          else if (j == course - 2 || i == len - 2)
            v -= 20;  // and the lower-right falls into shade
          p.at(x, y) = Rgb565(v + warm, v + warm / 2, v - 4);
        }
    }
  }
  return p;
}

}  // namespace imageenc
