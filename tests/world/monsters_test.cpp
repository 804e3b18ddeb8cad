// Monster base types read from an archive, sized by their kind, resolved to images and palettes, and
// their sounds marked for the map that needs them.
#include "WorldFixture.h"

#include <deque>

namespace {
using worldbuild::Bytes;

SMonsterBaseType* MakeBase(const char* name, u8 kind, const char* prefix) {
  static std::deque<std::string> texts;
  auto* b = new SMonsterBaseType;
  b->name.Set(name);
  b->kind = kind;
  for (u32 f = 0; f < b->FrameCount(); ++f)
    b->frameNames[f] = texts.emplace_back(prefix + std::to_string(f + 1)).c_str();
  b->text3 = "bres_pal";
  b->sound1 = "bsnd_ratattack";
  b->sound3 = "bsnd_ratdeath";
  b->sound4 = "bsnd_missing";
  b->imageFlag = 5;
  b->behaviour = 3;
  return b;
}
}  // namespace

class Monsters : public WorldFixture {
 protected:
  // Writes "Res" with images for every name and the base types (the kind byte of the record at `flip`
  // changed to `newKind` when given), and opens it.
  std::string OpenRes(SMonsterTable& src, u32 v, const std::vector<std::string>& imageNames, i32 flipTo = -1) {
    auto spec = Spec("bres", u8(v));
    for (const std::string& n : imageNames)
      spec.images.push_back({n, imageenc::Encode(imageenc::MakeChecker(8, 8, 2, 0x07E0, 0xFFFF), 0)});
    spec.palettes.push_back({"bres_pal", std::vector<u16>(256, 0x1234)});
    Bytes rec = Rec(v, [&](SStream& s) { src.SerializeBaseTypes(s, v); });
    if (flipTo >= 0)
      for (size_t i = rec.size(); i-- > 2;)
        if (rec[i - 1] == 0x01 && rec[i - 2] == 0x2C && (rec[i] == 2 || rec[i] == 4)) {  // tenth stat 300, kind
          rec[i] = u8(flipTo);
          break;
        }
    spec.blocks[kBlockMonsters] = {rec, worldbuild::EmptyBlock(kBlockMonsters, v)[1]};
    Save(spec, "Res");
    if (modules.OpenArchive("Res") == SArchiveResult::kOpened) return "";
    return modules.LastError();
  }
};

TEST_F(Monsters, FramesSizedByKindAndResolved) {
  SMonsterTable src;
  // Written with ten names, read back as kind 2: the three extra names are dropped.
  src.baseTypes.Add(MakeBase("bres_rat", 4, "bres_rat"));
  std::vector<std::string> names;
  for (int f = 1; f <= 10; ++f)
    if (f != 3) names.push_back("bres_rat" + std::to_string(f));  // frame 3 has no image
  ASSERT_EQ(OpenRes(src, 114, names, 2), "");
  SMonsterBaseType* rat = monsters.FindBaseType("bres_rat");
  ASSERT_NE(rat, nullptr);
  EXPECT_EQ(rat->kind, 2);
  EXPECT_EQ(rat->FrameCount(), 7u);
  EXPECT_STREQ(rat->LastFrameName(), "bres_rat7");
  EXPECT_EQ(rat->frameNames[7], nullptr);
  EXPECT_EQ(rat->FrameName(9), nullptr);

  auto* look = new SMonster;
  look->name.Set("base_rat");
  look->baseType = rat;
  look->normalLookName = "bres_rat1";
  look->castPalette = "bres_pal";
  monsters.monsters.Add(look);
  images.PublishIndexTables();
  monsters.ResolveNames(images, images.ImageFlags());
  for (u32 f = 0; f < 7; ++f) {
    const u16 expected = f == 2 ? 0 : images.FindImageIndex(rat->frameNames[f]);
    EXPECT_EQ(rat->FrameImage(f), expected) << f;
    if (expected) {
      EXPECT_EQ(images.ImageFlags()[expected], 5) << f;
    }
  }
  EXPECT_EQ(rat->FrameImage(2), 0);
  EXPECT_EQ(look->lookNormal, images.FindImageIndex("bres_rat1"));
  EXPECT_EQ(look->lookParalysed, images.FindImageIndex("bres_rat7"));
  EXPECT_EQ(look->castPaletteSlot, images.FindPaletteIndex("bres_pal"));
  EXPECT_NE(look->castPaletteSlot, 0);
  EXPECT_EQ(look->basePaletteSlot, look->castPaletteSlot);
}

TEST_F(Monsters, OlderRecordsAndSoundMarking) {
  struct Case {
    u32 version;
    bool sound3, behaviour;
  } cases[] = {{114, true, true}, {104, false, true}, {78, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    modules.Clear();
    images.Clear();
    images.Init();
    monsters.Clear();
    SMonsterTable src;
    src.baseTypes.Add(MakeBase("bres_ghoul", 3, "bres_ghoul"));
    ASSERT_EQ(OpenRes(src, c.version, {"bres_ghoul1"}), "");
    SMonsterBaseType* g = monsters.FindBaseType("bres_ghoul");
    ASSERT_NE(g, nullptr);
    EXPECT_STREQ(g->sound3, c.sound3 ? "bsnd_ratdeath" : nullptr);
    EXPECT_EQ(g->behaviour, c.behaviour ? 3 : 1);
    EXPECT_STREQ(monsters.KindName(g->kind), "undead");
    EXPECT_STREQ(monsters.KindPlural(2), "creatures");
    EXPECT_STREQ(monsters.KindName(4), "");
  }
  SMonsterBaseType* g = monsters.FindBaseType("bres_ghoul");
  // Only the sounds the sound table holds are marked.
  SSoundTable table;
  for (const char* n : {"bsnd_ratattack", "bsnd_other"}) {
    auto* r = new SResource;
    r->name.Set(n);
    table.sounds.InsertByNameHash(r);
  }
  g->MarkSoundsNeeded(table);
  EXPECT_EQ(g->soundsNeeded, 1u);
  EXPECT_EQ(table.FindSound("bsnd_ratattack")->needed, 1);
  EXPECT_EQ(table.FindSound("bsnd_other")->needed, 0);
}
