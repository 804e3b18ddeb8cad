#include "world/SPaletteHolder.h"

#include "foundation/SStream.h"
#include "world/SImageCache.h"

bool SPaletteHolder::Serialize(SStream& s, u32 version) { return palettes.SerializeTexts(s); }

void SPaletteHolder::AcquirePalettes(SImageCache& cache) {
  if (palettesAcquired_) return;
  palettesAcquired_ = true;
  for (u32 i = 0; i < palettes.Count(); ++i) {
    const char* text = palettes.Text(i32(i));
    if (text) cache.LoadPalette(cache.FindPalette(text));
  }
}

void SPaletteHolder::ReleasePalettes(SImageCache& cache) {
  if (!palettesAcquired_) return;
  palettesAcquired_ = false;
  for (u32 i = 0; i < palettes.Count(); ++i) {
    const char* text = palettes.Text(i32(i));
    if (text) cache.ReleasePalette(cache.FindPalette(text));
  }
}

bool WritePaletteBlock(SStream& s, u32 version, SPaletteHolder* const* holders, u32 n) {
  if (version <= 41) return true;
  u16 count = 0;
  for (u32 i = 0; i < n; ++i)
    if (holders[i] && holders[i]->palettes.Count()) ++count;
  s.Align(2);
  s.SerializeU16(count);
  for (u32 i = 0; i < n; ++i) {
    if (!holders[i] || !holders[i]->palettes.Count()) continue;
    const char* name = holders[i]->name.Text();
    s.SerializeString(name);
    holders[i]->Serialize(s, version);
  }
  return s.Ok();
}
