// The faces of the world: picture names, and whether the player may choose each for a character.
#pragma once
#include "foundation/SPtrArray.h"
#include "world/SWorldTable.h"

struct SFace {
  SName name;  // the picture's name
  u8 selectable = 0;

  void Serialize(SStream& s, u32 version);
};

class SFaceTable : public SWorldTable {
 public:
  SFaceTable() : faces(true, 4), rawRecords(true, 4) {}
  // One record: marker "%", u16 count, the face records (tag "&").
  bool Load(SDatabase& db, u16& record, u32 version) override;
  void Clear() override;
  bool SerializeBlock(SStream& s, u32 version);
  SFace* FindByName(const char* name) const { return faces.FindByName(name); }

  SPtrArray<SFace> faces;
  SPtrArray<SRecordData> rawRecords;
};
