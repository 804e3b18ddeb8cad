// The faces of the world: picture names, and whether the player may choose each for a character.
#pragma once
#include "world/STypeTable.h"

struct SFace {
  SName name;  // the picture's name
  u8 selectable = 0;

  void Serialize(SStream& s, u32 version);
};

// One record: marker "%", u16 count, the face records (tag "&").
class SFaceTable : public SOneRecordTable<SFace> {
 public:
  SFaceTable() : SOneRecordTable<SFace>('%', false) {}
  SFace* FindByName(const char* name) const { return records.FindByName(name); }
  SPtrArray<SFace>& faces = records;
};
