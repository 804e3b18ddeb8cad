// The controls' own rules: button pen sequences and hot keys, text origins and outlines, picture sizing,
// the gradient's marker, the mended animation, the progress bar, the portrait's pen, the scene text's end
// and the text line's limits.
#include "ImageEncode.h"
#include "UiRig.h"
#include "core/ui/SAnimCtrl.h"
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialogLoading.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SFaceCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SSceneTextCtrl.h"
#include "core/ui/STextCtrl.h"
#include "graphics/STextObserver.h"

#include <set>
#include <string>
#include <vector>

namespace {

struct Pen {
  i32 x, y;
  u32 touching, moving;
};
constexpr Pen Down(i32 x, i32 y) { return {x, y, 1, 0}; }
constexpr Pen Move(i32 x, i32 y) { return {x, y, 1, 1}; }
constexpr Pen Up(i32 x, i32 y) { return {x, y, 0, 0}; }

TEST(Buttons, PenSequencesReportAsARealButtonWould) {
  const struct Case {
    const char* name;
    bool fireOnPress, enabled;
    std::vector<Pen> pen;
    std::vector<u32> codes;
  } cases[] = {
      {"down and up inside", false, true, {Down(15, 15), Up(16, 16)}, {0, 7}},
      {"down, out, up outside: nothing", false, true, {Down(15, 15), Move(50, 50), Up(50, 50)}, {0, 0, 0}},
      {"down, out, back in, up: once",
       false,
       true,
       {Down(15, 15), Move(50, 50), Move(20, 20), Up(20, 20)},
       {0, 0, 0, 7}},
      {"a lift without a press", false, true, {Up(15, 15)}, {0}},
      {"fire on press: down and every move, never the lift",
       true,
       true,
       {Down(15, 15), Move(16, 16), Move(17, 17), Up(17, 17)},
       {7, 7, 7, 0}},
      {"disabled: nothing", false, false, {Down(15, 15), Up(15, 15)}, {0, 0}},
  };
  for (const Case& c : cases) {
    SButtonCtrl b;
    b.CreatePanel(nullptr, nullptr, "Go", 7, 1, 0, 0, 0, 0, 0);
    b.SetRect(10, 10, 20, 20);
    b.flags = c.enabled ? SCtrl::kPlaced : u16(SCtrl::kShown | SCtrl::kInDialog);
    b.fireOnPress = c.fireOnPress;
    std::vector<u32> got;
    for (const Pen& p : c.pen) got.push_back(b.OnPen(p.x, p.y, p.touching, p.moving));
    EXPECT_EQ(got, c.codes) << c.name;
    EXPECT_FALSE(b.IsPressed()) << c.name;
  }
}

TEST(Buttons, HotKeys) {
  SButtonCtrl b;
  b.flags = SCtrl::kPlaced;
  b.SetPicture(nullptr, 9, 0);
  EXPECT_EQ(b.width, 0);  // no picture: 0 x 0
  EXPECT_EQ(b.OnKey(0), 0u) << "hot key 0 answers no key, not even key 0";
  b.hotKey = 3006;
  EXPECT_EQ(b.OnKey(3006), 9u);
  EXPECT_EQ(b.OnKey(3007), 0u);
  EXPECT_FALSE(b.IsPressed());
  b.Disable();
  EXPECT_EQ(b.OnKey(3006), 0u);
}

// A picture button stands at its layout place's corner at its picture's size, even in a larger place, and
// answers the pen only over its picture. One whose slot holds no picture keeps its whole place: nothing of it
// is seen there, but a tap in the place still presses it (a button of 0 x 0, as its pictures would size it,
// could never be pressed).
TEST(Buttons, APictureButtonStandsAtItsPlacesCorner) {
  UiRig rig(7, 240, 320);
  ASSERT_TRUE(rig.ready && rig.filled);
  SDialog owner;
  owner.Attach(&rig.core);
  owner.SetLayout(SDialogLoading::kLayout);
  owner.SetPos(4, 6);
  const SLayoutItem* place = rig.core.GetLayoutItem(SDialogLoading::kLayout, 12);
  const SImage* picture = rig.core.Picture(135);
  ASSERT_TRUE(place && picture);
  ASSERT_GT(place->w, picture->width + 4) << "a place larger than the picture";
  SButtonCtrl b;
  b.Attach(&owner);
  ASSERT_TRUE(PlaceButton(owner, b, 12, 135));
  EXPECT_EQ(b.left, 4 + place->x);
  EXPECT_EQ(b.top, 6 + place->y);
  EXPECT_EQ(b.width, picture->width);
  EXPECT_EQ(b.height, picture->height);
  const i32 x = b.left + picture->width / 2, y = b.top + picture->height / 2;
  EXPECT_EQ(b.OnPen(x, y, 1, 0), 0u);
  EXPECT_EQ(b.OnPen(x, y, 0, 0), 12u) << "a tap on the picture";
  const i32 beside = b.left + picture->width + 2;
  EXPECT_EQ(b.OnPen(beside, y, 1, 0), 0u);
  EXPECT_EQ(b.OnPen(beside, y, 0, 0), 0u) << "a tap in the place beside the picture";

  u32 empty = 0;
  while (empty < SGameCore::kPictureSlots && rig.core.Picture(empty)) ++empty;
  ASSERT_LT(empty, SGameCore::kPictureSlots) << "an empty picture slot";
  ASSERT_TRUE(PlaceButton(owner, b, 12, empty));
  EXPECT_EQ(std::vector<i32>({b.left, b.top, b.width, b.height}),
            std::vector<i32>({4 + place->x, 6 + place->y, place->w, place->h}));
  const SSurface& screen = rig.core.display->Screen();
  rig.core.display->FillRect(b.left, b.top, b.width, b.height, 0xF81F);
  b.Paint();
  for (i32 py = b.top; py < b.top + b.height; ++py)
    for (i32 px = b.left; px < b.left + b.width; ++px) ASSERT_EQ(*screen.Pixel(px, py), 0xF81F) << px << "," << py;
  const i32 farX = b.left + b.width - 1, farY = b.top + b.height - 1;
  EXPECT_EQ(b.OnPen(farX, farY, 1, 0), 0u);
  EXPECT_EQ(b.OnPen(farX, farY, 0, 0), 12u) << "a tap at the empty place's far corner";
}

TEST(Buttons, MessageButtonsSizeToTheirTextAndTheMode) {
  for (i32 mode : {7, 10}) {
    UiRig rig(mode, mode == 7 ? 240 : 480, mode == 7 ? 320 : 640);
    ASSERT_TRUE(rig.ready);
    SDialog owner;
    owner.Attach(&rig.core);
    SCtrlMessageButton b;
    b.Attach(&owner);
    b.SetPos(5, 5);
    b.SetText("", 1);
    EXPECT_EQ(b.width, mode == 7 ? 26 : 40);
    EXPECT_EQ(b.height, rig.core.Picture(13)->height);
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.flags, 0x30);
    b.SetText("Continue", 16);
    EXPECT_GT(b.width, mode == 7 ? 26 : 40);
    // Down inside, out and up: no report; down and up inside: the code.
    b.flags = SCtrl::kPlaced;
    EXPECT_EQ(b.OnPen(2, 2, 1, 0), 0u);
    EXPECT_EQ(b.OnPen(500, 2, 0, 0), 0u);
    EXPECT_EQ(b.OnPen(2, 2, 1, 0), 0u);
    EXPECT_EQ(b.OnPen(3, 3, 0, 0), 16u);
    EXPECT_EQ(b.OnKey(3006), 0u);
  }
}

TEST(Texts, OriginsFollowTheModeBits) {
  UiRig rig(7, 240, 320);
  ASSERT_TRUE(rig.ready);
  SDialog owner;
  owner.Attach(&rig.core);
  rig.core.font->Select(1, 0, 0);
  const i32 line = rig.core.font->LineHeight() + 1;
  const struct Case {
    const char* text;
    u32 mode;
    i32 lines;  // the control's height in lines
    i32 y;      // text y - control y
  } cases[] = {
      {"", 0, 4, 0},
      {"", STextCtrl::kMiddle, 4, 2 * line},
      {"one", STextCtrl::kMiddle, 4, 3 * line / 2},
      {"one", STextCtrl::kBottom, 4, 3 * line},
      {"one\rtwo\rthree", STextCtrl::kMiddle, 3, 0},                       // as tall as the control: top
      {"one\rtwo\rthree", STextCtrl::kMiddle | STextCtrl::kBottom, 3, 0},  // bottom: the same place
      {"1\r2\r3\r4\r5", STextCtrl::kBottom, 3, 0},                         // taller: clamped to the top
      {"1\r2\r3\r4\r5", STextCtrl::kMiddle, 3, 0},
      {"one\rtwo", STextCtrl::kBottom | STextCtrl::kCentred, 4, 2 * line},
  };
  for (const Case& c : cases) {
    STextCtrl t;
    t.Attach(&owner);
    t.SetRect(10, 20, 100, u16(c.lines * line));
    t.SetTextStyled(c.text, c.mode, 1, 0xFFFFFF, 0);
    EXPECT_EQ(t.textX, 10) << c.text;
    EXPECT_EQ(t.textY - 20, c.y) << c.text << " mode " << c.mode;
    EXPECT_TRUE(t.IsDirty());
  }
}

TEST(Texts, OutlinesAndAlignment) {
  UiRig rig(7, 240, 320);
  ASSERT_TRUE(rig.ready);
  SDialog owner;
  owner.Attach(&rig.core);
  const u16 ground = 0x1234;
  auto draw = [&](u32 mode, const char* text) {
    rig.core.display->FillRect(0, 0, 240, 320, ground);
    STextCtrl t;
    t.Attach(&owner);
    t.SetRect(20, 20, 120, 60);
    t.outline = 1;
    t.SetTextStyled(text, mode, 1, 0xFFFFFF, 0xFFFFFF);
    t.Paint();
  };
  auto count = [&](u16 colour) {
    int n = 0;
    for (u16 p : rig.pixels) n += p == colour;
    return n;
  };
  draw(STextCtrl::kLeft, "Outlined?");
  EXPECT_EQ(count(0), 0) << "mode 1 never draws the outline";
  draw(STextCtrl::kCentred, "Outlined?");
  EXPECT_GT(count(0), 0);
  // Right-aligned: each line ends at the box's right edge.
  draw(0, "a\rlonger line");
  auto rightmost = [&](int y0, int y1) {
    int right = -1;
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < 240; ++x)
        if (rig.Pixel(x, y) != ground && rig.Pixel(x, y) != 0) right = std::max(right, x);
    return right;
  };
  const i32 line = rig.core.font->LineHeight() + 1;
  EXPECT_NEAR(rightmost(20, 20 + line), rightmost(20 + line, 20 + 2 * line), 2);
  EXPECT_GT(rightmost(20, 20 + line), 130);
}

TEST(Pictures, SizingScalingAndKeyedPictures) {
  UiRig rig(7, 240, 320);
  ASSERT_TRUE(rig.ready);
  SDialog owner;
  owner.Attach(&rig.core);
  auto record = [](int w, int h, u16 colour) { return imageenc::Encode(imageenc::Picture(w, h, colour), 0); };
  const std::vector<u8> exact = record(40, 30, 0x07E0), small = record(20, 10, 0x001F);
  const SImage* exactImage = SImage::FromRecord(exact.data(), u32(exact.size()));
  const SImage* smallImage = SImage::FromRecord(small.data(), u32(small.size()));
  const struct Case {
    const SImage* image;
    u32 keepAspect;
    u32 stretch;
    i32 w, h;
  } cases[] = {{exactImage, 0, 0, 40, 30}, {smallImage, 0, 1, 40, 30}, {smallImage, 1, 1, 40, 20}};
  for (const Case& c : cases) {
    SPicCtrl p;
    p.Attach(&owner);
    p.id = 33;
    p.SetRect(100, 100, 40, 30);
    p.keepAspect = c.keepAspect;
    p.SetPicture(c.image, 0, 0);
    EXPECT_EQ(p.stretch, c.stretch);
    EXPECT_EQ(p.drawWidth, c.w);
    EXPECT_EQ(p.drawHeight, c.h);
    // Pen-downs inside the drawn picture report the id; its right and bottom edges are outside.
    EXPECT_EQ(p.OnPen(100, 100, 1, 0), 33u);
    EXPECT_EQ(p.OnPen(100 + c.w - 1, 100 + c.h - 1, 1, 0), 33u);
    EXPECT_EQ(p.OnPen(100 + c.w, 100, 1, 0), 0u);
    EXPECT_EQ(p.OnPen(100, 100 + c.h, 1, 0), 0u);
    EXPECT_EQ(p.OnPen(101, 101, 1, 1), 0u);
    rig.core.display->Clear();
    p.Paint();
    EXPECT_EQ(rig.Pixel(100 + c.w - 1, 100 + c.h - 1), c.image == exactImage ? 0x07E0 : 0x001F);
  }
  // A keyed picture of another size than its control is not drawn; of the same size it is.
  SPicCtrl keyed;
  keyed.Attach(&owner);
  keyed.SetRect(10, 10, 40, 30);
  keyed.SetPicture(smallImage, 1, 0);
  rig.core.display->Clear();
  keyed.Paint();
  EXPECT_EQ(rig.Pixel(10, 10), 0);
  keyed.SetPicture(exactImage, 1, 0);
  keyed.Paint();
  EXPECT_EQ(rig.Pixel(10, 10), 0x07E0);
}

TEST(Pictures, GradientMarkerAtTheEndsAndTheMiddle) {
  UiRig rig(7, 240, 320);
  ASSERT_TRUE(rig.ready);
  SDialog owner;
  owner.Attach(&rig.core);
  const u16 marker = MakeColor565(0x0000A0);
  for (const auto& [value, at] : std::vector<std::pair<i32, i32>>{{-100, 0}, {-500, 0}, {100, 96}, {0, 48}}) {
    SGradientCtrl g;
    g.Attach(&owner);
    g.SetDefaults();
    g.SetRect(20, 40, 100, 16);
    g.SetValue(value);
    rig.core.display->Clear();
    g.Paint();
    EXPECT_EQ(rig.Pixel(20 + at, 40), marker) << value;
    EXPECT_EQ(rig.Pixel(20 + at + 1, 47), marker) << value;
    EXPECT_EQ(rig.Pixel(20 + at + 3, 40 + 14), marker) << value;
  }
}

// An image cache entry named `name` over a solid picture.
SImageEntry* CacheImage(SGameCore& core, const char* name, int w, int h, u16 colour) {
  SImageEntry* e = MakePictureEntry(imageenc::Encode(imageenc::Picture(w, h, colour), 0));
  e->name.SetOwns();
  e->name.Set(name);
  core.world.images.AddImage(e);
  return e;
}

TEST(Animations, MendedResourcesAndFrames) {
  UiRig rig(7, 240, 320);
  ASSERT_TRUE(rig.ready);
  SDialog owner;
  owner.Attach(&rig.core);
  CacheImage(rig.core, "bres_base", 20, 20, 0x0010);
  CacheImage(rig.core, "bres_one", 4, 4, 0x0400);
  CacheImage(rig.core, "bres_two", 4, 4, 0x8000);
  const SAnimationEntry entries[] = {{"bres_base", 0, 0, 0}, {"bres_one", 2, 2, 5}, {"bres_two", 8, 8, 5}};
  auto tickAfter = [&](SAnimCtrl& a, u32 ms) {
    rig.clock.Advance(ms);
    return a.OnTick(0);
  };

  // No base picture: source size 0 x 0, nothing scaled or drawn, the control shows black.
  const SAnimationEntry missing[] = {{"bres_none", 0, 0, 1}, {"bres_one", 0, 0, 1}};
  const SAnimation noBase{2, missing};
  SAnimCtrl a;
  a.Attach(&owner);
  a.SetRect(30, 30, 40, 40);
  a.SetAnimation(&noBase);
  EXPECT_EQ(a.sourceWidth, 0);
  rig.core.display->FillRect(0, 0, 240, 320, 0x1111);
  EXPECT_EQ(tickAfter(a, 100), 0u);
  EXPECT_EQ(rig.Pixel(31, 31), 0x1111);
  a.Paint();
  EXPECT_EQ(rig.Pixel(31, 31), 0);

  // One entry: the base picture only, and the ticks change nothing.
  const SAnimation baseOnly{1, entries};
  a.SetRect(30, 30, 20, 20);
  a.SetAnimation(&baseOnly);
  a.Paint();
  EXPECT_EQ(rig.Pixel(31, 31), 0x0010);
  rig.core.display->Clear();
  tickAfter(a, 1000);
  EXPECT_EQ(rig.Pixel(31, 31), 0);

  // Two entries: entry 1 for ever (the frame wraps from 2 to 1).
  const SAnimation two{2, entries};
  a.SetAnimation(&two);
  for (int i = 0; i < 3; ++i) {
    rig.core.display->Clear();
    tickAfter(a, 50);
    EXPECT_EQ(a.frame, 1);
    EXPECT_EQ(rig.Pixel(32, 32), 0x0400);
  }
  // Three entries: 1, 2, 1, ... each after its 50 ms.
  const SAnimation three{3, entries};
  a.SetAnimation(&three);
  tickAfter(a, 49);
  EXPECT_EQ(a.frame, 1);
  tickAfter(a, 1);
  EXPECT_EQ(a.frame, 2);
  EXPECT_EQ(rig.Pixel(38, 38), 0x8000);
  tickAfter(a, 50);
  EXPECT_EQ(a.frame, 1);

  // Eight frames of 200 ms, cycling through all eight indices; a missing frame is skipped.
  const std::vector<u8> frame = imageenc::Encode(imageenc::Picture(20, 20, 0x0777), 0);
  const SImage* image = SImage::FromRecord(frame.data(), u32(frame.size()));
  const SImage* frames[8] = {image, image, nullptr, image, nullptr, nullptr, image, image};
  SAnimCtrl f;
  f.Attach(&owner);
  f.SetRect(100, 100, 20, 20);
  f.SetFrames(frames);
  EXPECT_EQ(f.stretch, 0u);
  std::vector<i32> seen;
  for (int i = 0; i < 9; ++i) {
    rig.core.display->Clear();
    tickAfter(f, 200);
    seen.push_back(f.frame);
    EXPECT_EQ(rig.Pixel(100, 100), frames[f.frame] ? 0x0777 : 0) << f.frame;
  }
  EXPECT_EQ(seen, (std::vector<i32>{1, 2, 3, 4, 5, 6, 7, 0, 1}));
  // Frame 0 missing: no source size, nothing drawn.
  const SImage* noFirst[8] = {nullptr, image, image, image, image, image, image, image};
  f.SetFrames(noFirst);
  rig.core.display->Clear();
  tickAfter(f, 200);
  EXPECT_EQ(f.frame, 1);
  EXPECT_EQ(rig.Pixel(100, 100), 0);
}

// An overlay's clear pixels show the base picture under them, drawn as laid or scaled to the control
// (the inn's counter over its hall), in the palette and the block formats alike.
TEST(Animations, AnOverlayKeepsItsClearPixelsWhenScaled) {
  for (const int format : {0, 1}) {
    UiRig rig(7, 240, 320);
    ASSERT_TRUE(rig.ready);
    SDialog owner;
    owner.Attach(&rig.core);
    CacheImage(rig.core, "bres_hall", 20, 20, 0x0010);
    imageenc::Picture counter(8, 8, kColorKey565);
    for (int y = 4; y < 8; ++y)
      for (int x = 0; x < 8; ++x) counter.pixels[size_t(y * 8 + x)] = 0x8000;
    SImageEntry* e = MakePictureEntry(imageenc::Encode(counter, format));
    e->name.SetOwns();
    e->name.Set("bres_counter");
    rig.core.world.images.AddImage(e);
    const SAnimationEntry entries[] = {{"bres_hall", 0, 0, 0}, {"bres_counter", 4, 4, 5}};
    const SAnimation hall{2, entries};
    for (const int scale : {1, 2}) {
      SAnimCtrl a;
      a.Attach(&owner);
      a.SetRect(40, 40, u16(20 * scale), u16(20 * scale));
      a.SetAnimation(&hall);
      EXPECT_EQ(a.stretch, scale == 1 ? 0u : 1u);
      rig.core.display->Clear();
      a.Paint();
      EXPECT_EQ(rig.Pixel(40 + 5 * scale, 40 + 5 * scale), 0x0010) << format << " x" << scale;
      EXPECT_EQ(rig.Pixel(40 + 5 * scale, 40 + 10 * scale), 0x8000) << format << " x" << scale;
    }
  }
}

TEST(Controls, ProgressPortraitSceneTextAndTextLine) {
  UiRig rig(7, 240, 320);
  ASSERT_TRUE(rig.ready);
  EventLog log;
  LogDialog owner("owner", &log);
  owner.Attach(&rig.core);

  SProgressCtrl progress;
  EXPECT_EQ(progress.total, 1);
  progress.SetTotal(0);
  EXPECT_EQ(progress.total, 1);
  progress.SetTotal(2);
  for (int i = 0; i < 4; ++i) progress.Step();
  EXPECT_EQ(progress.done, 2);

  SFaceCtrl face;
  face.Attach(&owner);
  face.id = 36;
  face.SetRect(0, 0, 50, 50);
  EXPECT_EQ(face.OnPen(10, 10, 0, 0), 36u);
  EXPECT_EQ(face.OnPen(10, 10, 1, 0), 0u);
  CacheImage(rig.core, "bres_face", 8, 8, 0x0100);
  face.SetPictures(1, 0);
  EXPECT_NE(face.faceImage, nullptr);
  EXPECT_EQ(face.OnPen(10, 10, 0, 0), 0u) << "a face image makes the portrait ignore the pen";

  // Three lines scroll in one pixel per step; the text ends at three line heights and finishes 2 s later.
  SSceneTextCtrl scene;
  scene.Attach(&owner);
  scene.SetRect(10, 10, 200, 100);
  scene.SetStepTime(10);
  scene.Start("First line\rSecond line\rThird line");
  ASSERT_EQ(scene.lines.Count(), 3u);
  const i32 end = 3 * scene.lineHeight;
  EXPECT_EQ(scene.endPosition, end);
  int steps = 0;
  while (!scene.ending && steps < 1000) {
    rig.clock.Advance(10);
    EXPECT_EQ(scene.OnTick(0), 0u);
    ++steps;
  }
  EXPECT_EQ(scene.position, end);
  EXPECT_EQ(steps, end - scene.lineHeight / 2 + 1);
  rig.clock.Advance(1999);
  scene.OnTick(0);
  EXPECT_EQ(scene.finished, 0u);
  rig.clock.Advance(1);
  scene.OnTick(0);
  EXPECT_EQ(scene.finished, 1u);
  EXPECT_NE(owner.paints, 0);
  // Centred, the three lines stop where the block stands in the middle of the 100-pixel box; a text taller
  // than the box scrolls to its end as before.
  scene.Start("First line\rSecond line\rThird line", true);
  EXPECT_EQ(scene.endPosition, (100 + end) / 2);
  scene.Start("1\r2\r3\r4\r5\r6\r7\r8\r9", true);
  EXPECT_EQ(scene.endPosition, i32(scene.lines.Count()) * scene.lineHeight);
  EXPECT_GT(scene.endPosition, 100);

  STextCursorCtrl line;
  line.Attach(&owner);
  line.SetRect(0, 0, 2000, 20);
  line.SetDefaults();
  for (int i = 0; i < 51; ++i) line.AddChar('i');
  EXPECT_EQ(std::string(line.Text()), std::string(50, 'i')) << "the 51st character is refused";
  line.SetText(std::string(150, 'w').c_str());
  EXPECT_EQ(std::string(line.Text()).size(), 50u);
  line.maxLength = 500;
  line.SetText(std::string(150, 'w').c_str());
  EXPECT_EQ(std::string(line.Text()).size(), 99u) << "the line holds 99 characters";
  line.SetRect(0, 0, 40, 20);
  line.SetText("");
  for (int i = 0; i < 30; ++i) line.AddChar('W');
  const size_t fitted = std::string(line.Text()).size();
  EXPECT_GT(fitted, 0u);
  EXPECT_LT(rig.core.font->TextWidth(line.Text()) + 2, 40);
  line.Backspace();
  EXPECT_EQ(std::string(line.Text()).size(), fitted - 1);
  // The caret blinks every 600 ms.
  EXPECT_EQ(line.caretShown, 1u);
  rig.clock.Advance(599);
  line.OnTick(0);
  EXPECT_EQ(line.caretShown, 1u);
  rig.clock.Advance(1);
  line.OnTick(0);
  EXPECT_EQ(line.caretShown, 0u);
}

// Where the font drew the title and the body of a titled text.
struct TitledDrawn : STextObserver {
  std::vector<STextDrawn> texts;
  void OnText(const STextDrawn& d) override { texts.push_back(d); }
};

TEST(Controls, ClickableFillsAndTitledTexts) {
  UiRig rig(7, 240, 320);
  ASSERT_TRUE(rig.ready);
  SDialog owner;
  owner.Attach(&rig.core);

  // A clickable fill takes pen-downs from one pixel left of its rectangle to its last column and row.
  SFillColorCtrl fill;
  fill.id = 12;
  fill.inputMask = SCtrl::kInputPen;
  fill.SetRect(20, 30, 10, 5);
  const struct {
    i32 x, y;
    u32 touching, moving, code;
  } taps[] = {{19, 30, 1, 0, 12}, {29, 34, 1, 0, 12}, {18, 30, 1, 0, 0}, {30, 30, 1, 0, 0},
              {20, 35, 1, 0, 0},  {25, 29, 1, 0, 0},  {25, 32, 0, 0, 0}, {25, 32, 1, 1, 0}};
  for (const auto& t : taps) EXPECT_EQ(fill.OnPen(t.x, t.y, t.touching, t.moving), t.code) << t.x << "," << t.y;

  // A titled text: an empty body still has one page; a long one is cut into pages of whole lines, the
  // first after the title.
  STitleTextCtrl titled;
  titled.Attach(&owner);
  titled.SetRect(10, 10, 200, 100);
  titled.Setup(1, 0xFFFFFF, 0xC8C8C8, 0, 0, 4, 2, 0x00FFFF, 0xFF00FF);
  titled.SetText("Title", "", 0, 0);
  EXPECT_EQ(titled.PageCount(), 1u);
  EXPECT_STREQ(titled.pages[0].CStr(), "");
  std::string body;
  for (int i = 1; i <= 20; ++i) body += "Line " + std::to_string(i) + "\n";
  titled.SetText(nullptr, body.c_str(), 1, 0);
  EXPECT_STREQ(titled.title.CStr(), "Title") << "a missing title keeps the old one";
  rig.core.font->Select(1, 0, 0);
  const i32 line = rig.core.font->LineHeight() + 1;
  const i32 later = 100 / line;
  ASSERT_GE(titled.PageCount(), 2u);
  u32 lines = 0;
  for (u32 p = 0; p < titled.PageCount(); ++p) {
    const std::string page = titled.pages[p].CStr();
    const u32 n = u32(std::count(page.begin(), page.end(), '\r'));
    if (p > 0 && p + 1 < titled.PageCount()) {
      EXPECT_EQ(n, u32(later)) << p;
    }
    lines += n;
  }
  EXPECT_EQ(lines, 20u);
  EXPECT_LT(std::count(titled.pages[0].CStr(), titled.pages[0].CStr() + titled.pages[0].Length(), '\r'), later)
      << "the title takes room on the first page";

  // A title drawn on one line has its body right under it, whatever the width: a title that fitted the box it
  // is drawn in but not the narrower width it was measured at once left a blank line above the body
  // ("Round wooden shield" in the 240x320 pack). The small screens reserve no second title row.
  titled.flags |= SCtrl::kShown | SCtrl::kInDialog;
  titled.Setup(1, 0xFFFFFF, 0xC8C8C8, 0x161616, 1, 4, 2, 0xFF6464, 0x64C8C8);
  const i32 lineHeight = rig.core.font->LineHeight();
  std::set<i32> titleLines;
  for (u16 width = 90; width <= 200; ++width) {
    titled.SetRect(10, 10, width, 120);
    titled.SetText("Round wooden shield", "Light armor", 0, 0);
    TitledDrawn drawn;
    rig.core.font->SetObserver(&drawn);
    titled.Paint();
    rig.core.font->SetObserver(nullptr);
    ASSERT_EQ(drawn.texts.size(), 2u) << width;
    const STextDrawn &title = drawn.texts[0], &shown = drawn.texts[1];
    titleLines.insert(title.lines);
    EXPECT_GE(shown.top, title.bottom) << "at width " << width;
    EXPECT_LT(shown.top - title.bottom, lineHeight)
        << "a blank line under a title of " << title.lines << " lines at width " << width;
  }
  EXPECT_EQ(titleLines, (std::set<i32>{1, 2})) << "the widths cross the title's wrap";
}

}  // namespace
