// Sky types: the picture drawn as the sky of outdoor maps with its fog colour and view range, chosen by
// the hour and the weather or by name; only the chosen sky's picture (and the thunder sky's) is resident.
#pragma once
#include "world/STypeTable.h"

class SImageCache;

class SSkyType {
 public:
  // Tag "A": name, (above version 38) picture, period, weather, (above 31) fog colour and visibility,
  // (above 75) animation.
  void Serialize(SStream& s, u32 version);
  const char* Picture() const { return picture ? picture : name.text; }
  void LoadPicture(SImageCache& cache);
  void ReleasePicture(SImageCache& cache);
  // The palette slot that recolours the resident picture, 0 for the picture's own colours.
  u16 PaletteSlot(const SImageCache& cache) const;

  SName name;
  const char* picture = nullptr;
  u8 period = 1;  // 1 day, 2 night, 4 dawn and dusk
  u8 weather = 0;
  i8 animation = 0;
  u16 fogColour = 0;
  u8 visibility = 100;

 private:
  bool resident_ = false;  // each sky holds its picture at most once
  bool paletteResident_ = false;
};

// What a selection hands the game state.
struct SSkyChoice {
  i8 animation = 0;
  u16 fogColour = 0;
  u8 visibility = 100;
  u16 imageSlot = 0;
  u16 paletteSlot = 0;  // 0: the picture's own colours
};

class SSkyTypeTable : public SOneRecordTable<SSkyType> {
 public:
  static constexpr const char* kThunderSky = "bres_sky-thunder";

  SSkyTypeTable() : SOneRecordTable<SSkyType>('B', false) {}
  void SetImageCache(SImageCache* cache) { cache_ = cache; }
  static u32 PeriodOfHour(u32 hour);
  // False (the choice unchanged) when no sky has the hour's period or every sky's weather lies 1000 or
  // more away.
  bool SelectSkyForTime(u32 hour, i32 weather, SSkyChoice& choice);
  bool SelectSkyByName(const char* name, SSkyChoice& choice);
  // Releases the picture of every sky but `kept` and the thunder sky (null keeps only the thunder sky).
  void ReleaseOtherSkies(const SSkyType* kept);
  void LoadThunderSky();
  void Clear() override;

 private:
  void Choose(SSkyType* sky, SSkyChoice& choice);

  SImageCache* cache_ = nullptr;
};
