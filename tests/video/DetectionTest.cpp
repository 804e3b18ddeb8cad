// Detection over device profiles: which drivers are candidates, which one the display gets, and that one
// presented frame shows the game's picture on the panel.
#include "Profiles.h"
#include "VideoRig.h"

#include <gtest/gtest.h>

namespace VideoTest {
namespace {

struct DetectCase {
  const char* label;
  Profile profile;
  std::vector<u32> candidates;
  u32 chosen;  // 0: no display can be made
  u32 askedOrientation = Hal::ORIENTATION_UNKNOWN;
};

std::vector<DetectCase> Cases() {
  std::vector<DetectCase> cases;
  cases.push_back({"window only (SDL)", WindowOnly(), {1}, 1});
  // A depth other than 16 leaves only the window path, whatever else the device has.
  Profile depth8 = XScaleVga();
  depth8.depth = 8;
  cases.push_back({"depth 8", depth8, {1}, 1});
  cases.push_back({"StrongARM model 1 with game API", StrongArmIpaq(), {1, 4, 5}, 5});
  cases.push_back({"StrongARM", StrongArmPlain(), {1, 4, 5}, 5});
  cases.push_back({"XScale: VGA stops the list", XScaleVga(), {1, 4, 9}, 9});
  cases.push_back({"XScale LCD", XScaleLcd(0), {1, 4, 6}, 6});
  cases.push_back({"Imageon", Imageon(), {1, 4, 7}, 7});
  cases.push_back({"MediaQ slow frame buffer", MediaQ(), {1, 3, 8}, 8});
  cases.push_back({"fast frame memory is no MediaQ", MediaQ(0, 0), {1, 3}, 3});
  cases.push_back({"direct with DMA", Direct(0, true), {1, 3}, 3});
  cases.push_back({"game API with DRAM buffer", Gapi(1, true), {1, 4}, 4});
  Profile openFails = MediaQ();
  openFails.gx = true;
  openFails.gxOpenFails = true;
  cases.push_back({"game API open fails: no direct either", openFails, {1}, 1});
  // A failing GETGXINFO leaves garbage in its record: not a candidate, and the garbage address never
  // reaches the MediaQ probe.
  Profile infoFails = MediaQ();
  infoFails.gxInfoResult = 0;
  cases.push_back({"GETGXINFO fails", infoFails, {1}, 1});
  Profile noKernel = XScaleLcd(0);
  noKernel.kernelMode = false;
  cases.push_back({"no kernel mode: processor unknown", noKernel, {1, 4}, 4});
  Profile noOverlay = Imageon();
  noOverlay.imageonMissing = "AtiCore_AllocOverlay";
  cases.push_back({"Imageon library without overlays", noOverlay, {1, 4}, 4});
  Profile badFormat = Vga(0);
  badFormat.rawFormat = 2;
  cases.push_back({"raw frame buffer not RGB565", badFormat, {1}, 1});
  // A raw frame buffer at address 0 is no frame memory: not a candidate, so the LCD still is.
  Profile nullFrame = XScaleVga();
  nullFrame.rawFrameNull = true;
  cases.push_back({"raw frame buffer at address 0", nullFrame, {1, 4, 6}, 6});
  Profile model8 = Vga(3);
  model8.oem = "MotoQ";
  cases.push_back({"VGA on model 8", model8, {1, 9}, 9});
  cases.push_back({"800x600 asking orientation 3", WindowOnly(800, 600), {1}, 0, Hal::ORIENTATION_ROTATE90CW});
  // Faults: in a probe (the VGA escape), the next probe still runs; in a driver's initialisation (its
  // first touch of frame memory), the next candidate is tried.
  Profile probeFault = XScaleVga();
  probeFault.faults.push_back({"GETRAWFRAMEBUFFER"});
  cases.push_back({"fault in a probe", probeFault, {1, 4, 6}, 6});
  Profile initFault = StrongArmIpaq();
  initFault.faults.push_back({"frame", 1});  // the first access reads the palette during detection
  cases.push_back({"fault in a driver's initialisation", initFault, {1, 4, 5}, 4});
  Profile cpuFault = XScaleLcd(0);
  cpuFault.cpuIdFaults = true;
  cases.push_back({"processor id read faults", cpuFault, {1, 4}, 4});
  return cases;
}

TEST(VideoDetection, ProfilesGiveCandidatesDriverAndPicture) {
  for (const DetectCase& c : Cases()) {
    SCOPED_TRACE(c.label);
    Rig rig(c.profile);
    EXPECT_EQ(rig.Candidates(), c.candidates);

    Hal::DisplayParameters params{c.profile.width, c.profile.height, c.askedOrientation, Hal::SWAP_COPY};
    Hal::Display* display = Hal::Display::Create(rig.window, &params);
    if (c.chosen == 0) {
      EXPECT_EQ(display, nullptr);
      continue;
    }
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(DriverId(display->Impl()->Driver()), c.chosen);

    ASSERT_TRUE(display->BeginScene());
    Hal::Surface* back = display->GetBackBuffer();
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->width, params.width);
    const std::vector<u16> picture = Pattern(params.width, params.height, 1);
    Draw(back, picture);
    ASSERT_TRUE(display->Swap(0));
    // The user sees the picture turned back by the orientation the game drew in.
    const std::vector<u16> want = TurnClockwise(picture, params.width, params.height, 4 - params.orientation);
    EXPECT_EQ(FirstDifference(rig.device.Screen(), want, c.profile.width), "");
    delete display;
  }
}

TEST(VideoDetection, FailedProbesLeaveTheDescriptionAlone) {
  {
    Profile infoFails = MediaQ();
    infoFails.gxInfoResult = 0;
    Rig rig(infoFails);
    EXPECT_EQ(rig.Detector().description.frameBuffer, 0u);
    // Nothing was cleared at the garbage address or anywhere else.
    EXPECT_EQ(rig.clock.TickCount(), 0u);
  }
  // A raw frame buffer reported at address 0 gives no address; the VGA driver, forced, makes no display.
  Profile nullFrame = Vga(0);
  nullFrame.rawFrameNull = true;
  Rig rig(nullFrame);
  EXPECT_EQ(rig.Candidates(), std::vector<u32>{1});
  EXPECT_EQ(rig.Detector().description.frameBuffer, 0u);
  rig.Detector().forcedDriver = 9;
  Hal::DisplayParameters params{240, 320, Hal::ORIENTATION_UNKNOWN, Hal::SWAP_COPY};
  EXPECT_EQ(Hal::Display::Create(rig.window, &params), nullptr);
}

TEST(VideoDetection, FaultingGameApiProbeClosesTheLibrarysDisplay) {
  Profile p = Gapi(0);
  p.faults.push_back({"GXBeginDraw"});
  Rig rig(p);
  EXPECT_EQ(rig.Candidates(), std::vector<u32>{1});
  EXPECT_EQ(rig.device.log.back(), "GXCloseDisplay");
}

TEST(VideoDetection, GameApiProbeFindsPanelLayout) {
  struct Row {
    u32 orientation;
    u32 width, height, pitch;
  };
  for (const Row& r : {Row{0, 240, 320, 480}, Row{1, 320, 240, 640}, Row{2, 240, 320, 480}, Row{3, 320, 240, 640}}) {
    SCOPED_TRACE(r.orientation);
    Rig rig(Gapi(r.orientation));
    const Hal::DeviceDescription& d = rig.Detector().description;
    EXPECT_EQ(d.orientation, r.orientation);
    EXPECT_EQ(d.width, r.width);
    EXPECT_EQ(d.height, r.height);
    EXPECT_EQ(d.pitch, r.pitch);
    // The frame is the panel's lowest address, whichever screen pixel lies there.
    EXPECT_EQ(d.frameBuffer, rig.device.ReportedFrame());
  }
}

TEST(VideoDetection, DisplayFollowsActivation) {
  Rig rig(Gapi(0));
  Hal::DisplayParameters params{240, 320, 0, Hal::SWAP_COPY};
  Hal::Display* display = Hal::Display::Create(rig.window, &params);
  ASSERT_NE(display, nullptr);
  rig.windows.SendMessage(rig.window, Os::kMsgActivate, 0, 0);
  rig.windows.SendMessage(rig.window, Os::kMsgActivate, 1, 0);
  EXPECT_TRUE(rig.device.LogHas("GXSuspend"));
  EXPECT_TRUE(rig.device.LogHas("GXResume"));
  delete display;
  EXPECT_TRUE(rig.device.LogHas("GXCloseDisplay"));
}

}  // namespace
}  // namespace VideoTest

namespace VideoTest {
namespace {

// With nothing simulated (the host's own services, as under the SDL backend) only the window path is
// found, and the display draws through it.
TEST(VideoDetection, HostServicesGiveTheWindowPath) {
  Os::VirtualClock clock;
  Os::WindowManager windows(240, 320);
  Os::InstallClock(&clock);
  Os::InstallWindows(&windows);
  windows.RegisterClass("HostVideo", [](Os::WindowId w, u32 m, Os::WParam wp, Os::LParam lp) {
    return Os::Windows().DefWindowProc(w, m, wp, lp);
  });
  const Os::WindowId window = windows.CreateWindow("HostVideo", "Duskmire", 0, 0, 240, 320, 0);
  Hal::VideoDetect::ResetInstance();
  Hal::VideoDetect::SetProbeWindow(window);
  Hal::DisplayParameters params{320, 240, Hal::ORIENTATION_ROTATE90CW, Hal::SWAP_COPY};
  Hal::Display* display = Hal::Display::Create(window, &params);
  ASSERT_NE(display, nullptr);
  const Hal::VideoDetect& detect = Hal::VideoDetect::Instance();
  EXPECT_EQ(std::vector<u32>(detect.candidates, detect.candidates + detect.candidateCount), std::vector<u32>{1});
  EXPECT_TRUE(display->BeginScene());
  EXPECT_TRUE(display->Swap(0));
  delete display;
  Hal::VideoDetect::ResetInstance();
  Os::InstallWindows(nullptr);
  Os::InstallClock(nullptr);
}

}  // namespace
}  // namespace VideoTest
