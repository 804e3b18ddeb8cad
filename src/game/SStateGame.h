// The game state: the first-person view of the world. What the application, the lower layers and the
// player's rules use of it so far: its flags and busy test, the window of cells, the clock, the queue of
// game events and the hit indicators of the action list.
#pragma once
#include "core/ui/SState.h"
#include "game/SActionRecord.h"
#include "game/SGameEvent.h"
#include "game/SMapWindow.h"

// The transition kind a map object or script names by word (0 for any other word or none).
u32 TransitionKindFromName(const char* word);

class SStateGame : public SState {
 public:
  SStateGame() : events(true, 4), actions(true, 4) {}

  // True while input must wait: turning, stepping, or a sub-dialog open.
  bool IsBusy() const;

  // ---- game events (appended; their handling comes with the event processing)
  // A message box with the button bits (1 Ok, 12 Yes and No, ...) and a sound name (null: "bsnd_click").
  void QueueMessage(const char* text, u32 buttons, const char* sound);
  // Adds a paragraph to the last queued message, or to a new one without buttons when the last event is
  // none; `flag` is the paragraph's style.
  void AppendToMessage(const char* text, u32 flag);
  // Kinds 1 and 2 are queued only for a position of the current world (its five-character prefix).
  void QueueTeleport(const char* position, u32 transition);
  void QueueMapTransition(const char* position, const char* prompt, u32 transition, u32 stepBack);
  void QueueTurnTo(u32 quarter);
  void QueueCellMove(i32 x, i32 y);
  void QueueJail(const char* text);
  void QueueStepBack();
  void QueueTravel(const char* textA, const char* textB);

  // ---- hit indicators: a blow taken (its damage and the side it comes from, -1 none) and damage taken
  void ShowPlayerHit(i32 attack, i32 direction);
  void ShowPlayerDamage(i32 damage);
  // Sets the first-person hands for the equipped items again; a set flag keeps that hand.
  void SetHandView(bool keepSecond, bool keepFirst);

  // ---- the clock: game minutes since the start of the game
  u32 GetClockMinutes() const { return window.minutes; }
  // One minute per action of the player, hours (travel, prison, cards, rest), or a span at once.
  void PassMinute();
  void PassHours(u32 hours);
  void PassTime(u32 days, u32 hours, u32 minutes);

  // ---- music: marks the current track's channel stopped (none afterwards)
  void StopMusic();
  // Looks up the door and random-drop images after the image cache changed.
  void ResolveDoorAndDropImages() {}

  // What the state does besides walking: 1 walking, 2 to 16 a box, prompt, transition or sub-dialog.
  i32 subMode = 1;
  u8 turning = 0;
  u8 stepping = 0;
  SDialog* subDialog = nullptr;  // the open sub-dialog, null when none
  u8 gameInProgress = 0;         // the quit sequence saves only when set
  u16* frameBase = nullptr;      // the back buffer's pixels as beginning a frame last saw them
  i32 facing = 0;                // degrees counter-clockwise from north
  i32 musicChannel = -1;         // the current music track's channel, -1 none

  // The 35 x 35 window of map cells and faces, and the placement the maps ask for while loading.
  bool GetAreaLocalPosition(SMapArea& area, i32 x, i32 y, i32& column, i32& row) {
    return window.GetAreaLocalPosition(area, x, y, column, row);
  }
  bool PlaceObjectInArea(SMapArea& area, SMapMonster& monster, i32 x, i32 y) {
    return window.PlaceMonster(area, monster, x, y);
  }
  bool PlaceBagInCell(SMapArea& area, SItemContainer& bag, i32 x, i32 y) {
    return window.PlaceBagInCell(area, bag, x, y);
  }
  SMapWindow window;
  SPtrArray<SGameEvent> events;
  SPtrArray<SActionRecord> actions;

 private:
  // A new event of the kind at the end of the queue; null when out of memory.
  SGameEvent* AddEvent(u32 kind);
  bool IsCurrentWorldPosition(const char* position) const;
  // The player's side of each minute that passes.
  void PassPlayerMinutes(u32 minutes);
};
