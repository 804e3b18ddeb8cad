#include "Rig.h"

#include "platform/hal/Blit.h"
#include "platform/hal/Display.h"
#include "platform/hal/RotationDriver.h"
#include "platform/video/GDIDriver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A driver with a chosen description that records what the display asks of it.
class FakeDriver : public Hal::VideoDriver {
 public:
  explicit FakeDriver(const Hal::DeviceDescription& d) : frame(Hal::Surface::Create(d.width, d.height)) {
    description = d;
    description.pitch = frame->pitch;
  }
  ~FakeDriver() override { delete frame; }
  bool Initialize(Os::WindowId, const Hal::DisplayParameters&, const Hal::DeviceDescription&) override { return true; }
  Hal::Surface* BeginDraw() override {
    ++begins;
    return frame;
  }
  void EndDraw(u32) override { ++ends; }
  void SetViewport(const Hal::Rect& r) override { viewport = r; }
  Hal::Surface* frame;
  Hal::Rect viewport;
  int begins = 0, ends = 0;
};

class FakeDisplay : public Hal::DisplayBase {
 public:
  FakeDisplay(Os::WindowId w, const Hal::DeviceDescription& d) : DisplayBase(w), desc(d) {}
  Hal::VideoDriver* CreateDriver(const Hal::DisplayParameters&) override {
    fake = new FakeDriver(desc);
    return fake;
  }
  Hal::DeviceDescription desc;
  FakeDriver* fake = nullptr;
};

Hal::DeviceDescription Native(u32 w, u32 h, u32 swap, u32 orientation = 0) {
  Hal::DeviceDescription d;
  d.width = w;
  d.height = h;
  d.depth = 16;
  d.orientation = orientation;
  d.swapEffect = swap;
  return d;
}

}  // namespace

TEST(Display, SwapEffectZeroIsNeverReturned) {
  ScreenRig rig;
  const Os::WindowId w = rig.NewWindow();
  for (u32 asked : {0u, 1u, 2u}) {
    Hal::DisplayParameters p{240, 320, 0, asked};
    Hal::Display* d = Hal::Display::Create(w, &p);
    ASSERT_NE(d, nullptr);
    EXPECT_NE(p.swapEffect, 0u) << "asked " << asked;
    EXPECT_EQ(p.width, 240u);
    EXPECT_EQ(p.height, 320u);
    delete d;
  }
}

TEST(Display, BackBufferFollowsTheDriversSwapEffect) {
  ScreenRig rig;
  const Os::WindowId w = rig.NewWindow();
  struct Case {
    u32 driverSwap, askedSwap;
    bool backBuffer;
    u32 actualSwap;
  } cases[] = {{0, 2, true, 2}, {0, 1, true, 2}, {1, 2, true, 2}, {1, 1, false, 1}, {2, 2, false, 2}};
  for (const Case& c : cases) {
    FakeDisplay display(w, Native(240, 320, c.driverSwap));
    ASSERT_TRUE(display.Initialize(Hal::DisplayParameters{240, 320, 0, c.askedSwap}));
    EXPECT_EQ(display.HasBackBuffer(), c.backBuffer) << c.driverSwap << "/" << c.askedSwap;
    EXPECT_EQ(display.Actual().swapEffect, c.actualSwap) << c.driverSwap << "/" << c.askedSwap;
  }
}

TEST(Display, UpdateRectangleIsClampedAndRounded) {
  ScreenRig rig;
  const Os::WindowId w = rig.NewWindow();
  FakeDisplay display(w, Native(240, 320, 0));
  ASSERT_TRUE(display.Initialize(Hal::DisplayParameters{240, 320, 0, 2}));
  struct Case {
    Hal::Rect in, viewport, update;
    bool fullRows;
  } cases[] = {
      {{-5, -5, 1000, 1000}, {0, 0, 240, 320}, {0, 0, 240, 320}, true},
      {{10, 10, 10, 20}, {0, 0, 0, 0}, {0, 0, 0, 0}, false},
      {{3, 5, 7, 9}, {3, 5, 7, 9}, {2, 4, 8, 10}, false},
      {{0, 7, 239, 100}, {0, 7, 239, 100}, {0, 6, 240, 100}, true},
  };
  for (const Case& c : cases) {
    display.SetUpdateRect(&c.in);
    const Hal::Rect& v = display.fake->viewport;
    const Hal::Rect& u = display.UpdateRect();
    EXPECT_EQ(std::to_string(v.left) + "," + std::to_string(v.top) + "," + std::to_string(v.right) + "," +
                  std::to_string(v.bottom),
              std::to_string(c.viewport.left) + "," + std::to_string(c.viewport.top) + "," +
                  std::to_string(c.viewport.right) + "," + std::to_string(c.viewport.bottom));
    EXPECT_EQ(std::to_string(u.left) + "," + std::to_string(u.top) + "," + std::to_string(u.right) + "," +
                  std::to_string(u.bottom),
              std::to_string(c.update.left) + "," + std::to_string(c.update.top) + "," +
                  std::to_string(c.update.right) + "," + std::to_string(c.update.bottom));
    EXPECT_EQ(display.FullRows(), c.fullRows);
  }
}

TEST(Display, SwapCopiesOnlyTheUpdateRectangle) {
  ScreenRig rig;
  const Os::WindowId w = rig.NewWindow();
  FakeDisplay display(w, Native(240, 320, 0));
  ASSERT_TRUE(display.Initialize(Hal::DisplayParameters{240, 320, 0, 2}));
  EXPECT_FALSE(display.Swap(0)) << "no frame buffer held yet";
  EXPECT_EQ(display.fake->ends, 0);
  const Hal::Rect r{10, 20, 30, 40};
  display.SetUpdateRect(&r);
  ASSERT_TRUE(display.BeginScene());
  Hal::Surface* back = display.GetBackBuffer();
  ASSERT_NE(back, display.fake->frame);
  for (u32 y = 0; y < back->height; ++y)
    for (u32 x = 0; x < back->width; ++x) back->Row(y)[x] = 0x1234;
  ASSERT_TRUE(display.Swap(0));
  EXPECT_EQ(display.fake->ends, 1);
  EXPECT_EQ(display.fake->frame->Row(20)[10], 0x1234);
  EXPECT_EQ(display.fake->frame->Row(39)[29], 0x1234);
  EXPECT_EQ(display.fake->frame->Row(40)[10], 0);
  EXPECT_EQ(display.fake->frame->Row(20)[30], 0);
  EXPECT_FALSE(display.Swap(0)) << "a swap releases the frame buffer";
}

TEST(Display, DeactivationSuspendsUntilActivated) {
  ScreenRig rig;
  const Os::WindowId w = rig.NewWindow();
  Hal::DisplayParameters p{240, 320, 0, 2};
  Hal::Display* d = Hal::Display::Create(w, &p);
  ASSERT_NE(d, nullptr);
  ScreenRig::log().clear();
  rig.windows->SendMessage(w, Os::kMsgActivate, 0, 0);
  EXPECT_FALSE(d->BeginScene());
  rig.windows->SendMessage(w, Os::kMsgActivate, 1, 0);
  EXPECT_TRUE(d->BeginScene());
  EXPECT_TRUE(d->Swap(0));
  // The window's own procedure still sees every message.
  EXPECT_EQ(ScreenRig::log(), (std::vector<u32>{Os::kMsgActivate, Os::kMsgActivate}));
  delete d;
  EXPECT_EQ(Hal::HookedWindowCount(), 0u);
}

TEST(Display, DestroyUnhooksAndReachesTheWindowProcedure) {
  ScreenRig rig;
  const Os::WindowId w = rig.NewWindow();
  Hal::DisplayParameters p{240, 320, 0, 2};
  Hal::Display* d = Hal::Display::Create(w, &p);
  ASSERT_NE(d, nullptr);
  ScreenRig::log().clear();
  EXPECT_TRUE(rig.windows->DestroyWindow(w));
  EXPECT_FALSE(rig.windows->DestroyWindow(w)) << "destroying twice is harmless";
  EXPECT_EQ(ScreenRig::log(), (std::vector<u32>{Os::kMsgDestroy}));
  EXPECT_EQ(Hal::HookedWindowCount(), 0u);
  delete d;  // the window is gone: nothing to unhook
}

TEST(Display, SeventeenthHookedWindowIsRefused) {
  ScreenRig rig;
  FakeDisplay display(0, Native(240, 320, 2));
  std::vector<Os::WindowId> windows;
  for (int i = 0; i < 17; ++i) windows.push_back(rig.NewWindow());
  for (int i = 0; i < 16; ++i) EXPECT_TRUE(Hal::SubclassWindow(windows[i], &display));
  EXPECT_FALSE(Hal::SubclassWindow(windows[16], &display));
  for (int i = 0; i < 16; ++i) Hal::UnsubclassWindow(windows[i]);
  EXPECT_EQ(Hal::HookedWindowCount(), 0u);
}

TEST(Display, LandscapeOnPortraitPanelTurnsThePictureOntoThePanel) {
  ScreenRig rig;
  const Os::WindowId w = rig.NewWindow();
  Hal::DisplayParameters p{320, 240, Hal::ORIENTATION_ROTATE90CW, 2};
  Hal::Display* d = Hal::Display::Create(w, &p);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(p.width, 320u);
  EXPECT_EQ(p.height, 240u);
  EXPECT_EQ(p.orientation, 3u);
  EXPECT_EQ(d->Impl()->ContentTurn(), 1u);
  EXPECT_EQ(rig.windows->ContentTurn(), 1u);
  ASSERT_TRUE(d->BeginScene());
  Hal::Surface* back = d->GetBackBuffer();
  ASSERT_EQ(back->width, 320u);
  ASSERT_EQ(back->height, 240u);
  for (u32 y = 0; y < 240; ++y)
    for (u32 x = 0; x < 320; ++x) back->Row(y)[x] = u16(x * 7 + y * 13);
  ASSERT_TRUE(d->Swap(0));
  const Os::Panel& panel = rig.gdi->GetPanel();
  for (u32 sy = 0; sy < 240; ++sy)
    for (u32 sx = 0; sx < 320; ++sx)
      ASSERT_EQ(panel.At(i32(240 - 1 - sy), i32(sx)), u16(sx * 7 + sy * 13)) << sx << "," << sy;
  delete d;
}

// A picture that only fits the panel turned is turned, when the device offers the asked orientation.
TEST(Display, PictureThatFitsOnlyTurnedIsTurned) {
  const struct {
    int panelW, panelH;
    u32 w, h, orientation;
    u32 turn, actualOrientation;
  } cases[] = {{240, 320, 320, 240, 0, 1, 3},
               {320, 240, 240, 320, 0, 1, 3},
               {320, 240, 320, 240, 3, 0, 0},
               {240, 320, 240, 320, 0, 0, 0},
               {240, 320, 320, 240, 3, 1, 3}};
  for (const auto& c : cases) {
    ScreenRig rig(c.panelW, c.panelH);
    const Os::WindowId w = rig.NewWindow();
    Hal::DisplayParameters p{c.w, c.h, c.orientation, 2};
    Hal::Display* d = Hal::Display::Create(w, &p);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(p.width, c.w);
    EXPECT_EQ(p.height, c.h);
    EXPECT_EQ(p.orientation, c.actualOrientation);
    EXPECT_EQ(d->Impl()->ContentTurn(), c.turn);
    ASSERT_TRUE(d->BeginScene());
    EXPECT_EQ(d->GetBackBuffer()->width, c.w);
    EXPECT_EQ(d->GetBackBuffer()->height, c.h);
    EXPECT_TRUE(d->Swap(0));
    delete d;
  }
}

TEST(Display, NoDriverNoDisplay) {
  ScreenRig rig(800, 600);
  const Os::WindowId w = rig.NewWindow();
  // 600 is no multiple of 16: no quarter turns are offered.
  Hal::DisplayParameters p{600, 800, Hal::ORIENTATION_ROTATE90CW, 2};
  EXPECT_EQ(Hal::Display::Create(w, &p), nullptr);
  EXPECT_EQ(Hal::HookedWindowCount(), 0u);
  Hal::DisplayParameters gone{800, 600, 0, 2};
  EXPECT_EQ(Hal::Display::Create(0x7777, &gone), nullptr);
  EXPECT_EQ(rig.gdi->LiveBitmaps(), 0u);
}

TEST(GDIDriver, DrawsIntoATopDownBitFieldSection) {
  struct RecordingGdi : Os::PanelGdi {
    using PanelGdi::PanelGdi;
    Os::GdiObject CreateDIBSection(Os::Dc dc, const Os::BitmapInfo16& info, void** bits) override {
      seen = info;
      return PanelGdi::CreateDIBSection(dc, info, bits);
    }
    Os::BitmapInfo16 seen;
  };
  ScreenRig rig;
  RecordingGdi gdi(240, 320, 16);
  Os::InstallGraphics(&gdi);
  const Os::WindowId w = rig.NewWindow();
  {
    Hal::GDIDriver driver;
    Hal::DeviceDescription desc = Native(240, 320, 0, 4);
    ASSERT_TRUE(driver.Initialize(w, Hal::DisplayParameters{240, 320, 0, 2}, desc));
    EXPECT_FALSE(driver.Initialize(w, Hal::DisplayParameters{240, 320, 0, 2}, desc));
    EXPECT_EQ(gdi.seen.headerSize, 40u);
    EXPECT_EQ(gdi.seen.height, -320);
    EXPECT_EQ(gdi.seen.sizeImage, 240u * 320u * 2u);
    EXPECT_EQ(gdi.seen.masks[0], 0xF800u);
    EXPECT_EQ(gdi.seen.masks[1], 0x07E0u);
    EXPECT_EQ(gdi.seen.masks[2], 0x001Fu);
    EXPECT_EQ(driver.Description().swapEffect, 2u);
    EXPECT_EQ(driver.Description().orientation, 0u);
    Hal::Surface* s = driver.BeginDraw();
    s->Row(5)[6] = 0xABCD;
    driver.SetViewport(Hal::Rect{4, 4, 8, 8});
    driver.EndDraw(0);
    EXPECT_EQ(gdi.GetPanel().At(6, 5), 0xABCD);
  }
  EXPECT_EQ(gdi.LiveBitmaps(), 0u);
  EXPECT_EQ(gdi.LiveDcs(), 0u);
  Os::InstallGraphics(rig.gdi.get());
}
