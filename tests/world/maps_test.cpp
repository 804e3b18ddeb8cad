// Map-object types and maps: the type block and its kinds, map content loaded into the game's window
// (stand-alone and as joined outdoor tiles), the saved state of an area, monster effects, ids and the
// automap.
#include "WorldFixture.h"
#include "WorldMaps.h"
#include "game/SMapWindow.h"
#include "player/SSaveGame.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SMapObjectType.h"
#include "world/kinds/SMapObjectDoor.h"
#include "world/kinds/SMapObjectScenery.h"
#include "world/kinds/SMapObjectSwitch.h"
#include "world/kinds/SMapObjectWall.h"

#include <cstdlib>
#include <memory>
#include <tuple>
#include <typeinfo>

namespace {

using worldbuild::Bytes;
using worldbuild::CellDef;
using worldbuild::MonsterDef;

// Map content records outgrow the default write buffer.
constexpr u32 kMapRecordCapacity = 1u << 20;

SMapObjectType* MakeType(SMapObjectTypeTable& table, const char* name, u32 classNumber,
                         std::vector<const char*> images = {}) {
  SMapObjectType* t = SMapObjectType::Create(&table, classNumber);
  if (!t) return nullptr;
  t->name.Set(name);
  for (const char* image : images) t->imageNames.Add(const_cast<char*>(image));
  table.AddType(t);
  return t;
}

// Type positions in the fixture's "C" list.
enum : u16 { kGrass = 1, kWall, kDoor, kTree, kMissingType, kLever };
// Monster positions in the "E" list.
enum : u16 { kRat = 1, kMerchant, kGoneTemplate };

SMapObjectInst* Object(const char* name, u8 id, u8 x, u8 y, u8 state = 1, const char* target = nullptr) {
  auto* o = new SMapObjectInst;
  o->name.SetOwns();
  o->name.Set(name);
  o->id = id;
  o->cellX = x;
  o->cellY = y;
  o->state = state;
  o->targetText = target;
  return o;
}

}  // namespace

class Maps : public WorldFixture {
 protected:
  Maps() {
    tables[kBlockMapObjectTypes] = &mapTypes;
    tables[kBlockItems] = &itemTable;
    modules.env.game = &window;
    window.monsterTable = &monsters;
    window.items = &itemTable;
    saves.Bind(&files, &itemTable, &monsters, nullptr);
    window.saves = &saves;
  }
  ~Maps() override {
    // The base fixture clears the registered tables after this one's members are gone.
    modules.Clear();
    tables.ClearAll();
    tables[kBlockMapObjectTypes] = &types;
    tables[kBlockItems] = nullptr;
  }

  // A world with types, two monster templates, one stand-alone map and three of four outdoor tiles.
  worldbuild::WorldArchiveSpec World(u32 v = 114) {
    worldbuild::WorldArchiveSpec spec = Spec("base", u8(v));
    spec.mapPrefix = "base_out";
    spec.tileColumns = 2;
    spec.tileRows = 2;
    spec.mapPicture = imageenc::Encode(imageenc::Picture(42, 42, 0x1234), 0);
    spec.images.push_back({"base_img-a", imageenc::Encode(imageenc::MakeChecker(8, 8, 2, 0x001F, 0xF800), 0)});
    spec.images.push_back({"base_img-b", imageenc::Encode(imageenc::MakeChecker(8, 8, 2, 0x07E0, 0x0000), 0)});
    spec.palettes.push_back({"base_pal", std::vector<u16>(256, 0x07E0)});
    spec.typeList = {"base_grass", "base_wall", "base_door", "base_tree", "base_missing", "base_lever"};
    spec.paletteList = {"base_pal"};
    spec.monsterList = {"base_rat", "base_merchant", "base_gone"};

    SMapObjectTypeTable src;
    MakeType(src, "base_grass", 1, {"base_img-a"});
    MakeType(src, "base_wall", 5, {"base_img-b"});
    MakeType(src, "base_door", 20, {"base_img-a", "base_img-b", "base_img-b"});
    MakeType(src, "base_tree", 26, {"base_img-a"})->typeFlags |= MapTypeFlag::kBlocks;
    MakeType(src, "base_lever", 16, {"base_img-b"});
    spec.blocks[kBlockMapObjectTypes] = {worldbuild::TypeBlockRecord(src, v)};

    SMonsterTable templates;
    for (auto [name, hp, kind] : {std::tuple{"base_rat", 12, 1}, std::tuple{"base_merchant", 40, 4}}) {
      auto* m = new SMonster;
      m->name.Set(name);
      m->maxHp = u16(hp);
      m->kind = u8(kind);
      m->flags = 4;  // attacks on sight
      templates.monsters.InsertByNameHash(m);
    }
    spec.blocks[kBlockMonsters] = {Rec(
                                       v, [&](SStream& s) { templates.SerializeBaseTypes(s, v); }, kMapRecordCapacity),
                                   Rec(
                                       v, [&](SStream& s) { templates.SerializeMonsters(s, v); }, kMapRecordCapacity)};

    // The stand-alone map stores a 3 x 2 rectangle at (1, 2).
    worldbuild::MapDef dungeon;
    dungeon.title = "Dungeon";
    dungeon.name = "base_dungeon";
    dungeon.storedX = 1;
    dungeon.storedY = 2;
    dungeon.storedWidth = 3;
    dungeon.storedHeight = 2;
    std::vector<CellDef> cells(6);
    cells[0].centre = kWall;
    cells[0].style = kWall;
    cells[0].stylePalette = 1;
    cells[1].base1 = kGrass;
    cells[1].base1Palette = 1;
    cells[1].base1Second = kMissingType;
    cells[2].base1 = kGrass;
    cells[2].centre = kDoor;
    cells[2].centreId = 2;
    cells[2].cellFlags = 5;
    cells[2].faceCentre = kTree;
    cells[2].faceCentreId = 6;
    cells[3].centre = kWall;
    cells[3].side[1] = kLever;
    cells[3].sidePalette[1] = 9;  // past the palette list
    cells[3].sideId[1] = 3;
    cells[5].centre = kTree;
    cells[5].centreId = 4;
    dungeon.content[0] = worldbuild::CellRecord(cells, v);
    std::vector<MonsterDef> placed(4);
    placed[0] = {kRat, 1, 2, 0, 2, 3};
    placed[1] = {kMerchant, 2, 2, 5, 1, 1};      // bound to a removed object: dropped
    placed[2] = {kGoneTemplate, 3, 2, 0, 3, 3};  // its template is unknown: dropped
    placed[3] = {kRat, 7, 2, 0, 3, 3};
    dungeon.content[2] = worldbuild::MonsterRecord(placed, 8, v);
    std::vector<SMapObjectInst*> objects = {Object("base_obj_door", 2, 3, 2, 1, "base_key"),
                                            Object("base_obj_lever", 3, 1, 3), Object("base_obj_tree", 4, 3, 3),
                                            Object("base_obj_gone", 5, 1, 1, 3), Object("base_obj_free", 0, 255, 255)};
    dungeon.content[3] = worldbuild::ObjectRecord(objects, v);
    for (SMapObjectInst* o : objects) delete o;
    // Containers: a persistent bag on (2, 2), a second one there (the slot is taken), one with no cell.
    std::vector<SItemContainer*> bags;
    for (auto [id, flags, x, y] : {std::tuple<u8, u8, u8, u8>{3, 1, 2, 2}, {4, 0, 2, 2}, {6, 0, 255, 255}}) {
      auto* c = new SItemContainer;
      c->id = id;
      c->flags = flags;
      c->cellX = x;
      c->cellY = y;
      c->entries.Add(new SItemSpawn);
      bags.push_back(c);
    }
    dungeon.content[4] = worldbuild::ContainerRecord(bags, 7, v);
    for (SItemContainer* c : bags) delete c;
    spec.maps.push_back(dungeon);

    // Outdoor tiles: grass everywhere, a tree on the tile's (0, 0) and a rat on the east tile.
    auto tile = [&](const char* name, u8 x, u8 y, u8 w, u8 h, std::vector<MonsterDef> ms) {
      worldbuild::MapDef d;
      d.title = name;
      d.name = name;
      d.flags = SMapArea::kOutdoor;
      d.storedX = x;
      d.storedY = y;
      d.storedWidth = w;
      d.storedHeight = h;
      std::vector<CellDef> grass(u32(w) * h);
      for (CellDef& c : grass) c.base1 = kGrass;
      grass[0].centre = kTree;
      std::vector<u16> offsets;
      d.content[0] = worldbuild::CellRecord(grass, v, &offsets);
      d.content[1] = worldbuild::OffsetRecord(offsets);
      d.content[2] = worldbuild::MonsterRecord(ms, 2, v);
      spec.maps.push_back(d);
    };
    tile("base_out0101", 0, 0, 21, 21, {});
    tile("base_out0201", 0, 3, 16, 18, {{kRat, 1, 2, 0, 1, 10}});  // partial: rows 0..2 and columns 16.. empty
    tile("base_out0102", 0, 0, 21, 21, {});
    return spec;
  }

  SWorldModule* Open(const worldbuild::WorldArchiveSpec& spec) {
    Save(spec, "DuskmireBase", &layout);
    if (modules.OpenArchive("DuskmireBase") != SArchiveResult::kOpened) {
      ADD_FAILURE() << modules.LastError();
      return nullptr;
    }
    return modules.current;
  }

  SMapObjectType* TypeAt(SWorldModule* m, u16 position) {
    return static_cast<SMapObjectType*>(m->MapObjectTypeAt(position));
  }

  SMapObjectTypeTable mapTypes;
  SItemTable itemTable;
  SSaveGame saves;
  SMapWindow window;
  worldbuild::WorldLayout layout;
};

// --- types ------------------------------------------------------------------------------------------

TEST(MapObjectTypes, FactoryMakesEveryKindWithItsClassParameters) {
  SMapObjectTypeTable table;
  for (u32 c = 0; c <= 45; ++c) {
    SCOPED_TRACE(c);
    std::unique_ptr<SMapObjectType> t(SMapObjectType::Create(&table, c));
    if (c < 1 || c > 43) {
      EXPECT_EQ(t, nullptr);
      continue;
    }
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->classNumber, c);
    EXPECT_EQ(t->classFlags, table.ClassRow(c).classFlags);
    const u16 block = (c == 7 || c == 8 || c == 41) ? MapTypeFlag::kBlockClass : 0;
    EXPECT_EQ(t->typeFlags, u16(table.ClassRow(c).typeFlags) | block);
  }
  struct Kind {
    u32 c;
    bool (*is)(SMapObjectType*);
  } kinds[] = {
      {20, [](SMapObjectType* t) { return dynamic_cast<SMapObjectDoor*>(t) != nullptr; }},
      {22, [](SMapObjectType* t) { return dynamic_cast<SMapObjectDoor*>(t) != nullptr; }},
      {11, [](SMapObjectType* t) { return dynamic_cast<SMapObjectCityDoor*>(t) != nullptr; }},
      {25, [](SMapObjectType* t) { return dynamic_cast<SMapObjectTeleport*>(t) != nullptr; }},
      {41, [](SMapObjectType* t) { return dynamic_cast<SMapObjectBlockAnim*>(t) != nullptr; }},
      {43, [](SMapObjectType* t) { return dynamic_cast<SMapObjectAmbientSound*>(t) != nullptr; }},
      {34, [](SMapObjectType* t) { return typeid(*t) == typeid(SMapObjectType); }},
  };
  for (const Kind& k : kinds) {
    std::unique_ptr<SMapObjectType> t(SMapObjectType::Create(&table, k.c));
    EXPECT_TRUE(k.is(t.get())) << k.c;
  }
  // Event masks: a sign reacts to nothing, a stair only to use.
  EXPECT_EQ(table.ClassRow(18).eventMask, 0u);
  EXPECT_EQ(table.ClassRow(33).eventMask, u32(MapEvent::kUse));
  EXPECT_EQ(table.ClassRow(20).classFlags, 0x054A0A84u);
  EXPECT_STREQ(table.ClassRow(0).texts[0], "");
  EXPECT_EQ(table.ClassRow(1).texts[0], nullptr);
}

// The block round-trips through the table's transfer at each version boundary; a type of an unknown
// class is stepped over with the stream in step.
TEST(MapObjectTypes, BlockReadsVersionedFieldsAndStepsOverUnknownClasses) {
  struct Case {
    u32 version;
    bool flagsRead, stateRead;
  } cases[] = {{10, false, false}, {11, true, false}, {58, true, false}, {59, true, true}, {114, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    SMapObjectTypeTable src;
    SMapObjectType* stair = MakeType(src, "base_stair", 33, {"base_a", "", "base_b"});
    stair->typeFlags = 0x0041;
    stair->defaultState = 3;
    stair->texts[1] = "bsnd_up";
    stair->linkedTypeName = "base_torch";
    stair->placement[2] = -7;
    stair->palettes.AddText("base_pal");
    MakeType(src, "base_torch", 3);
    Bytes bytes = Rec(
        c.version, [&](SStream& s) { src.SerializeBlock(s, c.version); }, kMapRecordCapacity);

    SMapObjectTypeTable table;
    SStream s(c.version);
    s.OpenForRead(bytes.data(), u32(bytes.size()));
    ASSERT_TRUE(table.SerializeBlock(s, c.version));
    SMapObjectType* t = table.FindType("base_stair");
    ASSERT_NE(t, nullptr);
    EXPECT_NE(dynamic_cast<SMapObjectStair*>(t), nullptr);
    // Class 33 always travels; the rest of the flags come from the record from version 11 on.
    EXPECT_EQ(t->typeFlags, u16((c.flagsRead ? 0x0041 : 0x4001) | MapTypeFlag::kTravels));
    EXPECT_EQ(t->defaultState, c.stateRead ? 3 : 0);
    EXPECT_EQ(t->eventMask, MapEvent::kUse);
    EXPECT_EQ(t->placement[2], -7);
    EXPECT_STREQ(t->texts[1], c.version > 9 ? "bsnd_up" : nullptr);
    ASSERT_EQ(t->imageNames.Count(), 3);
    EXPECT_EQ(t->ImageName(1), nullptr);  // an empty name reads back as none
    EXPECT_EQ(t->LinkedType(), table.FindType("base_torch"));
    EXPECT_EQ(t->palettes.Count(), 1);  // the type's own list; the block after the types adds none
  }

  // Classes 0 and 44 have no kind: their fields are read and dropped, the types after them still load.
  SMapObjectTypeTable src;
  MakeType(src, "base_a", 5, {"x"});
  MakeType(src, "base_b", 7, {"y"});
  MakeType(src, "base_c", 20);
  Bytes bytes = Rec(
      114, [&](SStream& s) { src.SerializeBlock(s, 114); }, kMapRecordCapacity);
  // Class bytes lead each type; patch the first two (the record lists them in name-hash order).
  u32 patched = 0;
  for (size_t i = 3; i < bytes.size() && patched < 2; ++i)
    if ((bytes[i] == 5 || bytes[i] == 7) && bytes[i + 1] == 'b' && bytes[i + 2] == 'a') bytes[i] = patched++ ? 44 : 0;
  ASSERT_EQ(patched, 2u);
  SMapObjectTypeTable table;
  SStream s(114);
  s.OpenForRead(bytes.data(), u32(bytes.size()));
  EXPECT_TRUE(table.SerializeBlock(s, 114));
  EXPECT_EQ(table.droppedTypes, 2u);
  ASSERT_EQ(table.Count(), 1);
  EXPECT_NE(table.FindType("base_c"), nullptr);

  // A block with no types is still a block, palette list and all.
  SMapObjectTypeTable none, empty;
  bytes = Rec(
      114, [&](SStream& st) { none.SerializeBlock(st, 114); }, kMapRecordCapacity);
  SStream e(114);
  e.OpenForRead(bytes.data(), u32(bytes.size()));
  EXPECT_TRUE(empty.SerializeBlock(e, 114));
  EXPECT_EQ(e.Remaining(), 0u);
}

TEST_F(Maps, TypeNamesResolveToImagesWithFrameCountsThatNeverDivideByZero) {
  SWorldModule* base = Open(World());
  ASSERT_NE(base, nullptr);
  // Extra types made after loading, resolved with the loaded cache.
  auto teleport = [&](const char* name, std::vector<const char*> names) {
    return MakeType(mapTypes, name, 25, std::move(names));
  };
  SMapObjectType* none = teleport("base_t0", {});
  SMapObjectType* one = teleport("base_t1", {"base_img-a"});
  SMapObjectType* three = teleport("base_t3", {"base_img-a", "base_unknown", "base_img-b"});
  SMapObjectType* decor = MakeType(mapTypes, "base_decor", 9, {"", "base_img-a", "base_img-b", "", "base_img-a"});
  mapTypes.ResolveNames(images, images.ImageFlags());

  EXPECT_EQ(none->frameCountA, 255);
  EXPECT_EQ(one->frameCountA, 0);
  EXPECT_EQ(three->frameCountA, 2);
  // A name the cache lacks resolves to 0 in its place: the array keeps its length.
  ASSERT_EQ(three->ImageCount(), 3u);
  EXPECT_EQ(three->ImageAt(0), images.FindImageIndex("base_img-a"));
  EXPECT_EQ(three->ImageAt(1), 0);
  EXPECT_EQ(three->ImageAt(2), images.FindImageIndex("base_img-b"));
  EXPECT_EQ(none->ImageAt(200), 0);  // positions past the list give no image
  EXPECT_EQ(one->FrameA(17), 0u);    // a frame count of 0 gives frame 0
  EXPECT_EQ(decor->frameCountA, 2);  // consecutive images from index 1
  EXPECT_TRUE(decor->animated);
  EXPECT_TRUE(three->animated);

  SMapObjectType* door = TypeAt(base, kDoor);
  ASSERT_NE(door, nullptr);
  EXPECT_EQ(door->frameCountA, 0);
  EXPECT_TRUE(door->animated);
  EXPECT_FALSE(TypeAt(base, kGrass)->animated);
  EXPECT_EQ(TypeAt(base, kGrass)->frameCountA, 1);

  // Class bytes: a door's third image gets 20, other images the type's third placement number; an image
  // shared by two types keeps the byte of the one resolved last.
  SMapObjectTypeTable local;
  SMapObjectType* localDoor = MakeType(local, "base_d", 20, {"base_img-a", "base_img-a", "base_img-b"});
  localDoor->placement[2] = 3;
  SMapObjectType* other = MakeType(local, "base_o", 1, {"base_img-b"});
  other->placement[2] = 9;
  local.ResolveNames(images, images.ImageFlags());
  EXPECT_EQ(images.ImageFlags()[images.FindImageIndex("base_img-a")], 3);
  const bool doorLast = local.types[local.Count() - 1] == localDoor;
  EXPECT_EQ(images.ImageFlags()[images.FindImageIndex("base_img-b")], doorLast ? 20 : 9);
}

// Images and palettes shared between types stay resident until the last type that loaded them lets go;
// a linked type's images are held and released with the type that links them.
TEST_F(Maps, SharedImagesStayWhileAnyTypeHoldsThem) {
  ASSERT_NE(Open(World()), nullptr);
  mapTypes.ResolveNames(images, images.ImageFlags());
  SMapObjectType* grass = mapTypes.FindType("base_grass");
  SMapObjectType* door = mapTypes.FindType("base_door");
  SMapObjectType* wall = mapTypes.FindType("base_wall");
  door->linkedTypeName = "base_wall";
  grass->palettes.AddText("base_pal");
  wall->palettes.AddText("base_pal");
  SImageEntry* a = images.FindImage("base_img-a");
  SImageEntry* b = images.FindImage("base_img-b");
  SPaletteEntry* pal = images.FindPalette("base_pal");

  grass->LoadImages(images);
  door->LoadImages(images);
  door->LoadImages(images);  // a second load holds nothing more
  wall->LoadImages(images);
  grass->ReleaseImages(images);
  EXPECT_TRUE(a->IsResident());  // the door still holds it
  EXPECT_TRUE(pal->IsResident());
  door->linkedTypeName = nullptr;  // the link changing later does not unbalance the release
  door->ReleaseImages(images);
  EXPECT_FALSE(a->IsResident());
  EXPECT_TRUE(b->IsResident());  // the wall's own
  wall->ReleaseImages(images);
  EXPECT_FALSE(b->IsResident());
  EXPECT_FALSE(pal->IsResident());
}

// --- map content ------------------------------------------------------------------------------------

TEST_F(Maps, StandAloneMapLoadsItsRectangleObjectsAndMonsters) {
  SWorldModule* base = Open(World());
  ASSERT_NE(base, nullptr);
  SMapArea* map = base->FindMap("base_dungeon");
  ASSERT_NE(map, nullptr);

  // Objects by id and name; the removed object's monster and the unknown template were dropped.
  EXPECT_EQ(map->objects.Count(), 5);
  ASSERT_NE(map->FindObjectById(2), nullptr);
  EXPECT_STREQ(map->FindObjectById(2)->targetText, "base_key");
  EXPECT_EQ(map->FindObjectById(0), nullptr);
  EXPECT_NE(map->FindObjectByName("base_obj_tree"), nullptr);
  ASSERT_EQ(map->monsters.Count(), 2);
  EXPECT_EQ(map->FindMonsterById(2), nullptr);
  EXPECT_EQ(map->FindMonsterById(3), nullptr);
  EXPECT_EQ(map->FindMonsterById(1)->hp, 12);  // the template's maximum
  EXPECT_EQ(map->nextMonsterId, 8);

  // Fill the window with garbage first: entering clears every cell outside the stored rectangle.
  for (i32 i = 0; i < SMapWindow::kCells; ++i) window.cells[i].bagId = 99;
  window.minutes = 600;
  ASSERT_TRUE(window.Enter(map));
  EXPECT_EQ(map->lastVisit, 600u);
  for (i32 y = 0; y < 35; ++y)
    for (i32 x = 0; x < 35; ++x) {
      if (x == 2 && y == 2) continue;
      EXPECT_EQ(window.Cell(x, y)->bagId, 0) << x << "," << y;
    }
  EXPECT_EQ(window.Cell(1, 2)->centreType, TypeAt(base, kWall));
  EXPECT_EQ(window.Cell(1, 2)->stylePalette, base->PaletteAt(1));
  const SMapCell* grass = window.Cell(2, 2);
  EXPECT_EQ(grass->base1Type, TypeAt(base, kGrass));
  EXPECT_EQ(grass->base1Palette, base->PaletteAt(1));
  EXPECT_EQ(grass->base1Type2, nullptr);  // a type the world lacks is none
  const SMapCell* door = window.Cell(3, 2);
  EXPECT_EQ(door->centreType, TypeAt(base, kDoor));
  EXPECT_EQ(door->centreObjectId, 2);
  EXPECT_EQ(door->cellFlags, 5);
  EXPECT_EQ(window.Faces(3, 2)->centreType, TypeAt(base, kTree));
  EXPECT_EQ(window.Faces(3, 2)->centreObjectId, 6);
  EXPECT_EQ(window.Cell(1, 3)->sideType[1], TypeAt(base, kLever));
  EXPECT_EQ(window.Cell(1, 3)->sidePalette[1], nullptr);  // past the list
  EXPECT_EQ(window.Cell(1, 3)->sideObjectId[1], 3);
  EXPECT_EQ(window.Cell(2, 3)->centreType, nullptr);
  EXPECT_EQ(window.Cell(3, 3)->centreType, TypeAt(base, kTree));
  EXPECT_EQ(window.Cell(0, 0)->base1Type, nullptr);

  // Monsters on their cells (the cell itself needs only a free slot).
  EXPECT_EQ(window.Cell(2, 3)->monsterId[0], 1);
  SMapMonster* second = map->FindMonsterById(7);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(window.Cell(3, 3)->monsterId[0], 7);
  EXPECT_EQ(second->cellX, 3);

  // Containers: the first bag takes the cell, the second finds the slot taken and lies nowhere.
  ASSERT_EQ(map->containers.Count(), 3);
  EXPECT_EQ(map->nextContainerId, 7);
  EXPECT_EQ(window.Cell(2, 2)->bagId, 3);
  EXPECT_EQ(map->FindContainerById(3)->cellX, 2);
  EXPECT_EQ(map->FindContainerById(4)->cellX, 255);
  EXPECT_EQ(map->FindContainerById(4)->cellY, 255);
  EXPECT_EQ(map->FindContainerById(6)->GetEntryCount(), 1);
}

// Placement: the player's cell is never taken; a full cell sends the monster to a free neighbour whose
// centre does not block.
TEST_F(Maps, MonstersAvoidThePlayerAndFullCells) {
  SWorldModule* base = Open(World());
  ASSERT_NE(base, nullptr);
  SMapArea* map = base->FindMap("base_dungeon");
  window.playerX = 2;
  window.playerY = 3;
  ASSERT_TRUE(window.Enter(map));
  EXPECT_EQ(window.Cell(2, 3)->monsterId[0], 0);
  SMapMonster* rat = map->FindMonsterById(1);
  ASSERT_NE(rat, nullptr);
  EXPECT_TRUE(rat->cellX != 2 || rat->cellY != 3);
  EXPECT_EQ(std::abs(rat->cellX - 2) <= 1 && std::abs(rat->cellY - 3) <= 1, true);
  SMapCell* at = window.Cell(rat->cellX, rat->cellY);
  EXPECT_TRUE(at->monsterId[0] == 1 || at->monsterId[1] == 1);
}

// Joined outdoor tiles: the current tile at window 7..27, the neighbours' strips around it; a partial
// stored rectangle leaves its outside cleared and a missing tile leaves its block empty.
TEST_F(Maps, OutdoorTilesJoinInTheWindow) {
  SWorldModule* base = Open(World());
  ASSERT_NE(base, nullptr);
  SMapArea* centre = base->FindMap("base_out0101");
  ASSERT_NE(centre, nullptr);
  ASSERT_NE(centre->cellOffsets, nullptr);
  ASSERT_TRUE(window.Enter(centre));
  SMapObjectType* grass = TypeAt(base, kGrass);
  SMapObjectType* tree = TypeAt(base, kTree);
  EXPECT_EQ(window.Cell(7, 7)->centreType, tree);  // the tile's own (0, 0)
  EXPECT_EQ(window.Cell(27, 27)->base1Type, grass);
  // East tile 0201 stores rows 3..20 and columns 0..15: window columns 28..34 show its columns 0..6.
  EXPECT_EQ(window.Cell(28, 7)->base1Type, nullptr);  // its row 0: outside the stored rectangle
  EXPECT_EQ(window.Cell(28, 10)->centreType, tree);   // its stored (0, 3)
  EXPECT_EQ(window.Cell(34, 27)->base1Type, grass);
  EXPECT_EQ(window.BlockArea(30, 10), base->FindMap("base_out0201"));
  // South tile 0102 is there; the south-east tile 0202 is missing; nothing lies west or north.
  EXPECT_EQ(window.Cell(7, 28)->centreType, tree);
  EXPECT_EQ(window.Cell(30, 30)->base1Type, nullptr);
  EXPECT_EQ(window.BlockArea(30, 30), nullptr);
  EXPECT_EQ(window.Cell(3, 10)->base1Type, nullptr);
  // The east tile's rat at its (1, 10) stands in window (29, 17).
  EXPECT_EQ(window.Cell(29, 17)->monsterId[0], 1);
  i32 column = 0, row = 0;
  EXPECT_TRUE(window.GetAreaLocalPosition(*base->FindMap("base_out0201"), 1, 10, column, row));
  EXPECT_EQ(column, 29);
  EXPECT_EQ(row, 17);
  EXPECT_FALSE(window.GetAreaLocalPosition(*base->FindMap("base_out0201"), 10, 10, column, row));
}

// Bad offsets and rectangles: a cell offset that is odd or past the record fails that cell only; an
// offset table too short for the stored rectangle fails the archive; a stored rectangle that leaves the
// map's size is clipped instead of written past the window.
TEST_F(Maps, MalformedCellRecordsAreRefusedOrClipped) {
  {
    worldbuild::WorldArchiveSpec spec = World();
    spec.maps[1].content[1].resize(2 + 2 * 21 * 21 - 8);  // records are padded to 4 bytes
    Save(spec, "DuskmireBase");
    EXPECT_EQ(modules.OpenArchive("DuskmireBase"), SArchiveResult::kBadData);
    EXPECT_NE(std::string(modules.LastError()).find("base_out0101"), std::string::npos) << modules.LastError();
  }
  {
    worldbuild::WorldArchiveSpec spec = World();
    Bytes& offsets = spec.maps[1].content[1];
    offsets[2] = 0xFF;  // cell (0, 0): far past the record
    offsets[3] = 0x7F;
    offsets[4] += 1;            // cell (1, 0): odd
    spec.maps[0].storedX = 33;  // 3 columns from 33: one column past the window
    spec.maps[0].storedY = 34;  // 2 rows from 34: one row past
    SWorldModule* base = Open(spec);
    ASSERT_NE(base, nullptr);
    EXPECT_FALSE(window.Enter(base->FindMap("base_out0101")));
    EXPECT_EQ(window.Cell(7, 7)->centreType, nullptr);
    EXPECT_EQ(window.Cell(8, 7)->base1Type, nullptr);
    EXPECT_EQ(window.Cell(9, 7)->base1Type, TypeAt(base, kGrass));
    ASSERT_TRUE(window.Enter(base->FindMap("base_dungeon")));
    EXPECT_EQ(window.Cell(33, 34)->centreType, TypeAt(base, kWall));
    EXPECT_EQ(window.Cell(34, 34)->base1Type, TypeAt(base, kGrass));
  }
}

TEST_F(Maps, MonsterRecordsOfOlderVersions) {
  struct Case {
    u32 version;
    i16 hp;  // read from the record below 71
  } cases[] = {{60, 5}, {65, 5}, {69, 5}, {70, 5}, {71, 12}, {88, 12}, {89, 12}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    std::vector<MonsterDef> placed = {{kRat, 4, 0x1A, 0, 6, 7, 9, 5}};
    Bytes bytes = worldbuild::MonsterRecord(placed, 5, c.version);
    SMapMonster m;
    u16 position = 0;
    SStream s(c.version);
    s.OpenForRead(bytes.data(), u32(bytes.size()));
    u32 n = 0;
    u8 next = 0;
    s.SerializeU32(n);
    s.SerializeByte(next);
    m.Serialize(s, c.version, position);
    EXPECT_TRUE(s.Ok());
    EXPECT_EQ(s.Remaining(), 0u);
    EXPECT_EQ(position, kRat);
    EXPECT_EQ(m.id, 4);
    EXPECT_EQ(m.flags, c.version < 70 ? 0x02 : 0x1A);  // bits 3 and 4 cleared for old data
    EXPECT_EQ(m.cellX, 6);
    EXPECT_EQ(m.cellY, 7);
    EXPECT_EQ(m.containerId, c.version > 88 ? 9 : 0);
    if (c.version < 71) {
      EXPECT_EQ(m.hp, 5);
    }
  }
}

// Through the map loader: a monster record below data version 71 brings its own hit points, which the
// monster keeps; from 71 on it starts at its template's maximum (12 for the rat).
TEST_F(Maps, MonstersOfRecordsBelowVersion71KeepTheirOwnHp) {
  for (u32 v : {70u, 71u}) {
    SCOPED_TRACE(v);
    modules.Clear();
    worldbuild::WorldArchiveSpec spec = World(v);
    spec.maps[0].content[2] = worldbuild::MonsterRecord({{kRat, 1, 2, 0, 2, 3, 0, 5}}, 2, v);
    SWorldModule* base = Open(spec);
    ASSERT_NE(base, nullptr);
    const SMapMonster* rat = base->FindMap("base_dungeon")->FindMonsterById(1);
    ASSERT_NE(rat, nullptr);
    EXPECT_EQ(rat->hp, v < 71 ? 5 : 12);
  }
}

// Map objects of data version 52 and below carry no texts: align 2, i16 value; u8 id; u8 second value;
// u8 state (no cell before version 54). The whole world is of version 52; its object record is written
// here field by field.
TEST_F(Maps, ObjectRecordsOfVersion52AndBelowCarryNoTexts) {
  worldbuild::WorldArchiveSpec spec = World(52);
  Bytes objects = {'I', 1, 5, 0};  // marker, area byte, u16 count
  const struct {
    i16 value;
    u8 id, second, state;
  } placed[] = {{0x0123, 2, 3, 1}, {-5, 3, 0, 1}, {7, 4, 0, 1}, {0, 5, 0, 3}, {9, 0, 0, 1}};
  for (const auto& o : placed) {
    if (objects.size() % 2) objects.push_back(0xEE);  // alignment: skipped, whatever it holds
    objects.push_back(u8(o.value));
    objects.push_back(u8(u16(o.value) >> 8));
    objects.push_back(o.id);
    objects.push_back(o.second);
    objects.push_back(o.state);
  }
  spec.maps[0].content[3] = objects;
  SWorldModule* base = Open(spec);
  ASSERT_NE(base, nullptr);
  SMapArea* map = base->FindMap("base_dungeon");
  ASSERT_NE(map, nullptr);
  ASSERT_EQ(map->objects.Count(), 5);
  for (const auto& o : placed) {
    if (!o.id) continue;
    const SMapObjectInst* read = map->FindObjectById(o.id);
    ASSERT_NE(read, nullptr) << int(o.id);
    EXPECT_EQ(read->packed, o.value);
    EXPECT_EQ(read->containerId, o.second);
    EXPECT_EQ(read->state, o.state);
    EXPECT_EQ(read->cellX, 255);
    EXPECT_EQ(read->name.Text(), nullptr) << "no name: nothing finds it by one";
    EXPECT_EQ(read->targetText, nullptr);
    EXPECT_EQ(read->scriptName, nullptr);
  }
  EXPECT_EQ(map->FindObjectByName("base_obj_door"), nullptr);
  // The monster bound to the removed object 5 is dropped, as with newer data.
  EXPECT_EQ(map->monsters.Count(), 2);
  ASSERT_TRUE(window.Enter(map));
  EXPECT_EQ(window.Cell(3, 2)->centreObjectId, 2);
}

// --- ids, monsters, effects, automap -----------------------------------------------------------------

TEST_F(Maps, IdsNeverComeOutAsZero) {
  SWorldModule* base = Open(World());
  ASSERT_NE(base, nullptr);
  SMapArea* map = base->FindMap("base_dungeon");
  SMonster* rat = static_cast<SMonster*>(base->MonsterAt(kRat));
  map->RemoveAllMonsters();
  map->nextMonsterId = 254;
  EXPECT_EQ(map->AddMonster(rat, 1, 1)->id, 254);
  EXPECT_EQ(map->nextMonsterId, 255);
  EXPECT_EQ(map->AddMonster(rat, 1, 1)->id, 1);  // the lowest unused
  EXPECT_EQ(map->AddMonster(rat, 1, 1)->id, 2);
  for (u32 i = 3; i < 255; ++i) ASSERT_NE(map->AddMonster(rat, 1, 1), nullptr) << i;
  EXPECT_EQ(map->AddMonster(rat, 1, 1), nullptr);  // all 255 ids in use
  EXPECT_EQ(map->monsters.Count(), 255);
  map->RemoveMonster(17);
  EXPECT_EQ(map->AddMarkedMonster(rat, 2, 2)->id, 17);
  map->RemoveMonstersOfType(rat);  // only the marked one goes
  EXPECT_EQ(map->monsters.Count(), 254);
  // A person gets a container of its own, which goes with it.
  map->RemoveMonster(40);
  const u32 bags = map->containers.Count();
  window.containerCounter = 12;
  SMapMonster* merchant = map->AddMonster(static_cast<SMonster*>(base->MonsterAt(kMerchant)), 4, 4);
  ASSERT_NE(merchant, nullptr);
  SItemContainer* bag = map->FindContainerById(merchant->containerId);
  ASSERT_NE(bag, nullptr);
  EXPECT_EQ(bag->serial, 12);
  EXPECT_EQ(bag->cellX, 255);
  EXPECT_EQ(map->containers.Count(), bags + 1);
  map->RemoveMonster(merchant->id);
  EXPECT_EQ(map->containers.Count(), bags);
  map->nextContainerId = 0;
  EXPECT_NE(map->AllocateContainerId(), 0);
}

TEST_F(Maps, MonsterEffectsAddSumAndExpire) {
  SWorldModule* base = Open(World());
  ASSERT_NE(base, nullptr);
  SMapArea* map = base->FindMap("base_dungeon");
  SMapMonster* rat = map->FindMonsterById(1);
  ASSERT_NE(rat, nullptr);

  map->AddMonsterEffect(1, 20, 5, 3, 0, nullptr);
  map->AddMonsterEffect(1, 20, 2, 3, 0, "");  // equal value, shorter: unchanged (an empty text is none)
  EXPECT_EQ(map->FindMonsterEffect(1, 3, 0, nullptr)->duration, 5);
  map->AddMonsterEffect(1, 20, 9, 3, 0, nullptr);  // equal value, longer
  EXPECT_EQ(map->FindMonsterEffect(1, 3, 0, nullptr)->duration, 9);
  map->AddMonsterEffect(1, 10, 30, 3, 0, nullptr);  // smaller value: unchanged
  EXPECT_EQ(map->FindMonsterEffect(1, 3, 0, nullptr)->value, 20);
  map->AddMonsterEffect(1, 130, 0, 4, 0, nullptr);
  map->AddMonsterEffect(1, -150, 0, 4, 1, "spell");
  map->AddMonsterEffect(1, -150, 0, 4, 0, "named");
  EXPECT_EQ(map->SumMonsterEffects(1, 4), 130 - 150 - 150);
  // With diseases: beyond +-100 counts less 100, named entries do not count.
  EXPECT_EQ(map->SumMonsterEffectsWithDiseases(1, 4, 0), 30);
  EXPECT_EQ(map->SumMonsterEffectsWithDiseases(1, 4, 1), 0);
  map->AddMonsterEffect(1, 5, 0, SMapArea::kCursed, 0, nullptr);
  map->AddMonsterEffect(1, 7, 0, SMapArea::kCursed, 1, nullptr);
  EXPECT_EQ(map->SumMonsterEffects(1, SMapArea::kCursed), 1);  // a flag, not a sum
  EXPECT_TRUE(map->IsMonsterCursed(1));
  EXPECT_EQ(map->SumMonsterEffects(9, 4), 0);  // no holder
  map->InfectMonster(1, "base_pox");
  map->InfectMonster(1, "base_pox");
  EXPECT_TRUE(map->MonsterHasDisease(1, "base_pox"));
  map->CureMonsterDisease(1, "base_pox");
  EXPECT_FALSE(map->MonsterHasDisease(1, "base_pox"));
  map->RemoveMonsterEffects(1, SMapArea::kCursed);
  EXPECT_FALSE(map->IsMonsterCursed(1));

  // Poison wears the monster down to 1 and never kills, also when hp equals the poison.
  struct Poison {
    i16 hp, poison, after;
  } poisons[] = {{5, 12, 1}, {12, 12, 1}, {20, 12, 8}};
  for (const Poison& p : poisons) {
    rat->hp = p.hp;
    map->AddMonsterEffect(1, p.poison, 0, SMapArea::kPoison, 0, nullptr);
    map->TickMonsterEffects(1, 1);
    EXPECT_EQ(rat->hp, p.after);
    EXPECT_EQ(rat->flags & SMapMonster::kPoisoned, SMapMonster::kPoisoned);
    EXPECT_EQ(rat->poisonShown, 10);
    map->RemoveMonsterEffects(1, SMapArea::kPoison);
  }

  // Durations run out: a timed entry goes after its turns, a lasting one stays.
  map->AddMonsterEffect(1, 1, 3, SMapArea::kParalysis, 0, nullptr);
  map->TickMonsterEffects(1, 2);
  EXPECT_TRUE(map->IsMonsterParalysed(1));
  map->TickMonsterEffects(1, 5);
  EXPECT_FALSE(map->IsMonsterParalysed(1));
  // A duration below the turns (a negative one too, as a saved byte can hold) runs out at once.
  map->AddMonsterEffect(1, 1, -3, SMapArea::kParalysis, 0, nullptr);
  map->TickMonsterEffects(1, 1);
  EXPECT_FALSE(map->IsMonsterParalysed(1));
  EXPECT_EQ(map->SumMonsterEffects(1, 4), 130 - 150 - 150);
  map->RemoveMonster(1);
  EXPECT_EQ(map->FindEffectHolder(1), nullptr);  // the holder goes with its monster
}

TEST_F(Maps, AutomapBitsAndCoverage) {
  SWorldModule* base = Open(World());
  ASSERT_NE(base, nullptr);
  SMapArea* tile = base->FindMap("base_out0101");
  tile->MarkVisited(20, 20);
  tile->MarkVisited(21, 0);  // outside the 21 x 21 tile
  tile->MarkVisited(-1, 3);
  EXPECT_TRUE(tile->IsVisited(20, 20));
  EXPECT_FALSE(tile->IsVisited(21, 0));
  EXPECT_EQ(tile->AutomapCoverage(), 0u);  // never loaded
  tile->lastVisit = 5;
  EXPECT_EQ(tile->AutomapCoverage(), 2u);
  tile->FillAutomap();
  EXPECT_EQ(tile->AutomapCoverage(), 1u);
  tile->ClearAutomap();
  EXPECT_EQ(tile->AutomapCoverage(), 0u);
}

// A map is reset (its monsters read again from the archive) when entered more than a week after the
// last visit.
TEST_F(Maps, WeeklyReset) {
  SWorldModule* base = Open(World());
  ASSERT_NE(base, nullptr);
  SMapArea* map = base->FindMap("base_dungeon");
  for (u32 later : {10080u, 10081u}) {
    SCOPED_TRACE(later);
    window.minutes = 1000;
    ASSERT_TRUE(window.Enter(map));
    map->RemoveMonster(1);
    map->FindContainerById(3)->DeleteAllItems();
    map->FindContainerById(3)->cellX = 9;  // persistent: kept through a reset
    map->RemoveContainer(6);               // transient: back after a reset
    // A person placed in play whose bag was made persistent: the monster goes, the bag stays.
    SMapMonster* merchant = map->AddMonster(static_cast<SMonster*>(base->MonsterAt(kMerchant)), 4, 4);
    ASSERT_NE(merchant, nullptr);
    const u8 merchantBag = merchant->containerId;
    ASSERT_NE(map->FindContainerById(merchantBag), nullptr);
    map->FindContainerById(merchantBag)->flags |= SItemContainer::kPersistent;
    window.minutes = 1000 + later;
    ASSERT_TRUE(window.Enter(map));
    EXPECT_EQ(map->FindMonsterById(1) != nullptr, later > 10080);
    EXPECT_EQ(map->FindContainerById(6) != nullptr, later > 10080);
    EXPECT_EQ(map->FindContainerById(3)->cellX, 9);
    EXPECT_NE(map->FindContainerById(merchantBag), nullptr);
    map->RemoveContainer(merchantBag);
    map->ReadMonsters();
    map->ReadContainers();
  }
}

// --- saved state ------------------------------------------------------------------------------------

// Through the save-file writer: objects that changed (also to 0), monsters moved and hurt, effects and
// the automap come back; a never-visited map keeps its archive state.
TEST_F(Maps, SavedStateRoundTrip) {
  SWorldModule* base = Open(World());
  ASSERT_NE(base, nullptr);
  SMapArea* map = base->FindMap("base_dungeon");
  window.minutes = 77;
  ASSERT_TRUE(window.Enter(map));
  map->FindObjectById(2)->packed = 0;  // lock and trap removed
  map->FindObjectById(4)->state = 0;   // hidden
  map->FindObjectById(3)->scriptState = -3;
  map->FindMonsterById(1)->hp = 4;
  map->FindMonsterById(1)->cellX = 9;
  map->RemoveMonster(7);
  map->AddMonster(static_cast<SMonster*>(base->MonsterAt(kMerchant)), 2, 2);
  map->AddMonsterEffect(1, 15, 4, SMapArea::kPoison, 2, "venom");
  map->MarkVisited(1, 1);
  map->nextMonsterId = 255;
  map->RemoveContainer(4);
  auto* sword = new SItemType;
  sword->name.Set("base_sword");
  itemTable.types.InsertByNameHash(sword);
  auto* item = new SItem;
  item->type = sword;
  item->count = 3;
  map->FindContainerById(6)->AddItem(item);
  const u32 saveVersion = 116;

  SDatabaseWriter writer(&files);
  writer.InitSavedGameHeader("DuskmireSave1");
  saves.ResetNameTables();
  ASSERT_TRUE(base->WriteSavedState(writer, 100, saveVersion));
  ASSERT_TRUE(writer.Write("DuskmireSave1"));
  // The names the records used, as the saved game keeps them.
  SStream names(saveVersion);
  ASSERT_TRUE(names.OpenForWriteOwned());
  saves.WriteNameTables(names);
  const Bytes nameBytes(names.Data(), names.Data() + names.BytesUsed());
  saves.ClearNameTables();

  // A fresh load of the world, as a new session would have it.
  modules.Clear();
  images.Clear();
  tables.ClearAll();
  ASSERT_EQ(modules.OpenArchive("DuskmireBase"), SArchiveResult::kOpened) << modules.LastError();
  sword = new SItemType;
  sword->name.Set("base_sword");
  itemTable.types.InsertByNameHash(sword);
  base = modules.current;
  map = base->FindMap("base_dungeon");
  SStream readNames(saveVersion);
  readNames.OpenForRead(nameBytes.data(), u32(nameBytes.size()));
  ASSERT_TRUE(saves.ReadNameTables(readNames));
  SDatabase save(&files);
  ASSERT_TRUE(save.Open("DuskmireSave1", kSavedGameCode));
  ASSERT_TRUE(base->ReadSavedState(save, 100, saveVersion));

  EXPECT_EQ(map->lastVisit, 77u);
  EXPECT_EQ(map->FindObjectById(2)->packed, 0);
  EXPECT_EQ(map->FindObjectById(4)->state, 0);
  EXPECT_EQ(map->FindObjectById(3)->scriptState, -3);
  ASSERT_EQ(map->monsters.Count(), 2);
  EXPECT_EQ(map->FindMonsterById(1)->hp, 4);
  EXPECT_EQ(map->FindMonsterById(1)->cellX, 9);
  EXPECT_EQ(map->FindMonsterById(7), nullptr);
  SMapMonster* merchant = map->FindMonsterById(8);
  ASSERT_NE(merchant, nullptr);
  EXPECT_EQ(merchant->monster, base->MonsterAt(kMerchant));
  EXPECT_EQ(merchant->hp, 40);
  ASSERT_NE(map->FindMonsterEffect(1, SMapArea::kPoison, 2, "venom"), nullptr);
  EXPECT_EQ(map->FindMonsterEffect(1, SMapArea::kPoison, 2, "venom")->duration, 4);
  EXPECT_TRUE(map->IsVisited(1, 1));
  EXPECT_EQ(map->AutomapCoverage(), 2u);
  EXPECT_EQ(map->nextMonsterId, 255);
  EXPECT_EQ(map->AllocateMonsterId(), 2);  // searched, never 0
  // Containers: the removed one stays gone, the other keeps its items.
  EXPECT_EQ(map->FindContainerById(4), nullptr);
  ASSERT_NE(map->FindContainerById(6), nullptr);
  ASSERT_EQ(map->FindContainerById(6)->GetItemCount(), 1);
  EXPECT_EQ(map->FindContainerById(6)->GetItem(0)->type, sword);
  EXPECT_EQ(map->FindContainerById(6)->GetItem(0)->count, 3);
  EXPECT_EQ(map->FindContainerById(3)->cellX, 2);
  // The tiles were never visited: their monsters are the archive's.
  EXPECT_EQ(base->FindMap("base_out0201")->monsters.Count(), 1);
}

TEST_F(Maps, SavedStateRecordsEdgeCases) {
  SWorldModule* base = Open(World());
  ASSERT_NE(base, nullptr);
  SMapArea* map = base->FindMap("base_dungeon");
  // A never-visited area ends after the automap byte.
  {
    SStream s(116);
    ASSERT_TRUE(s.OpenForWriteOwned());
    ASSERT_TRUE(map->WriteSavedState(s, 116));
    Bytes bytes(s.Data(), s.Data() + s.BytesUsed());
    // marker, pad, lastVisit, two counters, count 4 + 4 objects of 6 bytes... then the automap form 0.
    EXPECT_EQ(bytes.back(), 0);
    SStream r(116);
    r.OpenForRead(bytes.data(), u32(bytes.size()));
    EXPECT_TRUE(map->ReadSavedState(r, 116));
    EXPECT_EQ(r.Remaining(), 0u);
    EXPECT_EQ(map->monsters.Count(), 2);
    EXPECT_EQ(map->containers.Count(), 3);
  }
  // A monster whose template name is unknown is skipped and the ones after it are still read; a hp
  // above the maximum is capped; a saved counter of 0 means "search".
  {
    map->lastVisit = 9;
    SStream s(116);
    ASSERT_TRUE(s.OpenForWriteOwned());
    u8 marker = 2, next = 0, nextContainer = 1, form = 0;
    u32 visit = 9;
    u16 zero = 0, two = 2, unknown = 40, rat = window.InternMonster(static_cast<SMonster*>(base->MonsterAt(kRat)));
    s.SerializeByte(marker);
    s.SerializeU32(visit);
    s.SerializeByte(next);
    s.SerializeByte(nextContainer);
    s.SerializeU16(zero);
    s.SerializeByte(form);
    s.SerializeU16(two);
    for (auto [id, index] : {std::pair<u8, u16>{5, unknown}, std::pair<u8, u16>{6, rat}}) {
      u8 mask = 1 | 2;
      i16 hp = 500;
      u8 flags = 0xFF;
      s.SerializeByte(id);
      s.SerializeU16(index);
      s.SerializeByte(mask);
      s.SerializeI16(hp);
      s.SerializeByte(flags);
    }
    s.SerializeU16(zero);
    s.SerializeU16(zero);
    Bytes bytes(s.Data(), s.Data() + s.BytesUsed());
    SStream r(116);
    r.OpenForRead(bytes.data(), u32(bytes.size()));
    ASSERT_TRUE(map->ReadSavedState(r, 116));
    ASSERT_EQ(map->monsters.Count(), 1);
    EXPECT_EQ(map->monsters[0]->id, 6);
    EXPECT_EQ(map->monsters[0]->hp, 12);
    EXPECT_EQ(map->monsters[0]->flags, 7);
    EXPECT_EQ(map->nextMonsterId, 255);
    EXPECT_EQ(map->AllocateMonsterId(), 1);
  }
}

// World positions map back to the tile that holds them (tile c covers world x 21 (c - 1) .. 21 c - 1).
TEST_F(Maps, WorldPositionFindsItsTile) {
  SWorldModule* base = Open(World());
  ASSERT_NE(base, nullptr);
  SMapArea* south = base->FindMap("base_out0102");
  base->SetWorldPosition(south, 7, 7, 0);
  i32 column = 0, row = 0;
  EXPECT_EQ(base->FindMapAtWorldPosition(column, row), south);
  EXPECT_EQ(column, 1);
  EXPECT_EQ(row, 2);
  base->SetWorldPosition(base->FindMap("base_out0201"), 27, 27, 0);
  EXPECT_EQ(base->FindMapAtWorldPosition(column, row), base->FindMap("base_out0201"));
}

// --- the sample world -------------------------------------------------------------------------------

// Each map of the built sample world loads into the window: the dungeons whole, the outdoor tiles joined
// with their neighbours (one tile of the grid is missing on purpose); objects, monsters and types come
// through the module's index lists.
TEST_F(Maps, SampleWorldMapsLoadIntoTheWindow) {
  const std::string folder = std::string(DUSKMIRE_DATA_DIR) + "/";
  ASSERT_TRUE(std::filesystem::exists(folder + "DuskmireBase.pdb")) << "build the sample_world target first";
  SFileStore data(folder);
  modules.env.files = &data;
  struct Steps : SLoadingSteps {
    void Step() override {}
  } steps;
  ASSERT_TRUE(modules.OpenGameArchives(&steps)) << modules.LastError();
  mapTypes.ResolveNames(images, images.ImageFlags());
  SWorldModule* base = modules.FindByName("base");
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(mapTypes.droppedTypes, 0u);
  for (u32 c = SMapObjectType::kFirstClass; c <= SMapObjectType::kLastClass; ++c)
    EXPECT_NE(mapTypes.FirstOfClass(u8(c)), nullptr) << c;
  EXPECT_EQ(base->waterType, mapTypes.FindType("base_water"));
  EXPECT_EQ(base->MapObjectTypeAt(11), nullptr);  // "base_notype" names nothing, on purpose

  struct Case {
    const char* map;
    const char* position;  // a position object and the window cell it shows in
    i32 x, y;
    u32 monsters;
  } cases[] = {{"base_out0101", "base_pos_start", 17, 17, 6},
               {"base_out0201", nullptr, 0, 0, 2},  // its second monster names no template
               {"base_out0102", "base_pos_road", 17, 10, 6},
               {"base_dungeon1", "base_pos_cellar", 2, 2, 3},
               {"base_dungeon2", "base_pos_deep", 5, 5, 3},
               {"base_out0101_jail", "base_out0101_jailentry", 3, 3, 0},
               {"base_out0302", "base_pos_isle", 13, 19, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.map);
    SMapArea* map = base->FindMap(c.map);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->monsters.Count(), c.monsters);
    ASSERT_TRUE(window.Enter(map));
    if (c.position) {
      SMapObjectInst* pos = map->FindObjectByName(c.position);
      ASSERT_NE(pos, nullptr);
      EXPECT_EQ(window.Cell(c.x, c.y)->centreObjectId, pos->id);
      EXPECT_EQ(window.Cell(c.x, c.y)->centreType, mapTypes.FindType("base_position"));
    }
    u32 placed = 0;
    for (i32 i = 0; i < SMapWindow::kCells; ++i)
      placed += (window.cells[i].monsterId[0] != 0) + (window.cells[i].monsterId[1] != 0);
    if (!map->IsOutdoor()) {
      EXPECT_EQ(placed, c.monsters);
      EXPECT_EQ(window.Cell(0, 0)->centreType, mapTypes.FindType("base_wallbrick"));
      EXPECT_EQ(window.Cell(34, 34)->centreType, nullptr);  // beyond the stored rectangle
    }
  }
  // From the town: east and south tiles join, the south-east tile is missing.
  ASSERT_TRUE(window.Enter(base->FindMap("base_out0101")));
  EXPECT_EQ(window.BlockArea(30, 14), base->FindMap("base_out0201"));
  EXPECT_EQ(window.BlockArea(14, 30), base->FindMap("base_out0102"));
  EXPECT_EQ(window.BlockArea(30, 30), nullptr);
  EXPECT_EQ(window.Cell(30, 30)->base1Type, nullptr);
  EXPECT_EQ(window.Cell(28, 7)->base1Type, nullptr);  // the east tile stores rows from 3 on
  EXPECT_EQ(window.Cell(28, 10)->base1Type, mapTypes.FindType("base_grass"));
  EXPECT_EQ(window.Cell(19, 19)->bagId, 1);  // the town's bag on its (12, 12)
  // The cellar's chest is filled once, on entering.
  SMapArea* cellar = base->FindMap("base_dungeon1");
  ASSERT_TRUE(window.Enter(cellar));
  SItemContainer* chest = cellar->FindContainerById(cellar->FindObjectByName("base_obj_chest")->containerId);
  ASSERT_NE(chest, nullptr);
  EXPECT_TRUE(chest->flags & SItemContainer::kFilled);
  EXPECT_GT(chest->GetItemCount(), 0);
  EXPECT_EQ(window.Cell(11, 7)->bagId, 6);  // the store room's treasure
  // The town's city doors name the people whose houses they open.
  SMapObjectInst* door = base->FindMap("base_out0101")->FindObjectById(2);
  ASSERT_NE(door, nullptr);
  EXPECT_STREQ(door->targetText, "base_innkeeper");
  EXPECT_TRUE(mapTypes.FindType("base_doorcity")->typeFlags & MapTypeFlag::kTravels);
}

// Module-wide lookups, the per-step marks, the default texture, people placed on request, and the types
// a map's cells name marked as needed.
TEST_F(Maps, LookupsDefaultsAndPeople) {
  SWorldModule* base = Open(World());
  ASSERT_NE(base, nullptr);
  SMapArea* dungeon = base->FindMap("base_dungeon");
  SMapArea* where = nullptr;
  EXPECT_EQ(base->FindObjectByName("base_obj_lever", where), dungeon->FindObjectById(3));
  EXPECT_EQ(where, dungeon);
  SMapMonster* person = dungeon->AddMonster(static_cast<SMonster*>(base->MonsterAt(kMerchant)), 1, 2);
  ASSERT_NE(person, nullptr);
  person->objectId = 4;
  SMapMonster* bound = nullptr;
  EXPECT_EQ(base->FindObjectAndMonster("base_obj_tree", bound, where), dungeon->FindObjectById(4));
  EXPECT_EQ(bound, person);
  where = dungeon;
  EXPECT_EQ(base->FindObjectAndMonster("base_obj_none", bound, where), nullptr);
  EXPECT_EQ(bound, nullptr);
  EXPECT_EQ(where, dungeon);  // left as it was
  // An object without an id binds no monster, though every unbound monster carries the bound id 0.
  ASSERT_NE(dungeon->FindMonsterById(1), nullptr);
  ASSERT_EQ(dungeon->FindMonsterById(1)->objectId, 0);
  SMapObjectInst* unnumbered = base->FindObjectAndMonster("base_obj_free", bound, where);
  ASSERT_NE(unnumbered, nullptr);
  EXPECT_EQ(unnumbered->id, 0);
  EXPECT_EQ(bound, nullptr);

  dungeon->FindObjectById(2)->state |= 0x80;
  modules.ClearObjectMarks();
  EXPECT_EQ(dungeon->FindObjectById(2)->state, 1);

  EXPECT_EQ(dungeon->textureType, mapTypes.FindType("base_grass"));
  EXPECT_EQ(dungeon->ceilingType, mapTypes.FindType("base_grass"));
  EXPECT_EQ(base->FindMap("base_out0101")->ceilingType, nullptr);

  ASSERT_TRUE(window.Enter(dungeon));
  EXPECT_TRUE(mapTypes.FindType("base_lever")->needed);
  EXPECT_TRUE(mapTypes.FindType("base_door")->needed);
  EXPECT_TRUE(TypeAt(base, kGrass)->needed);
  window.ClearWindowCell(1, 2);
  dungeon->VisitKind4MonstersInRect(window, 0, 0, 2, 3);
  EXPECT_EQ(window.Cell(1, 2)->monsterId[0], person->id);
  dungeon->FindObjectById(4)->state = 0;  // its object inactive: not placed
  window.ClearWindowCell(1, 2);
  dungeon->VisitKind4MonstersInRect(window, 0, 0, 2, 3);
  EXPECT_EQ(window.Cell(1, 2)->monsterId[0], 0);
}
