#include "AppRig.h"

#include "graphics/SDisplay.h"
#include "platform/hal/Blit.h"
#include "platform/hal/Display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

TEST(App, DisplayModeTable) {
  const struct {
    u32 w, h;
    i32 upright, rotated;
    u8 landscape, keyboard, fast;
    u32 height;
  } rows[] = {
      {480, 640, 10, 9, 0, 0, 1, 640},  {640, 480, 10, 9, 1, 0, 1, 480},  {240, 320, 7, 6, 0, 0, 0, 320},
      {320, 240, 7, 6, 1, 0, 0, 240},   {240, 240, 8, 8, 0, 0, 0, 240},   {480, 480, 11, 11, 0, 0, 1, 480},
      {800, 480, 14, 14, 1, 1, 1, 480}, {800, 600, 15, 15, 1, 1, 1, 584}, {640, 240, 16, 16, 1, 1, 0, 240},
  };
  for (const auto& r : rows) {
    for (u32 startMode : {0u, 1u, 2u}) {
      DisplayModeChoice c;
      ASSERT_TRUE(DuskmireApp::PickDisplayMode(r.w, r.h, startMode, &c)) << r.w << "x" << r.h;
      EXPECT_EQ(c.mode, startMode ? r.rotated : r.upright) << r.w << "x" << r.h << " StartMode " << startMode;
      EXPECT_EQ(c.landscape, r.landscape) << r.w << "x" << r.h;
      EXPECT_EQ(c.keyboard, r.keyboard) << r.w << "x" << r.h;
      EXPECT_EQ(c.fastFrames, r.fast) << r.w << "x" << r.h;
      EXPECT_EQ(c.height, r.height) << r.w << "x" << r.h;
    }
  }
  DisplayModeChoice c;
  for (const auto& size : {std::pair<u32, u32>{320, 320}, {240, 160}, {0, 0}, {1024, 768}})
    EXPECT_FALSE(DuskmireApp::PickDisplayMode(size.first, size.second, 0, &c)) << size.first << "x" << size.second;
}

TEST(App, EveryScreenStartsAndDrawsInsideItsFrameBuffer) {
  const int sizes[][2] = {{240, 320}, {320, 240}, {480, 640}, {640, 480}, {240, 240},
                          {480, 480}, {800, 480}, {800, 600}, {640, 240}};
  for (const auto& s : sizes) {
    for (u32 startMode : {0u, 1u, 2u}) {
      AppRig::Options o;
      o.width = s[0];
      o.height = s[1];
      o.startMode = startMode;
      o.frameLimit = 5;
      AppRig rig(o);
      ASSERT_TRUE(rig.Start()) << s[0] << "x" << s[1] << " StartMode " << startMode << ": " << rig.app->startError;
      SDisplay* d = rig.app->core->display;
      const Hal::DisplayParameters& actual = d->Display()->Impl()->Actual();
      // The picture the game draws fits the frame buffer it draws into.
      EXPECT_LE(d->Width(), actual.width) << s[0] << "x" << s[1] << " StartMode " << startMode;
      EXPECT_LE(d->Height(), actual.height) << s[0] << "x" << s[1] << " StartMode " << startMode;
      EXPECT_GE(d->Height() + 16u, actual.height) << s[0] << "x" << s[1] << " StartMode " << startMode;
      EXPECT_TRUE(rig.app->Run());
      EXPECT_GE(rig.Frames(), 5u);
      // A window that shows the panel turns it as the display layer does.
      EXPECT_EQ(rig.Windows().ContentTurn(), d->Display()->Impl()->ContentTurn());
      if (s[0] == 800 && s[1] == 600) {
        EXPECT_EQ(rig.app->screenHeight, 584u);
        EXPECT_EQ(d->Height(), 584u);
      }
    }
  }
}

TEST(App, RefusedStartsSayWhy) {
  {
    AppRig::Options o;
    o.width = 320;
    o.height = 320;
    AppRig rig(o);
    EXPECT_FALSE(rig.Start());
    ASSERT_EQ(rig.Windows().MessageBoxes().size(), 1u);
    EXPECT_EQ(rig.Windows().MessageBoxes()[0].text, "The screen resolution isn't supported.");
    EXPECT_EQ(rig.Windows().MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(rig.app->core, nullptr);
  }
  for (u32 memory : {11999999u, 12000000u}) {
    AppRig::Options o;
    o.memory = memory;
    AppRig rig(o);
    EXPECT_EQ(rig.Start(), memory >= 12000000u);
    if (memory < 12000000u) {
      ASSERT_EQ(rig.Windows().MessageBoxes().size(), 1u);
      EXPECT_EQ(rig.Windows().MessageBoxes()[0].text,
                "You have less than 12 MB free program memory available. Check Settings->Memory Settings.");
      EXPECT_EQ(rig.Windows().MessageBoxes()[0].caption, "Error");
    } else {
      EXPECT_TRUE(rig.Windows().MessageBoxes().empty());
    }
  }
  {
    AppRig::Options o;
    AppRig rig(o);
    Os::SetProgramFolder(std::string(DUSKMIRE_BIN_DIR) + "/no-such-folder");
    EXPECT_FALSE(rig.Start());
    ASSERT_EQ(rig.Windows().MessageBoxes().size(), 1u);
    EXPECT_NE(rig.Windows().MessageBoxes()[0].text.find("DuskmireData"), std::string::npos);
  }
  {
    // Game data whose layout record for this screen is gone: renumber its entry in the record table.
    const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "duskmire-no-layout";
    std::filesystem::create_directories(folder);
    std::ifstream in(std::string(DUSKMIRE_DATA_DIR) + "/DuskmireData.pdb", std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 78u);
    const u32 count = u32(u8(bytes[76])) << 8 | u8(bytes[77]);
    bool renumbered = false;
    for (u32 i = 0; i < count && 78 + 8 * i + 8 <= bytes.size(); ++i) {
      char* entry = &bytes[78 + 8 * i];
      if ((u32(u8(entry[6])) << 8 | u8(entry[7])) == 3001u) {
        entry[6] = char(0x7F);
        entry[7] = char(0xFF);
        renumbered = true;
      }
    }
    ASSERT_TRUE(renumbered);
    std::ofstream(folder / "DuskmireData.pdb", std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    AppRig::Options o;
    AppRig rig(o);
    Os::SetProgramFolder(folder.string());
    EXPECT_FALSE(rig.Start());
    ASSERT_EQ(rig.Windows().MessageBoxes().size(), 1u);
    EXPECT_EQ(rig.Windows().MessageBoxes()[0].text,
              "The screen layout of the game data has no 3D view for this screen.");
    std::filesystem::remove_all(folder);
  }
  // Game data that lacks a record start-up reads, or holds one the game cannot use: refused with the
  // record named, after the start-up text is on the screen, and nothing of the game is running.
  using Edit = std::function<bool(u16, std::vector<u8>&)>;
  auto without = [](u16 gone) -> Edit { return [gone](u16 id, std::vector<u8>&) { return id != gone; }; };
  auto spoil = [](u16 target, size_t at, u8 value) -> Edit {
    return [=](u16 id, std::vector<u8>& bytes) {
      if (id == target && at < bytes.size()) bytes[at] = value;
      return true;
    };
  };
  const struct {
    const char* name;
    int width, height;
    Edit edit;
    std::string says;
  } broken[] = {
      {"no-picture", 240, 320, without(3670), "Picture record 3670 of the game data \"DuskmireData.pdb\" in "},
      {"bad-picture", 480, 640, spoil(3015, 0, 9), "Picture record 3015 of the game data \"DuskmireData.pdb\" in "},
      {"mode-8-picture", 240, 240, without(4054), "Picture record 4054 of the game data"},
      {"no-click", 240, 320, without(4032), "Sound record 4032 of the game data \"DuskmireData.pdb\" in "},
      {"bad-click", 240, 320, spoil(4031, 12, 'X'), "Sound record 4031 of the game data"},
      {"no-font", 240, 320, without(3010),
       "The fonts of the game data could not be read: font record 3010 of the game data \"DuskmireData.pdb\" in "},
  };
  for (const auto& b : broken) {
    const std::string folder = GameHarness::makeDataFolder(std::string("refused-") + b.name, b.edit);
    GameHarness::Options o;
    o.width = b.width;
    o.height = b.height;
    o.dataFolder = folder;
    GameHarness game(o);
    EXPECT_FALSE(game.boot()) << b.name;
    const auto& boxes = Os::HeadlessWindowSystem()->MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u) << b.name;
    EXPECT_EQ(boxes[0].text.rfind(b.says, 0), 0u) << b.name << " said: " << boxes[0].text;
    EXPECT_NE(boxes[0].text.find(folder), std::string::npos) << b.name << " said: " << boxes[0].text;
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(game.startError(), boxes[0].text);
    EXPECT_EQ(game.core().currentState, nullptr) << b.name;
    // The start-up text stands while the message does (the fonts are what the text needs).
    if (std::string(b.name) != "no-font") {
      EXPECT_GT(std::count_if(game.panel().pixels.begin(), game.panel().pixels.end(), [](u16 p) { return p != 0; }), 50)
          << b.name;
    }
    std::filesystem::remove_all(folder);
  }
}

// The built program refuses broken data with a message naming the record and exits with status 1, without
// a finding of the sanitizers when they are built in.
TEST(App, RefusedStartEndsTheProgram) {
  const std::string folder =
      GameHarness::makeDataFolder("refused-program", [](u16 id, std::vector<u8>&) { return id != 4032; });
  const GameHarness::ProgramResult r = GameHarness::runProgram({"refused", "--data '" + folder + "' --frames 50", ""});
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_NE(r.output.find("Sound record 4032 of the game data \"DuskmireData.pdb\" in " + folder), std::string::npos)
      << r.output;
  EXPECT_EQ(r.output.find("Sanitizer"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("runtime error"), std::string::npos) << r.output;
  std::filesystem::remove_all(folder);
}

namespace {
u32 FramesUntil(int w, int h, u32 ms) {
  AppRig::Options o;
  o.width = w;
  o.height = h;
  o.timeLimit = ms;
  AppRig rig(o);
  EXPECT_TRUE(rig.Start());
  EXPECT_TRUE(rig.app->Run());
  return rig.Frames();
}
}  // namespace

TEST(App, FramePacingUnderTheVirtualClock) {
  const u32 fast = FramesUntil(480, 640, 2000) - FramesUntil(480, 640, 1000);
  EXPECT_TRUE(fast == 33 || fast == 34) << fast;
  EXPECT_EQ(FramesUntil(240, 320, 2000) - FramesUntil(240, 320, 1000), 25u);
}

TEST(App, HeldKeyRepeatsOnlyWhileTheGameStateIsIdle) {
  // 0: idle; 1: busy; 2: another state is current.
  for (u8 busy : {0, 1, 2}) {
    AppRig::Options o;
    o.width = 480;
    o.height = 640;
    o.timeLimit = 700;
    o.inputScript = "100ms keydown up\n101ms keydown up repeat\n400ms keyup up\n";
    AppRig rig(o);
    ASSERT_TRUE(rig.Start());
    rig.EnterGameState();
    rig.state.stepping = busy == 1;
    RecordingStateGame other;
    if (busy == 2) {
      rig.app->core->states[kStateMain] = &other;
      rig.app->core->SetState(kStateMain);
    }
    ASSERT_TRUE(rig.app->Run());
    const auto keys = (busy == 2 ? other : rig.state).Of("key");
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys[0].a, kActionForward);
    EXPECT_GE(keys[0].time, 100u);
    if (busy) {
      EXPECT_EQ(keys.size(), 1u) << "no repeat while the game state is busy or not current";
      continue;
    }
    EXPECT_GE(keys.size(), 9u);
    for (size_t i = 1; i < keys.size(); ++i) {
      EXPECT_EQ(keys[i].a, kActionForward);
      EXPECT_GE(keys[i].time - keys[i - 1].time, 30u);
      EXPECT_LT(keys[i].time, 400u + 30u) << "repeat after the key went up";
    }
  }
}

TEST(App, HeldStylusRepeatsItsRawPositionAsPenDown) {
  AppRig::Options o;
  o.timeLimit = 600;
  o.inputScript = "100ms pendown 7 13\n300ms penup 9 13\n";
  AppRig rig(o);
  ASSERT_TRUE(rig.Start());
  rig.EnterGameState();
  ASSERT_TRUE(rig.app->Run());
  const auto downs = rig.state.Of("down");
  ASSERT_GE(downs.size(), 4u);
  EXPECT_EQ(downs[0].a, 6) << "a new touch is rounded to even";
  EXPECT_EQ(downs[0].b, 12);
  for (size_t i = 1; i < downs.size(); ++i) {
    EXPECT_EQ(downs[i].a, 7) << "repeats pass the held position as it is";
    EXPECT_GE(downs[i].time - downs[i - 1].time, 30u);
    EXPECT_LT(downs[i].time, 300u);
  }
  const auto ups = rig.state.Of("up");
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(ups[0].a, 8);
}

TEST(App, StylusRoundsTowardZero) {
  AppRig rig(AppRig::Options{});
  ASSERT_TRUE(rig.Start());
  rig.EnterGameState();
  rig.app->OnPenDown(7, -7);
  rig.app->OnPenMove(-3, 5);
  rig.app->OnPenUp(0, 1);
  ASSERT_EQ(rig.state.events.size(), 3u);
  EXPECT_EQ(rig.state.events[0].what, "down");
  EXPECT_EQ(rig.state.events[0].a, 6);
  EXPECT_EQ(rig.state.events[0].b, -6);
  EXPECT_EQ(rig.state.events[1].what, "move");
  EXPECT_EQ(rig.state.events[1].a, -2);
  EXPECT_EQ(rig.state.events[1].b, 4);
  EXPECT_EQ(rig.state.events[2].what, "up");
  EXPECT_EQ(rig.app->stylusHeld, 0);
}

TEST(App, KeyBindings) {
  {
    AppRig rig(AppRig::Options{});
    ASSERT_TRUE(rig.Start());
    const u32 keys[] = {38, 40, 37, 39, 13, 193, 194, 195, 196, 65, 32};
    const u16 actions[] = {1000, 1002, 1004, 1006, 3006, 3001, 3004, 3005, 3000, 0, 0};
    for (size_t i = 0; i < std::size(keys); ++i) EXPECT_EQ(rig.app->MapKey(keys[i]), actions[i]) << keys[i];
    // Releasing a key whose entry is unbound leaves the held action running.
    rig.EnterGameState();
    rig.app->core->settings.keys[5] = 0;
    rig.app->OnKeyDown(38);
    EXPECT_EQ(rig.app->heldAction, kActionForward);
    rig.app->OnKeyUp(193);
    EXPECT_EQ(rig.app->heldAction, kActionForward);
    rig.app->OnKeyUp(38);
    EXPECT_EQ(rig.app->heldAction, 0);
    rig.app->OnKeyDown(13);
    EXPECT_EQ(rig.app->heldAction, 0) << "use does not repeat";
  }
  {
    AppRig::Options o;
    o.width = 800;
    o.height = 480;
    AppRig rig(o);
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.app->core->settings.keys[0], 119u);
    EXPECT_EQ(rig.app->MapKey(87), kActionForward) << "W folds to w";
    EXPECT_EQ(rig.app->MapKey(119), kActionForward);
    EXPECT_EQ(rig.app->MapKey(32), kActionUse);
    EXPECT_EQ(rig.app->MapKey(38), 0);
    // An unbound entry gives no input, whatever key arrives.
    rig.app->core->settings.keys[8] = 0;
    for (u32 key : {0u, 256u, 512u}) EXPECT_EQ(rig.app->MapKey(key), 0) << key;
  }
}

TEST(App, KeyboardDevicePollsHeldKeys) {
  AppRig::Options o;
  o.width = 800;
  o.height = 480;
  o.timeLimit = 600;
  o.inputScript = "100ms keydown w\n400ms keyup w\n";
  AppRig rig(o);
  ASSERT_TRUE(rig.Start());
  rig.EnterGameState();
  ASSERT_TRUE(rig.app->Run());
  const auto keys = rig.state.Of("key");
  ASSERT_GE(keys.size(), 9u);
  for (size_t i = 1; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i].a, kActionForward);
    EXPECT_GE(keys[i].time - keys[i - 1].time, 30u);
    EXPECT_LT(keys[i].time, 430u);
  }
}

// On a turned picture, every panel pixel touched lands inside the picture, within one pixel of the point
// the rotated copy drew there.
TEST(App, StylusOnTurnedPicturesFollowsTheRotatedCopy) {
  struct Case {
    int w, h;
    u32 startMode;
  } cases[] = {{240, 320, 1}, {240, 320, 2}, {480, 640, 1}, {320, 240, 0}, {640, 480, 0}};
  for (const Case& c : cases) {
    AppRig::Options o;
    o.width = c.w;
    o.height = c.h;
    o.startMode = c.startMode;
    AppRig rig(o);
    ASSERT_TRUE(rig.Start());
    SGameCore* core = rig.app->core;
    const i32 lw = core->display->Width(), lh = core->display->Height();
    Hal::Display* hal = core->display->Display();
    // Draw each picture pixel's x, then its y, and read the panel.
    std::vector<u16> px(size_t(c.w) * c.h), py(size_t(c.w) * c.h);
    for (int pass = 0; pass < 2; ++pass) {
      ASSERT_TRUE(hal->BeginScene());
      Hal::Surface* back = hal->GetBackBuffer();
      ASSERT_EQ(i32(back->width), lw);
      ASSERT_EQ(i32(back->height), lh);
      for (i32 y = 0; y < lh; ++y)
        for (i32 x = 0; x < lw; ++x) back->Row(u32(y))[x] = u16(pass ? y : x);
      ASSERT_TRUE(hal->Swap(0));
      const Os::Panel& panel = Os::HeadlessGraphics()->GetPanel();
      (pass ? py : px) = panel.pixels;
    }
    for (i32 y = 0; y < c.h; ++y)
      for (i32 x = 0; x < c.w; ++x) {
        i32 tx = x, ty = y;
        core->TurnStylus(&tx, &ty);
        const i32 ex = px[size_t(y) * c.w + x], ey = py[size_t(y) * c.w + x];
        ASSERT_TRUE(tx >= 0 && ty >= 0 && tx < lw && ty < lh) << c.w << "x" << c.h << " panel " << x << "," << y;
        ASSERT_LE(std::abs(tx - ex), 1) << c.w << "x" << c.h << " StartMode " << c.startMode << " panel " << x << ","
                                        << y;
        ASSERT_LE(std::abs(ty - ey), 1) << c.w << "x" << c.h << " StartMode " << c.startMode << " panel " << x << ","
                                        << y;
      }
  }
}

TEST(App, QuitSavesAGameInProgressAndAsksWhenItCannot) {
  static int saves = 0, exitCode = -1;
  DuskmireApp::SetSaveGame([](SGameCore*, u32 slot) {
    ++saves;
    return slot == 99;  // this save fails
  });
  DuskmireApp::SetExit([](int code) { exitCode = code; });
  AppRig rig(AppRig::Options{});
  ASSERT_TRUE(rig.Start());
  rig.EnterGameState();
  rig.state.gameInProgress = 0;  // entering the game state starts a game; here the player's died
  rig.app->Quit();
  EXPECT_EQ(saves, 0) << "no game in progress, nothing to save";
  EXPECT_EQ(exitCode, 0) << "a quit is a success";
  rig.state.gameInProgress = 1;
  exitCode = -1;
  rig.Windows().SetMessageBoxAnswer(Os::kAnswerNo);
  rig.app->Quit();
  EXPECT_EQ(saves, 1);
  ASSERT_EQ(rig.Windows().MessageBoxes().size(), 1u);
  EXPECT_EQ(rig.Windows().MessageBoxes()[0].text, "The game could not be saved. Exit anyway?");
  EXPECT_EQ(exitCode, -1) << "No: the game goes on";
  EXPECT_TRUE(rig.app->OnFrame());
  rig.Windows().SetMessageBoxAnswer(Os::kAnswerYes);
  rig.app->Quit();
  EXPECT_EQ(saves, 2);
  EXPECT_EQ(exitCode, 0) << "a quit is a success";
  EXPECT_FALSE(rig.app->OnFrame()) << "the quit flag ends the loop";
  DuskmireApp::SetSaveGame(nullptr);
  DuskmireApp::SetExit(nullptr);
}
