// Sky types: the record at old versions, the choice by hour and weather or by name, and which pictures
// stay resident.
#include "RulesFixture.h"

namespace {
class Skies : public RulesFixture {
 protected:
  // Images for every sky picture in "Res", the skies in "Base".
  void Load(std::vector<SSkyType*> skies, u32 v = 114, std::vector<std::string> palettes = {}) {
    auto res = Spec("bres");
    for (const std::string& n : palettes) res.palettes.push_back({n, std::vector<u16>(256, 0x1234)});
    for (const char* n :
         {"bres_sky-day", "bres_sky-day2", "bres_sky-dawn", "bres_sky-night", "bres_sky-thunder", "bres_sky-painted"}) {
      imageenc::Picture p(8, 4, 0x4321);
      res.images.push_back({n, imageenc::Encode(p, 0)});
    }
    Save(res, "Res");
    ASSERT_EQ(modules.OpenArchive("Res"), SArchiveResult::kOpened) << modules.LastError();
    for (SSkyType* s : skies) rules.skies.records.Add(s);
    auto spec = Spec("base", u8(v));
    spec.blocks[kBlockSkies] = {Rec(v, [&](SStream& s) { rules.skies.SerializeBlock(s, v); })};
    rules.skies.STypeTable<SSkyType>::Clear();
    ASSERT_EQ(OpenBase(spec), "");
    images.PublishIndexTables();
  }
  static SSkyType* Sky(const char* name, u8 period, u8 weather, const char* picture = nullptr) {
    auto* s = new SSkyType;
    s->name.Set(name);
    s->picture = picture;
    s->period = period;
    s->weather = weather;
    s->fogColour = u16(period * 100 + weather);
    s->visibility = 50;
    return s;
  }
  bool Resident(const char* image) { return images.FindImage(image)->IsResident(); }
};
}  // namespace

TEST_F(Skies, PeriodsOfTheDay) {
  const u32 expected[24] = {2, 2, 2, 2, 2, 2, 4, 4, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 4, 2, 2};
  for (u32 h = 0; h < 24; ++h) EXPECT_EQ(SSkyTypeTable::PeriodOfHour(h), expected[h]) << h;
}

TEST_F(Skies, ChoiceByHourAndWeather) {
  Load({Sky("bres_sky-day", 1, 0), Sky("bres_sky-day2", 1, 4), Sky("bres_sky-dawn", 4, 0), Sky("bres_sky-night", 2, 0),
        Sky("bres_sky-thunder", 2, 9)});
  SSkyChoice c;
  ASSERT_TRUE(rules.skies.SelectSkyForTime(8, 1, c));
  EXPECT_EQ(c.fogColour, 100);
  EXPECT_EQ(c.imageSlot, images.FindImageIndex("bres_sky-day"));
  EXPECT_TRUE(Resident("bres_sky-day"));
  ASSERT_TRUE(rules.skies.SelectSkyForTime(12, 3, c));
  EXPECT_EQ(c.fogColour, 104);
  EXPECT_FALSE(Resident("bres_sky-day"));  // the other skies' pictures go
  EXPECT_TRUE(Resident("bres_sky-day2"));
  ASSERT_TRUE(rules.skies.SelectSkyForTime(7, 50, c));
  EXPECT_EQ(c.fogColour, 400);
  // Two skies of the period at the same distance: the first in list order (name-hash order) wins.
  SSkyType* first = nullptr;
  for (SSkyType* s : rules.skies.records)
    if (s->period == 1) {
      first = s;
      break;
    }
  ASSERT_TRUE(rules.skies.SelectSkyForTime(10, 2, c));
  EXPECT_EQ(c.fogColour, first->fogColour);
  // The thunder sky's picture is never released by another choice.
  rules.skies.LoadThunderSky();
  ASSERT_TRUE(rules.skies.SelectSkyForTime(23, 0, c));
  EXPECT_EQ(c.fogColour, 200);
  EXPECT_TRUE(Resident("bres_sky-thunder"));
  rules.skies.ReleaseOtherSkies(nullptr);
  EXPECT_FALSE(Resident("bres_sky-night"));
  EXPECT_TRUE(Resident("bres_sky-thunder"));
  // Weather 1000 or more away from every sky chooses nothing and changes nothing.
  SSkyChoice before = c;
  EXPECT_FALSE(rules.skies.SelectSkyForTime(9, 1004, c));
  EXPECT_EQ(c.fogColour, before.fogColour);
  EXPECT_EQ(c.imageSlot, before.imageSlot);
}

TEST_F(Skies, ChoiceByNameHandsOutThePictureShown) {
  Load({Sky("bres_sky-day", 1, 0), Sky("base_sky-stormy", 1, 3, "bres_sky-painted")});
  SSkyChoice c;
  c.fogColour = 7;
  EXPECT_FALSE(rules.skies.SelectSkyByName("bres_nosky", c));
  EXPECT_EQ(c.fogColour, 7);
  ASSERT_TRUE(rules.skies.SelectSkyByName("base_sky-stormy", c));
  // The slot is the resident picture's, not the (imageless) sky name's.
  EXPECT_EQ(c.imageSlot, images.FindImageIndex("bres_sky-painted"));
  EXPECT_NE(c.imageSlot, 0);
  EXPECT_TRUE(Resident("bres_sky-painted"));
  EXPECT_NE(images.ImagePointers()[c.imageSlot], nullptr);
  // Choosing it again does not acquire the picture twice: one switch away releases it.
  ASSERT_TRUE(rules.skies.SelectSkyByName("base_sky-stormy", c));
  ASSERT_TRUE(rules.skies.SelectSkyByName("bres_sky-day", c));
  EXPECT_FALSE(Resident("bres_sky-painted"));
}

TEST_F(Skies, OldVersionsUseTheSkyNameAndDefaults) {
  for (u32 v : {31u, 38u}) {
    SSkyType* s = Sky("bres_sky-dawn", 4, 2, "bres_sky-painted");
    s->animation = 3;
    Load({s}, v);
    SSkyType* back = rules.skies.FindByName("bres_sky-dawn");
    ASSERT_NE(back, nullptr);
    EXPECT_STREQ(back->Picture(), "bres_sky-dawn");
    EXPECT_EQ(back->fogColour, v > 31 ? 402 : 0) << v;
    EXPECT_EQ(back->visibility, v > 31 ? 50 : 100) << v;
    EXPECT_EQ(back->animation, 0);
    modules.Clear();
    images.Clear();
    images.Init();
    rules.skies.Clear();
  }
}

// A palette named as a sky's picture recolours it: the choice hands its slot on while the sky is chosen;
// a sky without one hands 0, the picture's own colours.
TEST_F(Skies, APaletteOfThePicturesNameComesWithTheChoice) {
  Load({Sky("bres_sky-day", 1, 0), Sky("bres_sky-night", 2, 0), Sky("base_sky-stormy", 1, 3, "bres_sky-painted")}, 114,
       {"bres_sky-night", "bres_sky-painted"});
  SSkyChoice c;
  ASSERT_TRUE(rules.skies.SelectSkyForTime(23, 0, c));
  const SPaletteEntry* night = images.FindPalette("bres_sky-night");
  ASSERT_NE(night, nullptr);
  EXPECT_TRUE(night->IsResident());
  EXPECT_NE(c.paletteSlot, 0);
  EXPECT_EQ(c.paletteSlot, night->slot);
  ASSERT_TRUE(rules.skies.SelectSkyByName("base_sky-stormy", c));
  EXPECT_EQ(c.paletteSlot, images.FindPalette("bres_sky-painted")->slot);
  EXPECT_FALSE(night->IsResident()) << "it goes with its sky";
  ASSERT_TRUE(rules.skies.SelectSkyForTime(12, 0, c));
  EXPECT_EQ(c.paletteSlot, 0);
  EXPECT_FALSE(images.FindPalette("bres_sky-painted")->IsResident());
}
