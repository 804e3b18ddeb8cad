// Base of every image-bearing type record: its name and the names of the palettes its pictures use,
// acquired in and released from the image cache together.
#pragma once
#include "foundation/SName.h"
#include "foundation/SStringList.h"

#include "foundation/SStream.h"

class SImageCache;

class SPaletteHolder {
 public:
  SPaletteHolder() = default;
  SPaletteHolder(const SPaletteHolder&) = delete;
  SPaletteHolder& operator=(const SPaletteHolder&) = delete;
  virtual ~SPaletteHolder() = default;

  // The palette list: align 2, u16 count, the names. Writing stores what the list holds.
  bool Serialize(SStream& s, u32 version);
  // Each palette is acquired once per holder: a second acquire without a release changes nothing, and
  // a release without an acquire neither.
  void AcquirePalettes(SImageCache& cache);
  void ReleasePalettes(SImageCache& cache);
  bool PalettesAcquired() const { return palettesAcquired_; }

  SName name;
  SStringList palettes;

 private:
  bool palettesAcquired_ = false;
};

// The palette block that follows the records of an image-bearing table (data above version 41): a u16
// count, then that many record names each followed by that record's palette list. `find(name)` returns
// the holder of that name or null; an unknown name's list is read into a scratch holder and dropped, so
// the stream stays in step. False when the data is short.
template <class Find>
bool ReadPaletteBlock(SStream& s, u32 version, Find&& find) {
  if (version <= 41) return true;
  u16 n = 0;
  s.Align(2);
  s.SerializeU16(n);
  for (u32 i = 0; i < n && s.Ok(); ++i) {
    const char* name = nullptr;
    s.SerializeString(name);
    if (s.Failed()) break;
    SPaletteHolder* holder = find(name);
    if (holder) {
      holder->Serialize(s, version);
    } else {
      SPaletteHolder scratch;
      scratch.Serialize(s, version);
    }
  }
  return s.Ok();
}
// Writes the block for the holders that have palettes.
bool WritePaletteBlock(SStream& s, u32 version, SPaletteHolder* const* holders, u32 n);
