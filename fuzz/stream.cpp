// Reads arbitrary bytes through a representative record reader: a tagged record with a name, aligned
// numbers, texts, a sized block, a list of named sub-records, a text list and script values.
#include "foundation/SPtrArray.h"
#include "foundation/SStream.h"
#include "foundation/SStringList.h"
#include "script/SScriptValue.h"

#include <cstring>
#include <memory>

namespace {

struct Entry {
  SName name;
  i32 value = 0;
  SScriptValue script;
};

struct Record {
  SName name;
  u8 kind = 0;
  u16 count = 0;
  u32 flags = 0;
  i16 delta = 0;
  char* note = nullptr;
  SString label;
  const u8* blob = nullptr;
  u16 blobSize = 0;
  SPtrArray<Entry> entries;
  SStringList texts;
  ~Record() { delete[] note; }

  bool Transfer(SStream& s) {
    s.SerializeMarker(42);
    name.Serialize(s);
    s.SerializeByte(kind);
    s.SerializeU16(count);
    s.SerializeU32(flags);
    s.SerializeI16(delta);
    s.SerializeStringAlloc(note);
    s.SerializeSString(label);
    s.SerializeSizedBlock(blob, blobSize);
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
  }
  return 0;
}
