// Doors and city doors: using a door by its opening method, lock, key, lock picks and trap; the opening
// and closing animation; the unlock and disarm spells; the render words; the city door's service.
#include "kinds_fake.h"
#include "world/kinds/SMapObjectDoor.h"

#include <gtest/gtest.h>

namespace {

constexpr u8 kClosed = SMapObjectDoor::kClosed;

struct DoorFixture : KindFixture {
  SItemTable items;
  SSpellTable spells;
  SMapObjectDoor* door = nullptr;
  SMapObjectInst inst;
  SMapCell cell;

  DoorFixture(u32 classNumber = 22) {
    door = static_cast<SMapObjectDoor*>(Make("door", classNumber, 3));
    door->texts[1] = "bsnd_dooropen";
    door->texts[2] = "bsnd_doorclose";
    auto* key = new SItemType;
    key->name.Set("brass key");
    items.types.InsertByNameHash(key);
    game.items = &items;
    game.spells = &spells;
    inst.state = 1 | kClosed;
    inst.targetText = "brass key";
    game.playerX = game.playerY = 2;  // at the door: sounds at full volume
  }
  void Set(u32 method, u32 lock, u32 trap) {
    cell.cellFlags = u8(method << 2);
    inst.packed = i16(lock / 10 << 6 | trap / 10 << 10);
  }
  std::string Use() {
    game.log.clear();
    bool changed = false;
    door->OnEvent(MapEvent::kUse, nullptr, &inst, &cell, 2, 2, changed);
    return game.Log();
  }
};

const std::string kLocked = "sound bsnd_ddoorlocked 10\n";
const std::string kNoKey = "The door is locked,\rand you don't have the right key.";
const std::string kNoKeyNoPicks = "The door is locked,\rand you don't have the right key nor any lockpicks.";

TEST(KindsDoors, UseByMethodLockKeyAndTrap) {
  struct Case {
    const char* what;
    u32 method, lock, trap;
    i32 disarm;
    bool key, picks;
    std::string log;
    bool opening;
  };
  const Case cases[] = {
      {"no method", 0, 0, 0, 0, false, false,
       "message You can't see any method of opening this door. |0 click\n" + kLocked, false},
      {"free", 2, 0, 0, 0, false, false, "sound bsnd_dooropen 10\n", true},
      {"lock level 0", 1, 0, 0, 0, false, false, "sound bsnd_dooropen 10\n", true},
      {"scripts only", 3, 0, 0, 0, false, false, "", false},
      {"key", 1, 50, 0, 0, true, false, "sound bsnd_lockout 10\nlose brass key 1\nsound bsnd_dooropen 10\n", true},
      {"no key, no picks", 1, 50, 0, 0, false, false, kLocked + "message " + kNoKeyNoPicks + " |0 click\n", false},
      {"no key, picks", 1, 50, 0, 0, false, true, kLocked + "prompt " + kNoKey + " |20 010\n", false},
      {"trap unseen", 2, 0, 30, 9, false, false, "sound bsnd_dooropen 10\n", true},
      {"trap seen, skill short", 2, 0, 30, 10, false, false,
       "prompt The door seems to be trapped.\rYour disarm skill may not be enough. |20 101\n" + kLocked, false},
      {"trap seen, skill enough", 2, 0, 30, 30, false, false,
       "prompt The door seems to be trapped. |20 101\n" + kLocked, false},
      {"locked and trapped", 1, 50, 30, 29, false, false,
       kLocked + "prompt " + kNoKeyNoPicks +
           "\rAlso, it seems to be trapped...\rYour disarm skill may not be enough. |20 100\n",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DoorFixture f;
    f.Set(c.method, c.lock, c.trap);
    f.game.disarm = c.disarm;
    f.game.lockPicks = c.picks;
    if (c.key) f.game.carried["brass key"] = 2;
    EXPECT_EQ(f.Use(), c.log);
    EXPECT_EQ((f.inst.state & SMapObjectDoor::kOpening) != 0, c.opening);
  }
}

TEST(KindsDoors, SoundsFallOffWithThePlayersDistance) {
  DoorFixture f;
  struct Case {
    i32 x, y;
    const char* log;
  } cases[] = {
      {2, 2, "sound bsnd_x 10\n"}, {5, 2, "sound bsnd_x 7\n"}, {0, 0, "sound bsnd_x 6\n"}, {2, 30, "sound bsnd_x 1\n"}};
  for (const Case& c : cases) {
    f.game.log.clear();
    f.door->PlaySoundAt("bsnd_x", c.x, c.y);
    EXPECT_EQ(f.game.Log(), c.log) << c.x << "," << c.y;
  }
  f.game.log.clear();
  f.door->PlaySoundAt(nullptr, 2, 2);
  EXPECT_EQ(f.game.Log(), "");
}

TEST(KindsDoors, OpenDoorClosesOnlyWithTheFreeMethod) {
  DoorFixture f;
  f.Set(2, 0, 0);
  f.inst.state = 1;
  f.game.playerX = f.game.playerY = 20;  // closing sounds from the player's own position
  EXPECT_EQ(f.Use(), "sound bsnd_doorclose 10\n");
  EXPECT_TRUE(f.inst.state & SMapObjectDoor::kClosing);
  f.Set(1, 0, 0);
  f.inst.state = 1;
  EXPECT_EQ(f.Use(), kLocked + "message You can't close the door. |0 click\n");
}

TEST(KindsDoors, AnimationStepsAndBlocking) {
  for (u32 classNumber : {20u, 22u}) {
    DoorFixture f(classNumber);
    f.Set(2, 0, 0);
    u16 record[MapRecord::kObjectWords] = {};
    u16 light = 256;
    f.door->BuildCell(&f.inst, &f.cell, record, light);
    EXPECT_EQ(record[0] >> 10, 0);
    EXPECT_TRUE(f.door->IsBlocking(&f.inst));
    f.Use();
    EXPECT_FALSE(f.door->IsBlocking(&f.inst));
    u32 ticks = 0;
    while ((record[0] >> 10) < 63 && ticks < 100) {
      f.door->AnimateTick(&f.inst, 2, 2, &f.cell, record, light);
      ++ticks;
    }
    EXPECT_EQ(ticks, classNumber == 22 ? 21u : 13u);
    f.door->AnimateTick(&f.inst, 2, 2, &f.cell, record, light);
    EXPECT_EQ(f.inst.state, 1);
    // Closing runs back to 0, then the door shuts with its sound and blocks again.
    f.game.log.clear();
    f.Use();
    EXPECT_TRUE(f.door->IsBlocking(&f.inst));
    for (u32 i = 0; i < 30 && !(f.inst.state & kClosed); ++i)
      f.door->AnimateTick(&f.inst, 2, 2, &f.cell, record, light);
    EXPECT_EQ(f.inst.state, 1 | kClosed);
    EXPECT_NE(f.game.Log().find("sound bsnd_ddoorcloseok 10"), std::string::npos);
  }
}

// A door cell without a placed object has no state: it is drawn open, so it must not block either.
TEST(KindsDoors, DoorWithoutInstanceIsOpenAndPassable) {
  DoorFixture f;
  u16 record[MapRecord::kObjectWords] = {};
  u16 light = 256;
  f.door->BuildCell(nullptr, &f.cell, record, light);
  EXPECT_EQ(record[0] >> 10, 63);
  EXPECT_FALSE(f.door->IsBlocking(nullptr));
}

TEST(KindsDoors, HandleImageByMethodWhileMoving) {
  DoorFixture f;
  f.door->decalX = 12;
  f.door->decalY = 30;
  f.game.handles[2] = 502;
  f.game.handles[3] = 503;
  f.Set(2, 0, 0);
  u16 record[MapRecord::kObjectWords] = {};
  u16 light = 256;
  f.door->BuildCell(&f.inst, &f.cell, record, light);
  EXPECT_EQ(record[6], 502);
  EXPECT_EQ(record[20], 12);
  EXPECT_EQ(record[27], 30);
  f.Use();
  f.door->AnimateTick(&f.inst, 2, 2, &f.cell, record, light);
  EXPECT_EQ(record[6], 503);  // the free method shows method 3's handle early in the swing
}

TEST(KindsDoors, RenderWordsFromOutsideAndInside) {
  DoorFixture f;
  SMapObjectType* frame = f.Make("frame", 21, 2, 200);
  f.cell.styleType = frame;
  f.cell.cellFlags = 2 | 2 << 2;
  f.game.lacksWalls = false;
  u16 record[MapRecord::kObjectWords] = {};
  u16 light = 256;
  f.inst.state = 1;  // open
  f.door->BuildCell(&f.inst, &f.cell, record, light);
  EXPECT_EQ(record[0], 3 | 2 << 8 | 63 << 10);
  EXPECT_EQ(record[1], 101);
  EXPECT_EQ(record[2], 200);
  EXPECT_EQ(record[3], 201);
  EXPECT_EQ(record[4], 100);
  EXPECT_EQ(record[15], 55);
  EXPECT_EQ(record[22], 71);
  EXPECT_EQ(record[30], 16);
  EXPECT_EQ(light, 256);  // no torch

  u16 inside[MapRecord::kObjectWords] = {};
  f.game.playerCell = &f.cell;
  f.door->BuildCell(&f.inst, &f.cell, inside, light);
  EXPECT_EQ(inside[0], 9);
  EXPECT_EQ(inside[1], 102);
}

TEST(KindsDoors, TorchFlickersAtNightAndCrackles) {
  DoorFixture f;
  SMapObjectType* torch = f.Make("torch", 3, 4, 300);
  torch->frameCountA = 4;
  f.door->linkedTypeName = "torch";
  f.game.dayNight = true;
  f.game.counters[0] = 3;
  u16 record[MapRecord::kObjectWords] = {};
  u16 light = 256;
  f.door->BuildCell(&f.inst, &f.cell, record, light);
  EXPECT_EQ(record[5], 0);
  EXPECT_EQ(f.door->GetAmbientSound(&f.inst, &f.cell), nullptr);
  // By day a refresh in place lights no torch the build left out, seen from outside (torch words 5 and 7)
  // or from inside (2 and 3).
  for (const bool inside : {false, true}) {
    f.game.playerCell = inside ? &f.cell : nullptr;
    u16 day[MapRecord::kObjectWords] = {};
    u16 dayLight = 256;
    f.door->BuildCell(&f.inst, &f.cell, day, dayLight);
    f.door->RefreshCell(&f.inst, &f.cell, day, dayLight);
    EXPECT_EQ(day[inside ? 2 : 5], 0) << inside;
    EXPECT_EQ(day[inside ? 3 : 7], 0) << inside;
    EXPECT_EQ(dayLight, 256) << inside;
  }
  f.game.playerCell = nullptr;
  f.game.night = true;
  f.game.randoms = {2};
  f.door->BuildCell(&f.inst, &f.cell, record, light);
  EXPECT_EQ(light, 256 + 64 + (16 << 2));
  EXPECT_EQ(record[5], 303);
  EXPECT_EQ(record[7], 301);  // (3 + 2) mod 4
  EXPECT_STREQ(f.door->GetAmbientSound(&f.inst, &f.cell), "bsnd_fire");

  // A torch type without frames shows frame 0 instead of dividing by zero.
  torch->frameCountA = 0;
  f.door->RefreshCell(&f.inst, &f.cell, record, light);
  EXPECT_EQ(record[5], 300);
}

TEST(KindsDoors, SpellsUnlockDisarmAndHighlight) {
  DoorFixture f;
  auto* spell = new SSpell;
  spell->name.Set("Open Lock");
  auto* unlock = new SEffect;
  unlock->kind = 45;
  unlock->base = 40;
  unlock->perLevel = 100;  // + level
  spell->effects.Add(unlock);
  f.spells.records.InsertByNameHash(spell);
  f.game.spell = "Open Lock";
  f.game.spellLevel = 35;  // U = 75: random(7) + 67 against the lock
  f.Set(1, 70, 0);
  f.game.randoms = {2};
  bool changed = false;
  f.door->OnEvent(MapEvent::kSpellHit, nullptr, &f.inst, &f.cell, 2, 2, changed);
  EXPECT_EQ(SMapObjectDoor::LockLevel(&f.inst), 70u);
  EXPECT_FALSE(f.inst.state & SMapObjectDoor::kHighlight);
  f.game.randoms = {3};
  f.door->OnEvent(MapEvent::kSpellHit, nullptr, &f.inst, &f.cell, 2, 2, changed);
  EXPECT_EQ(SMapObjectDoor::LockLevel(&f.inst), 0u);
  EXPECT_TRUE(f.inst.state & SMapObjectDoor::kHighlight);
  EXPECT_EQ(f.game.highlight, 10);

  // The highlight lasts while the counter runs down.
  u16 record[MapRecord::kObjectWords] = {};
  u16 light = 256;
  for (u32 i = 0; i < 10; ++i) f.door->AnimateTick(&f.inst, 2, 2, &f.cell, record, light);
  EXPECT_EQ(record[29] & 1, 1);
  f.door->AnimateTick(&f.inst, 2, 2, &f.cell, record, light);
  EXPECT_EQ(record[29] & 1, 0);
  EXPECT_FALSE(f.inst.state & SMapObjectDoor::kHighlight);

  // A disarming spell alone removes the trap and highlights the door too.
  auto* disarmSpell = new SSpell;
  disarmSpell->name.Set("Disarm");
  auto* disarm = new SEffect;
  disarm->kind = 44;
  disarm->base = 50;
  disarmSpell->effects.Add(disarm);
  f.spells.records.InsertByNameHash(disarmSpell);
  f.game.spell = "Disarm";
  f.Set(1, 40, 40);
  f.inst.state = 1 | kClosed;
  f.game.highlight = 0;
  f.game.randoms = {0};  // 0 + 45 >= 40
  f.door->OnEvent(MapEvent::kSpellHit, nullptr, &f.inst, &f.cell, 2, 2, changed);
  EXPECT_EQ(SMapObjectDoor::TrapLevel(&f.inst), 0u);
  EXPECT_EQ(SMapObjectDoor::LockLevel(&f.inst), 40u);
  EXPECT_TRUE(f.inst.state & SMapObjectDoor::kHighlight);
  EXPECT_EQ(f.game.highlight, 10);

  // A lock set to 110 by a script is beyond any spell.
  f.game.spell = "Open Lock";
  f.Set(1, 110, 0);
  f.game.spellLevel = 1000;
  f.door->OnEvent(MapEvent::kSpellHit, nullptr, &f.inst, &f.cell, 2, 2, changed);
  EXPECT_EQ(SMapObjectDoor::LockLevel(&f.inst), 110u);
}

TEST(KindsDoors, CityDoorEntersTheService) {
  KindFixture f;
  SMapObjectType* door = f.Make("inn door", 11, 2);
  SMapObjectInst inst;
  bool changed = false;
  door->OnEvent(MapEvent::kUse, nullptr, &inst, nullptr, 0, 0, changed);
  f.game.serviceOpens = true;
  door->OnEvent(MapEvent::kUse, nullptr, &inst, nullptr, 0, 0, changed);
  EXPECT_EQ(f.game.Log(),
            "service inn door\nsound bsnd_cdoorclosed 10\n"
            "service inn door\nrefresh services\nsound bsnd_cdooropen 10\n");

  SMapCell cell;
  cell.sideType[1] = door;
  u16 face[MapRecord::kFaceWords] = {};
  u16 light = 256;
  door->BuildSide(&inst, &cell, 1, face, light);
  const u32 sp = 3;
  EXPECT_EQ(face[MapRecord::kSideImage + sp], 100);
  EXPECT_EQ(face[MapRecord::kSideOverlay + sp], 101);
  EXPECT_EQ(face[MapRecord::kSidePick + sp], 6);
  EXPECT_EQ(face[MapRecord::kSidePlace + sp], 1 | 16 << 5 | 1 << 10);  // x 16, y 1
}

}  // namespace
