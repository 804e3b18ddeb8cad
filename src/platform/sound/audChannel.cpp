#include "platform/sound/audChannel.h"

#include <memory>

#include "platform/sound/audSpeaker.h"
#include "platform/sound/audTables.h"

namespace {

u32 Word(const u8* p) { return u32(p[0]) << 8 | p[1]; }

}  // namespace

// ---- common part

void audChannel::SetVolume(i32 v) { audStore<u32>(volume, v < 0 || v > 64 ? 64u : u32(v)); }

void audChannel::SetPanning(i32 p) { audStore<u32>(pan, p < 0 || p > 255 ? 255u : u32(p)); }

// ---- wave-sample channels

void audSoundChannel::SetVolume(i32 v) {
  const u32 vol = v < 0 || v > 64 ? 64u : u32(v);
  audStore<u32>(volume, vol);
  const u32 master = speaker != nullptr ? speaker->SoundVolume() : 64;
  audStore<u32>(effective, (master * vol) >> 6);
}

u32 audSoundChannel::GetPosition() { return u32(position >> PositionShift()); }

void audSoundChannel::SetPosition(u32 p) {
  audDriver* driver = speaker != nullptr ? speaker->Driver() : nullptr;
  if (driver != nullptr) {
    driver->Lock();
  }
  position = u64(p) << PositionShift();
  if (driver != nullptr) {
    driver->Unlock();
  }
}

u32 audSoundChannel::GetLength() { return u32(end >> PositionShift()); }

namespace {

inline i32 Sample16(const u8* p) { return i16(u16(p[0] | p[1] << 8)); }

// Frame f of a sound's data as left and right values (a mono frame gives the same value twice).
template <bool kEightBit, bool kStereo>
inline void ReadFrame(const u8* data, u64 f, i32& left, i32& right) {
  if constexpr (kEightBit && kStereo) {
    left = (i32(data[2 * f]) - 128) * 256;
    right = (i32(data[2 * f + 1]) - 128) * 256;
  } else if constexpr (kEightBit) {
    left = right = (i32(data[f]) - 128) * 256;
  } else if constexpr (kStereo) {
    left = Sample16(data + 4 * f);
    right = Sample16(data + 4 * f + 2);
  } else {
    left = right = Sample16(data + 2 * f);
  }
}

// How a sound's left and right values reach the sums: mono output adds v x (left + right) for a stereo
// sound and v x value for a mono one; stereo output adds the weighted sides to each.
struct SoundGains {
  i32 mono;
  i32 leftOfLeft, leftOfRight, rightOfLeft, rightOfRight;
};

// Adds n output samples of frames read from position by step; returns the position reached.
template <bool kEightBit, bool kStereo, bool kStereoOutput>
u64 AddFrames(i32* outLeft, i32* outRight, u32 n, const u8* data, u64 position, u32 step, const SoundGains& g) {
  for (u32 k = 0; k < n; ++k) {
    i32 left;
    i32 right;
    ReadFrame<kEightBit, kStereo>(data, position >> 8, left, right);
    if constexpr (kStereoOutput) {
      outLeft[k] += g.leftOfLeft * left + g.leftOfRight * right;
      outRight[k] += g.rightOfLeft * left + g.rightOfRight * right;
    } else if constexpr (kStereo) {
      outLeft[k] += g.mono * (left + right);
    } else {
      outLeft[k] += g.mono * left;
    }
    position += step;
  }
  return position;
}

template <bool kStereoOutput>
u64 AddFramesOf(bool eightBit, bool stereo, i32* outLeft, i32* outRight, u32 n, const u8* data, u64 position, u32 step,
                const SoundGains& g) {
  if (eightBit) {
    return stereo ? AddFrames<true, true, kStereoOutput>(outLeft, outRight, n, data, position, step, g)
                  : AddFrames<true, false, kStereoOutput>(outLeft, outRight, n, data, position, step, g);
  }
  return stereo ? AddFrames<false, true, kStereoOutput>(outLeft, outRight, n, data, position, step, g)
                : AddFrames<false, false, kStereoOutput>(outLeft, outRight, n, data, position, step, g);
}

}  // namespace

void audSoundChannel::Render(i32* left, i32* right, u32 count, bool stereoOutput, u32 outputRate) {
  if (recomputeStep) {
    step = u32((u64(rate) << 16) / (u64(outputRate) << 8));
    recomputeStep = 0;
  }
  const i32 v = i32(audLoad(effective));
  SoundGains g{v, 0, 0, 0, 0};
  if (stereoOutput) {
    const i32 p = i32(audLoad(pan));
    if (p == 128) {
      g.leftOfLeft = v;
      g.rightOfRight = v;
    } else {
      const i32 r = (2 * v * p) >> 8;
      const i32 l = 2 * v - r;
      g.leftOfLeft = l;
      g.rightOfLeft = r;
      if (stereo) {
        g.leftOfRight = l;
        g.rightOfRight = r;
      }
    }
  }
  u32 j = 0;
  while (j < count) {
    if (loop && position >= end) {
      position -= end;
    }
    if (position >= end) {
      Stop();
      return;
    }
    // Every frame up to the end reads with no wrap to test.
    u32 n = count - j;
    if (step != 0) {
      const u64 before = (end - position + step - 1) / step;
      if (before < n) {
        n = u32(before);
      }
    }
    position = stereoOutput ? AddFramesOf<true>(eightBit, stereo, left + j, right + j, n, data, position, step, g)
                            : AddFramesOf<false>(eightBit, stereo, left + j, right + j, n, data, position, step, g);
    j += n;
  }
}

// ---- tracker-music channels

void audMusicChannel::SetVolume(i32 v) {
  const u32 vol = v < 0 || v > 64 ? 64u : u32(v);
  audStore<u32>(volume, vol);
  const u32 master = speaker != nullptr ? speaker->MusicVolume() : 64;
  const u32 eff = (master * vol) >> 6;
  audStore<u32>(effective, eff);
  for (audTrack& track : tracks) {
    audStore<u32>(track.effective, (audLoad(track.volume) * eff) >> 6);
  }
}

void audMusicChannel::SetPanning(i32 p) {
  const u32 value = p < 0 || p > 255 ? 255u : u32(p);
  audStore<u32>(pan, value);
  const u32 d = (255 - value) / 4;
  for (u32 t = 0; t < audMaxTracks; ++t) {
    audStore<u32>(tracks[t].pan, (t & 1) ? 192 - d : 64 + d);
  }
}

u32 audMusicChannel::GetPosition() { return trackCount != 0 ? order * 64 + cellIndex / trackCount : 0; }

void audMusicChannel::SetPosition(u32 p) {
  const u32 toOrder = p / 64;
  if (header == nullptr || toOrder >= SongLength()) {
    return;
  }
  audDriver* driver = speaker != nullptr ? speaker->Driver() : nullptr;
  if (driver != nullptr) {
    driver->Lock();
  }
  order = toOrder;
  pattern = header[audModule::kOrders + order];
  cellIndex = (p % 64) * trackCount;
  ending = 0;
  if (driver != nullptr) {
    driver->Unlock();
  }
}

u32 audMusicChannel::GetLength() { return SongLength() * 64; }

void audMusicChannel::Begin(const audMusic& music, u32 count) {
  header = music.header;
  patterns = music.patterns;
  patternCount = music.patterns != nullptr ? music.patternCount : 0;
  trackCount = count;
  samples[0] = audTrackSample{};
  for (u32 n = 1; n <= audModuleSamples; ++n) {
    const u8* h = header + audModule::kSampleHeaders + audModule::kSampleHeaderSize * (n - 1);
    const u32 words = Word(h + 22);
    audTrackSample& s = samples[n];
    s = audTrackSample{};
    s.volume = h[25] > 64 ? 64 : h[25];
    if (words == 0) {
      continue;
    }
    s.finetune = h[24] & 15;
    const u32 loopWords = Word(h + 28);
    s.length = words << 13;
    s.loopStart = Word(h + 26) << 13;
    s.loopLength = loopWords > 1 ? loopWords << 13 : 0;
    // A sample whose data is shorter than its header says plays as silence.
    const audSample* data = music.samples != nullptr ? &music.samples->sample[n - 1] : nullptr;
    const u32 bytes = words * 2;
    const u32 firstNeeded = bytes < audSecondPartStart ? bytes : audSecondPartStart;
    const u32 secondNeeded = bytes - firstNeeded;
    if (data == nullptr || data->first == nullptr || data->firstBytes < firstNeeded ||
        (secondNeeded > 0 && (data->second == nullptr || data->secondBytes < secondNeeded))) {
      continue;
    }
    s.first = data->first;
    s.second = secondNeeded > 0 ? data->second : nullptr;
  }

  tempoRate = music.tempoRate;
  tempo = 50;
  recomputeTick = 1;
  sampleCounter = 0;
  speed = 6;
  tick = 6;
  order = 0;
  cellIndex = 0;
  pattern = header[audModule::kOrders];
  const u32 restart = header[audModule::kRestart];
  restartOrder = (restart == 127 || restart >= SongLength()) ? 0 : restart;
  jumpOrder = kNoJump;
  jumpCell = 0;
  patternDelay = 0;
  ending = 0;

  // Every track starts as a fresh one: nothing of the last song (portamento target, effect memories,
  // position) may colour this one.
  for (audTrack& track : tracks) {
    std::destroy_at(&track);
    std::construct_at(&track);
  }
  SetPanning(i32(music.pan));
  loop = music.loop;
  SetVolume(i32(music.volume));
  Start(false);
}

u32 audMusicChannel::Step(i32 period) const { return speaker->StepFor(audPeriodIndex(period)); }

void audMusicChannel::RecomputeTick() {
  const u64 divisor = u64(tempoRate) * 256 / 44100 * tempo;
  samplesPerTick = divisor != 0 ? u32(((u64(speaker->OutputRate()) << 16) / divisor) >> 8) : 0;
  recomputeTick = 0;
}

bool audMusicChannel::ClockSample() {
  if (recomputeTick) {
    RecomputeTick();
  }
  if (tick != speed) {
    if (sampleCounter < samplesPerTick) {
      ++sampleCounter;
    } else {
      ++tick;
      sampleCounter = 0;
      if (tick != speed) {
        TickEffects();
      }
    }
  } else if (patternDelay > 0) {
    --patternDelay;
    tick = 0;
  } else if (ending) {
    Stop();
    return false;
  } else {
    ReadRow();
    if (!IsPlaying()) {
      return false;
    }
    NextRow();
    tick = 0;
  }
  return true;
}

void audMusicChannel::Render(i32* left, i32* right, u32 count, bool stereoOutput) {
  u32 done = 0;
  while (done < count) {
    if (!ClockSample()) {
      return;
    }
    // The samples after this one that only count towards the next tick change nothing: mix them with it.
    u32 run = 1;
    if (tick != speed && sampleCounter < samplesPerTick) {
      const u32 counting = samplesPerTick - sampleCounter;
      const u32 room = count - done - 1;
      const u32 more = counting < room ? counting : room;
      sampleCounter += more;
      run += more;
    }
    MixTracks(left + done, right + done, run, stereoOutput);
    done += run;
  }
}

void audMusicChannel::NextRow() {
  const u32 songLength = SongLength();
  u32 toOrder = order;
  u32 toCell = cellIndex + trackCount;
  if (jumpOrder != kNoJump) {
    toOrder = jumpOrder;
    toCell = jumpCell;
    jumpOrder = kNoJump;
  } else if (toCell >= trackCount * audModuleRows) {
    ++toOrder;
    toCell = 0;
  }
  if (toOrder >= songLength) {
    // Songs mark their end with a jump far past the last order (254 is common); a looping channel
    // carries on at the restart order wherever the jump pointed.
    if (!loop) {
      ending = 1;
      order = songLength;
      cellIndex = 0;
      return;
    }
    toOrder = restartOrder;
    toCell = 0;
  }
  order = toOrder;
  cellIndex = toCell;
  pattern = header[audModule::kOrders + order];
}

void audMusicChannel::ReadRow() {
  // An order naming a pattern the song does not have ends the song.
  if (pattern >= patternCount || patterns[pattern].cells == nullptr) {
    Stop();
    return;
  }
  const audPattern& p = patterns[pattern];
  const u32 row = cellIndex / trackCount;
  for (u32 t = 0; t < trackCount; ++t) {
    const u64 at = u64(cellIndex + t) * 4;
    u8 b0 = 0, b1 = 0, b2 = 0, b3 = 0;
    // Cells past the end of a short pattern read as empty.
    if (at + 4 <= p.bytes) {
      b0 = p.cells[at];
      b1 = p.cells[at + 1];
      b2 = p.cells[at + 2];
      b3 = p.cells[at + 3];
    }
    const u32 sampleNumber = (b0 & 0xF0u) | (b2 >> 4);
    const i32 period = i32(((b0 & 0x0Fu) << 8) | b1);
    RowEffect(tracks[t], sampleNumber, period, b2 & 0x0Fu, b3, row);
  }
}

void audMusicChannel::SetTrackVolume(audTrack& track, u32 v) {
  audStore<u32>(track.volume, v);
  audStore<u32>(track.effective, (v * audLoad(effective)) >> 6);
}

void audMusicChannel::Jump(u32 toOrder, u32 toCell) {
  jumpOrder = toOrder;
  jumpCell = toCell;
}

void audMusicChannel::RowEffect(audTrack& track, u32 sampleNumber, i32 period, u32 effect, u32 parameter, u32 row) {
  const u32 x = parameter >> 4;
  const u32 y = parameter & 15;
  track.effect = effect;
  track.x = x;
  track.y = y;
  track.parameter = parameter;
  if (sampleNumber > audModuleSamples) {
    sampleNumber = 0;
  }
  if (sampleNumber != 0) {
    track.sample = sampleNumber;
    SetTrackVolume(track, samples[sampleNumber].volume);
  }
  const bool noteDelay = effect == 14 && x == 13;
  if (period != 0 && effect != 3 && effect != 5 && !noteDelay) {
    track.position = 0;
    track.noteIndex = speaker->NoteFor(audPeriodIndex(period)) + audNoteCount * samples[track.sample].finetune;
    track.period = audPeriodTable[track.noteIndex];
  }
  if (track.sample != 0) {
    track.step = Step(track.period);
  }
  const u32 songLength = SongLength();

  switch (effect) {
    case 0:
      if (parameter != 0) {
        // Arpeggio notes stay within the note's own finetune row.
        const u32 base = track.noteIndex - track.noteIndex % audNoteCount;
        const u32 note = track.noteIndex % audNoteCount;
        const u32 noteX = note + x < audNoteCount ? note + x : audNoteCount - 1;
        const u32 noteY = note + y < audNoteCount ? note + y : audNoteCount - 1;
        track.arpPhase = 0;
        track.arpSteps[0] = track.step;
        track.arpSteps[1] = Step(audPeriodTable[base + noteX]);
        track.arpSteps[2] = Step(audPeriodTable[base + noteY]);
      }
      break;
    case 1:
    case 2: track.slidePeriod = track.period; break;
    case 3:
      if (period != 0) {
        track.portaTarget =
            audPeriodTable[speaker->NoteFor(audPeriodIndex(period)) + audNoteCount * samples[track.sample].finetune];
      } else if (track.portaTarget == 0) {
        track.portaTarget = audPeriodTable[track.noteIndex];
      }
      if (parameter != 0) {
        track.portaSpeed = parameter;
      }
      break;
    case 4:
      if (parameter != 0) {
        track.vibPosition = 0;
        track.vibSpeed = x;
        track.vibDepth = y;
      }
      break;
    case 5:
    case 6:
    case 10: track.volumeSlide = x != 0 ? i32(x) : -i32(y); break;
    case 9:
      if (parameter != 0) {
        track.offsetMemory = parameter << 20;
      }
      track.position = track.offsetMemory;
      break;
    case 11:
      if (loop || parameter > order) {
        Jump(parameter, 0);
      } else {
        Jump(songLength, 0);
      }
      break;
    // Taken as it is: a volume above 64 only makes the track louder, and the output saturates.
    case 12: SetTrackVolume(track, parameter); break;
    case 13: {
      u32 breakRow = 10 * x + y;
      if (breakRow >= audModuleRows) {
        breakRow = 0;
      }
      if (order + 1 < songLength) {
        Jump(order + 1, breakRow * trackCount);
      } else if (loop) {
        Jump(restartOrder, breakRow * trackCount);
      } else {
        Jump(songLength, 0);
      }
      break;
    }
    case 14:
      switch (x) {
        case 6:
          if (y == 0) {
            track.loopStartRow = u8(row);
          } else if ((track.loopState & 0xF0) != 0xF0) {
            Jump(order, track.loopStartRow * trackCount);
            track.loopState = u8(0xF0 + y);
          } else if ((track.loopState & 0x0F) != 1) {
            Jump(order, track.loopStartRow * trackCount);
            --track.loopState;
          } else {
            track.loopState = 0;
          }
          break;
        case 10: {
          const u32 v = audLoad(track.volume) + y;
          SetTrackVolume(track, v > 64 ? 64 : v);
          break;
        }
        case 11: {
          const u32 v = audLoad(track.volume);
          SetTrackVolume(track, v > y ? v - y : 0);
          break;
        }
        case 12: track.cutCounter = y; break;
        case 13:
          track.delayCounter = y - 1;  // y = 0 gives all ones
          track.delayedPeriod = period;
          break;
        case 14: patternDelay = y; break;
        default: break;
      }
      break;
    case 15:
      if (parameter > 32) {
        tempo = parameter * 2 / 5;
        RecomputeTick();
      } else if (parameter != 0) {
        speed = parameter;
      }
      break;
    default: break;
  }
}

void audMusicChannel::Porta(audTrack& track) {
  const i32 speedBy = i32(track.portaSpeed);
  if (track.period > track.portaTarget) {
    track.period -= speedBy;
    if (track.period < track.portaTarget) {
      track.period = track.portaTarget;
    }
  } else if (track.period < track.portaTarget) {
    track.period += speedBy;
    if (track.period > track.portaTarget) {
      track.period = track.portaTarget;
    }
  }
  track.step = Step(track.period);
}

void audMusicChannel::Vibrato(audTrack& track) {
  const i32 d = i32((audVibratoTable[track.vibPosition % 32] * track.vibDepth) >> 7);
  track.step = Step(track.vibPosition < 32 ? track.period + d : track.period - d);
  track.vibPosition += track.vibSpeed;
  if (track.vibPosition >= 64) {
    track.vibPosition -= 64;
  }
}

void audMusicChannel::VolumeSlide(audTrack& track) {
  const i32 v = i32(audLoad(track.volume)) + track.volumeSlide;
  if (v < 0) {
    audStore<u32>(track.volume, 0);
    audStore<u32>(track.effective, 0);
    return;
  }
  SetTrackVolume(track, v > 64 ? 64u : u32(v));
}

void audMusicChannel::TickEffects() {
  for (u32 t = 0; t < trackCount; ++t) {
    audTrack& track = tracks[t];
    switch (track.effect) {
      case 0:
        if (track.parameter != 0) {
          track.arpPhase = (track.arpPhase + 1) % 3;
          track.step = track.arpSteps[track.arpPhase];
        }
        break;
      case 1:
        track.slidePeriod -= i32(track.parameter);
        if (track.slidePeriod < 13) {
          track.slidePeriod = 13;
        }
        track.period = track.slidePeriod;
        track.step = Step(track.period);
        break;
      case 2:
        track.slidePeriod += i32(track.parameter);
        if (track.slidePeriod > audMaxPeriod) {
          track.slidePeriod = audMaxPeriod;
        }
        track.period = track.slidePeriod;
        track.step = Step(track.period);
        break;
      case 3: Porta(track); break;
      case 4: Vibrato(track); break;
      case 5:
        Porta(track);
        VolumeSlide(track);
        break;
      case 6:
        Vibrato(track);
        VolumeSlide(track);
        break;
      case 10: VolumeSlide(track); break;
      case 14:
        if (track.x == 12) {
          if (track.cutCounter != 0) {
            --track.cutCounter;
          } else {
            audStore<u32>(track.effective, 0);
          }
        } else if (track.x == 13) {
          if (track.delayCounter == 0xFFFFFFFFu) {
            track.delayCounter = 0xFFFFFF;
            track.period = track.delayedPeriod;
            track.step = Step(track.period);
          } else if (track.delayCounter != 0xFFFFFF) {
            --track.delayCounter;
          }
        }
        break;
      default: break;
    }
  }
}

namespace {

// Positions (20.12) from which a sample's bytes are read through its second part.
constexpr u32 kSecondPartPosition = audSecondPartStart << 12;

// Adds gain x byte for n output samples, the position moving by step; returns the position reached.
inline u32 AddBytes(i32* out, u32 n, const i8* bytes, u32 position, u32 step, i32 gain) {
  for (u32 k = 0; k < n; ++k) {
    out[k] += gain * bytes[position >> 12];
    position += step;
  }
  return position;
}

inline u32 AddBytes2(i32* left, i32* right, u32 n, const i8* bytes, u32 position, u32 step, i32 gainLeft,
                     i32 gainRight) {
  for (u32 k = 0; k < n; ++k) {
    const i32 value = bytes[position >> 12];
    left[k] += gainLeft * value;
    right[k] += gainRight * value;
    position += step;
  }
  return position;
}

// How many of n samples, from position by step, stay below limit (all n for step 0).
inline u32 SamplesBelow(u32 position, u32 limit, u32 step, u32 n) {
  if (step == 0) {
    return n;
  }
  const u32 below = (limit - position + step - 1) / step;
  return below < n ? below : n;
}

}  // namespace

void audMusicChannel::MixTracks(i32* left, i32* right, u32 count, bool stereoOutput) {
  for (u32 t = 0; t < trackCount; ++t) {
    audTrack& track = tracks[t];
    const audTrackSample& s = samples[track.sample];
    if (s.first == nullptr) {
      continue;
    }
    const i32 eff = i32(audLoad(track.effective));
    i32 gainLeft = eff;
    i32 gainRight = 0;
    if (stereoOutput) {
      const i32 r = (eff * i32(audLoad(track.pan))) >> 8;
      gainLeft = (eff - r) * 2;
      gainRight = r * 2;
    }
    const bool looping = s.loopLength != 0;
    const u32 loopEnd = s.loopStart + s.loopLength;
    // Below `clear` a position reads its byte with no wrap and no end to test.
    const u32 clear = looping && loopEnd < s.length ? loopEnd : s.length;
    const u32 step = track.step;
    u32 position = track.position;
    u32 j = 0;
    while (j < count) {
      if (position >= clear) {
        // One sample the long way: wrap once at the loop end; past the sample's end it adds nothing and the
        // position stays, unless a later wrap brings it back.
        const bool wraps = looping && position >= loopEnd;
        if (wraps) {
          position -= s.loopLength;
        }
        if (position >= s.length) {
          if (!wraps) {
            break;
          }
          ++j;
          continue;
        }
        const u32 i = position >> 12;
        const i32 value = i < audSecondPartStart ? s.first[i] : s.second[i - audSecondPartStart];
        left[j] += gainLeft * value;
        if (stereoOutput) {
          right[j] += gainRight * value;
        }
        position += step;
        ++j;
        continue;
      }
      u32 n;
      const i8* bytes;
      u32 base;  // position of bytes[0]
      if (position < kSecondPartPosition) {
        n = SamplesBelow(position, clear < kSecondPartPosition ? clear : kSecondPartPosition, step, count - j);
        bytes = s.first;
        base = 0;
      } else {
        n = SamplesBelow(position, clear, step, count - j);
        bytes = s.second;
        base = kSecondPartPosition;
      }
      if (eff == 0) {
        position += n * step;
      } else if (!stereoOutput) {
        position = AddBytes(left + j, n, bytes, position - base, step, gainLeft) + base;
      } else {
        position = AddBytes2(left + j, right + j, n, bytes, position - base, step, gainLeft, gainRight) + base;
      }
      j += n;
    }
    track.position = position;
  }
}
