// The world's named script global variables, read from the world base (block marker 16, records tagged
// 17); a value is an integer or a text, in the script value's stored form.
#pragma once
#include "script/SScriptValue.h"
#include "world/STypeTable.h"

struct SGlobalVariable {
  SName name;
  const char* secondText = nullptr;  // carried by old data only
  SScriptValue value;

  void Serialize(SStream& s, u32 version);
};

// Data below this version carries a second text after each variable's name.
inline constexpr u32 kGlobalSecondTextBefore = 52;

// One record: marker 16, u16 count, the variables (tag 17).
class SGlobalVariables : public SOneRecordTable<SGlobalVariable> {
 public:
  SGlobalVariables() : SOneRecordTable<SGlobalVariable>(16, false) {}
  SGlobalVariable* Find(const char* name) const { return records.FindByName(name); }
  // The integer of the named variable; 0 when there is none.
  i32 GetValue(const char* name) const;

  SPtrArray<SGlobalVariable>& variables = records;
};
