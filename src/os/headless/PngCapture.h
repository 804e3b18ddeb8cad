// Writes the panel (RGB565) to a PNG file, each channel widened to 8 bits by repeating its top bits.
#pragma once
#include "os/Gdi.h"

#include <string>

namespace Os {

bool WritePanelPng(const Panel& panel, const std::string& path, std::string* error);

}  // namespace Os
