#include "WorldWriter.h"

#include <algorithm>

#include "graphics/SImage.h"
#include "world/SMapArea.h"
#include "world/SWorldBase.h"

namespace worldbuild {
namespace {
Bytes CountRecord(u8 marker, u32 version, u32 zeroCounts) {
  Bytes out;
  StreamRecord(out, version, [&](SStream& s) {
    s.SerializeMarker(marker);
    for (u32 i = 0; i < zeroCounts; ++i) {
      u16 zero = 0;
      s.SerializeU16(zero);
    }
  });
  return out;
}
// Tables with pictures follow their records with a palette block (above version 41).
u32 WithPalettes(u32 version) { return version > 41 ? 2 : 1; }
}  // namespace

std::vector<Bytes> EmptyBlock(SWorldBlock block, u32 version) {
  switch (block) {
    case kBlockAbilities: return {CountRecord(10, version, 1)};
    case kBlockAlchemy: return {CountRecord(14, version, 1)};
    case kBlockDiseases: return {CountRecord(12, version, 1)};
    case kBlockGlobals: return {CountRecord(16, version, 1)};
    case kBlockItems:
      return {CountRecord(22, version, WithPalettes(version)), CountRecord('8', version, WithPalettes(version)),
              CountRecord(18, version, 1), CountRecord(20, version, 1)};
    case kBlockMapObjectTypes: return {CountRecord(25, version, WithPalettes(version))};
    case kBlockMonsters: return {CountRecord(28, version, WithPalettes(version)), CountRecord(30, version, 1)};
    case kBlockDialogLists: return {CountRecord('$', version, 2)};
    case kBlockFaces: return {CountRecord('%', version, 1)};
    case kBlockPeople: return {CountRecord('+', version, 1)};
    case kBlockQuests: return {CountRecord(8, version, 1)};
    case kBlockScenes: return {CountRecord('5', version, version >= 101 ? 2 : 1)};
    case kBlockSkies: return {CountRecord('B', version, 1)};
    case kBlockScripts: return {CountRecord('\'', version, 1)};
    case kBlockSounds: return {CountRecord(',', version, 3)};
    case kBlockSpellEffects: return {CountRecord('0', version, WithPalettes(version))};
    case kBlockSpells: return {CountRecord(3, version, 1)};
    case kBlockInteriors: return {CountRecord(';', version, 1)};
    case kBlockRaces: return {CountRecord('N', version, 1)};
    case kBlockSkills: return {CountRecord('P', version, 1)};
    case kBlockAttributes: return {CountRecord('R', version, 1)};
    case kBlockCount: break;
  }
  return {};
}

Bytes ImageRecord(const Bytes& image) {
  Bytes out(4 + image.size(), 0);
  std::copy(image.begin(), image.end(), out.begin() + 4);
  return out;
}

Bytes PaletteRecord(const std::vector<u16>& colours) {
  Bytes out(4, 0);
  for (u16 c : colours) {
    out.push_back(u8(c));
    out.push_back(u8(c >> 8));
  }
  return out;
}

bool WriteWorldArchive(Archive& out, const WorldArchiveSpec& spec, WorldLayout* layout, std::string& error) {
  const u32 v = spec.version;
  u32 record = kWorldFirstRecord;
  auto put = [&](u32 id, Bytes bytes) -> bool {
    if (id > 0xFFFF) {
      error = spec.name + ": record ids run past 65,535";
      return false;
    }
    out.records[u16(id)] = std::move(bytes);
    return true;
  };
  auto fail = [&](const std::string& what) {
    error = spec.name + ": " + what;
    return false;
  };

  Bytes bytes;
  SWorldBaseHeader header;
  header.dataVersion = spec.version;
  header.firstText = spec.title.c_str();
  header.name = spec.name.c_str();
  header.thirdText = spec.thirdText.c_str();
  header.value1 = spec.tileColumns;
  header.value2 = spec.tileRows;
  header.mapPrefix = spec.mapPrefix.c_str();
  if (!StreamRecord(bytes, v, [&](SStream& s) { header.Serialize(s); }) || !put(kWorldHeaderRecord, bytes))
    return fail("header");

  // Image directory, then the images right after it; likewise the palettes.
  if (spec.images.size() > 0xFFFF || spec.palettes.size() > 0xFFFF) return fail("too many images or palettes");
  u32 imageDir = record;
  StreamRecord(bytes, v, [&](SStream& s) {
    s.SerializeMarker('<');
    u16 n = u16(spec.images.size());
    s.SerializeU16(n);
    for (u32 i = 0; i < n; ++i) {
      const char* name = spec.images[i].name.c_str();
      u32 size = u32(spec.images[i].image.size());
      u16 id = u16(imageDir + 1 + i);
      s.SerializeString(name);
      s.SerializeU32(size);
      s.SerializeU16(id);
    }
  });
  if (bytes.empty() || !put(imageDir, bytes)) return fail("image directory does not fit one record");
  for (u32 i = 0; i < spec.images.size(); ++i) {
    const Bytes& image = spec.images[i].image;
    const SImage* checked = SImage::FromRecord(image.data(), u32(image.size()));
    if (!checked || !checked->TableCovers(checked->OwnTableEntries(u32(image.size()))))
      return fail("image " + spec.images[i].name + " is not a whole image with its colour table");
    if (!put(imageDir + 1 + i, ImageRecord(image))) return false;
  }
  record = imageDir + 1 + u32(spec.images.size());
  u32 paletteDir = record;
  StreamRecord(bytes, v, [&](SStream& s) {
    s.SerializeMarker('=');
    u16 n = u16(spec.palettes.size());
    s.SerializeU16(n);
    for (u32 i = 0; i < n; ++i) {
      const char* name = spec.palettes[i].name.c_str();
      const char* second = nullptr;
      u16 value = 0, id = u16(paletteDir + 1 + i);
      s.SerializeString(name);
      s.SerializeString(second);
      s.SerializeU16(value);
      s.SerializeU16(id);
    }
  });
  if (bytes.empty() || !put(paletteDir, bytes)) return fail("palette directory does not fit one record");
  for (u32 i = 0; i < spec.palettes.size(); ++i) {
    if (spec.palettes[i].colours.empty() || spec.palettes[i].colours.size() > 256)
      return fail("palette " + spec.palettes[i].name + " needs 1 to 256 colours");
    if (!put(paletteDir + 1 + i, PaletteRecord(spec.palettes[i].colours))) return false;
  }
  record = paletteDir + 1 + u32(spec.palettes.size());

  // Map picture: an "L" record and the picture after it; without a map prefix the two ids stay unused.
  if (!spec.mapPrefix.empty()) {
    const SImage* checked = SImage::FromRecord(spec.mapPicture.data(), u32(spec.mapPicture.size()));
    if (!checked) return fail("a world with maps needs a world-map picture");
    StreamRecord(bytes, v, [&](SStream& s) {
      s.SerializeMarker('L');
      u16 unused = 0;
      s.SerializeU16(unused);
    });
    if (!put(record, bytes) || !put(record + 1, ImageRecord(spec.mapPicture))) return false;
  }
  record += 2;

  auto block = [&](SWorldBlock b) -> bool {
    const std::vector<Bytes>& records = spec.blocks[b].empty() ? EmptyBlock(b, v) : spec.blocks[b];
    for (const Bytes& r : records)
      if (!put(record++, r)) return false;
    return true;
  };
  auto indexList = [&](u8 marker, const std::vector<std::string>& names) -> bool {
    if (names.size() > 0xFFFF) return fail("index list too long");
    std::vector<const char*> texts;
    for (const std::string& n : names) texts.push_back(n.c_str());
    if (!StreamRecord(bytes, v, [&](SStream& s) { WriteIndexList(s, marker, texts.data(), u16(texts.size())); }))
      return fail("index list does not fit one record");
    return put(record++, bytes);
  };

  const bool moved = v >= kIndexListsMovedVersion;
  for (SWorldBlock b :
       {kBlockAbilities, kBlockAlchemy, kBlockDiseases, kBlockGlobals, kBlockItems, kBlockMapObjectTypes})
    if (!block(b)) return false;
  if (moved && (!indexList('C', spec.typeList) || !indexList('D', spec.itemList) || !indexList('F', spec.paletteList)))
    return false;
  if (!block(kBlockMonsters)) return false;
  if (moved && !indexList('E', spec.monsterList)) return false;
  for (SWorldBlock b :
       {kBlockDialogLists, kBlockFaces, kBlockPeople, kBlockQuests, kBlockScenes, kBlockSkies, kBlockScripts,
        kBlockSounds, kBlockSpellEffects, kBlockSpells, kBlockInteriors, kBlockRaces, kBlockSkills, kBlockAttributes})
    if (!block(b)) return false;
  if (!moved && (!indexList('C', spec.typeList) || !indexList('D', spec.itemList) ||
                 !indexList('E', spec.monsterList) || !indexList('F', spec.paletteList)))
    return false;

  // The map directory; each map's five records follow it.
  if (spec.maps.size() > 255) return fail("more than 255 maps");
  u32 directory = record;
  WorldLayout result;
  result.mapDirectory = u16(directory);
  bool entriesOk = true;
  bool ok = StreamRecord(bytes, v, [&](SStream& s) {
    SMapDirectoryHead head;
    head.waterPosition = spec.waterPosition;
    head.palettePosition = spec.palettePosition;
    head.mapCount = u8(spec.maps.size());
    head.Serialize(s);
    for (u32 i = 0; i < spec.maps.size(); ++i) {
      const MapDef& m = spec.maps[i];
      u16 first = u16(directory + 1 + 5 * i);
      result.mapRecords.push_back(first);
      s.SerializeU16(first);
      SMapArea area;
      area.title = m.title.c_str();
      area.name.Set(m.name.c_str());
      area.flags = m.flags;
      area.dataFogColour = m.fogColour;
      area.dataVisibility = m.visibility;
      area.storedX = m.storedX;
      area.storedY = m.storedY;
      area.storedWidth = m.storedWidth;
      area.storedHeight = m.storedHeight;
      area.texturePosition = m.texturePosition;
      area.texturePalettePosition = m.texturePalettePosition;
      area.ceilingPosition = m.ceilingPosition;
      area.ceilingPalettePosition = m.ceilingPalettePosition;
      if (!area.SerializeDirectoryEntry(s, v)) entriesOk = false;
    }
  });
  if (!ok || !entriesOk || !put(directory, bytes)) return fail("map directory does not fit one record");
  for (u32 i = 0; i < spec.maps.size(); ++i)
    for (u32 k = 0; k < 5; ++k)
      if (!spec.maps[i].content[k].empty() && !put(directory + 1 + 5 * i + k, spec.maps[i].content[k])) return false;
  result.next = u16(directory + 1 + 5 * spec.maps.size());
  if (layout) *layout = result;
  return true;
}

}  // namespace worldbuild
