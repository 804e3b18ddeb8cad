#include "screens/SStateInventory.h"

#include "foundation/SStream.h"

void SStateInventory::SerializeViewOnSave(SStream& s, u32 /*version*/) {
  s.SerializeMarker('X');
  for (u32& field : viewFields) s.SerializeU32(field);
}

bool SStateInventory::SerializeViewOnLoad(SStream& s, u32 /*version*/) {
  // Read into a copy: a record that ends early leaves the view as it was.
  u32 read[kViewFields] = {};
  s.SerializeMarker('X');
  for (u32& field : read) s.SerializeU32(field);
  if (s.Failed()) return false;
  for (u32 i = 0; i < kViewFields; ++i) viewFields[i] = read[i];
  return true;
}
