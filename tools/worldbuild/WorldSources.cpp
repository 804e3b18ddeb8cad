#include "WorldSources.h"

#include "world/SEffect.h"

#include <cmath>
#include <deque>
#include <fstream>

namespace worldbuild {

u32 Lcg(u32& seed) {
  seed = seed * 1103515245u + 12345u;
  return seed >> 16;
}

Bytes Wave(const nlohmann::json& j) {
  const u32 rate = 22050;
  const u32 bits = j.value("bits", 8), channels = j.value("channels", 1);
  const u32 frames = rate * j.value("ms", 100) / 1000;
  const bool noise = j.value("wave", "sine") == std::string("noise");
  const double hz = j.value("hz", 440.0);
  Bytes data;
  u32 seed = u32(std::hash<std::string>{}(j.value("name", "")));
  for (u32 f = 0; f < frames; ++f) {
    double fade = 1.0 - double(f) / frames;
    double v = noise ? (double(Lcg(seed) & 0xFFFF) / 32768.0 - 1.0) : std::sin(2 * M_PI * hz * f / rate);
    v *= 0.6 * fade;
    for (u32 c = 0; c < channels; ++c) {
      if (bits == 8) {
        data.push_back(u8(128 + i32(v * 127)));
      } else {
        i16 s = i16(v * 32767);
        data.push_back(u8(s));
        data.push_back(u8(u16(s) >> 8));
      }
    }
  }
  Bytes w;
  auto put32 = [&](u32 v) {
    for (int i = 0; i < 4; ++i) w.push_back(u8(v >> (8 * i)));
  };
  auto put16 = [&](u32 v) {
    w.push_back(u8(v));
    w.push_back(u8(v >> 8));
  };
  const bool extra = j.value("extraChunk", false);
  w.insert(w.end(), {'R', 'I', 'F', 'F'});
  put32(u32(4 + 24 + (extra ? 12 : 0) + 8 + data.size()));
  w.insert(w.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(16);
  put16(1);
  put16(channels);
  put32(rate);
  put32(rate * channels * bits / 8);
  put16(channels * bits / 8);
  put16(bits);
  if (extra) {
    w.insert(w.end(), {'L', 'I', 'S', 'T'});
    put32(4);
    w.insert(w.end(), {'I', 'N', 'F', 'O'});
  }
  w.insert(w.end(), {'d', 'a', 't', 'a'});
  put32(u32(data.size()));
  w.insert(w.end(), data.begin(), data.end());
  return w;
}

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
