// Switches, traps, webs and passages: toggling, weight on floor switches, trap damage and spikes, webs and
// walls of force that block and clear, the teleport's frames, and the travel each passage queues.
#include "kinds_fake.h"
#include "world/kinds/SMapObjectSwitch.h"

#include <gtest/gtest.h>

namespace {

u16 gLight = 256;

std::string Event(SMapObjectType* t, u16 event, SMapObjectInst* inst, SMapCell* cell, bool& changed) {
  auto* fake = static_cast<FakeKindServices*>(t->Services());
  fake->log.clear();
  changed = false;
  t->OnEvent(event, nullptr, inst, cell, 1, 1, changed);
  return fake->Log();
}

TEST(KindsSwitches, LeversAndSecretSwitchesToggleTheirLook) {
  KindFixture f;
  SMapObjectType* lever = f.Make("lever", 16, 4);
  SMapObjectType* secret = f.Make("brick", 28, 3);
  SMapCell cell;
  bool changed = false;
  SMapObjectInst inst;
  lever->InitInstance(&inst);
  EXPECT_EQ(inst.state, 3);  // off
  u16 face[MapRecord::kFaceWords] = {};
  lever->BuildSide(&inst, &cell, 0, face, gLight);
  EXPECT_EQ(face[MapRecord::kSideImage + 2], 101);
  EXPECT_EQ(face[MapRecord::kSideOverlay + 2], 103);
  EXPECT_EQ(face[MapRecord::kSidePick + 2], 22);
  EXPECT_TRUE(face[MapRecord::kSidePlace + 2] & 0x8000);
  EXPECT_EQ(Event(lever, MapEvent::kUse, &inst, &cell, changed), "sound bsnd_switchlargeon 10\n");
  EXPECT_TRUE(changed);
  lever->BuildSide(&inst, &cell, 0, face, gLight);
  EXPECT_EQ(face[MapRecord::kSideImage + 2], 100);
  EXPECT_EQ(face[MapRecord::kSideOverlay + 2], 102);
  EXPECT_EQ(Event(lever, MapEvent::kUse, &inst, &cell, changed), "sound bsnd_switchlargeoff 10\n");
  EXPECT_EQ(Event(lever, MapEvent::kStruck, &inst, &cell, changed), "");
  EXPECT_FALSE(changed);

  SMapObjectInst hidden;
  secret->InitInstance(&hidden);
  EXPECT_EQ(Event(secret, MapEvent::kUse, &hidden, &cell, changed), "sound bsnd_switchsecreton 10\n");
  secret->BuildSide(&hidden, &cell, 3, face, gLight);
  EXPECT_EQ(face[MapRecord::kSideImage + 1], 101);
  EXPECT_EQ(face[MapRecord::kSidePick + 1], 0);
  EXPECT_FALSE(face[MapRecord::kSidePlace + 1] & 0x8000);

  // A lever type with too few images shows image 0 rather than reading past its list.
  SMapObjectType* poor = f.Make("poor lever", 16, 1);
  poor->BuildSide(&inst, &cell, 0, face, gLight);
  EXPECT_EQ(face[MapRecord::kSideOverlay + 2], 0);
}

TEST(KindsSwitches, FloorSwitchStaysPressedUnderWeight) {
  KindFixture f;
  SMapObjectType* plate = f.Make("plate", 31, 2);
  SMapObjectInst inst;
  plate->InitInstance(&inst);
  SMapCell cell;
  bool changed = false;
  EXPECT_EQ(Event(plate, MapEvent::kEnter, &inst, &cell, changed), "sound bsnd_switchflooron 10\n");
  EXPECT_EQ(Event(plate, MapEvent::kEnter, &inst, &cell, changed), "");  // already on: only a change
  EXPECT_TRUE(changed);
  f.game.weight = 1000;
  EXPECT_EQ(Event(plate, MapEvent::kLeave, &inst, &cell, changed), "");
  EXPECT_EQ(inst.state & 2, 0);
  f.game.weight = 999;
  EXPECT_EQ(Event(plate, MapEvent::kLeave, &inst, &cell, changed), "sound bsnd_switchflooroff 10\n");
  u16 record[MapRecord::kObjectWords] = {};
  plate->BuildCell(&inst, &cell, record, gLight);
  EXPECT_EQ(record[1], 101);
  EXPECT_EQ(record[30], 17);
}

TEST(KindsSwitches, TrapDamageAgainstArmour) {
  struct Case {
    u32 damageLevel;
    i32 armour;
    std::deque<i32> randoms;
    std::string log;
  };
  const Case cases[] = {
      {5, 20, {}, "hp -30\nhit 30 -1\nsound bsnd_trap 10\n"},
      {3, 40, {50}, "sound bsnd_trap 10\n"},  // 50 < 51: spared
      {3, 40, {51, 4}, "hp -4\nhit 4 -1\nsound bsnd_trap 10\n"},
      {3, 40, {99, 0}, "sound bsnd_trap 10\n"},  // random(5) gave 0
  };
  for (const Case& c : cases) {
    KindFixture f;
    SMapObjectType* trap = f.Make("spikes", 42, 2);
    f.game.armour = c.armour;
    f.game.randoms = c.randoms;
    SMapObjectInst inst;
    inst.packed = i16(c.damageLevel << 8);
    bool changed = false;
    EXPECT_EQ(Event(trap, MapEvent::kEnter, &inst, nullptr, changed), c.log);
    EXPECT_EQ(SMapObjectTrap::Phase(&inst), 1u);
  }
  KindFixture f;
  SMapObjectType* trap = f.Make("spikes", 42, 2);
  SMapObjectInst disarmed;
  disarmed.state = 3;
  bool changed = false;
  EXPECT_EQ(Event(trap, MapEvent::kEnter, &disarmed, nullptr, changed), "");
}

TEST(KindsSwitches, TrapSpikesRiseAndReset) {
  KindFixture f;
  SMapObjectType* trap = f.Make("spikes", 42, 2);
  SMapCell cell, elsewhere;
  f.game.playerCell = &cell;
  f.game.facing = 270;
  f.game.spikes[0][3][0] = 11;
  f.game.spikes[1][3][3] = 44;
  SMapObjectInst inst;
  SMapObjectTrap::SetPhase(&inst, 1);
  u16 record[MapRecord::kObjectWords] = {};
  trap->RefreshCell(&inst, &cell, record, gLight);
  EXPECT_EQ(f.game.Log(), "sound bsnd_trapback 10\n");
  EXPECT_EQ(record[1], 101);
  EXPECT_EQ(record[3], 101);
  EXPECT_EQ(record[15], 11);
  EXPECT_EQ(record[25], 44);
  EXPECT_EQ(record[29], u16(-8000));
  trap->RefreshCell(&inst, &cell, record, gLight);
  EXPECT_EQ(record[29], u16(-10000));
  for (u32 i = 0; i < 5; ++i) trap->RefreshCell(&inst, &cell, record, gLight);
  EXPECT_EQ(SMapObjectTrap::Phase(&inst), 0u);
  EXPECT_EQ(record[1], 100);  // at rest again
  // Seen from another cell, a moving trap is put back at rest.
  SMapObjectTrap::SetPhase(&inst, 4);
  trap->RefreshCell(&inst, &elsewhere, record, gLight);
  EXPECT_EQ(SMapObjectTrap::Phase(&inst), 0u);
}

TEST(KindsSwitches, WebsAndWallsOfForceBlockAndClear) {
  KindFixture f;
  SMapObjectType* web = f.Make("web", 35, 2);
  SMapObjectType* force = f.Make("force", 37, 3);
  force->frameCountA = 3;
  force->texts[1] = "bsnd_hum";
  SMapCell cell;
  cell.cellFlags = 1;
  SMapObjectInst inst;
  bool changed = false;
  EXPECT_TRUE(web->IsBlocking(&inst));
  Event(web, MapEvent::kStruck, &inst, &cell, changed);
  Event(web, MapEvent::kStruck, &inst, &cell, changed);
  EXPECT_TRUE(changed);
  EXPECT_EQ(inst.state, 3);
  EXPECT_FALSE(web->IsBlocking(&inst));
  u16 record[MapRecord::kObjectWords] = {};
  web->BuildCell(&inst, &cell, record, gLight);
  EXPECT_EQ(record[0], 266);
  EXPECT_EQ(record[1], 101);
  EXPECT_EQ(record[30], 53);

  SMapObjectInst wall;
  f.game.counters[0] = 7;
  u16 forceRecord[MapRecord::kObjectWords] = {};
  force->BuildCell(&wall, &cell, forceRecord, gLight);
  EXPECT_TRUE(force->IsBlocking(&wall));
  EXPECT_EQ(forceRecord[1], 101);  // 7 mod 3
  EXPECT_STREQ(force->GetAmbientSound(&wall, &cell), "bsnd_hum");
  wall.state = 3;  // dispelled
  EXPECT_FALSE(force->IsBlocking(&wall));
  EXPECT_EQ(force->GetAmbientSound(&wall, &cell), nullptr);
}

TEST(KindsSwitches, TeleportFramesGoForthAndBack) {
  struct Case {
    u32 images;
    u8 a;
    std::vector<u32> frames;
  };
  const Case cases[] = {
      {0, 255, {1, 2}},  // no images: A = 255, positions past the empty list show image 0
      {1, 0, {0, 0}},
      {2, 1, {0, 0, 0}},  // one animation image: shown idle instead of dividing by 0
      {3, 2, {1, 2, 1, 2}},
      {4, 3, {1, 2, 3, 2, 1}},
      {5, 4, {1, 2, 3, 4, 2, 1, 1}},
      // From six images the count back would show the idle image and then none: forth and back instead.
      {6, 5, {1, 2, 3, 4, 5, 4, 3, 2, 1}},
      {8, 7, {1, 2, 3, 4, 5, 6, 7, 6, 5, 4, 3, 2, 1}},
  };
  for (const Case& c : cases) {
    KindFixture f;
    auto* gate = static_cast<SMapObjectTeleport*>(f.Make("gate", 25, c.images));
    gate->frameCountA = c.a;
    SMapObjectInst inst;
    std::vector<u32> got;
    for (u32 counter = 0; counter < c.frames.size(); ++counter) got.push_back(gate->FramePosition(&inst, counter));
    EXPECT_EQ(got, c.frames) << c.images << " images";
    SMapCell cell;
    u16 record[MapRecord::kObjectWords] = {};
    f.game.counters[0] = 1000;
    gate->RefreshCell(&inst, &cell, record, gLight);  // any image position stays inside the list
    EXPECT_EQ(record[1], c.images ? 100 + gate->FramePosition(&inst, 1000) : 0);
  }
}

TEST(KindsSwitches, PassagesQueueTheirTransitions) {
  KindFixture f;
  SMapObjectType* gate = f.Make("gate", 25, 3);
  SMapObjectType* hole = f.Make("hole", 15, 2);
  hole->typeFlags |= MapTypeFlag::kTravels;
  SMapObjectType* stair = f.Make("stair", 33, 3);
  struct Case {
    SMapObjectType* type;
    u16 event;
    u8 state;
    i16 packed;
    const char* target;
    std::string log;
  };
  const Case cases[] = {
      {gate, MapEvent::kEnter, 1, 0, "crypt#Enter the crypt?", "transition crypt Enter the crypt? 1 1\n"},
      {gate, MapEvent::kEnter, 1, 0, "altar", "teleport altar 1\n"},
      {gate, MapEvent::kEnter, 3, 0, "altar", ""},  // switched off
      {gate, MapEvent::kEnter, 1, 0, nullptr, ""},
      {hole, MapEvent::kEnter, 1, 0, "cellar2#", "teleport cellar2 4\n"},
      {hole, MapEvent::kEnter, 3, 0, "pit", "teleport pit 2\n"},
      {hole, MapEvent::kEnter, 3, 0, "below#Jump?", "transition below Jump? 3 1\n"},
      {stair, MapEvent::kUse, 1, 0, "up#", "teleport up 7\n"},
      {stair, MapEvent::kUse, 1, 1, "down#Go down?", "transition down Go down? 6 0\n"},
      {stair, MapEvent::kUse, 1, 0, "#somewhere", ""},
      {stair, MapEvent::kEnter, 1, 0, "up", ""},  // a stair travels only on use
  };
  for (const Case& c : cases) {
    SMapObjectInst inst;
    inst.state = c.state;
    inst.packed = c.packed;
    inst.targetText = c.target;
    bool changed = false;
    EXPECT_EQ(Event(c.type, c.event, &inst, nullptr, changed), c.log)
        << c.type->name.Text() << " " << (c.target ? c.target : "-");
  }
  // A hole without the travel flag is just a hole.
  SMapObjectType* pit = f.Make("pit", 15, 2);
  SMapObjectInst inst;
  inst.targetText = "anywhere";
  bool changed = false;
  EXPECT_EQ(Event(pit, MapEvent::kEnter, &inst, nullptr, changed), "");
}

TEST(KindsSwitches, StairRenderWordsAndTorch) {
  KindFixture f;
  SMapObjectType* stair = f.Make("stair", 33, 3);
  SMapObjectType* torch = f.Make("torch", 3, 2, 300);
  torch->frameCountA = 2;
  stair->linkedTypeName = "torch";
  stair->placement[0] = 4;
  f.game.imageSizes[100] = {64, 64};
  f.game.imageSizes[300] = {16, 16};
  SMapObjectInst inst;
  inst.packed = 1;
  SMapCell cell;
  u16 record[MapRecord::kObjectWords] = {};
  u16 light = 256;
  stair->BuildCell(&inst, &cell, record, light);
  EXPECT_TRUE(stair->IsBlocking(&inst));
  EXPECT_EQ(record[0], 3);
  EXPECT_EQ(record[2], 102);
  EXPECT_EQ(record[4], 100);
  EXPECT_EQ(record[5], 300);
  EXPECT_EQ(record[7], 301);
  EXPECT_EQ(record[21], 64 - 16 - 4);
  EXPECT_EQ(record[30], 34);
  EXPECT_STREQ(stair->GetAmbientSound(&inst, &cell), "bsnd_fire");
}

}  // namespace
