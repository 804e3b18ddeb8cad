// The game event queue on the real game state: messages gathered into one box, prompts answered, map
// transitions refused with and without the step back, the order of the queue, one event per idle frame,
// events freed unprocessed, and the services that have no answer.
#include "WalkGame.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "world/kinds/SMapObjectDoor.h"

#include <gtest/gtest.h>

namespace {

std::string BoxText(const GameHarness& game) {
  for (const GameHarness::Control& c : game.controls())
    if (c.type == "SDialogTextCtrl") return c.text;
  return "";
}

TEST(GameEvents, ThreeScriptMessagesInOneTurnMakeOneBoxOfThreeParagraphs) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SScriptContext& context = *w.core().scriptContext;
  context.output = kOutputGameMessage;
  for (const char* text : {"The lever creaks.", "Something moves.", "A gate opens."}) context.ShowMessage(text, 0);
  EXPECT_EQ(w.game.eventKinds(), std::vector<u32>{kEventMessage});
  ASSERT_TRUE(w.game.waitUntil(GameHarness::subModeIs(SStateGame::kMessageBox), 3));
  EXPECT_EQ(BoxText(w.game), "The lever creaks.\rSomething moves.\rA gate opens.");
  // Output meant for a conversation never reaches the game's box.
  context.output = kOutputConversation;
  context.ShowMessage("Hello there.", 0);
  EXPECT_EQ(w.state().events.Count(), 0u);
}

TEST(GameEvents, TeleportsAndTransitionsOnlyWithinTheCurrentWorld) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SStateGame& s = w.state();
  s.QueueTeleport("bres_pos_elsewhere", 1);
  s.QueueMapTransition("bres_pos_elsewhere", "Go?", 0, 1);
  s.QueueTeleport("bas", 0);
  EXPECT_EQ(s.events.Count(), 0u);
  s.QueueTeleport("BASE_pos_cellar", 0);  // the prefix is compared without case
  EXPECT_EQ(w.game.eventKinds(), std::vector<u32>{kEventTeleport});
}

TEST(GameEvents, ATransitionAnsweredNoStepsBackOnlyWithTheStepBackFlag) {
  for (u32 stepBack : {0u, 1u}) {
    SCOPED_TRACE(stepBack);
    WalkGame w;
    ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
    ASSERT_TRUE(w.Move(1000));  // south to (5, 7)
    ASSERT_EQ(w.state().window.playerY, 7);
    w.state().QueueMapTransition("base_pos_deep", "Down?", 7, stepBack);
    ASSERT_TRUE(w.Choose(SStateGame::kTransitionPrompt, "No"));
    ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 20));
    EXPECT_EQ(w.state().window.playerY, stepBack ? 6 : 7);
    EXPECT_EQ(w.core().CurrentWorld()->currentMap->name.Text(), std::string("base_dungeon1"));
  }
}

TEST(GameEvents, AFrontQueuedEventRunsFirstAndOneEventIsTakenPerIdleFrame) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SStateGame& s = w.state();
  s.QueueTurnTo(1);
  s.QueueTurnTo(2);
  s.QueueTransitionFirst("base_pos_cellar", 2);
  EXPECT_EQ(w.game.eventKinds(), (std::vector<u32>{kEventTransition, kEventTurnTo, kEventTurnTo}));
  w.game.frame();
  EXPECT_EQ(s.subMode, SStateGame::kTransition) << "the front event is the transition";
  EXPECT_EQ(s.events.Count(), 2u);
  // Nothing more is taken while the transition runs.
  w.game.frame(5);
  EXPECT_EQ(s.events.Count(), 2u);

  // With an action under way no event is taken either; then one per frame.
  ASSERT_TRUE(w.game.waitUntil(GameHarness::subModeIs(SStateGame::kWalking), 30));
  ASSERT_EQ(s.window.playerX, 2);
  s.ShowPlayerDamage(3);
  const u32 before = s.events.Count();
  s.OnTick(w.core().frameCounter, w.core().display);
  EXPECT_EQ(s.events.Count(), before);
  s.actions.DeleteAll();
  s.OnTick(w.core().frameCounter, w.core().display);
  EXPECT_EQ(s.events.Count(), before - 1);
}

TEST(GameEvents, UnprocessedEventsAndUnknownKindsGoWithTheirMessages) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SStateGame& s = w.state();
  s.QueueMessage("Never shown.", 1, nullptr);
  ASSERT_NE(s.events[0]->message, nullptr);
  s.events[0]->kind = kEventNone;
  s.QueueMessage("Nor this.", 1, nullptr);
  s.events[1]->kind = 99;
  s.QueueMessage("Nor that.", 1, nullptr);
  w.game.frame(2);
  EXPECT_EQ(s.events.Count(), 1u);
  EXPECT_EQ(s.subMode, SStateGame::kWalking);
  // A new game or a load empties the queue, messages and all.
  s.ResetForNewGame();
  EXPECT_EQ(s.events.Count(), 0u);
}

TEST(GameEvents, AServiceNobodyProvidesAnswersNoAnswer) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  for (const char* name : {"", "base_nobody"}) {
    w.state().QueueService(name);
    ASSERT_EQ(w.game.eventKinds(), std::vector<u32>{kEventMessage});
    EXPECT_STREQ(w.state().events[0]->textA.CStr(), "No answer");
    EXPECT_EQ(w.state().events[0]->buttons, 0u);
    w.state().events.DeleteAll();
  }
}

TEST(GameEvents, AQuestionStoresThePressedButtonForTheScript) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SScriptContext& context = *w.core().scriptContext;
  const struct {
    u32 buttons;
    const char* caption;
    i32 answer;
  } cases[] = {
      {SDialogMessage::kYes | SDialogMessage::kNo, "Yes", 4},
      {SDialogMessage::kYes | SDialogMessage::kNo, "No", 8},
      {SDialogMessage::kOk | SDialogMessage::kCancel, "Cancel", 2},
      {SDialogMessage::kOk, "Ok", -1},  // one button asks nothing
  };
  for (const auto& c : cases) {
    context.lastAnswer = -1;
    w.state().QueueMessage("Pull it?", c.buttons, nullptr);
    ASSERT_TRUE(w.Choose(SStateGame::kMessageBox, c.caption));
    ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 5));
    EXPECT_EQ(context.lastAnswer, c.answer) << c.buttons;
  }
}

TEST(GameEvents, AChoiceListHandsTheChosenRowToTheScript) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  auto* list = new SDialogListCtrl;
  list->SetFont(1, 0x161616, 0xC0C0C0, nullptr);
  list->AddRowWithKey("base_red", "The red one", 0);
  list->AddRowWithKey("base_blue", "The blue one", 0);
  list->LayoutRows(140);
  list->Select(1);
  w.state().QueueChoiceList(list);
  ASSERT_TRUE(w.Choose(SStateGame::kChoiceList, "Ok"));
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 5));
  EXPECT_STREQ(w.core().scriptContext->chosenText.CStr(), "base_blue");
  // One that never opens goes with its event.
  auto* unseen = new SDialogListCtrl;
  unseen->AddRowWithKey("base_x", "X", 0);
  w.state().QueueChoiceList(unseen);
  w.state().ResetForNewGame();
  EXPECT_EQ(w.state().events.Count(), 0u);
}

TEST(GameEvents, ATrappedDoorsPromptOffersWhatIsAllowed) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SStateGame& s = w.state();
  SMapArea* area = s.window.CurrentArea();
  SMapObjectInst* door = area->FindObjectByName("base_obj_cellardoor");
  s.QueuePrompt("The door is trapped.", area, door, s.window.Cell(10, 5), s.window.Cell(10, 5)->centreType, 7, 1, 0, 1);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::subModeIs(SStateGame::kTrapPrompt), 3));
  std::vector<std::string> captions;
  for (const GameHarness::Control& c : w.game.controls())
    if (c.type == "SCtrlMessageButton") captions.push_back(c.text);
  EXPECT_EQ(captions, (std::vector<std::string>{"Cancel", "Open", "Disarm"}));
  EXPECT_EQ(s.trappedInst, door);
  EXPECT_EQ(s.trappedWord, 7);
  ASSERT_TRUE(w.Choose(SStateGame::kTrapPrompt, "Cancel"));
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 5));
}

// "Open" on a trapped door sets the trap off and opens the door: the player chose to take the trap.
TEST(GameEvents, OpenOnATrappedDoorSetsTheTrapOffAndOpensTheDoor) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 10, 4, 180));  // facing the cellar door
  SStateGame& s = w.state();
  SMapObjectInst* door = s.window.CurrentArea()->FindObjectByName("base_obj_cellardoor");
  ASSERT_NE(door, nullptr);
  door->packed = i16(1 << 10);                // unlocked, a trap of difficulty 1
  s.window.Cell(10, 5)->cellFlags |= 1 << 4;  // a fireball of level 10: 20 + 40 x 10 / 100
  SPlayer& p = w.core().player;
  p.hp = 500;
  p.skills[19] = 10;  // enough to see the trap
  w.game.press(kActionUse);
  ASSERT_TRUE(w.Choose(SStateGame::kTrapPrompt, "Open"));
  ASSERT_TRUE(w.Settle());
  w.game.frame(40);
  EXPECT_EQ(500 - i32(p.hp), 24);
  EXPECT_FALSE(door->state & SMapObjectDoor::kClosed);
}

}  // namespace
