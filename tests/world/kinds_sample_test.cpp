// The kinds on the built sample world: the cellar's locked door, its lever, teleport and stairs, entered
// through the game's window and driven through the recording game services.
#include "WorldFixture.h"
#include "game/SMapWindow.h"
#include "kinds_fake.h"
#include "world/SItemTable.h"
#include "world/SMapObjectType.h"
#include "world/kinds/SMapObjectDoor.h"

namespace {

class KindsSample : public WorldFixture {
 protected:
  KindsSample() {
    tables[kBlockMapObjectTypes] = &mapTypes;
    tables[kBlockItems] = &itemTable;
    modules.env.game = &window;
    window.monsterTable = &monsters;
    window.items = &itemTable;
    mapTypes.services = &game;
    game.items = &itemTable;
  }
  ~KindsSample() override {
    modules.Clear();
    tables.ClearAll();
    tables[kBlockMapObjectTypes] = &types;
    tables[kBlockItems] = nullptr;
  }

  // Opens the sample world and enters the cellar; false (with a failure) when the world is not built.
  bool EnterCellar() {
    const std::string folder = std::string(DUSKMIRE_DATA_DIR) + "/";
    if (!std::filesystem::exists(folder + "DuskmireBase.pdb")) {
      ADD_FAILURE() << "build the sample_world target first";
      return false;
    }
    data = std::make_unique<SFileStore>(folder);
    modules.env.files = data.get();
    struct Steps : SLoadingSteps {
      void Step() override {}
    } steps;
    if (!modules.OpenGameArchives(&steps)) {
      ADD_FAILURE() << modules.LastError();
      return false;
    }
    mapTypes.ResolveNames(images, images.ImageFlags());
    SWorldModule* base = modules.FindByName("base");
    cellar = base ? base->FindMap("base_dungeon1") : nullptr;
    return cellar && window.Enter(cellar);
  }

  // The object of a window cell's centre or side, and its type.
  SMapObjectInst* Centre(i32 x, i32 y) { return cellar->FindObjectById(window.Cell(x, y)->centreObjectId); }

  std::string Run(SMapObjectType* type, u16 event, SMapObjectInst* inst, i32 x, i32 y) {
    game.log.clear();
    bool changed = false;
    if (type->ReactsTo(event)) type->OnEvent(event, cellar, inst, window.Cell(x, y), x, y, changed);
    return game.Log();
  }

  SMapObjectTypeTable mapTypes;
  SItemTable itemTable;
  SMapWindow window;
  std::unique_ptr<SFileStore> data;
  SMapArea* cellar = nullptr;
  FakeKindServices game;
};

TEST_F(KindsSample, CellarDoorNeedsItsKey) {
  ASSERT_TRUE(EnterCellar());
  SMapCell* cell = window.Cell(10, 5);
  auto* door = static_cast<SMapObjectDoor*>(cell->centreType);
  ASSERT_EQ(door, mapTypes.FindType("base_door"));
  SMapObjectInst* inst = Centre(10, 5);
  ASSERT_NE(inst, nullptr);
  EXPECT_EQ(inst->state, 1 | SMapObjectDoor::kClosed);  // stored shut
  EXPECT_EQ(SMapObjectDoor::LockLevel(inst), 10u);
  EXPECT_EQ(SMapObjectDoor::TrapLevel(inst), 10u);
  EXPECT_TRUE(door->IsBlocking(inst));
  game.playerX = 10;
  game.playerY = 6;

  // No key, no picks, and a trap the player does not notice.
  EXPECT_EQ(Run(door, MapEvent::kUse, inst, 10, 5),
            "sound bsnd_ddoorlocked 10\nmessage The door is locked,\rand you don't have the right key nor any "
            "lockpicks. |0 click\n");
  // Picking up the key from the bag at (8, 8) and using the door again.
  game.carried["base_key_dungeon"] = 1;
  EXPECT_EQ(Run(door, MapEvent::kUse, inst, 10, 5),
            "sound bsnd_lockout 10\nlose base_key_dungeon 1\nsound bsnd_doormainopen 9\n");
  u16 record[MapRecord::kObjectWords] = {};
  u16 light = 256;
  door->BuildCell(inst, cell, record, light);
  EXPECT_EQ(record[0], 3 | 1 << 8);  // orientation 1, still shut
  for (u32 i = 0; i < 14; ++i) door->AnimateTick(inst, 10, 5, cell, record, light);
  EXPECT_FALSE(door->IsBlocking(inst));
  EXPECT_EQ(record[0] >> 10, 63);
}

TEST_F(KindsSample, LeverTeleportAndStairs) {
  ASSERT_TRUE(EnterCellar());
  SMapCell* wall = window.Cell(10, 0);
  SMapObjectType* lever = wall->sideType[2];
  ASSERT_EQ(lever, mapTypes.FindType("base_lever"));
  SMapObjectInst* handle = cellar->FindObjectById(wall->sideObjectId[2]);
  ASSERT_NE(handle, nullptr);
  lever->InitInstance(handle);
  EXPECT_EQ(Run(lever, MapEvent::kUse, handle, 10, 0), "sound bsnd_switchlargeon 10\n");
  EXPECT_EQ(Run(lever, MapEvent::kUse, handle, 10, 0), "sound bsnd_switchlargeoff 10\n");

  SMapObjectType* gate = window.Cell(15, 3)->centreType;
  ASSERT_EQ(gate->classNumber, 25);
  EXPECT_EQ(Run(gate, MapEvent::kEnter, Centre(15, 3), 15, 3), "teleport base_pos_cellar 1\n");

  // The stairs down stand in a niche of the east wall, so that their arch is seen face on.
  SMapObjectType* stairs = window.Cell(19, 13)->centreType;
  ASSERT_EQ(stairs->classNumber, 33);
  EXPECT_TRUE(stairs->IsBlocking(Centre(19, 13)));
  EXPECT_EQ(Run(stairs, MapEvent::kEnter, Centre(19, 13), 19, 13), "");
  // They lead down to the deeper cellar: the stair down (6), showing its steps going down, and asking first
  // in words (what follows the position's name is the question the player reads).
  EXPECT_EQ(Run(stairs, MapEvent::kUse, Centre(19, 13), 19, 13),
            "transition base_pos_deep Go down into the deep cellars? 6 0\n");
}

// The vault's gate has no way of opening of its own (method 3): using it does nothing, and only the
// lever's script opens it.
TEST_F(KindsSample, VaultGateOpensOnlyByScript) {
  ASSERT_TRUE(EnterCellar());
  SMapCell* cell = window.Cell(16, 7);
  auto* gate = static_cast<SMapObjectDoor*>(cell->centreType);
  ASSERT_EQ(gate, mapTypes.FindType("base_door"));
  SMapObjectInst* inst = Centre(16, 7);
  ASSERT_NE(inst, nullptr);
  EXPECT_STREQ(inst->name.Text(), "base_obj_gate");
  EXPECT_EQ((cell->cellFlags >> 2) & 3, 3);
  game.playerX = 15;
  game.playerY = 7;
  EXPECT_EQ(Run(gate, MapEvent::kUse, inst, 16, 7), "");
  EXPECT_TRUE(inst->state & SMapObjectDoor::kClosed);
  bool changed = false;
  i32 result = 0;
  gate->ScriptCall(cellar, inst, 16, 7, 103, SMapScriptArg{}, SMapScriptArg{}, 0, result, changed);  // open
  EXPECT_TRUE(inst->state & SMapObjectDoor::kOpening);
}

}  // namespace
