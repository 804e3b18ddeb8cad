// The pack's paper doll on the 240x240 screen, whose doll alone sets its slots 20 pixels apart: game data
// holding no picture records beyond those of the start-up picture table (none of the doll's own, 4250 to
// 4253, that the game once asked for) starts there and shows the doll, drawn from the table's records of
// that screen.
#include "core/SPictureRoles.h"
#include "core/ui/SDollPlaces.h"
#include "graphics/SImage.h"
#include "screens/InventoryGame.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(PaperDoll, TheSquareScreenShowsTheDollFromThePictureTableAlone) {
  const std::string folder = GameHarness::makeDataFolder(
      "doll-table-records", [](u16 id, std::vector<u8>&) { return id < 4250 || id > 4253; });
  GameHarness::Options o;
  o.width = o.height = 240;
  o.dataFolder = folder;
  {
    InventoryGame g(o);
    ASSERT_TRUE(g.booted) << g.game.startError();
    ASSERT_EQ(g.core().displayMode, 8);
    // The doll and the marks of its slots 7 to 9 are the records the table gives the square screen.
    const u16 records[4] = {4055, 4056, 4057, 4058};
    for (u32 i = 0; i < 4; ++i) {
      const SImageEntry* entry = g.core().pictures[PictureRole::kPaperDoll + i];
      ASSERT_NE(entry, nullptr) << i;
      EXPECT_EQ(entry->recordId, records[i]) << i;
    }
    const i32 slot = doll::kSlotSizes[doll::kTiny];
    for (u16 mark : {PictureRole::kDollOverlay7, PictureRole::kDollOverlay8, PictureRole::kDollOverlay9}) {
      const SImage* m = g.core().Picture(mark);
      ASSERT_NE(m, nullptr);
      EXPECT_EQ(m->width, slot) << mark;
      EXPECT_EQ(m->height, slot) << mark;
    }

    ASSERT_TRUE(g.Open());
    // The doll shares its place with the description: put the description away.
    if (g.inv().hideDescription.IsVisible()) g.game.tapControl(SStateInventory::kHideDescriptionId);
    g.game.frame();
    const SPlayerEquipCtrl& equipment = g.inv().equipment;
    ASSERT_TRUE(equipment.IsVisible());
    const SImage* picture = g.core().Picture(PictureRole::kPaperDoll);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->format, kImagePalette8);
    // It fits its place, and with nothing worn the place shows the picture pixel for pixel.
    EXPECT_LE(picture->width, equipment.width);
    EXPECT_LE(picture->height, equipment.height);
    const Os::Panel& panel = g.game.panel();
    u32 differ = 0;
    for (i32 y = 0; y < picture->height; ++y)
      for (i32 x = 0; x < picture->width; ++x)
        if (panel.At(equipment.left + x, equipment.top + y) !=
            SImage::TexelPalette(picture->Pixels(), picture->GetPalette(), picture->IndexStride(), x, y))
          ++differ;
    EXPECT_EQ(differ, 0u) << "of " << picture->width << "x" << picture->height;
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
