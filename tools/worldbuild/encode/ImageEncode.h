// Image records for the world builder and for tests: encodes RGB565 pictures into the game's three image
// formats (palette indices, and 2x2 blocks with 8- or 16-bit block indices through a block quantiser),
// reads and writes PNG files, and makes simple procedural textures.
#pragma once
#include "os/Types.h"

#include <string>
#include <vector>

namespace imageenc {

// An RGB565 picture, rows top to bottom; 0xFFFF is the transparent colour.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<u16> pixels;

  Picture() = default;
  Picture(int w, int h, u16 fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
  u16& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  u16 at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Format 0 from palette indices and a palette (up to 256 colours); the record holds the whole palette.
std::vector<u8> EncodeIndexed(int width, int height, const std::vector<u8>& indices, const std::vector<u16>& palette);
// Format 0 from a picture: its colours exactly when there are at most 256, else the 256 most used with
// every other colour mapped to the nearest of them.
std::vector<u8> EncodePalette(const Picture& picture);
// Format 1 or 2 (even sizes only): 2x2 blocks, exact when the distinct blocks fit the codebook (255 or
// 65,535 entries), else quantised. With keyed set, blocks wholly of the key colour get index 0 (the block
// keyed drawing leaves out) and no other block does; otherwise index 0 is an ordinary block. The key
// colour is the transparent one unless given: a ground colour then stays that colour where a picture is
// drawn whole and is left out where it is drawn keyed.
std::vector<u8> EncodeBlocks(const Picture& picture, int format, bool keyed, int maxBlocks = 0,
                             u16 keyColour = 0xFFFF);
// Any format: 0 EncodePalette, 1 and 2 EncodeBlocks (keyed when the picture has a transparent pixel).
std::vector<u8> Encode(const Picture& picture, int format);
// Decodes a record back into a picture (its own colour table); false for an invalid record.
bool Decode(const std::vector<u8>& record, Picture& out);

// Reads an RGBA or RGB PNG into RGB565 (alpha below 128 becomes transparent 0xFFFF).
bool ReadPng(const std::string& path, Picture& out, std::string& error);
// Writes RGB565 pixels as an RGB PNG (rows of `pitch` pixels).
bool WritePng(const std::string& path, const u16* pixels, int width, int height, int pitch, std::string& error);

// Procedural pictures, deterministic for a seed.
Picture MakeChecker(int width, int height, int cell, u16 a, u16 b);
Picture MakeBricks(int width, int height, u32 seed);
Picture MakeNoise(int width, int height, u16 base, int spread, u32 seed);
Picture MakeGradient(int width, int height, u16 top, u16 bottom);
// Scatters `count` stars of a few brightnesses over the upper three quarters of a picture (a night sky), so
// that the sky's turning shows.
void AddStars(Picture& picture, int count, u32 seed);
// A floor of grey stone slabs in courses of uneven lengths, with dark joints, worn edges and grit; tiles
// seamlessly across and down.
Picture MakeFlagstones(int width, int height, u32 seed);

u16 Rgb565(int r, int g, int b);

}  // namespace imageenc
