// The game core object: owns everything of a running game (the screen, the data archive, the settings,
// the states) and builds it at start-up. The application hands it every tick, key and stylus event; it
// passes them to the current state and switches states on their results.
#pragma once
#include "core/SGameWorld.h"
#include "core/SLayoutTable.h"
#include "core/SRolePictures.h"
#include "core/SStateNumbers.h"
#include "foundation/SDatabase.h"
#include "foundation/SRandom.h"
#include "foundation/SSettings.h"
#include "graphics/SDisplayHost.h"
#include "os/Window.h"
#include "player/SPlayer.h"
#include "player/SSaveGame.h"
#include "screens/cards/SCardSet.h"

#include <string>

class SDialog;
class SDialogMessage;
class SDialogTextCtrl;
class SDisplay;
class SFont;
class SGameObserver;
class SScriptContext;
class SScriptInterpreter;
class SString;
struct SImage;
class SSoundManager;
class SState;
class SStateGame;
class SGameCore;

// The pair of the core and its data archive, for whatever needs the two together.
struct SArchiveBinding {
  SGameCore* core;
  SDatabase* data;
};

// When the running program started: local time in seconds since 1 January 1970.
struct SStartTime {
  SGameCore* core;
  u32 seconds;
};

// One of the game's rate timers: how often it fired, and the tick count of its last firing.
struct SFrameTimer {
  u32 counter = 0;
  u32 lastTick = 0;
};

// An amount in at most five characters: below 10,000 as it is, then thousands with "K" and millions with
// "M" (truncated).
void FormatCompactNumber(u32 amount, SString& out);
// A purse's money the same way, with billions as "B" from 1,000,000,000 on.
void FormatMoneyText(u32 amount, SString& out);

class SGameCore : public SDisplayHost {
 public:
  static constexpr u32 kPictureSlots = 462;
  static constexpr u32 kFrameTimers = 9;
  static constexpr u32 kStateStackSize = kStateCount;

  SGameCore();
  ~SGameCore() override;
  SGameCore(const SGameCore&) = delete;
  SGameCore& operator=(const SGameCore&) = delete;

  // Builds the running game for the display mode (6 to 16) on the window of that screen size: opens the
  // data archive, the screen, the sound and the fonts, shows the start-up text, reads the interface
  // pictures and click sounds, fills the code-made tables, creates and attaches every state, opens the
  // music archive and enters the maker's logo state. False, with *error saying why, when the game cannot
  // run: no data archive, or one that lacks the screen's layout, a font strip, an interface picture of
  // the display mode or a click sound the game can play; no display; no memory.
  bool Startup(i32 mode, Os::WindowId window, u32 screenWidth, u32 screenHeight, std::string* error);

  // One game-loop tick: the frame counter grows by one; with a screen the current state ticks (and
  // paints). Returns the state's result, which has been acted on.
  u32 Tick();
  void OnKey(u32 code);
  // A stylus event in panel coordinates, turned for a rotated picture.
  void OnStylus(i32 x, i32 y, u32 touching, u32 moving);
  // Switches the current state: 1 to 15 by number, 99 back to the state kept on the stack. A code that
  // selects no state (99 on an empty stack, an empty slot, any other value) leaves the current state
  // current: it is entered again, or resumed when it had been kept.
  void SetState(i32 next);
  // Empty the state stack, or all of it but its bottom entry; each state taken off is left.
  void PopAllStates();
  void PopToFirstState();
  // The stylus point as the current state sees it.
  void TurnStylus(i32* x, i32* y) const;

  // The display holds the display mode's picture: a display was made and its frame buffer is at least
  // the picture's size (a picture that does not fit would be drawn out of bounds).
  bool DisplayFitsPicture() const;

  // Per frame: begin drawing (false when no frame buffer is available now) and present.
  bool BeginFrame();
  void Present();

  // The layouts of the current display mode. GetLayoutSize leaves both outputs as they are when the
  // screen has no layout for the mode; GetLayoutItem answers null when the screen, its variant for the
  // mode or the control is absent.
  void GetLayoutSize(u32 screenId, u32& width, u32& height) const;
  const SLayoutItem* GetLayoutItem(u32 screenId, u32 controlId) const;

  // A new mode (the settings' orientation) also brings its own role pictures, once they were loaded.
  void SetDisplayMode(u32 mode);
  // The display-mode families that sizes, pictures and fonts are chosen by: compact (the small screens and
  // 640x240) and large (480 pixels or more on both sides); every other mode is standard.
  static bool IsCompactMode(i32 mode);
  static bool IsLargeMode(i32 mode);
  bool IsCompact() const { return IsCompactMode(displayMode); }
  // The frame pictures for the screen's size: the small set on compact screens, the large one elsewhere.
  SImageEntry* const* FrameSet() const { return &pictures[IsCompact() ? 77 : 16]; }
  bool IsLarge() const { return IsLargeMode(displayMode); }

  // The fixed interface pictures and the two click sounds from the data archive: every empty picture slot
  // that the picture table gives a record for the display mode, and records 4031 and 4032. A record that
  // is missing, or is no image whose colour table covers its pixels, leaves its slot empty, and so does a
  // sound record that is missing or no wave the mixer plays. LoadPictures returns the number of slots
  // filled; LoadClickSounds false when a click sound is left out.
  u32 LoadPictures();
  // The main menu's four pictures (slots 420 to 423) that are not loaded yet; the game state frees them.
  void LoadMenuPictures();
  // Reads record `id` into the empty slot; false (the slot left empty) when it holds no picture.
  bool LoadPictureSlot(u32 slot, u16 id);
  // The role pictures of the display mode (core/SRolePictures.h) not loaded yet; returns how many it read.
  u32 LoadRolePictures();
  // Lets go of the role pictures; true when any was loaded.
  bool ReleaseRolePictures();
  bool LoadClickSounds();
  // The image of a picture slot or role picture number; null for an empty one or one outside the tables.
  const SImage* Picture(u32 slot) const;
  // The run of pictures from a slot or role picture number on, for buttons and panels; null outside them.
  SImageEntry* const* PictureSet(u32 slot);

  // Panels and frames from runs of consecutive picture slots (`set` points at the first). A nine-piece set
  // runs column by column: top-left, left, bottom-left, top, centre, bottom, top-right, right,
  // bottom-right; the corners' sizes fix the borders, and an inner size below 0 counts as 0. Keyed draws
  // with the colour key. An empty slot draws nothing and counts as 0 x 0.
  // DrawPanel9: the sides chosen by `sides` (1 top, 2 left, 4 bottom, 8 right), each as its corners and
  // its tiled edge, never the centre; bit 128 first fills the inner area with the colour (0x00BBGGRR).
  void DrawPanel9(SImageEntry* const* set, u32 keyed, i32 x, i32 y, i32 width, i32 height, u32 sides, u32 colour);
  // DrawPanel3V: a horizontal bar of three pieces: left cap, tiled middle, right cap.
  void DrawPanel3V(SImageEntry* const* set, u32 keyed, i32 x, i32 y, i32 width, i32 height);
  // DrawPanel3H: a whole nine-piece panel: corners, tiled edges and tiled centre.
  void DrawPanel3H(SImageEntry* const* set, u32 keyed, i32 x, i32 y, i32 width, i32 height);

  // Rewrite a text's digits, and the signs and suffixes that go with them, into the game font's small
  // number glyphs (14 to 29) or its second set (130 to 169). Returns the text's length.
  static u32 ConvertNumberGlyphs(SString& text);
  static u32 ConvertNumberGlyphsAlt(SString& text);

  // The message box over a screen: the text goes into the text control in the message style, and the box
  // is laid out with the buttons of the mask (1 Ok, 2 Cancel, 4 Yes, 8 No, 16 Continue, 32 Left, 64 Right,
  // 128 Open, 256 Disarm, 512 Pick) and centred on the screen. ShowMessageBox also opens it as the owner's
  // modal child.
  void SetupMessageBox(const char* text, u32 buttons, SDialogTextCtrl* textCtrl, SDialogMessage* box, SDialog* owner);
  void ShowMessageBox(const char* text, u32 buttons, SDialogTextCtrl* textCtrl, SDialogMessage* box, SDialog* owner);
  // The message style of a box's text control: font 1, the message colours, centred lines, no background.
  void StyleMessageText(SDialogTextCtrl* textCtrl);
  static constexpr u32 kMessageTextColour = 0x161616, kMessageSubduedColour = 0x285050, kMessageShadeColour = 0x94D6E7;

  // The world module being played.
  void SetCurrentWorld(SWorldModule* module) { world.modules.current = module; }
  SWorldModule* CurrentWorld() const { return world.modules.current; }
  // A new world module, owned by the module list; null when memory runs out.
  SWorldModule* AddWorldModule() { return world.modules.Add(); }

  // The settings from the registry (with their defaults, written back), and every setting to it.
  void LoadSettings() { settings.LoadAndStore(displayMode); }
  void SaveSettings() { settings.Save(); }

  // SDisplayHost
  i32 DisplayMode() const override { return displayMode; }
  bool ViewLayoutRect(i32& x, i32& y, i32& w, i32& h) const override;
  u32 ViewSizeSetting(u32 orientation) const override;
  SWorldView* WorldView() override { return gameView; }

  // The loaded world and its three loading phases (SGameCoreWorld.cpp). `steps` advances the loading
  // dialog (may be null for BindWorldResources).
  void UnloadWorld();
  void PrepareWorldTables(SLoadingSteps* steps);
  void BindWorldResources(SLoadingSteps* steps);

  // The eight grid directions, clockwise from north (0 north, 1 north-east ... 7 north-west; y grows
  // southward): the neighbour of (x, y) in direction d is (x + kDirX[d], y + kDirY[d]).
  static constexpr i32 kDirX[8] = {0, 1, 1, 1, 0, -1, -1, -1};
  static constexpr i32 kDirY[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
  static constexpr i32 kDirBit[8] = {1, 2, 4, 8, 16, 32, 64, 128};
  // The four diagonals (north-east, south-east, south-west, north-west): the bits of the two straight
  // directions beside each, and its own bit.
  static constexpr i32 kDiagonalSides[4] = {5, 20, 80, 65};
  static constexpr i32 kDiagonalBit[4] = {2, 8, 32, 128};
  // Where the group kind scatters its members over a cell: 16.16 offsets in eighths of a cell.
  static constexpr i32 kGroupOffsetX[7] = {1 * 8192, 5 * 8192, 3 * 8192, 7 * 8192, 2 * 8192, 6 * 8192, 4 * 8192};
  static constexpr i32 kGroupOffsetY[7] = {1 * 8192, 2 * 8192, 3 * 8192, 4 * 8192, 5 * 8192, 6 * 8192, 7 * 8192};

  // What the rest of the game reads and writes, in the order of the core's record.
  SRandom* random = nullptr;
  SDisplay* display = nullptr;  // the screen, set at start-up
  SArchiveBinding* archiveBinding = nullptr;
  SFont* font = nullptr;
  SScriptInterpreter* scriptInterpreter = nullptr;  // runs the world's scripts; owned
  SScriptContext* scriptContext = nullptr;          // where the running script's output goes
  SFileStore fileStore;  // opens files in the program folder; the data archive reads through it
  SDatabase data;        // "DuskmireData"
  SSoundManager* soundManager = nullptr;
  SStartTime* startTime = nullptr;
  std::string programFolder;  // ends with a separator
  // States kept for a return by 99, bottom first.
  SState* stateStack[kStateStackSize] = {};
  u32 stackCount = 0;
  SState* currentState = nullptr;
  SState* states[kStateCount] = {};  // by state number; 0 and 13 stay empty
  SStateGame* stateGame = nullptr;
  i32 displayMode = 0;
  u8 landscapeScreen = 0;  // the application's landscape flag: the panel is wider than high
  u32 frameCounter = 0;
  SSettings settings;
  // The world: module list (with the current module), image cache and every world table.
  SGameWorld world;
  SSaveGame saveGame;  // the saved-game slots and their name tables
  SLayoutTable layouts;
  static constexpr u32 kLightTextColour = 0x94D6EF, kDarkTextColour = 0x4294C6;
  u32 lightTextColour = kLightTextColour;  // edge colour of interface labels
  u32 darkTextColour = kDarkTextColour;    // edge colour of a pressed message button's label
  // The fixed interface pictures; a slot start-up does not fill stays null. Owned.
  SImageEntry* pictures[kPictureSlots] = {};
  SImageEntry* rolePictures[RolePicture::kCount] = {};
  SResource* clickSounds[2] = {};  // from records 4031 and 4032; owned
  // Click sound 0 (selections, arrows, steppers) or 1 (confirm, cancel, close) at volume step 10.
  void PlayClick(u32 which);
  SCardSet cards;  // the card game's 75 card definitions
  SPlayer player;  // after the world: its items and effects refer to the world's tables
  SFrameTimer frameTimers[kFrameTimers];
  SWorldView* gameView = nullptr;     // the game state's world view, once there is one
  SGameObserver* observer = nullptr;  // told of the messages the game shows; null in the game itself

 private:
  void PopStatesDownTo(u32 remaining);
  // Steps of Startup: the interface pictures and click sounds (false with *error naming the record that
  // is missing or unusable), and every state with the script machinery.
  bool LoadInterfaceResources(std::string* error);
  bool CreateStates();
  // Creates a state, keeps it for deletion and lists it under its number; null when memory runs out.
  template <class State>
  State* CreateState(i32 number);
  // The same, attached to the core at once; false when memory runs out.
  template <class State>
  bool AddState(i32 number);
  // What Startup created; tests may put other objects into the public slots.
  SState* ownStates_[kStateCount] = {};
  SScriptContext* ownContext_ = nullptr;
};
