// The text recorder through the real program: each text a screen draws is heard once per paint with the
// control and dialog that drew it, and its box lies in that control.
#include "SaveScreens.h"
#include "core/SGameCore.h"
#include "core/ui/SCtrl.h"
#include "screens/SStateSettings.h"
#include "support/TextRecord.h"

#include <gtest/gtest.h>

using namespace savescreens;

TEST(TextRecord, NamesTheControlAndDialogThatDrewEachText) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  TextRecord texts(game);
  ASSERT_TRUE(OpenOverCurrent(game, kStateSettings));
  const TextRecord::Text* sound = nullptr;
  for (const TextRecord::Text& t : texts.texts()) {
    if (t.text == "Sound volume:") sound = &t;
  }
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->dialogType, "SStateSettings");
  EXPECT_EQ(sound->dialog, game.core().currentState);
  ASSERT_NE(sound->control, nullptr);
  EXPECT_EQ(sound->control->owner, sound->dialog);
  EXPECT_EQ(sound->controlId, 595u);
  EXPECT_EQ(sound->layoutId, 46u);
  // The box the control gave lies in its rectangle, and the drawn line in the box.
  EXPECT_GE(sound->x1, sound->cx);
  EXPECT_LE(sound->x2, sound->cx + sound->cw);
  EXPECT_FALSE(sound->overflowsBox()) << sound->describe();
  EXPECT_FALSE(sound->cut);
  EXPECT_EQ(sound->lines, 1);
  EXPECT_NE(sound->describe().find("SStateSettings layout 46"), std::string::npos) << sound->describe();

  // A full repaint draws the screen's texts again.
  const SCtrl* control = sound->control;
  texts.clear();
  game.frame(2);
  const size_t idle = texts.texts().size();
  game.core().currentState->SetFullRepaint();
  game.frame();
  EXPECT_GT(texts.texts().size(), idle);
  EXPECT_FALSE(texts.byControl(control).empty());
}
