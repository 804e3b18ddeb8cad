#include "ArtSources.h"

namespace worldbuild {
namespace {

// The library, read on first use; null after a fault reading it (reported once).
const imageenc::PixelArt* Library(Context& ctx) {
  static imageenc::PixelArt art;
  static int state = 0;  // 0 unread, 1 read, 2 failed
  if (state == 0) {
    std::string error;
    state = art.ReadFolder((ctx.source() / "art").string(), error) ? 1 : 2;
    if (state == 2) ctx.fail("art", error);
  }
  return state == 1 ? &art : nullptr;
}

}  // namespace

bool DrawArt(Context& ctx, const std::string& where, const std::string& name, imageenc::Picture& out, int width,
             int height) {
  const imageenc::PixelArt* art = Library(ctx);
  if (!art) return false;
  const imageenc::Picture* p = art->Find(name);
  if (!p) {
    ctx.fail(where, name + ": no such picture in data/sample/art");
    return false;
  }
  if ((width && p->width != width) || (height && p->height != height)) {
    ctx.fail(art->Where(name), name + " is " + std::to_string(p->width) + " x " + std::to_string(p->height) +
                                   ", wanted " + std::to_string(width) + " x " + std::to_string(height));
    return false;
  }
  out = *p;
  return true;
}

bool GeneratorAllowed(Context& ctx, const std::string& where, const std::string& name, const std::string& gen) {
  if (gen != "checker" && gen != "gradient") return true;
  if (gen == "gradient" && name.find("_sky") != std::string::npos) return true;
  ctx.fail(where, name + ": the " + gen + " is a test pattern; draw the picture in data/sample/art");
  return false;
}

}  // namespace worldbuild
