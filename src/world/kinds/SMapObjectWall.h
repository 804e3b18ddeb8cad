// Walls, blocks, surfaces and wall-mounted objects.
#pragma once
#include "world/SMapObjectType.h"

class SMapObjectTexture : public SMapObjectType {
 public:
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  void BuildCellLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u16* record, u16& light) override;
};

class SMapObjectTextureDecor : public SMapObjectType {
 public:
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  void RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  const char* GetAmbientSound(SMapObjectInst* inst, SMapCell* cell) override;
  // The item functions work on the container of the player's cell.
  i32 ScriptCall(SMapArea* area, SMapObjectInst* inst, i32 x, i32 y, i32 function, const SMapScriptArg& first,
                 const SMapScriptArg& second, i32 argCount, i32& result, bool& changed) override;
};

class SMapObjectWall : public SMapObjectType {
 public:
  bool IsBlocking(SMapObjectInst* inst) override;
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  void BuildCellLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u16* record, u16& light) override;
};

class SMapObjectWallLine : public SMapObjectType {
 public:
  void BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
  void BuildSideLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u32 side, u16* record, u16& light) override;
};

class SMapObjectBlock : public SMapObjectType {
 public:
  void InitInstance(SMapObjectInst* inst) override;
  bool IsBlocking(SMapObjectInst* inst) override;
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  void RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  const char* GetAmbientSound(SMapObjectInst* inst, SMapCell* cell) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
};

class SMapObjectBlockAnim : public SMapObjectType {
 public:
  bool IsBlocking(SMapObjectInst* inst) override;
  void BuildCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  void RefreshCell(SMapObjectInst* inst, SMapCell* cell, u16* record, u16& light) override;
  const char* GetAmbientSound(SMapObjectInst* inst, SMapCell* cell) override;
};

class SMapObjectWallDecor : public SMapObjectType {
 public:
  void InitInstance(SMapObjectInst* inst) override;
  void BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
  void BuildSideLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u32 side, u16* record, u16& light) override;
  void LightSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
  void LightSideLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u32 side, u16* record, u16& light) override;
  const char* GetAmbientSound(SMapObjectInst* inst, SMapCell* cell) override;
  const char* GetAmbientSoundLayer2(SMapObjectInst* inst, SMapCellFaces* cell) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;

 protected:
  bool LightOff(const SMapObjectInst* inst) const;
  const char* Ambient(const SMapObjectInst* inst) const;
  void Side(u32 side, u16 palette, u16* record, bool pick);
  void Light(u32 side, u16 palette, u16* record, u16& light);
};

class SMapObjectWallFloorDecor : public SMapObjectWallDecor {
 public:
  void BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
  void BuildSideLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u32 side, u16* record, u16& light) override;
  void LightSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
  void LightSideLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u32 side, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;

 private:
  void FloorSide(u32 side, u16 palette, u16* record, bool pick);
  void FloorLight(u32 side, u16 palette, u16* record, u16& light);
};

class SMapObjectCityWindow : public SMapObjectType {
 public:
  void BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
  void BuildSideLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u32 side, u16* record, u16& light) override;
  void LightSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
  void LightSideLayer2(SMapObjectInst* inst, SMapCellFaces* cell, u32 side, u16* record, u16& light) override;

 private:
  void Side(u32 side, u16 palette, u16* record, bool pick);
  void Light(const SMapObjectInst* inst, u32 side, u16 palette, u16* record, u16& light, u16 raised);
};

class SMapObjectNpc : public SMapObjectType {
 public:
  void BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
  // Attacking peaceful people: the message, the crime value and the message line.
  void Crime();
};

class SMapObjectContainer : public SMapObjectType {
 public:
  void BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
};

class SMapObjectShelf : public SMapObjectType {
 public:
  void BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
  i32 OnEvent(u16 event, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, i32 x, i32 y, bool& changed) override;
};

class SMapObjectSign : public SMapObjectType {
 public:
  void BuildSide(SMapObjectInst* inst, SMapCell* cell, u32 side, u16* record, u16& light) override;
};
