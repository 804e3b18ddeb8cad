// Doors and city doors: the door kinds (classes 20 and 22) and the city door (11).
#pragma once
#include "world/SMapArea.h"
#include "world/SMapObjectType.h"

// A door in a cell between two walls: opens and closes over 64 steps, may be locked and trapped, reacts to
// keys, lock picks and the unlock and disarm spells, and may carry a torch (its linked type).
class SMapObjectDoor : public SMapObjectType {
 public:
  static constexpr u8 kClosed = 2, kOpening = 32, kClosing = 64, kHighlight = 128;

  bool IsBlocking(SMapObjectInst* inst) override;
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  void RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  const char* GetAmbientSound(SMapObjectInst* inst, SMapCell* cell) override;
  void AnimateTick(SMapObjectInst* inst, i32 x, i32 y, SMapCell* cell, u16* record, u16& light) override;
  i32 ScriptCall(SMapArea* area, SMapObjectInst* inst, i32 x, i32 y, i32 function, const SMapScriptArg& first,
                 const SMapScriptArg& second, i32 argCount, i32& result, bool& changed) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;

  void StartOpening(SMapArea* area, SMapObjectInst* inst, i32 x, i32 y);
  void StartClosing(SMapArea* area, SMapObjectInst* inst, i32 x, i32 y);
  void TryOpen(SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed);
  void OnSpell(SMapArea* area, SMapObjectInst* inst, SMapCell* cell);
  // Plays a sound of the door at the cell (x, y): volume 10 minus the player's distance in cells, 1 to 10.
  void PlaySoundAt(const char* sound, i32 x, i32 y);

  static u32 LockLevel(const SMapObjectInst* inst) { return ((u16(inst->packed) >> 6) & 15) * 10; }
  static u32 TrapLevel(const SMapObjectInst* inst) { return ((u16(inst->packed) >> 10) & 15) * 10; }

 private:
  void ShowHandle(u16* record, u32 method);
  bool TorchShown() const;
  void TorchWords(u16* record, bool inside, u16& light, i32 flickerRange);
};

// A door painted on a town wall: using it enters the service of the building behind it.
class SMapObjectCityDoor : public SMapObjectType {
 public:
  void BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
  void BuildSideLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u32 side, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
};
