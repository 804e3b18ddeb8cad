// The sample world's pixel art (data/sample/art/*.art), read once for every step that draws pictures, and
// the rule that keeps the test patterns out of the shipped world.
#pragma once
#include "BuildStep.h"
#include "PixelArt.h"

#include <string>

namespace worldbuild {

// The picture drawn under `name` in the art sources. With width and height given it must have that size.
// False after reporting the fault, naming `where` (the source that asks for the picture).
bool DrawArt(Context& ctx, const std::string& where, const std::string& name, imageenc::Picture& out, int width = 0,
             int height = 0);

// The checkerboard and the flat gradient are test patterns: a shipped picture may not be one, but for a
// sky, which may stay a gradient. False after reporting `name` asked for generator `gen`.
bool GeneratorAllowed(Context& ctx, const std::string& where, const std::string& name, const std::string& gen);

}  // namespace worldbuild
