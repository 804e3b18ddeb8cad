// The item table read from archives, the lists by level and class, spawning, and containers with their
// saved forms.
#include "RulesFixture.h"
#include "foundation/SRandom.h"
#include "world/SItemTable.h"

#include <map>

namespace {
using worldbuild::Bytes;

SItemType* MakeType(const char* name, u8 itemClass, u8 subtype, u8 level, u8 frequency = 1, u16 maxCondition = 1000) {
  auto* t = new SItemType;
  t->name.Set(name);
  t->itemClass = itemClass;
  t->subtype = subtype;
  t->level = level;
  t->frequency = frequency;
  t->maxCondition = maxCondition;
  return t;
}

// The saved game's name table, over the item table's types.
struct NameTable : SItemNames {
  explicit NameTable(SItemTable& t) : table(t) {}
  u16 IndexOf(const SItemType* type) override {
    for (u32 i = 0; i < names.size(); ++i)
      if (names[i] == type->name.Text()) return u16(i);
    names.push_back(type->name.Text());
    return u16(names.size() - 1);
  }
  SItemType* TypeAt(u16 index) override {
    return index < names.size() ? table.FindType(names[index].c_str()) : nullptr;
  }
  SItemTable& table;
  std::vector<std::string> names;
};
}  // namespace

class Items : public RulesFixture {
 protected:
  Items() {
    tables[kBlockItems] = &items;
    random.Seed(nullptr, 12345);
  }
  ~Items() override {
    modules.Clear();
    tables[kBlockItems] = nullptr;
  }
  // The four records (and one per type from version 48) of a table, as the builder writes them.
  static std::vector<Bytes> Block(SItemTable& t, u32 v) {
    std::vector<Bytes> out;
    out.push_back(Rec(v, [&](SStream& s) { t.SerializePictures(s, v); }));
    out.push_back(Rec(v, [&](SStream& s) { t.SerializeFpsItems(s, v); }));
    out.push_back(Rec(v, [&](SStream& s) { t.SerializeTextPictures(s, v); }));
    out.push_back(Rec(v, [&](SStream& s) { t.SerializeTypeHeader(s, v); }));
    if (v >= 48)
      for (SItemType* type : t.types) out.push_back(Rec(v, [&](SStream& s) { type->Serialize(s, v); }));
    return out;
  }
  // A source table: a picture, a first-person picture with a frame the archive lacks, a picture record,
  // and types of several classes.
  void FillSource(SItemTable& src) {
    auto* pic = new SItemPicture;
    pic->name.Set("base_itemsword");
    pic->pictureKind = 0;
    pic->palettes.AddText("base_pal");
    src.pictures.InsertByNameHash(pic);
    auto* fps = new SFpsItem;
    fps->name.Set("base_fpssword");
    fps->kind = 4;
    fps->sound = "bsnd_hit";
    fps->p4 = 7;
    fps->frameNames.AddText("base_frame1");
    fps->frameNames.AddText("base_nosuchframe");
    fps->frameNames.AddText("base_frame2");
    src.fpsItems.InsertByNameHash(fps);
    auto* rec = new SItemTextPicture;
    rec->name.Set("base_picsword");
    rec->text1 = "base_itemsword";
    rec->text2 = "base_itemsword";
    rec->value6 = 777;
    src.textPictures.InsertByNameHash(rec);
    SItemType* sword = MakeType("base_sword", 1, 1, 1, 3);
    sword->text2 = "base_picsword";
    sword->text3 = "Short sword";
    sword->text7 = "seventh";
    sword->value = 40;
    sword->damageMin = 2;
    sword->damageMax = 6;
    sword->outfit = 4;
    src.types.InsertByNameHash(sword);
    SItemType* wand = MakeType("base_wand", 9, 4, 2);
    wand->enchantment = new SEffectList;
    wand->enchantment->worth = 90;
    wand->enchantment->Add(MakeEffect(0, 12, 2, 0, "base_spellbolt"));
    src.types.InsertByNameHash(wand);
    src.types.InsertByNameHash(MakeType("base_quiver", 1, 11, 1, 2));
    src.types.InsertByNameHash(MakeType("base_letter", 5, 2, 0));
    src.types.InsertByNameHash(MakeType("base_bread", 14, 1, 1));
  }
  std::string OpenWith(SItemTable& src, u32 v, std::vector<std::string> itemList = {}) {
    auto spec = Spec("base", u8(v));
    for (const char* n : {"base_itemsword", "base_frame1", "base_frame2"})
      spec.images.push_back({n, imageenc::Encode(imageenc::MakeChecker(8, 8, 2, 0xF800, 0x001F), 0)});
    spec.blocks[kBlockItems] = Block(src, v);
    spec.itemList = std::move(itemList);
    return OpenBase(spec);
  }

  SItemTable items;
  SRandom random;
};

TEST_F(Items, TableReadsBackAndResolves) {
  for (u32 v : {114u, 84u, 47u}) {
    SCOPED_TRACE(v);
    items.Clear();
    modules.Clear();
    images.Clear();
    images.Init();
    SItemTable src;
    FillSource(src);
    ASSERT_EQ(OpenWith(src, v, {"base_sword", "base_gone"}), "");
    ASSERT_EQ(items.types.Count(), 5);
    SItemType* sword = items.FindType("base_sword");
    ASSERT_NE(sword, nullptr);
    EXPECT_STREQ(sword->text3, "Short sword");
    EXPECT_EQ(sword->damageMax, 6);
    EXPECT_EQ(sword->table, &items);
    // Newer fields are absent from older data and keep their defaults.
    EXPECT_STREQ(sword->text7, v >= 114 ? "seventh" : nullptr);
    EXPECT_EQ(sword->frequency, v >= 85 ? 3 : 1);
    EXPECT_EQ(sword->outfit, v >= 64 ? 4 : 0);
    SItemType* wand = items.FindType("base_wand");
    ASSERT_NE(wand->enchantment, nullptr);
    EXPECT_EQ(wand->enchantment->worth, 90u);
    EXPECT_STREQ(wand->enchantment->Entry(0)->name, "base_spellbolt");
    SFpsItem* fps = items.FindFpsItem("base_fpssword");
    ASSERT_NE(fps, nullptr);
    EXPECT_EQ(fps->p4, v >= 75 ? 7 : 0);
    EXPECT_STREQ(fps->sound, v >= 107 ? "bsnd_hit" : nullptr);
    EXPECT_EQ(items.FindTextPicture("base_picsword")->value6, 777);
    EXPECT_STREQ(items.FindPicture("base_itemsword")->palettes.Text(0), "base_pal");
    // The "D" list finds the types by name; a name without a type is null.
    SWorldModule* m = modules.FindByName("base");
    EXPECT_EQ(m->itemList.At(1), sword);
    EXPECT_EQ(m->itemList.At(2), nullptr);

    items.ResolveNames(images, images.ImageFlags());
    const u16 pictureImage = images.FindImageIndex("base_itemsword");
    EXPECT_NE(pictureImage, 0);
    EXPECT_EQ(sword->picture, pictureImage);
    EXPECT_EQ(wand->picture, 0);
    // A frame name the cache lacks keeps its place as image 0, so frame numbers stay in step.
    ASSERT_EQ(fps->frames.Count(), 3u);
    EXPECT_EQ(fps->frames[0], images.FindImageIndex("base_frame1"));
    EXPECT_EQ(fps->frames[1], 0u);
    EXPECT_EQ(fps->frames[2], images.FindImageIndex("base_frame2"));
    EXPECT_TRUE(sword->LoadPicture(images));
    EXPECT_FALSE(wand->LoadPicture(images));
    items.LoadItemPictures(images);
    EXPECT_TRUE(images.FindImage("base_itemsword")->IsResident());
    EXPECT_TRUE(images.FindImage("base_frame2")->IsResident());
  }
}

TEST_F(Items, TruncatedTypeRecordsFailTheArchive) {
  SItemTable src;
  FillSource(src);
  auto spec = Spec("base");
  spec.blocks[kBlockItems] = Block(src, 114);
  for (size_t r = 0; r < spec.blocks[kBlockItems].size(); ++r) {
    SCOPED_TRACE(r);
    auto cut = spec;
    Bytes& rec = cut.blocks[kBlockItems][r];
    rec.resize(rec.size() / 2);
    EXPECT_NE(OpenBase(cut), "");
    items.Clear();
    modules.Clear();
  }
}

TEST_F(Items, ListsByLevelAndClass) {
  items.types.InsertByNameHash(MakeType("base_a", 1, 1, 2, 3));  // 15 copies in (2, 1), once in level 2
  items.types.InsertByNameHash(MakeType("base_b", 1, 2, 2, 1));  // once
  items.types.InsertByNameHash(MakeType("base_c", 8, 1, 2, 2));  // 10 copies in (2, 8)
  items.types.InsertByNameHash(MakeType("base_never", 1, 1, 0, 3));
  // Levels and classes past the tables are never offered (and write nothing out of bounds).
  items.types.InsertByNameHash(MakeType("base_highlevel", 1, 1, 9));
  items.types.InsertByNameHash(MakeType("base_badclass", 40, 1, 2));
  items.ResolveNames(images, nullptr);
  EXPECT_EQ(items.LevelCount(2), 3u);
  EXPECT_EQ(items.LevelClassCount(2, 1), 16u);
  EXPECT_EQ(items.LevelClassCount(2, 8), 10u);
  EXPECT_EQ(items.LevelCount(0), 0u);
  EXPECT_EQ(items.RandomTypeOfLevel(0, random), nullptr);
  EXPECT_EQ(items.RandomTypeOfLevel(9, random), nullptr);
  EXPECT_EQ(items.RandomTypeOfLevelAndClass(2, 40, random), nullptr);
  EXPECT_EQ(items.RandomTypeOfLevelAndClass(3, 1, random), nullptr);
  EXPECT_EQ(items.TypeAt(2, 1, 16), nullptr);
  u32 a = 0;
  for (u32 i = 0; i < 16; ++i) a += items.TypeAt(2, 1, i) == items.FindType("base_a");
  EXPECT_EQ(a, 15u);
  std::map<std::string, u32> drawn;
  for (u32 i = 0; i < 1600; ++i) ++drawn[items.RandomTypeOfLevelAndClass(2, 1, random)->name.Text()];
  EXPECT_EQ(drawn.size(), 2u);
  EXPECT_GT(drawn["base_a"], drawn["base_b"] * 5);
  for (u32 i = 0; i < 50; ++i) {
    SItemType* t = items.RandomTypeOfLevel(2, random);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->level, 2);
  }
}

TEST_F(Items, CopyCountsAreCappedNotWrapped) {
  // 60 types of frequency 255 ask for 76,500 entries: more than a u16 count holds.
  for (int i = 0; i < 60; ++i) {
    std::string n = "base_many" + std::to_string(i);
    SItemType* t = MakeType("", 3, 3, 4, 255);
    t->name.Set(strdup(n.c_str()));
    items.types.InsertByNameHash(t);
  }
  items.ResolveNames(images, nullptr);
  EXPECT_EQ(items.LevelClassCount(4, 3), 0xFFFFu);
  EXPECT_EQ(items.LevelCount(4), 60u);
  EXPECT_NE(items.TypeAt(4, 3, 0xFFFE), nullptr);
  for (SItemType* t : items.types) free(const_cast<char*>(t->name.Text()));
}

TEST_F(Items, InstancesAndSpawning) {
  SItemTable src;
  FillSource(src);
  SItemType* sword = src.FindType("base_sword");
  src.types.InsertByNameHash(MakeType("base_axe", 1, 4, 3));
  src.ResolveNames(images, nullptr);

  // Instances: condition by percent, missile units, wand charges, nothing for other classes.
  std::unique_ptr<SItem> half(sword->CreateInstance(50, random));
  EXPECT_EQ(half->count, 500);
  std::unique_ptr<SItem> full(sword->CreateInstance(-1, random));
  EXPECT_EQ(full->count, 1000);
  // A spawn entry's condition (a byte) above 100 percent gives full condition, never more.
  std::unique_ptr<SItem> over(sword->CreateInstance(255, random));
  EXPECT_EQ(over->count, 1000);
  std::unique_ptr<SItem> wand(src.FindType("base_wand")->CreateInstance(-1, random));
  EXPECT_EQ(wand->count, 12);
  EXPECT_EQ(wand->enchantments, nullptr);
  std::unique_ptr<SItem> bread(src.FindType("base_bread")->CreateInstance(-1, random));
  EXPECT_EQ(bread->count, 0);

  SIndexList names;
  void* slots[] = {nullptr, sword, src.FindType("base_quiver"), nullptr};
  names.items = slots;
  names.count = 3;
  auto entry = [](u16 index, u8 count, u8 level, u8 chance, u8 condition = 100) {
    auto* e = new SItemSpawn;
    e->index = index;
    e->count = count;
    e->level = level;
    e->chance = chance;
    e->condition = condition;
    return e;
  };
  SItemContainer chest;
  chest.entries.Add(entry(1, 3, 1, 0));        // chance 0: never
  chest.entries.Add(entry(1, 2, 1, 100, 50));  // two swords at half condition
  chest.entries.Add(entry(2, 4, 1, 100));      // four quivers
  chest.entries.Add(entry(3, 5, 1, 100));      // names nothing: creates nothing
  chest.entries.Add(entry(0, 6, 3, 100));      // level-only: the axe, the only level-3 type
  chest.entries.Add(entry(0, 2, 0, 100));      // level 0: nothing
  chest.ResolveEntries(names);
  EXPECT_TRUE(chest.entries[3]->IsUnresolved());
  chest.Fill(src, random);
  EXPECT_TRUE(chest.flags & SItemContainer::kFilled);
  ASSERT_EQ(chest.GetItemCount(), 12);
  EXPECT_EQ(chest.CountItemsOfType(sword), 2u);
  EXPECT_EQ(chest.GetItem(0)->count, 500);
  EXPECT_EQ(chest.CountItemsOfType(src.FindType("base_axe")), 6u);
  for (u32 i = 2; i < 6; ++i) {
    EXPECT_GE(chest.GetItem(i32(i))->count, 10);
    EXPECT_LE(chest.GetItem(i32(i))->count, 19);
  }
  // A second fill changes nothing.
  chest.Fill(src, random);
  EXPECT_EQ(chest.GetItemCount(), 12);

  // The same seed spawns the same items.
  SRandom a, b;
  a.Seed(nullptr, 7);
  b.Seed(nullptr, 7);
  SPtrArray<SItem> first(true, 4), second(true, 4);
  auto* some = entry(0, 40, 1, 50);
  SPtrArray<SItemSpawn> list(true, 4);
  list.Add(some);
  src.CreateItemsFromList(list, first, a);
  src.CreateItemsFromList(list, second, b);
  ASSERT_EQ(first.Count(), second.Count());
  EXPECT_GT(first.Count(), 5);
  EXPECT_LT(first.Count(), 35);
  for (u32 i = 0; i < first.Count(); ++i) {
    EXPECT_EQ(first[i32(i)]->type, second[i32(i)]->type);
    EXPECT_EQ(first[i32(i)]->count, second[i32(i)]->count);
  }
  names.items = nullptr;
}

TEST_F(Items, ContainerOperations) {
  SItemTable src;
  FillSource(src);
  SItemType* sword = src.FindType("base_sword");
  SItemType* quiver = src.FindType("base_quiver");
  SItemContainer bag, pack;
  ASSERT_TRUE(bag.AddItemsOfType(sword, 3, random));
  ASSERT_TRUE(bag.AddItemsOfType(quiver, 1, random));
  bag.GetItem(3)->count = 20;
  EXPECT_EQ(bag.CountItemsOfType(quiver), 1u);  // instances, not units
  SItem* last = bag.GetItem(2);
  bag.RemoveItemsOfType(sword, 2);
  ASSERT_EQ(bag.GetItemCount(), 2);
  EXPECT_EQ(bag.GetItem(0), last);
  bag.RemoveItemsOfType(nullptr, 5);
  bag.RemoveItemsOfType(sword, 0);
  EXPECT_EQ(bag.GetItemCount(), 2);

  pack.AddItemsOfType(quiver, 1, random);
  SItem* mine = pack.GetItem(0);
  pack.MoveAllFrom(bag);
  EXPECT_EQ(bag.GetItemCount(), 0);
  ASSERT_EQ(pack.GetItemCount(), 3);
  EXPECT_EQ(pack.GetItem(0), mine);
  EXPECT_EQ(pack.GetItem(1), last);
  EXPECT_EQ(pack.FindItemOfType(sword), last);
  EXPECT_EQ(bag.FindItemOfType(sword), nullptr);

  // A destination that cannot grow (its list at the 65,535 a list holds) leaves what it could not take
  // where it was: no item is lost.
  SItemContainer full;
  full.items.Reserve(SPtrArray<SItem>::kMaxCount);
  while (full.items.Add(nullptr)) {}
  ASSERT_EQ(full.GetItemCount(), i32(SPtrArray<SItem>::kMaxCount));
  full.MoveAllFrom(pack);
  EXPECT_EQ(pack.GetItemCount(), 3);
  EXPECT_EQ(pack.GetItem(0), mine);
}

TEST_F(Items, ContainerRecordRoundTrip) {
  for (u32 v : {114u, 27u}) {
    SItemContainer c;
    c.id = 7;
    c.cellX = 3;
    c.cellY = 4;
    auto* e = new SItemSpawn;
    e->index = 2;
    e->count = 3;
    e->chance = 40;
    e->condition = 60;
    c.entries.Add(e);
    c.entries.Add(new SItemSpawn);
    Bytes rec = Rec(v, [&](SStream& s) { c.Serialize(s, v); });
    SItemContainer back;
    SStream s(v);
    s.OpenForRead(rec.data(), u32(rec.size()));
    ASSERT_TRUE(back.Serialize(s, v));
    EXPECT_EQ(back.id, 7);
    EXPECT_EQ(back.cellY, 4);
    ASSERT_EQ(back.GetEntryCount(), 2);
    EXPECT_EQ(back.entries[0]->index, 2);
    EXPECT_EQ(back.entries[0]->chance, 40);
    EXPECT_EQ(back.entries[0]->condition, v >= 28 ? 60 : 100);
    // Cut anywhere, the record fails instead of reading past its end.
    for (size_t n = 0; n < rec.size(); ++n) {
      SItemContainer cut;
      SStream t(v);
      t.OpenForRead(rec.data(), u32(n));
      EXPECT_FALSE(cut.Serialize(t, v)) << n;
    }
  }
}

TEST_F(Items, SavedStateWithEquipment) {
  SItemTable src;
  FillSource(src);
  SItemType* sword = src.FindType("base_sword");
  SItemType* wandType = src.FindType("base_wand");
  SItemType* bread = src.FindType("base_bread");
  SItemContainer inv;
  inv.id = 1;
  inv.cellX = inv.cellY = 255;
  inv.AddItemsOfType(sword, 1, random);
  inv.AddItemsOfType(bread, 1, random);  // count 0: no count field
  inv.AddItemsOfType(wandType, 1, random);
  inv.AddItemsOfType(sword, 1, random);
  inv.GetItem(3)->count = 321;
  inv.GetItem(2)->enchantments = new SEffectList;
  inv.GetItem(2)->enchantments->worth = 55;
  inv.GetItem(2)->enchantments->Add(MakeEffect(11, 4));

  NameTable names(src);
  Bytes saved = Rec(114, [&](SStream& s) { EXPECT_TRUE(inv.WriteState(s, names)); });
  // Bread no longer exists when the game is read back: it is skipped and what follows still reads.
  names.names[names.IndexOf(bread)] = "base_gone";
  i32 positions[kEquipmentSlots];
  SItem* equipped[kEquipmentSlots] = {};
  for (i32& p : positions) p = -1;
  positions[0] = 3;  // weapon hand: the last sword
  positions[4] = 1;  // the bread, now unknown
  positions[5] = 3;  // a second slot naming the same position gets nothing
  SItemContainer back;
  SStream s(114);
  s.OpenForRead(saved.data(), u32(saved.size()));
  ASSERT_TRUE(back.ReadState(s, names, positions, equipped));
  EXPECT_EQ(s.Position(), saved.size());
  EXPECT_EQ(back.id, 1);
  EXPECT_EQ(back.cellX, 255);
  ASSERT_EQ(back.GetItemCount(), 3);
  EXPECT_EQ(back.GetItem(0)->count, 1000);
  EXPECT_EQ(back.GetItem(1)->type, wandType);
  ASSERT_NE(back.GetItem(1)->enchantments, nullptr);
  EXPECT_EQ(back.GetItem(1)->enchantments->worth, 55u);
  EXPECT_EQ(back.GetItem(1)->enchantments->Entry(0)->kind, 11);
  EXPECT_EQ(back.GetItem(2)->count, 321);
  EXPECT_EQ(equipped[0], back.GetItem(2));
  EXPECT_EQ(positions[0], -1);
  EXPECT_EQ(equipped[4], nullptr);
  EXPECT_EQ(positions[4], -1);
  EXPECT_EQ(equipped[5], nullptr);
  EXPECT_EQ(positions[5], 3);

  // An empty container with no cell is its id and a mask of 0; reading it back gives the cell "none".
  SItemContainer empty;
  empty.id = 9;
  empty.cellX = empty.cellY = 255;
  Bytes small = Rec(114, [&](SStream& t) { empty.WriteState(t, names); });
  EXPECT_EQ(small, (Bytes{9, 0}));
  SItemContainer mapBack;
  mapBack.cellX = 1;
  SStream m(114);
  m.OpenForRead(small.data() + 1, 1);
  ASSERT_TRUE(mapBack.ReadMapState(m, names));
  EXPECT_EQ(mapBack.cellX, 255);

  // Cut saved states fail without reading past their end or leaking.
  for (size_t n = 0; n < saved.size(); ++n) {
    SItemContainer cut;
    SStream t(114);
    t.OpenForRead(saved.data(), u32(n));
    EXPECT_FALSE(cut.ReadState(t, names, nullptr, nullptr)) << n;
  }
}
