// Game state 10: the new player. On one screen the player names the character (on the keyboard), sets a
// gender, a race (its dialog), a face (arrows through the choosable faces) and six primary skills (from a
// class or one at a time); OK starts the new game with them, Cancel returns to the menu.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialogLoading.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SDialogTextEdit.h"
#include "core/ui/SFaceCtrl.h"
#include "core/ui/SGameCtrls.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SState.h"
#include "core/ui/STextCtrl.h"
#include "dialogs/SDialogRaceSelect.h"
#include "dialogs/SDialogSelectClass.h"
#include "dialogs/SDialogSelectSkill.h"
#include "foundation/SString.h"

#include <vector>

// The character as the new-player screen offers it before the player changes anything.
struct SNewPlayer {
  SString name{"Player"};
  SString raceName{"Etherim"};                // the display name of the race
  u32 sex = 1;                                // 1 male, 0 female
  u32 race = 2;                               // 1 Rasvim, 2 Etherim, 3 Seiry, 4 Derth, 5 Nogur
  u32 majorSkills[6] = {2, 5, 1, 8, 15, 14};  // six distinct skill ids 1 to 20
  SString portrait{"bres_head00_raceetherim"};
};

class SStateGenerate : public SState {
 public:
  static constexpr u32 kLayout = 16;
  static constexpr u16 kRename = 141, kChangeRace = 144, kFemale = 146, kMale = 147, kSelectClass = 151,
                       kPreviousFace = 153, kNextFace = 154, kFirstSkill = 57, kOk = 25, kCancel = 26;
  static constexpr u16 kNameText = 140, kRaceText = 143, kFace = 149;
  // Sub-modes: the screen, then the child that takes the input; a report of a game that could not start.
  static constexpr u32 kScreen = 0, kKeyboard = 1, kRaceDialog = 2, kClassDialog = 3, kSkillDialog = 4, kReport = 5;
  static constexpr u32 kHealMagic = 8, kUndeadMagic = 12, kRasvim = 1;

  // Race 1 cannot have Heal Magic and the others cannot have Undead Magic: the skill a race may have.
  static u32 RaceSkill(u32 race, u32 skill);
  // The default face of a race: "bres_head00_race" and "undead" or the race's name, in small letters.
  static void RaceFace(u32 race, const char* raceName, SString& out);

  void Attach(SGameCore* gameCore) override;
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override;
  u32 OnCommand(u16 code) override;

  SNewPlayer newPlayer;
  u32 subMode = kScreen;
  u32 editedSlot = 0;
  i32 faceIndex = -1;
  std::vector<const char*> faces;  // the choosable faces' names, sorted

  SDialogLoading loading;
  SDialogTextEdit keyboard;
  SDialogRaceSelect raceDialog;
  SDialogSelectClass classDialog;
  SDialogSelectSkill skillDialog;
  SDialogTextCtrl reportText;
  SDialogMessage report;

  SBorderCtrl frames[7];  // the six of the screen and the name's
  STextCtrl title, labels[5], hint, modifyText, nameText, raceText;
  SButtonCtrl rename, female, male, changeRace, selectClass, previousFace, nextFace, ok, cancel;
  SFaceCtrl face;
  STopicButtonCtrl skillButtons[6];

 private:
  void LayOut();
  void BuildFaces();
  void ShowFace();
  void FillSkills();
  void ApplyRaceExchange();
  void ShowGender();
  u32 ChildAnswered(u16 code);
  u32 StartGame();
  void Click(u32 which);
};
