// The game harness at work: the real program booted headless and driven as a player drives it.
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "core/ui/SDialogList.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SDialogTextEdit.h"
#include "foundation/SSettings.h"
#include "game/SStateGame.h"
#include "platform/sound/SSoundManager.h"
#include "script/SScriptContext.h"
#include "support/GameHarness.h"
#include "support/GoldenText.h"

#include <gtest/gtest.h>

namespace {

struct Replay {
  std::string summary;
  std::deque<GameHarness::Frame> frames;
  std::vector<i32> states;  // the current state after each step
};

// Boots, goes to the main menu by the core's own call, presses and taps, and waits.
Replay PlayToTheMainMenu() {
  Replay r;
  GameHarness game;
  EXPECT_TRUE(game.boot()) << game.startError();
  r.states.push_back(game.state());
  game.frame(3);
  game.setState(kStateMain);
  r.states.push_back(game.state());
  game.press(kActionForward);
  game.press(kActionBack);
  game.tap(3, 15);
  game.penDown(100, 100);
  game.penMove(120, 110);
  game.penUp(120, 110);
  EXPECT_TRUE(game.waitUntil(GameHarness::stateIs(kStateMain), 5));
  r.states.push_back(game.state());
  r.summary = game.summary();
  r.frames = game.frames();
  return r;
}

}  // namespace

TEST(Harness, AReplayFromStartUpToTheMainMenu) {
  const Replay first = PlayToTheMainMenu();
  EXPECT_EQ(first.states, (std::vector<i32>{kStateCorvanth, kStateMain, kStateMain}));
  EXPECT_EQ(testgolden::CompareText("harness_main_menu", first.summary), "");
  ASSERT_FALSE(first.frames.empty());
  // Run twice in one process, the same replay gives the same game and the same pictures: nothing read
  // from uninitialised memory, nothing that depends on the order of a hash or on the host's time.
  const Replay second = PlayToTheMainMenu();
  EXPECT_EQ(second.summary, first.summary);
  ASSERT_EQ(second.frames.size(), first.frames.size());
  for (size_t i = 0; i < first.frames.size(); ++i) {
    EXPECT_EQ(second.frames[i].first, first.frames[i].first) << "frame " << i;
    EXPECT_EQ(second.frames[i].last, first.frames[i].last) << "frame " << i;
    EXPECT_TRUE(second.frames[i].pixels == first.frames[i].pixels) << "frame " << i;
  }
}

// A press sends the key the live settings bind to the action, on a keyboard device as on the others, and
// follows the binding when it changes.
TEST(Harness, PressesGoThroughTheKeyBindings) {
  for (bool keyboard : {false, true}) {
    GameHarness::Options o;
    o.width = keyboard ? 800 : 240;
    o.height = keyboard ? 480 : 320;
    GameHarness game(o);
    ASSERT_TRUE(game.boot()) << game.startError();
    // Where the game state would be, a state that counts the side steps reaching it.
    struct Counting : SStateGame {
      u32 seen = 0;
      u32 OnKey(u32 code) override {
        seen += code == kActionSideLeft;
        return 0;
      }
    } counting;
    counting.Attach(&game.core());
    SState* real = game.core().states[kStateGame];
    SStateGame* realGame = game.core().stateGame;
    game.core().states[kStateGame] = &counting;
    game.core().stateGame = &counting;
    game.setState(kStateGame);
    game.press(kActionSideLeft);
    EXPECT_EQ(counting.seen, 1u) << "keyboard " << keyboard;
    SSettings& settings = game.core().settings;
    if (keyboard) {
      settings.keys[7] = 'z';  // the side step's entry holds a character
    } else {
      for (u32& entry : settings.keys)
        if (entry == kActionSideLeft) entry = 0;
      settings.keys[4] = kActionSideLeft;  // the action key's entry
    }
    game.press(kActionSideLeft);
    EXPECT_EQ(counting.seen, 2u) << "keyboard " << keyboard;
    game.setState(kStateMain);
    game.core().states[kStateGame] = real;
    game.core().stateGame = realGame;
  }
}

// What the game says and plays is recorded where it asks, with or without a sound device.
TEST(Harness, RecordsMessagesAndSounds) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  SGameCore& core = game.core();
  core.stateGame->QueueMessage("The door is locked.", 1, nullptr);
  core.stateGame->AppendToMessage("It will not move.", 0);
  core.scriptContext->ShowMessage("You feel stronger.", 1);
  // The script's message goes on into the game's message, as a paragraph of the player's reports.
  const struct {
    const char *source, *destination, *text;
    u32 detail;
  } expected[] = {{"queued", "message box", "The door is locked.", 1},
                  {"appended", "last message box", "It will not move.", 0},
                  {"script", "game message", "You feel stronger.", 1},
                  {"appended", "last message box", "You feel stronger.", 2}};
  ASSERT_EQ(game.messages().size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(game.messages()[i].source, expected[i].source) << i;
    EXPECT_EQ(game.messages()[i].destination, expected[i].destination) << i;
    EXPECT_EQ(game.messages()[i].text, expected[i].text) << i;
    EXPECT_EQ(game.messages()[i].detail, expected[i].detail) << i;
  }
  EXPECT_EQ(game.eventKinds(), std::vector<u32>{kEventMessage});

  core.soundManager->PlaySound(core.clickSounds[0], 7);
  core.soundManager->StopMusic();
  ASSERT_EQ(game.sounds().size(), 2u);
  EXPECT_EQ(game.sounds()[0].what, "sound");
  EXPECT_EQ(game.sounds()[0].name, "#4031");
  EXPECT_EQ(game.sounds()[0].step, 7);
  EXPECT_EQ(game.sounds()[0].handle, -1000) << "no device in a headless run: the speaker refuses";
  EXPECT_EQ(game.sounds()[1].what, "stop music");
}

// A condition that never comes true says what was awaited and where the game stood.
TEST(Harness, AFailedWaitSaysWhatItWaitedFor) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  const u32 before = game.presents();
  const testing::AssertionResult idle = game.waitUntil(GameHarness::gameIdle(), 4);
  EXPECT_FALSE(idle);
  EXPECT_EQ(std::string(idle.message()), "the game state is idle: not within 4 frames (state 6, sub-mode 1)");
  EXPECT_EQ(game.presents() - before, 4u) << "one present per frame";
}

// A dialog opened over a state is seen with its controls, and input reaches it as the player gives it.
TEST(Harness, SeesTheDialogOpenOverAState) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  game.setState(kStateMain);
  SGameCore& core = game.core();
  SDialogTextCtrl text;
  SDialogMessage box;
  // What a screen does to ask a question, and then a frame for the box to take input.
  core.ShowMessageBox("Leave the marsh?", SDialogMessage::kYes | SDialogMessage::kNo, &text, &box, core.currentState);
  game.frame();
  EXPECT_EQ(game.openChild(), &box);
  std::vector<std::string> seen;
  for (const GameHarness::Control& c : game.controls())
    if (c.dialog == "SDialogMessage") seen.push_back(c.dialog + " " + c.type + " \"" + c.text + "\"");
  EXPECT_EQ(seen, (std::vector<std::string>{"SDialogMessage SDialogTextCtrl \"Leave the marsh?\"",
                                            "SDialogMessage SCtrlMessageButton \"Yes\"",
                                            "SDialogMessage SCtrlMessageButton \"No\""}));
  // The confirm action presses the default button, which clicks.
  game.press(kActionUse);
  ASSERT_FALSE(game.sounds().empty());
  EXPECT_EQ(game.sounds().back().what, "sound");
  EXPECT_EQ(game.sounds().back().name, "#4032");
  EXPECT_EQ(game.sounds().back().step, 10);
  core.currentState->CloseChild();
  EXPECT_EQ(game.openChild(), nullptr);
}

// A tap lands in the middle of its control on every screen, the turned ones included: the harness finds
// the panel point that the application and the core bring there.
TEST(Harness, TapsLandOnTheControlOnTurnedScreens) {
  const struct {
    int width, height;
    u32 startMode;
  } screens[] = {{240, 320, 0}, {240, 320, 1}, {240, 320, 2}, {320, 240, 0},
                 {480, 640, 1}, {640, 480, 0}, {800, 600, 0}};
  for (const auto& s : screens) {
    GameHarness::Options o;
    o.width = s.width;
    o.height = s.height;
    o.startMode = s.startMode;
    GameHarness game(o);
    ASSERT_TRUE(game.boot()) << game.startError();
    struct Touches : SState {
      std::vector<std::pair<i32, i32>> downs;
      u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override {
        if (touching && !moving) downs.emplace_back(x, y);
        return 0;
      }
    } touches;
    touches.Attach(&game.core());
    SState* menu = game.core().states[kStateMain];
    game.core().states[kStateMain] = &touches;
    game.setState(kStateMain);
    game.tap(3, 12);
    const SLayoutItem* item = game.core().GetLayoutItem(3, 12);
    ASSERT_TRUE(item);
    ASSERT_EQ(touches.downs.size(), 1u) << s.width << "x" << s.height << " StartMode " << s.startMode;
    EXPECT_LE(std::abs(touches.downs[0].first - (item->x + item->w / 2)), 1)
        << s.width << "x" << s.height << " StartMode " << s.startMode;
    EXPECT_LE(std::abs(touches.downs[0].second - (item->y + item->h / 2)), 1)
        << s.width << "x" << s.height << " StartMode " << s.startMode;
    game.setState(kStateCorvanth);
    game.core().states[kStateMain] = menu;
  }
}

// Every display mode a device selects boots from its screen, and the screen-level helpers work there:
// typing on the keyboard by its keys (shift tapped as the case asks), a tap on a list's row, and the description of
// what is open.
TEST(Harness, ScreenHelpersOnEveryDeviceMode) {
  EXPECT_EQ(GameHarness::deviceModes(), (std::vector<i32>{6, 7, 8, 9, 10, 11, 14, 15, 16}));
  const GameHarness::Options six = GameHarness::forMode(6);
  EXPECT_EQ(std::make_tuple(six.width, six.height, six.startMode), std::make_tuple(320, 240, 1u));
  const GameHarness::Options fourteen = GameHarness::forMode(14);
  EXPECT_EQ(std::make_tuple(fourteen.width, fourteen.height), std::make_tuple(800, 480));
  for (i32 mode : GameHarness::deviceModes()) {
    GameHarness game(GameHarness::forMode(mode));
    ASSERT_TRUE(game.boot()) << game.startError();
    ASSERT_EQ(game.core().displayMode, mode);
    game.setState(kStateMain);
    SGameCore& core = game.core();

    SDialogTextEdit keyboard;
    keyboard.Attach(&core);
    keyboard.Create();
    core.currentState->OpenChild(&keyboard);
    game.frame();
    game.typeText("Ann bo\b\bBo 7");
    EXPECT_STREQ(keyboard.GetText(), "Ann Bo 7") << "mode " << mode;
    EXPECT_NE(game.describeUi().find("SDialogTextEdit layout 17"), std::string::npos) << game.describeUi();
    core.currentState->CloseChild();

    SDialogList box;
    SDialogListCtrl list;
    box.Attach(&core);
    list.Attach(&box);
    list.SetFont(1, 0x161616, 0xB0D0E0, nullptr);
    for (const char* row : {"Marsh", "Fen", "Mire"}) list.AddRowWithKey(row, row, 0);
    list.LayoutRows(120);
    box.Create(&list);
    core.currentState->OpenChild(&box);
    game.frame();
    game.tapRow(list.id, 2);
    EXPECT_EQ(list.selected, 2) << "mode " << mode;
    const std::string ui = game.describeUi();
    EXPECT_NE(ui.find("rows [Marsh] [Fen] [Mire] selected 2 first 0"), std::string::npos) << ui;
    core.currentState->CloseChild();
    EXPECT_EQ(game.scriptError(), 0u);
  }
}

// A wait that ends on a switch lets the switch's frame pass, so that the next input is taken; a wait that
// holds at once runs no frame.
TEST(Harness, AWaitEndingOnASwitchLetsItsFramePass) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  struct Switcher : SState {
    u32 ticks = 0;
    u32 OnTick(u32, SDisplay*) override { return ++ticks == 3 ? u32(kStateCorvanth) : 0; }
  } switcher;
  switcher.Attach(&game.core());
  SState* menu = game.core().states[kStateMain];
  game.core().states[kStateMain] = &switcher;
  game.setState(kStateMain);
  u32 before = game.presents();
  ASSERT_TRUE(game.waitUntil(GameHarness::stateIs(kStateMain), 5));
  EXPECT_EQ(game.presents() - before, 0u);
  const u32 ticked = switcher.ticks;
  before = game.presents();
  ASSERT_TRUE(game.waitUntil(GameHarness::stateIs(kStateCorvanth), 10));
  EXPECT_EQ(game.presents() - before, 3 - ticked + 1) << "the frames up to the switch, and one more";
  game.core().states[kStateMain] = menu;
}
