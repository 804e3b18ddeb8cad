#include "script/SGlobalVariables.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"

void SGlobalVariable::Serialize(SStream& s, u32 version) {
  s.SerializeMarker(17);
  s.SerializeName(name);
  if (version < kGlobalSecondTextBefore) s.SerializeString(secondText);
  value.Serialize(s);
}

i32 SGlobalVariables::GetValue(const char* name) const {
  SGlobalVariable* v = Find(name);
  return v ? v->value.Int() : 0;
}
