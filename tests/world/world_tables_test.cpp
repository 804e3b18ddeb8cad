// The tables that read blocks of the world base: each block written through its records' own transfer
// routine, laid out by the writer, read back by the loader.
#include "WorldFixture.h"

#include <algorithm>
#include <cstring>

namespace {
using worldbuild::Bytes;

// A compiled script blob: an unused word, the string table offset, the tokens (ended by 0), the strings.
Bytes Program(const Bytes& tokens, const std::vector<std::string>& strings) {
  Bytes blob(4 + tokens.size() + 1, 0);
  std::copy(tokens.begin(), tokens.end(), blob.begin() + 4);
  u16 offset = u16(blob.size());
  blob[2] = u8(offset);
  blob[3] = u8(offset >> 8);
  blob.push_back(u8(strings.size()));
  blob.push_back(0);
  for (const std::string& s : strings) blob.insert(blob.end(), s.c_str(), s.c_str() + s.size() + 1);
  return blob;
}

// A RIFF wave of 8-bit mono samples.
Bytes Wave(u32 frames) {
  Bytes w;
  auto put32 = [&](u32 v) {
    for (int i = 0; i < 4; ++i) w.push_back(u8(v >> (8 * i)));
  };
  auto put16 = [&](u16 v) {
    w.push_back(u8(v));
    w.push_back(u8(v >> 8));
  };
  w.insert(w.end(), {'R', 'I', 'F', 'F'});
  put32(36 + frames);
  w.insert(w.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(16);
  put16(1);
  put16(1);
  put32(22050);
  put32(22050);
  put16(1);
  put16(8);
  w.insert(w.end(), {'d', 'a', 't', 'a'});
  put32(frames);
  for (u32 i = 0; i < frames; ++i) w.push_back(u8(128 + (i % 16) * 4));
  return w;
}
}  // namespace

using WorldTables = WorldFixture;

TEST_F(WorldTables, GlobalsFacesAndScripts) {
  const u32 v = 114;
  auto spec = Spec("base");
  {
    SGlobalVariables g;
    auto* counter = new SGlobalVariable;
    counter->name.Set("base_questcounter");
    counter->value.SetInt(-42);
    auto* text = new SGlobalVariable;
    text->name.Set("base_password");
    text->value.SetText("swordfish");
    g.variables.Add(counter);
    g.variables.Add(text);
    spec.blocks[kBlockGlobals] = {Rec(v, [&](SStream& s) { g.SerializeBlock(s, v); })};
    g.variables.Clear();  // the names point at literals; the objects go with the test
    delete counter;
    delete text;
  }
  {
    SFaceTable f;
    SFace a, b;
    a.name.Set("bres_head34");
    a.selectable = 1;
    b.name.Set("bres_headunknown");
    f.faces.Add(&a);
    f.faces.Add(&b);
    spec.blocks[kBlockFaces] = {Rec(v, [&](SStream& s) { f.SerializeBlock(s, v); })};
    f.faces.Clear();
  }
  {
    Bytes header = Rec(v, [](SStream& s) {
      s.SerializeMarker('\'');
      u16 n = 2;
      s.SerializeU16(n);
    });
    Bytes blob = Program({33, 0, 0, 0, 3}, {"hello", "world"});
    SNamedScript lever, empty;
    lever.name.Set("base_lever");
    lever.program = blob.data();
    lever.length = u16(blob.size());
    empty.name.Set("base_empty");
    spec.blocks[kBlockScripts] = {header, Rec(v, [&](SStream& s) { lever.Serialize(s, v); }),
                                  Rec(v, [&](SStream& s) { empty.Serialize(s, v); })};
  }
  Save(spec, "Base");
  ASSERT_EQ(modules.OpenArchive("Base"), SArchiveResult::kOpened) << modules.LastError();

  EXPECT_EQ(globals.GetValue("base_questcounter"), -42);
  ASSERT_NE(globals.Find("base_password"), nullptr);
  EXPECT_TRUE(globals.Find("base_password")->value.IsString());
  EXPECT_STREQ(globals.Find("base_password")->value.Text(), "swordfish");
  EXPECT_STREQ(globals.Find("base_questcounter")->value.Text(), "-42");
  EXPECT_EQ(globals.GetValue("base_unknown"), 0);

  ASSERT_EQ(faces.faces.Count(), 2);
  EXPECT_EQ(faces.FindByName("bres_head34")->selectable, 1);
  EXPECT_EQ(faces.FindByName("bres_headunknown")->selectable, 0);

  SNamedScript* lever = scripts.Find("base_lever");
  ASSERT_NE(lever, nullptr);
  EXPECT_TRUE(lever->HasProgram());
  EXPECT_EQ(lever->flag, 5);
  EXPECT_STREQ(lever->String(1), "world");
  EXPECT_EQ(lever->String(2), nullptr);
  EXPECT_FALSE(scripts.Find("base_empty")->HasProgram());

  // Clearing the world empties the tables.
  tables.ClearAll();
  EXPECT_EQ(globals.variables.Count(), 0);
  EXPECT_EQ(scripts.Find("base_lever"), nullptr);
}

// Old data: a global carries a second text, faces have no flag, scripts no flag byte.
TEST_F(WorldTables, OldVersionForms) {
  const u32 v = 40;
  auto spec = Spec("base", u8(v));
  SGlobalVariables g;
  SGlobalVariable old;
  old.name.Set("base_old");
  old.secondText = "legacy";
  old.value.SetInt(7);
  g.variables.Add(&old);
  spec.blocks[kBlockGlobals] = {Rec(v, [&](SStream& s) { g.SerializeBlock(s, v); })};
  g.variables.Clear();
  Save(spec, "Old");
  ASSERT_EQ(modules.OpenArchive("Old"), SArchiveResult::kOpened) << modules.LastError();
  ASSERT_NE(globals.Find("base_old"), nullptr);
  EXPECT_STREQ(globals.Find("base_old")->secondText, "legacy");
  EXPECT_EQ(globals.GetValue("base_old"), 7);
}

TEST_F(WorldTables, DialogListsAndConversationReferences) {
  const u32 v = 114;
  Bytes blob = Program({}, {});
  auto condition = [](i8 kind, i16 value, u8 op) {
    auto* c = new SCondition;
    c->kind = kind;
    c->value = value;
    c->op = op;
    return c;
  };
  auto makeList = [&](const char* name) {
    auto* list = new SDialogEntryList;
    list->name.Set(name);
    list->text = "Greetings";
    list->condition = condition(37, 1, 1);
    list->secondText = "second";
    auto* entry = new SDialogEntry;
    entry->text = "Hello, %PCName%.";
    entry->conditions[1] = condition(2, 4, 1);
    entry->choices[2] = new SChoice;
    entry->choices[2]->answer = "Yes";
    entry->choices[2]->condition = condition(11, 3, 4);
    entry->script = blob.data();
    entry->scriptLength = u16(blob.size());
    list->entries.Add(entry);
    return list;
  };
  SDialogEntryListPair base;
  base.first.Add(makeList("bres_monster"));
  base.second.Add(makeList("bres_topic"));
  auto spec = Spec("bres");
  spec.blocks[kBlockDialogLists] = {Rec(v, [&](SStream& s) { base.Serialize(s, v, false, nullptr); })};
  Save(spec, "Res");
  ASSERT_EQ(modules.OpenArchive("Res"), SArchiveResult::kOpened) << modules.LastError();

  SDialogEntryList* read = dialogs.FindFirst("bres_monster");
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->baseFlag, 1u);
  EXPECT_STREQ(read->text, "Greetings");
  EXPECT_STREQ(read->secondText, "second");
  ASSERT_NE(read->condition, nullptr);
  EXPECT_EQ(read->condition->kind, 37);
  ASSERT_EQ(read->entries.Count(), 1);
  SDialogEntry* e = read->entries[0];
  EXPECT_STREQ(e->text, "Hello, %PCName%.");
  EXPECT_EQ(e->conditions[0], nullptr);
  ASSERT_NE(e->conditions[1], nullptr);
  EXPECT_EQ(e->conditions[1]->value, 4);
  EXPECT_EQ(e->choices[0], nullptr);
  ASSERT_NE(e->choices[2], nullptr);
  EXPECT_STREQ(e->choices[2]->answer, "Yes");
  EXPECT_EQ(e->choices[2]->condition->op, 4);
  EXPECT_TRUE(e->HasChoices());
  EXPECT_EQ(e->scriptLength, blob.size());
  EXPECT_NE(dialogs.FindSecond("bres_topic"), nullptr);

  // A person's conversation record refers to base lists by name and carries its own.
  SDialogEntryListPair person;
  auto* ref = new SDialogEntryList;
  ref->name.Set("bres_topic");
  ref->baseFlag = 1;
  auto* unknown = new SDialogEntryList;
  unknown->name.Set("bres_gone");
  unknown->baseFlag = 1;
  person.second.Add(ref);
  person.second.Add(unknown);
  person.first.Add(makeList("base_own"));
  Bytes record = Rec(v, [&](SStream& s) { person.Serialize(s, v, true, nullptr); });
  for (SDialogEntryList* l : person.second) delete l;
  person.second.Clear();

  SDialogEntryListPair back;
  SStream s(v);
  s.OpenForRead(record.data(), u32(record.size()));
  ASSERT_TRUE(SerializeDialogEntryListRefs(back, s, v, &dialogs));
  ASSERT_EQ(back.second.Count(), 2);
  EXPECT_EQ(back.second[0], dialogs.FindSecond("bres_topic"));
  EXPECT_STREQ(back.second[1]->name.Text(), "bres_gone");  // kept as its placeholder
  ASSERT_EQ(back.first.Count(), 1);
  EXPECT_EQ(back.first[0]->entries.Count(), 1);
  // Clearing the pair must not free the table's list.
  back.Clear();
  EXPECT_EQ(dialogs.FindSecond("bres_topic")->entries.Count(), 1);
  for (SDialogEntryList* l : base.first) delete l;
  for (SDialogEntryList* l : base.second) delete l;
  base.first.Clear();
  base.second.Clear();
}

TEST_F(WorldTables, MonsterBaseTypesAndTemplates) {
  const u32 v = 114;
  // Base types come from one archive, templates from the next, and resolve across them.
  SMonsterTable res;
  auto* rat = new SMonsterBaseType;
  rat->name.Set("bres_rat");
  rat->kind = 2;
  for (int i = 0; i < 7; ++i) rat->frameNames[i] = "bres_ratframe";
  rat->sound1 = "bsnd_ratsqueak";
  rat->palettes.AddText("bres_pal-creatures");
  rat->palettes.AddText("");
  rat->palettes.AddText("");
  rat->palettes.AddText("bres_pal-extra");
  auto* merchant = new SMonsterBaseType;
  merchant->name.Set("bres_merchant");
  merchant->kind = 4;
  for (int i = 0; i < 10; ++i) merchant->frameNames[i] = "bres_merchantframe";
  res.baseTypes.Add(rat);
  res.baseTypes.Add(merchant);
  Bytes baseRecord = Rec(v, [&](SStream& s) { res.SerializeBaseTypes(s, v); });
  // A palette block naming a type this archive lacks is read and dropped.
  baseRecord.resize(baseRecord.size() - 2);
  Bytes tail = Rec(v, [](SStream& s) {
    u16 n = 2;
    s.SerializeU16(n);
    const char* who = "bres_ghost";
    s.SerializeString(who);
    u16 k = 1;
    s.SerializeU16(k);
    const char* pal = "bres_pal-ghost";
    s.SerializeString(pal);
    const char* rat2 = "bres_rat";
    s.SerializeString(rat2);
    s.SerializeU16(k);
    const char* pal2 = "bres_pal-late";
    s.SerializeString(pal2);
  });
  // The tail was written from offset 0 of its own buffer; its alignment matches where it lands only when
  // the base record's length is even, which the writer keeps.
  ASSERT_EQ(baseRecord.size() % 2, 0u);
  baseRecord.insert(baseRecord.end(), tail.begin(), tail.end());
  auto resSpec = Spec("bres");
  resSpec.blocks[kBlockMonsters] = {baseRecord, worldbuild::EmptyBlock(kBlockMonsters, v)[1]};
  Save(resSpec, "Res");

  SMonsterTable base;
  auto* skeleton = new SMonster;
  skeleton->name.Set("base_skeleton");
  skeleton->baseTypeName = "bres_rat";
  skeleton->label = "Skeleton";
  skeleton->maxHp = 30;
  skeleton->kind = 3;
  skeleton->level = 2;
  skeleton->theftDifficulty = 9;
  auto* effect = new SEffect;
  effect->kind = 38;
  effect->base = 120;
  skeleton->effects.Add(effect);
  auto* item = new SItemSpawn;
  item->index = 1;
  item->count = 2;
  item->chance = 50;
  skeleton->items.entries.Add(item);
  skeleton->items.entries.Add(new SItemSpawn);
  auto* stray = new SMonster;
  stray->name.Set("base_stray");
  stray->baseTypeName = "bres_nobody";
  base.monsters.Add(skeleton);
  base.monsters.Add(stray);
  auto baseSpec = Spec("base");
  baseSpec.blocks[kBlockMonsters] = {worldbuild::EmptyBlock(kBlockMonsters, v)[0],
                                     Rec(v, [&](SStream& s) { base.SerializeMonsters(s, v); })};
  baseSpec.monsterList = {"base_skeleton", "base_missing"};
  Save(baseSpec, "Base");

  ASSERT_EQ(modules.OpenArchive("Res"), SArchiveResult::kOpened) << modules.LastError();
  ASSERT_EQ(modules.OpenArchive("Base"), SArchiveResult::kOpened) << modules.LastError();
  SMonsterBaseType* readRat = monsters.FindBaseType("bres_rat");
  ASSERT_NE(readRat, nullptr);
  EXPECT_EQ(monsters.FindBaseType("bres_merchant")->FrameCount(), 10u);
  EXPECT_STREQ(monsters.FindBaseType("bres_merchant")->frameNames[9], "bres_merchantframe");
  // Empty names after the first are dropped; the block's late palette is appended.
  ASSERT_EQ(readRat->palettes.Count(), 3);
  EXPECT_STREQ(readRat->palettes.Text(0), "bres_pal-creatures");
  EXPECT_STREQ(readRat->palettes.Text(1), "bres_pal-extra");
  EXPECT_STREQ(readRat->palettes.Text(2), "bres_pal-late");

  SMonster* t = monsters.FindMonster("base_skeleton");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->baseType, readRat);
  EXPECT_STREQ(t->label, "Skeleton");
  EXPECT_EQ(t->maxHp, 30);
  EXPECT_TRUE(t->IsUndead());
  EXPECT_EQ(t->theftDifficulty, 9);
  EXPECT_EQ(t->flags, 12);
  ASSERT_EQ(t->effects.Count(), 1);
  EXPECT_EQ(t->effects[0]->base, 120);
  ASSERT_EQ(t->items.entries.Count(), 2);
  EXPECT_EQ(t->items.entries[0]->count, 2);
  EXPECT_EQ(monsters.FindMonster("base_stray")->baseType, nullptr);
  SWorldModule* m = modules.current;
  EXPECT_EQ(m->MonsterAt(1), t);
  EXPECT_EQ(m->MonsterAt(2), nullptr);

  // A base type whose stored frame count disagrees with its kind is sized by its kind: the names it lacks
  // stay null.
  merchant->kind = 2;  // written with 7 frames; flip the kind byte of the record back to 4
  Bytes bad = Rec(v, [&](SStream& s) { res.SerializeBaseTypes(s, v); });
  for (size_t i = bad.size(); i-- > 0;)
    if (bad[i] == 2 && i > 0 && bad[i - 1] == 0x01 && bad[i - 2] == 0x2C) {  // tenth stat 300, then kind
      bad[i] = 4;
      break;
    }
  auto badSpec = Spec("bbad");
  badSpec.blocks[kBlockMonsters] = {bad, worldbuild::EmptyBlock(kBlockMonsters, v)[1]};
  Save(badSpec, "Bad");
  ASSERT_EQ(modules.OpenArchive("Bad"), SArchiveResult::kOpened) << modules.LastError();
  u32 shortTypes = 0;
  for (SMonsterBaseType* b : monsters.baseTypes)
    if (b->kind == 4 && b->frameNames[6] && !b->frameNames[7] && !b->frameNames[9]) ++shortTypes;
  EXPECT_EQ(shortTypes, 1u);
}

TEST_F(WorldTables, SoundsSongsAndSampleModules) {
  const u32 v = 114;
  // A module of three samples: 1,000 words, exactly 32,000, and 32,001 (which takes a second record).
  SMusicModule module;
  module.name.Set("bmus_samples");
  const u16 words[3] = {1000, 32000, 32001};
  for (int i = 0; i < 3; ++i) {
    u8* h = module.header + audModule::kSampleHeaders + i * audModule::kSampleHeaderSize;
    h[22] = u8(words[i] >> 8);
    h[23] = u8(words[i]);
    h[25] = 64;
  }
  module.header[audModule::kSongLength] = 1;
  std::memcpy(module.header + audModule::kTag, "M.K.", 4);
  module.sampleCount = 3;
  module.extra1 = 5;
  Bytes head = Rec(v, [&](SStream& s) { module.SerializeHead(s, v); });
  Bytes s1000(2000, 1), s32000(64000, 2), s32001a(64000, 3), s32001b(2, 4);

  SMusicSong song;
  song.name.Set("bmus_main");
  song.sampleModule.Assign("bmus_samples");
  song.patternCount = 1;
  std::memcpy(song.header, module.header, audModuleHeaderSize);
  Bytes songHead = Rec(v, [&](SStream& s) { song.SerializeHead(s, v); });
  Bytes songHeader = Rec(v, [&](SStream& s) { SerializeTrackerHeader(s, song.header); });
  Bytes pattern(64 * 4 * 4, 0);

  SResource door, step;
  door.name.Set("bsnd_cdooropen");
  step.name.Set("bsnd_ratsqueak");
  Bytes doorRecord = Rec(v, [&](SStream& s) { door.SerializeHeader(s, v); });
  Bytes wave = Wave(400);
  doorRecord.insert(doorRecord.end(), wave.begin(), wave.end());
  Bytes stepRecord = Rec(v, [&](SStream& s) { step.SerializeHeader(s, v); });
  stepRecord.insert(stepRecord.end(), wave.begin(), wave.end());

  Bytes header = Rec(v, [](SStream& s) {
    s.SerializeMarker(',');
    u16 a = 1, b = 1, c = 2;
    s.SerializeU16(a);
    s.SerializeU16(b);
    s.SerializeU16(c);
  });
  auto spec = Spec("bmus");
  spec.blocks[kBlockSounds] = {header,   head,       s1000,   s32000,     s32001a,   s32001b,
                               songHead, songHeader, pattern, doorRecord, stepRecord};
  // A base type names the squeak: it is loaded per map, not preloaded.
  SMonsterBaseType* rat = new SMonsterBaseType;
  rat->name.Set("bres_rat");
  for (int i = 0; i < 7; ++i) rat->frameNames[i] = "f";
  rat->sound2 = "bsnd_ratsqueak";
  SMonsterTable withRat;
  withRat.baseTypes.Add(rat);
  spec.blocks[kBlockMonsters] = {Rec(v, [&](SStream& s) { withRat.SerializeBaseTypes(s, v); }),
                                 worldbuild::EmptyBlock(kBlockMonsters, v)[1]};
  Save(spec, "Music");
  ASSERT_EQ(modules.OpenArchive("Music"), SArchiveResult::kOpened) << modules.LastError();

  SMusicModule* m = sounds.FindSampleModule("bmus_samples");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->extra1, 5);
  EXPECT_EQ(m->rawRecords.Count(), 5);  // the head and four sample records
  EXPECT_EQ(m->table.sample[0].firstBytes, 2000u);
  EXPECT_EQ(m->table.sample[1].firstBytes, 64000u);
  EXPECT_EQ(m->table.sample[1].second, nullptr);
  EXPECT_EQ(m->table.sample[2].firstBytes, 64000u);
  EXPECT_EQ(m->table.sample[2].secondBytes, 2u);
  EXPECT_EQ(m->table.sample[2].second[0], 4);
  EXPECT_EQ(std::memcmp(m->header, module.header, audModuleHeaderSize), 0);

  SMusicSong* readSong = sounds.FindSong("bmus_main");
  ASSERT_NE(readSong, nullptr);
  EXPECT_STREQ(readSong->sampleModule.CStr(), "bmus_samples");
  ASSERT_EQ(readSong->patternCount, 1);
  EXPECT_GE(readSong->patterns[0].bytes, pattern.size());
  EXPECT_EQ(std::memcmp(readSong->header, song.header, audModuleHeaderSize), 0);

  SResource* readDoor = sounds.FindSound("bsnd_cdooropen");
  ASSERT_NE(readDoor, nullptr);
  EXPECT_FALSE(readDoor->IsLoaded());
  EXPECT_EQ(readDoor->headerLength, 24);  // name (15), two u16 from 16, three bytes, aligned to 4

  sounds.PreloadGlobalSounds();
  EXPECT_TRUE(readDoor->IsLoaded());
  EXPECT_EQ(readDoor->global, 1);
  SResource* squeak = sounds.FindSound("bsnd_ratsqueak");
  EXPECT_FALSE(squeak->IsLoaded());
  EXPECT_EQ(std::memcmp(readDoor->sampleData, "RIFF", 4), 0);

  // Per map: needed sounds load, and go again when the next map does not need them.
  sounds.ClearNeededFlags();
  sounds.MarkSoundNeeded("bsnd_ratsqueak");
  sounds.LoadNeededSounds();
  EXPECT_TRUE(squeak->IsLoaded());
  squeak->LoadVolumeSlot(10);
  ASSERT_NE(squeak->VolumeSlot(10), nullptr);
  sounds.ClearNeededFlags();
  sounds.ReleaseUnneededSounds();
  EXPECT_FALSE(squeak->IsLoaded());
  EXPECT_EQ(squeak->VolumeSlot(10), nullptr);
  EXPECT_TRUE(readDoor->IsLoaded());

  // Without a sound manager playing does nothing.
  EXPECT_EQ(sounds.PlayByName("bsnd_cdooropen", 10), 0);
  EXPECT_EQ(sounds.PlayByName("bsnd_nothing", 10), 0);
}

// Sample modules that promise more than the format holds, and sounds whose header does not fit.
TEST_F(WorldTables, BadSoundRecordsFailTheArchive) {
  const u32 v = 114;
  auto header = [&](u16 a, u16 c) {
    return Rec(v, [&](SStream& s) {
      s.SerializeMarker(',');
      u16 b = 0;
      s.SerializeU16(a);
      s.SerializeU16(b);
      s.SerializeU16(c);
    });
  };
  SMusicModule tooMany;
  tooMany.name.Set("bmus_many");
  tooMany.sampleCount = 32;
  Bytes head = Rec(v, [&](SStream& s) { tooMany.SerializeHead(s, v); });
  std::string longName(300, 'x');
  Bytes longRecord(longName.begin(), longName.end());
  longRecord.resize(longRecord.size() + 12, 0);

  struct Case {
    const char* what;
    std::vector<Bytes> records;
  } cases[] = {
      {"more than 31 samples", {header(1, 0), head}},
      {"sound header longer than a byte counts", {header(0, 1), longRecord}},
      {"sound table promises a missing sound", {header(0, 3)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto spec = Spec("bmus");
    spec.blocks[kBlockSounds] = c.records;
    // The sounds the header promises lie where the next blocks begin: drop those records.
    Save(spec, "Bad");
    EXPECT_NE(modules.OpenArchive("Bad"), SArchiveResult::kOpened);
    EXPECT_EQ(modules.Count(), 0);
  }
}

#include "os/headless/MemoryRegistry.h"
#include "os/headless/SimWaveOut.h"

// With a sound manager over the headless wave-out: sounds and songs play by name, and a sound released
// per map first stops the channel still looping its data.
TEST_F(WorldTables, ReleasedSoundsStopTheirChannels) {
  Os::SimWaveOut sim;
  Os::MemoryRegistry registry;
  Os::InstallWaveOut(&sim);
  Os::InstallRegistry(&registry);
  {
    const u32 v = 114;
    SResource loop;
    loop.name.Set("bsnd_water");
    Bytes record = Rec(v, [&](SStream& s) { loop.SerializeHeader(s, v); });
    Bytes wave = Wave(2000);
    record.insert(record.end(), wave.begin(), wave.end());
    auto spec = Spec("bsnd");
    spec.blocks[kBlockSounds] = {Rec(v,
                                     [](SStream& s) {
                                       s.SerializeMarker(',');
                                       u16 a = 0, b = 0, c = 1;
                                       s.SerializeU16(a);
                                       s.SerializeU16(b);
                                       s.SerializeU16(c);
                                     }),
                                 record};
    Save(spec, "Sound");
    ASSERT_EQ(modules.OpenArchive("Sound"), SArchiveResult::kOpened) << modules.LastError();

    SSettings settings;
    SSoundManager manager;
    manager.Init(&settings);
    ASSERT_NE(manager.Speaker(), nullptr);
    sounds.SetSoundManager(&manager);
    SResource* water = sounds.FindSound("bsnd_water");
    ASSERT_NE(water, nullptr);
    i32 handle = sounds.PlayLoopByName("bsnd_water", 10);
    ASSERT_GE(handle, 3) << "a sound channel";
    EXPECT_EQ(manager.Speaker()->CountPlayingSounds(), 1u);

    // The next map does not need the loop: its data goes, and the channel on it is stopped first.
    sounds.ClearNeededFlags();
    sounds.ReleaseUnneededSounds();
    EXPECT_FALSE(water->IsLoaded());
    EXPECT_EQ(manager.Speaker()->CountPlayingSounds(), 0u);
    EXPECT_EQ(sounds.PlayMusicByName("bmus_none"), 0);
    sounds.Clear();
    sounds.SetSoundManager(nullptr);
  }
  Os::InstallRegistry(nullptr);
  Os::InstallWaveOut(nullptr);
}

// The shared table shapes: a record without its tag is read from its first field on; a block of count 0
// leaves the table empty but keeps its raw record.
TEST_F(WorldTables, TaglessRecordsAndEmptyBlocks) {
  const u32 v = 114;
  Bytes faceBlock = Rec(v, [](SStream& s) {
    s.SerializeMarker('%');
    u16 n = 2;
    s.SerializeU16(n);
    const char* a = "bres_tagless";  // no '&' in front
    s.SerializeString(a);
    u8 one = 1;
    s.SerializeByte(one);
    s.SerializeMarker('&');
    const char* b = "bres_tagged";
    s.SerializeString(b);
    u8 zero = 0;
    s.SerializeByte(zero);
  });
  auto spec = Spec("bres");
  spec.blocks[kBlockFaces] = {faceBlock};
  Save(spec, "Res");
  Save(Spec("base"), "Base");
  ASSERT_EQ(modules.OpenArchive("Res"), SArchiveResult::kOpened) << modules.LastError();
  ASSERT_NE(faces.FindByName("bres_tagless"), nullptr);
  EXPECT_EQ(faces.FindByName("bres_tagless")->selectable, 1);
  EXPECT_EQ(faces.FindByName("bres_tagged")->selectable, 0);
  // The empty face block of the next archive adds nothing, and its record is kept like any other.
  ASSERT_EQ(modules.OpenArchive("Base"), SArchiveResult::kOpened) << modules.LastError();
  EXPECT_EQ(faces.Count(), 2);
  EXPECT_EQ(faces.rawRecords.Count(), 2);
}
