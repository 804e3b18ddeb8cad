#include "platform/sound/audSound.h"

#include <cstring>

namespace {

u32 Read32(const u8* p) { return u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16 | u32(p[3]) << 24; }
u16 Read16(const u8* p) { return u16(p[0] | p[1] << 8); }

// Fixed offsets of the format chunk when it comes first, as the loader expects it.
constexpr u32 kFirstChunkId = 12;
constexpr u32 kFormatSize = 16;
constexpr u32 kFormatTag = 20;
constexpr u32 kChannels = 22;
constexpr u32 kRate = 24;
constexpr u32 kBits = 34;
constexpr u32 kFormatEnd = 36;  // bytes the format fields need
constexpr u32 kFormatChunkBody = 20;

constexpr u16 kTagPcm = 1;
constexpr u16 kTagExtensible = 0xFFFE;
// An extensible format chunk: the size of its extension at byte 36, the sub-format's GUID at 44.
constexpr u32 kExtensionSize = 36;
constexpr u32 kSubFormat = 44;
constexpr u32 kExtensibleBody = 40;  // format chunk bytes an extensible format needs
constexpr u16 kExtensionBytes = 22;  // the extension's own size: valid bits, channel mask, sub-format
constexpr u8 kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                  0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Only PCM data plays: plain, or extensible with the PCM sub-format. A-law, mu-law, ADPCM, float and the
// rest would play as noise.
bool IsPcm(const u8* image, u32 size, u32 formatSize) {
  const u16 tag = Read16(image + kFormatTag);
  if (tag == kTagPcm) {
    return true;
  }
  if (tag != kTagExtensible || formatSize < kExtensibleBody || size < kSubFormat + sizeof kPcmSubFormat) {
    return false;
  }
  return Read16(image + kExtensionSize) >= kExtensionBytes &&
         std::memcmp(image + kSubFormat, kPcmSubFormat, sizeof kPcmSubFormat) == 0;
}

}  // namespace

audSound::audSound() = default;

audSound::~audSound() { Unload(); }

void audSound::Unload() {
  if (ownsData) {
    delete[] data;
  }
  ownsData = 0;
  data = nullptr;
}

i32 audSound::LoadWave(const u8* image, u32 size) {
  Unload();
  if (image == nullptr || size == 0) {
    return -10;
  }
  if (size < kFirstChunkId + 4) {
    return -100;
  }
  if (std::memcmp(image + kFirstChunkId, "fmt ", 4) != 0) {
    return -300;
  }
  if (size < kFormatEnd) {
    return -100;
  }
  const u32 formatSize = Read32(image + kFormatSize);
  const u16 channels = Read16(image + kChannels);
  const u32 rate = Read32(image + kRate);
  const u16 bits = Read16(image + kBits);
  if (bits != 8 && bits != 16) {
    return -100;  // 4-bit data too
  }
  if (channels != 1 && channels != 2) {
    return -100;
  }
  // A rate of 0 would never step through the data and hold a channel for ever.
  if (rate == 0) {
    return -100;
  }
  if (formatSize < kFormatEnd - kFormatChunkBody) {
    return -100;  // the format fields read above would lie outside their chunk
  }
  if (!IsPcm(image, size, formatSize)) {
    return -100;
  }

  // Chunks end where the RIFF size says, or where the image does, whichever comes first.
  u64 end = u64(Read32(image + 4)) + 8;
  if (end > size) {
    end = size;
  }
  u64 at = u64(kFormatChunkBody) + formatSize;
  const u8* found = nullptr;
  u32 bytes = 0;
  while (at + 8 <= end) {
    const u32 chunkSize = Read32(image + at + 4);
    if (std::memcmp(image + at, "data", 4) == 0) {
      found = image + at + 8;
      const u64 present = end - (at + 8);
      bytes = u32(chunkSize < present ? chunkSize : present);
      break;
    }
    at += 8 + u64(chunkSize);
  }
  if (found == nullptr) {
    return -100;
  }

  u32 count = bits == 8 ? bytes : bytes / 2;
  if (channels == 2) {
    count /= 2;
  }
  data = found;
  eightBit = bits == 8 ? 1 : 0;
  stereo = channels == 2 ? 1 : 0;
  nativeRate = rate;
  frames = count;
  playbackRate = rate;
  ownsData = 0;
  return 0;
}
