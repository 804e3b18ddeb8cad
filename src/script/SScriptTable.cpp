#include "script/SScriptTable.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"
#include "script/SScriptInterpreter.h"

#include <new>

void SNamedScript::Serialize(SStream& s, u32 version) {
  s.SerializeMarker('(');
  s.SerializeName(name);
  if (version > 51) s.SerializeByte(flag);
  s.SerializeSizedBlock(program, length);
  if (s.IsReading()) {
    if (length == 0) program = nullptr;
    programOffset = program ? u32(program - s.Data()) : 0;
  }
}

const char* SNamedScript::String(u32 n) const {
  if (!HasProgram()) return nullptr;
  u32 offset = u32(program[2]) | u32(program[3]) << 8;
  if (offset + 2 > length) return nullptr;
  u32 count = u32(program[offset]) | u32(program[offset + 1]) << 8;
  if (n >= count) return nullptr;
  u32 at = offset + 2;
  for (u32 i = 0; at < length; ++at) {
    if (i == n) {
      // The string must end inside the blob.
      for (u32 end = at; end < length; ++end)
        if (program[end] == 0) return reinterpret_cast<const char*>(program + at);
      return nullptr;
    }
    if (program[at] == 0) ++i;
  }
  return nullptr;
}

i32 SScriptTable::RunByName(const char* name) {
  const SNamedScript* script = Find(name);
  if (!script) return -1;
  if (!script->HasProgram() || !interpreter) return 0;
  if (!interpreter->LoadProgram(script->program, script->length, script->programOffset)) {
    // A malformed blob fails its run like any other error.
    interpreter->Run();
    return 0;
  }
  return interpreter->Run() ? 1 : 0;
}
