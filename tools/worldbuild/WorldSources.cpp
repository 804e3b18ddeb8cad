#include "WorldSources.h"

#include "world/SEffect.h"

#include <deque>
#include <fstream>

namespace worldbuild {

const char* KeepText(const std::string& text) {
  static std::deque<std::string> kept;  // a deque never moves what it holds
  return kept.emplace_back(text).c_str();
}

bool ReadSourceJson(Context& ctx, const std::filesystem::path& relative, nlohmann::json& out) {
  const std::filesystem::path path = ctx.source() / relative;
  std::ifstream in(path);
  if (!in) {
    ctx.fail(path.string(), "cannot be read");
    return false;
  }
  out = nlohmann::json::parse(in, nullptr, false);
  if (out.is_discarded()) {
    ctx.fail(path.string(), "is not valid JSON");
    return false;
  }
  return true;
}

SEffect* EffectFromJson(const nlohmann::json& j) {
  auto* e = new SEffect;
  e->kind = u8(j.value("kind", 1));
  e->mode = u8(j.value("mode", 3));
  e->sub = u8(j.value("sub", 0));
  e->base = i16(j.value("base", 0));
  e->perLevel = i16(j.value("perLevel", 0));
  e->duration = i16(j.value("duration", 0));
  e->durationPerLevel = i16(j.value("durationPerLevel", 0));
  e->radius = u8(j.value("radius", 0));
  if (j.contains("name")) e->SetName(j["name"].get<std::string>().c_str());
  return e;
}

}  // namespace worldbuild
