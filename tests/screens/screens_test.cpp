// What the screen states hold before their screens exist: the inventory view's record of a saved game.
#include "foundation/SStream.h"
#include "screens/SStateInventory.h"

#include <gtest/gtest.h>

#include <vector>

// Record 3005: the marker, then eight u32 from a 4-byte boundary; what was saved reads back, and a record
// that ends early leaves the view as it was.
TEST(Screens, InventoryViewRecord) {
  SStateInventory saved;
  for (u32 i = 0; i < SStateInventory::kViewFields; ++i) saved.viewFields[i] = 0x01020304u * (i + 1);
  u8 buffer[64] = {};
  SStream out;
  out.OpenForWrite(buffer, sizeof buffer);
  saved.SerializeViewOnSave(out, 120);
  ASSERT_TRUE(out.Ok());
  ASSERT_EQ(out.BytesUsed(), 36u);
  EXPECT_EQ(buffer[0], 'X');
  EXPECT_EQ(buffer[4], 0x04);
  EXPECT_EQ(buffer[7], 0x01);

  SStateInventory loaded;
  SStream in;
  in.OpenForRead(buffer, 36);
  ASSERT_TRUE(loaded.SerializeViewOnLoad(in, 120));
  for (u32 i = 0; i < SStateInventory::kViewFields; ++i) EXPECT_EQ(loaded.viewFields[i], saved.viewFields[i]) << i;

  SStateInventory cut;
  SStream shortIn;
  shortIn.OpenForRead(buffer, 20);
  EXPECT_FALSE(cut.SerializeViewOnLoad(shortIn, 120));
  for (u32 field : cut.viewFields) EXPECT_EQ(field, 0u);
}
