#include "support/ScreenTour.h"

#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "core/SStateNumbers.h"
#include "core/ui/SDialog.h"
#include "core/ui/SDialogMessage.h"
#include "dialogs/SDialogCardBet.h"
#include "dialogs/SDialogGameMap.h"
#include "dialogs/SDialogMarkRecall.h"
#include "dialogs/SSelectDialog.h"
#include "dialogs/enchant/SDialogEnchant.h"
#include "dialogs/enchant/SDialogEnchantEntryOther.h"
#include "dialogs/enchant/SDialogEnchantItem.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "screens/SStateDialog.h"
#include "screens/SStateDialogInterior.h"
#include "screens/SStateGenerate.h"
#include "screens/SStateInventory.h"
#include "screens/SStateMain.h"
#include "screens/SStateScene.h"
#include "screens/SStateShop.h"
#include "world/SCharacterTables.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SPeopleTables.h"
#include "world/SSpell.h"
#include "world/SWorldExtras.h"
#include "world/SWorldModule.h"
#include "world/SWorldRules.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

// What opening a stop found wrong ("" when it opened).
using Opened = std::string;

// The id of the stock container the tour gives a merchant who has none on the map.
constexpr u8 kTourStock = 250;

SStateGame& Game(GameHarness& g) { return *g.core().stateGame; }
SStateInventory& Inventory(GameHarness& g) { return *static_cast<SStateInventory*>(g.core().states[kStateInventory]); }
SStateDialogInterior& Interior(GameHarness& g) {
  return *static_cast<SStateDialogInterior*>(g.core().states[kStateDialogInterior]);
}
SStateGenerate& Generate(GameHarness& g) { return *static_cast<SStateGenerate*>(g.core().states[kStateGenerate]); }

// The deepest open dialog is that one, or why not.
Opened Expect(GameHarness& g, const SDialog* dialog, const char* what) {
  return g.openChild() == dialog && dialog ? "" : std::string(what) + " did not open";
}
Opened ExpectState(GameHarness& g, i32 state) {
  return g.state() == state ? "" : "the state is " + std::to_string(g.state()) + ", not " + std::to_string(state);
}
Opened ExpectSubMode(GameHarness& g, i32 subMode) {
  const testing::AssertionResult r = g.waitUntil(GameHarness::subModeIs(subMode), 60);
  return r ? "" : r.message();
}

// The main menu's screen opened over it, as the menu does (keeping itself on the stack).
Opened OverMenu(GameHarness& g, i32 state, u32 w0 = 0) {
  g.setState(kStateMain);
  g.core().currentState->keep = 1;
  g.setState(state, w0);
  return ExpectState(g, state);
}

// A row of the main menu chosen by the keys.
void ChooseMenuRow(GameHarness& g, u32 code) {
  g.setState(kStateMain);
  const auto& menu = *static_cast<SStateMain*>(g.core().states[kStateMain]);
  g.press(kActionBack);
  for (int i = 0; i < 12 && menu.list.SelectedCode() != code; ++i) g.press(kActionForward);
  g.press(kActionUse);
}

// Closes every dialog open over the current state, innermost first (the game state's sub-dialog by its own
// call, so that its sub-mode follows), each owner repainting whole as a screen does when its child closes.
void CloseAll(GameHarness& g) {
  std::vector<SDialog*> chain = ScreenTour::dialogs(g);
  for (size_t i = chain.size(); i-- > 1;) {
    if (chain[i - 1] == g.core().stateGame) {
      Game(g).CloseSubDialog();
      Game(g).SetFullRepaint();
    } else {
      chain[i - 1]->Reopen();
    }
  }
}

// The character of a long game: every number the sheet, the pack and the people's screens show as wide as a
// player meets it in this world and a little beyond, points left to spend (so the raise buttons show), and
// several entries in every list. Spells and potions raise attributes, skills, maxima and resistances, so the
// values show in the second number glyphs and the effects page lists them.
void Season(GameHarness& g) {
  SPlayer& p = g.core().player;
  SWorldRules& rules = g.core().world.rules;
  // The record is written, not lived: its reports (a disease's "You're poisoned!") would open boxes.
  SGameCore* reports = p.game;
  p.game = nullptr;
  p.race = 2;  // one who may learn every school, so that the spells page lists heal spells too
  p.level = 42;
  p.xp = 987654;
  p.nextLevelXp = 999999;
  p.money = 987654;  // "987K"
  p.crime = 9876;
  p.fame = 60;  // "Blameless"
  static const u16 kAttributes[6] = {0, 54, 61, 47, 88, 73};
  for (u32 a = 1; a <= 5; ++a) {
    p.attributes[a] = kAttributes[a];
    p.attributeAllowance[a] = 3;
  }
  p.attributePoints = 12;
  // The longest skill names among the primary ones; two skills at 100, and one past it with its spell.
  static const u8 kPrimary[6] = {9, 13, 3, 10, 6, 5};
  static const u8 kOther[14] = {1, 2, 4, 7, 8, 11, 12, 14, 15, 16, 17, 18, 19, 20};
  for (u32 i = 0; i < 6; ++i) p.majorSkills[i] = kPrimary[i];
  for (u32 i = 0; i < 14; ++i) p.minorSkills[i] = kOther[i];
  for (u32 s = 1; s <= kPlayerSkills; ++s) {
    p.skills[s] = u16(s == 9 || s == 13 ? 100 : 40 + 3 * s);
    p.skillAllowance[s] = 2;
  }
  p.skillPoints = 15;

  for (u32 c = 0; c < kEffectCategories; ++c) p.effects[c].DeleteAll();
  const SSpell* stoneskin = rules.spells.FindByName("base_spellstoneskin");
  const SItemType* potion = g.core().world.items.FindType("base_potion_heal");
  const u32 hpKind = p.race == kUndeadRace ? 8 : 5;
  const struct {
    u32 kind, sub;
    i32 strength;
    bool fromPotion;
  } kEffects[] = {{2, 1, 12, true},   {2, 2, 12, true},    {2, 3, 12, true},   {2, 4, 11, true},
                  {2, 5, 11, true},   {1, 9, 25, false},   {1, 3, 25, false},  {hpKind, 0, 40, false},
                  {10, 0, 60, false}, {22, 0, 160, false}, {15, 0, 185, true}, {16, 0, 170, false},
                  {33, 0, 165, false}};
  for (const auto& e : kEffects)
    p.AddEffect(e.fromPotion ? kSourceItem : kSourceSpell, e.fromPotion ? static_cast<const void*>(potion) : stoneskin,
                e.strength, 200, e.kind, e.sub, nullptr);

  for (SSpell* spell : rules.spells.records) p.LearnSpell(spell->name.Text(), false);
  for (const char* key : {"base_ability_etherim", "base_ability_seiry", "base_ability_derth"})
    if (SAbility* a = rules.abilities.FindByName(key); a && p.abilities.IndexOf(a) < 0) p.abilities.Add(a);
  p.RecalculateAbilities();
  for (SDisease* d : rules.diseases.records)
    if (p.diseases.IndexOf(d) < 0) p.diseases.Add(d);
  p.RecalculateDiseases();
  p.effects[kCategoryPoison].DeleteAll();  // the rot's poison cured, so that the player may rest
  u8 state = 1;                            // one solved, the other open
  for (SQuest* q : rules.quests.records) {
    if (p.HasQuest(q->name.Text())) continue;
    auto* taken = new SQuestState;
    taken->name.Set(q->name.Text());
    taken->state = state;
    state = 0;
    p.quests.Add(taken);
  }
  p.hp = u16(std::min(p.GetMaxHp(), 999));
  p.mana = u16(std::min(p.GetMaxMana(), 999));
  p.game = reports;
}

// The world's archives opened once per harness, the maps emptied of monsters and people (their turns come
// between frames and would open fights), and the game entered on a map cell as on loading a game.
struct World {
  bool open = false;
  bool seasoned = false;  // the player is the seasoned one (ScreenTour::seasoned)

  Opened Enter(GameHarness& g, const char* mapName, i32 x, i32 y, i32 facing, u32 minutes = 12 * 60) {
    SGameCore& c = g.core();
    CloseAll(g);
    if (!open) {
      if (!c.world.modules.OpenGameArchives(nullptr)) return "the game archives did not open";
      c.PrepareWorldTables(nullptr);
      c.BindWorldResources(nullptr);
      for (SWorldModule* module : c.world.modules.modules)
        for (SMapArea* map : module->maps) map->RemoveAllMonsters();
      open = true;
    }
    // No screen that a stop opened over another stays kept beneath the game.
    if (g.state() != kStateGame) c.PopAllStates();
    SMapArea* map = c.world.modules.FindMap(mapName);
    if (!map) return std::string("no map ") + mapName;
    c.SetCurrentWorld(map->module);
    map->module->SetCurrentMap(map);
    SStateGame& s = Game(g);
    s.window.playerX = x;
    s.window.playerY = y;
    s.facing = facing;
    s.window.minutes = minutes;
    c.player.portrait.Assign("bres_head34");
    c.player.name.Assign("Ada");
    if (seasoned) Season(g);
    g.setState(kStateGame);
    g.frame();
    return ExpectState(g, kStateGame);
  }
};

// Until the game is idle, each box that opens on the way answered with its default button.
Opened Settle(GameHarness& g) {
  for (u32 i = 0; i < 200; ++i) {
    if (GameHarness::gameIdle().holds(g)) return "";
    SStateGame& s = Game(g);
    if (s.subMode == SStateGame::kMessageBox && s.subDialog && !s.subDialog->IsOpeningTick()) {
      g.press(kActionUse);
    } else {
      g.frame();
    }
  }
  return "the game did not come to rest";
}

SItem* Give(GameHarness& g, const char* type, i32 count = -1) {
  SItemType* t = g.core().world.items.FindType(type);
  if (!t) return nullptr;
  SItem* item = g.core().player.AddItems(t, 1);
  if (item && count >= 0) item->count = u16(count);
  return item;
}

// A pack a player might carry: something of every kind the pages and dialogs list.
void FillPack(GameHarness& g, World& w) {
  SPlayer& p = g.core().player;
  p.ClearLists();
  p.money = 12345;
  p.EquipItem(Give(g, "base_weap_shortswordcheap"), false);
  Give(g, "base_armor_shield");
  Give(g, "base_armor_chain", 100);
  for (int i = 0; i < 3; ++i) Give(g, "base_food_bread");
  Give(g, "base_book_letter");
  Give(g, "base_book_almanac");
  Give(g, "base_spellbook_cure");
  Give(g, "base_potion_heal");
  Give(g, "base_potion_ale");
  Give(g, "base_alch_mortar", 250);
  Give(g, "base_ingr_mushroom");
  Give(g, "base_repair_hammer");
  Give(g, "base_weap_shortbow");
  Give(g, "base_wand_empty");
  Give(g, "base_scroll_blank");
  p.LearnSpell("base_spellburninghand", false);
  p.LearnSpell("base_spellfireball", false);
  if (!w.seasoned) return;
  // Heavy armour to sell and the longest name a shield has: the pack weighs three digits.
  for (int i = 0; i < 5; ++i) Give(g, "base_armor_chain", 900);
  Give(g, "base_shield_woodenround");
  Season(g);
}

// The inventory opened from the portrait, with the pack filled, on the items page.
Opened OpenInventory(GameHarness& g, World& w) {
  if (Opened e = w.Enter(g, "base_out0101", 17, 17, 0); !e.empty()) return e;
  FillPack(g, w);
  g.tapControl(SStateGame::kPortraitId);
  const testing::AssertionResult r = g.waitUntil(GameHarness::stateIs(kStateInventory), 10);
  if (!r) return r.message();
  g.frame(2);  // past the opening frame, which takes no input
  return "";
}

// Selects the pack's first cell of the item type, as a tap on it does.
bool SelectItem(GameHarness& g, const char* type) {
  SStateInventory& inv = Inventory(g);
  for (u32 i = 0; i < inv.grid.SlotCount(); ++i) {
    const SItemSlot* s = inv.grid.Slot(i32(i));
    if (s && s->type && std::string(s->type->name.Text()) == type) {
      inv.grid.Select(i32(i));
      inv.RefreshDescription();
      return true;
    }
  }
  return false;
}

Opened UseItem(GameHarness& g, const char* type) {
  if (!SelectItem(g, type)) return std::string("no cell of ") + type;
  g.tapControl(SStateInventory::kUseId);
  return "";
}

// The person called by its service, and the conversation or interior that opens.
Opened Call(GameHarness& g, World& w, const char* person, i32 state) {
  if (Opened e = w.Enter(g, "base_out0101", 15, 20, 180, 1440 + 12 * 60); !e.empty()) return e;
  g.core().player.money = std::max(g.core().player.money, 100000u);
  Game(g).QueueService(person);
  const testing::AssertionResult r = g.waitUntil(GameHarness::stateIs(state), 20);
  if (!r) return r.message();
  g.frame(2);
  return "";
}

// The innkeeper, who plays cards, in her interior.
Opened CallCardPlayer(GameHarness& g, World& w) {
  if (!w.open) {
    if (Opened e = w.Enter(g, "base_out0101", 15, 20, 180); !e.empty()) return e;
  }
  if (SNpc* keeper = g.core().world.rules.people.FindByName("base_innkeeper")) {
    keeper->params[3] |= SStateDialogInterior::kFlagCards;
    keeper->param16 = 150;
  }
  return Call(g, w, "base_innkeeper", kStateDialogInterior);
}

// "Rest" on the town's street with food and water: its question, and with `yes` the rest.
Opened RestHere(GameHarness& g, World& w, bool yes = true) {
  if (Opened e = w.Enter(g, "base_out0101", 17, 17, 0); !e.empty()) return e;
  FillPack(g, w);
  Give(g, "base_food_water");
  Game(g).Rest();
  if (Opened e = ExpectSubMode(g, SStateGame::kQuestion); !e.empty() || !yes) return e;
  g.frame();
  g.tapLabel("Yes");
  return ExpectSubMode(g, SStateGame::kResting);
}

// The enchanting dialog over the item picker, for the item of that type, and with `editor` given, the entry
// editor its "Add" opens.
// Chooses the item of the type in an open enchanting picker.
void ChooseToEnchant(GameHarness& g, SDialogEnchantItem& picker, const char* type) {
  g.frame();
  for (u32 row = 0; row < picker.items.RowCount(); ++row) {
    picker.items.Select(i32(row));
    const SItem* item = picker.SelectedItem();
    if (item && item->type && std::string(item->type->name.Text()) == type) break;
  }
  g.tapControl(SDialogEnchantItem::kChoose);
}

// For the seasoned player, two entries added to an armour's enchanting through its editor, so that the
// entries list has rows.
void AddEntries(GameHarness& g, World& w, SDialogEnchant& enchant) {
  if (!w.seasoned) return;
  for (int i = 0; i < 2 && g.openChild() == &enchant; ++i) {
    g.tapControl(SDialogEnchant::kAdd);
    if (g.openChild() == &enchant.otherEditor) g.tapControl(SDialogEnchantEntryOther::kKeep);
  }
}

Opened OpenEnchanting(GameHarness& g, World& w, const char* type, SDialog* (*editor)(SDialogEnchant&),
                      const char* what) {
  if (Opened e = w.Enter(g, "base_out0101", 17, 17, 0); !e.empty()) return e;
  FillPack(g, w);
  Game(g).BeginEnchantItem(10);
  if (Opened e = ExpectSubMode(g, SStateGame::kEnchanting); !e.empty()) return e;
  SDialogEnchantItem& picker = Game(g).enchantItem;
  ChooseToEnchant(g, picker, type);
  if (g.openChild() != &picker.enchant) return "the enchanting dialog did not open";
  if (std::string(type) == "base_armor_chain") AddEntries(g, w, picker.enchant);
  if (!editor) return Expect(g, &picker.enchant, what);
  g.tapControl(SDialogEnchant::kAdd);
  return Expect(g, editor(picker.enchant), what);
}

// The merchant's enchanting service, with a full pack and gold to pay: its item picker.
Opened OpenEnchantService(GameHarness& g, World& w) {
  if (Opened e = Call(g, w, "base_merchant", kStateDialogInterior); !e.empty()) return e;
  FillPack(g, w);
  g.core().player.money = std::max(g.core().player.money, 100000u);
  g.tapControl(SStateDialogInterior::kEnchant);
  return Expect(g, &Interior(g).enchanting, "the enchanting picker");
}

// The mark dialog, cast in the deeper cellar by a player clever enough for it.
Opened BeginMarking(GameHarness& g, World& w) {
  if (Opened e = w.Enter(g, "base_dungeon2", 3, 3, 90); !e.empty()) return e;
  g.core().player.attributes[4] = std::max<u16>(g.core().player.attributes[4], 14);
  Game(g).BeginMark();
  return ExpectSubMode(g, SStateGame::kMarkRecall);
}

struct Stop {
  const char* name;
  std::function<Opened(GameHarness&, World&)> open;
};

// The stops of one harness, opened in turn (each from a fresh start of its own).
struct Group {
  bool newGame;  // the harness starts a new game, as --new-game does
  std::vector<Stop> stops;
};

std::vector<Group> Groups() {
  std::vector<Group> groups;

  // ---- the front door: no world open until the new player's screen opens it.
  groups.push_back(
      {false,
       {
           {"screen/logo", [](GameHarness& g, World&) -> Opened { return ExpectState(g, kStateCorvanth); }},
           {"screen/main",
            [](GameHarness& g, World&) -> Opened {
              g.press(kActionUse);
              return ExpectState(g, kStateMain);
            }},
           {"screen/settings", [](GameHarness& g, World&) { return OverMenu(g, kStateSettings); }},
           {"screen/load", [](GameHarness& g, World&) { return OverMenu(g, kStateLoadSave, 1); }},
           {"screen/add-worlds", [](GameHarness& g, World&) { return OverMenu(g, kStateAddWorlds); }},
           {"dialog/main-exit",
            [](GameHarness& g, World&) -> Opened {
              ChooseMenuRow(g, SStateMain::kExit);
              auto& menu = *static_cast<SStateMain*>(g.core().states[kStateMain]);
              return Expect(g, &menu.prompt, "the exit question");
            }},
           {"screen/credits",
            [](GameHarness& g, World&) -> Opened {
              ChooseMenuRow(g, SStateMain::kCredits);
              if (const testing::AssertionResult r = g.waitUntil(GameHarness::stateIs(kStateScene), 60); !r)
                return Opened(r.message());
              // The page of the longest lines, scrolled in up to its last step, which the visitor may
              // still see drawn (the text draws itself only on its steps).
              auto& scene = *static_cast<SStateScene*>(g.core().currentState);
              for (int page = 0; page < 2; ++page) g.press(kActionForward);
              for (u32 f = 0; f < 20000 && scene.text.position + 1 < scene.text.endPosition; ++f) g.frame();
              scene.text.Pause(true);
              return scene.text.position + 1 == scene.text.endPosition ? Opened()
                                                                       : Opened("the credits did not scroll");
            }},
           {"screen/scene",
            [](GameHarness& g, World&) -> Opened {
              ChooseMenuRow(g, SStateMain::kNewGame);
              const testing::AssertionResult r = g.waitUntil(GameHarness::stateIs(kStateScene), 60);
              if (!r) return r.message();
              g.frame(30);  // the first lines scroll in
              return "";
            }},
           {"screen/new-player",
            [](GameHarness& g, World&) -> Opened {
              for (int page = 0; page < 3 && g.state() == kStateScene; ++page) g.press(kActionForward);
              return ExpectState(g, kStateGenerate);
            }},
           {"dialog/keyboard",
            [](GameHarness& g, World&) -> Opened {
              g.tapControl(SStateGenerate::kRename);
              return Expect(g, &Generate(g).keyboard, "the keyboard");
            }},
           {"dialog/race-select",
            [](GameHarness& g, World&) -> Opened {
              g.tapControl(SStateGenerate::kChangeRace);
              return Expect(g, &Generate(g).raceDialog, "the race dialog");
            }},
           {"dialog/class-select",
            [](GameHarness& g, World&) -> Opened {
              g.tapControl(SStateGenerate::kSelectClass);
              return Expect(g, &Generate(g).classDialog, "the class dialog");
            }},
           {"dialog/skill-select",
            [](GameHarness& g, World&) -> Opened {
              g.tapControl(SStateGenerate::kFirstSkill + 3);
              return Expect(g, &Generate(g).skillDialog, "the skill dialog");
            }},
           {"screen/death",
            [](GameHarness& g, World&) -> Opened {
              g.setState(kStateDeath);
              return ExpectState(g, kStateDeath);
            }},
       }});

  // ---- the game's own view and the dialogs it opens over it.
  groups.push_back(
      {false,
       {
           {"game/view", [](GameHarness& g, World& w) -> Opened { return w.Enter(g, "base_out0101", 17, 17, 0); }},
           {"dialog/message",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = w.Enter(g, "base_out0101", 17, 17, 0); !e.empty()) return e;
              Game(g).QueueMessage("The gate is locked for the night.", SDialogMessage::kOk, nullptr);
              return ExpectSubMode(g, SStateGame::kMessageBox);
            }},
           {"dialog/spellbook",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = w.Enter(g, "base_out0101", 17, 17, 0); !e.empty()) return e;
              FillPack(g, w);
              Give(g, "base_scroll_fireball");
              Game(g).OpenMagicBook();
              return ExpectSubMode(g, SStateGame::kSpellbook);
            }},
           {"dialog/worldmap",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = w.Enter(g, "base_out0101", 17, 17, 0, 1439); !e.empty()) return e;
              g.tapControl(SStateGame::kAutomapId);  // the automap in the head-up display
              return ExpectSubMode(g, SStateGame::kWorldMap);
            }},
           {"dialog/worldmap-world",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = w.Enter(g, "base_out0101", 17, 17, 0, 1439); !e.empty()) return e;
              g.tapControl(SStateGame::kAutomapId);  // the automap in the head-up display
              if (Opened e = ExpectSubMode(g, SStateGame::kWorldMap); !e.empty()) return e;
              g.frame();
              g.tapControl(SDialogGameMap::kWorldViewId);
              return Opened();
            }},
           {"dialog/potions",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = w.Enter(g, "base_out0101", 17, 17, 0); !e.empty()) return e;
              FillPack(g, w);
              Game(g).OpenPotions();
              return ExpectSubMode(g, SStateGame::kPotionList);
            }},
           {"dialog/lockpick",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = w.Enter(g, "base_dungeon1", 10, 4, 180); !e.empty()) return e;
              SMapArea* map = nullptr;
              SMapObjectInst* door = g.core().CurrentWorld()->FindObjectByName("base_obj_cellardoor", map);
              if (!door) return Opened("no cellar door");
              g.core().player.skills[18] = std::max<u16>(g.core().player.skills[18], 30);
              // Picks the dialog lists (condition 10 and above), so that a pick's name and condition show.
              Give(g, "base_key_lockpick", 5000);
              Give(g, "base_key_lockpickbeginner", 1000);
              Game(g).trappedInst = door;
              Game(g).OpenLockpick();
              return ExpectSubMode(g, SStateGame::kLockpick);
            }},
           {"dialog/mark", [](GameHarness& g, World& w) -> Opened { return BeginMarking(g, w); }},
           {"dialog/recall",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = BeginMarking(g, w); !e.empty()) return e;
              g.frame();
              g.tapRow(SDialogMarkRecall::kListId, 1);
              g.tapControl(SDialogMarkRecall::kOkId);
              if (Opened e = Settle(g); !e.empty()) return e;
              Game(g).BeginRecall();
              return ExpectSubMode(g, SStateGame::kMarkRecall);
            }},
           {"dialog/rest-question", [](GameHarness& g, World& w) -> Opened { return RestHere(g, w, false); }},
           {"dialog/rest", [](GameHarness& g, World& w) -> Opened { return RestHere(g, w); }},
           {"dialog/rest-result",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = RestHere(g, w); !e.empty()) return e;
              for (u32 f = 0; f < 900 && !Game(g).rest.ok.IsVisible(); ++f) g.frame();
              return Game(g).rest.ok.IsVisible() ? Opened() : Opened("the rest never ended");
            }},
           {"dialog/ship-travel",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = w.Enter(g, "base_out0101", 17, 17, 0); !e.empty()) return e;
              g.core().player.QueueTravel("base_pos_deep", "The ship sails through the night.");
              return ExpectSubMode(g, SStateGame::kShipTravel);
            }},
           {"dialog/enchant-picker",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = w.Enter(g, "base_out0101", 17, 17, 0); !e.empty()) return e;
              FillPack(g, w);
              Game(g).BeginEnchantItem(10);
              return ExpectSubMode(g, SStateGame::kEnchanting);
            }},
           {"dialog/enchant",
            [](GameHarness& g, World& w) -> Opened {
              return OpenEnchanting(g, w, "base_armor_chain", nullptr, "the enchanting dialog");
            }},
           {"dialog/enchant-entry",
            [](GameHarness& g, World& w) -> Opened {
              return OpenEnchanting(
                  g, w, "base_armor_chain", [](SDialogEnchant& e) -> SDialog* { return &e.otherEditor; },
                  "the entry editor");
            }},
           {"dialog/enchant-wand-entry",
            [](GameHarness& g, World& w) -> Opened {
              return OpenEnchanting(
                  g, w, "base_wand_empty", [](SDialogEnchant& e) -> SDialog* { return &e.wandEditor; },
                  "the wand's entry editor");
            }},
       }});

  // ---- the inventory and the character sheet, with the dialogs they open.
  auto page = [](u16 tab) {
    return [tab](GameHarness& g, World& w) -> Opened {
      if (Opened e = OpenInventory(g, w); !e.empty()) return e;
      // From the sheet, as a player does: on the turned screens a tap on these tabs from the items page does
      // not reach them yet.
      g.tapControl(SStateInventory::kSheetTab);
      g.tapControl(tab);
      return Inventory(g).page == u32(tab - SStateInventory::kItemsTab)
                 ? ""
                 : "the page did not open: page " + std::to_string(Inventory(g).page) + "\n";
    };
  };
  auto sheet = [](u32 sub) {
    return [sub](GameHarness& g, World& w) -> Opened {
      if (Opened e = OpenInventory(g, w); !e.empty()) return e;
      g.tapControl(SStateInventory::kSheetTab);
      g.tapControl(SStateInventory::kSubPageIds[sub]);
      return Inventory(g).sheetSubPage == sub ? "" : "the sub-page did not open";
    };
  };
  using Child = SDialog* (*)(SStateInventory&);
  auto use = [](const char* type, Child child, const char* what) {
    return [=](GameHarness& g, World& w) -> Opened {
      if (Opened e = OpenInventory(g, w); !e.empty()) return e;
      if (Opened e = UseItem(g, type); !e.empty()) return e;
      return Expect(g, child(Inventory(g)), what);
    };
  };
  const Child reading = [](SStateInventory& i) -> SDialog* { return &i.reading; };
  const Child alchemy = [](SStateInventory& i) -> SDialog* { return &i.alchemy; };
  const Child repair = [](SStateInventory& i) -> SDialog* { return &i.repair; };
  const Child face = [](SStateInventory& i) -> SDialog* { return &i.faceSelect; };
  const Child rename = [](SStateInventory& i) -> SDialog* { return &i.nameEdit; };
  // A dialog a button of the sheet opens.
  auto fromSheet = [](u16 button, Child child, const char* what) {
    return [=](GameHarness& g, World& w) -> Opened {
      if (Opened e = OpenInventory(g, w); !e.empty()) return e;
      g.tapControl(SStateInventory::kSheetTab);
      g.tapControl(button);
      return Expect(g, child(Inventory(g)), what);
    };
  };
  groups.push_back({false,
                    {
                        {"inventory/items",
                         [](GameHarness& g, World& w) -> Opened {
                           if (Opened e = OpenInventory(g, w); !e.empty()) return e;
                           return SelectItem(g, w.seasoned ? "base_shield_woodenround" : "base_armor_shield")
                                      ? Opened()
                                      : Opened("no shield to select");
                         }},
                        {"inventory/sheet-main", sheet(0)},
                        {"inventory/sheet-skills", sheet(1)},
                        {"inventory/sheet-abilities", sheet(2)},
                        {"inventory/sheet-diseases", sheet(3)},
                        {"inventory/sheet-effects", sheet(4)},
                        {"inventory/quests", page(SStateInventory::kQuestsTab)},
                        {"inventory/spells", page(SStateInventory::kSpellsTab)},
                        {"dialog/face-select", fromSheet(SStateInventory::kFaceId, face, "the face dialog")},
                        {"dialog/rename", fromSheet(SStateInventory::kRenameId, rename, "the name keyboard")},
                        {"dialog/item-read", use("base_book_almanac", reading, "the reading dialog")},
                        {"dialog/item-read-letter", use("base_book_letter", reading, "the reading dialog")},
                        {"dialog/alchemy", use("base_alch_mortar", alchemy, "the alchemy dialog")},
                        {"dialog/repair", use("base_repair_hammer", repair, "the repair dialog")},
                        {"inventory/items-doll",
                         [](GameHarness& g, World& w) -> Opened {
                           // The items page with the description put away, as the hide button does: the paper doll
                           // shows. Last of its harness, as the view stays with the game for the stops after it.
                           if (Opened e = OpenInventory(g, w); !e.empty()) return e;
                           if (!SelectItem(g, "base_armor_shield")) return "no shield to select";
                           if (Inventory(g).descriptionView) g.tapControl(SStateInventory::kHideDescriptionId);
                           return Inventory(g).equipment.IsVisible() ? "" : "the paper doll is not shown";
                         }},
                    }});

  // ---- the people's services: conversation, interior, shop, training, repairs, enchanting, cards, the inn.
  groups.push_back(
      {false,
       {
           {"dialog/training",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = Call(g, w, "base_trainer", kStateDialog); !e.empty()) return e;
              // By the button's command: at 240x240 the "Goodbye" button lies over it.
              static_cast<SStateDialog*>(g.core().states[kStateDialog])->OnCommand(SStateDialog::kTraining);
              g.frame();
              return Expect(g, &static_cast<SStateDialog*>(g.core().states[kStateDialog])->training, "training");
            }},
           {"dialog/training-interior",  // the merchant teaches too: over his menu
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = Call(g, w, "base_merchant", kStateDialogInterior); !e.empty()) return e;
              g.tapControl(SStateDialogInterior::kTraining);
              return Expect(g, &Interior(g).training, "training in the interior");
            }},
           {"screen/conversation",
            [](GameHarness& g, World& w) -> Opened { return Call(g, w, "base_trainer", kStateDialog); }},
           {"screen/interior",
            [](GameHarness& g, World& w) -> Opened { return Call(g, w, "base_merchant", kStateDialogInterior); }},
           {"dialog/repair-shop",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = Call(g, w, "base_merchant", kStateDialogInterior); !e.empty()) return e;
              if (w.seasoned) FillPack(g, w);  // several worn pieces
              Give(g, "base_armor_chain", 10);
              g.tapControl(SStateDialogInterior::kRepair);
              return Expect(g, &Interior(g).repairShop, "the repair shop");
            }},
           {"dialog/enchant-service", [](GameHarness& g, World& w) -> Opened { return OpenEnchantService(g, w); }},
           {"dialog/enchant-paid",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = OpenEnchantService(g, w); !e.empty()) return e;
              ChooseToEnchant(g, Interior(g).enchanting, "base_armor_chain");
              AddEntries(g, w, Interior(g).enchanting.enchant);
              return Expect(g, &Interior(g).enchanting.enchant, "the enchanting dialog with its price");
            }},
           {"screen/shop",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = Call(g, w, "base_merchant", kStateDialogInterior); !e.empty()) return e;
              g.tapControl(SStateDialogInterior::kBuySell);
              const testing::AssertionResult r = g.waitUntil(GameHarness::stateIs(kStateShop), 10);
              return r ? "" : r.message();
            }},
           {"screen/shop-sell",  // the player's pack with the merchant's prices
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = Call(g, w, "base_merchant", kStateDialogInterior); !e.empty()) return e;
              FillPack(g, w);
              g.tapControl(SStateDialogInterior::kBuySell);
              if (const testing::AssertionResult r = g.waitUntil(GameHarness::stateIs(kStateShop), 10); !r)
                return Opened(r.message());
              g.frame(2);
              g.tapControl(SStateShop::kSell);
              return static_cast<SStateShop*>(g.core().currentState)->viewMode == 0 ? Opened()
                                                                                    : Opened("the pack is not shown");
            }},
           {"screen/shop-bought",  // the longest of the shop's messages
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = Call(g, w, "base_merchant", kStateDialogInterior); !e.empty()) return e;
              g.tapControl(SStateDialogInterior::kBuySell);
              if (const testing::AssertionResult r = g.waitUntil(GameHarness::stateIs(kStateShop), 10); !r)
                return Opened(r.message());
              // The merchant's stock here may be empty: the message as a purchase of the world's longest name.
              static_cast<SStateShop*>(g.core().currentState)
                  ->ShowStatus("You have purchased an item of Small unholy draught for 1250 gold.", 0);
              return Opened();
            }},
           {"screen/shop-deal",  // a sale above what the merchant pays: his offer with "Yes" and "No"
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = Call(g, w, "base_merchant", kStateDialogInterior); !e.empty()) return e;
              FillPack(g, w);
              SNpc* merchant = g.core().world.rules.people.FindByName("base_merchant");
              if (!merchant) return "no merchant";
              merchant->value32 = 100;
              g.tapControl(SStateDialogInterior::kBuySell);
              if (const testing::AssertionResult r = g.waitUntil(GameHarness::stateIs(kStateShop), 10); !r)
                return Opened(r.message());
              g.frame(2);
              auto& shop = *static_cast<SStateShop*>(g.core().currentState);
              // The merchant called here has no stock of his own on the map: one for what he would buy.
              if (SMapArea* area = Game(g).window.CurrentArea(); !shop.stock && area) {
                shop.stock = area->FindContainerById(kTourStock);
                if (!shop.stock && (shop.stock = area->AddContainer())) shop.stock->id = kTourStock;
              }
              g.tapControl(SStateShop::kSell);
              for (u32 i = 0; i < shop.grid.SlotCount(); ++i)
                if (shop.grid.Slot(i32(i))->price > merchant->value32) {
                  shop.grid.Select(i32(i));
                  break;
                }
              g.tapControl(SStateShop::kSell);
              return shop.dealPending ? Opened() : Opened("no deal was asked");
            }},
           {"dialog/card-bet",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = CallCardPlayer(g, w); !e.empty()) return e;
              g.tapLabel("Cards");
              return Expect(g, &Interior(g).cardBet, "the bet dialog");
            }},
           {"screen/cards",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = CallCardPlayer(g, w); !e.empty()) return e;
              g.tapLabel("Cards");
              if (g.openChild() != &Interior(g).cardBet) return Opened("the bet dialog did not open");
              g.tapControl(SDialogCardBet::kAccept);
              const testing::AssertionResult r = g.waitUntil(GameHarness::stateIs(kStateCard), 10);
              if (!r) return Opened(r.message());
              g.frame(60);
              return Opened();
            }},
           {"dialog/inn-rest",
            [](GameHarness& g, World& w) -> Opened {
              if (Opened e = Call(g, w, "base_innkeeper", kStateDialogInterior); !e.empty()) return e;
              g.tapControl(SStateDialogInterior::kSleep);
              g.frame();
              g.tapLabel("Yes");
              g.frame();
              SDialogRest& rest = Interior(g).rest;
              for (u32 f = 0; f < 900 && !rest.ok.IsVisible(); ++f) g.frame();
              return Expect(g, &rest, "the rest");
            }},
       }});
  return groups;
}

}  // namespace

std::vector<SDialog*> ScreenTour::dialogs(const GameHarness& game) {
  std::vector<SDialog*> chain;
  for (SDialog* d = game.core().currentState; d && chain.size() < 16; d = d->child) chain.push_back(d);
  return chain;
}

std::vector<ScreenTour::Shown> ScreenTour::shownControls(const GameHarness& game) {
  std::vector<Shown> out;
  for (SDialog* d : dialogs(game)) {
    if (auto* box = dynamic_cast<SDialogMessage*>(d); box && box->text) out.push_back({d, box->text});
    for (u32 i = 0; i < d->controls.Count(); ++i)
      if (SCtrl* c = d->controls.At(i); c && c->IsVisible()) out.push_back({d, c});
  }
  return out;
}

std::vector<std::string> ScreenTour::stopNames() {
  std::vector<std::string> names;
  for (const Group& group : Groups())
    for (const Stop& stop : group.stops) names.emplace_back(stop.name);
  return names;
}

std::vector<std::string> ScreenTour::run(const Visitor& visit) {
  std::vector<std::string> missed;
  for (const Group& group : Groups()) {
    bool any = false;
    for (const Stop& stop : group.stops) any = any || std::string(stop.name).rfind(only_, 0) == 0;
    if (!any) continue;
    GameHarness::Options options = GameHarness::forMode(mode_);
    options.copyData = true;  // the tour may save and load
    options.newGame = group.newGame;
    GameHarness game(options);
    if (!game.boot()) {
      for (const Stop& stop : group.stops) missed.push_back(std::string(stop.name) + ": " + game.startError());
      continue;
    }
    World world;
    world.seasoned = seasoned_;
    for (const Stop& stop : group.stops) {
      // The front door's stops follow one another as a player meets them; the others start afresh.
      if (std::string(stop.name).rfind(only_, 0) != 0 && group.stops.front().name != std::string("screen/logo"))
        continue;
      if (dialogs(game).size() > 1) {
        CloseAll(game);
        game.frame();  // closing a child reopens its owner, whose opening frame takes no input
      }
      if (game.state() == kStateGenerate) Generate(game).subMode = SStateGenerate::kScreen;
      const Opened why = stop.open(game, world);
      if (!why.empty()) {
        missed.push_back(std::string(stop.name) + ": " + why);
        continue;
      }
      // The opening frame's input guard passes, and the next frame paints what opened. The pictures the
      // harness kept of the way there are of no use to a visitor.
      game.frame(2);
      game.clearFrames();
      if (std::string(stop.name).rfind(only_, 0) == 0) visit(stop.name, game);
    }
  }
  return missed;
}
