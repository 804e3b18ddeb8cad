// Entry scripts that steer the conversation from data a test makes: a follow-up chain that comes back to
// itself ends and the topics return.
#include "ScriptRig.h"
#include "screens/ConversationScreen.h"
#include "script/SDialogEntry.h"

#include <gtest/gtest.h>

namespace {

TEST(ConversationScripts, AChainThatComesBackToItselfEnds) {
  ConversationScreen c;
  ASSERT_TRUE(c.entered);
  const scriptc::Bytes loop = CompileStatementsForTest("gofirst();");
  ASSERT_FALSE(loop.empty());
  SDialogEntryList list;
  auto* e = new SDialogEntry;
  e->text = "Round and round.";
  e->script = loop.data();
  e->scriptLength = u16(loop.size());
  list.entries.Add(e);
  SStateGame& game = c.state();
  game.temporaryConversation.Forget();
  game.temporaryConversation.second.Add(&list);
  game.temporaryPerson.conversation = &game.temporaryConversation;
  c.Switch(game.TalkTo(&game.temporaryPerson, 0, false));
  ASSERT_TRUE(c.Opened());
  EXPECT_EQ(c.Lines().back(), "Round and round.");
  EXPECT_EQ(c.Buttons(), "Goodbye|") << "the topics (none) and the exit are offered";
  EXPECT_EQ(c.talk().goFirst, 0u);
  c.Tap(SStateDialog::kExit);
  game.temporaryConversation.Forget();
  e->script = nullptr;
}

}  // namespace
