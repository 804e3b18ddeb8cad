// Game state 12: the card duel between the player (side 1) and a townsperson (side 0, played by the
// computer) for a bet. Entered with the bet and the partner in its first two words, it shows both hands,
// the last card played, the markers and the hit points, deals with flying cards, runs the turns, lets
// the computer choose by its ratings, and pays out or keeps the bet at the end; leaving returns 99.
// The operations the card rules call (Damage, AddHp, PlaceMarker ...) live here, as the state shows what
// each changes.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SCardCtrls.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SFaceCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SState.h"
#include "core/ui/STextCtrl.h"
#include "foundation/SPtrArray.h"
#include "screens/cards/SCardSet.h"
#include "screens/cards/SCardSide.h"

class SNpc;

// The portrait of a side, with the hit picture over it while a hit shows, whatever the face's size.
class SCardPortraitCtrl : public SFaceCtrl {
 public:
  void SetHit(const SImage* image) {
    hit = image;
    MarkDirty();
  }
  void Paint() override;

  const SImage* hit = nullptr;
};

// One card on its way: from a deck to a hand, or from a hand to the table.
struct SCardFlight {
  i32 stepX = 0, stepY = 0;  // 24.8 fixed point per tick
  i32 targetX = 0, targetY = 0;
  i32 x = 0, y = 0;  // 24.8
  u32 framesLeft = 0;
  u32 delay = 0;  // ticks before it leaves
  SCardCtrl* control = nullptr;
  const SCardType* card = nullptr;
  u32 side = 0;
  u32 position = 0;
  u32 playOnArrival = 0;
};

class SStateCard : public SState {
 public:
  static constexpr u32 kLayout = 14;
  static constexpr u32 kComputer = 0, kPlayer = 1;
  static constexpr u32 kTurnPlayer = 1, kTurnComputer = 2;
  static constexpr u32 kWaitMs = 1000;
  static constexpr u32 kFlightFrames = 6;
  static constexpr u32 kDealStep = 6;  // ticks between two cards dealt
  // Layout ids, which are also the command codes.
  static constexpr u16 kBackgroundId = 19, kTableId = 120, kGiveUpId = 133, kTextFrameId = 132, kTextId = 110;
  static constexpr u16 kDeckIds[2] = {129, 128};
  static constexpr u16 kHandIds[2][SCardSide::kHand] = {{115, 116, 117, 118, 119}, {108, 111, 112, 113, 114}};
  static constexpr u16 kPortraitIds[2] = {124, 109};
  static constexpr u16 kHpIds[2] = {130, 131};
  static constexpr u16 kMarkerIds[2][SCardSide::kMarkers] = {{125, 126, 127}, {121, 122, 123}};
  // The message box's answers.
  static constexpr u16 kOk = 1, kYes = 4, kNo = 8;

  SStateCard();
  ~SStateCard() override;

  // The partner word of Enter: the person's place in the world's people table plus 1 (0: none, also for
  // a person outside the table); and back. Persons are numbered so, as a word holds no pointer here.
  static u32 PartnerWord(const SGameCore* core, const SNpc* person);
  static const SNpc* PartnerFromWord(const SGameCore* core, u32 word);

  void Attach(SGameCore* gameCore) override;
  // Starts a match: (bet, partner word, two words not read).
  void Enter(u32 bet, u32 partnerWord, u32 w2, u32 w3) override;
  void Leave(u32 next) override;
  u32 OnCommand(u16 code) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override;

  // ---- what the rules call
  // A hit through the defence: the attacker's attack markers, the defender's durable markers absorbing,
  // then the defender's defence markers and the hit points. A hit wholly absorbed shows nothing.
  void Damage(i32 amount, u32 attacker);
  // A hit past the durable markers: the attack markers only with the bonus; shown even when it is 0.
  void DirectDamage(i32 amount, u32 attacker, bool withBonus);
  void AddHp(i32 n, u32 side);
  void AddMaxHp(i32 n, u32 side);
  void PlaceMarker(const SCardType* card, u32 side, i32 extra);
  void RemoveRandomMarker(u32 side);
  void ClearMarkers(u32 side);
  // The defender's durable markers take the amount against their counters; returns what is left.
  i32 AbsorbDamage(i32 amount, u32 attacker);
  bool SlotsFilled(u32 side) const { return side < 2 && sides[side].SlotsFilled(); }
  void StartCombo(u32 multiplier);
  // A marker shown as struck (it took something) or active (it acted) until the wait ends.
  void FlashMarker(u32 side, u32 slot, bool struck);
  // Each of the side's markers at the attack or defence moment, in slot order, on one amount.
  void ApplyAttackModifiers(u32 side, i32& amount);
  void ApplyDefenceModifiers(u32 side, i32& amount);
  // After a side's card: its timed and durable markers act, and timed ones lose a turn.
  void TickMarkers(u32 side);
  // The Aura of fire strikes back unless a strike-back is being dealt: a strike-back triggers none.
  void StrikeBack(i32 amount, u32 side);

  // ---- the match
  // The position the computer's rule chooses for a side: each card rated, its score the rating x 9 / 10
  // plus a random part below rating x 2 / 10; the highest wins, the lower position on equal scores. -1
  // when the side holds no card.
  i32 ChooseCard(u32 side);
  // Whether the player may select or play a card now.
  bool PlayerMayPlay() const;
  bool AllHandsFull() const { return sides[0].CardsInHand() + sides[1].CardsInHand() == 2 * SCardSide::kHand; }
  // The code of a player's hand position, or of a side's marker slot; and back (-1 for other codes).
  static i32 HandPosition(u16 code);
  // The side's card text: the name, and the description with the counter (~0u: the card's own).
  void ShowCardText(const SCardType* card, u32 counter);

  SCardSide sides[2];  // the computer's, then the player's
  u32 turn = kTurnPlayer;
  u32 gameOver = 0;
  i32 selected = -1;  // the player's raised hand position
  u32 bet = 0;
  SCardSet* cardSet = nullptr;
  const SNpc* partner = nullptr;
  u32 waiting = 0;
  u32 waitStart = 0, waitDuration = 0;  // milliseconds
  u32 comboPending = 0;
  u32 comboMultiplier = 1;
  u32 flashStruck = 0, flashActive = 0;
  u32 strikingBack = 0;  // a strike-back is being dealt
  u32 won = 0;           // how the match ended, once it has
  const SCardType* tableCard = nullptr;
  SPtrArray<SCardFlight> flights{true, 4};

  // The card screen's pictures, read by record at Enter: the background, the backs of the three decks,
  // the two frames, the empty pile, the empty marker place, the give-up button up and pressed, the
  // struck and active marks, and the hit picture.
  static constexpr u32 kHolders = 13;
  SImageEntry holders[kHolders];
  SImageEntry* holderSet[kHolders] = {};
  SCardScreenPictures screenPictures;
  SCardLook looks[SCardSet::kCards];

  SFillBmpCtrl background;
  SButtonCtrl giveUp;
  SBorderCtrl textFrame;
  SNameTextCtrl cardText;
  SCardCtrl hands[2][SCardSide::kHand];
  SCardPortraitCtrl portraits[2];
  STextCtrl hpTexts[2];
  SCardSignCtrl markerCtrls[2][SCardSide::kMarkers];
  SDeckCtrl decks[2];
  SDeckCtrl table;
  SDialogMessage box;
  SDialogTextCtrl boxText;

 private:
  void LayOut();
  void LoadHolders();
  void ReleaseHolders();
  void BuildLooks();
  const SCardLook* LookOf(const SCardType* card) const;
  void ShowPortraits();
  // The top card of the side's deck to a hand position, flying from the deck after the delay; a deck
  // used up is built afresh.
  void DrawCard(u32 side, u32 position, u32 delay);
  void QueueFlight(SCardCtrl& control, const SCardType* card, u32 side, u32 position, i32 toX, i32 toY, u32 delay,
                   bool play);
  void MoveFlights();
  void FinishFlight(const SCardFlight& flight);
  void PlayCard(u32 side, u32 position);
  void SelectCard(u32 position);
  void LowerHand();
  void EndWait();
  void ComputerPlays();
  void PassToPlayer();
  void LapseCombo();
  void RemoveSpentMarkers(u32 side);
  void ShowHit(u32 side);
  void UpdateHp(u32 side);
  void UpdateMarkers(u32 side);
  void UpdateDeck(u32 side);
  void ShowMarkerText(u32 side, u32 slot);
  void EndMatch(bool playerWon);
  void PlaySound(const char* name);
  void Click(u32 which);
  void Changed() { SetFullRepaint(); }
};
