// The player in the built sample world: a piece of armour for every slot, a cursed amulet, ale and a
// potion with a permanent effect, loaded through the game core's phases from the sample archives.
#include "PlayerFixture.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <set>

namespace {
class SamplePlayer : public PlayerTest {
 protected:
  SamplePlayer() : files(std::string(DUSKMIRE_DATA_DIR) + "/") {
    core.world.modules.Clear();
    core.world.SetFileStore(&files);
  }
  ~SamplePlayer() override {
    for (SItem*& slot : player.equipment) slot = nullptr;
    player.inventory.DeleteAllItems();
    player.abilities.Clear();
    player.diseases.Clear();
    player.ClearEffects();
    core.UnloadWorld();
  }
  bool Load() {
    if (!core.world.modules.OpenGameArchives(nullptr)) return false;
    core.PrepareWorldTables(nullptr);
    core.BindWorldResources(nullptr);
    core.world.modules.current = core.world.modules.FindByName("base");
    return core.world.modules.current != nullptr;
  }
  SItem* Take(const char* name) {
    SItem* item = player.ReceiveItemsReported(name, 1, false);
    EXPECT_NE(item, nullptr) << name;
    return item;
  }
  SFileStore files;
};
}  // namespace

TEST_F(SamplePlayer, ArmourCurseAndDrink) {
  ASSERT_TRUE(std::filesystem::exists(std::string(DUSKMIRE_DATA_DIR) + "/DuskmireBase.pdb"))
      << "build the sample_world target first";
  ASSERT_TRUE(Load()) << core.world.modules.LastError();
  player.ResetForNewGame();
  EXPECT_STREQ(player.name.CStr(), "Player");  // the sample world is the game's own

  // Every piece of armour of the sources has its slot, a condition and an outfit value.
  std::ifstream in(std::string(DUSKMIRE_SOURCE_DIR) + "/data/sample/world/items.json");
  const nlohmann::json src = nlohmann::json::parse(in, nullptr, false);
  ASSERT_FALSE(src.is_discarded());
  std::set<u32> slots;
  for (const auto& tj : src["types"]) {
    const u32 itemClass = tj.value("class", 0u);
    if (itemClass != kItemHeavyArmor && itemClass != kItemLightArmor) continue;
    const std::string name = tj["name"];
    SItem* item = Take(name.c_str());
    ASSERT_NE(item, nullptr);
    EXPECT_GT(item->type->maxCondition, 0) << name;
    EXPECT_EQ(item->count, item->type->maxCondition) << name;
    EXPECT_GT(item->type->outfit, 0) << name;
    player.EquipItem(item, false);
    const u32 slot = player.EquipmentSlotOf(item);
    EXPECT_NE(slot, 0u) << name;
    slots.insert(slot);
  }
  EXPECT_EQ(slots, (std::set<u32>{1, 2, 4, 6, 7, 10, 11, 13}));
  EXPECT_GT(player.GetArmorClassPlain(), 0);
  EXPECT_STRNE(player.GetOutfitWord(), "threadbare");
  // The boots wear as the player walks.
  SItem* boots = player.Equipped(11);
  const u16 before = boots->count;
  state.PassMinute();
  EXPECT_LT(boots->count, before);

  // The cursed amulet takes the living player's hit points below nothing: the gauge reads empty.
  player.attributes[3] = 5;
  player.hp = 20;
  EXPECT_EQ(player.GetHealthPercent(), 100);
  player.EquipItem(Take("base_acc_graveamulet"), false);
  EXPECT_EQ(player.GetMaxHp(), 20 - 25);
  EXPECT_EQ(player.GetHealthPercent(), 0);
  player.race = 1;  // the undead count Fortify unholy instead
  EXPECT_EQ(player.GetMaxHp(), 20);

  // Ale makes drunk; the strength potion's effect is a permanent one.
  const SItem* ale = Take("base_potion_ale");
  const SEffect* drink = ale->Enchantment()->Entry(0);
  ASSERT_EQ(drink->kind, 57);
  player.attributes[3] = 15;
  player.MakeDrunk(drink->base, ale->type);
  player.MakeDrunk(drink->base, ale->type);
  EXPECT_EQ(player.GetDrunkenness(), 60);
  EXPECT_EQ(TakeMessages().back(), "You're drunk!");
  const SItem* strength = Take("base_potion_strength");
  EXPECT_TRUE(strength->type->HasPermanentEffect(*strength));
  SString text;
  player.FormatItemName(strength->type, 1, text);
  EXPECT_STREQ(text.CStr(), "a potion of Giant strength");
}
