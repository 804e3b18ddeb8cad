// Reads arbitrary bytes as a saved game's global variables (record 3002) into a world with three
// variables: the world keeps exactly its variables, and what was read, written back, reads the same.
#include "common/Outcome.h"
#include "common/Check.h"
#include "foundation/SStream.h"
#include "script/SGlobalVariables.h"

#include <cstring>

namespace {

void World(SGlobalVariables& g) {
  for (const char* n : {"base_innkeepername", "base_questcounter", "base_gateopen"}) {
    auto* v = new SGlobalVariable;
    v->name.Set(n);
    g.records.Add(v);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  FuzzOutcome outcome;
  SGlobalVariables world;
  World(world);
  SStream in(116);
  in.OpenForRead(data, u32(size));
  const bool ok = world.ReadSaved(in, 116);
  CHECK(world.records.Count() == 3);
  if (!ok) return 0;
  SStream out(116);
  if (!out.OpenForWriteOwned(u32(size) * 2 + 4096)) return 0;
  CHECK(world.WriteSaved(out, 116));
  SGlobalVariables copy;
  World(copy);
  SStream back(116);
  outcome.Add(out.Data(), out.BytesUsed());
  back.OpenForRead(out.Data(), out.BytesUsed());
  CHECK(copy.ReadSaved(back, 116));
  for (u32 i = 0; i < 3; ++i) {
    const SScriptValue& a = world.records[i32(i)]->value;
    const SScriptValue& b = copy.records[i32(i)]->value;
    CHECK(a.Int() == b.Int() && std::strcmp(a.Text(), b.Text()) == 0);
  }
  return 0;
}
