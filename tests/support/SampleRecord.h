// The fields of a record as the type tables have them, in their transfer order: tag, name, aligned
// numbers, texts and a sized block. The stream tests and the stream fuzz target build their records on
// it. Header only: it needs the foundation library, which the support library does not link.
#pragma once
#include "foundation/SStream.h"

struct SampleRecordFields {
  SName name;
  u8 kind = 0;
  u16 count = 0;
  u32 flags = 0;
  i16 delta = 0;
  char* note = nullptr;  // heap copy
  SString label;
  const u8* blob = nullptr;
  u16 blobSize = 0;

  SampleRecordFields() = default;
  SampleRecordFields(const SampleRecordFields&) = delete;
  SampleRecordFields& operator=(const SampleRecordFields&) = delete;
  ~SampleRecordFields() { delete[] note; }

  void TransferFields(SStream& s) {
    s.SerializeMarker(42);
    name.Serialize(s);
    s.SerializeByte(kind);
    s.SerializeU16(count);
    s.SerializeU32(flags);
    s.SerializeI16(delta);
    s.SerializeStringAlloc(note);
    s.SerializeSString(label);
    s.SerializeSizedBlock(blob, blobSize);
  }
};
