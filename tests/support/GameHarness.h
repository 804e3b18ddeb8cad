// Plays the real program headless, frame by frame, the way a player would: the application, the game core
// and every state run as they do in the game, over the sample world built next to the tests (or a copy of
// it, for tests that write saved games). Input goes through the application's own key and pen handlers;
// what the game shows, says and plays is recorded for the test to read. Nothing above src/os is replaced.
//
//   GameHarness game;
//   ASSERT_TRUE(game.boot());
//   game.setState(kStateMain);
//   game.press(kActionBack);
//   game.tap(3, 12);
//   ASSERT_TRUE(game.waitUntil(GameHarness::stateIs(kStateGame), 50));
//   EXPECT_EQ(game.summary(), ...);
#pragma once
#include "os/Gdi.h"
#include "os/Types.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

class DuskmireApp;
namespace Os {
class SimWaveOut;
}
class SCtrl;
class SDialog;
class SGameCore;
class SStateGame;

class GameHarness {
 public:
  struct Options {
    int width = 240, height = 320;        // the handheld's screen
    u32 startMode = 0;                    // the "StartMode" setting (nonzero: the turned modes of 240x320, 480x640)
    std::string dataFolder;               // where the game data lies; empty: the sample world built next to the tests
    bool copyData = false;                // play on a copy in a fresh folder (saved games land there), removed after
    u32 memory = 64u << 20;               // the free memory the device reports
    std::map<std::string, u32> settings;  // registry values set before the start ("SoundVolume", ...)
    // A simulated sound device, so that sounds and music get real channels (headless runs have none).
    bool soundDevice = false;
    // Start a new game with the new-player screen's character right after start-up (as --new-game does).
    bool newGame = false;
    // For runs of the whole loop (app().Run()): scripted input, and when the run ends (0: no limit).
    std::string inputScript;
    u32 frameLimit = 0, timeLimit = 0;
  };
  // The screen and "StartMode" of a device that runs the display mode (its natural orientation: 320x240
  // with StartMode 1 for mode 6, 240x320 for 7, 480x640 for 10, 800x480 for 14, ...).
  static Options forMode(i32 mode);
  // The display modes devices select: 6, 7, 8, 9, 10, 11, 14, 15, 16.
  static std::vector<i32> deviceModes();

  // A condition to wait for, with the words a failed wait reports.
  struct Condition {
    std::string what;
    std::function<bool(const GameHarness&)> holds;
  };

  // One control of the current state or of a dialog open over it, as it stands (a message box's body text
  // counts as one of its controls).
  struct Control {
    std::string dialog;  // class of the dialog that holds it
    std::string type;    // class of the control
    u32 id = 0;
    i32 x = 0, y = 0, width = 0, height = 0;
    u32 flags = 0;
    std::string text;  // its caption or text, when it has one
  };

  // What the player record holds, in the terms a test compares.
  struct Player {
    std::string name;
    u32 race = 0;
    std::string raceName;
    u32 level = 0, xp = 0;
    i32 hp = 0, maxHp = 0, mana = 0, maxMana = 0;
    u32 money = 0;
    i32 fame = 0;
    u32 crime = 0;
    std::vector<i32> attributes;                        // 1 to 5, with their effects
    std::vector<std::pair<u32, u32>> skills;            // (skill id, level) of every skill above 0
    std::vector<std::pair<u32, std::string>> equipped;  // (slot, item type name)
    std::vector<std::string> effects;                   // "category/sub strength duration source text"
  };

  // A message the game queued, appended or showed, and where it went.
  struct Message {
    std::string source, destination, text;
    u32 detail = 0;
  };

  // A sound, loop or song the game started, paused or stopped (recorded as asked: no device needed).
  struct Sound {
    std::string what;  // "sound", "loop", "music", "stop music", "stop sounds", "pause", "resume", "stop"
    std::string name;  // the sound's or song's name ("#4031" for an unnamed record)
    i32 step = 0;      // the volume step asked for
    i32 handle = 0;
  };

  // A picture the panel showed, for the presents first to last (equal consecutive frames are kept once).
  struct Frame {
    u32 first = 0, last = 0;
    std::vector<u16> pixels;
  };

  // A run of the built program as a separate process.
  struct ProgramRun {
    std::string name;   // its own folder under the build tree, made afresh: input, captures ("shots/")
    std::string args;   // options after "--backend headless"
    std::string input;  // scripted input (empty: none)
  };
  struct ProgramResult {
    int status = -1;     // the exit status; -1 when it did not exit normally
    std::string output;  // stdout and stderr
    std::string folder;
  };

  explicit GameHarness(const Options& options);
  GameHarness() : GameHarness(Options{}) {}
  ~GameHarness();
  GameHarness(const GameHarness&) = delete;
  GameHarness& operator=(const GameHarness&) = delete;

  // Window and start-up, as the program's entry does them. False when the start was refused.
  bool boot();
  const std::string& startError() const;
  // The folder the game reads its data from (and writes saved games to).
  const std::string& dataFolder() const { return dataFolder_; }
  // True once the program has ended its loop (the window closed or the quit sequence ran).
  bool ended() const { return ended_; }

  // ---- driving (each waits a frame after the input, and another when a state or dialog switched)
  // One game frame, or several: the application's own frame pacing under virtual time.
  void frame(u32 count = 1);
  // The host key bound to the action in the live settings, pressed and released.
  void press(u16 action);
  // A stylus tap at the centre of a control of a screen layout, for the current display mode.
  void tap(u32 layout, u32 control);
  // A stylus tap (down and up) at the centre of the visible control with that id in the deepest open
  // dialog (the current state when none is open). A failure when it holds no such control.
  void tapControl(u32 id);
  // A tap on the visible control of the deepest dialog that shows exactly this text (a message box's
  // "Yes" or "No", whose buttons have no id).
  void tapLabel(const std::string& text);
  // A tap on row `row` of the list control with that id (deepest dialog first), which must be on its page.
  void tapRow(u32 list, u32 row);
  // Types on the open on-screen keyboard by tapping its keys: letters in their case (shift is tapped as
  // needed), digits, spaces, and '\b' for backspace.
  void typeText(const std::string& text);
  // The stylus in screen coordinates (those the states see), turned back to the panel's on turned screens.
  void penDown(i32 x, i32 y);
  void penMove(i32 x, i32 y);
  void penUp(i32 x, i32 y);
  // Switches state by the core's own call, as the screens do, then waits a frame.
  void setState(i32 state, u32 w0 = 0, u32 w1 = 0, u32 w2 = 0, u32 w3 = 0);
  // Runs frames until the condition holds, at most maxFrames; when the frame that made it hold switched
  // state or dialog, one frame more (input in a switch's frame is ignored).
  testing::AssertionResult waitUntil(const Condition& condition, u32 maxFrames);
  static Condition stateIs(i32 state);
  static Condition gameIdle();  // the game state current, walking (sub-mode 1), not busy, no event queued
  static Condition subModeIs(i32 subMode);

  // ---- observing
  DuskmireApp& app() const { return *app_; }
  SGameCore& core() const;
  i32 state() const;  // the current state's number, 0 for none
  std::vector<i32> stateStack() const;
  SDialog* openChild() const;  // the innermost dialog open over the current state, null when none
  i32 subMode() const;         // the game state's, 0 without one
  std::vector<Control> controls() const;
  // The visible controls of the state and of every dialog open over it, a line each (class, id, rectangle,
  // flags, text; a list's rows and selection), under a line per dialog: a stable text for golden files.
  std::string describeUi() const;
  // The script interpreter's last error code (0: the last run had none).
  u32 scriptError() const;
  Player player() const;
  std::vector<u32> eventKinds() const;  // the game state's queued events, first first
  const std::vector<Message>& messages() const { return messages_; }
  const std::vector<Sound>& sounds() const { return sounds_; }
  const std::deque<Frame>& frames() const { return frames_; }
  void clearFrames() { frames_.clear(); }
  // False: presents are no longer kept in frames() (each copies the panel).
  bool keepFrames = true;
  const Os::Panel& panel() const;
  u32 presents() const;  // frames presented to the panel so far
  // Called at every present with the panel, before it is recorded (for a look at the game at that moment).
  std::function<void(const Os::Panel&)> onPresent;
  // Called after each message or frame the game has handled, where no handler of it is running (what a
  // handler presents in its course, a loading display say, has passed).
  std::function<void()> onPass;
  // A short text of the player and the game state, for golden comparisons.
  std::string summary() const;
  static std::string summaryOf(const Player& player);
  // A class's name as written in the code ("SButtonCtrl"), for what tests report.
  static std::string className(const std::type_info& type);

  // ---- the built program, run as a process (for what ends the process)
  static ProgramResult runProgram(const ProgramRun& run);
  // A shell command's exit status and output (stdout and stderr together).
  static ProgramResult shell(const std::string& command);

  // ---- game data
  // A fresh folder under the build tree with the sample world's archives, DuskmireData rewritten through
  // `edit` (called per record: change the bytes, or return false to leave the record out).
  static std::string makeDataFolder(const std::string& name,
                                    const std::function<bool(u16 id, std::vector<u8>& bytes)>& edit);

 private:
  class Observer;
  // Runs the message loop until `done` holds or the loop ends.
  void pumpUntil(const std::function<bool()>& done);
  void post(u32 message, u64 wParam, u64 lParam);
  // Handles the posted input, then waits a frame (two when a state or dialog switched).
  void settle();
  void pen(u32 message, i32 x, i32 y);
  // The visible control with that id in the deepest open dialog, or null.
  SCtrl* findControl(u32 id) const;
  // The state and the dialogs open (and the game's sub-mode and member dialog, when asked).
  std::string switchMark(bool withSubMode = true) const;
  void record(const Os::Panel& panel);

  Options options_;
  std::string tempData_;
  std::string dataFolder_;
  std::unique_ptr<Os::SimWaveOut> soundDevice_;
  std::unique_ptr<Observer> observer_;
  std::unique_ptr<DuskmireApp> app_;
  bool booted_ = false, ended_ = false;
  std::vector<Message> messages_;
  std::vector<Sound> sounds_;
  std::deque<Frame> frames_;
  friend class Observer;
};
