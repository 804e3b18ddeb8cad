// What every kind shares: the script functions on an object's state and container, travel to a target
// text, the two placement rules of wall sides, and the night-only light.
#include "foundation/SString.h"
#include "world/SImageCache.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SMapObjectType.h"
#include "world/kinds/SMapKindServices.h"

#include <algorithm>

namespace {

// Division rounding toward minus infinity (the placement rules floor negative quotients too).
i32 FloorDiv(i32 a, i32 b) {
  i32 q = a / b;
  if ((a % b) != 0 && ((a < 0) != (b < 0))) --q;
  return q;
}

// One 5-bit field of a placement word. A narrow or missing image gives -1 (and 32 - u can give 33): kept
// to its 5 bits, so it never spills into the next field or the overlay bit 15.
u32 Field(i32 value) { return u32(value) & 31u; }

u16 PackedField(i16 packed, u32 shift) { return u16((u16(packed) >> shift) & 15); }
i16 WithPackedField(i16 packed, u32 shift, i32 value) {
  u16 p = u16(packed);
  p = u16((p & ~(15u << shift)) | ((u32(value) & 15u) << shift));
  return i16(p);
}

}  // namespace

SMapKindServices* SMapObjectType::Services() const { return table ? table->services : nullptr; }

u16 SMapObjectType::PaletteId(const SPaletteEntry* entry) { return entry ? entry->slot : 0; }

u32 SMapObjectType::NamedImageCount() const {
  u32 n = 0;
  for (u32 i = 0; i < imageNames.Count(); ++i) {
    const char* t = imageNames.Text(i32(i));
    if (t && *t) ++n;
  }
  return n;
}

bool SMapObjectType::LitNow() const {
  SMapKindServices* g = Services();
  return !g || !g->HasDayNightCycle() || g->IsNight();
}

void SMapObjectType::Flicker(u16& light, u16 raised) const {
  SMapKindServices* g = Services();
  if (light == 256) light = raised;
  light = u16(light + (16 << (g ? g->Random(3) : 0)));
}

void SMapObjectType::Travel(SMapObjectInst* inst, i32 kind, i32 flag) const {
  SMapKindServices* g = Services();
  if (!g || !inst || !inst->targetText || inst->targetText[0] == '#') return;
  SString text(inst->targetText);
  const i32 hash = text.Find("#");
  SString position = hash < 0 ? text : text.Left(u32(hash));
  SString question = hash < 0 ? SString("") : text.Right(text.Length() - u32(hash) - 1);
  if (position.IsEmpty()) return;
  if (question.IsEmpty())
    g->TeleportToPosition(position.CStr(), kind);
  else
    g->QueueMapTransition(position.CStr(), question.CStr(), kind, flag);
}

u16 SMapObjectType::WallPlacement(u32 sidePrime, u16 image, i32 x, i32 y) const {
  i32 width = 0, height = 0;
  if (SMapKindServices* g = Services(); g && image) g->ImageSize(image, width, height);
  i32 u;
  if (width >= 336 || x == 16) {
    u = 16;
  } else {
    const i32 w = width * 32 / 240;
    u = FloorDiv(w - 1, 2) + FloorDiv((33 - w) * x, 32);
  }
  i32 v = y;
  if (height < 240 && y != 1) v = FloorDiv((32 - height * 32 / 240) * y, 32) + 1;
  u32 word = 0;
  switch (sidePrime & 3) {
    case 0: word = Field(u) | 1u << 5 | Field(v) << 10; break;
    case 1: word = 31u | Field(u) << 5 | Field(v) << 10; break;
    case 2: word = Field(32 - u) | 31u << 5 | Field(v) << 10; break;
    default: word = 1u | Field(32 - u) << 5 | Field(v) << 10; break;
  }
  return u16(word);
}

u16 SMapObjectType::FloorPlacement(u32 sidePrime, u16 image, u16 overlay, i32 x, i32 y) const {
  i32 width = 0, height = 0;
  if (SMapKindServices* g = Services(); g && image) g->ImageSize(image, width, height);
  if (width >= 336) return 1057;
  const i32 w = width * 32 / 240;
  const i32 u = FloorDiv(w - 1, 2) + FloorDiv((33 - w) * x, 32);
  const i32 v = overlay ? y : FloorDiv(w - 1, 2) + FloorDiv((33 - w) * y, 32);
  u32 word = 0;
  switch (sidePrime & 3) {
    case 0: word = Field(u) | Field(v) << 5; break;
    case 1: word = Field(32 - v) | Field(u) << 5; break;
    case 2: word = Field(32 - u) | Field(32 - v) << 5; break;
    default: word = Field(v) | Field(32 - u) << 5; break;
  }
  return u16(word | 0x400);
}

i32 SMapObjectType::ContainerScriptCall(SMapKindServices* g, SItemContainer* bag, i32 function,
                                        const SMapScriptArg& first, const SMapScriptArg& second, i32& result) {
  SItemType* type = nullptr;
  if (g && bag && first.text && g->Items()) type = g->Items()->FindType(first.text);
  if (!type) {
    if (function != 141) return 0;
    result = 0;
    return 1;
  }
  switch (function) {
    case 138:
    case 139: {
      // A count below 1 adds nothing (a negative one would be read as billions), and one item is made per
      // unit: no more than the list can still take.
      const u32 room = SPtrArray<SItem>::kMaxCount - bag->GetItemCount();
      const u32 n = second.number > 0 ? std::min(u32(second.number), room) : 0;
      if (n) {
        bag->items.Reserve(n);  // one block, not a copy per few items
        bag->AddItemsOfType(type, n, g->Rng());
      }
      return 0;
    }
    case 140:
      if (second.number > 0) bag->RemoveItemsOfType(type, u32(second.number));
      return 0;
    default: result = i32(bag->CountItemsOfType(type)); return 1;
  }
}

i32 SMapObjectType::ScriptCall(SMapArea* area, SMapObjectInst* inst, i32 x, i32 y, i32 function,
                               const SMapScriptArg& first, const SMapScriptArg& second, i32 argCount, i32& result,
                               bool& changed) {
  (void)x;
  (void)y;
  (void)argCount;
  changed = false;
  if (function >= 138 && function <= 141) {
    SItemContainer* bag = inst && inst->containerId && area ? area->FindContainerById(inst->containerId) : nullptr;
    return ContainerScriptCall(Services(), bag, function, first, second, result);
  }
  if (!inst) return 0;
  switch (function) {
    case 102:  // isopened
    case 112:  // ison
      result = (inst->state & 2) ? 0 : 1;
      return 1;
    case 103:  // open: the look of most kinds depends on this bit, so the cell is rebuilt too
    case 113:  // seton
      inst->state = u8(inst->state & ~2);
      changed = true;
      return 0;
    case 104:  // close
    case 114:  // setoff
      inst->state = u8(inst->state | 2);
      changed = true;
      return 0;
    case 105: result = PackedField(inst->packed, 6) * 10; return 1;
    case 106: inst->packed = WithPackedField(inst->packed, 6, first.number / 10); return 0;
    case 107: result = PackedField(inst->packed, 10) * 10; return 1;
    case 108: inst->packed = WithPackedField(inst->packed, 10, first.number / 10); return 0;
    case 109: result = (inst->state & 1) ? 1 : 0; return 1;
    case 110:
      inst->state = u8(inst->state | 1);
      changed = true;
      return 0;
    case 111:
      inst->state = u8(inst->state & ~1);
      changed = true;
      return 0;
    case 115: result = u8(inst->scriptState); return 1;
    case 116: inst->scriptState = i8(u8(first.number & 0xFF)); return 0;
    case 126: result = inst->state & 2; return 1;
    default: return 0;
  }
}
