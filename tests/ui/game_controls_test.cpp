// The game's own controls as tables: the gauge's fill (with the mended clamp), item cells by display mode
// and count, the world map's placing and target marker, topic buttons under the pen, the paper doll's
// slots, the compass band (with the mended short band), deck layers and a raised card.
#include "ImageEncode.h"
#include "UiRig.h"
#include "core/SPictureRoles.h"
#include "core/ui/SCardCtrls.h"
#include "core/ui/SCompassCtrl.h"
#include "core/ui/SGameCtrls.h"
#include "core/ui/SPlayerEquipCtrl.h"

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr u16 kSentinel = 0x1234;

// A dialog over the rig's core that the controls attach to, with the screen filled with a sentinel.
struct ControlRig : UiRig {
  ControlRig(i32 mode, u16 w, u16 h) : UiRig(mode, w, h) {
    dialog.Attach(&core);
    std::fill(pixels.begin(), pixels.end(), kSentinel);
  }
  // Pixels outside the rectangle that are no longer the sentinel.
  u32 ChangedOutside(i32 x, i32 y, i32 w, i32 h) const {
    u32 n = 0;
    for (i32 py = 0; py < core.display->Height(); ++py)
      for (i32 px = 0; px < core.display->Width(); ++px)
        if ((px < x || py < y || px >= x + w || py >= y + h) && Pixel(px, py) != kSentinel) ++n;
    return n;
  }
  u32 ChangedInside(i32 x, i32 y, i32 w, i32 h) const {
    u32 n = 0;
    for (i32 py = y; py < y + h; ++py)
      for (i32 px = x; px < x + w; ++px)
        if (Pixel(px, py) != kSentinel) ++n;
    return n;
  }
  EventLog log;
  LogDialog dialog{"dialog", &log};
};

TEST(Gauge, FillLengthsCountZeroAsOneAndKeepToTheTrack) {
  const struct Case {
    u16 w, h;
    i32 percent;
    i32 fill;
  } cases[] = {
      // Vertical: a 54-pixel control less two 3-pixel caps is a 48-pixel track.
      {6, 54, 50, 24},
      {6, 54, 100, 48},
      {6, 54, 0, 0},  // 0 counts as 1: 48 / 100 is no pixel
      // Horizontal: a 206-pixel track shows 1 % as 2 pixels.
      {212, 6, 0, 2},
      {212, 6, 1, 2},
      {212, 6, 33, 67},
      // Percentages from broken maxima or scripts stay within the control.
      {6, 54, 250, 48},
      {6, 54, -40, 0},
      {212, 6, -1, 2},
      {212, 6, 1000000, 206},
  };
  for (const Case& c : cases) {
    ControlRig rig(7, 240, 320);
    ASSERT_TRUE(rig.ready);
    SHPSPCtrl gauge;
    gauge.Attach(&rig.dialog);
    gauge.SetRect(10, 10, c.w, c.h);
    gauge.SetStyle(true);
    gauge.SetPercent(c.percent);
    EXPECT_EQ(gauge.fillLength, c.fill) << c.w << "x" << c.h << " at " << c.percent;
    gauge.Paint();
    EXPECT_EQ(rig.ChangedOutside(10, 10, c.w, c.h), 0u) << c.w << "x" << c.h << " at " << c.percent;
  }
}

TEST(Gauge, GrowsFromItsFixedCap) {
  ControlRig rig(7, 240, 320);
  SHPSPCtrl gauge;
  gauge.Attach(&rig.dialog);
  gauge.SetRect(10, 10, 6, 54);
  gauge.SetStyle(false);
  gauge.SetPercent(50);
  gauge.Paint();
  // The lower half holds the bar, the upper the background.
  const u16 background = rig.Pixel(12, 12), bar = rig.Pixel(12, 55);
  EXPECT_EQ(background, 0);
  EXPECT_NE(bar, 0);
  EXPECT_EQ(gauge.fillPosition, 10 + 48 - 24);
}

TEST(ItemCell, PictureAndCountByDisplayMode) {
  const imageenc::Picture sword = imageenc::MakeChecker(50, 50, 5, 0xF800, 0x07E0);
  const std::vector<u8> record = imageenc::Encode(sword, 0);
  const struct Case {
    i32 mode;
    u16 w, h;
    u32 count;
    i32 cell;
    i32 pictureX, pictureY;  // where the picture's top-left lands, relative to the control
    bool number;
  } cases[] = {
      {7, 240, 320, 1, 40, 0, 0, false},   // compact: shrunk to 40 at the top-left, no number for one
      {7, 240, 320, 12, 40, 0, 0, true},   // and a number for a stack
      {10, 480, 640, 1, 50, 5, 3, false},  // large: whole, 5 in and 3 down
      {10, 480, 640, 3, 50, 5, 3, true},
  };
  for (const Case& c : cases) {
    ControlRig rig(c.mode, c.w, c.h);
    ASSERT_TRUE(rig.ready);
    std::unique_ptr<SImageEntry> entry(MakePictureEntry(record));
    SItemCtrl cell;
    cell.Attach(&rig.dialog);
    cell.SetRect(20, 20, 60, 60);
    cell.SetItem(entry.get(), nullptr, c.count);
    EXPECT_EQ(cell.cellWidth, c.cell);
    rig.core.font->Select(1, 0xFFFFFF, 0);  // the count is drawn with the owner's choice of font
    cell.Paint();
    EXPECT_EQ(rig.Pixel(20 + c.pictureX, 20 + c.pictureY), 0xF800) << c.mode << " " << c.count;
    // The number's box, right of the picture's middle.
    bool numberShown = false;
    for (i32 y = 45; y < 70 && !numberShown; ++y)
      for (i32 x = 20; x < 80 && !numberShown; ++x) {
        const u16 p = rig.Pixel(x, y);
        numberShown = p != 0xF800 && p != 0x07E0 && p != 0 && p != kSentinel;
      }
    EXPECT_EQ(numberShown, c.number) << c.mode << " " << c.count;
  }
}

TEST(ItemCell, WithoutPictureShowsTheEmptyCell) {
  ControlRig rig(7, 240, 320);
  SItemCtrl cell;
  cell.Attach(&rig.dialog);
  cell.SetRect(20, 20, 40, 40);
  cell.SetItem(nullptr, nullptr, 5);
  cell.marker = 1;
  cell.Paint();
  const SImage* empty = rig.core.Picture(277);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(rig.Pixel(20, 20), empty->GetPalette()[empty->Pixels()[0]]);
}

TEST(WorldMap, CentredWhenSmallerTopLeftWhenLargerAndTheTarget) {
  const struct Case {
    i32 mapSize;
    i32 offset;
  } cases[] = {{42, 29}, {100, 0}, {300, 0}};
  for (const Case& c : cases) {
    ControlRig rig(7, 240, 320);
    SWorldModule* module = rig.core.AddWorldModule();
    ASSERT_NE(module, nullptr);
    rig.core.SetCurrentWorld(module);
    module->mapPicture = MakePictureEntry(imageenc::Encode(imageenc::Picture(c.mapSize, c.mapSize, 0x001F), 0));
    module->worldX = 10;
    module->worldY = 10;
    SGameWorldMapCtrl map;
    map.Attach(&rig.dialog);
    map.SetRect(20, 20, 100, 100);
    map.Setup();
    EXPECT_EQ(map.offsetX, c.offset) << c.mapSize;
    EXPECT_EQ(map.offsetY, c.offset) << c.mapSize;
    const SImage* target = rig.core.Picture(396);
    ASSERT_NE(target, nullptr);
    // The target's cross has its corner pixel set: at (offset + 21 column, offset + 21 row).
    map.SetTarget(1, 1);
    map.Paint();
    const i32 tx = 20 + map.offsetX + 21, ty = 20 + map.offsetY + 21;
    if (tx < 120 && ty < 120) {
      EXPECT_NE(rig.Pixel(tx + 2, ty + 2), 0x001F) << c.mapSize;
      map.SetTarget(SGameWorldMapCtrl::kNoTarget, 1);
      map.Paint();
      EXPECT_EQ(rig.Pixel(tx + 2, ty + 2), 0x001F) << c.mapSize << ": no column, no marker";
    }
    EXPECT_EQ(rig.ChangedOutside(20, 20, 100, 100), 0u) << c.mapSize;
    delete module->mapPicture;
    module->mapPicture = nullptr;
  }
}

TEST(WorldMap, DragMovesByThePensDisplacementAndTellsTheDialog) {
  ControlRig rig(7, 240, 320);
  SGameWorldMapCtrl map;
  map.Attach(&rig.dialog);
  map.id = 46;
  map.SetRect(20, 20, 100, 100);
  map.Setup();
  const i32 x0 = map.offsetX, y0 = map.offsetY;
  EXPECT_EQ(map.OnPen(50, 50, 1, 0), 0u);
  EXPECT_EQ(rig.log.Take(), "dialog command 46");
  map.OnPen(57, 45, 1, 1);
  EXPECT_EQ(map.offsetX, x0 + 7);
  EXPECT_EQ(map.offsetY, y0 - 5);
  map.OnPen(57, 45, 0, 0);
  map.OnPen(60, 60, 1, 1);  // a move after the lift starts no drag
  EXPECT_EQ(map.offsetX, x0 + 7);
}

TEST(TopicButton, FiresOnReleaseInsideOnlyAndByItsHotKey) {
  ControlRig rig(7, 240, 320);
  STopicButtonCtrl topic;
  topic.Attach(&rig.dialog);
  topic.flags = SCtrl::kPlaced;
  topic.Setup("Rumours", 77, 10, 10, 200, 20, 0xFFFFFF, 0, 'r');
  EXPECT_GT(topic.height, 0);
  const i32 x = 20, y = 12;
  EXPECT_EQ(topic.OnPen(x, y, 1, 0), 0u);
  EXPECT_TRUE(topic.IsPressed());
  EXPECT_EQ(topic.OnPen(x, y, 0, 0), 77u);
  // Pressed and dragged off: released without a command.
  EXPECT_EQ(topic.OnPen(x, y, 1, 0), 0u);
  EXPECT_EQ(topic.OnPen(230, 300, 1, 1), 0u);
  EXPECT_FALSE(topic.IsPressed());
  EXPECT_EQ(topic.OnPen(230, 300, 0, 0), 0u);
  EXPECT_EQ(topic.OnKey('r'), 77u);
  EXPECT_EQ(topic.OnKey('x'), 0u);
  topic.Disable();
  EXPECT_EQ(topic.OnKey('r'), 0u);
}

TEST(PaperDoll, SlotsByDisplayModeAndNoSlotTwelve) {
  const struct Case {
    i32 mode;
    u16 w, h;
    u32 slot;
    i32 x, y, size;
  } cases[] = {
      {7, 240, 320, 1, 51, 3, 30},     {7, 240, 320, 13, 99, 4, 30}, {8, 240, 240, 1, 33, 2, 20},
      {8, 240, 240, 9, 4, 77, 20},     {10, 480, 640, 1, 85, 6, 50}, {10, 480, 640, 8, 159, 198, 50},
      {14, 800, 480, 11, 85, 195, 50},
  };
  for (const Case& c : cases) {
    ControlRig rig(c.mode, c.w, c.h);
    SPlayerEquipCtrl doll;
    doll.Attach(&rig.dialog);
    doll.id = 31;
    doll.SetRect(5, 5, 220, 260);
    doll.LayoutSlots();
    EXPECT_EQ(doll.slotX[c.slot], c.x) << c.mode << " slot " << c.slot;
    EXPECT_EQ(doll.slotY[c.slot], c.y) << c.mode << " slot " << c.slot;
    EXPECT_EQ(doll.SlotSize(), c.size) << c.mode;
    EXPECT_EQ(doll.OnPen(5 + c.x + 1, 5 + c.y + 1, 1, 0), 31u);
    EXPECT_EQ(doll.selected, i32(c.slot));
  }
  ControlRig rig(7, 240, 320);
  SPlayerEquipCtrl doll;
  doll.Attach(&rig.dialog);
  doll.SetRect(5, 5, 220, 260);
  doll.LayoutSlots();
  // Slot 12's place (the control's corner) belongs to no shown slot.
  EXPECT_EQ(doll.OnPen(5 + doll.slotX[12] + 1, 5 + doll.slotY[12] + 1, 1, 0), 0u);
  EXPECT_EQ(doll.selected, 0);
}

TEST(Compass, FacingsZeroAndFullTurnShowTheSameBand) {
  ControlRig rig(7, 240, 320);
  SCompassCtrl compass;
  compass.Attach(&rig.dialog);
  compass.SetRect(100, 100, 21, 21);
  compass.SetPictures(rig.core.Picture(PictureRole::kCompassBand), rig.core.Picture(PictureRole::kCompassOverlay),
                      rig.core.Picture(PictureRole::kCompassLeftCap), rig.core.Picture(PictureRole::kCompassRightCap));
  const struct Case { i32 facing, start; } cases[] = {{0, 0}, {360, 0}, {90, 90}, {270, 30}, {-90, 30}};
  for (const Case& c : cases) {
    compass.SetFacing(c.facing);
    EXPECT_EQ(compass.BandStart(), c.start) << c.facing;
  }
  std::vector<u16> first, second;
  for (i32 facing : {0, 360}) {
    compass.SetFacing(facing);
    compass.Paint();
    std::vector<u16>& shot = facing ? second : first;
    for (i32 y = 100; y < 121; ++y)
      for (i32 x = 100; x < 121; ++x) shot.push_back(rig.Pixel(x, y));
  }
  EXPECT_EQ(first, second);
  EXPECT_EQ(rig.ChangedOutside(100, 100, 21, 21), 0u);
}

TEST(Compass, AShortOrMissingBandIsCutToWhatItHolds) {
  ControlRig rig(10, 480, 640);
  const std::vector<u8> narrow = imageenc::Encode(imageenc::Picture(8, 31, 0x07E0), 0);
  std::unique_ptr<SImageEntry> band(MakePictureEntry(narrow));
  const std::vector<u8> shortOverlay = imageenc::Encode(imageenc::Picture(5, 31, 0xF800), 0);
  std::unique_ptr<SImageEntry> overlay(MakePictureEntry(shortOverlay));
  SCompassCtrl compass;
  compass.Attach(&rig.dialog);
  compass.SetRect(100, 100, 41, 31);
  for (i32 facing : {0, 90, 359, -720, 100000}) {
    compass.SetPictures(band->image, overlay->image, nullptr, nullptr);
    compass.SetFacing(facing);
    compass.Paint();
    // The narrow band repeats across the whole control; nothing lands outside it.
    EXPECT_EQ(rig.ChangedOutside(100, 100, 41, 31), 0u) << facing;
    EXPECT_EQ(rig.ChangedInside(100, 100, 41, 31), 41u * 31u) << facing;
  }
  ControlRig bare(10, 480, 640);
  SCompassCtrl empty;
  empty.Attach(&bare.dialog);
  empty.SetRect(100, 100, 41, 31);
  empty.SetPictures(nullptr, nullptr, nullptr, nullptr);
  empty.Paint();
  EXPECT_EQ(bare.ChangedInside(0, 0, 480, 640), 0u) << "without a band nothing is copied";
}

TEST(Cards, PileLayersByDisplayModeAndARaisedCard) {
  const struct Case {
    i32 count;
    bool compact;
    i32 layers;
  } cases[] = {{12, true, 1}, {16, true, 2}, {3, false, 1}, {10, false, 2}, {7, true, 1}};
  for (const Case& c : cases) EXPECT_EQ(SDeckCtrl::Layers(c.count, c.compact), c.layers) << c.count;

  ControlRig rig(7, 240, 320);
  SCardCtrl card;
  card.Attach(&rig.dialog);
  card.SetRect(40, 200, 30, 45);
  SCardScreenPictures screen;
  card.SetCard(nullptr, 0, screen);
  EXPECT_EQ(card.homeX, 40);
  EXPECT_EQ(card.homeY, 200);
  card.SetLift(12);
  card.SetRaised(true);
  EXPECT_EQ(card.top, 188);
  card.SetRaised(false);
  EXPECT_EQ(card.top, 200);
  EXPECT_EQ(card.left, 40);
}

}  // namespace
