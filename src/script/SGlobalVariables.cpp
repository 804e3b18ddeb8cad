#include "script/SGlobalVariables.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"

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
  value.Serialize(s);
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
  return v ? v->value.Int() : 0;
}
