#include "world/SSkyTypeTable.h"

#include "world/SImageCache.h"

#include <cstdlib>

void SSkyType::Serialize(SStream& s, u32 version) {
  s.SerializeMarker('A');
  s.SerializeName(name);
  if (version > 38) s.SerializeString(picture);
  s.SerializeByte(period);
  s.SerializeByte(weather);
  if (version > 31) {
    s.SerializeU16(fogColour);
    s.SerializeByte(visibility);
  }
  if (version > 75) s.SerializeByte(animation);
}

void SSkyType::LoadPicture(SImageCache& cache) {
  if (resident_) return;
  SImageEntry* entry = cache.FindImage(Picture());
  if (entry && cache.LoadImage(entry)) resident_ = true;
  // A palette of the picture's name recolours it (skies of one picture for several weathers).
  if (resident_ && !paletteResident_) paletteResident_ = cache.LoadPalette(cache.FindPalette(Picture()));
}

void SSkyType::ReleasePicture(SImageCache& cache) {
  if (paletteResident_) cache.ReleasePalette(cache.FindPalette(Picture()));
  paletteResident_ = false;
  if (!resident_) return;
  resident_ = false;
  cache.ReleaseImage(cache.FindImage(Picture()));
}

u16 SSkyType::PaletteSlot(const SImageCache& cache) const {
  const SPaletteEntry* palette = paletteResident_ ? cache.FindPalette(Picture()) : nullptr;
  return palette && palette->IsResident() ? palette->slot : 0;
}

u32 SSkyTypeTable::PeriodOfHour(u32 hour) {
  if (hour < 6) return 2;
  if (hour < 8) return 4;
  if (hour < 20) return 1;
  if (hour < 22) return 4;
  return 2;
}

void SSkyTypeTable::Choose(SSkyType* sky, SSkyChoice& choice) {
  choice.animation = sky->animation;
  choice.fogColour = sky->fogColour;
  choice.visibility = sky->visibility;
  ReleaseOtherSkies(sky);
  if (cache_) sky->LoadPicture(*cache_);
  // The slot of the picture made resident (the sky's own name only when it names no other picture).
  choice.imageSlot = cache_ ? cache_->FindImageIndex(sky->Picture()) : 0;
  choice.paletteSlot = cache_ ? sky->PaletteSlot(*cache_) : 0;
}

bool SSkyTypeTable::SelectSkyForTime(u32 hour, i32 weather, SSkyChoice& choice) {
  const u32 period = PeriodOfHour(hour);
  i64 best = 1000;
  SSkyType* chosen = nullptr;
  for (SSkyType* sky : records) {
    if (sky->period != period) continue;
    i64 distance = std::llabs(i64(weather) - sky->weather);
    if (distance < best) {
      best = distance;
      chosen = sky;
    }
  }
  if (!chosen) return false;
  Choose(chosen, choice);
  return true;
}

bool SSkyTypeTable::SelectSkyByName(const char* name, SSkyChoice& choice) {
  SSkyType* sky = FindByName(name);
  if (!sky) return false;
  Choose(sky, choice);
  return true;
}

void SSkyTypeTable::ReleaseOtherSkies(const SSkyType* kept) {
  if (!cache_) return;
  for (SSkyType* sky : records)
    if (sky != kept && !sky->name.Equals(kThunderSky)) sky->ReleasePicture(*cache_);
}

void SSkyTypeTable::LoadThunderSky() {
  if (SSkyType* sky = FindByName(kThunderSky); sky && cache_) sky->LoadPicture(*cache_);
}

void SSkyTypeTable::Clear() {
  if (cache_)
    for (SSkyType* sky : records) sky->ReleasePicture(*cache_);
  SOneRecordTable<SSkyType>::Clear();
}
