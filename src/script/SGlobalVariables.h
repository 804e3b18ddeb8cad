// The world's named script global variables, read from the world base (block marker 16, records tagged
// 17); a value is an integer or a text, in the script value's stored form.
#pragma once
#include "foundation/SPtrArray.h"
#include "foundation/SString.h"
#include "script/SScriptValue.h"
#include "world/SWorldTable.h"

struct SGlobalVariable {
  SName name;
  const char* secondText = nullptr;  // carried by old data only
  SScriptValue value;

  void Serialize(SStream& s, u32 version);
};

// Data below this version carries a second text after each variable's name.
inline constexpr u32 kGlobalSecondTextBefore = 52;

class SGlobalVariables : public SWorldTable {
 public:
  SGlobalVariables() : variables(true, 4), rawRecords(true, 4) {}
  bool Load(SDatabase& db, u16& record, u32 version) override;
  void Clear() override;
  // The whole block, both directions (marker 16, count, records).
  bool SerializeBlock(SStream& s, u32 version);
  SGlobalVariable* Find(const char* name) const { return variables.FindByName(name); }
  // The integer of the named variable; 0 when there is none.
  i32 GetValue(const char* name) const;

  SPtrArray<SGlobalVariable> variables;
  SPtrArray<SRecordData> rawRecords;
};
