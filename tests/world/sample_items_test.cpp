// The sample world's item table and monster block, loaded through the game core's phases, and the texts the
// builder requires of its written things.
#include "SampleCore.h"
#include "foundation/SRandom.h"
#include "support/SampleBuild.h"
#include "world/SImageCache.h"
#include "world/SItemTable.h"

#include <array>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {
// The built sample world opened through the core's loading phases.
testing::AssertionResult OpenSample(SampleCore& w) {
  if (!std::filesystem::exists(SampleDataFolder() + "DuskmireBase.pdb"))
    return testing::AssertionFailure() << "build the sample_world target first";
  if (!w.core.world.modules.OpenGameArchives(nullptr))
    return testing::AssertionFailure() << w.core.world.modules.LastError();
  w.core.PrepareWorldTables(nullptr);
  w.core.BindWorldResources(nullptr);
  return testing::AssertionSuccess();
}
}  // namespace

TEST(SampleItems, TableMonstersAndLootOfTheSampleWorld) {
  SampleCore w;
  ASSERT_TRUE(OpenSample(w));
  SWorld& world = w.core.world;
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

namespace {
// A picture as the smallest slot shows it: the mean colour of each 5 x 5 block, the 10 x 10 grid that
// the shrink to 20 x 20 draws from.
using BlockMeans = std::array<std::array<int, 3>, 100>;
BlockMeans MeansOf(const SImage& image) {
  BlockMeans m{};
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) {
      const u16 c = SImage::Texel(image.format, image.Pixels(), image.GetPalette(), image.IndexStride(), x, y);
      auto& b = m[size_t(y / 5 * 10 + x / 5)];
      b[0] += (c >> 11) << 3;
      b[1] += ((c >> 5) & 63) << 2;
      b[2] += (c & 31) << 3;
    }
  for (auto& b : m)
    for (int& v : b) v /= 25;
  return m;
}
// Blocks whose colours differ plainly (by more than 40 over the three channels).
int BlocksApart(const BlockMeans& a, const BlockMeans& b) {
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::abs(a[i][0] - b[i][0]) + std::abs(a[i][1] - b[i][1]) + std::abs(a[i][2] - b[i][2]) > 40) ++n;
  return n;
}
}  // namespace

// A player tells items apart by their pictures: types of different names show different pictures, and
// pictures that differ plainly at the smallest slot, but for the variants of one thing, which may share a
// picture or differ in colour only.
TEST(SampleItems, ItemsOfDifferentNamesShowPicturesToldApart) {
  SampleCore w;
  ASSERT_TRUE(OpenSample(w));
  SWorld& world = w.core.world;
  SItemTable& items = world.items;

  const std::vector<std::set<std::string>> variants = {
      {"Short bow", "Cheap short bow"},     {"Repair hammer", "Apprentice's hammer"},
      {"Lockpick", "Beginner's lockpick"},  {"Mortar and pestle", "Beginner's mortar"},
      {"Leather jerkin", "Frayed leather"}, {"Fine cloak", "Cloth cape"},
      {"Quiver of arrows", "Cheap quiver"}, {"Cure light wounds", "Cure light wounds (gilt)"},
  };
  auto sameThing = [&](const std::string& a, const std::string& b) {
    if (a == b) return true;
    for (const auto& g : variants)
      if (g.count(a) && g.count(b)) return true;
    return false;
  };
  std::map<const SItemType*, BlockMeans> means;
  for (SItemType* t : items.types) {
    const SImageEntry* e = world.images.GetImageEntry(t->picture);
    ASSERT_TRUE(e && e->IsResident()) << t->name.Text();
    ASSERT_EQ(e->image->width, 50) << t->name.Text();
    means[t] = MeansOf(*e->image);
  }
  std::set<u16> pictures;
  for (u32 i = 0; i < items.types.Count(); ++i) {
    const SItemType* a = items.types[i];
    pictures.insert(a->picture);
    for (u32 j = i + 1; j < items.types.Count(); ++j) {
      const SItemType* b = items.types[j];
      if (sameThing(a->text3, b->text3)) continue;
      EXPECT_NE(a->picture, b->picture) << a->text3 << " and " << b->text3 << " share a picture";
      EXPECT_GE(BlocksApart(means[a], means[b]), 5) << a->text3 << " and " << b->text3 << " look alike";
    }
  }
  EXPECT_GE(pictures.size(), 100u);

  // The pairs a new player mixed up in the shop differ over a tenth of the picture or more.
  const std::vector<std::pair<const char*, const char*>> mixedUp = {
      {"base_weap_staff", "base_misc_candle"},    {"base_armor_chain", "base_armor_shield"},
      {"base_armor_chain", "base_armor_helm"},    {"base_armor_chain", "base_armor_sleeves"},
      {"base_armor_shield", "base_armor_helm"},   {"base_armor_shield", "base_armor_sleeves"},
      {"base_armor_helm", "base_armor_sleeves"},  {"base_armor_belt", "base_armor_cloak"},
      {"base_armor_belt", "base_armor_leather"},  {"base_armor_belt", "base_boots_fur"},
      {"base_armor_cloak", "base_armor_leather"}, {"base_armor_cloak", "base_boots_fur"},
      {"base_armor_leather", "base_boots_fur"},   {"base_pmanasmall", "base_phealsmall"},
      {"base_pfullmana", "base_pfullheal"},
  };
  for (const auto& [a, b] : mixedUp) {
    const SItemType* ta = items.FindType(a);
    const SItemType* tb = items.FindType(b);
    ASSERT_TRUE(ta && tb) << a << " " << b;
    EXPECT_GE(BlocksApart(means[ta], means[tb]), 10) << a << " and " << b;
  }
}

// Every written thing opens on words: the builder refuses a book, letter, map or spellbook without a text,
// and a text that is neither a string nor a list of them.
TEST(SampleItems, TheBuilderRefusesAReadableItemWithoutText) {
  const testbuild::Refusal cases[] = {
      {"a letter without its text", "world/items.json",
       R"("subtype": 2, "level": 0, "value": 0, "weight": 5, "text": "To Orrin of the watch: the plank bridge by the pier is rotten through and wants mending before the rains, or somebody will end up in the river. Hobb.")",
       R"("subtype": 2, "level": 0, "value": 0, "weight": 5)", "base_book_letter: a readable item without a text"},
      {"a paragraph that is no text", "world/items.json", R"("text": "Only a few words remain.")",
       R"("text": ["Only a few", 3])", "base_book_notes: a text is a string or a list of strings"},
  };
  for (const testbuild::Refusal& c : cases) testbuild::ExpectRefused("duskmire-books", c);
}

// A player tells item types apart by their names: the builder refuses two types shown by the same one,
// naming both.
TEST(SampleItems, TheBuilderRefusesTwoItemTypesOfOneName) {
  testbuild::ExpectRefused(
      "duskmire-names",
      {"two spellbooks of one name", "world/items.json", R"("display": "Stone skin")", R"("display": "Feather")",
       "base_spbookfeather and base_spbookstoneskin: both shown as \"Spellbook of Feather\""});
}

// An item's effects are what its description says: the builder refuses, naming the item, an effect kind
// outside the table, one the item's class does not carry, and a skill or attribute effect without the
// number its texts read (a book's skill named as well, and the same skill).
TEST(SampleItems, TheBuilderRefusesEffectsAnItemCannotDescribe) {
  const testbuild::Refusal cases[] = {
      {"kind 0", "world/items.json", R"({"kind": 31, "mode": 2, "base": 12, "name": "base_spelllightningbolt"})",
       R"({"kind": 0, "mode": 2, "base": 12, "name": "base_spelllightningbolt"})",
       "base_wand_lightning: an effect of kind 0, which is no effect kind (1 to 58)"},
      {"a kind a scroll does not carry", "world/items.json", R"({"kind": 31, "mode": 2, "name": "base_spelldisarm"})",
       R"({"kind": 44, "mode": 4, "base": 30})",
       "base_scrdisarm: an effect of kind 44 (Disarm), which an item of its class does not carry"},
      {"a skill without its number", "world/items.json", R"("sub": 2, "base": 1, "name": "base_lightweapon")",
       R"("base": 1, "name": "base_lightweapon")",
       "base_book_swords: an effect of kind 1 without the number of its skill (sub 1 to 20)"},
      {"a book's skill without its name", "world/items.json", R"("sub": 2, "base": 1, "name": "base_lightweapon")",
       R"("sub": 2, "base": 1)", "base_book_swords: an effect of kind 1 in a book without the name of its skill"},
      {"a skill named and numbered apart", "world/items.json", R"("sub": 2, "base": 1, "name": "base_lightweapon")",
       R"("sub": 3, "base": 1, "name": "base_lightweapon")",
       "base_book_swords: an effect of kind 1 names base_lightweapon but the skill numbered 3"},
      {"an attribute without its number", "world/items.json", R"({"kind": 2, "mode": 4, "sub": 1, "base": 1})",
       R"({"kind": 2, "mode": 4, "base": 1})",
       "base_alc_powerberries: an effect of kind 2 without the number of its attribute (sub 1 to 5)"},
  };
  for (const testbuild::Refusal& c : cases) testbuild::ExpectRefused("duskmire-effects", c);
}

// Each effect an item of the sample world carries says what it does in the item's own description: a
// scroll or wand the spell it casts, a spellbook the spell it teaches, a book the skill.
TEST(SampleItems, EveryEffectOfAnItemSaysWhatItDoes) {
  SampleCore w;
  ASSERT_TRUE(OpenSample(w));
  SWorldRules& rules = w.core.world.rules;
  SRandom random;
  u32 described = 0;
  for (SItemType* t : w.core.world.items.types) {
    if (!t->enchantment) continue;
    const i32 level = t->DefaultCount(-1, random);
    for (u32 i = 0; i < t->enchantment->Count() && !(t->itemClass == kItemIngredient && i >= 3); ++i) {
      SString text;
      t->enchantment->Entry(i32(i))->Describe(rules, t->GetEnchantKind(), level, text, false, false);
      EXPECT_TRUE(text.CStr() && *text.CStr()) << t->name.Text() << " effect " << i;
      ++described;
    }
  }
  EXPECT_GE(described, 40u);
  const std::pair<const char*, const char*> spells[] = {
      {"base_scroll_fireball", "Casts Fireball"},
      {"base_wand_lightning", "Casts Lightning bolt (12 charges)"},
      {"base_spellbook_cure", "Teaches Cure light wounds"},
      {"base_spbookfeather", "Teaches Feather"},
      {"base_scrdisarm", "Casts Disarm"},
      {"base_book_swords", "Teaches Light Weapon (+1)"},
  };
  for (const auto& [type, says] : spells) {
    SItemType* t = w.core.world.items.FindType(type);
    ASSERT_NE(t, nullptr) << type;
    SString text;
    t->enchantment->Describe(rules, t->GetEnchantKind(), t->DefaultCount(-1, random), text, false);
    EXPECT_STREQ(text.CStr(), says) << type;
  }
}
