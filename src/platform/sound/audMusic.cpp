#include "platform/sound/audMusic.h"

namespace {

bool IsDigit(u8 c) { return c >= '0' && c <= '9'; }
u8 Upper(u8 c) { return c >= 'a' && c <= 'z' ? u8(c - 'a' + 'A') : c; }
u32 Word(const u8* p) { return u32(p[0]) << 8 | p[1]; }

}  // namespace

u32 audMusic::ChannelCountFromTag(const u8* tag) {
  if (tag == nullptr) {
    return 0;
  }
  if (Upper(tag[0]) == 'M' && Upper(tag[2]) == 'K') {
    return 4;
  }
  if (Upper(tag[1]) != 'C' && Upper(tag[2]) != 'C') {
    return 0;
  }
  u32 count = IsDigit(tag[0]) ? u32(tag[0] - '0') : 0;
  if (IsDigit(tag[1])) {
    count = count * 10 + u32(tag[1] - '0');
  }
  return count;
}

i32 audMusic::CheckHeader(const u8* header) {
  if (header == nullptr) {
    return -100;
  }
  const u32 tracks = ChannelCountFromTag(header + audModule::kTag);
  if (tracks == 0 || tracks > audMaxTracks) {
    return -100;
  }
  const u32 songLength = header[audModule::kSongLength];
  if (songLength == 0 || songLength > audMaxOrders) {
    return -100;
  }
  return 0;
}

i32 audMusic::Load(const u8* image, const audPattern* patternTable, u32 count, const audSampleTable* table) {
  Clear();
  if (CheckHeader(image) != 0) {
    return -100;
  }
  header = image;
  patterns = patternTable;
  patternCount = patternTable != nullptr ? count : 0;
  samples = table;
  tempoRate = 44100;
  return 0;
}

void audMusic::Clear() {
  header = nullptr;
  patterns = nullptr;
  patternCount = 0;
  samples = nullptr;
}

i32 audModuleImage::Parse(const u8* image, u32 size) {
  *this = audModuleImage{};
  if (image == nullptr || size < audModuleHeaderSize || audMusic::CheckHeader(image) != 0) {
    return -100;
  }
  header = image;
  tracks = audMusic::ChannelCountFromTag(image + audModule::kTag);
  // The file holds every pattern up to the highest one named in the order table.
  u32 highest = 0;
  for (u32 i = 0; i < audMaxOrders; ++i) {
    if (image[audModule::kOrders + i] > highest) {
      highest = image[audModule::kOrders + i];
    }
  }
  patternCount = highest + 1;
  const u32 patternBytes = audModuleRows * tracks * 4;
  u64 at = audModuleHeaderSize;
  for (u32 p = 0; p < patternCount; ++p) {
    const u64 present = at < size ? size - at : 0;
    patterns[p].cells = present > 0 ? image + at : nullptr;
    patterns[p].bytes = u32(present < patternBytes ? present : patternBytes);
    at += patternBytes;
  }
  for (u32 s = 0; s < audModuleSamples; ++s) {
    const u32 bytes = Word(image + audModule::kSampleHeaders + audModule::kSampleHeaderSize * s + 22) * 2;
    const u64 present = at < size ? size - at : 0;
    const u32 have = u32(present < bytes ? present : bytes);
    audSample& sample = samples.sample[s];
    if (have > 0) {
      const i8* data = reinterpret_cast<const i8*>(image + at);
      sample.first = data;
      sample.firstBytes = have < audSecondPartStart ? have : audSecondPartStart;
      if (have > audSecondPartStart) {
        sample.second = data + audSecondPartStart;
        sample.secondBytes = have - audSecondPartStart;
      }
    }
    at += bytes;
  }
  return 0;
}
