// The built program, run as a player or a script would run it.
#include "AppRig.h"

#include "os/sdl/SdlBackend.h"

#include "support/Png.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string kBin = DUSKMIRE_BIN_DIR;
const std::string kProgram = kBin + "/duskmire";

// A fresh folder under the build tree.
std::string TempDir(const std::string& name) {
  const std::string dir = kBin + "/program_test/" + name;
  std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
  return dir;
}

using Result = GameHarness::ProgramResult;
Result Shell(const std::string& command) { return GameHarness::shell(command); }

// The program's own lock folder, so that a run never meets a player's instance.
std::string Env(const std::string& runtime) { return "XDG_RUNTIME_DIR='" + runtime + "' "; }

const char kScript[] =
    "# a few keys and touches\n"
    "100ms keydown up\n"
    "180ms keyup up\n"
    "f20 pendown 100 200\n"
    "f22 penmove 110 210\n"
    "f24 penup 110 210\n"
    "f30 keydown app1\n"
    "f31 keyup app1\n"
    "f40 capture middle\n";

}  // namespace

TEST(Program, HeadlessRunCapturesThePanelTheCoreLeft) {
  const std::string dir = TempDir("headless");
  { std::ofstream(dir + "/input.txt") << kScript; }
  // The world the in-process run reads, not the program's folder, where a game played from the build saves.
  const Result r = Shell(Env(dir) + "'" + kProgram + "' --backend headless --screen 240x320 --input '" + dir +
                         "/input.txt' --frames 120 --capture '" + dir + "/shots' --data '" DUSKMIRE_DATA_DIR "'");
  ASSERT_EQ(r.status, 0) << r.output;
  std::vector<u16> shot;
  int w = 0, h = 0;
  ASSERT_TRUE(testpng::ReadRgb565(dir + "/shots/final.png", shot, w, h));
  ASSERT_EQ(w, 240);
  ASSERT_EQ(h, 320);
  std::vector<u16> middle;
  ASSERT_TRUE(testpng::ReadRgb565(dir + "/shots/middle.png", middle, w, h));
  EXPECT_EQ(Shell("ls -A '" + dir + "/shots'").output, "final.png\nmiddle.png\n") << "no temporary left";

  // The same run in this process: the capture is the panel exactly as the game core left it.
  AppRig::Options o;
  o.frameLimit = 120;
  o.inputScript = kScript;
  AppRig rig(o);
  ASSERT_TRUE(rig.Start());
  ASSERT_TRUE(rig.app->Run());
  const Os::Panel& panel = Os::HeadlessGraphics()->GetPanel();
  EXPECT_EQ(shot, panel.pixels);
  EXPECT_EQ(middle, panel.pixels) << "nothing changes the start screen yet";
  size_t lit = 0;
  for (u16 p : panel.pixels) lit += p != 0;
  EXPECT_GT(lit, 50u) << "the start text is on the panel";
}

// A headless run is never "the" running game: beside a held lock it plays and captures as ever, and
// asks nobody to come to the front.
TEST(Program, HeadlessRunBesideARunningGamePlaysNormally) {
  const std::string dir = TempDir("beside");
  ASSERT_EQ(setenv("XDG_RUNTIME_DIR", dir.c_str(), 1), 0);
  Os::InstanceLock& lock = Os::Instances();
  ASSERT_TRUE(lock.TryAcquire("HAL_FRAMEWORK_0B45AA23"));
  { std::ofstream(dir + "/input.txt") << kScript; }
  const Result r = Shell(Env(dir) + "'" + kProgram + "' --backend headless --screen 240x320 --input '" + dir +
                         "/input.txt' --frames 120 --capture '" + dir + "/shots'");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output, "");
  std::vector<u16> shot;
  int w = 0, h = 0;
  ASSERT_TRUE(testpng::ReadRgb565(dir + "/shots/middle.png", shot, w, h));
  ASSERT_TRUE(testpng::ReadRgb565(dir + "/shots/final.png", shot, w, h));
  EXPECT_GT(std::count_if(shot.begin(), shot.end(), [](u16 p) { return p != 0; }), 50) << "not a black panel";
  EXPECT_FALSE(lock.TakeRaiseRequest()) << "the running game was left alone";
  lock.Release();
}

// A window's start that finds a running copy asks it to come to the front, through its lock file when the
// file names the copy's process, and ends quietly: status 0 and no output, the raised window answers.
TEST(Program, WindowedSecondStartRaisesTheFirstAndEndsQuietly) {
  if (Shell("command -v xvfb-run").status != 0) GTEST_SKIP() << "xvfb-run is missing (Debian: xvfb)";
  const std::string dir = TempDir("instance");
  ASSERT_EQ(setenv("XDG_RUNTIME_DIR", dir.c_str(), 1), 0);
  Os::InstanceLock& lock = Os::Instances();
  ASSERT_TRUE(lock.TryAcquire("HAL_FRAMEWORK_0B45AA23"));
  for (bool named : {true, false}) {
    if (!named) {
      ASSERT_EQ(truncate((dir + "/HAL_FRAMEWORK_0B45AA23.lock").c_str(), 0), 0);
    }
    // Were it to start, it would run until the time-out. The window system's own libraries keep a little
    // memory to the end of the process, which the sanitizer build's leak check would add to the output.
    const Result r = Shell(
        "timeout 60 xvfb-run -a -s '-screen 0 640x480x24' env SDL_AUDIODRIVER=dummy "
        "ASAN_OPTIONS=detect_leaks=0 " +
        Env(dir) + "'" + kProgram + "' --backend sdl --registry '" + dir + "/registry'");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(lock.TakeRaiseRequest(), named) << "only a named copy can be asked";
  }
  lock.Release();
}

// A start that finds the game running opens no window of its own: a new window would take the keys from
// the running one. A start that finds none opens it with the game's window.
TEST(Program, ASecondStartOpensNoWindow) {
  struct Lock : Os::InstanceLock {
    bool heldElsewhere = true;
    u32 raises = 0;
    bool TryAcquire(const char*) override { return !heldElsewhere; }
    u32 RaiseHolder(const char*) override { return ++raises, 4242; }
    bool TakeRaiseRequest() override { return false; }
    void Release() override {}
  } lock;
  // A display SDL needs no X server for; it is taken only when asked for by name.
  ASSERT_EQ(setenv("SDL_VIDEODRIVER", "dummy", 1), 0);
  Os::InstallInstances(&lock);
  for (const bool running : {true, false}) {
    SCOPED_TRACE(running ? "second start" : "first start");
    lock.heldElsewhere = running;
    std::string error;
    ASSERT_TRUE(Os::UseSdl(Os::BackendOptions{}, &error)) << error;
    EXPECT_FALSE(Os::SdlHasWindow()) << "no window before the game makes its own";
    {
      DuskmireApp app;
      app.applicationId = DuskmireApp::kApplicationId;
      EXPECT_EQ(app.Create(kDuskmireTitle), !running);
      EXPECT_EQ(Os::SdlHasWindow(), !running);
    }
    Hal::Game::ClearInstance();
    EXPECT_TRUE(Os::FinishBackend(&error)) << error;
  }
  Os::InstallInstances(nullptr);
  unsetenv("SDL_VIDEODRIVER");
  EXPECT_EQ(lock.raises, 1u) << "the running game was asked to come to the front";
}

// One settings file across screen sizes: the keyboard sizes bind letters, the others hardware keys, and
// neither kind's start spoils the other's keys. Each run starts a game and shows that the frame stays
// still without input (the other kind's key pressed too), then changes with a left turn, a right turn
// and a step.
TEST(Program, KeysWorkAcrossScreenSizesWithOneSettingsFile) {
  const std::string dir = TempDir("keys");
  const std::string registry = dir + "/registry";
  const struct {
    const char* screen;
    const char* left;
    const char* right;
    const char* forward;
    const char* unbound;
  } runs[] = {
      {"240x320", "left", "right", "up", "q"},   {"800x480", "q", "e", "w", "left"},
      {"800x600", "q", "e", "w", "left"},        {"640x240", "q", "e", "w", "up"},
      {"240x320", "left", "right", "up", "w"},
  };
  int n = 0;
  for (const auto& run : runs) {
    const std::string name = std::to_string(++n) + "-" + run.screen;
    std::ostringstream script;
    auto press = [&](int ms, const char* key) {
      script << ms << "ms keydown " << key << "\n" << ms + 50 << "ms keyup " << key << "\n";
    };
    script << "1000ms capture still\n";
    press(1100, run.unbound);
    script << "2000ms capture unbound\n";
    press(2100, run.left);
    script << "3000ms capture left\n";
    press(3100, run.right);
    script << "4000ms capture right\n";
    press(4100, run.forward);
    script << "5000ms capture forward\n";
    { std::ofstream(dir + "/" + name + ".txt") << script.str(); }
    const Result r = Shell(Env(dir) + "'" + kProgram + "' --backend headless --new-game --screen " + run.screen +
                           " --registry '" + registry + "' --input '" + dir + "/" + name + ".txt' --ms 5200 --capture '" +
                           dir + "/" + name + "'");
    ASSERT_EQ(r.status, 0) << name << ": " << r.output;
    std::vector<u16> shots[5];
    const char* names[5] = {"still", "unbound", "left", "right", "forward"};
    for (int i = 0; i < 5; ++i) {
      int w = 0, h = 0;
      ASSERT_TRUE(testpng::ReadRgb565(dir + "/" + name + "/" + names[i] + ".png", shots[i], w, h)) << name;
    }
    EXPECT_EQ(shots[0], shots[1]) << name << ": " << run.unbound << " is bound";
    for (int i = 2; i < 5; ++i) EXPECT_NE(shots[i - 1], shots[i]) << name << ": " << names[i] << " did nothing";
  }
}

TEST(Program, BadOptionsSayWhat) {
  const std::string dir = TempDir("options");
  const struct {
    const char* args;
    const char* says;
    int status;
  } cases[] = {
      {"--screen 300x200", "not one of the handheld's sizes", 2},
      {"--screen big", "--screen wants WxH", 2},
      // Numbers that wrap to a known size, signs and blanks are refused, not read around.
      {"--screen 4294967536x320", "--screen wants WxH", 2},
      {"--screen 240x-4294966976", "--screen wants WxH", 2},
      {"--screen 240x320x1", "--screen wants WxH", 2},
      {"--screen +240x320", "--screen wants WxH", 2},
      {"--screen ' 240x320'", "--screen wants WxH", 2},
      {"--bogus", "unknown option --bogus", 2},
      {"--backend x11", "unknown backend x11", 2},
      {"--scale 0", "--scale wants", 2},
      {"--scale 4294967297", "--scale wants", 2},
      {"--frames", "--frames needs a value", 2},
      {"--frames 10", "belong to the headless backend", 2},
      {"--backend headless --frames ' 5'", "--frames wants a positive number", 2},
      {"--backend headless --frames +5", "--frames wants a positive number", 2},
      {"--backend headless --frames 5x", "--frames wants a positive number", 2},
      {"--backend headless --ms 4294967296", "--ms wants a positive number", 2},
      {"--backend headless --ms -1", "--ms wants a positive number", 2},
      {"--backend headless --input /no/such/file", "cannot read input script /no/such/file: no such file", 1},
      {"--backend headless --data /no/such/folder --frames 3", "DuskmireData", 1},
  };
  for (const auto& c : cases) {
    const Result r = Shell(Env(dir) + "'" + kProgram + "' " + c.args);
    EXPECT_EQ(r.status, c.status) << c.args;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << c.args << " said: " << r.output;
  }
  const Result help = Shell("'" + kProgram + "' --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("--backend sdl|headless"), std::string::npos);
}

// A FIFO, a device or a folder where a file is expected: refused at once with a reason (or, for the
// settings file, said and passed over), never waited on or read without end. `timeout` only keeps a
// hang from stopping the suite.
TEST(Program, SpecialFilesNeitherHangNorVanish) {
  const std::string dir = TempDir("special");
  ASSERT_EQ(Shell("mkfifo '" + dir + "/fifo' && mkdir '" + dir + "/folder' '" + dir + "/data' && truncate -s 5M '" +
                  dir + "/big' && mkfifo '" + dir + "/data/DuskmireData.pdb'")
                .status,
            0);
  const std::string fifo = dir + "/fifo";
  const struct {
    std::string args;
    std::string says;
    int status;
  } cases[] = {
      {"--input '" + fifo + "'", "cannot read input script " + fifo + ": not a regular file", 1},
      {"--input /dev/zero", "cannot read input script /dev/zero: not a regular file", 1},
      {"--input '" + dir + "/folder'", "not a regular file", 1},
      {"--input '" + dir + "/big'", "larger than the limit of 4 MB", 1},
      {"--registry '" + fifo + "' --frames 3", "cannot read the settings file " + fifo + ": not a regular file", 0},
      {"--registry /dev/zero --frames 3", "cannot read the settings file /dev/zero: not a regular file", 0},
      {"--data '" + dir + "/data' --frames 3", "DuskmireData", 1},
  };
  for (const auto& c : cases) {
    const Result r = Shell(Env(dir) + "timeout 60 '" + kProgram + "' --backend headless " + c.args);
    EXPECT_EQ(r.status, c.status) << c.args << " said: " << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << c.args << " said: " << r.output;
  }
}

// The settings file: a first start writes it, a start that changes nothing leaves it alone (the same
// file, untouched), and a file that cannot be written is said once while the game runs on.
TEST(Program, SettingsFileIsWrittenOnlyWhenChanged) {
  const std::string dir = TempDir("settings");
  const std::string registry = dir + "/config/registry";
  const std::string run = Env(dir) + "'" + kProgram + "' --backend headless --frames 3 --registry '";
  Result r = Shell(run + registry + "'");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output, "");
  struct stat first, second;
  ASSERT_EQ(stat(registry.c_str(), &first), 0);
  r = Shell(run + registry + "'");
  ASSERT_EQ(r.status, 0) << r.output;
  ASSERT_EQ(stat(registry.c_str(), &second), 0);
  EXPECT_EQ(first.st_ino, second.st_ino) << "a write replaces the file by a new one";
  EXPECT_EQ(first.st_mtim.tv_nsec, second.st_mtim.tv_nsec);
  EXPECT_EQ(Shell("ls -A '" + dir + "/config'").output, "registry\n") << "no temporary left";

  std::ofstream(dir + "/plain") << "not a folder";
  r = Shell(run + dir + "/plain/registry'");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output.rfind("duskmire: cannot write " + dir + "/plain/registry: ", 0), 0u) << r.output;
  EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
}

// The help lists the screens of the display-mode table, the backend's default marked, wrapped as the rest,
// and names the PC keys for the handheld's buttons and the keyboard sizes' letters.
TEST(Program, HelpListsTheScreensAndKeys) {
  const Result help = Shell("'" + kProgram + "' --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("  --screen WxH            the handheld's screen: 240x320 (default), 320x240, 480x640, "
                             "640x480,\n                          240x240, 480x480, 800x480, 800x600 or 640x240\n"
                             "  --scale N"),
            std::string::npos)
      << help.output;
  for (const char* names :
       {"  F1, F2, F3, F4          Calendar, Contacts, Messaging, Home", "  Enter                   Select",
        "in Left or Right Landscape they are turned back", "w forward, s back"})
    EXPECT_NE(help.output.find(names), std::string::npos) << names;
}

TEST(Program, SdlWithoutDisplaySaysSo) {
  const std::string dir = TempDir("nodisplay");
  const Result r = Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + Env(dir) +
                         "SDL_AUDIODRIVER=dummy '" + kProgram + "' --backend sdl --registry '" + dir + "/registry'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("no display is available"), std::string::npos) << r.output;
}

// Under a virtual X display the window shows the same frame as the headless capture: the main menu, once
// the maker's logo has been written and held (about seven seconds). The same window then meets two second
// starts: one that opens no window of its own, so that the running window keeps the keys, and one while
// another window has the focus, which the raise request gives back. Each time the next key moves the
// menu's selection as it does headless.
TEST(Program, SdlWindowUnderXvfbShowsTheHeadlessFrame) {
  if (Shell("command -v xvfb-run && command -v xwd && command -v convert").status != 0)
    GTEST_SKIP() << "xvfb-run, xwd or convert is missing (Debian: xvfb x11-apps imagemagick)";
  const bool canType = Shell("command -v xdotool && command -v xev").status == 0;
  const std::string dir = TempDir("xvfb");
  // The menu as the window first shows it, then after one and after two presses of Down.
  { std::ofstream(dir + "/keys.txt") << "f265 capture menu\nf270 keydown down\nf271 keyup down\nf280 capture one\n"
                                        "f285 keydown down\nf286 keyup down\n"; }
  const Result headless = Shell(Env(dir) + "'" + kProgram + "' --backend headless --frames 300 --input '" + dir +
                                "/keys.txt' --capture '" + dir + "/shots'");
  ASSERT_EQ(headless.status, 0) << headless.output;
  // The window system's libraries keep a little memory to the end of the process, which the sanitizer
  // build's leak check would add to a second start's output.
  const std::string start = "SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 " + Env(dir) + "'" + kProgram +
                            "' --backend sdl --registry '" + dir + "/registry'";
  {
    // Keeps the game presenting until the window has been shot, then ends it. `shoot NAME` shoots the
    // window; `changed NAME` waits (up to ten seconds) for the window to differ from the last shot.
    std::ofstream script(dir + "/shoot.sh");
    script << "cd '" << dir << "'\n"
           << "shoot() { xwd -name Duskmire -silent > $1.xwd && convert xwd:$1.xwd $1.png; }\n"
           << "changed() { for i in $(seq 1 50); do sleep 0.2; shoot $1;\n"
           << "  [ \"$(compare -metric AE $1.png $2.png null: 2>&1)\" != 0 ] && sleep 1 && shoot $1 && return; done; }\n"
           << "focused() { for i in $(seq 1 50); do [ \"$(xdotool getwindowfocus getwindowname 2>/dev/null)\" = $1 ] "
              "&& return; sleep 0.2; done; }\n"
           << start << " &\n"
           << "pid=$!\n"
           << "for i in $(seq 1 100); do\n"
           << "  sleep 0.2\n"
           << "  if xwd -name Duskmire -silent > /dev/null 2>&1; then sleep 10; shoot window; break; fi\n"
           << "done\n";
    if (canType)
      script << start << " > second.txt 2>&1\n"
             << "xdotool key Down\n"
             << "changed one window\n"
             << "xev -name thief -geometry 40x40+0+0 > /dev/null 2>&1 &\n"
             << "thief=$!\n"
             << "xdotool search --sync --name thief windowfocus --sync\n"
             << "focused thief\n"
             << start << " >> second.txt 2>&1\n"
             << "focused Duskmire\n"
             << "xdotool key Down\n"
             << "changed two one\n"
             << "kill $thief\n";
    script << "kill $pid; wait $pid\n";
  }
  const Result shot = Shell("xvfb-run -a -s '-screen 0 640x480x24' sh '" + dir + "/shoot.sh'");
  auto same = [&](const std::string& window, const std::string& capture) -> testing::AssertionResult {
    std::vector<u16> w, c;
    int ww = 0, wh = 0, cw = 0, ch = 0;
    if (!testpng::ReadRgb565(dir + "/" + window + ".png", w, ww, wh))
      return testing::AssertionFailure() << "no shot " << window << ": " << shot.output;
    if (!testpng::ReadRgb565(dir + "/shots/" + capture + ".png", c, cw, ch))
      return testing::AssertionFailure() << "no capture " << capture;
    if (ww != cw || wh != ch) return testing::AssertionFailure() << window << " is " << ww << "x" << wh;
    if (w != c) return testing::AssertionFailure() << window << " differs from " << capture;
    return testing::AssertionSuccess();
  };
  EXPECT_TRUE(same("window", "menu"));
  if (!canType) GTEST_SKIP() << "xdotool or xev is missing (Debian: xdotool x11-utils)";
  EXPECT_EQ(Shell("cat '" + dir + "/second.txt'").output, "") << "a second start ends quietly";
  EXPECT_TRUE(same("one", "one")) << "the key after a second start";
  EXPECT_TRUE(same("two", "final")) << "the key after a second start raised the window from behind another";
}
