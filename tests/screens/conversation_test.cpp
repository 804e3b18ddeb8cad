// The sample town's people talked to through the real screens: greetings chosen by their conditions,
// topics, follow-up chains, choices, pages, the choice list, services, the exit and a talking monster.
#include "ConversationScreen.h"
#include "core/SStateNumbers.h"
#include "core/ui/SDialogMessage.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "os/Gdi.h"
#include "script/SDialogEntry.h"
#include "support/GoldenText.h"
#include "support/Png.h"
#include "world/SMapArea.h"
#include "world/SMapCell.h"
#include "world/SPeopleTables.h"
#include "world/SWorldModule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>

namespace {

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

// Whether the answer text ends with these lines (the page scrolls: earlier lines leave it).
testing::AssertionResult Said(ConversationScreen& c, const std::string& expected) {
  const std::vector<std::string> all = c.Lines();
  const size_t n = size_t(std::count(expected.begin(), expected.end(), '\n'));
  const std::string tail = Joined(std::vector<std::string>(all.end() - i32(std::min(n, all.size())), all.end()));
  if (tail == expected) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "the text ends with\n" << tail << "not with\n" << expected;
}

// The talker's town topic: the player's line, then a chain of three entries.
constexpr char kTownChain[] =
    "[1] - Tell me about the town.\n- Our town is old.\nOlder than the hills, some say.\n"
    "But Old Wenna remembers it young.\n";

TEST(Conversation, GreetingTopicsAndTheExit) {
  ConversationScreen c;
  ASSERT_TRUE(c.entered);
  ASSERT_TRUE(c.Call("base_talker"));
  EXPECT_EQ(c.context().output, kOutputConversation);
  // The macros expanded; the topic whose list's own condition fails (fame 50) is not offered.
  EXPECT_EQ(Joined(c.Lines()),
            "- Good day, Ada. I am Old Wenna,\nand I light the lamps of this old\ntown when the fog comes in.\n");
  EXPECT_EQ(c.Buttons(), "The town|A riddle|Charms|A story|Magic|Farewell|The weather|Goodbye|");

  // A quest held: its greeting comes first. Famous enough: the hidden topic shows. (The quest's report goes
  // to the conversation that is current.)
  c.core().player.AddQuest("base_quest_cyclops");
  c.core().player.fame = 60;
  EXPECT_TRUE(Said(c, "[2] You have a new quest: Cyclops'\n[2] gold.\n"));
  c.Tap(SStateDialog::kExit);
  ASSERT_TRUE(c.game.waitUntil(GameHarness::stateIs(kStateGame), 5));
  ASSERT_TRUE(c.Call("base_talker"));
  EXPECT_EQ(Joined(c.Lines()), "- So you go after the cyclops' gold,\nAda? Brave or foolish.\n");
  EXPECT_EQ(c.Buttons(), "The town|A riddle|Secrets|Charms|A story|Magic|Farewell|The weather|Goodbye|");

  // The exit: 99 back to the game, the second click, and the output kind back to the message line, where a
  // message from outside a script then goes.
  const size_t soundsBefore = c.game.sounds().size();
  c.Tap(SStateDialog::kExit);
  ASSERT_TRUE(c.game.waitUntil(GameHarness::stateIs(kStateGame), 5));
  EXPECT_EQ(c.context().output, kOutputGameMessage);
  ASSERT_GT(c.game.sounds().size(), soundsBefore);
  EXPECT_EQ(c.game.sounds().back().name, "#4032");
  c.core().player.ChangeFame(1);
  const GameHarness::Message* report = nullptr;
  for (const GameHarness::Message& m : c.game.messages())
    if (m.source == "script") report = &m;
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->text, "Your fame has been increased.");
  EXPECT_EQ(report->destination, "game message");
}

// The text is marked while it shows the greeting, and no longer once a topic's entries are shown.
TEST(Conversation, AFollowUpChainJoinsWithoutBulletOrPageStop) {
  ConversationScreen c;
  ASSERT_TRUE(c.Call("base_talker"));
  EXPECT_EQ(c.talk().text.greetingMark, 1u);
  c.Tap(SStateDialog::kTopic + 0);
  EXPECT_EQ(c.talk().text.greetingMark, 0u);
  EXPECT_TRUE(Said(c, kTownChain));
  EXPECT_FALSE(c.HasControl(SStateDialog::kContinue));
  EXPECT_EQ(c.context().lastAnswer, 0);
  EXPECT_EQ(c.Buttons(), "The town|A riddle|Charms|A story|Magic|Farewell|The weather|Goodbye|");
}

TEST(Conversation, ChoicesKeepTheirSlotsAndAnswerTheirNumber) {
  ConversationScreen c;
  ASSERT_TRUE(c.Call("base_talker"));
  c.Tap(SStateDialog::kTopic + 1);
  // Slot 1 (fame 100) is hidden; the buttons keep their slots' codes, and everything else waits.
  EXPECT_FALSE(c.HasControl(SStateDialog::kChoice + 0));
  EXPECT_EQ(c.Buttons(),
            "The town (off)|A riddle (off)|Charms (off)|A story (off)|Magic (off)|Farewell (off)|The weather (off)|"
            "Goodbye (off)|A man|A dog|I give up|");
  c.Tap(SStateDialog::kChoice + 1);
  EXPECT_TRUE(Said(c, "[1] - A man\n- Right you are!\n"));
  EXPECT_EQ(c.context().lastAnswer, 0) << "the topics are offered again";

  // "A dog" (answer 3) goes back to the first entry (gofirst): the riddle again, its choices with it.
  c.Tap(SStateDialog::kTopic + 1);
  c.Tap(SStateDialog::kChoice + 2);
  EXPECT_TRUE(
      Said(c, "[1] - A dog\n- A dog? No. Again.\nWhat walks on four legs at dawn,\ntwo at noon and three at dusk?\n"));
  EXPECT_TRUE(c.HasControl(SStateDialog::kChoice + 3));
  c.Tap(SStateDialog::kChoice + 3);
  EXPECT_TRUE(Said(c, "[1] - I give up\n- It is a man, of course.\n"));
}

TEST(Conversation, TheChoiceListAnEntryFills) {
  ConversationScreen c;
  ASSERT_TRUE(c.Call("base_talker"));
  c.Tap(SStateDialog::kTopic + 2);
  ASSERT_TRUE(c.HasControl(SStateDialog::kList));
  EXPECT_EQ(c.talk().list.RowCount(), 2u);
  c.game.tapRow(SStateDialog::kList, 0);
  c.Tap(SStateDialog::kListOk);
  EXPECT_EQ(c.context().chosenText.CStr(), std::string("base_charm_luck"));
  EXPECT_TRUE(Said(c, "[1] - Luck\n- A fine choice.\n[2] Luck be with you.\n"));
  EXPECT_FALSE(c.HasControl(SStateDialog::kList));

  c.Tap(SStateDialog::kTopic + 2);
  c.Tap(SStateDialog::kListCancel);
  EXPECT_EQ(c.context().chosenText.CStr(), std::string(""));
  EXPECT_TRUE(Said(c, "[1] - ...\n- Nothing for you, then.\n"));
}

TEST(Conversation, ALongTextStopsWithContinueBeforeItsChoices) {
  ConversationScreen c(7);
  ASSERT_TRUE(c.Call("base_talker"));
  c.Tap(SStateDialog::kTopic + 3);
  ASSERT_TRUE(c.HasControl(SStateDialog::kContinue));
  EXPECT_FALSE(c.HasControl(SStateDialog::kChoice + 0));
  for (int i = 0; i < 4 && c.HasControl(SStateDialog::kContinue); ++i) c.Tap(SStateDialog::kContinue);
  EXPECT_FALSE(c.HasControl(SStateDialog::kContinue));
  EXPECT_TRUE(c.HasControl(SStateDialog::kChoice + 0));
  EXPECT_TRUE(c.HasControl(SStateDialog::kChoice + 1));
  c.Tap(SStateDialog::kChoice + 0);
  EXPECT_EQ(c.Lines().back(), "- And so the river found the sea.");
}

TEST(Conversation, AFailingScriptAndGoodbye) {
  ConversationScreen c;
  ASSERT_TRUE(c.Call("base_talker"));
  // The trick lights the lamp post by its name; under another name the script fails there.
  SMapArea* holder = nullptr;
  c.game.core().world.modules.current->FindObjectByName("base_obj_lamppost", holder)->name.Set("base_obj_lostpost");
  c.Tap(SStateDialog::kTopic + 4);
  EXPECT_TRUE(Said(c, "- Watch this!\n[2] Sparks fly.\n"));
  u32 errors = 0;
  for (const GameHarness::Message& m : c.game.messages()) errors += m.text == "Script error!";
  EXPECT_EQ(errors, 1u);
  EXPECT_EQ(c.Buttons(), "The town|A riddle|Charms|A story|Magic|Farewell|The weather|Goodbye|");

  c.Tap(SStateDialog::kTopic + 5);
  EXPECT_EQ(c.Lines().back(), "- I am tired now. Off with you.");
  EXPECT_EQ(c.Buttons(), "Goodbye|");
  c.Tap(SStateDialog::kExit);
  EXPECT_TRUE(c.game.waitUntil(GameHarness::stateIs(kStateGame), 5));
}

TEST(Conversation, SilenceServicesAndABetTooHigh) {
  ConversationScreen c;
  // Snoring Tam greets by day; with his day's greeting barred (its list's own condition fails), none of
  // his greetings holds, and he answers with silence.
  SDialogEntryList* day = c.core().world.dialogs.FindSecond("base_sleeperday");
  ASSERT_NE(day, nullptr);
  day->condition = new SCondition;
  day->condition->kind = -1;
  ASSERT_TRUE(c.Call("base_sleeper"));
  EXPECT_EQ(Joined(c.Lines()), "- (silence)\n");
  EXPECT_EQ(c.Buttons(), "Buy/sell|Training|Repair|Enchant|Cards|The weather|Goodbye|");
  c.core().player.money = 5;
  c.Tap(SStateDialog::kCards);
  ASSERT_EQ(c.game.openChild(), &c.talk().cardBet);
  c.game.tapControl(SDialogCardBet::kAccept);
  c.game.frame();
  ASSERT_NE(c.game.openChild(), nullptr);
  EXPECT_EQ(c.game.openChild(), &c.talk().box);
  EXPECT_EQ(c.game.state(), kStateDialog);
  bool told = false;
  for (const GameHarness::Control& ctl : c.game.controls()) told |= ctl.text == "You don't have enough money.";
  EXPECT_TRUE(told);
  c.game.press(kActionBack);
  // The training dialog: any command it passes up closes it.
  c.talk().OnCommand(SDialogMessage::kOk);
  EXPECT_EQ(c.game.openChild(), nullptr);
  c.game.frame();
  c.Tap(SStateDialog::kTraining);
  EXPECT_EQ(c.game.openChild(), &c.talk().training);
  c.talk().OnCommand(SDialogTraining::kCloseCode);
  EXPECT_EQ(c.game.openChild(), nullptr);
  EXPECT_EQ(c.talk().marker, SStateDialog::kNone);
}

TEST(Conversation, ATalkingMonsterSpeaksThroughItsOwnListOrTheCommonOne) {
  for (u32 hour : {12u, 3u}) {
    ConversationScreen c(7, 1440 + hour * 60, true);
    ASSERT_TRUE(c.entered);
    SMapMonster* monster = nullptr;
    SMapArea* area = nullptr;
    SMapObjectInst* object = c.core().world.modules.current->FindObjectAndMonster("base_obj_cyclops", monster, area);
    ASSERT_NE(object, nullptr);
    ASSERT_NE(monster, nullptr);
    c.Switch(c.state().TalkToMonster(object, area, monster));
    ASSERT_TRUE(c.Opened());
    EXPECT_EQ(c.Lines().back(), hour == 12 ? "- Leave me be, Ada." : "- Grr. The night is mine.");
    EXPECT_EQ(c.Buttons(), "Goodbye|");
  }
}

// A person's conversation entered a second time in one visit, without the game state setting the output
// kind (as the interior's "Talk" does): its entries still write into the conversation.
TEST(Conversation, EnteredAgainItsScriptsStillWriteHere) {
  ConversationScreen c;
  ASSERT_TRUE(c.Call("base_talker"));
  const u32 word = c.talk().params[1];
  c.Tap(SStateDialog::kExit);
  ASSERT_TRUE(c.game.waitUntil(GameHarness::stateIs(kStateGame), 5));
  c.game.setState(kStateDialog, 0, word, 0, 0);
  ASSERT_TRUE(c.Opened());
  c.Tap(SStateDialog::kTopic + 0);
  EXPECT_TRUE(Said(c, kTownChain));
  c.Tap(SStateDialog::kTopic + 4);
  EXPECT_TRUE(Said(c, "- Watch this!\n[2] Sparks fly.\n"));
}

// A city door plays its sound when the conversation ends; a door flag is spent by one exit.
TEST(Conversation, ThroughACityDoorTheExitPlaysTheDoor) {
  ConversationScreen c;
  SNpc* talker = c.core().world.rules.people.FindByName("base_talker");
  ASSERT_NE(talker, nullptr);
  c.Switch(c.state().TalkTo(talker, 0, true));
  ASSERT_TRUE(c.Opened());
  c.Tap(SStateDialog::kExit);
  bool door = false;
  for (const GameHarness::Sound& s : c.game.sounds()) door |= s.name == "bsnd_cdoorclose";
  EXPECT_TRUE(door);
  EXPECT_EQ(c.talk().doorFlag, 0u);
}

// An entry whose every choice fails goes on as one without choices: the topics come back.
TEST(Conversation, AnEntryWhoseChoicesAllFailOffersTheTopics) {
  ConversationScreen c;
  SDialogEntryList list;
  auto* e = new SDialogEntry;
  e->text = "Choose wisely.";
  e->choices[0] = new SChoice;
  e->choices[0]->answer = "Never shown";
  e->choices[0]->condition = new SCondition;
  e->choices[0]->condition->kind = -1;
  list.entries.Add(e);
  SStateGame& game = c.state();
  game.temporaryConversation.Forget();
  game.temporaryConversation.second.Add(&list);
  game.temporaryPerson.conversation = &game.temporaryConversation;
  game.temporaryPerson.texts[0] = "Stranger";
  c.Switch(game.TalkTo(&game.temporaryPerson, 0, false));
  ASSERT_TRUE(c.Opened());
  EXPECT_EQ(c.Lines().back(), "- Choose wisely.");
  EXPECT_EQ(c.Buttons(), "Goodbye|");
  c.Tap(SStateDialog::kExit);
  game.temporaryConversation.Forget();
}

}  // namespace

namespace {

// The large screen after the greeting has been said: the portrait, the name, the text, the services, a
// topic and the exit.
TEST(Conversation, TheLargeScreenAfterTheGreeting) {
  ConversationScreen c(10, 1440 + 23 * 60);
  ASSERT_TRUE(c.entered);
  ASSERT_TRUE(c.Call("base_sleeper"));
  c.game.frame(3);
  EXPECT_EQ(Joined(c.Lines()), "- Can't a body sleep?\n");
  const Os::Panel& panel = c.game.panel();
  EXPECT_EQ(testpng::CompareGolden("conversation_480x640", panel.pixels.data(), panel.width, panel.height, panel.width),
            "");
}

}  // namespace

namespace {

// One walk through every branch of the talker's lists on the large screen, the answer text and the buttons
// after each step compared with a stored log.
TEST(Conversation, AReplayThroughTheTalkersWholeTree) {
  ConversationScreen c(10);
  ASSERT_TRUE(c.entered);
  std::string log;
  auto note = [&](const std::string& step) {
    log += "> " + step + "\n" + Joined(c.Lines()) + "buttons: " + c.Buttons() + "\n";
  };
  ASSERT_TRUE(c.Call("base_talker"));
  note("greeting");
  const struct {
    const char* step;
    u32 code;
    i32 row;  // >= 0: a row of the choice list tapped first
  } steps[] = {
      {"The town", SStateDialog::kTopic + 0, -1}, {"A riddle", SStateDialog::kTopic + 1, -1},
      {"A man", SStateDialog::kChoice + 1, -1},   {"A riddle", SStateDialog::kTopic + 1, -1},
      {"A dog", SStateDialog::kChoice + 2, -1},   {"I give up", SStateDialog::kChoice + 3, -1},
      {"Charms", SStateDialog::kTopic + 2, -1},   {"Health, Ok", SStateDialog::kListOk, 1},
      {"Charms", SStateDialog::kTopic + 2, -1},   {"Cancel", SStateDialog::kListCancel, -1},
      {"A story", SStateDialog::kTopic + 3, -1},  {"Enough", SStateDialog::kChoice + 1, -1},
      {"Magic", SStateDialog::kTopic + 4, -1},    {"The weather", SStateDialog::kTopic + 6, -1},
      {"Farewell", SStateDialog::kTopic + 5, -1},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.step);
    while (c.HasControl(SStateDialog::kContinue)) {
      c.Tap(SStateDialog::kContinue);
      note("Continue");
    }
    if (s.row >= 0) c.game.tapRow(SStateDialog::kList, u32(s.row));
    ASSERT_TRUE(c.HasControl(s.code)) << c.Buttons();
    c.Tap(s.code);
    note(s.step);
  }
  c.Tap(SStateDialog::kExit);
  ASSERT_TRUE(c.game.waitUntil(GameHarness::stateIs(kStateGame), 5));
  log += "> Goodbye\noutput " + std::to_string(c.context().output) + ", last answer " +
         std::to_string(c.context().lastAnswer) + ", chosen \"" + c.context().chosenText.CStr() + "\"\n";
  EXPECT_EQ(testgolden::CompareText("conversation_talker_replay", log), "");
}

}  // namespace

namespace {

// The merchant of the town square, found in the window: its cell and entry.
struct Placed {
  i32 x = -1, y = -1;
  SMapMonster* monster = nullptr;
};
Placed FindPlaced(SStateGame& game, const char* templateName) {
  for (i32 y = 0; y < 35; ++y)
    for (i32 x = 0; x < 35; ++x) {
      SMapCell* cell = game.window.Cell(x, y);
      if (!cell || !cell->monsterId[0]) continue;
      SMapMonster* m = game.window.FindBlockMonsterById(x, y, u8(cell->monsterId[0]));
      if (m && m->monster && m->monster->name.Text() && std::string(m->monster->name.Text()) == templateName)
        return Placed{x, y, m};
    }
  return {};
}

// A person used face to face: a type naming a person record opens that person's conversation; one naming
// nothing, without a list of its own, answers "No answer".
TEST(Conversation, UsingAPersonTalksToTheRecordItsTypeNames) {
  ConversationScreen c(7, 1440 + 12 * 60, true);
  ASSERT_TRUE(c.entered);
  Placed merchant = FindPlaced(c.state(), "base_merchant");
  ASSERT_NE(merchant.monster, nullptr);
  SMonster& type = *merchant.monster->monster;
  const char* talk = type.talk;
  auto use = [&] {
    // Facing the merchant's front, so that its back is not turned.
    c.state().facing = i32(((merchant.monster->flags >> 3) & 3) + 2) % 4 * 90;
    return c.state().TriggerCellAction(MapEvent::kUse, 4, nullptr, c.state().window.Cell(merchant.x, merchant.y),
                                       merchant.x, merchant.y, -1, false, nullptr);
  };
  type.talk = "base_nobody";
  EXPECT_EQ(use(), 0u);
  bool noAnswer = false;
  for (const GameHarness::Message& m : c.game.messages()) noAnswer |= m.text == "No answer";
  EXPECT_TRUE(noAnswer) << "its type names no person";

  type.talk = "base_talker";
  const u32 next = use();
  type.talk = talk;
  ASSERT_EQ(next, u32(kStateDialog));
  EXPECT_EQ(c.context().speaker, c.core().world.rules.people.FindByName("base_talker"));
  EXPECT_EQ(c.context().thisMonster, merchant.monster);
  c.Switch(next);
  ASSERT_TRUE(c.Opened());
  EXPECT_EQ(Joined(c.Lines()),
            "- Good day, Ada. I am Old Wenna,\nand I light the lamps of this old\ntown when the fog comes in.\n");
}

}  // namespace

namespace {

// Without a layout for its screen the conversation still runs: its controls stay hidden and inert, the
// entries are chosen and their scripts run, and the exit leaves.
TEST(Conversation, WithoutItsLayoutTheConversationStillRuns) {
  ConversationScreen c;
  ASSERT_TRUE(c.entered);
  const std::span<const u8> bytes = c.core().layouts.Bytes();
  const std::vector<u8> saved(bytes.begin(), bytes.end());
  c.core().layouts.Clear();
  ASSERT_TRUE(c.Call("base_talker"));
  EXPECT_EQ(c.Buttons(), "");
  EXPECT_EQ(c.talk().TopicCount(), 7u);
  EXPECT_EQ(c.talk().OnCommand(SStateDialog::kTopic + 2), 0u);  // the charms: a list nobody sees
  EXPECT_EQ(c.talk().OnCommand(SStateDialog::kListCancel), 0u);
  EXPECT_EQ(c.talk().OnCommand(SStateDialog::kTopic + 1), 0u);  // the riddle's choices
  EXPECT_EQ(c.talk().OnCommand(SStateDialog::kChoice + 1), 0u);
  EXPECT_EQ(c.context().lastAnswer, 0);
  EXPECT_EQ(c.talk().OnCommand(SStateDialog::kExit), 99u);
  c.core().layouts.Load(saved.data(), u32(saved.size()));
}

}  // namespace

namespace {

// The service buttons advance 22 pixels on the large screens and 16 on the compact ones; only a button taller
// than that (the large font's, 27 pixels high on 480x640) keeps 3 pixels apart from the next, so that none
// hides another. The large screens' separator under them lies below the last one, clear of its caption.
TEST(Conversation, TheServiceButtonsKeepTheirStepUnlessTallerThanIt) {
  const struct { i32 mode, step; } cases[] = {{7, 16}, {11, 22}, {10, 30}};
  for (const auto& c : cases) {
    ConversationScreen talk(c.mode);
    ASSERT_TRUE(talk.entered) << c.mode;
    ASSERT_TRUE(talk.Call("base_sleeper")) << c.mode;
    std::vector<i32> tops;
    i32 bottom = 0;
    for (const GameHarness::Control& b : talk.game.controls())
      if (b.id >= SStateDialog::kBuySell && b.id <= SStateDialog::kCards) {
        tops.push_back(b.y);
        bottom = b.y + b.height;
      }
    ASSERT_EQ(tops.size(), 5u) << c.mode;
    for (size_t i = 1; i < tops.size(); ++i) EXPECT_EQ(tops[i] - tops[i - 1], c.step) << c.mode << " button " << i;
    if (c.mode != 7) {
      EXPECT_GE(talk.talk().separator.top, bottom) << c.mode;
    }
  }
}

}  // namespace
