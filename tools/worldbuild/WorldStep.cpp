// Writes the sample world's four archives, "DuskmireMusic", "DuskmireSound", "DuskmireRes" and
// "DuskmireBase", from data/sample/world/*.json: pixel art (data/sample/art), generated textures, palettes,
// waves and a tracker module, the index lists, the map directory and the blocks whose tables exist
// (globals, faces, named scripts, dialog entry lists, monsters, sounds and music). Scripts come from
// readable sources (WorldScripts.h). Every record goes through its table's own transfer routine, and the
// finished archives are read back by the game's loader before anything is written.
#include "ArtSources.h"
#include "BuildStep.h"
#include "ImageEncode.h"
#include "WorldItems.h"
#include "WorldMaps.h"
#include "WorldRules.h"
#include "WorldScripts.h"
#include "WorldSources.h"
#include "WorldWriter.h"
#include "core/SGameWorld.h"
#include "foundation/SDatabase.h"
#include "game/SConnectionVariants.h"
#include "game/SMonster.h"
#include "script/SDialogEntry.h"
#include "script/SFaceTable.h"
#include "script/SGlobalVariables.h"
#include "script/SScriptTable.h"
#include "world/SImageCache.h"
#include "world/SItemTable.h"
#include "world/SMapObjectType.h"
#include "world/SSoundTable.h"
#include "world/SWorldModule.h"
#include "world/SWorldRules.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace worldbuild {
namespace {
using nlohmann::json;
Bytes SoundRecord(const std::string& name, const Bytes& wave) {
  SResource r;
  r.name.Set(name.c_str());
  Bytes out = SampleRecord([&](SStream& s) { r.SerializeHeader(s, kSampleVersion); });
  out.insert(out.end(), wave.begin(), wave.end());
  return out;
}

Bytes SoundHeader(u16 a, u16 b, u16 c) {
  return SampleRecord([&](SStream& s) {
    s.SerializeMarker(',');
    s.SerializeU16(a);
    s.SerializeU16(b);
    s.SerializeU16(c);
  });
}

u16 Colour(const std::string& hex) {
  unsigned v = std::stoul(hex.substr(1), nullptr, 16);
  return imageenc::Rgb565(int(v >> 16), int((v >> 8) & 255), int(v & 255));
}

bool AddImages(Context& ctx, const std::string& file, const json& images, WorldArchiveSpec& spec);

// --- DuskmireMusic -------------------------------------------------------------------------------------
bool BuildMusic(Context& ctx, WorldArchiveSpec& spec) {
  json j;
  if (!ReadSourceJson(ctx, "world/music.json", j)) return false;
  spec.name = j.value("module", "bmus");
  spec.title = j.value("title", "");
  const json& sm = j["sampleModule"];
  SMusicModule module;
  module.name.Set(KeepText(sm.value("name", "")));
  std::vector<Bytes> sampleRecords;
  u32 index = 0;
  for (const json& smp : sm["samples"]) {
    if (index >= audModuleSamples) return ctx.fail("music.json", "more than 31 samples"), false;
    u8* h = module.header + audModule::kSampleHeaders + index * audModule::kSampleHeaderSize;
    std::string name = smp.value("name", "");
    std::memcpy(h, name.c_str(), std::min<size_t>(name.size(), 22));
    u32 words = smp.value("words", 1000);
    if (words > 0xFFFF) return ctx.fail("music.json", "sample longer than 65,535 words"), false;
    h[22] = u8(words >> 8);
    h[23] = u8(words);
    h[25] = u8(smp.value("volume", 64));
    h[29] = 1;  // loop length 1 word: no loop
    Bytes data(words * 2);
    u32 seed = 7 + index;
    const bool noise = smp.value("wave", "sine") == std::string("noise");
    const u32 period = smp.value("period", 32);
    for (u32 i = 0; i < data.size(); ++i)
      data[i] = noise ? u8(Lcg(seed)) : u8(i8(60 * std::sin(2 * M_PI * i / period)));
    // A sample above 32,000 words continues in a second record.
    const u32 first = std::min<u32>(u32(data.size()), kSampleWordsPerRecord * 2);
    sampleRecords.emplace_back(data.begin(), data.begin() + first);
    if (words > kSampleWordsPerRecord) sampleRecords.emplace_back(data.begin() + first, data.end());
    ++index;
  }
  module.sampleCount = u16(index);
  module.header[audModule::kSongLength] = 1;
  std::memcpy(module.header + audModule::kTag, "M.K.", 4);

  std::vector<Bytes>& sounds = spec.blocks[kBlockSounds];
  sounds.push_back(SoundHeader(1, u16(j["songs"].size()), 0));
  sounds.push_back(SampleRecord([&](SStream& s) { module.SerializeHead(s, kSampleVersion); }));
  sounds.insert(sounds.end(), sampleRecords.begin(), sampleRecords.end());
  for (const json& sj : j["songs"]) {
    SMusicSong song;
    song.name.Set(KeepText(sj.value("name", "")));
    song.sampleModule.Assign(module.name.Text());
    song.patternCount = u16(sj.value("patterns", 1));
    std::memcpy(song.header, module.header, audModuleHeaderSize);
    std::memcpy(song.header, song.name.Text(), std::min<size_t>(std::strlen(song.name.Text()), 20));
    song.header[audModule::kSongLength] = u8(song.patternCount);
    for (u32 p = 0; p < song.patternCount; ++p) song.header[audModule::kOrders + p] = u8(p);
    sounds.push_back(SampleRecord([&](SStream& s) { song.SerializeHead(s, kSampleVersion); }));
    sounds.push_back(SampleRecord([&](SStream& s) { SerializeTrackerHeader(s, song.header); }));
    std::vector<u32> notes = sj.value("notes", std::vector<u32>{428});
    for (u32 p = 0; p < song.patternCount; ++p) {
      Bytes cells(64 * 4 * 4, 0);
      for (u32 row = 0; row < 64; row += 4) {
        u32 period = notes[(row / 4 + p) % notes.size()];
        u32 sample = 1 + (row / 4) % index;
        u8* c = &cells[(row * 4 + (row / 4) % 2) * 4];
        c[0] = u8((sample & 0xF0) | (period >> 8));
        c[1] = u8(period);
        c[2] = u8((sample & 0x0F) << 4);
      }
      sounds.push_back(cells);
    }
  }
  // The music archive is the only one open before a game: the credits live here, with their picture.
  if (j.contains("images") && !AddImages(ctx, "music.json", j["images"], spec)) return false;
  return BuildSceneBlock(ctx, "world/music.json", spec);
}

// --- DuskmireSound -------------------------------------------------------------------------------------
bool BuildSounds(Context& ctx, WorldArchiveSpec& spec) {
  json j;
  if (!ReadSourceJson(ctx, "world/sounds.json", j)) return false;
  spec.name = j.value("module", "bsnd");
  spec.title = j.value("title", "");
  std::vector<std::pair<std::string, Bytes>> sounds;
  for (const json& s : j["sounds"]) sounds.push_back({s.value("name", ""), Wave(s)});
  u32 n = 0;
  for (const json& m : j["monsterSounds"])
    for (const json& k : j["monsterSoundKinds"]) {
      json w = {{"name", "x"}, {"wave", n % 2 ? "noise" : "sine"}, {"hz", 150 + 40 * n}, {"ms", 150}};
      sounds.push_back({"bsnd_" + m.get<std::string>() + k.get<std::string>(), Wave(w)});
      ++n;
    }
  std::vector<Bytes>& block = spec.blocks[kBlockSounds];
  block.push_back(SoundHeader(0, 0, u16(sounds.size())));
  for (auto& [name, wave] : sounds) {
    if (name.size() > 200) return ctx.fail("sounds.json", name + ": name too long"), false;
    block.push_back(SoundRecord(name, wave));
  }
  return true;
}

// --- DuskmireRes ---------------------------------------------------------------------------------------
// A picture a source lists: from a generator ("gen") for textures and skies, else drawn in data/sample/art
// under its own name (or the name "art" gives). False after reporting a fault.
bool Generate(Context& ctx, const std::string& file, const json& im, imageenc::Picture& out) {
  const std::string name = im.value("name", "");
  const int w = im.value("w", 16), h = im.value("h", 16);
  const std::string gen = im.value("gen", "");
  if (!GeneratorAllowed(ctx, file, name, gen)) return false;
  if (gen.empty()) return DrawArt(ctx, file, im.value("art", name), out);
  if (gen == "bricks")
    out = imageenc::MakeBricks(w, h, im.value("seed", 1));
  else if (gen == "noise")
    out = imageenc::MakeNoise(w, h, u16(im.value("base", 0x8410)), im.value("spread", 16), im.value("seed", 1));
  else if (gen == "gradient") {
    out = imageenc::MakeGradient(w, h, u16(im.value("a", 0)), u16(im.value("b", 0xFFFF)));
    imageenc::AddStars(out, im.value("stars", 0), im.value("seed", 1));
  } else if (gen == "flagstones")
    out = imageenc::MakeFlagstones(w, h, im.value("seed", 1));
  else
    return ctx.fail(file, name + ": unknown generator " + gen), false;
  return true;
}

// The transition mask of a connection variant, for 256 x 256 floors: one bit per 2 x 2 texels, 128 rows
// of four 32-bit words (a palette picture 16 bytes wide). A set bit shows the upper ground: it covers
// the cell but for a wavy margin toward each side, and each corner, whose neighbour holds other ground.
Bytes TransitionMask(u32 variant) {
  const u32 m = ConnectionVariants::MaskOf(variant);
  constexpr int kBlocks = 128;
  std::vector<u8> bits(16 * kBlocks, 0);
  auto margin = [](double along) { return 0.26 + 0.05 * std::sin(along * 2 * M_PI * 2); };
  for (int by = 0; by < kBlocks; ++by)
    for (int bx = 0; bx < kBlocks; ++bx) {
      const double u = (bx + 0.5) / kBlocks, v = (by + 0.5) / kBlocks;
      bool on = true;
      if (!(m & 1) && v < margin(u)) on = false;
      if (!(m & 4) && u > 1 - margin(v)) on = false;
      if (!(m & 16) && v > 1 - margin(u)) on = false;
      if (!(m & 64) && u < margin(v)) on = false;
      // A corner cut where both sides join but the diagonal does not.
      const struct {
        u32 sides, bit;
        double cx, cy;
      } corners[4] = {{1 | 4, 2, 1, 0}, {4 | 16, 8, 1, 1}, {16 | 64, 32, 0, 1}, {64 | 1, 128, 0, 0}};
      for (const auto& c : corners)
        if ((m & c.sides) == c.sides && !(m & c.bit) && (u - c.cx) * (u - c.cx) + (v - c.cy) * (v - c.cy) < 0.26 * 0.26)
          on = false;
      if (on) bits[size_t(by) * 16 + size_t(bx / 8)] |= u8(1u << (bx % 8));
    }
  std::vector<u16> palette(256);
  for (int i = 0; i < 256; ++i) palette[size_t(i)] = imageenc::Rgb565(i, i, i);
  return imageenc::EncodeIndexed(16, kBlocks, bits, palette);
}

// Wall textures are stored turned a quarter: a stored row is a wall column.
imageenc::Picture Turned(const imageenc::Picture& p) {
  imageenc::Picture t(p.height, p.width);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) t.at(y, x) = p.at(x, y);
  return t;
}

// The pictures a source lists under "images": generated or drawn (Generate), walls turned, and runs of
// transition masks. False after reporting a fault.
bool AddImages(Context& ctx, const std::string& file, const json& images, WorldArchiveSpec& spec) {
  for (const json& im : images) {
    std::string name = im.value("name", "");
    if (im.value("gen", "") == "masks") {
      // A run of transition masks, one per connection variant: <name>00 .. <name>47.
      for (u32 variant = 0; variant < ConnectionVariants::kCount; ++variant) {
        char suffix[4];
        std::snprintf(suffix, sizeof suffix, "%02u", variant);
        spec.images.push_back({name + suffix, TransitionMask(variant)});
      }
      continue;
    }
    imageenc::Picture pic;
    if (!Generate(ctx, file, im, pic)) return false;
    if (name.rfind("bres_wall", 0) == 0) pic = Turned(pic);
    spec.images.push_back({name, imageenc::Encode(pic, im.value("format", 0))});
  }
  return true;
}

// The world's dialog entry lists (one record), their scripts laid out where they land in it.
Bytes DialogBlock(Context& ctx, const std::string& file, const json& lists) {
  SDialogEntryListPair pair;
  EntryPrograms programs;
  // Topic lists go into the first array, greetings and monsters' lists ("greeting": true) into the second.
  for (const json& lj : lists)
    if (SDialogEntryList* l = DialogListFromJson(ctx, file, lj, programs))
      (lj.value("greeting", false) ? pair.second : pair.first).Add(l);
  Bytes out = WriteDialogRecord(
      pair, programs,
      [&] { return SampleRecord([&](SStream& s) { pair.Serialize(s, kSampleVersion, false, nullptr); }); },
      [](const Bytes& record, std::vector<u32>& offsets) {
        SDialogEntryListPair back;
        SStream s(kSampleVersion);
        s.OpenForRead(record.data(), u32(record.size()));
        const bool ok = back.Serialize(s, kSampleVersion, false, nullptr);
        offsets = ScriptOffsets(back);
        for (SPtrArray<SDialogEntryList>* l : {&back.first, &back.second}) l->DeleteAll();
        return ok;
      });
  for (SPtrArray<SDialogEntryList>* l : {&pair.first, &pair.second}) l->DeleteAll();
  if (out.empty() && !ctx.failed()) ctx.fail((ctx.source() / file).string(), "the dialog lists do not fit one record");
  return out;
}

bool BuildRes(Context& ctx, WorldArchiveSpec& spec) {
  json j;
  if (!ReadSourceJson(ctx, "world/res.json", j)) return false;
  spec.name = j.value("module", "bres");
  spec.title = j.value("title", "");
  for (const json& p : j["palettes"]) {
    PaletteDef def{p.value("name", ""), {}};
    u16 from = Colour(p.value("from", "#000000")), to = Colour(p.value("to", "#ffffff"));
    for (int i = 0; i < 256; ++i) {
      int r = ((from >> 11) * (255 - i) + (to >> 11) * i) / 255;
      int g = (((from >> 5) & 63) * (255 - i) + ((to >> 5) & 63) * i) / 255;
      int b = ((from & 31) * (255 - i) + (to & 31) * i) / 255;
      def.colours.push_back(u16(r << 11 | g << 5 | b));
    }
    spec.palettes.push_back(def);
  }
  if (!AddImages(ctx, "res.json", j["images"], spec)) return false;
  SMonsterTable table;
  for (const json& bj : j["monsterBaseTypes"]) {
    auto* b = new SMonsterBaseType;
    std::string name = bj.value("name", "");
    std::string shortName = name.substr(5);
    b->name.Set(KeepText(name));
    b->kind = u8(bj.value("kind", 1));
    // The family's name as a player reads it (the enchanting lists the base types by it).
    const std::string label = bj.value("label", "");
    if (label.empty()) ctx.fail(SourcePlace(ctx, "world/res.json", JsonPattern(name)), name + ": no label");
    b->text1 = KeepText(label);
    for (u32 f = 0; f < b->FrameCount(); ++f) {
      std::string frame = name + std::to_string(f + 1);
      b->frameNames[f] = KeepText(frame);
      imageenc::Picture pic;
      if (!DrawArt(ctx, "res.json: " + name, frame, pic)) return false;
      // Sprites are drawn at twice their grid: their 2 x 2 blocks are exact, and small, in format 1.
      spec.images.push_back({frame, imageenc::Encode(pic, bj.value("format", 1))});
    }
    b->text3 = KeepText(bj.value("palette", ""));
    // A base type makes its own sounds, or those of the type that "sounds" names (a person who speaks
    // with another's voice needs no new ones).
    const std::string voice = bj.value("sounds", shortName);
    b->sound1 = KeepText("bsnd_" + voice + "attack");
    b->sound2 = KeepText("bsnd_" + voice + "hurt");
    b->sound3 = KeepText("bsnd_" + voice + "death");
    b->sound4 = KeepText("bsnd_" + voice + "voice");
    b->palettes.AddText(bj.value("palette", "").c_str());
    b->behaviour = u8(bj.value("behaviour", 1));
    b->p1 = u8(bj.value("height", 0));
    b->p2 = u8(bj.value("wide", 0));
    b->p3 = u8(bj.value("layer2", 0));
    if (bj.contains("missile")) b->text4 = KeepText(bj["missile"].get<std::string>());
    table.baseTypes.Add(b);
  }
  spec.blocks[kBlockMonsters] = {SampleRecord([&](SStream& s) { table.SerializeBaseTypes(s, kSampleVersion); }),
                                 EmptyBlock(kBlockMonsters, kSampleVersion)[1]};
  SFaceTable faces;
  for (const json& fj : j["faces"]) {
    auto* f = new SFace;
    f->name.Set(KeepText(fj.value("name", "")));
    f->selectable = fj.value("selectable", false) ? 1 : 0;
    faces.faces.Add(f);
  }
  spec.blocks[kBlockFaces] = {SampleRecord([&](SStream& s) { faces.SerializeBlock(s, kSampleVersion); })};
  spec.blocks[kBlockDialogLists] = {DialogBlock(ctx, "world/res.json", j["dialogLists"])};
  return true;
}

// --- DuskmireBase --------------------------------------------------------------------------------------
bool BuildBase(Context& ctx, WorldArchiveSpec& spec) {
  json j;
  if (!ReadSourceJson(ctx, "world/base.json", j)) return false;
  spec.name = j.value("module", "base");
  spec.title = j.value("title", "");
  spec.mapPrefix = j.value("mapPrefix", "");
  spec.tileColumns = u16(j.value("tileColumns", 1));
  spec.tileRows = u16(j.value("tileRows", 1));
  spec.typeList = j.value("typeList", std::vector<std::string>{});
  spec.itemList = j.value("itemList", std::vector<std::string>{});
  spec.monsterList = j.value("monsterList", std::vector<std::string>{});
  spec.paletteList = j.value("paletteList", std::vector<std::string>{});
  spec.waterPosition = u16(j.value("water", 0));
  spec.palettePosition = u16(j.value("mapPalette", 0));

  // The world-map picture: 21 pixels per tile, one per cell, with the tiles that exist in a lighter green.
  imageenc::Picture map(21 * spec.tileColumns, 21 * spec.tileRows, imageenc::Rgb565(20, 60, 120));
  for (const json& m : j["maps"]) {
    spec.maps.push_back({});
    MapDef& d = spec.maps.back();
    d.title = m.value("title", "");
    d.name = m.value("name", "");
    d.flags = u16(m.value("flags", 0));
    d.fogColour = u16(m.value("fog", 0));
    d.visibility = u8(m.value("visibility", 100));
    std::vector<int> stored = m.value("stored", std::vector<int>{0, 0, 0, 0});
    d.storedX = u8(stored[0]);
    d.storedY = u8(stored[1]);
    d.storedWidth = u8(stored[2]);
    d.storedHeight = u8(stored[3]);
    d.texturePosition = u16(m.value("texture", 0));
    d.texturePalettePosition = u16(m.value("texturePalette", 0));
    d.ceilingPosition = u16(m.value("ceiling", 0));
    d.ceilingPalettePosition = u16(m.value("ceilingPalette", 0));
    auto check = [&](u16 pos, size_t count, const char* what) {
      if (pos > count) ctx.fail("base.json", d.name + ": " + what + " position past its list");
    };
    check(d.texturePosition, spec.typeList.size(), "texture");
    check(d.ceilingPosition, spec.typeList.size(), "ceiling");
    check(d.texturePalettePosition, spec.paletteList.size(), "texture palette");
    check(d.ceilingPalettePosition, spec.paletteList.size(), "ceiling palette");
    if (d.name.rfind("base_", 0) != 0) ctx.fail("base.json", d.name + ": map names begin with \"base_\"");
    if (d.name.rfind(spec.mapPrefix, 0) == 0 && d.name.size() == spec.mapPrefix.size() + 4) {
      int c = std::stoi(d.name.substr(spec.mapPrefix.size(), 2)),
          r = std::stoi(d.name.substr(spec.mapPrefix.size() + 2));
      for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x)
          if (c >= 1 && r >= 1 && c <= spec.tileColumns && r <= spec.tileRows)
            map.at(21 * (c - 1) + x, 21 * (r - 1) + y) =
                (x == 0 || y == 0) ? imageenc::Rgb565(40, 80, 40) : imageenc::Rgb565(90, 160, 80);
    }
  }
  spec.mapPicture = imageenc::Encode(map, 0);

  SGlobalVariables globals;
  for (const json& g : j["globals"]) {
    auto* v = new SGlobalVariable;
    v->name.Set(KeepText(g.value("name", "")));
    if (g.contains("text"))
      v->value.SetText(g["text"].get<std::string>().c_str());
    else
      v->value.SetInt(g.value("int", 0));
    globals.variables.Add(v);
  }
  spec.blocks[kBlockGlobals] = {SampleRecord([&](SStream& s) { globals.SerializeBlock(s, kSampleVersion); })};

  SMonsterTable monsters;
  for (const json& mj : j["monsters"]) {
    auto* m = new SMonster;
    m->name.Set(KeepText(mj.value("name", "")));
    m->baseTypeName = KeepText(mj.value("base", ""));
    m->label = KeepText(mj.value("label", ""));
    m->normalLookName = KeepText(mj.value("look", ""));
    if (mj.contains("talk")) m->talk = KeepText(mj["talk"].get<std::string>());
    std::vector<int> damage = mj.value("damage", std::vector<int>{1, 2});
    m->minDamage = u16(damage[0]);
    m->maxDamage = u16(damage[1]);
    m->armourClass = u16(mj.value("ac", 0));
    m->maxHp = u16(mj.value("hp", 1));
    m->experience = u16(mj.value("xp", 0));
    m->kind = u8(mj.value("kind", 1));
    m->level = u8(mj.value("level", 1));
    m->flags = u8(mj.value("flags", 12));
    m->behaviour = u8(mj.value("behaviour", 1));
    m->theftDifficulty = u8(mj.value("theft", 0));
    m->widePlacement = u8(mj.value("wide", 0));
    m->layer2Blocking = u8(mj.value("layer2", 0));
    if (mj.contains("castPalette")) m->castPalette = KeepText(mj["castPalette"].get<std::string>());
    if (mj.contains("effects"))
      for (const json& ej : mj["effects"]) m->effects.Add(EffectFromJson(ej));
    if (mj.contains("items"))
      for (const json& ij : mj["items"]) {
        auto* it = new SItemSpawn;
        it->index = u16(ij.value("item", 0));
        it->count = u8(ij.value("count", 1));
        it->level = u8(ij.value("level", 0));
        it->chance = u8(ij.value("chance", 100));
        it->condition = u8(ij.value("condition", 100));
        if (it->index > spec.itemList.size())
          ctx.fail("base.json", std::string(m->name.Text()) + ": item past the list");
        m->items.entries.Add(it);
      }
    monsters.monsters.Add(m);
  }
  spec.blocks[kBlockMonsters] = {EmptyBlock(kBlockMonsters, kSampleVersion)[0],
                                 SampleRecord([&](SStream& s) { monsters.SerializeMonsters(s, kSampleVersion); })};

  // Named scripts from scripts/*.script; dialog entries carry theirs inline.
  WorldScripts& scripts = Scripts();
  if (!scripts.CompileNamed(ctx)) return false;
  spec.blocks[kBlockScripts] = scripts.NamedRecords(ctx);
  spec.blocks[kBlockDialogLists] = {DialogBlock(ctx, "world/base.json", j["dialogLists"])};
  if (ctx.failed()) return false;
  if (!BuildItemBlock(ctx, spec)) return false;
  if (!BuildMapBlocks(ctx, spec)) return false;
  if (!BuildRuleBlocks(ctx, spec)) return false;
  // Scene pages and map objects name scripts that must exist.
  return scripts.CheckReferences(ctx);
}

// Reads the written archives back with the game's loader, in the order the game opens them.
bool Validate(Context& ctx, const std::vector<Archive*>& archives) {
  std::filesystem::path dir = ctx.out() / ".worldcheck";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  SFileStore files(dir.string() + "/");
  SGameWorld world;
  world.SetFileStore(&files);
  SImageCache& images = world.images;
  SSoundTable& sounds = world.sounds;
  SItemTable& items = world.items;
  SMonsterTable& monsters = world.monsters;
  SWorldModuleList& modules = world.modules;
  bool ok = true;
  for (Archive* a : archives) {
    std::string error;
    if (!WriteArchive(*a, dir / (a->name + ".pdb"), error)) {
      ctx.fail(a->name, error);
      ok = false;
    } else if (modules.OpenArchive(a->name.c_str()) != SArchiveResult::kOpened) {
      ctx.fail(a->name, std::string("the loader refuses it: ") + modules.LastError());
      ok = false;
    }
  }
  if (ok) {
    // Names are unique across the archives: a lookup by name finds the entry itself.
    for (u32 i = 1; i < images.ImageCount(); ++i)
      if (images.FindImageIndex(images.GetImageEntry(u16(i))->name.Text()) != i) {
        ctx.fail("world", std::string(images.GetImageEntry(u16(i))->name.Text()) + ": image name used twice");
        ok = false;
      }
    for (u32 i = 1; i < images.PaletteCount(); ++i)
      if (images.FindPaletteIndex(images.GetPaletteEntry(u16(i))->name.Text()) != i) {
        ctx.fail("world", std::string(images.GetPaletteEntry(u16(i))->name.Text()) + ": palette name used twice");
        ok = false;
      }
    for (SResource* r : sounds.sounds)
      if (sounds.FindSound(r->name.Text()) != r) {
        ctx.fail("sounds.json", std::string(r->name.Text()) + ": sound name used twice");
        ok = false;
      }
    // Every image must load, and every template must find its base type.
    for (u32 i = 1; i < images.ImageCount(); ++i)
      if (!images.LoadImage(images.GetImageEntry(u16(i)))) {
        ctx.fail("DuskmireRes", std::string(images.GetImageEntry(u16(i))->name.Text()) + ": image does not load");
        ok = false;
      }
    for (SMonster* m : monsters.monsters)
      if (!m->baseType) {
        ctx.fail("base.json", std::string(m->name.Text()) + ": base type " + (m->baseTypeName ? m->baseTypeName : "") +
                                  " is not in an earlier archive");
        ok = false;
      } else if (m->kind != m->baseType->kind) {
        // The template's kind picks its pictures and its rules: it must be the base type's.
        ctx.fail("base.json", std::string(m->name.Text()) + ": kind " + std::to_string(m->kind) + " is not kind " +
                                  std::to_string(m->baseType->kind) + " of its base type " + m->baseTypeName);
        ok = false;
      }
    for (SMonsterBaseType* b : monsters.baseTypes)
      for (const char* sound : {b->sound1, b->sound2, b->sound3, b->sound4})
        if (!sounds.FindSound(sound)) {
          ctx.fail("res.json", std::string(b->name.Text()) + ": no sound " + sound);
          ok = false;
        }
    for (SMonsterBaseType* b : monsters.baseTypes) {
      const char* missile = b->MissileName();
      if (!missile || !*missile) continue;
      for (const char* variant : {"", "left", "right"})
        if (!items.FindFpsItem((std::string(missile) + variant).c_str())) {
          ctx.fail("res.json",
                   std::string(b->name.Text()) + ": no first-person picture " + missile + variant + " for its missile");
          ok = false;
        }
    }
    for (SMonster* m : monsters.monsters)
      if (m->castPalette && *m->castPalette && !images.FindPaletteIndex(m->castPalette)) {
        ctx.fail("base.json", std::string(m->name.Text()) + ": no palette " + m->castPalette + " to cast with");
        ok = false;
      }
    // Whoever a player talks to answers: the talk names a person with something to say, or, naming no
    // person, the template speaks through the dialog list that bears its own name.
    for (SMonster* m : monsters.monsters) {
      if (!m->talk || !*m->talk) continue;
      const std::string name = m->name.Text(), talk = m->talk,
                        where = SourcePlace(ctx, "world/base.json", R"("talk"\s*:\s*)" + JsonPattern(talk));
      if (world.rules.people.FindByName(m->talk)) {
        if (!PersonAnswers(world.rules, m->talk))
          ctx.warn(where, name + ": its talk names the person " + talk + ", who has nothing to say");
      } else if (!world.dialogs.FindSecond(m->name.Text())) {
        ctx.warn(where, name + ": its talk " + talk + " names no person, and no dialog list bears the name " + name);
      }
    }
    if (!CheckRuleTables(ctx, world.rules)) ok = false;
    items.ResolveNames(images, images.ImageFlags());
    if (SWorldModule* base = modules.FindByName("base"))
      if (!CheckItemTable(ctx, items, world.rules, base->itemList, monsters)) ok = false;
    if (!CheckMapTypes(ctx, world.mapObjectTypes, images)) ok = false;
    if (!Scripts().CheckLiterals(ctx, world)) ok = false;
  }
  modules.Clear();
  images.Clear();
  world.tables.ClearAll();
  std::filesystem::remove_all(dir, ec);
  return ok;
}

void BuildWorld(Context& ctx) {
  struct Part {
    const char* archive;
    bool (*build)(Context&, WorldArchiveSpec&);
  } parts[] = {{"DuskmireMusic", BuildMusic},
               {"DuskmireSound", BuildSounds},
               {"DuskmireRes", BuildRes},
               {"DuskmireBase", BuildBase}};
  std::vector<Archive*> built;
  for (const Part& p : parts) {
    WorldArchiveSpec spec;
    spec.version = kSampleVersion;
    if (!p.build(ctx, spec) || ctx.failed()) return;
    // Every resource name begins with its module's prefix.
    const std::string prefix = spec.name + "_";
    for (const ImageDef& im : spec.images)
      if (im.name.rfind(prefix, 0) != 0) ctx.fail(p.archive, im.name + ": names here begin with " + prefix);
    for (const PaletteDef& pd : spec.palettes)
      if (pd.name.rfind(prefix, 0) != 0) ctx.fail(p.archive, pd.name + ": names here begin with " + prefix);
    if (ctx.failed()) return;
    Archive& archive = ctx.archive(p.archive);
    archive.records.clear();
    std::string error;
    if (!WriteWorldArchive(archive, spec, nullptr, error)) {
      ctx.fail(p.archive, error);
      return;
    }
    built.push_back(&archive);
  }
  Validate(ctx, built);
}
}  // namespace

WORLDBUILD_STEP(20, "world archives", BuildWorld);

}  // namespace worldbuild
