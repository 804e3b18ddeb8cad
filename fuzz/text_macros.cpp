// Arbitrary texts expanded with arbitrary script globals: the input is fields split by byte 0, the first
// byte's low bits the number of globals; then each global's name and text, the player's name, the speaker's
// name, and the text. The expansion ends, and the text never grows past what a string holds.
#include "common/Outcome.h"
#include "core/SGameCore.h"
#include "script/SScriptContext.h"
#include "world/SPeopleTables.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Rig {
  Rig() { context.Bind(&core); }
  SGameCore core;
  SScriptContext context;
  SNpc speaker;
};

Rig& TheRig() {
  static Rig* rig = new Rig;
  return *rig;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size < 1 || size > 200000) return 0;
  FuzzOutcome outcome;
  Rig& rig = TheRig();
  std::vector<std::string> fields;
  std::string field;
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == 0) {
      fields.push_back(field);
      field.clear();
    } else {
      field += char(data[i]);
    }
  }
  fields.push_back(field);
  auto next = [&fields, at = size_t(0)]() mutable { return at < fields.size() ? fields[at++] : std::string(); };

  SGlobalVariables& globals = rig.core.world.globals;
  globals.variables.DeleteAll();
  for (u32 n = data[0] & 7; n > 0; --n) {
    auto* v = new SGlobalVariable;
    v->name.SetOwns();
    v->name.Set(next().c_str());
    v->value.SetText(next().c_str());
    if (!globals.variables.InsertByNameHash(v)) delete v;
  }
  rig.core.player.name.Assign(next().c_str());
  rig.core.player.money = u32(data[0]) * 123457u;
  rig.core.player.crime = data[0];
  const std::string speaker = next();
  rig.speaker.texts[0] = speaker.c_str();
  rig.context.speaker = data[0] & 8 ? &rig.speaker : nullptr;

  SString text(next().c_str());
  rig.context.ExpandTextMacros(text);
  outcome.Add(text.CStr(), text.Length());
  if (text.Length() > SString::kMaxCapacity - 1) __builtin_trap();
  rig.speaker.texts[0] = nullptr;
  return 0;
}
