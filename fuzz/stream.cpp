// Reads arbitrary bytes through a representative record reader: a tagged record with a name, aligned
// numbers, texts, a sized block, a list of named sub-records, a text list and script values.
#include "common/Outcome.h"
#include "foundation/SPtrArray.h"
#include "foundation/SStream.h"
#include "foundation/SStringList.h"
#include "script/SScriptValue.h"

#include "../tests/support/SampleRecord.h"

#include <cstring>
#include <memory>

namespace {

struct Entry {
  SName name;
  i32 value = 0;
  SScriptValue script;
};

struct Record : SampleRecordFields {
  SPtrArray<Entry> entries;
  SStringList texts;

  bool Transfer(SStream& s) {
    TransferFields(s);
    entries.SerializeNamed(s, [](Entry& e, SStream& st) {
      st.SerializeMarker(5);
      e.name.Serialize(st);
      st.SerializeI32(e.value);
      st.SerializeScriptValue(e.script);
    });
    texts.SerializeTexts(s);
    if (s.Version() >= 3) s.SkipThumbnail();
    return s.Ok();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size < 1) return 0;
  FuzzOutcome outcome;
  // An exact-size copy: any read past the end is a finding. The first byte picks the data version.
  std::unique_ptr<u8[]> copy(new u8[size - 1 ? size - 1 : 1]);
  std::memcpy(copy.get(), data + 1, size - 1);
  Record record;
  SStream s(data[0] & 3);
  s.OpenForRead(copy.get(), u32(size - 1));
  if (record.Transfer(s)) {
    // What was read can be written back.
    SStream out(s.Version());
    out.OpenForWriteOwned(u32(size - 1) * 4 + 64);
    record.Transfer(out);
    if (out.Failed()) __builtin_trap();
    outcome.Add(out.Data(), out.BytesUsed());
  }
  return 0;
}
