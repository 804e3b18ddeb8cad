// The built sample world, loaded the way a new game loads it: through the game core's loading phases.
#include "SampleCore.h"
#include "os/Files.h"
#include "world/SPeopleTables.h"

#include <algorithm>

namespace {
struct Steps : SLoadingSteps {
  int count = 0;
  void Step() override { ++count; }
};

// A temporary folder holding copies of some of the sample world's archives.
std::filesystem::path CopyOfSampleWorld(const char* name, std::initializer_list<const char*> archives) {
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("duskmire-" + std::string(name) + "-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  for (const char* f : archives)
    std::filesystem::copy_file(SampleDataFolder() + f, folder / f, std::filesystem::copy_options::overwrite_existing);
  return folder;
}
}  // namespace

TEST(SampleWorld, LoadsAsItsSourcesSay) {
  ASSERT_TRUE(std::filesystem::exists(SampleDataFolder() + "DuskmireBase.pdb"))
      << "build the sample_world target first";
  SampleCore w(SampleDataFolder());
  SWorld& world = w.core.world;
  Steps steps;
  ASSERT_TRUE(world.modules.OpenGameArchives(&steps)) << world.modules.LastError();
  EXPECT_EQ(steps.count, 4);
  w.core.PrepareWorldTables(&steps);
  EXPECT_EQ(steps.count, 8);
  w.core.BindWorldResources(&steps);
  EXPECT_EQ(steps.count, 13);

  ASSERT_EQ(world.modules.Count(), 4);
  for (const char* name : {"bmus", "bsnd", "bres", "base"}) EXPECT_NE(world.modules.FindByName(name), nullptr) << name;
  SWorldModule* base = world.modules.current;
  ASSERT_EQ(base, world.modules.FindByName("base"));

  auto baseJson = SampleSource("base.json");
  ASSERT_FALSE(baseJson.is_discarded());
  EXPECT_STREQ(base->firstText.CStr(), baseJson["title"].get<std::string>().c_str());
  EXPECT_STREQ(base->mapPrefix.CStr(), "base_out");
  EXPECT_EQ(base->value1, 3);
  EXPECT_EQ(base->value2, 2);
  ASSERT_EQ(base->maps.Count(), baseJson["maps"].size());
  for (const auto& m : baseJson["maps"]) {
    SMapArea* map = world.modules.FindMap(m["name"].get<std::string>().c_str());
    ASSERT_NE(map, nullptr) << m["name"];
    EXPECT_STREQ(map->title, m["title"].get<std::string>().c_str());
    EXPECT_EQ(map->flags, m["flags"].get<int>());
    EXPECT_EQ(map->texturePalette, base->PaletteAt(m["texturePalette"].get<int>()));
  }
  EXPECT_EQ(base->mapPalette, world.images.FindPalette("bres_pal-outdoor"));
  ASSERT_NE(base->mapPicture, nullptr);
  EXPECT_EQ(base->mapPicture->image->width, 63);
  EXPECT_EQ(base->mapPicture->image->height, 42);
  u32 column = 0, row = 0;
  EXPECT_TRUE(base->GetMapGrid(world.modules.FindMap("base_out0201"), column, row));
  EXPECT_EQ(column, 2u);
  EXPECT_EQ(row, 1u);

  // Tables across the archives.
  EXPECT_EQ(w.globals.variables.Count(), baseJson["globals"].size());
  // The town's note names the innkeeper as she is known: the global it reads holds her name.
  ASSERT_NE(world.rules.people.FindByName("base_innkeeper"), nullptr);
  EXPECT_STREQ(w.globals.Find("base_innkeepername")->value.Text(),
               world.rules.people.FindByName("base_innkeeper")->texts[0]);
  EXPECT_EQ(w.scripts.scripts.Count(), 17);  // those of data/sample/scripts (tests/script reads them closely)
  ASSERT_NE(w.scripts.Find("base_script_lever"), nullptr);
  EXPECT_TRUE(w.scripts.Find("base_script_lever")->HasProgram());
  // Greetings and monsters' lists in the second array, topics in the first.
  EXPECT_NE(w.dialogs.FindSecond("bres_monster"), nullptr);
  EXPECT_NE(w.dialogs.FindSecond("base_merchantgreeting"), nullptr);
  EXPECT_NE(w.dialogs.FindFirst("base_merchantrumours"), nullptr);
  EXPECT_EQ(w.faces.faces.Count(), 16);
  EXPECT_EQ(w.faces.FindByName("bres_head34")->selectable, 1);
  // Every townsperson's portrait is a face of the table, and none is the face a new player starts with.
  const SNpcTable& people = world.rules.people;
  ASSERT_GT(people.Count(), 0);
  for (u32 i = 0; i < people.Count(); ++i) {
    const SNpc* person = people.records[i32(i)];
    const char* portrait = person->texts[1];
    if (!portrait || !*portrait) continue;
    const SFace* face = w.faces.FindByName(portrait);
    ASSERT_NE(face, nullptr) << person->name.Text() << ": " << portrait;
    EXPECT_STRNE(portrait, "bres_head34") << person->name.Text() << " wears the new player's face";
  }
  EXPECT_EQ(w.faces.FindByName("bres_head00_raceundead")->selectable, 1);
  EXPECT_EQ(w.faces.FindByName("bres_headunknown")->selectable, 0);
  EXPECT_EQ(w.monsters.baseTypes.Count(), 12);
  EXPECT_EQ(w.monsters.monsters.Count(), 17);
  // What the monsters' turns read: behaviours, a height, a missile, a cast palette, a theft difficulty.
  const SMonster* spitter = w.monsters.FindMonster("base_spitter");
  ASSERT_NE(spitter, nullptr);
  EXPECT_EQ(spitter->behaviour, 2);
  EXPECT_EQ(spitter->widePlacement, 1);
  EXPECT_STREQ(spitter->castPalette, "bres_pal-spit");
  EXPECT_STREQ(spitter->baseType->MissileName(), "base_fpsspit");
  const SMonsterBaseType* wraith = w.monsters.FindBaseType("bres_wraith");
  ASSERT_NE(wraith, nullptr);
  EXPECT_EQ(wraith->Height(), 6);
  EXPECT_EQ(wraith->behaviour, 4);
  EXPECT_EQ(wraith->p3, 1);
  EXPECT_EQ(w.monsters.FindMonster("base_shaman")->behaviour, 3);
  EXPECT_EQ(w.monsters.FindMonster("base_guard")->flags, 16);
  EXPECT_EQ(w.monsters.FindMonster("base_townswoman")->theftDifficulty, 30);
  for (const SMonster* m : w.monsters.monsters) {
    ASSERT_NE(m->baseType, nullptr) << m->name.Text();
    EXPECT_EQ(m->kind, m->baseType->kind) << m->name.Text();
  }
  SMonster* merchant = w.monsters.FindMonster("base_merchant");
  ASSERT_NE(merchant, nullptr);
  EXPECT_EQ(merchant->baseType, w.monsters.FindBaseType("bres_merchant"));
  EXPECT_EQ(merchant->baseType->FrameCount(), 10u);
  EXPECT_EQ(merchant->lookNormal, world.images.FindImageIndex("bres_merchant1"));
  EXPECT_EQ(merchant->lookParalysed, world.images.FindImageIndex("bres_merchant10"));
  EXPECT_NE(merchant->lookNormal, 0);
  // The isle's hermit has a figure of her own and speaks with the townswoman's voice.
  const SMonster* hermit = w.monsters.FindMonster("base_islehermit");
  ASSERT_NE(hermit, nullptr);
  EXPECT_EQ(hermit->baseType, w.monsters.FindBaseType("bres_ysolde"));
  EXPECT_EQ(hermit->lookNormal, world.images.FindImageIndex("bres_ysolde1"));
  EXPECT_STREQ(hermit->baseType->sound4, "bsnd_townswomanvoice");
  EXPECT_EQ(base->MonsterAt(4), merchant);
  EXPECT_EQ(base->MonsterAt(5), nullptr);  // names a template the world lacks

  // Music and sounds.
  auto music = SampleSource("music.json");
  EXPECT_EQ(world.sounds.songs.Count(), music["songs"].size());
  SMusicModule* samples = world.sounds.FindSampleModule("bmus_samples");
  ASSERT_NE(samples, nullptr);
  EXPECT_EQ(samples->table.sample[2].secondBytes, 2u);
  EXPECT_EQ(world.sounds.FindSong("bmus_main")->patternCount, 2);
  SResource* thunder = world.sounds.FindSound("bsnd_thunderclose");
  SResource* ratAttack = world.sounds.FindSound("bsnd_ratattack");
  ASSERT_TRUE(thunder && ratAttack);
  EXPECT_TRUE(thunder->IsLoaded());     // named by nobody per map: preloaded
  EXPECT_FALSE(ratAttack->IsLoaded());  // a monster's: loaded with the maps that need it

  // Images become resident on first use, are counted, released and reloaded.
  SImageEntry* door = world.images.FindImage("bres_doormain");
  ASSERT_NE(door, nullptr);
  EXPECT_FALSE(door->IsResident());
  EXPECT_EQ(world.images.ImagePointers()[door->slot], nullptr);
  const u32 before = world.images.ImageMemory();
  ASSERT_TRUE(world.images.LoadImage(door));
  EXPECT_EQ(world.images.ImageMemory(), before + door->size);
  EXPECT_EQ(world.images.ImagePointers()[door->slot], door->image);
  world.images.ReleaseImage(door);
  EXPECT_EQ(world.images.ImageMemory(), before);
  ASSERT_TRUE(world.images.LoadImage(door));
  EXPECT_EQ(door->image->width, 160);
}

// A world without its base archive is refused with a message; the core unloads and loads a whole world
// afterwards as if nothing had happened.
TEST(SampleWorld, MissingBaseAbortsAndTheCoreStaysUsable) {
  ASSERT_TRUE(std::filesystem::exists(SampleDataFolder() + "DuskmireBase.pdb"))
      << "build the sample_world target first";
  const std::filesystem::path partial =
      CopyOfSampleWorld("partial", {"DuskmireMusic.pdb", "DuskmireSound.pdb", "DuskmireRes.pdb"});

  SampleCore w(partial.string() + "/");
  SWorld& world = w.core.world;
  EXPECT_FALSE(world.modules.OpenGameArchives(nullptr));
  EXPECT_NE(std::string(world.modules.LastError()).find("DuskmireBase"), std::string::npos);

  w.core.UnloadWorld();
  EXPECT_EQ(world.modules.Count(), 0);
  EXPECT_EQ(world.modules.current, nullptr);
  EXPECT_EQ(world.images.ImageCount(), 1);
  EXPECT_EQ(w.faces.faces.Count(), 0);
  EXPECT_EQ(world.sounds.sounds.Count(), 0);

  w.files.SetFolder(SampleDataFolder());
  ASSERT_TRUE(world.modules.OpenGameArchives(nullptr)) << world.modules.LastError();
  w.core.PrepareWorldTables(nullptr);
  w.core.BindWorldResources(nullptr);
  EXPECT_EQ(world.modules.current->maps.Count(), 7);
  EXPECT_EQ(w.faces.faces.Count(), 16);
  std::error_code ec;
  std::filesystem::remove_all(partial, ec);
}

// A damaged optional archive is passed over, and one line on standard error names it and the record that
// failed; the world opens without it and reports no error.
TEST(SampleWorld, ADamagedOptionalArchiveIsPassedOverAloud) {
  ASSERT_TRUE(std::filesystem::exists(SampleDataFolder() + "DuskmireBase.pdb"))
      << "build the sample_world target first";
  const std::filesystem::path copy =
      CopyOfSampleWorld("damaged", {"DuskmireMusic.pdb", "DuskmireSound.pdb", "DuskmireRes.pdb", "DuskmireBase.pdb"});
  // The entry table stays sound; every record after the module's own header is overwritten.
  SFileStore store(copy.string() + "/");
  SDatabase db(&store);
  ASSERT_TRUE(db.Open("DuskmireSound"));
  ASSERT_GT(db.RecordCount(), 1);
  const u32 from = db.Entries()[1].offset;
  db.Close();
  std::vector<u8> bytes;
  ASSERT_EQ(Os::ReadWholeFile((copy / "DuskmireSound.pdb").c_str(), 1u << 30, &bytes), Os::FileFault::None);
  std::fill(bytes.begin() + from, bytes.end(), 0xEE);
  ASSERT_TRUE(Os::Files().WriteAtomic((copy / "DuskmireSound.pdb").c_str(), bytes.data(), bytes.size(), nullptr));

  SampleCore w(copy.string() + "/");
  SWorld& world = w.core.world;
  testing::internal::CaptureStderr();
  const bool opened = world.modules.OpenGameArchives(nullptr);
  const std::string said = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(opened) << world.modules.LastError();
  EXPECT_STREQ(world.modules.LastError(), "");
  EXPECT_EQ(world.modules.Count(), 3);
  EXPECT_EQ(world.modules.FindByName("bsnd"), nullptr);
  EXPECT_EQ(said.rfind("duskmire: passed over a damaged archive: DuskmireSound: bsnd: record ", 0), 0u) << said;
  EXPECT_NE(said.find("malformed"), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  std::error_code ec;
  std::filesystem::remove_all(copy, ec);
}
