// Walls, blocks, surfaces and wall-mounted objects: the two placement rules, blocks' render kinds and
// blocking, flames by night, wall decorations' messages, travel and light, and townspeople's reactions.
#include "kinds_fake.h"
#include "world/kinds/SMapObjectWall.h"

#include <gtest/gtest.h>

namespace {

u16 gLight = 256;

TEST(KindsWalls, PlacementRules) {
  KindFixture f;
  SMapObjectType* t = f.Make("decor", 9, 2);
  f.game.imageSizes[1] = {400, 300};
  f.game.imageSizes[2] = {120, 120};
  struct Case {
    bool floor;
    u32 sidePrime;
    u16 image, overlay;
    i32 x, y;
    u16 word;
  };
  const Case cases[] = {
      {false, 0, 1, 0, 3, 5, 16 | 1 << 5 | 5 << 10},  // wide image: centred
      {false, 1, 2, 0, 8, 10, 31 | 11 << 5 | 6 << 10},
      {false, 2, 2, 0, 16, 1, 16 | 31 << 5 | 1 << 10},
      {false, 3, 2, 0, 8, 10, 1 | 21 << 5 | 6 << 10},
      {true, 0, 1, 0, 8, 10, 1057},
      {true, 0, 2, 0, 8, 10, 11 | 12 << 5 | 0x400},
      {true, 1, 2, 0, 8, 10, 20 | 11 << 5 | 0x400},
      {true, 2, 2, 7, 8, 10, 21 | 22 << 5 | 0x400},  // with an overlay v = y
      {true, 3, 2, 0, 8, 10, 12 | 21 << 5 | 0x400},
      {false, 1, 9, 0, 0, 1, 31 | 31 << 5 | 1 << 10},  // unknown image: -1 kept to its field
  };
  for (const Case& c : cases) {
    const u16 got = c.floor ? t->FloorPlacement(c.sidePrime, c.image, c.overlay, c.x, c.y)
                            : t->WallPlacement(c.sidePrime, c.image, c.x, c.y);
    EXPECT_EQ(got, c.word) << (c.floor ? "floor" : "wall") << " s'" << c.sidePrime << " image " << c.image;
  }
}

TEST(KindsWalls, BlocksRenderKindBlockingAndFlame) {
  KindFixture f;
  SMapObjectType* block = f.Make("block", 7, 1);
  SMapObjectType* flame = f.Make("flame", 3, 3, 300);
  flame->frameCountA = 3;
  SMapCell cell;
  cell.styleType = flame;
  SMapObjectInst inst;
  u16 record[MapRecord::kObjectWords] = {};
  EXPECT_FALSE(block->IsBlocking(&inst));  // no blocking flag
  block->typeFlags |= 0x8000 | MapTypeFlag::kFlat | MapTypeFlag::kBlocks;
  EXPECT_TRUE(block->IsBlocking(&inst));
  EXPECT_TRUE(block->IsBlocking(nullptr));
  block->BuildCell(&inst, &cell, record, gLight);
  EXPECT_EQ(record[0], 12);  // 0x8000 wins over 0x0800
  block->typeFlags = MapTypeFlag::kBlockDepth | MapTypeFlag::kNightLight;
  f.game.dayNight = true;
  f.game.counters[0] = 4;
  u16 light = 256;
  u16 day[MapRecord::kObjectWords] = {};
  block->BuildCell(&inst, &cell, day, light);
  EXPECT_EQ(day[0], 1);
  EXPECT_EQ(day[29], 10000);
  EXPECT_EQ(day[2], 0);  // the flame burns only at night
  EXPECT_EQ(light, 256);
  f.game.night = true;
  block->BuildCell(&inst, &cell, day, light);
  EXPECT_EQ(day[2], 301);
  EXPECT_EQ(light, 512 + 16);
  block->texts[1] = "bsnd_fire";
  EXPECT_STREQ(block->GetAmbientSound(&inst, &cell), "bsnd_fire");
  inst.state = 3;
  EXPECT_EQ(block->GetAmbientSound(&inst, &cell), nullptr);
}

// A night-only flame refreshed every frame goes out at dawn even when its cell is not rebuilt.
TEST(KindsWalls, NightFlamesGoOutAtDawnOnRefresh) {
  for (u32 classNumber : {7u, 41u}) {
    KindFixture f;
    SMapObjectType* block = f.Make("block", classNumber, 2);
    SMapObjectType* flame = f.Make("flame", 3, 3, 300);
    flame->frameCountA = 3;
    block->frameCountA = 2;
    block->typeFlags |= MapTypeFlag::kNightLight;
    block->linkedTypeName = "flame";
    SMapCell cell;
    cell.styleType = flame;
    SMapObjectInst inst;
    f.game.dayNight = f.game.night = true;
    f.game.counters[0] = 4;
    u16 record[MapRecord::kObjectWords] = {};
    u16 light = 256;
    block->BuildCell(&inst, &cell, record, light);
    EXPECT_EQ(record[2], 301) << classNumber;
    f.game.night = false;
    block->RefreshCell(&inst, &cell, record, light);
    EXPECT_EQ(record[2], 0) << classNumber;
  }
}

TEST(KindsWalls, AnimatedBlockWithoutImagesShowsFrameZero) {
  KindFixture f;
  SMapObjectType* fire = f.Make("fire", 41, 0);
  SMapCell cell;
  SMapObjectInst inst;
  u16 record[MapRecord::kObjectWords] = {};
  f.game.counters[0] = 9;
  fire->BuildCell(&inst, &cell, record, gLight);
  EXPECT_EQ(record[1], 0);
  EXPECT_EQ(record[30], 1);
}

TEST(KindsWalls, WallDecorationMessagesTravelAndLight) {
  KindFixture f;
  SMapObjectType* plaque = f.Make("plaque", 9, 16);
  SMapObjectInst inst;
  inst.targetText = "Welcome, %PCName%.";
  bool changed = false;
  plaque->OnEvent(MapEvent::kUse, nullptr, &inst, nullptr, 0, 0, changed);
  EXPECT_EQ(f.game.Log(), "message Welcome, Ayla. |0 click\n");
  f.game.log.clear();
  plaque->typeFlags |= MapTypeFlag::kTravels;
  inst.targetText = "hall#Leave?";
  inst.packed = 5;
  plaque->OnEvent(MapEvent::kUse, nullptr, &inst, nullptr, 0, 0, changed);
  EXPECT_EQ(f.game.Log(), "transition hall Leave? 5 0\n");

  // Light needs both frame counts on a wall decoration; a floor decoration needs only A.
  SMapObjectType* floor = f.Make("brazier", 40, 16);
  SMapCell cell;
  for (SMapObjectType* t : {plaque, floor}) {
    t->frameCountA = 3;
    t->frameCountB = 0;
    u16 face[MapRecord::kFaceWords] = {};
    u16 light = 256;
    t->BuildSide(&inst, &cell, 0, face, light);
    EXPECT_EQ(face[MapRecord::kSideImage + 2], 100);
    EXPECT_EQ(face[MapRecord::kSideOverlay + 2], 108);
    t->LightSide(&inst, &cell, 0, face, light);
    EXPECT_EQ(face[MapRecord::kSideImage + 2], t == floor ? 101 : 100) << t->name.Text();
  }
}

TEST(KindsWalls, TownspeopleContainersAndShelves) {
  KindFixture f;
  SSpellTable spells;
  f.game.spells = &spells;
  SMapObjectType* smith = f.Make("smith", 12, 1);
  SMapObjectType* chest = f.Make("chest", 14, 1);
  SMapObjectType* shelf = f.Make("shelf", 17, 2);
  SMapObjectInst inst;
  inst.containerId = 4;
  bool changed = false;
  smith->OnEvent(MapEvent::kStruck, nullptr, &inst, nullptr, 0, 0, changed);
  smith->OnEvent(MapEvent::kUse, nullptr, &inst, nullptr, 0, 0, changed);
  f.game.spell = "Light";  // not harmful
  smith->OnEvent(MapEvent::kSpellHit, nullptr, &inst, nullptr, 0, 0, changed);
  EXPECT_EQ(f.game.Log(),
            "message You've tried to attack peaceful people! |0 click\ncrime 5 1000\n"
            "line You have committed a crime.\nservice smith\n");
  f.game.log.clear();
  chest->OnEvent(MapEvent::kUse, nullptr, &inst, nullptr, 0, 0, changed);
  EXPECT_TRUE(changed);
  changed = false;
  shelf->OnEvent(MapEvent::kUse, nullptr, &inst, nullptr, 0, 0, changed);
  EXPECT_TRUE(changed);
  EXPECT_EQ(f.game.Log(), "openbag 4\nopenbag 4\n");

  SMapCell cell;
  u16 face[MapRecord::kFaceWords] = {};
  smith->BuildSide(&inst, &cell, 2, face, gLight);
  chest->BuildSide(&inst, &cell, 3, face, gLight);
  shelf->BuildSide(&inst, &cell, 1, face, gLight);
  EXPECT_EQ(face[MapRecord::kSidePick + 0], 24);
  EXPECT_EQ(face[MapRecord::kSidePick + 1], 12);
  EXPECT_EQ(face[MapRecord::kSidePick + 3], 32);
  EXPECT_EQ(face[MapRecord::kSideOverlay + 3], 101);
}

TEST(KindsWalls, SignPicksItsLayerAndWallsBuild) {
  KindFixture f;
  SMapObjectType* sign = f.Make("sign", 18, 1);
  SMapObjectType* wall = f.Make("wall", 5, 1, 400);
  SMapCell cell;
  cell.sideType[0] = sign;
  u16 face[MapRecord::kFaceWords] = {};
  sign->BuildSide(nullptr, &cell, 0, face, gLight);
  EXPECT_EQ(face[MapRecord::kSideImage + 2], 100);
  cell.sideType[0] = wall;
  cell.side2Type[0] = sign;
  sign->BuildSide(nullptr, &cell, 0, face, gLight);
  EXPECT_EQ(face[MapRecord::kSide2Image + 2], 100);

  u16 record[MapRecord::kObjectWords] = {};
  wall->BuildCell(nullptr, &cell, record, gLight);
  EXPECT_EQ(record[0], 2);
  EXPECT_EQ(record[1], 400);
  EXPECT_EQ(record[30], 41);
  // The upper storey: its own pairs, and the fallback wall where the first pair names none.
  SMapObjectType* fallback = f.Make("fallback", 5, 1, 500);
  f.game.fallbackWall = fallback;
  SMapCellFaces upper;
  upper.centreType = wall;
  u16 record2[MapRecord::kObjectWords] = {};
  wall->BuildCellLayer2(nullptr, &upper, record2, gLight);
  EXPECT_EQ(record2[0], 2);
  EXPECT_EQ(record2[1], 400);
  EXPECT_EQ(record2[3], 500);
  EXPECT_EQ(upper.type0, fallback);

  SMapObjectInst hidden;
  hidden.state = 0;
  EXPECT_TRUE(wall->IsBlocking(nullptr));
  EXPECT_FALSE(wall->IsBlocking(&hidden));
}

}  // namespace
