#include "core/SLayoutTable.h"
#include "graphics/SDisplay.h"
#include "graphics/SFontTables.h"

#include <gtest/gtest.h>

// Modes that no screen runs read as small screens: the small fonts, the tall screens' layouts, and the
// device's own screen size. Modes outside the table read as large screens.
TEST(DisplayModes, ReadersTreatModesWithoutAScreenAsSmallScreens) {
  const struct {
    i32 mode;
    u32 font1, layout;
  } cases[] = {{2, 3010, 3001}, {5, 3010, 3001}, {12, 3010, 3001}, {13, 3010, 3001}, {3, 3013, 3001}, {0, 3013, 3001}};
  for (const auto& c : cases) {
    EXPECT_EQ(FontRecordFor(1, c.mode), c.font1) << c.mode;
    EXPECT_EQ(SLayoutTable::RecordForMode(c.mode), c.layout) << c.mode;
    u16 w = 7, h = 9;
    EXPECT_FALSE(SDisplay::ModeSize(c.mode, w, h)) << c.mode;
    EXPECT_EQ(w, 7) << c.mode;
  }
}
