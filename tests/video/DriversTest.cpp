// Each driver presents the game's picture correctly in every mode the device offers, over panels in each
// native orientation its detection allows, and the drivers' own rules hold.
#include "Profiles.h"
#include "VideoRig.h"

#include "platform/video/DeviceAccess.h"
#include "platform/video/DriverDirect.h"
#include "platform/video/DriverLcd.h"
#include "platform/video/DriverMediaQ.h"

#include <gtest/gtest.h>

#include <memory>

namespace VideoTest {
namespace {

// Draws a picture into a fresh frame and presents it; the screen as the user holds it must show it turned
// back by the orientation the game drew in.
void PresentAndCheck(Rig& rig, Hal::Display& display, const Hal::DisplayParameters& params, u32 seed, u32 flags = 0) {
  ASSERT_TRUE(display.BeginScene());
  Hal::Surface* back = display.GetBackBuffer();
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->width, params.width);
  ASSERT_EQ(back->height, params.height);
  const std::vector<u16> picture = Pattern(params.width, params.height, seed);
  Draw(back, picture);
  ASSERT_TRUE(display.Swap(flags));
  const std::vector<u16> want = TurnClockwise(picture, params.width, params.height, 4 - params.orientation);
  EXPECT_EQ(FirstDifference(rig.device.Screen(), want, rig.device.profile().width), "");
}

std::unique_ptr<Hal::Display> Open(Rig& rig, u32 width, u32 height, u32 orientation) {
  Hal::DisplayParameters params{width, height, orientation, Hal::SWAP_COPY};
  return std::unique_ptr<Hal::Display>(Hal::Display::Create(rig.window, &params));
}

struct ModeCase {
  Profile profile;
  u32 driver;
};

TEST(VideoDrivers, PresentInEveryModeOverEveryNativeOrientation) {
  std::vector<ModeCase> cases;
  for (u32 o = 0; o < 4; ++o) {
    cases.push_back({Gapi(o), 4});
    cases.push_back({Gapi(o, true), 4});
    cases.push_back({Vga(o), 9});
    cases.push_back({XScaleLcd(o), 6});
  }
  for (u32 o = 0; o < 2; ++o) {
    cases.push_back({Direct(o, false), 3});
    cases.push_back({Direct(o, true), 3});
    cases.push_back({MediaQ(o), 8});
  }
  cases.push_back({StrongArmIpaq(), 5});
  cases.push_back({StrongArmPlain(), 5});
  cases.push_back({Imageon(), 7});
  cases.push_back({WindowOnly(), 1});
  // A frame of 232 x 310 is no multiple of 64 bytes: the MediaQ driver draws straight into it. Its sides
  // are no multiples of 16, so it offers only its own mode.
  Profile odd = MediaQ(0, 120);
  odd.width = 232;
  odd.height = 310;
  cases.push_back({odd, 8});

  for (const ModeCase& c : cases) {
    Rig rig(c.profile);
    const Hal::VideoDetect& detect = rig.Detector();
    ASSERT_GE(detect.modeCount, 1u);
    for (u32 m = 0; m < detect.modeCount; ++m) {
      const Hal::DisplayMode mode = detect.modes[m];
      SCOPED_TRACE(std::string(c.profile.name) + ", native orientation " + std::to_string(c.profile.orientation) +
                   ", mode orientation " + std::to_string(mode.orientation));
      Hal::DisplayParameters params{mode.width, mode.height, mode.orientation, Hal::SWAP_COPY};
      std::unique_ptr<Hal::Display> display(Hal::Display::Create(rig.window, &params));
      ASSERT_NE(display, nullptr);
      EXPECT_EQ(params.orientation, mode.orientation);
      // Two frames, the second presented after a wait for the scan.
      PresentAndCheck(rig, *display, params, 1 + m);
      PresentAndCheck(rig, *display, params, 7 + m, 1);
    }
  }
}

TEST(VideoDrivers, ChosenDriverMatchesProfile) {
  for (const ModeCase& c : {ModeCase{Direct(1, true), 3}, ModeCase{MediaQ(1), 8}, ModeCase{StrongArmIpaq(), 5}}) {
    SCOPED_TRACE(c.profile.name);
    Rig rig(c.profile);
    auto display =
        Open(rig, rig.Detector().description.width, rig.Detector().description.height, Hal::ORIENTATION_UNKNOWN);
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(DriverId(display->Impl()->Driver()), c.driver);
  }
}

TEST(VideoDrivers, DirectDmaRectangleAndBoundedReadyWait) {
  Profile p = Direct(0, true);
  p.dmaNeverReady = true;
  Rig rig(p);
  auto display = Open(rig, 240, 320, 0);
  ASSERT_NE(display, nullptr);
  auto* direct = dynamic_cast<Hal::DriverDirect*>(display->Impl()->Driver());
  ASSERT_NE(direct, nullptr);
  ASSERT_TRUE(direct->UsesDma());
  const Hal::Rect r{5, 2, 10, 9};
  display->SetUpdateRect(&r);
  const Hal::Rect dma = direct->DmaRect();
  EXPECT_EQ(dma.left, 4);
  EXPECT_EQ(dma.right - dma.left, 8);
  EXPECT_EQ(dma.top, 2);
  EXPECT_EQ(dma.bottom, 9);
  // An engine that never reports ready delays the frame, but does not hang it.
  EXPECT_TRUE(display->BeginScene());
  EXPECT_EQ(rig.device.DmaPolls(), Hal::DriverDirect::kDmaReadyPolls);
}

TEST(VideoDrivers, DirectWaitsForTheDmaEngine) {
  Rig rig(Direct(0, true));  // busy for three polls after each transfer
  auto display = Open(rig, 240, 320, 0);
  ASSERT_NE(display, nullptr);
  for (u32 frame = 0; frame < 3; ++frame) {
    ASSERT_TRUE(display->BeginScene());
    ASSERT_TRUE(display->Swap(0));
  }
  EXPECT_EQ(rig.device.DmaTransfers(), 3u);
  EXPECT_EQ(rig.device.DmaPolls(), 1u + 4u + 4u);
}

TEST(VideoDrivers, ScanWaitEndsInsideTheWindow) {
  struct Case {
    const char* label;
    Profile profile;
  };
  Profile xscaleBlank = XScaleLcd(0);
  xscaleBlank.scanStart = 320;  // starts in the blanking lines, where the palette-load bit is set
  Profile strongBlank = StrongArmPlain();
  strongBlank.scanStart = 330;
  for (const Case& c : {Case{"StrongARM", StrongArmPlain()}, Case{"StrongARM from blanking", strongBlank},
                        Case{"XScale", XScaleLcd(0)}, Case{"XScale from blanking", xscaleBlank}}) {
    SCOPED_TRACE(c.label);
    Rig rig(c.profile);
    auto display = Open(rig, 240, 320, Hal::ORIENTATION_UNKNOWN);
    ASSERT_NE(display, nullptr);
    ASSERT_TRUE(display->BeginScene());
    const u32 readsBefore = rig.device.ScanReads();
    display->Impl()->Driver()->WaitVSync();
    EXPECT_GT(rig.device.ScanReads(), readsBefore);
    EXPECT_GE(rig.device.ScanLine(), 320u - 34u);
    EXPECT_LE(rig.device.ScanLine(), 320u - 20u);
  }
}

TEST(VideoDrivers, ScanWaitGivesUpOnAStoppedController) {
  for (Profile p : {StrongArmPlain(), XScaleLcd(0)}) {
    SCOPED_TRACE(p.name);
    p.scanStuck = true;
    Rig rig(p);
    auto display = Open(rig, 240, 320, Hal::ORIENTATION_UNKNOWN);
    ASSERT_NE(display, nullptr);
    ASSERT_TRUE(display->BeginScene());
    ASSERT_TRUE(display->Swap(1));
    EXPECT_EQ(rig.device.ScanReads(), Hal::DriverLcd::kScanReads);
  }
}

TEST(VideoDrivers, SlowFrameBufferWritesChangedWordsAndAllAfterResume) {
  Rig rig(MediaQ());
  auto display = Open(rig, 240, 320, 0);
  ASSERT_NE(display, nullptr);
  auto* slow = dynamic_cast<Hal::DriverSlowFB*>(display->Impl()->Driver());
  ASSERT_NE(slow, nullptr);
  ASSERT_TRUE(slow->DoubleBuffered());
  EXPECT_EQ(slow->Description().swapEffect, Hal::SWAP_COPY);
  EXPECT_FALSE(display->Impl()->HasBackBuffer());
  const u32 allWords = 240 * 320 / 2;

  std::vector<u16> picture = Pattern(240, 320, 3);
  auto present = [&] {
    ASSERT_TRUE(display->BeginScene());
    Draw(display->GetBackBuffer(), picture);
    ASSERT_TRUE(display->Swap(0));
    EXPECT_EQ(FirstDifference(rig.device.Screen(), picture, 240), "");
  };
  present();
  EXPECT_EQ(slow->WordsWritten(), allWords);  // the first frame goes out whole
  picture[10 * 240 + 17] ^= 0xFFFF;
  picture[300 * 240 + 238] ^= 0x0F0F;
  present();
  EXPECT_EQ(slow->WordsWritten(), 2u);
  present();
  EXPECT_EQ(slow->WordsWritten(), 0u);
  // After a suspension, and after a repaint, the panel may show anything: the next frame goes out whole.
  rig.windows.SendMessage(rig.window, Os::kMsgActivate, 0, 0);
  rig.windows.SendMessage(rig.window, Os::kMsgActivate, 1, 0);
  present();
  EXPECT_EQ(slow->WordsWritten(), allWords);
  rig.windows.SendMessage(rig.window, Os::kMsgPaint, 0, 0);
  present();
  EXPECT_EQ(slow->WordsWritten(), allWords);
  // Flag bit 1 forces a whole copy too.
  ASSERT_TRUE(display->BeginScene());
  ASSERT_TRUE(display->Swap(2));
  EXPECT_EQ(slow->WordsWritten(), allWords);
}

TEST(VideoDrivers, SlowFrameBufferSpansWholeUnits) {
  Rig rig(MediaQ());
  auto display = Open(rig, 240, 320, 0);
  ASSERT_NE(display, nullptr);
  auto* slow = dynamic_cast<Hal::DriverSlowFB*>(display->Impl()->Driver());
  ASSERT_NE(slow, nullptr);
  struct Case {
    i32 top, bottom;
    u32 offset, units;
  };
  // Rows of 480 bytes: an odd number of rows is no whole number of 64-byte units, so the span grows to
  // even rows.
  for (const Case& c :
       {Case{3, 7, 3 * 480, 30}, Case{3, 6, 2 * 480, 30}, Case{0, 320, 0, 2400}, Case{319, 320, 318 * 480, 15}}) {
    const Hal::Rect r{0, c.top, 240, c.bottom};
    display->SetUpdateRect(&r);
    EXPECT_EQ(slow->SpanOffset(), c.offset) << c.top << ".." << c.bottom;
    EXPECT_EQ(slow->SpanUnits(), c.units) << c.top << ".." << c.bottom;
  }
}

TEST(VideoDrivers, GameApiOnModelsTwoAndThreeDrawsIntoTheDetectedFrame) {
  for (const char* oem : {"Compale P6C", "Typhoon"}) {
    SCOPED_TRACE(oem);
    Profile p = Gapi(0);
    p.oem = oem;
    Rig rig(p);
    auto display = Open(rig, 240, 320, 0);
    ASSERT_NE(display, nullptr);
    const u32 begins = rig.device.LogCount("GXBeginDraw"), ends = rig.device.LogCount("GXEndDraw");
    Hal::DisplayParameters params{240, 320, 0, Hal::SWAP_COPY};
    PresentAndCheck(rig, *display, params, 5);
    EXPECT_EQ(rig.device.LogCount("GXBeginDraw"), begins);
    EXPECT_EQ(rig.device.LogCount("GXEndDraw"), ends);
  }
}

TEST(VideoDrivers, DirectUsesNoDmaOnModelsTwoAndThree) {
  Profile p = Direct(0, true);
  p.oem = "TYPHOON";
  Rig rig(p);
  Hal::DriverDirect driver;
  EXPECT_FALSE(driver.UsesDma());
}

TEST(VideoDrivers, ImageonOverlayFollowsTheWindow) {
  Rig rig(Imageon());
  auto display = Open(rig, 240, 320, 0);
  ASSERT_NE(display, nullptr);
  EXPECT_TRUE(rig.device.LogHas("overlay 1"));
  rig.windows.SendMessage(rig.window, Os::kMsgActivate, 0, 0);
  EXPECT_EQ(rig.device.log.back(), "overlay 0");
  rig.windows.SendMessage(rig.window, Os::kMsgActivate, 1, 0);
  EXPECT_EQ(rig.device.log.back(), "overlay 1");
  display.reset();
  EXPECT_TRUE(rig.device.LogHas("AtiCore_ReleaseOverlay"));
  EXPECT_TRUE(rig.device.LogHas("AtiCore_DestroySurface"));
  EXPECT_EQ(rig.device.log.back(), "AtiCore_ProcessDetach");
}

TEST(VideoDrivers, ImageonGivesNoFrameWhileTheChipIsBusy) {
  Profile p = Imageon();
  p.imageonBusyWaits = 40;  // more than the driver polls
  Rig rig(p);
  auto display = Open(rig, 240, 320, 0);
  ASSERT_NE(display, nullptr);
  EXPECT_FALSE(display->BeginScene());
  EXPECT_TRUE(display->BeginScene());  // the chip finished meanwhile
}

}  // namespace
}  // namespace VideoTest
