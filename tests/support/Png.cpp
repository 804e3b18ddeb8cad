#include "Png.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace testpng {

bool WriteRgb565(const std::string& path, const u16* pixels, int width, int height, int pitch) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, u32(width), u32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<u8> row(size_t(width) * 3);
  for (int y = 0; y < height; ++y) {
    const u16* src = pixels + size_t(y) * size_t(pitch);
    for (int x = 0; x < width; ++x) {
      const u32 c = src[x];
      const u32 r = c >> 11, g = (c >> 5) & 63, b = c & 31;
      row[size_t(x) * 3 + 0] = u8(r << 3 | r >> 2);
      row[size_t(x) * 3 + 1] = u8(g << 2 | g >> 4);
      row[size_t(x) * 3 + 2] = u8(b << 3 | b >> 2);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return true;
}

bool ReadRgb565(const std::string& path, std::vector<u16>& pixels, int& width, int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<u8> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  width = int(image.width);
  height = int(image.height);
  pixels.resize(size_t(width) * size_t(height));
  for (size_t i = 0; i < pixels.size(); ++i) {
    const u8* p = &rgb[i * 3];
    pixels[i] = u16((p[0] >> 3) << 11 | (p[1] >> 2) << 5 | (p[2] >> 3));
  }
  return true;
}

std::string CompareGolden(const std::string& name, const u16* pixels, int width, int height, int pitch) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path frames = fs::path(DUSKMIRE_BIN_DIR) / "frames";
  fs::create_directories(frames, ec);
  WriteRgb565((frames / (name + ".png")).string(), pixels, width, height, pitch);

  const std::string golden = std::string(DUSKMIRE_GOLDEN_DIR) + "/" + name + ".png";
  const char* update = std::getenv("DUSKMIRE_UPDATE_GOLDEN");
  if (update && update[0] == '1') {
    return WriteRgb565(golden, pixels, width, height, pitch) ? "" : "cannot write " + golden;
  }
  std::vector<u16> expected;
  int w = 0, h = 0;
  if (!ReadRgb565(golden, expected, w, h)) return "cannot read " + golden;
  if (w != width || h != height) {
    return "size differs: golden " + std::to_string(w) + "x" + std::to_string(h) + ", frame " +
           std::to_string(width) + "x" + std::to_string(height);
  }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const u16 got = pixels[size_t(y) * size_t(pitch) + size_t(x)], want = expected[size_t(y) * size_t(w) + size_t(x)];
      if (got != want) {
        char msg[160];
        std::snprintf(msg, sizeof msg, "first difference at (%d, %d): golden %04X, frame %04X (frame in %s)", x, y,
                      want, got, (frames / (name + ".png")).c_str());
        return msg;
      }
    }
  return "";
}

}  // namespace testpng
