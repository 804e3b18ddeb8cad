// Switches, traps, webs and passages: levers, secret and floor switches, traps, webs, holes, teleports,
// stairs and walls of force.
#pragma once
#include "world/SMapObjectType.h"

// State bit 1 (value 2) means "off" for the switches, "torn" for webs, "disarmed" for traps and
// "dispelled" for walls of force.
class SMapObjectLever : public SMapObjectType {
 public:
  void InitInstance(SMapObjectInst* inst) override;
  void BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
};

class SMapObjectSecretSwitch : public SMapObjectType {
 public:
  void InitInstance(SMapObjectInst* inst) override;
  void BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
};

class SMapObjectFloorSwitch : public SMapObjectType {
 public:
  void InitInstance(SMapObjectInst* inst) override;
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
};

// Spikes: packed bits 8..11 damage / 10, bits 12..15 the animation phase (0 at rest).
class SMapObjectTrap : public SMapObjectType {
 public:
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  void RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
  static u32 Phase(const SMapObjectInst* inst);
  static void SetPhase(SMapObjectInst* inst, u32 phase);
};

class SMapObjectWeb : public SMapObjectType {
 public:
  bool IsBlocking(SMapObjectInst* inst) override;
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
};

class SMapObjectHole : public SMapObjectType {
 public:
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
};

// Image 0 idle, images 1..A the animation, played forth and back.
class SMapObjectTeleport : public SMapObjectType {
 public:
  const char* GetAmbientSound(SMapObjectInst* inst, SMapCell* cell) override;
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  void RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
  // The image position shown at an animation counter (0 while idle, or when there are fewer than two
  // animation images: a single one would divide by zero).
  u32 FramePosition(const SMapObjectInst* inst, u32 counter) const;
};

class SMapObjectStair : public SMapObjectType {
 public:
  bool IsBlocking(SMapObjectInst*) override { return true; }
  const char* GetAmbientSound(SMapObjectInst* inst, SMapCell* cell) override;
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  void RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;

 private:
  void Torch(u16* record, u16& light);
};

class SMapObjectWallOfForce : public SMapObjectType {
 public:
  bool IsBlocking(SMapObjectInst* inst) override;
  const char* GetAmbientSound(SMapObjectInst* inst, SMapCell* cell) override;
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  void RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
};
