// Script functions on map objects: the state functions as a table (function, argument, state before,
// result, state after), the door's own forms, and the item functions on an object's container.
#include "kinds_fake.h"
#include "world/SItem.h"
#include "world/SMapArea.h"
#include "world/kinds/SMapObjectDoor.h"
#include "world/kinds/SMapObjectWall.h"

#include <gtest/gtest.h>

namespace {

constexpr i32 kNone = -9999;  // no result

struct Row {
  i32 function;
  i32 argument;
  u8 state;
  u16 packed;
  i32 result;
  u8 stateAfter;
  u16 packedAfter;
  bool changed;
};

i32 Call(SMapObjectType* t, SMapArea* area, SMapObjectInst* inst, i32 function, SMapScriptArg first,
         SMapScriptArg second, bool& changed) {
  i32 result = kNone;
  changed = true;  // the call must clear it
  const i32 got = t->ScriptCall(area, inst, 3, 4, function, first, second, 2, result, changed);
  return got ? result : kNone;
}

void RunTable(SMapObjectType* type, const std::vector<Row>& rows) {
  for (const Row& r : rows) {
    SMapObjectInst inst;
    inst.state = r.state;
    inst.packed = i16(r.packed);
    bool changed = false;
    const i32 result = Call(type, nullptr, &inst, r.function, {r.argument, nullptr}, {}, changed);
    SCOPED_TRACE("function " + std::to_string(r.function) + " argument " + std::to_string(r.argument));
    EXPECT_EQ(result, r.result);
    EXPECT_EQ(inst.state, r.stateAfter);
    EXPECT_EQ(u16(inst.packed), r.packedAfter);
    EXPECT_EQ(changed, r.changed);
  }
}

TEST(KindsScript, StateFunctionsOnAnyKind) {
  KindFixture f;
  SMapObjectType* lever = f.Make("lever", 16, 4);
  RunTable(lever, {
                      {102, 0, 1, 0, 1, 1, 0, false},  // isopened: bit 1 clear
                      {102, 0, 3, 0, 0, 3, 0, false},
                      {103, 0, 3, 0, kNone, 1, 0, true},  // open also asks for the cell to be rebuilt
                      {104, 0, 1, 0, kNone, 3, 0, true},  // close
                      {105, 0, 1, 5 << 6, 50, 1, 5 << 6, false},
                      {106, 59, 1, 0, kNone, 1, 5 << 6, false},        // 59 -> 5
                      {106, 160, 1, 0xFFFF, kNone, 1, 0xFC3F, false},  // 16 & 15 = 0, other bits kept
                      {106, -15, 1, 0, kNone, 1, 15 << 6, false},      // -1 & 15
                      {107, 0, 1, 7 << 10, 70, 1, 7 << 10, false},
                      {108, 35, 1, 0, kNone, 1, 3 << 10, false},
                      {109, 0, 1, 0, 1, 1, 0, false},
                      {109, 0, 0, 0, 0, 0, 0, false},
                      {110, 0, 0, 0, kNone, 1, 0, true},
                      {111, 0, 3, 0, kNone, 2, 0, true},
                      {112, 0, 1, 0, 1, 1, 0, false},
                      {113, 0, 3, 0, kNone, 1, 0, true},
                      {114, 0, 1, 0, kNone, 3, 0, true},
                      {126, 0, 3, 0, 2, 3, 0, false},  // isdead gives the bit's value
                      {126, 0, 1, 0, 0, 1, 0, false},
                      {101, 0, 1, 0, kNone, 1, 0, false},  // outside the range
                      {120, 0, 1, 0, kNone, 1, 0, false},  // inside, not listed
                  });
}

TEST(KindsScript, ScriptStateByteAndNoInstance) {
  KindFixture f;
  SMapObjectType* t = f.Make("plain", 2);
  SMapObjectInst inst;
  bool changed = false;
  EXPECT_EQ(Call(t, nullptr, &inst, 116, {0x1FE, nullptr}, {}, changed), kNone);
  EXPECT_EQ(Call(t, nullptr, &inst, 115, {}, {}, changed), 0xFE);
  EXPECT_EQ(Call(t, nullptr, nullptr, 102, {}, {}, changed), kNone);
  EXPECT_FALSE(changed);
}

TEST(KindsScript, DoorFormsClampAndAnimate) {
  KindFixture f;
  auto* door = static_cast<SMapObjectDoor*>(f.Make("door", 22, 3));
  constexpr u8 kClosed = SMapObjectDoor::kClosed, kOpening = SMapObjectDoor::kOpening;
  constexpr u8 kClosing = SMapObjectDoor::kClosing;
  RunTable(door, {
                     {102, 0, 1 | kClosed, 0, 0, 1 | kClosed, 0, false},
                     {102, 0, 1 | kClosing, 0, 1, 1 | kClosing, 0, false},
                     {103, 0, 1 | kClosed, 0, kNone, 1 | kClosed | kOpening, 0, false},
                     {103, 0, 1 | kClosing, 0, kNone, 1 | kOpening, 0, false},  // interrupts the closing
                     {103, 0, 1, 0, kNone, 1, 0, false},                        // already open
                     {104, 0, 1, 0, kNone, 1 | kClosing, 0, false},
                     {104, 0, 1 | kClosed | kOpening, 0, kNone, 1 | kClosed | kClosing, 0, false},
                     {104, 0, 1 | kClosed, 0, kNone, 1 | kClosed, 0, false},
                     {106, 200, 1, 0, kNone, 1, 11 << 6, false},  // 110: above any spell's reach
                     {106, -5, 1, 0xFFFF, kNone, 1, 0xFC3F, false},
                     {105, 0, 1, 11 << 6, 110, 1, 11 << 6, false},
                     {108, 200, 1, 0, kNone, 1, 10 << 10, false},
                     {107, 0, 1, 10 << 10, 100, 1, 10 << 10, false},
                     {110, 0, 0, 0, kNone, 1, 0, true},  // others go to the base
                 });
}

TEST(KindsScript, DoorSoundsFollowDistance) {
  KindFixture f;
  auto* door = static_cast<SMapObjectDoor*>(f.Make("door", 20, 3));
  door->texts[1] = "bsnd_open";
  door->texts[2] = "bsnd_close";
  f.game.playerX = 3 + 4;
  f.game.playerY = 4 + 1;
  SMapObjectInst inst;
  inst.state = 1 | SMapObjectDoor::kClosed;
  bool changed = false;
  Call(door, nullptr, &inst, 103, {}, {}, changed);
  f.game.playerX = 30;
  Call(door, nullptr, &inst, 104, {}, {}, changed);
  EXPECT_EQ(f.game.Log(), "sound bsnd_open 5\nsound bsnd_close 1\n");
}

struct ContainerFixture : KindFixture {
  SItemTable items;
  SItemType* apple = nullptr;
  SMapArea area;
  SItemContainer* bag = nullptr;

  ContainerFixture() {
    apple = new SItemType;
    apple->name.Set("apple");
    apple->itemClass = 7;
    items.types.InsertByNameHash(apple);
    game.items = &items;
    bag = area.AddContainer();
  }
};

TEST(KindsScript, ItemFunctionsOnTheObjectsContainer) {
  ContainerFixture f;
  SMapObjectType* chest = f.Make("chest", 14);
  SMapObjectInst inst;
  inst.containerId = f.bag->id;
  bool changed = false;
  const SMapScriptArg apple{0, "apple"};
  EXPECT_EQ(Call(chest, &f.area, &inst, 139, apple, {2, nullptr}, changed), kNone);
  EXPECT_EQ(Call(chest, &f.area, &inst, 141, apple, {5, nullptr}, changed), 2);  // the amount is not used
  Call(chest, &f.area, &inst, 138, apple, {1, nullptr}, changed);
  Call(chest, &f.area, &inst, 140, apple, {2, nullptr}, changed);
  EXPECT_EQ(Call(chest, &f.area, &inst, 141, apple, {}, changed), 1);
  // A negative amount is no request for billions of items.
  Call(chest, &f.area, &inst, 139, apple, {-3, nullptr}, changed);
  EXPECT_EQ(f.bag->GetItemCount(), 1);
  EXPECT_EQ(Call(chest, &f.area, &inst, 141, {0, "pear"}, {}, changed), 0);
  EXPECT_FALSE(changed);

  // No container, no instance or no such container: nothing happens and the count is 0.
  SMapObjectInst bare;
  EXPECT_EQ(Call(chest, &f.area, &bare, 139, apple, {1, nullptr}, changed), kNone);
  EXPECT_EQ(Call(chest, &f.area, &bare, 141, apple, {}, changed), 0);
  EXPECT_EQ(Call(chest, &f.area, nullptr, 141, apple, {}, changed), 0);
  SMapObjectInst lost;
  lost.containerId = 77;
  EXPECT_EQ(Call(chest, &f.area, &lost, 141, apple, {}, changed), 0);
  EXPECT_EQ(f.bag->GetItemCount(), 1);
}

TEST(KindsScript, TextureDecorUsesThePlayersCellContainer) {
  ContainerFixture f;
  SMapObjectType* decor = f.Make("moss", 4, 1);
  SMapObjectInst inst;  // container id 0: the instance's own would be none
  f.game.cellBag = f.bag;
  bool changed = false;
  Call(decor, &f.area, &inst, 139, {0, "apple"}, {3, nullptr}, changed);
  EXPECT_EQ(Call(decor, &f.area, &inst, 141, {0, "apple"}, {}, changed), 3);
  EXPECT_EQ(Call(decor, &f.area, nullptr, 141, {0, "apple"}, {}, changed), 0);
  f.game.cellBag = nullptr;
  EXPECT_EQ(Call(decor, &f.area, &inst, 141, {0, "apple"}, {}, changed), 0);
  // Other ids are the base's.
  inst.state = 3;
  EXPECT_EQ(Call(decor, &f.area, &inst, 112, {}, {}, changed), 0);
}

}  // namespace
