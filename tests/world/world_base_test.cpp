// The world base loader over archives laid out by the world builder's writer.
#include "WorldFixture.h"

#include <set>

namespace {
std::set<u16> Ids(const worldbuild::Archive& a) {
  std::set<u16> ids;
  for (const auto& [id, bytes] : a.records) ids.insert(id);
  return ids;
}
}  // namespace

using WorldBase = WorldFixture;

// The empty archive of the worked example: 33 records at version 114, the same count at version 71 with
// the index lists moved behind the attributes.
TEST_F(WorldBase, EmptyArchiveRecordSequence) {
  std::set<u16> expected = {3999, 4000, 4001};
  for (u16 id = 4004; id <= 4033; ++id) expected.insert(id);

  worldbuild::WorldLayout layout;
  worldbuild::Archive v114 = Save(Spec("bres", 114), "W114", &layout);
  EXPECT_EQ(Ids(v114), expected);
  EXPECT_EQ(layout.mapDirectory, 4033);
  EXPECT_EQ(v114.records[4013][0], 'C');  // C, D, F after the map-object types
  EXPECT_EQ(v114.records[4018][0], 'E');  // E after the monster block
  EXPECT_EQ(v114.records[4032][0], 'R');  // attributes

  worldbuild::Archive v71 = Save(Spec("bmus", 71), "W71", &layout);
  EXPECT_EQ(Ids(v71), expected);
  EXPECT_EQ(v71.records[4028][0], 'R');
  for (u16 id = 4029; id <= 4032; ++id) EXPECT_EQ(v71.records[id][0], "CDEF"[id - 4029]);

  ASSERT_EQ(modules.OpenArchive("W114"), SArchiveResult::kOpened) << modules.LastError();
  ASSERT_EQ(modules.OpenArchive("W71"), SArchiveResult::kOpened) << modules.LastError();
  ASSERT_EQ(modules.Count(), 2);
  EXPECT_EQ(modules.current, modules.FindByName("bmus"));
  SWorldModule* m = modules.FindByName("bres");
  ASSERT_NE(m, nullptr);
  EXPECT_STREQ(m->resourcePrefix.CStr(), "bres_");
  EXPECT_EQ(m->prefixShortHash, HashResourceNameShort("bres_"));
  EXPECT_EQ(m->dataVersion, 114);
  EXPECT_EQ(m->maps.Count(), 0);
  EXPECT_EQ(m->rawRecords.Count(), 1);  // the map directory is kept even with no maps
  EXPECT_EQ(m->typeList.items, nullptr);
  EXPECT_EQ(m->mapPicture, nullptr);
}

// Every record of the sequence is read: without any one of them the archive fails cleanly, names the
// record, creates no module and leaves the current module alone.
TEST_F(WorldBase, EachMissingRecordFailsTheArchive) {
  for (u8 version : {u8(114), u8(71)}) {
    worldbuild::Archive full = Save(Spec("base", version), "Full");
    ASSERT_EQ(modules.OpenArchive("Full"), SArchiveResult::kOpened);
    SWorldModule* before = modules.current;
    for (const auto& [id, bytes] : full.records) {
      SCOPED_TRACE(testing::Message() << "version " << int(version) << " without record " << id);
      Save(Spec("base", version), "Holed", [id = id](worldbuild::Archive& a) { a.records.erase(id); });
      EXPECT_EQ(modules.OpenArchive("Holed"), SArchiveResult::kBadData);
      EXPECT_NE(std::string(modules.LastError()).find(std::to_string(id)), std::string::npos) << modules.LastError();
      EXPECT_EQ(modules.Count(), 1);
      EXPECT_EQ(modules.current, before);
    }
    modules.Clear();
    tables.ClearAll();
    images.Clear();
    images.Init();
  }
}

TEST_F(WorldBase, TruncatedRecordsFailTheArchive) {
  // Header cut inside its texts; a directory whose count promises more entries than it holds.
  for (u16 id : {u16(3999), u16(4000), u16(4001), u16(4033)}) {
    SCOPED_TRACE(id);
    Save(Spec("base"), "Cut", [id](worldbuild::Archive& a) {
      auto& r = a.records[id];
      if (id == 4000 || id == 4001) {
        r = {id == 4000 ? u8('<') : u8('='), 0, 9, 0};  // nine entries, none present
      } else {
        r.resize(r.size() / 2);
      }
    });
    EXPECT_EQ(modules.OpenArchive("Cut"), SArchiveResult::kBadData);
    EXPECT_EQ(modules.Count(), 0);
  }
}

TEST_F(WorldBase, MissingArchiveCreatesNoModule) {
  Save(Spec("bres"), "DuskmireRes");
  ASSERT_EQ(modules.OpenArchive("DuskmireRes"), SArchiveResult::kOpened);
  SWorldModule* res = modules.current;
  EXPECT_EQ(modules.OpenArchive("DuskmireNothing"), SArchiveResult::kMissing);
  EXPECT_EQ(modules.current, res);
  EXPECT_EQ(modules.Count(), 1);
  EXPECT_EQ(modules.FindByName(nullptr), nullptr);
  EXPECT_EQ(modules.FindByName("bresx"), nullptr);
  EXPECT_EQ(modules.FindByName("bre"), nullptr);
}

namespace {
worldbuild::WorldArchiveSpec BaseWithMaps(u8 version = 114) {
  worldbuild::WorldArchiveSpec spec;
  spec.name = "base";
  spec.version = version;
  spec.mapPrefix = "base_out";
  spec.tileColumns = 3;
  spec.tileRows = 2;
  imageenc::Picture map(63, 42, 0x1234);
  spec.mapPicture = imageenc::Encode(map, 0);
  spec.typeList = {"base_grass", "base_nothing", "base_water"};
  spec.paletteList = {"bres_pal-outdoor"};
  spec.waterPosition = 0;
  spec.palettePosition = 1;
  worldbuild::MapDef town;
  town.title = "Town";
  town.name = "base_out0101";
  town.flags = 0x80 | 0x200;
  town.storedWidth = town.storedHeight = 21;
  town.texturePosition = 1;
  town.texturePalettePosition = 1;
  town.ceilingPosition = 2;         // names a type the world lacks
  town.ceilingPalettePosition = 7;  // past the list
  worldbuild::MapDef east = town;
  east.title = "East";
  east.name = "base_out0201";
  worldbuild::MapDef dungeon;
  dungeon.title = "Dungeon";
  dungeon.name = "base_dungeon1";
  dungeon.storedWidth = 20;
  dungeon.storedHeight = 16;
  spec.maps = {town, east, dungeon};
  return spec;
}
}  // namespace

TEST_F(WorldBase, MapDirectoryAndIndexLists) {
  types.names = {"base_grass", "base_water"};
  auto res = Spec("bres");
  res.palettes.push_back({"bres_pal-outdoor", std::vector<u16>(256, 0x07E0)});
  Save(res, "DuskmireRes");
  worldbuild::WorldLayout layout;
  Save(BaseWithMaps(), "DuskmireBase", &layout);
  ASSERT_EQ(modules.OpenArchive("DuskmireRes"), SArchiveResult::kOpened) << modules.LastError();
  ASSERT_EQ(modules.OpenArchive("DuskmireBase"), SArchiveResult::kOpened) << modules.LastError();
  SWorldModule* base = modules.current;
  ASSERT_STREQ(base->name.CStr(), "base");
  EXPECT_EQ(base->value1, 3);
  EXPECT_EQ(base->value2, 2);

  // Positions: 0 and past the list are none; a name no table has stores none.
  EXPECT_EQ(base->typeList.count, 3);
  EXPECT_EQ(base->MapObjectTypeAt(0), nullptr);
  EXPECT_EQ(base->MapObjectTypeAt(1), &types.names[0]);
  EXPECT_EQ(base->MapObjectTypeAt(2), nullptr);
  EXPECT_EQ(base->MapObjectTypeAt(4), nullptr);
  EXPECT_EQ(base->itemList.items, nullptr);
  EXPECT_EQ(base->ItemTypeAt(1), nullptr);
  EXPECT_EQ(base->PaletteAt(1), images.FindPalette("bres_pal-outdoor"));
  EXPECT_EQ(base->mapPalette, images.FindPalette("bres_pal-outdoor"));
  // Water position 0 falls back to the type named "base_water".
  EXPECT_EQ(base->waterType, &types.names[1]);

  // Maps in reverse directory order, with their record ids and resolved positions.
  ASSERT_EQ(base->maps.Count(), 3);
  EXPECT_STREQ(base->maps[0]->name.Text(), "base_dungeon1");
  EXPECT_STREQ(base->maps[2]->name.Text(), "base_out0101");
  SMapArea* town = modules.FindMap("base_out0101");
  ASSERT_NE(town, nullptr);
  EXPECT_EQ(town->recordId, layout.mapRecords[0]);
  EXPECT_STREQ(town->title, "Town");
  EXPECT_EQ(town->width, 21);
  EXPECT_EQ(town->textureType, &types.names[0]);
  EXPECT_EQ(town->ceilingType, nullptr);
  EXPECT_EQ(town->ceilingPalette, nullptr);
  EXPECT_EQ(modules.FindMap("base_dungeon1")->width, 35);

  // The world-map picture is bound to the record after "L" and resident at once.
  ASSERT_NE(base->mapPicture, nullptr);
  ASSERT_TRUE(base->mapPicture->IsResident());
  EXPECT_EQ(base->mapPicture->image->width, 63);
  EXPECT_EQ(base->mapPicture->image->height, 42);
}

TEST_F(WorldBase, MapGridAndWorldPosition) {
  Save(BaseWithMaps(), "DuskmireBase");
  ASSERT_EQ(modules.OpenArchive("DuskmireBase"), SArchiveResult::kOpened) << modules.LastError();
  SWorldModule* base = modules.current;
  SMapArea probe;
  struct Case {
    const char* name;
    bool onGrid;
    u32 column, row;
  } cases[] = {
      {"base_out0102", true, 1, 2},   {"base_out9900", true, 99, 0}, {"base_out010", false, 0, 0},
      {"base_out01020", false, 0, 0}, {"base_out01a2", false, 0, 0}, {"base_dungeon1", false, 0, 0},
      {"base_ou0102", false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    probe.name.Set(c.name);
    u32 column = 7, row = 7;
    EXPECT_EQ(base->GetMapGrid(&probe, column, row), c.onGrid);
    EXPECT_EQ(column, c.column);
    EXPECT_EQ(row, c.row);
  }
  probe.name.Set("base_out0102");
  base->SetWorldPosition(&probe, 7, 7, 1234);
  EXPECT_EQ(base->worldX, 0);
  EXPECT_EQ(base->worldY, 21);
  EXPECT_EQ(base->minutes, 1234u);

  SMapArea* town = base->FindMap("base_out0101");
  base->SetCurrentMap(town);
  EXPECT_EQ(base->FindNeighbourMap(1, 0), base->FindMap("base_out0201"));
  EXPECT_EQ(base->FindNeighbourMap(0, 1), nullptr);
  EXPECT_EQ(base->FindNeighbourMap(-2, 0), nullptr);
  // A map off the grid has no neighbours.
  base->SetCurrentMap(base->FindMap("base_dungeon1"));
  EXPECT_EQ(base->FindNeighbourMap(0, 0), nullptr);
}

TEST_F(WorldBase, GameArchivesNeedTheBase) {
  Save(Spec("bmus"), "DuskmireMusic");
  struct Counter : SLoadingSteps {
    int steps = 0;
    void Step() override { ++steps; }
  } counter;
  // No Sound, Res or Base archive: four steps, and loading refuses with a message.
  EXPECT_FALSE(modules.OpenGameArchives(&counter));
  EXPECT_EQ(counter.steps, 4);
  EXPECT_NE(std::string(modules.LastError()).find("DuskmireBase"), std::string::npos) << modules.LastError();

  // A base without maps is refused too.
  modules.Clear();
  Save(Spec("base"), "DuskmireBase");
  EXPECT_FALSE(modules.OpenGameArchives(nullptr));
  EXPECT_STREQ(modules.LastError(), "The world has no maps.");

  // Missing Sound and Res archives are passed over; the base becomes current.
  modules.Clear();
  Save(BaseWithMaps(), "DuskmireBase");
  EXPECT_TRUE(modules.OpenGameArchives(nullptr)) << modules.LastError();
  EXPECT_EQ(modules.Count(), 2);
  EXPECT_EQ(modules.current, modules.FindByName("base"));
}

// A module's saved state: the world position and the names of its maps, read back by name; saves of
// version 90 or below carry no position.
TEST_F(WorldBase, SavedStateRoundTrip) {
  Save(BaseWithMaps(), "DuskmireBase");
  ASSERT_EQ(modules.OpenArchive("DuskmireBase"), SArchiveResult::kOpened) << modules.LastError();
  SWorldModule* base = modules.current;
  base->worldX = 30;
  base->worldY = -4;
  base->minutes = 1441;
  for (u32 version : {116u, 90u}) {
    SCOPED_TRACE(version);
    SDatabaseWriter writer(&files);
    writer.InitSavedGameHeader("DuskmireSave1");
    ASSERT_TRUE(base->WriteSavedState(writer, 3010, version));
    EXPECT_EQ(writer.RecordCount(), 4);  // the module and its three maps
    ASSERT_TRUE(writer.Write("DuskmireSave1"));

    SWorldModule* other = modules.Add();
    other->SetEnv(&modules.env);
    SDatabase save(&files);
    ASSERT_TRUE(save.Open("DuskmireSave1", kSavedGameCode));
    // The reader restores the named maps of the module it is given: here the loaded base itself.
    base->worldX = base->worldY = 0;
    base->minutes = 0;
    ASSERT_TRUE(base->ReadSavedState(save, 3010, version));
    EXPECT_EQ(base->worldX, version > 90 ? 30 : 0);
    EXPECT_EQ(base->worldY, version > 90 ? -4 : 0);
    EXPECT_EQ(base->minutes, version > 99 ? 1441u : 0u);
    // A module without those maps passes their names over.
    EXPECT_TRUE(other->ReadSavedState(save, 3010, version));
    EXPECT_FALSE(other->ReadSavedState(save, 3999, version));
    modules.modules.Remove(other);
    delete other;
    base->worldX = 30;
    base->worldY = -4;
    base->minutes = 1441;
  }
}
