// The game's application: decides at start-up whether the device can run the game, picks the display
// mode, creates the game core, and turns window events into game input (frame pacing, key bindings,
// repeat of held keys and stylus).
#pragma once
#include "platform/hal/Game.h"

#include <string>

class SGameCore;
class SGameObserver;

// Action codes the keys are bound to.
inline constexpr u16 kActionForward = 1000;
inline constexpr u16 kActionBack = 1002;
inline constexpr u16 kActionTurnLeft = 1004;
inline constexpr u16 kActionTurnRight = 1006;
inline constexpr u16 kActionAttack = 3000;
inline constexpr u16 kActionMagicBook = 3001;
inline constexpr u16 kActionSideLeft = 3004;
inline constexpr u16 kActionSideRight = 3005;
inline constexpr u16 kActionUse = 3006;

// What a screen size gives.
struct DisplayModeChoice {
  i32 mode = 0;
  u8 landscape = 0;
  u8 keyboard = 0;
  u8 fastFrames = 0;
  u32 height = 0;  // the height the game uses (800x600 screens lose the task bar's 16 rows)
};

class DuskmireApp : public Hal::Game {
 public:
  static constexpr u32 kApplicationId = 0x0B45AA23;
  static constexpr u32 kMinimumMemory = 12000000;

  DuskmireApp();
  ~DuskmireApp() override;

  // The application object once initialised (the rest of the program reaches the game core through it).
  static DuskmireApp* Application();
  // Available physical memory recorded when the application was constructed.
  static u32 FreeMemory();
  // The display mode and flags of a screen size; false for a size the game does not know.
  static bool PickDisplayMode(u32 width, u32 height, u32 startMode, DisplayModeChoice* out);
  // Maps a key to its action as OnKeyDown does (0 none).
  u16 MapKey(u32 key) const;
  // With the keyboard flag: the action of the first bound key that is down, as the frame's repeat polls
  // them (0 none, and always 0 without the flag).
  u16 PolledAction() const;
  // Whose key table the hardware keys are read through: 0 portrait, 1 left landscape, 2 right landscape
  // (0 with the keyboard flag, whose bindings are the portrait table's characters).
  u32 KeyOrientation() const;

  bool OnInitialize() override;
  void OnShutdown() override {}
  bool OnFrame() override;
  void OnSuspend() override;
  void OnResume() override;
  void OnKeyDown(u32 key) override;
  void OnKeyUp(u32 key) override;
  void OnPenDown(i32 x, i32 y) override;
  void OnPenMove(i32 x, i32 y) override;
  void OnPenUp(i32 x, i32 y) override;
  // Closing the window is how a player quits: during a game it runs the quit sequence.
  bool OnClose() override;

  // The quit sequence: set the quit flag, save a game in progress to slot 0, end the process (status 0).
  // When the save fails the player is asked "The game could not be saved. Exit anyway?": No clears the
  // quit flag and the game goes on.
  void Quit();
  // Ends the program the way a refused start does: the text in an error box, then the loop stops.
  void EndWith(const char* text);
  // A new game with the new-player screen's character, entered at once; false (the old state kept) when
  // it cannot be started.
  bool StartNewGame();
  // Saving a game (slot) and ending the process, as the running program does them; tests replace them.
  using SaveGameFn = bool (*)(SGameCore* core, u32 slot);
  using ExitFn = void (*)(int code);
  static void SetSaveGame(SaveGameFn save);
  static void SetExit(ExitFn exit);
  // Who watches the game cores made from now on (their messages and sounds); null for none.
  static void SetObserver(SGameObserver* observer);

  // Fields after the framework's.
  Os::WindowId windowCopy = 0;
  u32 screenWidth = 0;
  u32 screenHeight = 0;
  u8 landscape = 0;
  u8 keyboard = 0;
  u8 fastFrames = 0;
  u32 lastFrame = 0;
  u32 heldX = 0;
  u32 heldY = 0;
  u8 stylusHeld = 0;
  u32 lastStylusRepeat = 0;
  u16 heldAction = 0;
  u32 lastKeyRepeat = 0;
  u8 newGame = 0;  // start a new game right after start-up (until the main menu offers one)
  SGameCore* core = nullptr;
  std::string startError;  // why the start was refused, or the game ended by EndWith, when it was

 private:
  bool InputRepeatAllowed() const;
  bool StateGameHasSubDialog() const;
  void TickUnlessSubDialog();
  void Pen(i32 x, i32 y, u32 touching, u32 moving);
  const u32* OrientationTable() const;
  // Tells the window system which key table the arrows are read through (a backend whose arrow keys do
  // not turn with the handheld turns them to match).
  void ShareKeyOrientation() const;
  bool Refuse(const char* text);
};

// The quit sequence of the running application.
void QuitGame();

// The program's main function: builds the application, starts the framework and runs the loop, with a new
// game started at once when asked. Returns the process's exit code (0). When the start was refused, or
// the game ended because its screen could not be made, *refusal (if given) says why.
int WinMain(std::string* refusal = nullptr, bool newGame = false);

// The window title.
inline constexpr char kDuskmireTitle[] = "Duskmire";
