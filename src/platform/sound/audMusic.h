// A tracker module to play: the 1,084-byte module header, its patterns and the data of its samples.
//
// Header layout (big-endian words): title (20 bytes); per sample n = 1..31 at 20 + 30 (n - 1): name (22),
// length in words (u16), finetune (u8), volume (u8), loop start in words (u16), loop length in words (u16);
// song length at 950, restart order at 951, order table at 952 (128 bytes), tag at 1080 (4 bytes).
#pragma once
#include "os/Types.h"

inline constexpr u32 audModuleHeaderSize = 1084;
inline constexpr u32 audModuleSamples = 31;
inline constexpr u32 audModuleRows = 64;
inline constexpr u32 audMaxTracks = 32;
inline constexpr u32 audMaxOrders = 128;
// Sample bytes from this index on are read through a sample's second part.
inline constexpr u32 audSecondPartStart = 64000;

namespace audModule {
inline constexpr u32 kSongLength = 950;
inline constexpr u32 kRestart = 951;
inline constexpr u32 kOrders = 952;
inline constexpr u32 kTag = 1080;
inline constexpr u32 kSampleHeaders = 20;
inline constexpr u32 kSampleHeaderSize = 30;
}  // namespace audModule

// One pattern's cells (64 rows of 4 bytes per track) and how many bytes are really there.
struct audPattern {
  const u8* cells = nullptr;
  u32 bytes = 0;
};

// One sample's signed 8-bit data: bytes 0..63,999 in the first part, the rest in the second.
struct audSample {
  const i8* first = nullptr;
  u32 firstBytes = 0;
  const i8* second = nullptr;
  u32 secondBytes = 0;
};

// Samples 1..31 at entries 0..30; entries past a module's own samples stay empty.
struct audSampleTable {
  audSample sample[audModuleSamples];
};

class audMusic {
 public:
  audMusic() = default;
  virtual ~audMusic() = default;  // frees nothing but the object

  // The track count a tag gives: 4 for M?K?, else the digits before a 'C' in second or third place
  // ("6CHN", "16CH"), else 0 (unknown).
  static u32 ChannelCountFromTag(const u8* tag);
  // Checks a header: 0 when it can be played, -100 for an unknown tag, more than 32 tracks, or a song
  // length of 0 or above 128.
  static i32 CheckHeader(const u8* header);

  // Keeps the pointers (the header must hold 1,084 bytes). The header, the pattern table and the data it
  // points to must stay in memory while a channel plays them; the sample table is copied when play starts.
  // Returns 0, or -100 (see CheckHeader) leaving the music without data.
  i32 Load(const u8* header, const audPattern* patterns, u32 patternCount, const audSampleTable* samples);
  void Clear();

  u32 volume = 64;
  u8 loop = 0;
  const u8* header = nullptr;
  const audPattern* patterns = nullptr;
  u32 patternCount = 0;
  const audSampleTable* samples = nullptr;
  u32 pan = 255;
  u32 tempoRate = 44100;
};

// A whole module file in memory (header, patterns, sample data one after the other), split into the parts
// a music plays. Patterns or samples cut short by the end of the file keep only the bytes present.
class audModuleImage {
 public:
  // 0, or -100 when the image is too short for a header or the header cannot be played.
  i32 Parse(const u8* image, u32 size);

  const u8* header = nullptr;
  u32 tracks = 0;
  u32 patternCount = 0;
  audPattern patterns[256] = {};
  audSampleTable samples = {};
};
