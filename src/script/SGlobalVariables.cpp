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

namespace {

// A saved value: the kind byte, then for a kind other than 0 the text, else pad to 4 and the number.
// Kinds above 1 are texts as well.
void ReadValue(SStream& s, SScriptValue& value) {
  const u8 kind = s.Ok() && s.Remaining() ? s.Data()[s.Position()] : 0;
  if (kind <= SScriptValue::kString) {
    value.Serialize(s);
    return;
  }
  u8 skipped = 0;
  const char* text = nullptr;
  s.SerializeByte(skipped);
  s.SerializeString(text);
  value.SetText(text ? text : "");
}

}  // namespace

bool SGlobalVariables::WriteSaved(SStream& s, u32 /*version*/) {
  s.SerializeMarker(16);
  u16 n = records.Count();
  s.SerializeU16(n);
  for (SGlobalVariable* v : records) {
    const char* text = v->name.Text();
    s.SerializeString(text);
    v->value.Serialize(s);
  }
  return s.Ok();
}

bool SGlobalVariables::ReadSaved(SStream& s, u32 /*version*/) {
  s.SerializeMarker(16);
  u16 n = 0;
  s.SerializeU16(n);
  // Each entry takes at least its name's end and its kind byte.
  if (s.Failed() || u32(n) * 2 > s.Remaining()) return false;
  for (u32 i = 0; i < n && s.Ok(); ++i) {
    const char* text = nullptr;
    s.SerializeString(text);
    SGlobalVariable* v = text ? Find(text) : nullptr;
    SScriptValue dropped;
    ReadValue(s, v ? v->value : dropped);
  }
  return s.Ok();
}
