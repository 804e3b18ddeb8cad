// The screen manager: mode sizes, the view rectangle, frame-base tracking, drawing operations, and the
// start-up text drawn with the fonts of the built sample world.
#include "Fixtures.h"
#include "ImageEncode.h"
#include "foundation/SDatabase.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "graphics/SFontTables.h"
#include "graphics/renderer/SRenderer.h"
#include "platform/video/VideoDetect.h"
#include "support/Png.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

struct DisplayFixture {
  FakeHost host;
  std::vector<u16> pixels;
  SDisplay display;
  DisplayFixture(i32 mode, u16 w, u16 h) : pixels(static_cast<size_t>(w) * h, 0) {
    host.mode = mode;
    display.SetGameCore(&host);
    EXPECT_TRUE(display.UseMemory(pixels.data(), w, h));
  }
  u16 at(int x, int y) const { return pixels[static_cast<size_t>(y) * display.Width() + x]; }
};

TEST(Display, ModeSizes) {
  struct Case {
    i32 mode;
    u16 w, h;
  } cases[] = {{6, 320, 240},  {7, 240, 320},  {8, 240, 240},  {9, 640, 480},
               {10, 480, 640}, {14, 800, 480}, {15, 800, 584}, {16, 640, 240}};
  for (const auto& c : cases) {
    u16 w = 0, h = 0;
    EXPECT_TRUE(SDisplay::ModeSize(c.mode, w, h));
    EXPECT_EQ(w, c.w);
    EXPECT_EQ(h, c.h);
  }
  u16 w = 1, h = 2;
  EXPECT_FALSE(SDisplay::ModeSize(11, w, h));  // keeps the application's screen size
  EXPECT_EQ(w, 1);
}

TEST(Display, ViewRectangleFollowsTheViewSizeSetting) {
  struct Case {
    i32 mode;
    u32 orientation, setting;
    i32 lw, lh;  // the layout's view size at (0, 0)
    i32 x, y, w, h;
  } cases[] = {
      {9, 0, 2, 640, 400, 130, 40, 380, 320},  // "smallest": a centred 380 x 320 view
      {9, 0, 1, 640, 400, 65, 20, 510, 360},   // "moderate": halfway
      {9, 0, 0, 640, 400, 0, 0, 640, 400},
      {9, 1, 2, 640, 400, 130, 40, 380, 320},  // orientation 1 reads "LViewSize"
      {7, 0, 2, 240, 200, 0, 0, 240, 200},     // small screens take the layout as it is
      {7, 0, 0, 640, 400, 0, 0, 240, 320},     // a view beyond the mode's screen is cut to it
  };
  for (const auto& c : cases) {
    DisplayFixture f(c.mode, 640, 480);
    f.host.vw = c.lw;
    f.host.vh = c.lh;
    f.host.viewSize[c.orientation] = c.setting;
    f.display.SetOrientation(c.orientation);
    f.display.SetViewRect();
    const SWorldView& v = f.display.View();
    EXPECT_EQ(v.viewX, c.x) << c.mode << "/" << c.setting;
    EXPECT_EQ(v.viewY, c.y);
    EXPECT_EQ(v.viewWidth, c.w);
    EXPECT_EQ(v.viewHeight, c.h);
  }
  // A layout wider than the renderer's 800 columns is cut; a missing entry leaves the view as it was.
  DisplayFixture f(14, 800, 480);
  f.host.vw = 1200;
  f.host.vh = 300;
  f.display.SetViewRect();
  EXPECT_EQ(f.display.View().viewWidth, 800);
  f.host.hasView = false;
  f.host.vw = 100;
  f.display.SetViewRect();
  EXPECT_EQ(f.display.View().viewWidth, 800);
}

TEST(Display, ProjectionFollowsAMovedFrameBuffer) {
  DisplayFixture f(7, 240, 320);
  f.host.vw = 240;
  f.host.vh = 200;
  f.display.SetViewRect();
  std::vector<u16> other(240 * 320);
  const u32 before = f.display.ProjectionUpdates();
  f.display.SetFrameBase(f.pixels.data());  // unchanged: nothing to do
  EXPECT_EQ(f.display.ProjectionUpdates(), before);
  f.display.SetFrameBase(other.data());
  EXPECT_EQ(f.display.ProjectionUpdates(), before + 1);
  EXPECT_EQ(f.display.View().frameBuffer, other.data());
  EXPECT_EQ(f.display.Renderer()->screenSurface.base, other.data());
  EXPECT_EQ(f.display.View().pitch, 240);
  EXPECT_EQ(f.display.View().orientation, 0u);
}

TEST(Display, FollowsTheGameStatesWorldViewOnceItExists) {
  DisplayFixture f(7, 240, 320);
  SWorldView game;
  f.host.gameView = &game;
  f.display.SetViewRect();
  EXPECT_EQ(&f.display.View(), &game);
  EXPECT_EQ(f.display.Renderer()->view, &game);
  EXPECT_EQ(game.frameBuffer, f.pixels.data());
  EXPECT_EQ(game.pitch, 240);
  EXPECT_EQ(game.viewWidth, 240);
  EXPECT_EQ(game.viewHeight, 200);
}

TEST(Display, ThumbnailOfTheViewRectangle) {
  DisplayFixture f(9, 640, 480);
  f.host.vx = 0;
  f.host.vy = 0;
  f.host.vw = 640;
  f.host.vh = 400;
  f.host.viewSize[0] = 2;  // a centred 380 x 320 view at (130, 40)
  f.display.SetViewRect();
  f.display.FillRect(0, 0, 640, 480, 0x1111);
  f.display.FillRect(130, 40, 380, 320, 0x07E0);
  std::vector<u16> thumb(80 * 50, 0xFFFF);
  f.display.MakeViewThumbnail(thumb.data());
  for (int x = 0; x < 80; ++x) EXPECT_EQ(thumb[25 * 80 + x], (x < 10 || x >= 69) ? 0 : 0x07E0) << x;
}

TEST(Display, FrameAndFillsAndFlag) {
  DisplayFixture f(7, 240, 320);
  for (auto& p : f.pixels) p = 0xFFFF;
  f.display.View().flags = 0;
  f.display.DrawFrame(10, 10, 5, 3);
  EXPECT_EQ(f.display.View().flags & 2, 2);  // 2D drawing marks the frame
  for (int y = 9; y <= 13; ++y)
    for (int x = 9; x <= 15; ++x) {
      const bool border = (y == 10 || y == 12 || x == 10 || x == 14) && x >= 10 && x <= 14 && y >= 10 && y <= 12;
      EXPECT_EQ(f.at(x, y), border ? 0 : 0xFFFF) << x << "," << y;
    }
  f.display.Clear();
  for (u16 p : f.pixels) ASSERT_EQ(p, 0);
}

TEST(Display, ExplicitPalettesMustCoverTheImage) {
  DisplayFixture f(7, 240, 320);
  Record rec(imageenc::EncodeIndexed(2, 1, {0, 3}, {1, 2, 3, 4}));
  const u16 pal[4] = {0x10, 0x20, 0x30, 0x40};
  f.display.DrawImageOpaquePal(rec.image(), pal, 3, 0, 0);  // index 3 not covered: nothing drawn
  EXPECT_EQ(f.at(1, 0), 0);
  f.display.DrawImageOpaquePal(rec.image(), pal, 4, 0, 0);
  EXPECT_EQ(f.at(0, 0), 0x10);
  EXPECT_EQ(f.at(1, 0), 0x40);
  f.display.DrawImage(rec.image(), 5, 5);
  EXPECT_EQ(f.at(6, 5), 4);
  f.display.DrawImage(nullptr, 0, 0);
  // Icons read the picture with its own size: a 2 x 1 picture is one 5 x 5 block (edges repeated), 4 x 4
  // pixels at 40. Top-left blue: (16 x 1 + 4 x 4 + 4 x 1 + 4) / 25 = 1.
  f.display.DrawIcon40(rec.image(), nullptr, 0, 20, 20);
  EXPECT_EQ(f.at(20, 20), 1);
  EXPECT_EQ(f.at(24, 20), 0);
  EXPECT_EQ(f.at(20, 24), 0);
}

// Tiles and turned images reach every part of the screen, not only the 3D view's rectangle.
TEST(Display, TilesAndTurnedImagesCoverTheWholeScreen) {
  auto picture = [](int w, int h) {
    std::vector<u8> indices;
    std::vector<u16> palette{0xFFFF};  // index 0 is the key colour
    for (int i = 1; i < w * h; ++i) palette.push_back(static_cast<u16>(0x100 + i));
    for (int i = 0; i < w * h; ++i) indices.push_back(static_cast<u8>(i));
    return Record(imageenc::EncodeIndexed(w, h, indices, palette));
  };
  const Record tile = picture(7, 5), turned = picture(8, 4);
  auto colour = [](int w, int x, int y) { return x + y * w == 0 ? 0xFFFF : 0x100 + x + y * w; };
  for (bool keyed : {false, true}) {
    DisplayFixture f(7, 240, 320);
    f.display.SetViewRect();  // the view covers the top 200 rows only
    ASSERT_EQ(f.display.View().viewHeight, 200);
    for (auto& p : f.pixels) p = 0x1234;
    f.display.View().flags = 0;
    if (keyed)
      f.display.TileImageKeyed(0, 0, 240, 320, tile.image());
    else
      f.display.TileImage(0, 0, 240, 320, tile.image());
    EXPECT_EQ(f.display.View().flags & 2, 2);
    for (int y = 0; y < 320; ++y)
      for (int x = 0; x < 240; ++x) {
        const int want = colour(7, x % 7, y % 5);
        ASSERT_EQ(f.at(x, y), keyed && want == 0xFFFF ? 0x1234 : want) << keyed << " " << x << "," << y;
      }
  }
  // Turned by 0 degrees about (120, 300), below the view: the image axis-aligned around that point; by 90
  // degrees it stands 4 wide and 8 high.
  for (int degrees : {0, 90}) {
    DisplayFixture f(7, 240, 320);
    f.display.SetViewRect();
    f.display.DrawImageRotated(turned.image(), 120, 300, degrees);
    int x0 = 240, x1 = -1, y0 = 320, y1 = -1;
    for (int y = 0; y < 320; ++y)
      for (int x = 0; x < 240; ++x)
        if (f.at(x, y)) x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    if (degrees == 0) {
      for (int y = 298; y < 302; ++y)
        for (int x = 116; x < 124; ++x) {
          const int want = colour(8, x - 116, y - 298);
          EXPECT_EQ(f.at(x, y), want == 0xFFFF ? 0 : want) << x << "," << y;
        }
      EXPECT_EQ(x1 - x0 + 1, 8);
      EXPECT_EQ(y1 - y0 + 1, 4);
    } else {
      EXPECT_EQ(x1 - x0 + 1, 4);
      EXPECT_EQ(y1 - y0 + 1, 8);
    }
  }
}

// The start-up frame: "Starting\rDuskmire..." in font 1, white on black, in the box (30, 40)-(300, 120),
// with the font strips of the built DuskmireData.pdb.
void DrawStartupText(i32 mode, u16 w, u16 h, const char* golden) {
  const std::string data = DUSKMIRE_DATA_DIR;
  ASSERT_TRUE(std::filesystem::exists(data + "/DuskmireData.pdb")) << "build the sample_world target first";
  SFileStore store(data);
  SDatabase db(&store);
  ASSERT_TRUE(db.Open("DuskmireData"));
  DisplayFixture f(mode, w, h);
  SFont font;
  ASSERT_TRUE(font.Create(&f.host, &f.display, &db));
  f.display.FillRect(0, 0, w, h, 0);
  font.Select(1, 0xFFFFFF, 0);
  EXPECT_EQ(font.DrawText(30, 40, 300, 120, "Starting\rDuskmire...", 0), 2);
  EXPECT_EQ(testpng::CompareGolden(golden, f.pixels.data(), w, h, w), "");
}

TEST(Display, StartupTextFromTheSampleWorld) {
  DrawStartupText(7, 240, 320, "graphics_startup_240x320");
  DrawStartupText(9, 640, 480, "graphics_startup_640x480");
}

}  // namespace

namespace {

// The special glyphs the screens use, in each font of a small and a large screen: the coin, the two runs
// of number glyphs, backspace, bullet and the magic-item marks.
TEST(Display, SpecialGlyphsFromTheSampleWorld) {
  const std::string data = DUSKMIRE_DATA_DIR;
  ASSERT_TRUE(std::filesystem::exists(data + "/DuskmireData.pdb")) << "build the sample_world target first";
  SFileStore store(data);
  SDatabase db(&store);
  ASSERT_TRUE(db.Open("DuskmireData"));
  const std::string numbers = "\x09 \x0E\x0F\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D";
  const std::string second = "\xA0\xA1\xA2\xA3\xA4\xA5\xA6\xA7\xA8\xA9\x82\x83\x84\x85\x86\x87 \x91\x94\xB5\xB6";
  for (i32 mode : {7, 11}) {
    DisplayFixture f(mode, 320, 240);
    SFont font;
    ASSERT_TRUE(font.Create(&f.host, &f.display, &db));
    f.display.FillRect(0, 0, 320, 240, 0x2104);
    i32 y = 4;
    for (i32 index = 0; index < 3; ++index) {
      font.Select(index, 0x40E0FF, 0x000000);
      for (const std::string& line : {numbers, second, std::string("Gold: 1,250 Hit points")}) {
        font.DrawText(4, y, 316, 236, line.c_str(), 1);
        y += font.LineHeight();
      }
    }
    EXPECT_EQ(testpng::CompareGolden(mode == 7 ? "graphics_glyphs_small" : "graphics_glyphs_large", f.pixels.data(),
                                     320, 240, 320),
              "");
  }
}

// Every glyph of the sample world's fonts sits in the middle of its cell, and every letter and digit spans
// it: the game sets glyphs one column apart, so blank columns on one side read as a gap inside a word
// ("Gull I sle", "L oad Game"). Then a line of narrow glyphs and a line of wide capitals in each font, as a
// player reads them.
TEST(Display, GlyphsFillTheirCellsInTheSampleWorld) {
  const std::string data = DUSKMIRE_DATA_DIR;
  ASSERT_TRUE(std::filesystem::exists(data + "/DuskmireData.pdb")) << "build the sample_world target first";
  SFileStore store(data);
  SDatabase db(&store);
  ASSERT_TRUE(db.Open("DuskmireData"));
  for (i32 mode : {7, 11}) {
    DisplayFixture f(mode, 320, 240);
    SFont font;
    ASSERT_TRUE(font.Create(&f.host, &f.display, &db));
    for (i32 index = 0; index < 3; ++index) {
      font.Select(index, 0xFFFFFF, 0xFFFFFF);
      const u32 record = font.Current()->recordId;
      const SFontStripInfo* strip = FontStripInfo(record);
      ASSERT_NE(strip, nullptr) << record;
      // The glyphs the strip's table lists, but the coin, the blanks and the line-break mark.
      for (u32 i = 0; i < strip->count; ++i) {
        const u32 code = strip->entries[i].code;
        const i32 width = font.GlyphWidth(code);
        if (!width || code <= 12 || code == 32) continue;
        f.display.FillRect(0, 0, 320, 240, 0);
        const char text[2] = {char(code), 0};
        font.DrawText(10, 10, 300, 200, text, 1);
        std::vector<bool> ink(size_t(width), false);
        for (int y = 0; y < 240; ++y)
          for (int x = 0; x < 320; ++x)
            if (f.at(x, y)) {
              ASSERT_TRUE(x >= 10 && x < 10 + width) << record << " code " << code << " drawn outside its cell";
              ink[size_t(x - 10)] = true;
            }
        const auto first = std::find(ink.begin(), ink.end(), true);
        if (first == ink.end()) continue;
        const int lead = int(first - ink.begin()), trail = int(std::find(ink.rbegin(), ink.rend(), true) - ink.rbegin());
        const std::string glyph = std::to_string(record) + " code " + std::to_string(code) + " (" + text +
                                  "): blank columns " + std::to_string(lead) + " before, " + std::to_string(trail) +
                                  " after, in " + std::to_string(width);
        if (lead + trail >= 2) {
          EXPECT_LE(std::abs(lead - trail), 1) << glyph;
        }
        // Letters and digits span their cells: the cells are wider than the face draws most capitals, and
        // blank columns beside one read as a gap inside the word ("L oad"). The capital I spans it with
        // serifs; i and l are strokes, only centred.
        const bool stroke = code == 'i' || code == 'l' || (code >= 0xEC && code <= 0xEF);
        const bool letter = std::isalnum(int(code)) || (code >= 0xC0 && code != 0xD7 && code != 0xF7);
        if (letter && !stroke) {
          EXPECT_LE(lead + trail, 1) << glyph;
        }
      }
    }
    f.display.FillRect(0, 0, 320, 240, 0x2104);
    i32 y = 4;
    for (i32 index = 0; index < 3; ++index) {
      font.Select(index, 0xFFFFFF, 0x000000);
      for (const char* line : {"Gull Isle. It's closed in the night-time.", "Ill-lit jail: 1 l i j ! . ' ; fit",
                               "Load Game. Exit. Minion Turns, MAW"}) {
        font.DrawText(4, y, 316, 236, line, 1);
        y += font.LineHeight();
      }
    }
    EXPECT_EQ(testpng::CompareGolden(mode == 7 ? "graphics_narrow_glyphs_small" : "graphics_narrow_glyphs_large",
                                     f.pixels.data(), 320, 240, 320),
              "");
  }
}

}  // namespace

#include "os/Backend.h"
#include "os/headless/HeadlessWindows.h"

namespace {

Os::LResult PlainProc(Os::WindowId w, u32 m, Os::WParam wp, Os::LParam lp) {
  return Os::Windows().DefWindowProc(w, m, wp, lp);
}

// A window of its own on the headless backend, for a display made through the display layer.
Os::WindowId HeadlessWindow(const char* className, i32 width, i32 height) {
  if (!Os::Windows().RegisterClass(className, PlainProc)) return 0;
  return Os::Windows().CreateWindow(className, "Duskmire", 0, 0, width, height, 0);
}

// The same start-up frame through the display layer of the headless backend: the panel it captures
// matches the frame drawn into plain memory.
TEST(Display, StartupTextThroughTheHeadlessDisplayLayer) {
  const std::string data = DUSKMIRE_DATA_DIR;
  ASSERT_TRUE(std::filesystem::exists(data + "/DuskmireData.pdb")) << "build the sample_world target first";
  const std::string dir = std::string(DUSKMIRE_BIN_DIR) + "/frames";
  std::filesystem::create_directories(dir);
  Os::BackendOptions options;
  options.captureDir = dir;
  std::string error;
  ASSERT_TRUE(Os::UseHeadless(options, &error)) << error;
  {
    const Os::WindowId window = HeadlessWindow("GraphicsTest", 240, 320);
    ASSERT_NE(window, 0u);
    SFileStore store(data);
    SDatabase db(&store);
    ASSERT_TRUE(db.Open("DuskmireData"));
    FakeHost host;
    SDisplay display;
    display.SetGameCore(&host);
    ASSERT_TRUE(display.Init(window, 240, 320));
    EXPECT_EQ(display.Width(), 240);
    EXPECT_EQ(display.Pitch(), 240u);
    SFont font;
    ASSERT_TRUE(font.Create(&host, &display, &db));
    ASSERT_TRUE(display.BeginFrame());
    display.Clear();
    font.Select(1, 0xFFFFFF, 0);
    font.DrawText(30, 40, 300, 120, "Starting\rDuskmire...", 0);
    display.Present();
    ASSERT_TRUE(Os::HeadlessWindowSystem()->Capture("graphics_headless_startup", &error)) << error;
  }
  Os::FinishBackend(&error);
  std::vector<u16> panel, golden;
  int w = 0, h = 0, gw = 0, gh = 0;
  ASSERT_TRUE(testpng::ReadRgb565(dir + "/graphics_headless_startup.png", panel, w, h));
  ASSERT_TRUE(testpng::ReadRgb565(std::string(DUSKMIRE_GOLDEN_DIR) + "/graphics_startup_240x320.png", golden, gw, gh));
  EXPECT_EQ(w, gw);
  EXPECT_EQ(h, gh);
  EXPECT_TRUE(panel == golden) << "the captured panel differs from the frame drawn in memory";
}

// Switching from mode 7 to mode 6 without keeping the display makes a new 320 x 240 display and publishes
// the frame with pitch 320.
TEST(Display, ModeSwitchMakesANewDisplay) {
  Os::BackendOptions options;
  std::string error;
  ASSERT_TRUE(Os::UseHeadless(options, &error)) << error;
  {
    const Os::WindowId window = HeadlessWindow("GraphicsTest2", 240, 320);
    ASSERT_NE(window, 0u);
    FakeHost host;
    host.mode = 7;
    SDisplay display;
    display.SetGameCore(&host);
    ASSERT_TRUE(display.Init(window, 240, 320));
    EXPECT_EQ(display.View().pitch, 240);
    host.mode = 6;
    host.vw = 320;
    host.vh = 176;
    ASSERT_TRUE(display.ApplyScreenMode(false));
    EXPECT_TRUE(display.HasDisplay());
    EXPECT_EQ(display.Width(), 320);
    EXPECT_EQ(display.Height(), 240);
    ASSERT_TRUE(display.BeginFrame());
    EXPECT_EQ(display.View().pitch, 320);
    EXPECT_EQ(display.Screen().width, 320);
    EXPECT_EQ(display.Screen().height, 240);
    EXPECT_EQ(display.View().viewWidth, 480);  // until the game state sets the view on entering
    display.SetViewRect();
    EXPECT_EQ(display.View().viewWidth, 320);
    display.FillRect(0, 0, 320, 240, 0xF800);  // the whole new frame is drawable
    display.Present();
  }
  Os::FinishBackend(&error);
}

// A display that cannot be made again (a quarter turn of an 800 x 600 panel, which offers none) leaves
// nothing to draw into: the old frame buffer went with the old display, so drawing goes nowhere.
TEST(Display, AFailedRemakeDrawsNowhere) {
  Os::BackendOptions options;
  options.screenWidth = 800;
  options.screenHeight = 600;
  std::string error;
  ASSERT_TRUE(Os::UseHeadless(options, &error)) << error;
  Hal::VideoDetect::ResetInstance();  // the device found for this panel, not an earlier test's
  {
    const Os::WindowId window = HeadlessWindow("GraphicsTest3", 800, 600);
    ASSERT_NE(window, 0u);
    FakeHost host;
    host.mode = 15;
    SDisplay display;
    display.SetGameCore(&host);
    ASSERT_TRUE(display.Init(window, 800, 600));
    ASSERT_TRUE(display.BeginFrame());
    display.Present();
    display.SetOrientation(1);
    EXPECT_FALSE(display.ApplyScreenMode(false));
    EXPECT_FALSE(display.HasDisplay());
    EXPECT_EQ(display.Screen().base, nullptr);
    EXPECT_EQ(display.View().frameBuffer, nullptr);
    display.FillRect(0, 0, 800, 584, 0xF800);
    EXPECT_FALSE(display.BeginFrame());
  }
  Os::FinishBackend(&error);
  Hal::VideoDetect::ResetInstance();
}

}  // namespace

namespace {

// The display's clip, which a dialog sets to repaint what lies beneath one control: every drawing operation
// stays inside it (each drawn straddling every edge, and over the whole screen), and a new frame buffer
// ends it, as it was cut from the old one.
TEST(DisplayClip, EveryDrawingStaysInsideItAndANewFrameBufferEndsIt) {
  const std::string data = DUSKMIRE_DATA_DIR;
  SFileStore store(data);
  SDatabase db(&store);
  ASSERT_TRUE(db.Open("DuskmireData"));
  // A 60 x 50 picture without a clear pixel (index 0 is the key colour and is not used).
  std::vector<u8> indices(60 * 50);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = u8(1 + i % 7);
  const Record picture(
      imageenc::EncodeIndexed(60, 50, indices, {0xFFFF, 0x1111, 0x2222, 0x3333, 0x4444, 0x5555, 0x6666, 0x7777}));
  const std::vector<u16> raw(60 * 50, 0x0F0F);
  const u16 palette[8] = {0, 0x0101, 0x0202, 0x0303, 0x0404, 0x0505, 0x0606, 0x0707};
  using Draw = std::function<void(SDisplay&, SFont&, i32 x, i32 y)>;
  const SImage* im = picture.image();
  const std::pair<const char*, Draw> operations[] = {
      {"FillRect", [](SDisplay& d, SFont&, i32 x, i32 y) { d.FillRect(x, y, 60, 50, 0x0F00); }},
      {"Clear", [](SDisplay& d, SFont&, i32, i32) { d.Clear(); }},
      {"DrawFrame", [](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawFrame(x, y, 60, 50); }},
      {"DrawText",
       [](SDisplay&, SFont& f, i32 x, i32 y) {
         f.Select(1, 0xFFFFFF, 0x00FF00);
         f.DrawText(x, y, x + 60, y + 50, "WWW MMM WWW MMM WWW MMM", 0);
       }},
      {"DrawImage", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawImage(im, x, y); }},
      {"DrawImageOpaque", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawImageOpaque(im, x, y); }},
      {"DrawImageOpaquePal", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawImageOpaquePal(im, palette, 8, x, y); }},
      {"DrawImagePart", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawImagePart(im, x, y, 0, 0, 60, 50); }},
      {"DrawImagePartPal",
       [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawImagePartPal(im, palette, 8, x, y, 0, 0, 60, 50); }},
      {"DrawImagePartOpaque",
       [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawImagePartOpaque(im, x, y, 0, 0, 60, 50); }},
      {"DrawImagePartBlended", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawImagePartBlended(im, x, y, 0, 60, 50); }},
      {"DrawImageClipped",
       [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawImageClipped(im, x, y, 0, 0, 240, 320, false); }},
      {"DrawImageMirrored", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawImageMirrored(im, x, y); }},
      {"DrawImageScaled", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawImageScaled(im, x, y, 90, 70); }},
      {"DrawImageScaledKeyed", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawImageScaledKeyed(im, x, y, 90, 70); }},
      {"DrawImageRotated", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawImageRotated(im, x + 30, y + 25, 30); }},
      {"TileImageKeyed", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.TileImageKeyed(x, y, 130, 110, im); }},
      {"TileImage", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.TileImage(x, y, 130, 110, im); }},
      {"DrawIcon40", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawIcon40(im, nullptr, 0, x, y); }},
      {"DrawIcon30", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawIcon30(im, nullptr, 0, x, y); }},
      {"DrawIcon20", [=](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawIcon20(im, nullptr, 0, x, y); }},
      {"DrawRaw16", [&raw](SDisplay& d, SFont&, i32 x, i32 y) { d.DrawRaw16(x, y, raw.data(), 60, 50, 0, 0, 60, 50); }},
  };
  // The clip, and places that straddle each of its edges and corners, or hold it whole.
  const i32 cx = 90, cy = 120, cw = 40, ch = 30;
  const std::pair<i32, i32> places[] = {
      {cx - 50, cy - 40}, {cx + cw - 10, cy - 40}, {cx - 50, cy + ch - 10}, {cx + cw - 10, cy + ch - 10},
      {cx - 10, cy - 10}, {cx - 55, cy + 5},       {cx + 5, cy - 45}};
  const u16 ground = 0x0001;
  for (const auto& [name, draw] : operations) {
    DisplayFixture f(7, 240, 320);
    SFont font;
    ASSERT_TRUE(font.Create(&f.host, &f.display, &db));
    u32 inside = 0;
    for (const auto& [x, y] : places) {
      std::fill(f.pixels.begin(), f.pixels.end(), ground);
      f.display.SetClip(cx, cy, cw, ch);
      draw(f.display, font, x, y);
      f.display.ClearClip();
      for (i32 py = 0; py < 320; ++py)
        for (i32 px = 0; px < 240; ++px) {
          const bool in = px >= cx && py >= cy && px < cx + cw && py < cy + ch;
          if (in) {
            inside += f.at(px, py) != ground;
          } else {
            ASSERT_EQ(f.at(px, py), ground)
                << name << " at " << x << "," << y << " drew outside the clip at " << px << "," << py;
          }
        }
    }
    EXPECT_GT(inside, 0u) << name << " drew nothing inside the clip";
  }

  // A new frame buffer, in memory or through the display layer, ends the clip.
  DisplayFixture f(7, 240, 320);
  std::vector<u16> other(240 * 320, ground);
  f.display.SetClip(cx, cy, cw, ch);
  ASSERT_TRUE(f.display.UseMemory(other.data(), 240, 320));
  EXPECT_FALSE(f.display.Clipped());
  f.display.FillRect(0, 0, 240, 320, 0x0F00);
  EXPECT_EQ(std::count(other.begin(), other.end(), u16(0x0F00)), 240 * 320);

  Os::BackendOptions options;
  std::string error;
  ASSERT_TRUE(Os::UseHeadless(options, &error)) << error;
  {
    const Os::WindowId window = HeadlessWindow("GraphicsTestClip", 240, 320);
    ASSERT_NE(window, 0u);
    FakeHost host;
    SDisplay display;
    display.SetGameCore(&host);
    ASSERT_TRUE(display.Init(window, 240, 320));
    ASSERT_TRUE(display.BeginFrame());
    display.SetClip(cx, cy, cw, ch);
    ASSERT_NE(display.FlipAndBegin(), nullptr);
    EXPECT_FALSE(display.Clipped()) << "presenting ends the clip";
    display.FillRect(0, 0, 240, 320, 0x0F00);
    const SSurface& s = display.Screen();
    EXPECT_EQ(*s.Pixel(0, 0), 0x0F00);
    EXPECT_EQ(*s.Pixel(239, 319), 0x0F00);
    display.SetClip(cx, cy, cw, ch);
    ASSERT_TRUE(display.BeginFrame());
    EXPECT_FALSE(display.Clipped()) << "a new frame ends the clip";
    display.Present();
  }
  Os::FinishBackend(&error);
}

}  // namespace
