// The game state: the first-person view of the world, state 1. It keeps the window of cells around the
// player and the scene tables the renderer draws from, the head-up controls, the clock and weather, the
// queue of game events, the action list and the member dialogs opened over the view; it answers the world
// layer's questions (the kinds' services, the rules' hooks, the maps' game link).
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SCompassCtrl.h"
#include "core/ui/SFaceCtrl.h"
#include "core/ui/SGameCtrls.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SState.h"
#include "dialogs/SDialogGameMap.h"
#include "dialogs/SDialogLockpick.h"
#include "dialogs/SDialogMarkRecall.h"
#include "dialogs/SDialogPotion.h"
#include "dialogs/SDialogRest.h"
#include "dialogs/SDialogShipTravel.h"
#include "dialogs/SDialogSpellbook.h"
#include "dialogs/enchant/SDialogEnchantItem.h"
#include "game/SActionRecord.h"
#include "game/SGameEvent.h"
#include "game/SGameMapCtrl.h"
#include "game/SGameServices.h"
#include "game/SMapWindow.h"
#include "game/SMonsterTurns.h"
#include "game/SSceneTables.h"
#include "graphics/renderer/SWorldView.h"
#include "script/SDialogEntry.h"
#include "world/SPeopleTables.h"
#include "world/SSkyTypeTable.h"

class SFpsItem;
class SItem;
class SMapObjectType;
class SSpellEffect;
class SNpc;
class SItemContainer;
class SResource;
class SSpell;
class SDialogMessage;
class SDialogList;
class SDialogListCtrl;
class SWorldModule;
struct SGameStateRecord;

// The transition kind a map object or script names by word (0 for any other word or none).
u32 TransitionKindFromName(const char* word);

// Fits the first-person sprite offsets (the x and y inputs of both sprites) to the viewport: a viewport
// narrower than 380 or lower than 320 pixels scales them down.
void ScaleHandOffsets(SWorldView& view, const u16 inputX[2], const u16 inputY[2]);

// The number of frames a transition of the kind lasts (0 for none).
u32 TransitionLength(u32 kind);

// A looping ambient sound playing from the cells around the player.
struct SAmbientEntry {
  i32 channel = -1;  // -1: none
  i32 volume = 0;    // the volume step it plays at, 1..10
  SResource* sound = nullptr;
};

// One of the two name panels over the bottom of the view: what the player faces.
struct SLabelPanel {
  u32 shown = 0;
  SString text;   // fitted to the panel: at most two lines
  i32 lines = 0;  // 1 or 2
  i32 percent = 0;
  u32 hostile = 0;
  i32 x = 0, y = 0, width = 0, height = 0;
};

// The lists of a talking monster's record: the base table's, shared, so forgotten and never freed (the
// table may be gone first).
struct STemporaryConversation : SDialogEntryListPair {
  ~STemporaryConversation() { Forget(); }
  void Forget() {
    first.Clear();
    second.Clear();
  }
};

class SStateGame : public SState {
 public:
  // Sub-modes: what the state waits for besides walking.
  enum : i32 {
    kWalking = 1,
    kMessageBox = 2,
    kTransitionPrompt = 3,
    kTransition = 4,
    kChoiceList = 5,
    kSpellbook = 6,
    kWorldMap = 7,
    kPotionList = 8,
    kTrapPrompt = 9,
    kLockpick = 10,
    kQuestion = 11,
    kResting = 12,
    kStealing = 13,
    kMarkRecall = 14,
    kEnchanting = 15,
    kShipTravel = 16,
  };
  // The head-up controls' ids (also their command codes).
  enum : u16 {
    kViewId = 550,
    kFillLeftId = 534,
    kFillRightId = 721,
    kAutomapId = 535,
    kPortraitId = 36,
    kHitPointsId = 544,
    kSpellPointsId = 545,
    kCompassFrameId = 549,
    kCompassId = 548,
    kAttackId = 542,
    kMagicBookId = 543,
    kPotionsId = 546,
    kRestId = 547,
    kTurnLeftId = 536,
    kForwardId = 537,
    kTurnRightId = 538,
    kSideLeftId = 539,
    kBackId = 540,
    kSideRightId = 541,
  };
  static constexpr u32 kButtonCount = 10;
  static constexpr u16 kButtonIds[kButtonCount] = {kAttackId,  kMagicBookId, kPotionsId,  kRestId, kTurnLeftId,
                                                   kForwardId, kTurnRightId, kSideLeftId, kBackId, kSideRightId};
  static constexpr u32 kThumbnailWidth = 80, kThumbnailHeight = 50;

  SStateGame();
  ~SStateGame() override;

  // ---- state operations
  void Attach(SGameCore* gameCore) override;
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override;
  void Leave(u32 next) override;
  void Resume() override;
  void Paint() override;
  u32 OnCommand(u16 code) override;
  // Places every head-up control from the game screen's layout and adds those the layout has.
  void LayoutHud();
  // The camera from the player, the 3D view, the movement buttons and the rain.
  void PaintView();
  // The hp and mana bars set afresh when the share they show is no longer the player's: the pools' own
  // changes set them at once, and this catches a maximum that moved (its effects and attributes change
  // in many places: potions, effects running out, items put on or taken off, abilities, the sheet).
  void FollowGauges();
  // The hand-item zones over the hand pictures as they are drawn now (after the offsets are scaled).
  void UpdateHandZones();
  // Points the world view at the scene tables and the image cache's tables (they move when they grow).
  void PublishView();

  // ---- input and commands (SStateGameInput.cpp)
  u32 OnKey(u32 action) override;
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  // True while movement and action input must wait: turning, stepping, a fight turn wanted, a sub-dialog
  // open, actions under way, events queued, monsters busy near the player, moving objects, or any
  // sub-mode but walking.
  bool IsBusy() const;
  // The result of the open sub-dialog (a code its key or pen handler returned); always 0.
  u32 OnSubDialogResult(u32 code);
  // Uses a hand (0 left, 1 right) on what is in front (direction -1: the facing one).
  u32 UseHand(i32 direction, i32 hand);
  // Runs an event on a cell: the first target the flags allow (4 a monster, 2 the side object of a wall,
  // 1 the centre object) whose type reacts to the event takes it. `queryOnly` only asks; `out` gets 1 when
  // a target took it. Returns the state to switch to (0 stays).
  u32 TriggerCellAction(u16 event, u32 flags, SMapArea* area, SMapCell* cell, i32 x, i32 y, i32 side, bool queryOnly,
                        u32* out);
  // The action on the cell's monster: the first slot's, or the second's when flag 8 asks and it is there;
  // `took` gets 1 when the monster takes the event.
  u32 TriggerMonsterAction(u16 event, u32 targets, SMapArea* area, SMapCell* cell, i32 x, i32 y, bool queryOnly,
                           u32* took);
  // The use action on the script context's current target (its cell and side).
  u32 TriggerUseOnCurrentTarget(SMapArea* area);

  // ---- bags (SStateGameBags.cpp): the inventory over a bag or a map object's container
  // The bag of the player's cell, made when the cell has none (the portrait's command); the pack with
  // it. Returns the state to switch to.
  u32 OpenBagAtPlayer();
  // The bag lying in the player's cell, null when none.
  SItemContainer* CellBag();
  // Draws the view and keeps an 80 x 50 picture of it (the load and save screen shows it with a save).
  void MakeViewThumbnail();
  // A chest's or shelf's container (a map-object kind asks): the switch is made by the action that ran
  // the kind, through `requestedState`.
  void OpenBag(SMapArea* area, SMapObjectInst* inst);
  // The screen a kind or a script's "default" asked for (a bag's inventory, a person's conversation);
  // the cell action that ran it switches, else the next tick.
  u32 requestedState = 0;
  // Hands the container (null: none), its object and area to the inventory and asks for it, keeping
  // this state; `byButton` 1 when the player's bag button opened it.
  u32 ShowInventoryWith(SItemContainer* bag, SMapObjectInst* inst, SMapArea* area, u32 byButton);

  // ---- step and turn (SStateGameStep.cpp)
  // A step in grid direction 0..3 (0 north, 1 east, 2 south, 3 west); -1 and -2 do nothing.
  u32 StepPlayer(i32 direction);
  void StartTurnTo(i32 quarter);
  void StepBack();
  // One frame of the turn and of the step (timer 7); true in the frame a turn or a step ended.
  bool AnimateTurn();
  bool AnimateStep(bool& bumpFrame);
  // The end of a bump's forward move: back to the cell's centre.
  void ReverseBump();
  // The work after a finished step: automap, leave and enter actions, the world position, monsters,
  // ambience.
  u32 FinishStep();
  void PlayFootstep(bool quiet);
  void PlayFloorSoundAt(i32 x, i32 y);
  // 10 minus the Manhattan distance from the player's cell, kept in 1..10.
  i32 VolumeByDistance(i32 x, i32 y) const;

  // ---- the per-frame tick (SStateGameTick.cpp)
  u32 OnTick(u32 frameCounter, SDisplay* screen) override;
  // Whether timer `n` fires now (it then records the tick and counts the firing).
  bool TimerFires(u32 n, u32 now);
  void PlayAmbientTick();
  // The game's single random generator (the core's; the window's own until one is given).
  SRandom& Random();

  // ---- the people's walks (SStateGamePeople.cpp)
  // The pass after each player turn: records for the people within 7 cells, the sound pick, decisions.
  void RunMonsters();
  // The per-tick update of the walkers (timer 8).
  void RunMonsterMoves();
  void DecideMonsterAction(SActiveMonster& record);
  void MoveMonster(SActiveMonster& record);
  void AdvanceMonster(SActiveMonster& record);
  // True when the person entered the neighbour cell (x + dx, y + dy) of its cell (x, y).
  bool MoveMonsterToCell(SActiveMonster& record, i32 x, i32 y, i32 dx, i32 dy);
  bool IsCellTaken(i32 x, i32 y) const;
  void ChooseTurn(SActiveMonster& record);
  void FaceThePlayer(SMapMonster& monster);
  SActiveMonster* FindActiveMonster(const SMapMonster& monster) const;
  void RemoveActiveMonster(const SMapMonster& monster);
  void SaveMonsterPositions();
  void RestoreMonsterPosition(SActiveMonster& record, i32 x, i32 y);
  // People off the grid (at night, or to be placed anew by day); `clearLists` empties the walkers' lists.
  void RemoveDaytimeMonsters(bool clearLists);
  void PlaceDaytimeMonsters();
  // A theft opportunity (kind 19) with the person and its area.
  void QueueTheftEvent(SMapArea* area, SMapMonster* monster, u32 out);

  // ---- fight turns and the grid scans (SStateGameFights.cpp)
  // Starts a turn of the hostile monsters around (x, y); a check pass keeps it only when someone acts or
  // stands next to the player.
  void ScanFightRange(bool check, i32 x, i32 y);
  void ArrivalScan() { ScanFightRange(false, window.playerX, window.playerY); }
  // One frame of the turn under way: acts, move steps, and the end of the turn.
  void UpdateMovingObjects();
  bool HasMovingObjects() const { return !fightList.IsEmpty(); }
  // Takes the monster's record out: its side, or -1 without one.
  i32 RemoveFromFightList(const SMapMonster& monster);
  // Takes the record out and reports its cell, side and area; false without one.
  bool TakeFightRecord(const SMapMonster& monster, i32& x, i32& y, i32& side, SMapArea*& area);
  SFightRecord* FindFightRecord(const SMapMonster& monster) const;
  SFightRecord* FindFightRecordById(const SMapArea* area, u8 id) const;
  void RemoveFightRecord(const SMapMonster& monster);
  // The turn is over (its list emptied): the scans may start the next, the monsters are drawn anew.
  void EndFightTurn();
  void ClearFightList();
  void UpdateDanger();
  // A monster (not people) within 6 cells still winding up, striking or recoiling.
  bool IsMonsterBusyNear() const;
  bool IsEnemyNear();
  u32 CountTownspeopleNear();
  u32 CalmOrAttractMonsters(i32 radius, bool attract);
  // Whether the monster is hostile: made so, or aggressive by its template and not calmed; never people.
  bool IsHostile(SMapArea& area, const SMapMonster& monster) const;
  // A monster bound to a switched-off object is out of the game.
  bool IsMonsterAwake(SMapArea& area, const SMapMonster& monster) const;
  // The sub-cell place of a monster in cell (x, y) seen from the player: alone, or first or second of two.
  void SubCellPosition(i32 x, i32 y, u32 slot, bool sharing, bool wide, u16& px, u16& py) const;

  // The steps of a turn: a record's kind, the cell it heads for, the slot it may claim there, its start,
  // one step of its slide (true when the record is finished) and its crossing into the next cell.
  void DecideFightKind(SFightRecord& record, i32 cx, i32 cy);
  void ChooseFightTarget(SFightRecord& record, i32 cx, i32 cy);
  bool ClaimFightCell(const SFightRecord& record, i32 x, i32 y, u8& slot, bool& sharing) const;
  void StartFightMove(SFightRecord& record);
  bool StepFightMove(SFightRecord& record);
  bool RelinkFightMonster(SFightRecord& record, i32 dx, i32 dy);
  // A monster's id out of a cell's slots (the second moving into the first) and into its first free slot,
  // with the render cell's monster numbers.
  void UnlinkMonsterFromCell(i32 x, i32 y, u8 id);
  bool LinkMonsterToCell(i32 x, i32 y, u8 id, u16 number);
  // Both, from (x0, y0) under `oldId` to (x1, y1) under its id now; its area position follows.
  void MoveMonsterCell(SMapMonster& monster, u8 oldId, i32 x0, i32 y0, i32 x1, i32 y1);

  // ---- the line a missile flies (SStateGameLines.cpp)
  // Whether the cell stops a missile (or a touch, with `melee`); `side` gets the wall side it meets.
  bool IsMissileStopped(const SMapCell* cell, i32 x, i32 y, i32 direction, i32& side, bool melee);
  // The side of a wall cell that faces what flies in `direction` (`side`, -1 when it shows nothing there);
  // false when a switched-off object on that side keeps it out.
  bool FindDoorSide(const SMapCell* cell, i32 x, i32 y, i32 direction, i32& side);
  // Walks up to 7 cells from (x, y) in a grid direction; (outX, outY) is the last cell reached.
  bool TraceLine(i32 x, i32 y, i32 direction, i32& outX, i32& outY, bool stopAtPlayer);

  // ---- first-person combat: the attack, the hands, the swing and its blow (SStateGameCombat.cpp)
  // Action 3000 and command 542: refused where the map forbids attacking, else the attack and a minute.
  u32 AttackCommand();
  // A swing of the equipped weapon (or bare hands, or the nudge of a paralysed player); a bow or
  // crossbow without fitting ammunition says so and does nothing.
  void Attack();
  // Sets the first-person hands for the equipped items again; a set flag keeps that hand.
  void SetHandView(bool keepSecond, bool keepFirst);
  // One frame of a step's hand bob; the hands stay where the step's last frame leaves them.
  void StepHandBob();
  // The melee blow at the faced cell, and a missile's blow at a cell reduced by `percent`: the record
  // becomes the current strike, the cell is struck, and the fight range is scanned.
  void StrikeAhead(SActionRecord& record);
  void StrikeAt(i32 x, i32 y, i32 percent, SActionRecord& record);
  // The player's blow at a cell: the monster in the struck slot, else a map object that takes it.
  void StrikeMonster(SMapArea* area, SMapCell* cell, i32 x, i32 y, i32 part, i32 percent);
  // What rain and the night take from a missile's damage, in percent (outdoors only).
  i32 MissilePercent() const;
  // A first-person picture by name with its frames resident (null when the world has none), the
  // picture and palette an item shows in the hand, and a palette by name made resident (0 none).
  SFpsItem* FindHandPicture(const char* name);
  SFpsItem* ItemHandPicture(const SItem* item, u16& palette);
  u16 ResidentPalette(const char* name);
  // The palette a hand picture is drawn with: a paralysed player's hands take the picture's other colours
  // where it names them.
  u16 HandPalette(const SFpsItem* picture, u16 palette);
  static u32 HandRestFrame(const SFpsItem* picture);

  // ---- missiles (SStateGameMissiles.cpp)
  void LaunchPlayerMissile(SActionRecord& swing);
  // A monster's missile from its cell (x, y) flying in grid direction `direction`.
  void LaunchMonsterMissile(i32 x, i32 y, i32 direction, SMapArea& area, SMapMonster& monster, SFpsItem* picture,
                            u16 palette);
  // A monster's missile meets the monster in the cell: its blow, and a death without experience.
  void MonsterMissileHits(SMapArea& area, SMapCell& cell, SMapMonster& attacker, i32 x, i32 y);

  // ---- the action list and the hit indicators (SStateGameHits.cpp)
  // One step of each pending action record; finished ones go.
  void RunActions();
  // The hit of a blow (its damage and the side it comes from, -1 none) and of damage without a blow.
  void ShowPlayerHit(i32 attack, i32 direction);
  void ShowPlayerDamage(i32 damage);
  // The blow of a monster on its way to the player's shield, seen from the side `direction` (distance
  // 0: melee).
  void StartMonsterAttack(SMapMonster& monster, i32 direction, i32 distance);
  // The first pending attack of the monster with that id (-1: of any monster), and of the side a blow
  // comes from (-1: any); null when none.
  SActionRecord* FindAttackAction(i32 monsterId) const;
  SActionRecord* FindAttackActionFrom(i32 direction) const;
  // The drinking hand: the effect picture's frames in the first hand, or only the sound without one.
  void ShowDrinkPotion(SSpellEffect* picture, u16 palette, const char* sound);
  void ShowMonsterPoisoned(SMapArea& area, SMapMonster& monster, u16 value);
  // The screens whose view is drawn at half size (the compact display modes) halve the hit's moves.
  bool HalfSizeView() const;

  // ---- acts the spells and the event actions carry out (their least forms until then)
  // A monster's cast from its cell (x, y), or at the given cell (x, y) with `cellGiven`.
  void MonsterCast(i32 x, i32 y, i32 direction, SMapArea& area, SMapMonster& monster, const SSpell& spell, i32 power,
                   bool cellGiven = false);
  // The conversation or service of a person or talking monster; the state to switch to.
  u32 TalkToNpc(SMapMonster* person, SMapArea* area, SMapObjectInst* object);
  // A person answers when there is something to offer: dialog entries or an interior.
  static bool Answers(const SNpc* person);

  void TickNearbyMonsterEffects(u32 minutes);

  // ---- spell casting (SStateGameCast.cpp)
  // Command 218: the spell or item the book chose, with the paralysis and mana refusals, the cost and the
  // practice; the fight range is scanned and a minute passes after a cast.
  void CastCommand();
  // The cast of a known spell or of an item's spell (one of them null).
  void CastChosen(const SSpell* known, SItem* item);
  // The casting hands of a known spell (power from the school's skill) or of an item's spell.
  void BeginCast(const SSpell& spell);
  void BeginItemCast(SItem* item);
  // The player's cast proper: the self, touch or ranged target, or the given cell (x, y).
  void RunSpellCast(const SSpell& spell, i32 power, i32 x, i32 y, bool cellGiven);
  // A cast from the player's cell in the facing direction without the hands (scripts, potions, traps).
  void CastSpell(const SSpell& spell, i32 power);
  bool CastSpellByName(const char* name, i32 power);
  void ApplySpellAtCell(const SSpell& spell, i32 power, SMapArea* area, SMapCell* cell, i32 x, i32 y, i32 direction,
                        bool spread);
  void ApplySpellAround(const SSpell& spell, i32 power, SMapArea* area, i32 x, i32 y, i32 direction);
  // The spell on the monster of the cell's slot: its damage and the spell's action, and its death at hp
  // below 1; false when the slot is empty.
  bool SpellStrikesMonster(const SSpell& spell, i32 power, SMapArea* area, i32 x, i32 y, u32 slot);
  // Both monsters of a cell (the second may have moved into the first slot meanwhile).
  void SpellStrikesMonsters(const SSpell& spell, i32 power, SMapArea* area, i32 x, i32 y);
  // The player's power for a spell: the school's skill with its effects, raised by the magic bonus.
  i32 SpellPower(const SSpell& spell);
  // A flying spell from the centre of cell (x, y); the caller adds it to the list.
  // A spell's picture at a cell, or a missile flying from one; the caller places and adds it.
  SActionRecord* NewSpellEffect(const SSpell& spell, SSpellEffect* picture, u16 palette, i32 x, i32 y);
  SActionRecord* NewSpellMissile(const SSpell& spell, i32 power, i32 direction, i32 x, i32 y);
  bool StepCast(SActionRecord& record, u32 now);
  bool StepSpellEffect(SActionRecord& record, u32 now);
  bool StepSpellMissile(SActionRecord& record, u32 now);

  // ---- event actions (SStateGameEventActions.cpp)
  void Rest();
  void RestAfterYes();
  void SendToJail(const char* text);
  void ServeSentence();
  void DrinkPotion();
  void DrinkPotionItem(SItem* potion);
  // The trapped object's trap casts its spell at the player.
  void TriggerTrap();
  // A service's opening hours and "No answer"; an open one is queued for its screen (nonzero).
  u32 EnterService(SMapObjectInst* object, const char* service, SMapArea* area, bool suppress);
  // The scene state with the world's scene of that name (its position plus one), kept to come back to;
  // 0 when the world has no such scene.
  u32 EnterScene(const char* name);

  // ---- spell and ability actions (SStateGameAbilities.cpp)
  void QueueTargetInfo(SMapArea* area, SMapMonster* monster, u8 detail);
  void ShowTargetInfo(SMapArea* area, SMapMonster* monster, u32 detail);
  void BeginTownPortal();
  bool TeleportToTownPortal(i32 x, i32 y);

  // ---- stealing (SStateGameSteal.cpp)
  i32 StealChance(const SMapMonster& person);
  // "very good" (91 and more), "good" (71..90), "average" (41..70) or "slight".
  static const char* StealChanceWord(i32 chance);
  void AskSteal(SGameEvent& event);
  void Steal();
  SMapArea* theftArea = nullptr;
  u32 theftOut = 0;
  SMapMonster* theftPerson = nullptr;

  // ---- member dialogs: opened over the view as the state's modal child
  void OpenSubDialog(SDialog* dialog, i32 mode);
  void CloseSubDialog();

  // ---- game events (SStateGameEvents.cpp): appended, one builder at the front, processed one per frame
  // A message box with the button bits (1 Ok, 12 Yes and No, ...) and a sound name (null: "bsnd_click",
  // "": none). Its text control is made now and belongs to the event.
  void QueueMessage(const char* text, u32 buttonMask, const char* sound);
  // Adds a paragraph to the last queued message, or to a new one without buttons when the last event is
  // none; `flag` is the paragraph's colour.
  void AppendToMessage(const char* text, u32 flag);
  bool HasQueuedMessage() const;
  // Kinds 1 and 2 are queued only for a position of the current world (its five-character prefix).
  void QueueTeleport(const char* position, u32 transition);
  void QueueMapTransition(const char* position, const char* prompt, u32 transition, u32 stepBack);
  void QueueTurnTo(u32 quarter);
  void QueueCellMove(i32 x, i32 y);
  void QueueTransition(const char* position, u32 transition);
  void QueueTransitionFirst(const char* position, u32 transition);
  void QueueCellTransition(SWorldModule* module, SMapArea* area, i32 x, i32 y, i32 quarter, u32 transition);
  void QueueJail(const char* text);
  void QueueStepBack();
  // A list of a script's choices (the event owns the list control until it opens).
  void QueueChoiceList(SDialogListCtrl* list);
  // A person's service; entered through a city door, the door's object and area come along: the object
  // names the shop's stock, and the interior closes the door behind the player.
  void QueueService(const char* name, SMapArea* doorArea = nullptr, SMapObjectInst* door = nullptr);
  // ---- conversations
  // Starts talking to a person: the script context's speaker and output kind 2, the words (0, person,
  // speaker object, 0) with the keep flag, and the interior when the person has one, else the conversation
  // (either's door flag says whether a city door opened it). Returns that state's number, 0 without a person.
  u32 TalkTo(SNpc* person, u32 speakerWord, bool door);
  // A monster that talks without a person record: the game state's own record with the dialog entry list
  // named like the monster's template and the list "bres_monster" as its greetings. 0 when it has no list.
  u32 TalkToMonster(SMapObjectInst* object, SMapArea* area, SMapMonster* monster);
  // The Open / Disarm / Pick prompt of a trapped or locked door; the three flags allow each button.
  void QueuePrompt(const char* text, SMapArea* area, SMapObjectInst* inst, SMapCell* cell, SMapObjectType* type,
                   i32 word, u8 disarm, u8 pick, u8 open);
  void QueueRestPrompt(const char* text);
  void QueueScene(const char* name);
  void QueueTravel(const char* textA, const char* textB);
  // Takes the first event (the last with the flag), handles it and deletes it; returns the state to
  // switch to (0 stays).
  u32 ProcessEvents(bool last);
  void OpenMessageDialog(SGameEvent& event);
  void OpenChoiceList(SGameEvent& event);
  void BeginMapTransition(SGameEvent& event);
  void ShowPrompt(SGameEvent& event);
  // Closes an event's box or list and frees it.
  void DestroyEventDialog();
  // What the prompt answers start; the trap and lock rules come with the event actions.
  void OpenTrappedDoor();
  void DisarmTrap();
  void OpenLockpick();
  // ---- the member dialogs' openers (SStateGameDialogs.cpp)
  // The spell book, refused while busy, on a map forbidding magic or with magic immunity.
  void OpenMagicBook();
  // The potion list, refused while busy; "You don't have any potions." without one.
  void OpenPotions();
  // The voyage of a travel event: the ship dialog with the event's text for its destination, an hour on.
  void OpenShipTravel(const char* destination, const char* text);
  // The mark and recall dialog, refused on maps that deny it.
  void BeginMark();
  void BeginRecall();
  u32 RunService(const char* name, SMapArea* doorArea = nullptr, SMapObjectInst* door = nullptr);
  u32 PlayScene(const char* name);
  // Appends an event of that kind carrying the flag byte (the spell actions' events).
  void QueueEventOfKind(u32 kind, u8 flag);
  // The "Recharge wand" and "Enchant" effects (the value handed on): the item picker over the game view,
  // unless monsters are near.
  void BeginRechargeWand();
  void BeginEnchantItem(u32 level);

  // ---- transitions and the saved record (SStateGameTravel.cpp)
  void TeleportToPosition(const char* position, u32 transition);
  void TeleportToCell(SWorldModule* module, SMapArea* area, i32 x, i32 y, i32 quarter, u32 transition);
  void PlayTransitionSound(const char* position, u32 transition);
  void BeginCellTransition(SWorldModule* module, SMapArea* area, i32 x, i32 y, i32 quarter, u32 transition);
  void RunTransitionEffect(bool paintOnly);
  // One frame of the teleport fade on the fog (colour toward white, fog nearer).
  void StepTeleportFade();
  void ResetForNewGame();
  bool WriteSaveRecord(SStream& s);
  // False, with nothing of the game changed, when the record is damaged (its stream fails or its cells
  // lie outside the window).
  bool ReadSaveRecord(SStream& s, u32 dataVersion);
  void ApplySaveRecord(const SGameStateRecord& record);

  // ---- the clock and the weather (SStateGameClock.cpp): game minutes since the start of the game
  u32 GetClockMinutes() const { return window.minutes; }
  u32 GetDay() const { return window.minutes / 1440 + 1; }
  u32 GetHour() const { return (window.minutes % 1440) / 60; }
  u32 GetMinute() const { return window.minutes % 60; }
  u32 HourOfDay() const { return GetHour(); }
  const char* GetAmPm() const { return GetHour() < 12 ? "am" : "pm"; }
  bool IsDay() const { return GetHour() - 6 < 16; }
  bool IsNight() const;
  u32 MinutesSince(u32 stamp) const { return stamp > window.minutes ? 0 : window.minutes - stamp; }
  u32 HoursSince(u32 stamp) const { return MinutesSince(stamp) / 60; }
  u32 DaysSince(u32 stamp) const { return MinutesSince(stamp) / 1440; }
  void FormatTime(SString& out) const;
  void FormatDayTime(SString& out) const;
  // One minute per action of the player, hours (travel, prison, cards, rest), or a span at once.
  void PassMinute();
  void PassHours(u32 hours);
  void PassTime(u32 days, u32 hours, u32 minutes);
  void SetWeather(const char* sky, i32 value);
  i32 GetWeatherValue() const { return weather; }
  void SetRainIntensity(i32 intensity);
  i32 GetRainIntensity() const { return rainIntensity; }
  void UpdateWeather(bool newWeather);
  void UpdateRainSound();
  void StopRainSound();
  void SetRainView(bool reset);
  // The local wall-clock second, never earlier than `stored` (the clock may be set back).
  static u32 WallSecondsSince(u32 stored);

  // ---- music and ambience (SStateGameMusic.cpp)
  void SelectMusic();
  // Marks the current track's channel stopped (none afterwards).
  void StopMusic();
  void PauseMusic();
  void StopAmbientSounds(bool pauseMusic);
  void UpdateAmbient();
  void PlayAmbientLayer1(const char* name, i32 x, i32 y) { PlayAmbientAt(name, x, y, 5); }
  void PlayAmbientLayer2(const char* name, i32 x, i32 y) { PlayAmbientAt(name, x, y, 6); }
  SAmbientEntry* FindAmbientEntry(const SResource* sound, i32 volume);
  // Marks a sound-library channel stopped (-1: none, nothing happens).
  void StopChannel(i32 channel);

  // ---- the window (SMapWindow holds the queries)
  SMapCell* GetCell(i32 x, i32 y) { return window.Cell(x, y); }
  bool GetAreaLocalPosition(SMapArea& area, i32 x, i32 y, i32& column, i32& row) {
    return window.GetAreaLocalPosition(area, x, y, column, row);
  }
  bool PlaceObjectInArea(SMapArea& area, SMapMonster& monster, i32 x, i32 y) {
    return window.PlaceMonster(area, monster, x, y);
  }
  bool PlaceBagInCell(SMapArea& area, SItemContainer& bag, i32 x, i32 y) {
    return window.PlaceBagInCell(area, bag, x, y);
  }
  // A monster leaves its cell (the lists of monsters under way drop it with the monsters' turns).
  void RemoveObjectAt(SMapArea& area, SMapMonster& monster);
  bool LacksWallsEastWest() { return window.LacksWallsEastWest(preparedX, preparedY); }
  bool HasDayNightCycle() const { return window.IsJoined(); }

  // ---- scene preparation (SStateGameScene.cpp)
  // Fills the window from the current map of the current world and builds the whole scene.
  bool EnterMap();
  // The same for the map the player already stands on (after a load, or back from the main menu): no
  // new visit, so no map is reset for the time since its last one and each keeps its visit time.
  bool EnterMapAgain();
  void RebuildCell(i32 x, i32 y);
  void RebuildCellLayer2(i32 x, i32 y);
  // One wall side seen from the cell (x, y) in direction `side`.
  void RebuildSide(i32 x, i32 y, i32 side);
  void RebuildSideLayer2(i32 x, i32 y, i32 side);
  void RebuildAllCells();
  void RebuildChangedCells();
  void CollectVisibleCells(bool refresh, bool relight);
  void CollectObjects();
  void BuildMonsterSprites();
  // The monster's draw record takes the look of its paralysis, or its normal one, and steps.
  void RefreshMonsterPicture(SMapArea& area, SMapMonster& monster);
  void AnimateMonsterSprites(bool idle, bool attack);
  void AnimateTextures();
  void UpdateSkyAndLight(bool dayNight);
  // The sky and light chosen again with the day/night changes, and every cell rebuilt: the people those
  // take off and place anew, and the numbers they give monsters and bags, reach the renderer only through
  // the cells' rebuild.
  void ChangeDayAndNight();
  void MarkAutomapSeen();
  void ResolveDoorAndDropImages();
  // The connection mask of a cell's piece (before the corner rules) and the variant it gives.
  u32 BaseMask(i32 x, i32 y, const SMapObjectType* type, const SPaletteEntry* palette,
               const SMapObjectType* second) const;
  u32 WallMask(i32 x, i32 y) const;
  u32 Layer2Mask(i32 x, i32 y) const;
  // Neighbours with the same centre type and palette whose object is absent or active.
  u32 BaseMaskOfCentre(i32 x, i32 y) const;
  static u32 ApplyCornerRules(u32 mask);
  u16 Variant(u32 mask) const { return connectionVariants[ApplyCornerRules(mask) & 255]; }
  // The cells in view around the player for the facing: west, north, east and south reach.
  static void VisibleReach(i32 facing, i32& west, i32& north, i32& east, i32& south);

  // ---- the faced label and its panels (SStateGameLabels.cpp)
  void UpdateFacedLabel();
  void LayoutLabelPanels();
  void DrawLabelPanels();
  // Wraps the name for the panel; a name of more than two lines is cut at its first line break.
  void FitLabelText(SLabelPanel& panel, const char* name);

  // ---- members, as the other parts of the world simulation name them
  SWorldView view;
  u16 handInputX[2] = {100, 100}, handInputY[2] = {100, 100};  // the sprites' offsets before scaling
  SMapObjectType* groupType = nullptr;                         // the substitute for block-animation groups
  u32 gameInProgress = 0;                                      // the quit sequence saves only when set
  u16* frameBase = nullptr;  // the back buffer's pixels as beginning a frame last saw them

  // The head-up controls, in adding order.
  SFillColorCtrl viewFill;
  SBorderCtrl viewFrame;
  SFillBmpCtrl leftFill;
  SBorderCtrl leftFrame;
  SFillBmpCtrl rightFill;
  SBorderCtrl rightFrame;
  SGameMapCtrl automap;
  SFaceCtrl portrait;
  SHPSPCtrl hitPoints;
  SHPSPCtrl spellPoints;
  SBorderCtrl compassFrame;
  SCompassCtrl compass;
  SButtonCtrl buttons[kButtonCount];
  i32 viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;

  // Movement.
  i32 facing = 0;  // degrees counter-clockwise from north
  i32 targetFacing = 0;
  i32 turnStep = 0;
  u8 turning = 0;
  i32 footstepCountdown = 0;
  i32 offsetX = 32768, offsetY = 32768;  // the place inside the player's cell
  i32 stepSpeedX = 0, stepSpeedY = 0;
  u8 stepping = 0;
  u8 bump = 0;
  i32 bumpMoveFrames = 0, bumpPauseFrames = 0;
  i32 previousX = 0, previousY = 0;
  i32 lastStepDirection = 0;
  i32 directionByFacing[7] = {0, 1, 2, 3, 0, 1, 2};
  // The hand bob: the count of accepted steps, the frame of the current step, the rest offsets the bob
  // swings about, and the per-frame tables of its x and y moves (pixels).
  u32 handBob = 0;
  u32 bobFrame = 0;
  u16 bobRestX[2] = {95, 95}, bobRestY[2] = {95, 95};
  static constexpr i32 kBobX[8] = {1, 2, 3, 3, 4, 4, 5, 5};
  static constexpr i32 kBobY[8] = {1, 2, 3, 4, 4, 3, 2, 1};
  // The pictures the hands show at rest with their palettes (null: none), and whether the second hand
  // holds a weapon or is bare.
  SFpsItem* handPicture[2] = {};
  u16 handPalette[2] = {};
  u8 secondHandArmed = 1;

  SDialog* subDialog = nullptr;  // the open sub-dialog, null when none
  // Weather.
  i32 weather = 0;
  SString forcedSky;
  u32 lastRainTick = 0;
  i32 rainIntensity = 0, rainTarget = 0, rainCountdown = 65535, rainStep = 0;
  i32 rainChannel = -1;
  u32 rainClass = 0;
  u32 thunderTime = 0, thunderPending = 0, thunderAudible = 0;
  i32 subMode = kWalking;

  // The 35 x 35 window of map cells and faces, the placement the maps ask for while loading, and the
  // scene the renderer draws.
  SMapWindow window;
  SSceneTables scene;
  u32 monstersChanged = 0;
  u32 forcedStep = 0;

  SActionRecord currentStrike;
  SDialogGameMap mapDialog;
  SDialogSpellbook spellbook;
  SDialogLockpick lockpick;
  SDialogPotion potions;
  SDialogRest rest;
  SDialogShipTravel shipTravel;
  SPtrArray<SGameEvent> events;
  SPtrArray<SActionRecord> actions;
  // The box or list an event opened (owned while open), and whether the box offered two or more buttons.
  SDialogMessage* eventBox = nullptr;
  SDialogList* eventList = nullptr;
  u32 eventBoxButtons = 0;

  // Transitions and prison.
  SString transitionTarget;
  SWorldModule* transitionModule = nullptr;
  SMapArea* transitionArea = nullptr;
  i32 transitionX = 0, transitionY = 0, transitionFacing = 0;
  u32 transitionKind = 0;
  u32 stepBackOnRefusal = 0;
  u32 transitionFrames = 0;
  u32 paintInTick = 1;     // 0: the tick does the world's work without painting (for measurements)
  u32 paintOnArrival = 1;  // 0 while the transition effect's own teleport runs: its last frame stays shown
  i32 fadeFogStartStep = 0, fadeFogEndStep = 0, fadeRedStep = 0, fadeGreenStep = 0, fadeBlueStep = 0;
  u32 imprisoned = 0;
  u32 sentenceBegan = 0;
  SString prisonMap;

  // Hands and the faced label.
  i32 selectedHand = 1;
  u32 labelRefresh = 0;
  // Where a tap selects a hand: over the hand pictures as the view draws them, left (hand 0) and right
  // (hand 1). The height is the first one when the size selector is 1 (the view shows the pictures at
  // their own size), else the second (the pictures shrunk for a small view).
  struct HandZone {
    i32 x = 0, y = 0, width = 0;
    i32 heights[2] = {};
    u32 enabled = 0;
    u32 sizeSelector = 1;
    i32 Height() const { return sizeSelector == 1 ? heights[0] : heights[1]; }
    bool Contains(i32 px, i32 py) const { return enabled && px >= x && py >= y && px < x + width && py < y + Height(); }
  };
  HandZone handZones[2];
  u32 skyRotation = 0;
  // The sky last chosen: an hour whose part of the day no sky type serves leaves it as it was.
  SSkyChoice skyChoice;
  u32 spellHitMessage = 0;
  // The trapped object of the Open / Disarm / Pick prompt.
  SMapArea* trappedArea = nullptr;
  SMapObjectInst* trappedInst = nullptr;
  SMapCell* trappedCell = nullptr;
  SMapObjectType* trappedType = nullptr;
  i32 trappedWord = 0;
  u32 trappedNumber = 0;

  // Ambience: the sound pick with its cell, the ambient marker with its cell, the last ambient second.
  const SMonster* soundPick = nullptr;
  i32 soundPickX = 0, soundPickY = 0;
  SMapObjectType* ambientMarker = nullptr;
  i32 ambientX = 0, ambientY = 0;
  u32 lastAmbientSecond = 0;
  u32 fightFlag = 0;
  void* objectWait = nullptr;
  u16 thumbnail[kThumbnailWidth * kThumbnailHeight] = {};
  SDialogMarkRecall markRecall;
  SDialogEnchantItem enchantItem;

  // Music and danger.
  SString musicName;
  i32 musicChannel = -1;  // the current track's channel, -1 none
  u32 musicPaused = 0;
  u32 musicRestart = 0;
  SValueArray<SAmbientEntry> ambientSounds{4};
  u32 largeScreen = 0;
  u32 largeCompanions[2] = {};
  i32 dangerCountdown = 0;

  // Monsters' turns: the fight records of the turn under way, the walkers near the player and their
  // draw positions kept across a window move; the act cooldown (frames) and whether the fight list was
  // kept from a check pass.
  SPtrArray<SFightRecord> fightList{true, 4};
  SPtrArray<SActiveMonster> activeMonsters{true, 4};
  SPtrArray<SSavedMonsterPos> savedPositions{true, 4};
  u32 actCooldown = 0;
  u32 standby = 0;

  // What the map-object kinds read: the door highlight counter, the spikes' placements by facing.
  u8 highlightCounter = 0;
  i16 spikePlacement[2][4][4] = {};

  // Scene preparation data.
  u16 connectionVariants[256] = {};
  i32 preparedX = 0, preparedY = 0;
  SPtrArray<SMapObjectType> animatedTypes{false, 4};
  SValueArray<u32> animatedFrames{4};  // each animated type's frame index
  u16 doorImages[4] = {};              // by the door's opening method
  u16 dropImages[6] = {};              // bags by quality 1..5
  i32 farDistance = 0, visibleCells = 1, nearDistance = 0;
  u16 skyImage = 0;
  u16 skyFlags = 0;
  u16 skyPalette = 0;
  u16 backgroundImage = 0, backgroundPalette = 0;
  SLabelPanel labels[2];
  // The visible-cell collection's grids: walls and the light shares of bright cells.
  u8 wallGrid[SMapWindow::kCells] = {};
  i32 shareGrid[SMapWindow::kCells] = {};

  SGameKindServices kindServices;
  SGameRuleHooks ruleHooks;
  // The record a talking monster speaks through, and its lists (the base table's, never owned).
  SNpc temporaryPerson;
  STemporaryConversation temporaryConversation;

 private:
  // A new event of the kind at the end of the queue (at the front with `first`); null when out of memory.
  SGameEvent* AddEvent(u32 kind, bool first = false);
  void PlayAmbientAt(const char* name, i32 x, i32 y, i32 offset);
  // An action code after the busy test: a step, a turn or the hand's use.
  u32 DoAction(u32 action);
  SButtonCtrl* ButtonWithId(u16 id);
  // The movement buttons get the pen-up, so that they release.
  void ReleaseMovementButtons(i32 x, i32 y);
  // The region of a cell: true when its floor is water, with the region id (0 for the default ground).
  bool RegionOf(i32 x, i32 y, const void*& region) const;
  // The cell's floor type for footsteps; null when none.
  SMapObjectType* FloorType(i32 x, i32 y) const;
  // A step's work at a cell crossing of a joined tile: the window moves to the neighbouring map.
  void CrossTile(i32 dx, i32 dy);
  void EnterCellAt(i32 dx, i32 dy);
  // The facing a teleport or position cell gives on arrival, when its facing bits are set.
  void TakeArrivalFacing(const SMapCell* cell);
  // After a teleport: automap, monsters, ambience, scans, the end of a paralysis, the view.
  void ArriveAt(bool mapChanged);
  // The daily reset of the map objects' marks.
  void DailyReset();
  bool IsCurrentWorldPosition(const char* position) const;
  // The player's side of each minute that passes.
  void PassPlayerMinutes(u32 minutes);
  // Binds the world's tables to this state's services and the window.
  void BindWorld();
  void ReleaseMenuPictures();

  // Combat helpers: a hand's picture and frame, a swing's frame, a flying missile's sprite, the hit
  // picture over the view, the strike's sounds, one step of a record.
  void ShowHand(u32 hand, const SFpsItem* picture, u16 palette, u32 frame);
  void ShowSwingFrame(u32 hand, const SFpsItem* picture, u16 palette, bool single, i32 phase, i32 start);
  bool IsSingleSwing(const SFpsItem* picture);
  void ShowMissile(const SActionRecord& record, bool shown);
  void DrawHitImage();
  void PlayStrikeSounds();
  bool StepAction(SActionRecord& record, u32 now);
  bool StepSwing(SActionRecord& record, u32 now);
  bool StepMissile(SActionRecord& record, u32 now);
  bool StepHitIndicator(SActionRecord& record, u32 now);
  bool StepParalysedSwing(SActionRecord& record, u32 now);
  bool StepMonsterAttack(SActionRecord& record);
  bool StepPotion(SActionRecord& record, u32 now);

  // Scene preparation helpers.
  void BuildGroundRecord(i32 x, i32 y);
  void BuildWallSide(i32 x, i32 y, u32 d, u32 layer);
  void FillBagRecord(u16 number, const SItemContainer& bag);
  void PlaceMonsterSprite(i32 x, i32 y, u32 slot, SMapMonster& monster);
  void RebuildAnimatedTypes();
  // Pictures of monsters and items are read from the archive when first drawn.
  void MakeResident(u16 image);
  void MarkWindowResources();
};
