// The interface pictures of the built sample world as start-up reads them: every slot of every display
// mode a device selects has its record and it is a usable picture; the role slots are slots of their own;
// the click sounds are short waves that differ.
#include "UiRig.h"
#include "core/SPictureRoles.h"
#include "core/SPictureTable.h"
#include "platform/sound/audSound.h"

#include <set>

namespace {

TEST(InterfacePictures, EveryDeviceModeFillsEverySlotOfTheTable) {
  for (i32 mode : {6, 7, 8, 9, 10, 11, 14, 15, 16}) {
    CoreRig rig(mode, 240, 320);
    ASSERT_TRUE(rig.LoadSampleLayouts()) << "build the sample_world target first";
    EXPECT_EQ(rig.core.LoadPictures(), 447u) << "mode " << mode;
    u32 empty = 0;
    for (u32 slot = 0; slot < SGameCore::kPictureSlots; ++slot) {
      const SImageEntry* entry = rig.core.pictures[slot];
      if (!entry) {
        ++empty;
        continue;
      }
      EXPECT_EQ(entry->recordId, SPictureTable::RecordFor(slot, mode)) << "mode " << mode << " slot " << slot;
      EXPECT_EQ(entry->image, rig.core.Picture(slot));
    }
    EXPECT_EQ(empty, 15u) << "mode " << mode;
    // A second load fills nothing more.
    EXPECT_EQ(rig.core.LoadPictures(), 0u);
  }
}

TEST(InterfacePictures, TheTableReadsTheRecordsOfEachFamily) {
  const struct {
    u32 slot;
    i32 mode;
    u16 id;
  } cases[] = {
      {1, 8, 3670},   {1, 9, 3015},   {1, 3, 3015},   {10, 10, 4069},  {10, 7, 3679},  {13, 16, 3680},
      {417, 8, 4053}, {418, 5, 4054}, {417, 7, 3497}, {405, 8, 4055},  {408, 8, 4058}, {405, 6, 3918},
      {437, 3, 3686}, {437, 7, 4048}, {320, 7, 3734}, {388, 14, 4228}, {320, 0, 3400}, {55, 7, 0},
      {423, 7, 0},    {457, 10, 0},   {461, 9, 3557}, {462, 7, 0},    {284, 8, 3806},  {287, 5, 3809},
  };
  for (const auto& c : cases) EXPECT_EQ(SPictureTable::RecordFor(c.slot, c.mode), c.id) << c.slot << " " << c.mode;
  EXPECT_EQ(SPictureTable::DeviceRecords().size(), 737u);
}

TEST(InterfacePictures, RoleSlotsAreNoSlotTheGameNamesByNumber) {
  // Every slot a part of the game draws by its number, as the screens and dialogs name them.
  std::set<u32> named;
  auto add = [&](u32 first, u32 last) {
    for (u32 s = first; s <= last; ++s) named.insert(s);
  };
  add(0, 63);     // background, message box, message buttons, frame sets, list frame, scroll buttons
  add(68, 130);   // frame sets with empty centres
  add(135, 138);  // page buttons
  add(143, 148);  // keyboard and screen picture buttons
  add(256, 262);  // keyboard keys and tile
  add(277, 278);  // item cell and marker
  add(301, 396);  // gauges, equipment markers, automap, world-map markers
  add(417, 423);
  add(438, 442);
  add(449, 452);
  add(457, 457);
  for (u16 role : PictureRole::kAll) {
    EXPECT_EQ(named.count(role), 0u) << "role slot " << role;
    EXPECT_NE(SPictureTable::RecordFor(role, 7), 0) << "role slot " << role;
    EXPECT_NE(SPictureTable::RecordFor(role, 10), 0) << "role slot " << role;
  }
  EXPECT_EQ(std::set<u16>(std::begin(PictureRole::kAll), std::end(PictureRole::kAll)).size(),
            std::size(PictureRole::kAll));
}

TEST(InterfacePictures, ClickSoundsAreShortDistinctWaves) {
  CoreRig rig(7, 240, 320);
  ASSERT_TRUE(rig.LoadSampleLayouts());
  ASSERT_TRUE(rig.core.LoadClickSounds());
  u32 bytes[2] = {};
  for (u32 i = 0; i < 2; ++i) {
    SResource* click = rig.core.clickSounds[i];
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(click->recordId, 4031u + i);
    audSound sound;
    EXPECT_EQ(sound.LoadWave(click->sampleData, click->sampleBytes), 0) << i;
    bytes[i] = click->sampleBytes;
    // Short: well under a tenth of a second at 22,050 Hz, 16 bits.
    EXPECT_LT(click->sampleBytes, 22050u * 2 / 10) << i;
  }
  EXPECT_NE(bytes[0], bytes[1]);
}

}  // namespace
