// Game state 9: the main menu. Four pictures, the list of entries (continue, new game, load, save,
// settings, additional worlds, credits, exit) and the version; on entry outside a game it offers the
// auto-saved game. A new game opens the world's archives behind the loading dialog and hands over to the
// introduction scene; a world or saved game that cannot be loaded is reported and the menu stays.
#pragma once
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SDialogLoading.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SState.h"
#include "core/ui/STextCtrl.h"

class SStateMain : public SState {
 public:
  static constexpr u32 kLayout = 3;
  static constexpr u16 kListId = 12, kVersionId = 15;
  static constexpr u16 kPictureIds[4] = {10, 13, 14, 11};
  // Row codes.
  static constexpr u32 kNewGame = 1, kLoad = 2, kSave = 3, kExit = 5, kContinue = 6, kSettings = 7, kWorlds = 8,
                       kCredits = 9;
  // Prompt modes: none, the auto-save question, the new-game question, the exit question, and a report
  // that only closes.
  static constexpr u32 kNoPrompt = 0, kAutoSavePrompt = 1, kNewGamePrompt = 2, kExitPrompt = 4, kReport = 5;
  static constexpr const char* kVersion = "1.02";

  void Attach(SGameCore* gameCore) override;
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override;
  void Resume() override;
  void Paint() override;
  u32 OnCommand(u16 code) override;

  // Whether a game is in progress with the player alive (the rows and questions that depend on it).
  bool GameAlive() const;
  // The scene of that name as a state word: its position in the scene table plus one, 0 when absent.
  static u32 SceneWord(SGameCore* core, const char* name);
  // After a world failed to load: nothing of it stays, and the music archive is open again as after
  // start-up (the menu's music and credits), so that the next attempt opens everything anew.
  static void KeepOnlyMusic(SGameCore* core);

  SPicCtrl pictures[4];
  SDialogListCtrl list;
  STextCtrl version;
  SDialogTextCtrl promptText;
  SDialogMessage prompt;
  SDialogLoading loading;
  u32 promptMode = kNoPrompt;

 private:
  void BuildMenu();
  void ShowPrompt(const char* text, u32 buttons, u32 mode);
  u32 LoadWorld();
  void ExitGame();
  bool GameInProgress() const;
};
