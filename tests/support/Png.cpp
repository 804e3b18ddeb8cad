#include "Png.h"

#include "os/headless/PngCapture.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace testpng {

bool WriteRgb565(const std::string& path, const u16* pixels, int width, int height, int pitch) {
  return Os::WriteRgb565Png(path, pixels, width, height, pitch, nullptr);
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
    return "size differs: golden " + std::to_string(w) + "x" + std::to_string(h) + ", frame " + std::to_string(width) +
           "x" + std::to_string(height);
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
