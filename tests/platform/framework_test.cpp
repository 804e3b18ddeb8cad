#include "Rig.h"

#include "os/Backend.h"
#include "os/headless/HeadlessWindows.h"
#include "os/headless/VirtualClock.h"
#include "platform/hal/Game.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every virtual call as text.
class RecordingGame : public Hal::Game {
 public:
  void OnShutdown() override { calls.push_back("shutdown"); }
  bool OnFrame() override {
    frameTimes.push_back(Hal::GetTime());
    return Hal::Game::OnFrame();
  }
  void OnSuspend() override { calls.push_back("suspend"); }
  void OnResume() override {
    calls.push_back("resume");
    Hal::Game::OnResume();
  }
  void OnKeyDown(u32 k) override { calls.push_back("keydown " + std::to_string(k)); }
  void OnKeyUp(u32 k) override { calls.push_back("keyup " + std::to_string(k)); }
  void OnPenDown(i32 x, i32 y) override { calls.push_back("pendown " + std::to_string(x) + " " + std::to_string(y)); }
  void OnPenMove(i32 x, i32 y) override { calls.push_back("penmove " + std::to_string(x) + " " + std::to_string(y)); }
  void OnPenUp(i32 x, i32 y) override { calls.push_back("penup " + std::to_string(x) + " " + std::to_string(y)); }
  std::vector<std::string> calls;
  std::vector<u32> frameTimes;
};

// Lets every start through, as the only instance.
class FreeInstances : public Os::InstanceLock {
 public:
  bool TryAcquire(const char* name) override {
    acquired = name;
    return !taken;
  }
  u32 RaiseHolder(const char*) override {
    ++raised;
    return 0;
  }
  bool TakeRaiseRequest() override { return false; }
  void Release() override {}
  std::string acquired;
  bool taken = false;
  int raised = 0;
};

struct HeadlessRig {
  explicit HeadlessRig(int w = 240, int h = 320, const std::string& input = "") {
    Os::BackendOptions o;
    o.screenWidth = w;
    o.screenHeight = h;
    o.inputFile = input;
    std::string error;
    EXPECT_TRUE(Os::UseHeadless(o, &error)) << error;
    Os::InstallInstances(&instances);  // in place of the headless backend's own
    Hal::ResetTimer();
  }
  ~HeadlessRig() {
    std::string error;
    Os::FinishBackend(&error);
    Hal::ResetTimer();
    Os::InstallInstances(nullptr);
  }
  FreeInstances instances;
};

std::string WriteScript(const std::string& name, const std::string& text) {
  const std::string path = std::string(DUSKMIRE_BIN_DIR) + "/" + name;
  FILE* f = std::fopen(path.c_str(), "w");
  std::fputs(text.c_str(), f);
  std::fclose(f);
  return path;
}

}  // namespace

TEST(Framework, WindowProcedureTable) {
  HeadlessRig rig;
  RecordingGame game;
  game.applicationId = 0x0B45AA23;
  ASSERT_TRUE(game.Create("Duskmire"));
  EXPECT_EQ(rig.instances.acquired, "HAL_FRAMEWORK_0B45AA23");
  EXPECT_EQ(Os::Windows().FindWindow("HAL_FRAMEWORK_0B45AA23"), game.window);
  struct Case {
    u32 message;
    Os::WParam w;
    Os::LParam l;
    const char* call;  // "" = none
    u8 paused;
  } cases[] = {
      {Os::kMsgKeyDown, 38, 1, "keydown 38", 0},
      {Os::kMsgKeyDown, 38, 1 | Os::kKeyRepeatBit, "", 0},
      {Os::kMsgKeyUp, 38, Os::LParam(0xC0000001u), "keyup 38", 0},
      {Os::kMsgLButtonDown, 1, Os::PackPoint(12, 300), "pendown 12 300", 0},
      {Os::kMsgMouseMove, 1, Os::PackPoint(13, 301), "penmove 13 301", 0},
      {Os::kMsgLButtonUp, 0, Os::PackPoint(65535, 2), "penup 65535 2", 0},
      {Os::kMsgActivate, 0, 0, "suspend", 1},
      {Os::kMsgActivate, 0x10001, 0, "resume", 0},
      {Os::kMsgActivate, 0x10000, 0, "suspend", 1},
      {Os::kMsgActivate, 2, 0, "resume", 0},
      {Os::kMsgPaint, 0, 0, "", 0},
      {1234, 5, 6, "", 0},
  };
  for (const Case& c : cases) {
    game.calls.clear();
    Os::Windows().SendMessage(game.window, c.message, c.w, c.l);
    EXPECT_EQ(game.calls, c.call[0] ? std::vector<std::string>{c.call} : std::vector<std::string>{})
        << "message " << c.message;
    EXPECT_EQ(game.paused, c.paused) << "message " << c.message;
  }
  game.calls.clear();
  Os::Windows().SendMessage(game.window, Os::kMsgClose, 0, 0);
  EXPECT_EQ(game.calls, std::vector<std::string>{"shutdown"});
  EXPECT_FALSE(Os::Windows().IsWindow(game.window));
  Os::Message m;
  ASSERT_TRUE(Os::Windows().PeekMessage(&m));
  EXPECT_EQ(m.code, Os::kMsgQuit);
}

TEST(Framework, DeactivatedLoopBlocksUntilActivated) {
  HeadlessRig rig(240, 320, WriteScript("framework_pause.txt", "50ms deactivate\n200ms activate\n300ms close\n"));
  RecordingGame game;
  ASSERT_TRUE(game.Start());
  ASSERT_TRUE(game.Run());
  ASSERT_FALSE(game.frameTimes.empty());
  for (u32 t : game.frameTimes) EXPECT_FALSE(t > 51 && t < 200) << "frame at " << t << " while paused";
  EXPECT_GE(game.frameTimes.back(), 290u);
  EXPECT_EQ(game.calls, (std::vector<std::string>{"suspend", "resume", "shutdown"}));
}

TEST(Framework, FrameReturningFalseEndsTheLoop) {
  HeadlessRig rig;
  struct Quitting : RecordingGame {
    bool OnFrame() override {
      if (++frames == 3) quit = 1;
      return Hal::Game::OnFrame();
    }
    int frames = 0;
  } game;
  ASSERT_TRUE(game.Start());
  EXPECT_TRUE(game.Run());
  EXPECT_EQ(game.frames, 3);
  EXPECT_FALSE(Os::Windows().IsWindow(game.window));
}

TEST(Framework, SecondStartRaisesTheFirstAndEnds) {
  HeadlessRig rig;
  RecordingGame first;
  ASSERT_TRUE(first.Create("Duskmire"));
  rig.instances.taken = true;
  RecordingGame second;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(second.Create("Duskmire"));
  // It ends quietly: the raised window is the answer.
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(second.window, 0u);
  // The first window is in this process: it is found and raised directly.
  EXPECT_EQ(Os::HeadlessWindowSystem()->ForegroundRequests(), 1u);
  Os::Windows().DestroyWindow(first.window);
}

TEST(Framework, ClockUsesThePerformanceCounterWhenFineEnough) {
  struct SlowCounter : Os::VirtualClock {
    u64 PerformanceFrequency() override { return frequency; }
    u64 PerformanceCounter() override { return ElapsedMilliseconds() * frequency / 1000 + 7 * frequency; }
    u32 TickCount() override { return u32(ElapsedMilliseconds()) + 100000; }
    u64 frequency = 1000000;
  } clock;
  Os::InstallClock(&clock);
  clock.Advance(1234);
  for (u64 f : {1000000ull, 1000ull, 999ull, 0ull}) {
    clock.frequency = f;
    Hal::ResetTimer();
    // Below 1,000 Hz the tick count stands in.
    EXPECT_EQ(Hal::GetTime(), f >= 1000 ? 1234u + 7000u : 101234u) << f;
  }
  Os::InstallClock(nullptr);
  Hal::ResetTimer();
}

TEST(Framework, KeepAwakeOnlyOnTheSixHandheldSizes) {
  const int sizes[][3] = {{240, 320, 1}, {320, 240, 1}, {480, 640, 1}, {640, 480, 1}, {240, 240, 1},
                          {480, 480, 1}, {800, 480, 0}, {800, 600, 0}, {640, 240, 0}};
  for (const auto& s : sizes) {
    HeadlessRig rig(s[0], s[1]);
    RecordingGame game;
    ASSERT_TRUE(game.Create("Duskmire"));
    game.KeepAwake();
    EXPECT_EQ(Os::HeadlessWindowSystem()->IdleTimerResets(), u32(s[2])) << s[0] << "x" << s[1];
    Os::Windows().DestroyWindow(game.window);
  }
}

TEST(Detector, ModeListAndCandidates) {
  struct Case {
    int w, h, depth;
    u32 modes;
  } cases[] = {{240, 320, 16, 4}, {800, 600, 16, 1}, {240, 320, 24, 4}};
  for (const Case& c : cases) {
    ScreenRig rig(c.w, c.h, c.depth);
    Hal::VideoDetect& d = Hal::VideoDetect::Instance();
    EXPECT_EQ(d.modeCount, c.modes);
    EXPECT_EQ(d.candidateCount, 1u);
    EXPECT_EQ(d.candidates[0], Hal::kDriverGDI);
    EXPECT_EQ(d.description.orientation, 0u);
    EXPECT_EQ(d.description.depth, u32(c.depth));
  }
  ScreenRig rig(240, 320);
  const Hal::VideoDetect& d = Hal::VideoDetect::Instance();
  const u32 expected[4][3] = {{240, 320, 0}, {320, 240, 1}, {240, 320, 2}, {320, 240, 3}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(d.modes[i].width, expected[i][0]);
    EXPECT_EQ(d.modes[i].height, expected[i][1]);
    EXPECT_EQ(d.modes[i].orientation, expected[i][2]);
  }
  ScreenRig wide(800, 600);
  const Os::WindowId w = wide.NewWindow();
  EXPECT_EQ(Hal::VideoDetect::Instance().CreateBestDriver(w, Hal::DisplayParameters{600, 800, 3, 2}), nullptr);
  Hal::VideoDriver* gdi = Hal::VideoDetect::Instance().CreateBestDriver(w, Hal::DisplayParameters{800, 600, 0, 2});
  ASSERT_NE(gdi, nullptr);
  delete gdi;
  EXPECT_EQ(Hal::VideoDetect::CreateDriver(2), nullptr);
}

TEST(Detector, OrientationFromStrides) {
  const int cases[][3] = {{2, 480, 0}, {2, -480, 1}, {2, 0, 1}, {-2, 480, 3}, {0, 480, 3}, {-2, -480, 2}, {0, -1, 2}};
  for (const auto& c : cases) EXPECT_EQ(Hal::OrientationFromStrides(c[0], c[1]), u32(c[2])) << c[0] << "," << c[1];
}

TEST(Detector, DeviceModelByOemText) {
  const struct {
    const char* text;
    u32 model;
  } cases[] = {{"Compaq iPAQ H3800", 1},
               {"TOSHIBA E750 Pocket PC", 7},
               {"toshiba e740", 6},
               {"Toshiba e7", 0},
               {"MotoQ", 8},
               {"Typhoon M500", 3},
               {"", 0},
               {"HP iPAQ", 0}};
  for (const auto& c : cases) EXPECT_EQ(Hal::DeviceModelFromOemText(c.text), c.model) << c.text;
  EXPECT_EQ(Hal::DeviceModelFromOemText(nullptr), 0u);
}
