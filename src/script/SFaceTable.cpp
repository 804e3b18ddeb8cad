#include "script/SFaceTable.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"

void SFace::Serialize(SStream& s, u32 version) {
  s.SerializeMarker('&');
  if (s.IsWriting()) {
    const char* n = name.Text();
    s.SerializeString(n);
  } else {
    const char* n = nullptr;
    s.SerializeString(n);
    name.Set(n);
  }
  if (version > 10) s.SerializeByte(selectable);
}

bool SFaceTable::SerializeBlock(SStream& s, u32 version) {
  s.SerializeMarker('%');
  return faces.SerializeNamed(s, [version](SFace& f, SStream& st) { f.Serialize(st, version); });
}

bool SFaceTable::Load(SDatabase& db, u16& record, u32 version) {
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

void SFaceTable::Clear() {
  faces.DeleteAll();
  rawRecords.DeleteAll();
}
