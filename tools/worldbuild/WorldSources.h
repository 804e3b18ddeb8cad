// What the steps that write the world archives share while they turn data/sample into records: the data
// version they write, texts kept for records to point at, one record through its own transfer routine,
// the JSON sources, and effect entries as the sources give them.
#pragma once
#include "BuildStep.h"
#include "WorldWriter.h"

#include <nlohmann/json.hpp>

#include <string>

struct SEffect;

namespace worldbuild {

constexpr u32 kSampleVersion = 114;

// A copy of `text` that lives for the rest of the run: records point at their texts while they are written.
const char* KeepText(const std::string& text);

// One record at the sample world's version; a record that does not fit comes out empty, and reading the
// archives back reports it.
template <class F>
Bytes SampleRecord(F&& fn, u32 capacity = SStream::kWriteBufferSize) {
  Bytes out;
  StreamRecord(out, kSampleVersion, fn, capacity);
  return out;
}

// Reads data/sample/<relative>; false after reporting a file that cannot be read or is not valid JSON.
bool ReadSourceJson(Context& ctx, const std::filesystem::path& relative, nlohmann::json& out);

// The builder's pseudo-random numbers: a linear congruential step; the upper 16 bits of the state.
u32 Lcg(u32& seed);

// A RIFF wave from {"name", "bits" (8 or 16), "channels", "ms", "wave" ("sine" or "noise"), "hz",
// "extraChunk"}: 22,050 Hz, fading out to silence; the noise follows the name.
Bytes Wave(const nlohmann::json& j);

// An effect entry from {"kind", "mode", "sub", "base", "perLevel", "duration", "durationPerLevel",
// "radius", "name"}: kind 1 and mode 3 unless given, the rest zero.
SEffect* EffectFromJson(const nlohmann::json& j);

}  // namespace worldbuild
