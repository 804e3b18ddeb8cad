// A card of the player's hand, raised when it is chosen, stays clear of what the player reads or taps on the
// card screen ("GIVE UP", the hit points, the card text and its frame), on every screen size.
#include "CardScreen.h"

#include <gtest/gtest.h>

namespace {

TEST(CardGame, ARaisedCardLeavesWhatThePlayerReadsOrTapsClear) {
  for (const CardScreenSize& m : kCardScreenSizes) {
    CardScreen screen(m.width, m.height, 3, m.startMode);
    ASSERT_TRUE(screen.ready);
    ASSERT_EQ(screen.core().displayMode, m.mode);
    screen.OpenBet(screen.Innkeeper());
    ASSERT_TRUE(screen.StartMatch()) << m.mode;
    SStateCard& s = screen.card();
    for (u32 position = 0; position < SCardSide::kHand; ++position) {
      const SCardCtrl& card = s.hands[SStateCard::kPlayer][position];
      const i32 x0 = card.homeX, y0 = card.homeY - card.lift, x1 = x0 + card.width, y1 = y0 + card.height;
      for (u32 i = 0; i < s.controls.Count(); ++i) {
        const SCtrl* c = s.controls.At(i32(i));
        if (!c || c == &card || !c->IsVisible()) continue;
        const std::string kind = GameHarness::className(typeid(*c));
        if (kind != "SButtonCtrl" && kind != "STextCtrl" && kind != "SNameTextCtrl" &&
            c->id != SStateCard::kTextFrameId)
          continue;
        const bool meet = x0 < c->left + c->width && c->left < x1 && y0 < c->top + c->height && c->top < y1;
        EXPECT_FALSE(meet) << "mode " << m.mode << ": the raised card " << card.id << " at " << x0 << "," << y0 << " "
                           << card.width << "x" << card.height << " meets " << kind << " " << c->id << " at " << c->left
                           << "," << c->top << " " << c->width << "x" << c->height;
      }
    }
  }
}

}  // namespace
