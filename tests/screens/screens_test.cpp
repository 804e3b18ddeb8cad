// The inventory view's record of a saved game.
#include "foundation/SStream.h"
#include "screens/SStateInventory.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<u32> ViewOf(SStateInventory& v) {
  return {v.page,     v.previousPage,  v.sheetSubPage, v.descriptionView,
          v.category, v.effectsFilter, v.questsFilter, v.spellsSchool};
}

}  // namespace

// Record 3005: the marker, then eight u32 from a 4-byte boundary; what was saved reads back, a record that
// ends early leaves the view as it was, and words no view can show come back in range.
TEST(Screens, InventoryViewRecord) {
  SStateInventory saved;
  saved.page = 3;
  saved.previousPage = 1;
  saved.sheetSubPage = 4;
  saved.descriptionView = 0;
  saved.category = 8;
  saved.effectsFilter = 2;
  saved.questsFilter = 3;
  saved.spellsSchool = 7;
  u8 buffer[64] = {};
  SStream out;
  out.OpenForWrite(buffer, sizeof buffer);
  saved.SerializeViewOnSave(out, 120);
  ASSERT_TRUE(out.Ok());
  ASSERT_EQ(out.BytesUsed(), 36u);
  EXPECT_EQ(buffer[0], 'X');
  EXPECT_EQ(buffer[4], 3);
  EXPECT_EQ(buffer[32], 7);

  SStateInventory loaded;
  SStream in;
  in.OpenForRead(buffer, 36);
  ASSERT_TRUE(loaded.SerializeViewOnLoad(in, 120));
  EXPECT_EQ(ViewOf(loaded), ViewOf(saved));

  SStateInventory cut;
  const std::vector<u32> before = ViewOf(cut);
  SStream shortIn;
  shortIn.OpenForRead(buffer, 20);
  EXPECT_FALSE(cut.SerializeViewOnLoad(shortIn, 120));
  EXPECT_EQ(ViewOf(cut), before);

  // A child's page word (the reading dialog is not open after a load), a category, sub-page, filter or
  // school past its list, and any nonzero option word.
  const u32 wild[8] = {6, 9, 5, 77, 9, 3, 4, 0};
  u8 bad[36] = {'X'};
  for (u32 i = 0; i < 8; ++i)
    for (u32 b = 0; b < 4; ++b) bad[4 + 4 * i + b] = u8(wild[i] >> (8 * b));
  SStateInventory ranged;
  SStream badIn;
  badIn.OpenForRead(bad, sizeof bad);
  ASSERT_TRUE(ranged.SerializeViewOnLoad(badIn, 120));
  EXPECT_EQ(ViewOf(ranged), (std::vector<u32>{0, 0, 0, 1, 0, 0, 0, 1}));
}
