// The sample world's item table and monster block, loaded through the game core's phases.
#include "SampleCore.h"
#include "foundation/SRandom.h"
#include "world/SItemTable.h"

#include <set>

TEST(SampleItems, TableMonstersAndLootOfTheSampleWorld) {
  ASSERT_TRUE(std::filesystem::exists(SampleDataFolder() + "DuskmireBase.pdb"))
      << "build the sample_world target first";
  SampleCore w;
  SWorld& world = w.core.world;
  ASSERT_TRUE(world.modules.OpenGameArchives(nullptr)) << world.modules.LastError();
  w.core.PrepareWorldTables(nullptr);
  w.core.BindWorldResources(nullptr);
  SItemTable& items = world.items;

  nlohmann::json src = SampleSource("items.json");
  ASSERT_EQ(items.types.Count(), src["types"].size());
  std::set<u32> classes, levels, frequencies;
  for (const auto& tj : src["types"]) {
    SItemType* t = items.FindType(tj["name"].get<std::string>().c_str());
    ASSERT_NE(t, nullptr) << tj["name"];
    EXPECT_EQ(t->itemClass, tj.value("class", 0));
    EXPECT_EQ(t->value, tj.value("value", 0u));
    EXPECT_NE(t->picture, 0) << tj["name"];
    classes.insert(t->itemClass);
    levels.insert(t->level);
    frequencies.insert(t->frequency);
  }
  EXPECT_EQ(classes.size(), 16u);
  EXPECT_TRUE(levels.count(0) && levels.count(1) && levels.count(2) && levels.count(3));
  EXPECT_TRUE(frequencies.count(1) && frequencies.count(2) && frequencies.count(3));
  // Food and drink for living and undead characters.
  u32 living = 0, undead = 0;
  for (SItemType* t : items.types)
    if (t->itemClass == kItemComestible) ++((t->flags & 8) ? undead : living);
  EXPECT_GE(living, 2u);
  EXPECT_GE(undead, 2u);
  // Kind-0 item pictures were preloaded with the world.
  for (SItemPicture* p : items.pictures) EXPECT_TRUE(world.images.FindImage(p->name.Text())->IsResident());

  // The skeleton carries a named item at 30% and a random level-2 item at 50%.
  SWorldModule* base = world.modules.FindByName("base");
  SMonster* skeleton = w.monsters.FindMonster("base_skeleton");
  ASSERT_NE(skeleton, nullptr);
  ASSERT_EQ(skeleton->baseType, w.monsters.FindBaseType("bres_skeleton"));
  skeleton->items.ResolveEntries(base->itemList);
  ASSERT_EQ(skeleton->items.GetEntryCount(), 2);
  EXPECT_EQ(skeleton->items.entries[0]->type, items.FindType("base_weap_shortswordcheap"));
  SRandom random;
  random.Seed(nullptr, 2024);
  u32 named = 0, random2 = 0;
  for (u32 i = 0; i < 400; ++i) {
    SItemContainer bag;
    items.CreateItemsFromList(skeleton->items.entries, bag.items, random);
    for (SItem* it : bag.items) {
      if (it->type == skeleton->items.entries[0]->type && it->count == it->type->maxCondition)
        ++named;
      else
        ++random2;
      if (it->type != skeleton->items.entries[0]->type) {
        EXPECT_EQ(it->type->level, 2);
      }
    }
  }
  EXPECT_GT(named, 80u);
  EXPECT_LT(named, 160u);
  EXPECT_GT(random2, 150u);
  EXPECT_LT(random2, 260u);

  // The merchant's base type has ten pictures, the others seven, all resolved.
  for (SMonsterBaseType* b : w.monsters.baseTypes) {
    EXPECT_EQ(b->FrameCount(), b->kind == 4 ? 10u : 7u);
    for (u32 f = 0; f < b->FrameCount(); ++f) EXPECT_NE(b->FrameImage(f), 0) << b->name.Text() << " " << f;
    b->MarkSoundsNeeded(world.sounds);
    for (const char* s : {b->sound1, b->sound2, b->sound3, b->sound4}) {
      ASSERT_NE(world.sounds.FindSound(s), nullptr) << s;
      EXPECT_EQ(world.sounds.FindSound(s)->needed, 1);
    }
  }
}
