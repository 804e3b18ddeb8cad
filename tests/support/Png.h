// RGB565 frames to and from PNG files, and the exact comparison of a frame with a stored golden PNG.
#pragma once
#include "os/Types.h"

#include <string>
#include <vector>

namespace testpng {

// Writes `height` rows of `width` RGB565 pixels (rows `pitch` pixels apart) as an 8-bit RGB PNG. Each
// channel is widened by bit replication, so reading back gives the same RGB565 values.
bool WriteRgb565(const std::string& path, const u16* pixels, int width, int height, int pitch);
// Reads an 8-bit RGB or RGBA PNG into RGB565 (top bits of each channel).
bool ReadRgb565(const std::string& path, std::vector<u16>& pixels, int& width, int& height);

// Compares a frame with DUSKMIRE_GOLDEN_DIR/<name>.png, pixel for pixel. Returns an empty string on a match,
// else a description of the first difference. The frame is always written to
// DUSKMIRE_BIN_DIR/frames/<name>.png so that a person can look at it. With the environment variable
// DUSKMIRE_UPDATE_GOLDEN=1 the golden file is (re)written from the frame instead and the call succeeds.
std::string CompareGolden(const std::string& name, const u16* pixels, int width, int height, int pitch);

}  // namespace testpng
