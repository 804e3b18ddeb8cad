// Reads arbitrary bytes as one record of the item table (pictures, first-person pictures, picture records,
// the type header with its types below version 48, or one item type), a container record or a saved
// container, at a data version taken from the first byte; then resolves, lists, spawns, prices and
// describes whatever was read.
#include "common/Outcome.h"
#include "common/RulesRig.h"
#include "foundation/SRandom.h"
#include "world/SImageCache.h"
#include "world/SItemTable.h"

#include <new>

namespace {
// Saved positions name the table's types in order; others name nothing.
struct Names : SItemNames {
  explicit Names(SItemTable& t) : table(t) {}
  u16 IndexOf(const SItemType* type) override { return u16(table.types.IndexOf(type)); }
  SItemType* TypeAt(u16 index) override { return table.types.At(index); }
  SItemTable& table;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size < 2) return 0;
  FuzzOutcome outcome;
  SWorldRules* rules = &Rules();
  static SImageCache* images = [] {
    auto* c = new SImageCache;
    c->Init();
    return c;
  }();
  const u32 version = data[0];
  const u8 form = data[1] % 7;
  SStream s(version);
  s.OpenForRead(data + 2, u32(size - 2));

  SItemTable table;
  SItemContainer container;
  switch (form) {
    case 0: table.SerializePictures(s, version); break;
    case 1: table.SerializeFpsItems(s, version); break;
    case 2: table.SerializeTextPictures(s, version); break;
    case 3: table.SerializeTypeHeader(s, version); break;
    case 4: {
      auto* t = new (std::nothrow) SItemType;
      if (!t) return 0;
      t->Serialize(s, version);
      t->table = &table;
      if (s.Failed() || table.types.InsertByNameHash(t) <= 0) delete t;
      break;
    }
    case 5: container.Serialize(s, version); break;
    default: {
      // A saved inventory over a small table of types.
      static SItemTable* known = [] {
        auto* k = new SItemTable;
        for (u8 c = 0; c < 17; ++c) {
          auto* t = new SItemType;
          t->itemClass = c;
          t->subtype = u8(c % 6);
          t->maxCondition = u16(c * 100);
          t->level = u8(c % 7);
          k->types.Add(t);
        }
        return k;
      }();
      Names names(*known);
      i32 positions[kEquipmentSlots];
      SItem* equipped[kEquipmentSlots] = {};
      for (u32 i = 0; i < kEquipmentSlots; ++i) positions[i] = i32(i) - 1;
      container.ReadState(s, names, positions, equipped);
      SString text;
      for (SItem* item : container.items) {
        item->type->Describe(*rules, item, text, true);
        outcome.Add(text.CStr(), text.Length());
        outcome.AddValue(u64(item->type->GetValue(*rules, item)));
      }
      return 0;
    }
  }

  table.ResolveNames(*images, images->ImageFlags());
  SRandom random;
  random.Seed(nullptr, 1);
  for (SItemTextPicture* p : table.textPictures) table.FindPicture(p->text2);
  for (u32 level = 0; level < 8; ++level) {
    table.RandomTypeOfLevel(level, random);
    for (u32 c = 0; c < 18; ++c) table.RandomTypeOfLevelAndClass(level, c, random);
  }
  SString text;
  for (SItemType* t : table.types) {
    SItem* item = t->CreateInstance(-1, random);
    if (!item) continue;
    t->GetValue(*rules, item);
    t->GetDisplayName(*rules, item, text, false);
    t->Describe(*rules, item, text, true);
    outcome.Add(text.CStr(), text.Length());
    t->Describe(*rules, nullptr, text, false);
    outcome.Add(text.CStr(), text.Length());
    i32 lo = 0, hi = 0;
    t->ComputeDamageRange(*rules, lo, hi, item->count, true);
    t->IsBroken(*item);
    t->ResetCharges(*item);
    delete item;
  }
  // Spawn entries name no types here: level-only entries draw from the (possibly empty) lists.
  SPtrArray<SItem> out(true, 4);
  if (container.GetEntryCount() <= 64) table.CreateItemsFromList(container.entries, out, random);
  return 0;
}
