// Opens arbitrary bytes as a record-database file and reads every record.
#include "common/Outcome.h"
#include "foundation/SDatabase.h"
#include "foundation/SStream.h"
#include "os/headless/MemoryFiles.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  static Os::MemoryFileSystem files;
  FuzzOutcome outcome;
  Os::InstallFiles(&files);
  files.Put("/fuzz/Input.pdb", std::vector<u8>(data, data + size));
  // Take the file's own creator so that the checks past it are reached too.
  char creator[5] = "DkMr";
  if (size >= 68) std::memcpy(creator, data + 64, 4);
  SDatabase db;
  if (db.Open("/fuzz/Input", creator)) {
    for (u32 i = 0; i < db.RecordCount(); ++i) {
      auto record = db.ReadRecord(db.Entries()[i].id);
      if (!record) continue;
      outcome.Add(record->data, record->size);
      SStream s;
      s.OpenForRead(*record);
      u8 tag = 0;
      u16 count = 0;
      s.SerializeByte(tag);
      s.SerializeU16(count);
      const char* text = nullptr;
      for (u32 k = 0; k < count && s.Ok(); ++k) s.SerializeString(text);
      outcome.AddValue(s.BytesUsed());
    }
  }
  Os::InstallFiles(nullptr);
  return 0;
}
