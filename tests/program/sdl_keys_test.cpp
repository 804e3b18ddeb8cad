// The PC keyboard in the SDL window as the game meets it: the window's key translation (no window needed)
// read through the live game's key tables. Arrows follow the orientation the game reads its keys by, and
// every key the settings screen offers on a keyboard device arrives with the code the game binds.
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "os/Backend.h"
#include "os/headless/HeadlessWindows.h"
#include "os/sdl/SdlBackend.h"
#include "screens/SStateSettings.h"
#include "support/GameHarness.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The orientation code the game told the window system, which the window turns its arrows by.
u32 SharedOrientation() { return Os::HeadlessWindowSystem()->KeyOrientation(); }

struct Arrow {
  i32 sdlKey;
  u16 action;
};
// With the default tables, in every orientation.
const Arrow kArrows[] = {
    {SDLK_UP, kActionForward}, {SDLK_DOWN, kActionBack}, {SDLK_LEFT, kActionTurnLeft}, {SDLK_RIGHT, kActionTurnRight}};

// Each arrow pressed and released through the translation: the game acts on the key-down as the arrow
// says and holds it, and the key-up lets go of that very key.
void PressArrows(GameHarness& game, const std::string& where) {
  DuskmireApp& app = game.app();
  for (const Arrow& arrow : kArrows) {
    Os::SdlKeys keys;
    const i32 down = keys.Down(arrow.sdlKey, SharedOrientation());
    EXPECT_EQ(app.MapKey(u32(down)), arrow.action) << where << ", arrow " << SDL_GetKeyName(arrow.sdlKey);
    app.OnKeyDown(u32(down));
    EXPECT_EQ(app.heldAction, arrow.action) << where << ", arrow " << SDL_GetKeyName(arrow.sdlKey);
    const i32 up = keys.Up(arrow.sdlKey, SharedOrientation());
    EXPECT_EQ(up, down) << where << ", arrow " << SDL_GetKeyName(arrow.sdlKey);
    app.OnKeyUp(u32(up));
    EXPECT_EQ(app.heldAction, 0) << where << ", arrow " << SDL_GetKeyName(arrow.sdlKey);
  }
}

}  // namespace

// Every size that offers an orientation, started in each: Up steps forward, Down back, Left and Right
// turn, although the landscape tables bind the handheld's buttons otherwise.
TEST(SdlKeys, ArrowsKeepTheirMeaningInEveryOrientation) {
  const struct { int w, h; } sizes[] = {{240, 320}, {320, 240}, {480, 640}, {640, 480}};
  for (const auto& size : sizes)
    for (u32 orientation = 0; orientation < 3; ++orientation) {
      const std::string where =
          std::to_string(size.w) + "x" + std::to_string(size.h) + " orientation " + std::to_string(orientation);
      GameHarness::Options o;
      o.width = size.w;
      o.height = size.h;
      o.startMode = orientation;
      GameHarness game(o);
      ASSERT_TRUE(game.boot()) << where << ": " << game.startError();
      ASSERT_EQ(game.app().KeyOrientation(), orientation) << where;
      EXPECT_EQ(SharedOrientation(), orientation) << where;
      PressArrows(game, where);
    }
}

// A turn chosen in the settings reaches the window's arrows at once; an arrow held across the turn goes
// up as the key it went down as.
TEST(SdlKeys, ATurnInTheSettingsTurnsTheArrows) {
  GameHarness game(GameHarness::forMode(7));
  ASSERT_TRUE(game.boot()) << game.startError();
  Os::SdlKeys held;
  const i32 before = held.Down(SDLK_UP, SharedOrientation());
  EXPECT_EQ(before, Os::kKeyUp);
  game.core().currentState->keep = 1;
  game.setState(kStateSettings);
  ASSERT_EQ(game.state(), kStateSettings);
  game.tapControl(SStateSettings::kOrientationIds[1]);
  EXPECT_EQ(SharedOrientation(), 1u);
  EXPECT_EQ(held.Up(SDLK_UP, SharedOrientation()), before);
  EXPECT_EQ(held.Down(SDLK_UP, SharedOrientation()), Os::kKeyRight) << "pressed anew: the turned key";
  PressArrows(game, "after the turn to left landscape");
}

// On the keyboard sizes each choice of each row of the settings reaches the game with that row's action,
// when pressed and while held (the game polls held keys there), and lets go when released. A "StartMode"
// left by a turned handheld does not turn a keyboard's arrows.
TEST(SdlKeys, EveryKeyTheSettingsOfferReachesTheGame) {
  // The row's fixed action, entry by entry.
  const u16 actions[SStateSettings::kKeyRows] = {kActionForward,   kActionBack,     kActionTurnLeft,
                                                 kActionTurnRight, kActionUse,      kActionMagicBook,
                                                 kActionAttack,    kActionSideLeft, kActionSideRight};
  // The PC keys a player presses for a choice's name.
  auto hostKeys = [](const std::string& name) -> std::vector<i32> {
    if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return {SDLK_a + (name[0] - 'a')};
    if (name == "up arrow") return {SDLK_UP};
    if (name == "down arrow") return {SDLK_DOWN};
    if (name == "left arrow") return {SDLK_LEFT};
    if (name == "right arrow") return {SDLK_RIGHT};
    if (name == "space") return {SDLK_SPACE};
    if (name == "return") return {SDLK_RETURN, SDLK_KP_ENTER};
    if (name == "tab") return {SDLK_TAB};
    if (name == "ctrl") return {SDLK_LCTRL, SDLK_RCTRL};
    if (name == "shift") return {SDLK_LSHIFT, SDLK_RSHIFT};
    return {};
  };
  const struct { int w, h; } sizes[] = {{800, 480}, {800, 600}, {640, 240}};
  for (const auto& size : sizes) {
    const std::string screen = std::to_string(size.w) + "x" + std::to_string(size.h);
    GameHarness::Options o;
    o.width = size.w;
    o.height = size.h;
    o.startMode = 1;
    GameHarness game(o);
    ASSERT_TRUE(game.boot()) << screen << ": " << game.startError();
    EXPECT_EQ(SharedOrientation(), 0u) << screen;
    DuskmireApp& app = game.app();
    u32* entries = game.core().settings.keys;
    Os::WindowSystem& windows = Os::Windows();
    for (u32 row = 0; row < SStateSettings::kKeyRows; ++row)
      for (u32 choice = 1; choice < SStateSettings::KeyChoiceCount(row); ++choice) {
        const std::string name = SStateSettings::KeyChoiceName(row, choice);
        const std::string where = screen + ", row " + std::to_string(row) + ", \"" + name + "\"";
        const std::vector<i32> pressed = hostKeys(name);
        ASSERT_FALSE(pressed.empty()) << where << ": which PC key is that?";
        // This row alone bound, so that no other row's default takes the key first.
        for (u32 i = 0; i < SStateSettings::kKeyRows; ++i) entries[i] = 0;
        entries[row] = SStateSettings::KeyChoiceCode(row, choice);
        for (i32 sdlKey : pressed) {
          Os::SdlKeys keys;
          const i32 down = keys.Down(sdlKey, SharedOrientation());
          EXPECT_EQ(app.MapKey(u32(down)), actions[row]) << where << " as " << SDL_GetKeyName(sdlKey);
          windows.PostMessage(app.window, Os::kMsgKeyDown, Os::WParam(down), 1);
          EXPECT_EQ(app.PolledAction(), actions[row]) << where << " held as " << SDL_GetKeyName(sdlKey);
          windows.PostMessage(app.window, Os::kMsgKeyUp, Os::WParam(keys.Up(sdlKey, SharedOrientation())),
                              Os::LParam(0xC0000001u));
          EXPECT_EQ(app.PolledAction(), 0) << where << " released as " << SDL_GetKeyName(sdlKey);
        }
      }
  }
}
