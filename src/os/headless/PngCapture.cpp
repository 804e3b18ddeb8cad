#include "os/headless/PngCapture.h"

#include "os/Files.h"

#include <png.h>

#include <vector>

namespace Os {

bool WritePanelPng(const Panel& panel, const std::string& path, std::string* error) {
  if (panel.width <= 0 || panel.height <= 0) {
    if (error) *error = "cannot write " + path + ": the panel is empty";
    return false;
  }
  return WriteRgb565Png(path, panel.pixels.data(), panel.width, panel.height, panel.width, error);
}

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<u8>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

void FlushNothing(png_structp) {}

// The whole PNG in memory; false when libpng fails.
bool EncodePng(std::vector<u8>& out, const u16* pixels, i32 width, i32 height, i32 pitch) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  std::vector<u8> row(size_t(width) * 3);
  // libpng reports errors by long jump; the vectors outlive it, so nothing is skipped that needs freeing.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, AppendBytes, FlushNothing);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (i32 y = 0; y < height; ++y) {
    const u16* source = pixels + size_t(y) * size_t(pitch);
    for (i32 x = 0; x < width; ++x) {
      const u32 c = source[x];
      const u32 r = c >> 11, g = (c >> 5) & 63, b = c & 31;
      row[size_t(x) * 3 + 0] = u8(r << 3 | r >> 2);
      row[size_t(x) * 3 + 1] = u8(g << 2 | g >> 4);
      row[size_t(x) * 3 + 2] = u8(b << 3 | b >> 2);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WriteRgb565Png(const std::string& path, const u16* pixels, i32 width, i32 height, i32 pitch, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = "cannot write " + path + ": " + why;
    return false;
  };
  if (pixels == nullptr || width <= 0 || height <= 0 || pitch < width) return fail("the picture is empty");
  std::vector<u8> bytes;
  if (!EncodePng(bytes, pixels, width, height, pitch)) return fail("cannot encode the picture");
  // A run killed while writing leaves the old capture or none, never a cut one.
  std::string why;
  if (!Files().WriteAtomic(path.c_str(), bytes.data(), bytes.size(), &why)) {
    if (error) *error = why;
    return false;
  }
  return true;
}

}  // namespace Os
