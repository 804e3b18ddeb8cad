// Writes the panel (RGB565) to a PNG file, each channel widened to 8 bits by repeating its top bits. The
// file is replaced in one step (Os::FileSystem::WriteAtomic): a killed run never leaves a cut picture.
#pragma once
#include "os/Gdi.h"

#include <string>

namespace Os {

bool WritePanelPng(const Panel& panel, const std::string& path, std::string* error);
// The same for `height` rows of `width` RGB565 pixels, rows `pitch` pixels apart.
bool WriteRgb565Png(const std::string& path, const u16* pixels, i32 width, i32 height, i32 pitch, std::string* error);

}  // namespace Os
