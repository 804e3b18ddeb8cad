#include "script/SGlobalVariables.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"
#include "foundation/StrUtil.h"

void SGlobalVariable::SetInt(i32 v) {
  type = 0;
  value = v;
  text.Format("%ld", v);
}

void SGlobalVariable::SetText(const char* t) {
  type = 1;
  text.Assign(t ? t : "");
  value = StrToInt(t);
}

void SGlobalVariable::Serialize(SStream& s, u32 version) {
  s.SerializeMarker(17);
  if (s.IsWriting()) {
    const char* n = name.Text();
    s.SerializeString(n);
  } else {
    const char* n = nullptr;
    s.SerializeString(n);
    name.Set(n);
  }
  if (version < kGlobalSecondTextBefore) s.SerializeString(secondText);
  s.SerializeByte(type);
  if (type != 0) {
    if (s.IsWriting()) {
      const char* t = text.CStr();
      s.SerializeString(t);
    } else {
      const char* t = nullptr;
      s.SerializeString(t);
      SetText(t);
      type = 1;
    }
  } else {
    s.Align(4);
    s.SerializeI32(value);
    if (s.IsReading()) SetInt(value);
  }
}

bool SGlobalVariables::SerializeBlock(SStream& s, u32 version) {
  s.SerializeMarker(16);
  return variables.SerializeNamed(s, [version](SGlobalVariable& v, SStream& st) { v.Serialize(st, version); });
}

bool SGlobalVariables::Load(SDatabase& db, u16& record, u32 version) {
  std::unique_ptr<SRecordData> r = db.ReadRecord(record);
  if (!r) return false;
  ++record;
  SStream s(version);
  s.OpenForRead(*r);
  bool ok = SerializeBlock(s, version);
  // Records read before a fault point into the record too: keep it either way.
  rawRecords.Add(r.release());
  return ok;
}

void SGlobalVariables::Clear() {
  variables.DeleteAll();
  rawRecords.DeleteAll();
}

i32 SGlobalVariables::GetValue(const char* name) const {
  SGlobalVariable* v = Find(name);
  return v ? v->value : 0;
}
