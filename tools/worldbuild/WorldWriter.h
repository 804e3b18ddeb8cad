// Lays out one world archive in the fixed record order its loader reads: header 3999, the image and
// palette directories with their records, the map picture slot, every table block (the count-0 form
// where the archive has nothing), the index lists where the data version puts them, and the map
// directory. Shared by the world builder's steps and by tests that build fixtures.
#pragma once
#include "BuildStep.h"
#include "foundation/SStream.h"
#include "world/SWorldTable.h"

#include <string>
#include <vector>

namespace worldbuild {

using Bytes = std::vector<u8>;

// What a writing stream over `capacity` bytes holds after fn(stream); false when the stream failed.
template <class F>
bool StreamRecord(Bytes& out, u32 version, F&& fn, u32 capacity = SStream::kWriteBufferSize) {
  SStream s(version);
  if (!s.OpenForWriteOwned(capacity)) return false;
  fn(s);
  if (s.Failed()) return false;
  out.assign(s.Data(), s.Data() + s.BytesUsed());
  return true;
}

struct ImageDef {
  std::string name;
  Bytes image;  // the image record as graphics reads it (the 4-byte record header is added)
};
struct PaletteDef {
  std::string name;
  std::vector<u16> colours;  // 1 to 256 colours
};
struct MapDef {
  std::string title;
  std::string name;
  u16 flags = 0;
  u16 fogColour = 0;
  u8 visibility = 100;
  u8 storedX = 0, storedY = 0, storedWidth = 0, storedHeight = 0;
  u16 texturePosition = 0, texturePalettePosition = 0, ceilingPosition = 0, ceilingPalettePosition = 0;
  // Records R..R+4 of the map (cells, outdoor offsets, monsters, objects, containers); empty ones are
  // not written.
  std::vector<u8> content[5];
};

struct WorldArchiveSpec {
  u8 version = 114;
  std::string title;  // first text of the header
  std::string name;   // module name ("bres"): the resource prefix without "_"
  std::string thirdText;
  u16 tileColumns = 0, tileRows = 0;
  std::string mapPrefix;  // empty: no map picture, no maps expected
  std::vector<ImageDef> images;
  std::vector<PaletteDef> palettes;
  Bytes mapPicture;  // the world-map image record (needed with a map prefix)
  // Records of a block exactly as its table consumes them; an empty list writes the block's count-0 form.
  std::vector<Bytes> blocks[kBlockCount];
  std::vector<std::string> typeList, itemList, monsterList, paletteList;  // "C", "D", "E", "F"
  u16 waterPosition = 0, palettePosition = 0;
  std::vector<MapDef> maps;
};

// The record ids the layout gave out.
struct WorldLayout {
  u16 mapDirectory = 0;
  std::vector<u16> mapRecords;  // first record of each map (5 per map, after the directory)
  u16 next = 0;                 // the first id after everything
};

// The count-0 form of a block, as many records as its table consumes.
std::vector<Bytes> EmptyBlock(SWorldBlock block, u32 version);
// A world image record (4 zero header bytes, then the image) and a palette record (4 zero bytes, colours).
Bytes ImageRecord(const Bytes& image);
Bytes PaletteRecord(const std::vector<u16>& colours);

// Writes the archive's records; false with a message naming what is wrong.
bool WriteWorldArchive(Archive& out, const WorldArchiveSpec& spec, WorldLayout* layout, std::string& error);

}  // namespace worldbuild
