// The world's named scripts, kept as compiled token streams that point into the kept archive records.
#pragma once
#include "world/STypeTable.h"

class SGameCore;
class SScriptContext;
class SScriptInterpreter;

struct SNamedScript {
  SName name;
  u8 flag = 5;
  const u8* program = nullptr;  // the program blob; null when the record has no script
  u16 length = 0;
  // Where the blob sits in its record as read (always even): token padding counts from the record's
  // start, so the interpreter needs it with the blob.
  u32 programOffset = 0;

  // The record (tag '('), both directions.
  void Serialize(SStream& s, u32 version);
  // The blob's string table offset, its string count and string n (null when out of range).
  bool HasProgram() const { return program && length >= 4; }
  const char* String(u32 n) const;
};

// A header record (marker "'", u16 count), then one record per script.
class SScriptTable : public SHeaderTable<SNamedScript> {
 public:
  SScriptTable() : SHeaderTable<SNamedScript>('\'') {}
  SNamedScript* Find(const char* name) const { return records.FindByName(name); }
  // Runs the named script from its start: -1 when no script has that name, 0 when the record holds no
  // script or its run failed ("Script error!" is then shown), 1 when it ran to its end or to a "return".
  // The caller sets the context's target and output first.
  i32 RunByName(const char* name);
  SPtrArray<SNamedScript>& scripts = records;

  // What runs the scripts, set at start-up.
  SGameCore* core = nullptr;
  SScriptInterpreter* interpreter = nullptr;
  SScriptContext* context = nullptr;
};
