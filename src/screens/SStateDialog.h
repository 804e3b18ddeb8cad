// Game state 2: a conversation with a person of the world (or a talking monster). The speaker's words come
// from the person's dialog entry lists, chosen by their conditions: a greeting on the first tick, then
// topics, the entries they chain to, choices, pages with "Continue" and a choice list an entry's script
// fills. Service buttons open the person's trade and craft services. Leaving returns 99 to the opener.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SFaceCtrl.h"
#include "core/ui/SGameCtrls.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SState.h"
#include "core/ui/STextCtrl.h"
#include "dialogs/SDialogCardBet.h"
#include "dialogs/SDialogRepairShop.h"
#include "dialogs/SDialogTraining.h"
#include "dialogs/enchant/SDialogEnchantItem.h"
#include "foundation/SPtrArray.h"

class SNpc;
struct SChoice;
struct SDialogEntry;
struct SDialogEntryList;

// A topic the conversation offers: the list's title, the list, its first entry whose conditions held when
// the record was made, and the topic's own button.
struct SDialogTopic {
  const char* title = nullptr;
  SDialogEntryList* list = nullptr;
  SDialogEntry* entry = nullptr;
  STopicButtonCtrl button;
};

class SStateDialog : public SState {
 public:
  static constexpr u32 kLayout = 28;
  // Layout ids.
  static constexpr u16 kFrameIds[4] = {19, 293, 554, 292};
  static constexpr u16 kPortraitId = 288, kNameId = 289, kTextId = 290, kColumnId = 291;
  // Command codes.
  static constexpr u16 kTopic = 0x1000, kContinue = 0x4000, kChoice = 0x4100, kBuySell = 0x5000, kEnchant = 0x5100,
                       kTraining = 0x5200, kRepair = 0x5300, kNothing = 0x5400, kCards = 0x5500, kExit = 0x5600,
                       kList = 0x6000, kPageUp = 0x6100, kPageDown = 0x6200, kListOk = 0x6300, kListCancel = 0x6400;
  // Which child is open.
  enum Marker : u32 { kNone = 1, kRepairShop = 2, kEnchanting = 3, kTrainer = 4, kCardBet = 6 };
  // The person word of Enter for the game state's own record of a talking monster.
  static constexpr u32 kTemporaryPerson = 0xFFFFFFFFu;

  SStateDialog();
  ~SStateDialog() override;

  // The person word of Enter: the person's place in the world's people table plus 1, or kTemporaryPerson
  // for the game state's record of a talking monster; and back (null for 0 or a word naming nobody).
  static u32 PersonWord(const SGameCore* core, const SNpc* person);
  SNpc* PersonFromWord(u32 word) const { return PersonFromCore(core, word); }
  static SNpc* PersonFromCore(SGameCore* core, u32 word);
  // The person's portrait (or, without one, the script context's speaker's) and name on a screen of the
  // person's: the two controls placed from the dialog's layout.
  static void ShowSpeaker(SDialog& screen, const SNpc* person, SFaceCtrl& portrait, u16 portraitId, STextCtrl& name,
                          u16 nameId);

  void Attach(SGameCore* gameCore) override;
  // Starts a conversation: (0, person word, speaker object, map area).
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override;
  void Leave(u32 next) override;
  u32 OnCommand(u16 code) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override;

  // ---- what the entries' scripts do while their output goes to the conversation
  // Ends the topics: only the exit button stays.
  void Goodbye();
  void SetGoNext() { goNext = 1; }
  void SetGoFirst() { goFirst = 1; }
  // Empties the choice list and makes it active; nothing is selected.
  void StartChoiceList();
  // A row of the active choice list (id text, title); nothing while the list is inactive.
  void AddListEntry(const char* id, const char* title);
  // A script message: appended in the messages' colour, without a bullet.
  void AddScriptText(const char* text);

  // The topics offered now.
  u32 TopicCount() const { return topics.Count(); }
  const SDialogTopic* Topic(u32 n) const { return topics.At(i32(n)); }

  u32 marker = kNone;
  u32 doorFlag = 0;
  i32 margin = 1;
  u32 finished = 0, goNext = 0, goFirst = 0, greetingPending = 0;
  SNpc* person = nullptr;
  u32 speakerWord = 0;
  SDialogEntryList* currentList = nullptr;
  SDialogEntry* currentEntry = nullptr;
  i32 columnX = 0, columnY = 0, columnWidth = 0, columnHeight = 0;

  SBorderCtrl frames[4];
  SFaceCtrl portrait;
  STextCtrl name;
  SDialogTextCtrl text;
  SCtrl column;  // the topic column's rectangle, never painted
  SPtrArray<SDialogTopic> topics{true, 4};
  STopicButtonCtrl services[5];  // "Buy/sell", "Training", "Repair", "Enchant", "Cards"
  SBorderCtrl separator, exitSeparator;
  STopicButtonCtrl exitButton;
  SDialogRepairShop repairShop;
  SDialogTraining training;
  SDialogEnchantItem enchanting;
  SDialogCardBet cardBet;
  SDialogTextCtrl boxText;
  SDialogMessage box;
  SButtonCtrl continueButton;
  STopicButtonCtrl choiceButtons[4];
  u32 choicesShown = 0;
  i32 choiceLines = 0;
  SDialogListCtrl list;
  u32 listActive = 0;
  SButtonCtrl pageUp, pageDown, listOk, listCancel;

 private:
  void PlayClick(u32 which);
  // The speaker's words of an entry, its script, then its choices, the choice list or the topics.
  void ShowEntry();
  void AddLine(const char* line, u32 colour, bool bullet);
  // The text stopped at a full page with lines waiting.
  bool Stopped() const;
  bool Overflows(u32 choiceCount);
  i32 ChoiceLines();
  void ShowChoices();
  void ShowChoiceList();
  void ShowContinue();
  // After an entry without follow-up: the answer is forgotten and the topics come back.
  void OfferTopics();
  void BuildColumn();
  void EnableColumn();
  void DisableColumn();
  void RemoveTopics();
  // After a choice, "Ok" or "Cancel": the page shows, a moment passes, then the next entry (or the topics).
  void FollowWith(SDialogEntry* next);
  void PickChoice(u32 slot);
  void CloseChoiceList(bool ok);
  u32 OpenService(u16 code);
  u32 Exit();
  bool IsLargeScreen() const;
  void PlaceButton(SButtonCtrl& button, const char* label, u16 code, u32 key);
};
