#include "world/SMapArea.h"

#include "foundation/SStream.h"

#include <cstring>
#include <new>

bool SMapArea::SerializeDirectoryEntry(SStream& s, u32 version) {
  s.SerializeMarker('G');
  s.SerializeString(title);
  if (s.IsWriting()) {
    const char* text = name.Text();
    s.SerializeString(text);
  } else {
    const char* text = nullptr;
    s.SerializeString(text);
    name.Set(text);
  }
  s.SerializeU16(flags);
  s.SerializeU16(dataFogColour);
  s.SerializeByte(dataVisibility);
  s.SerializeByte(storedX);
  s.SerializeByte(storedY);
  s.SerializeByte(storedWidth);
  s.SerializeByte(storedHeight);
  if (version > 12) {
    s.SerializeU16(texturePosition);
    s.SerializeU16(texturePalettePosition);
    s.SerializeU16(ceilingPosition);
    s.SerializeU16(ceilingPalettePosition);
  }
  if (s.Failed()) return false;
  if (s.IsReading()) {
    lastVisit = 0;
    fogColour = dataFogColour;
    visibility = dataVisibility;
    width = height = IsOutdoor() ? 21 : 35;
    automapRowBytes = u16((width + 7) / 8);
    delete[] automap;
    u32 bytes = u32(automapRowBytes) * height;
    automap = new (std::nothrow) u8[bytes];
    if (!automap) return false;
    std::memset(automap, 0, bytes);
    dataVersion = i32(version);
  }
  return true;
}
