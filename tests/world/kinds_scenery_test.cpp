// Standing scenery, groups and markers: flowers picked once, groups drawing their spots, bushes sized anew,
// tables' messages, stands and trees, and ambient-sound markers by day and night.
#include "kinds_fake.h"
#include "world/SImageCache.h"
#include "world/kinds/SMapObjectScenery.h"

#include <gtest/gtest.h>

namespace {

u16 gLight = 256;

struct FlowerFixture : KindFixture {
  SItemTable items;
  SMapObjectFlower* flower = nullptr;
  SPaletteEntry blue;
  SMapCell cell;

  FlowerFixture(u32 images = 2) {
    flower = static_cast<SMapObjectFlower*>(Make("bluebell", 13, images));
    flower->texts[0] = "petal";
    auto* herb = new SItemType;  // same name, another class
    herb->name.Set("petal");
    herb->itemClass = 3;
    items.types.Add(herb);
    auto* petal = new SItemType;
    petal->name.Set("petal");
    petal->itemClass = 7;
    items.types.Add(petal);
    game.itemPalettes["petal"] = "blue";
    blue.name.Set("blue");
    cell.centreType = flower;
    cell.centrePalette = &blue;
    game.items = &items;
  }
};

TEST(KindsScenery, FlowerIsPickedOnce) {
  FlowerFixture f;
  SMapObjectInst inst;
  bool changed = false;
  f.flower->OnEvent(MapEvent::kUse, nullptr, &inst, &f.cell, 0, 0, changed);
  EXPECT_TRUE(changed);
  EXPECT_EQ(f.game.Log(), "add petal 1\nsound bsnd_tearflower 10\nmessage You have found petal. |1 none\n");
  u16 record[MapRecord::kObjectWords] = {};
  f.flower->BuildCell(&inst, &f.cell, record, gLight);
  EXPECT_EQ(record[1], 101);
  EXPECT_EQ(record[30], 18);
  f.game.log.clear();
  changed = false;
  f.flower->OnEvent(MapEvent::kUse, nullptr, &inst, &f.cell, 0, 0, changed);
  EXPECT_EQ(f.game.Log(), "");
  EXPECT_FALSE(changed);
}

TEST(KindsScenery, FlowerYieldsOnlyAMatchingItem) {
  {
    FlowerFixture f(1);  // one image: nothing to pick
    SMapObjectInst inst;
    bool changed = false;
    f.flower->OnEvent(MapEvent::kUse, nullptr, &inst, &f.cell, 0, 0, changed);
    EXPECT_EQ(f.game.Log(), "");
    inst.state = 3;
    u16 record[MapRecord::kObjectWords] = {};
    f.flower->BuildCell(&inst, &f.cell, record, gLight);
    EXPECT_EQ(record[1], 100);
  }
  {
    FlowerFixture f;
    f.game.itemPalettes["petal"] = "red";  // drawn with another palette
    EXPECT_EQ(f.flower->FindHarvestItem(&f.cell), nullptr);
    f.game.itemPalettes.clear();  // no palette on either side matches
    f.cell.centrePalette = nullptr;
    EXPECT_NE(f.flower->FindHarvestItem(&f.cell), nullptr);
  }
}

TEST(KindsScenery, GroupDrawsAtMostFourSpots) {
  KindFixture f;
  SMapObjectType* group = f.Make("grove", 27);
  SMapObjectType* tree = f.Make("tree", 26, 1);
  for (u32 s = 0; s < 7; ++s) {
    f.game.spots[0][s] = i16(10 + s);
    f.game.spots[1][s] = i16(20 + s);
  }
  SMapCell cell;
  cell.centreType = tree;
  cell.cellFlags = 0x7F;
  u16 record[MapRecord::kObjectWords] = {};
  group->BuildCell(nullptr, &cell, record, gLight);
  EXPECT_EQ(record[0], 5);
  for (u32 j = 0; j < 4; ++j) {
    EXPECT_EQ(record[1 + j], 100);
    EXPECT_EQ(record[15 + j], 10 + j);
    EXPECT_EQ(record[22 + j], 20 + j);
  }
  EXPECT_EQ(record[5], 0);

  // Spots 1, 4 and 6 of an animated fire, each a frame further on.
  SMapObjectType* fire = f.Make("fire", 41, 3, 300);
  fire->frameCountA = 3;
  cell.centreType = fire;
  cell.cellFlags = 0x52;
  f.game.counters[0] = 1;
  f.game.night = true;
  u16 fires[MapRecord::kObjectWords] = {};
  group->BuildCell(nullptr, &cell, fires, gLight);
  EXPECT_EQ(fires[1], 301);
  EXPECT_EQ(fires[2], 302);
  EXPECT_EQ(fires[3], 300);
  EXPECT_EQ(fires[16], 14);
  EXPECT_EQ(fires[17], 16);
  group->texts[1] = "bsnd_fire";
  EXPECT_STREQ(group->GetAmbientSound(nullptr, &cell), "bsnd_fire");
  cell.centreType = tree;
  EXPECT_EQ(group->GetAmbientSound(nullptr, &cell), nullptr);
}

TEST(KindsScenery, StandingObjects) {
  KindFixture f;
  SMapObjectType* bush = f.Make("bush", 38, 1);
  SMapObjectType* table = f.Make("table", 19, 1);
  SMapObjectType* stand = f.Make("stand", 32, 2);
  SMapCell cell;
  u16 record[MapRecord::kObjectWords] = {};
  f.game.randoms = {0, 999, 500, 1};
  bush->BuildCell(nullptr, &cell, record, gLight);
  EXPECT_EQ(record[15], 32268);
  EXPECT_EQ(record[22], 32268 + 999);
  bush->BuildCell(nullptr, &cell, record, gLight);
  EXPECT_EQ(record[15], 32268 + 500);
  EXPECT_EQ(record[22], 32268 + 1);
  EXPECT_FALSE(bush->IsBlocking(nullptr));  // without the blocking flag

  SMapObjectInst inst;
  inst.targetText = "A note for %PCName%";
  bool changed = false;
  table->OnEvent(MapEvent::kUse, nullptr, &inst, &cell, 0, 0, changed);
  EXPECT_EQ(f.game.Log(), "message A note for Ayla |1 click\n");
  EXPECT_TRUE(table->IsBlocking(&inst));

  stand->BuildCell(&inst, &cell, record, gLight);
  EXPECT_EQ(record[1], 101);  // full
  inst.state = 3;
  stand->BuildCell(&inst, &cell, record, gLight);
  EXPECT_EQ(record[1], 100);
  EXPECT_EQ(record[30], 35);
}

TEST(KindsScenery, AmbientMarkersByDayAndNight) {
  KindFixture f;
  auto* owl = static_cast<SMapObjectAmbientSound*>(f.Make("owl", 43));
  owl->placement[1] = 1;
  EXPECT_FALSE(owl->PlaysAt(false));
  EXPECT_TRUE(owl->PlaysAt(true));
  auto* lark = static_cast<SMapObjectAmbientSound*>(f.Make("lark", 43));
  lark->placement[0] = 1;
  EXPECT_TRUE(lark->PlaysAt(false));
  EXPECT_FALSE(lark->PlaysAt(true));
  u16 record[MapRecord::kObjectWords] = {};
  SMapCell cell;
  owl->BuildCell(nullptr, &cell, record, gLight);
  EXPECT_EQ(record[0], 0);
}

}  // namespace
