// Reads arbitrary bytes as a saved game's name tables (record 3006), resolved against a small item table:
// a table that is read names only what its counter covers, and written back reads the same again.
#include "common/Outcome.h"
#include "common/Check.h"
#include "foundation/SStream.h"
#include "player/SSaveGame.h"
#include "world/SItemTable.h"

#include <cstring>

namespace {

SItemTable& Items() {
  static SItemTable* items = [] {
    auto* t = new SItemTable;
    for (const char* n : {"base_weap_shortswordcheap", "base_food_bread", "base_boots_fur"}) {
      auto* type = new SItemType;
      type->name.Set(n);
      t->types.Add(type);
    }
    return t;
  }();
  return *items;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  FuzzOutcome outcome;
  SSaveGame saves;
  saves.Bind(nullptr, &Items(), nullptr, nullptr);
  SStream in(116);
  in.OpenForRead(data, u32(size));
  if (!saves.ReadNameTables(in)) {
    CHECK(saves.ItemTypeAt(1) == nullptr);
    return 0;
  }
  CHECK(saves.ItemTypeAt(0) == nullptr && saves.ItemTypeAt(0xFFFF) == nullptr);
  for (u32 i = 0; i < 4; ++i) {
    const SItemType* t = saves.ItemTypeAt(u16(i));
    CHECK(!t || Items().types.IndexOf(t) >= 0);
  }
  SStream out(116);
  if (!out.OpenForWriteOwned(u32(size) * 2 + 64)) return 0;
  saves.WriteNameTables(out);
  CHECK(out.Ok());
  outcome.Add(out.Data(), out.BytesUsed());
  SSaveGame again;
  again.Bind(nullptr, &Items(), nullptr, nullptr);
  SStream back(116);
  back.OpenForRead(out.Data(), out.BytesUsed());
  CHECK(again.ReadNameTables(back));
  for (u32 i = 0; i < 4; ++i) CHECK(again.ItemTypeAt(u16(i)) == saves.ItemTypeAt(u16(i)));
  SStream twice(116);
  if (!twice.OpenForWriteOwned(u32(size) * 2 + 64)) return 0;
  again.WriteNameTables(twice);
  CHECK(twice.BytesUsed() == out.BytesUsed() && std::memcmp(twice.Data(), out.Data(), out.BytesUsed()) == 0);
  return 0;
}
