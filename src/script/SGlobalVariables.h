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

  // A saved game's record 3002: tag 16, pad to 2, u16 count, then each variable's name and value in
  // table order.
  bool WriteSaved(SStream& s, u32 version);
  // Restores the values of the variables the record names; a variable this world does not define is read
  // and dropped, and those the record does not name keep their values. False when the record is damaged
  // (a count that cannot fit it, a text without its end, a value cut short).
  bool ReadSaved(SStream& s, u32 version);

  SPtrArray<SGlobalVariable>& variables = records;
};
