// The settings screen through the real program: volumes reaching the speaker and the registry at once, the
// rows each display mode offers, an orientation change that switches the mode and the keys, the view size
// and key steppers at their ends, the default keys of one set, stored values outside the tables, close.
#include "SaveScreens.h"
#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "foundation/SSettings.h"
#include "graphics/SDisplay.h"
#include "os/Backend.h"
#include "os/headless/HeadlessWindows.h"
#include "platform/sound/SSoundManager.h"
#include "platform/video/VideoDetect.h"
#include "screens/SStateSettings.h"
#include "support/Png.h"

#include <gtest/gtest.h>

#include <map>

using namespace savescreens;

namespace {

using S = SStateSettings;

bool Enabled(const GameHarness& game, u32 id) {
  const std::vector<GameHarness::Control> all = game.controls();
  const GameHarness::Control* c = Shown(all, id);
  return c && (c->flags & SCtrl::kEnabled);
}

// Every key entry in the registry, by name.
std::map<std::string, u32> StoredKeys() {
  std::map<std::string, u32> out;
  for (const char* prefix : {"Key", "LKey", "RKey"})
    for (u32 i = 1; i <= 12; ++i) {
      const std::string name = prefix + std::to_string(i);
      out[name] = RegGetDword(name.c_str(), 0xDEAD);
    }
  return out;
}

size_t Clicks(const GameHarness& game) {
  size_t n = 0;
  for (const GameHarness::Sound& s : game.sounds())
    if (s.what == "sound") ++n;
  return n;
}

}  // namespace

// A sound box stores the level in the registry and the speaker at once, and the click follows; a music
// box clicks at the music level and puts the sound volume back.
TEST(SettingsScreen, VolumesAreLive) {
  GameHarness::Options options;
  options.soundDevice = true;
  GameHarness game(options);
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(OpenOverCurrent(game, kStateSettings));
  SSoundManager& sound = *game.core().soundManager;

  const size_t before = Clicks(game);
  game.tapControl(S::SoundBoxId(3));
  EXPECT_EQ(RegGetDword("SoundVolume", 99), 3u);
  EXPECT_EQ(game.core().settings.soundVolume, 3u);
  EXPECT_EQ(sound.Speaker()->SoundVolume(), 3u * 64 / 10);
  EXPECT_EQ(Clicks(game), before + 1);
  EXPECT_EQ(game.sounds().back().step, 10);

  game.tapControl(S::MusicBoxId(8));
  EXPECT_EQ(RegGetDword("MusicVolume", 99), 8u);
  EXPECT_EQ(RegGetDword("SoundVolume", 99), 3u) << "the sound volume is back";
  EXPECT_EQ(sound.Speaker()->SoundVolume(), 3u * 64 / 10);
  EXPECT_EQ(sound.Speaker()->MusicVolume(), 8u * 64 / 10);
  EXPECT_EQ(Clicks(game), before + 2);

  // Box 0 is lit at level 0, box 1 is not.
  game.tapControl(S::SoundBoxId(0));
  auto* screen = dynamic_cast<SStateSettings*>(game.core().currentState);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->soundBoxes[0].colour, 0xC8C8C8u);
  EXPECT_EQ(screen->soundBoxes[1].colour, 0x585858u);
  EXPECT_EQ(sound.Speaker()->SoundVolume(), 0u);
}

// Which rows each screen offers: orientation on the turnable modes, view size on the large ones.
TEST(SettingsScreen, RowsByDisplayMode) {
  struct Case {
    i32 mode;
    bool orientation, viewSize;
    const char* keysLabel;
    const char* firstKey;
  } const cases[] = {
      {7, true, false, "Portrait keys:", "Up arrow:"},
      {10, true, true, "Portrait keys:", "Up arrow:"},
      {14, false, true, "Keys:", "Foward:"},
  };
  for (const Case& c : cases) {
    GameHarness game(GameHarness::forMode(c.mode));
    ASSERT_TRUE(game.boot()) << game.startError();
    ASSERT_EQ(game.core().displayMode, c.mode);
    ASSERT_TRUE(OpenOverCurrent(game, kStateSettings));
    EXPECT_EQ(IsShown(game, S::kOrientationIds[0]), c.orientation) << c.mode;
    EXPECT_EQ(IsShown(game, S::kOrientationLabelId), c.orientation) << c.mode;
    EXPECT_EQ(IsShown(game, S::kViewValueId), c.viewSize) << c.mode;
    EXPECT_EQ(IsShown(game, S::kViewUpId), c.viewSize) << c.mode;
    EXPECT_EQ(TextOf(game, S::kKeysLabelId), c.keysLabel) << c.mode;
    EXPECT_EQ(TextOf(game, S::kKeyLabelIds[0]), c.firstKey) << c.mode;
    EXPECT_EQ(TextOf(game, S::kTitleId), "Settings");
  }
}

// Left landscape on 240x320: mode 7 becomes 6, the page is rebuilt for the turned screen, "StartMode" 1
// is stored and the hardware keys act through the left-landscape set at once. The marked orientation
// does nothing.
TEST(SettingsScreen, OrientationSwitchesModeAndKeys) {
  GameHarness game(GameHarness::forMode(7));
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(OpenOverCurrent(game, kStateSettings));
  EXPECT_EQ(game.app().MapKey(38), 1000u) << "up arrow: forward in portrait";
  game.tapControl(S::kOrientationIds[1]);
  EXPECT_EQ(game.core().displayMode, 6);
  EXPECT_EQ(game.core().display->Orientation(), 1u);
  EXPECT_EQ(game.core().display->Width(), 320u);
  EXPECT_EQ(RegGetDword("StartMode", 99), 1u);
  EXPECT_EQ(TextOf(game, S::kKeysLabelId), "Left landscape keys:");
  EXPECT_EQ(game.app().MapKey(38), 1004u) << "up arrow: LKey1, turn left";
  auto* screen = dynamic_cast<SStateSettings*>(game.core().currentState);
  ASSERT_NE(screen, nullptr);
  EXPECT_TRUE(screen->orientationButtons[1].IsLatched());
  EXPECT_FALSE(screen->orientationButtons[0].IsLatched());
  // Laid out for 320x240: the close button lies inside the turned picture.
  const SLayoutItem* closeItem = game.core().GetLayoutItem(S::kLayout, S::kCloseId);
  ASSERT_NE(closeItem, nullptr);
  EXPECT_EQ(screen->close.left, closeItem->x);
  EXPECT_EQ(screen->width, 320);

  const size_t clicks = Clicks(game);
  game.tapControl(S::kOrientationIds[1]);
  EXPECT_EQ(Clicks(game), clicks) << "the marked orientation plays no click";
  EXPECT_EQ(game.core().displayMode, 6);

  game.tapControl(S::kOrientationIds[0]);
  EXPECT_EQ(game.core().displayMode, 7);
  EXPECT_EQ(RegGetDword("StartMode", 99), 0u);
  EXPECT_EQ(game.app().MapKey(38), 1000u);
}

// The view size stops at "largest" and "smallest"; a stored size outside the table shows "largest" and
// is stored as 0; a stored key outside the table shows "none".
TEST(SettingsScreen, ViewSizeAndKeyStepsStopAtTheEnds) {
  GameHarness game(GameHarness::forMode(10));
  ASSERT_TRUE(game.boot()) << game.startError();
  game.core().settings.viewSize = 7;
  game.core().settings.keys[2] = 4242;
  ASSERT_TRUE(OpenOverCurrent(game, kStateSettings));
  EXPECT_EQ(TextOf(game, S::kViewValueId), "largest");
  EXPECT_EQ(RegGetDword("ViewSize", 99), 0u);
  EXPECT_EQ(TextOf(game, S::kKeyValueIds[2]), "none");
  EXPECT_FALSE(Enabled(game, S::kViewDownId));
  EXPECT_TRUE(Enabled(game, S::kViewUpId));
  game.tapControl(S::kViewUpId);
  EXPECT_EQ(TextOf(game, S::kViewValueId), "moderate");
  game.tapControl(S::kViewUpId);
  EXPECT_EQ(TextOf(game, S::kViewValueId), "smallest");
  EXPECT_EQ(RegGetDword("ViewSize", 99), 2u);
  EXPECT_FALSE(Enabled(game, S::kViewUpId));
  EXPECT_TRUE(Enabled(game, S::kViewDownId));

  // An action outside the table: next starts at "forward", previous gives "none".
  game.tapControl(S::kKeyNextIds[2]);
  EXPECT_EQ(TextOf(game, S::kKeyValueIds[2]), "forward");
  EXPECT_EQ(RegGetDword("Key3", 99), 1000u);
  game.core().settings.keys[3] = 4242;
  game.tapControl(S::kKeyPreviousIds[3]);
  EXPECT_EQ(TextOf(game, S::kKeyValueIds[3]), "none");
  EXPECT_FALSE(Enabled(game, S::kKeyPreviousIds[3]));
  // Row 8 from "hit" to "use", the last action.
  game.tapControl(S::kKeyNextIds[8]);
  EXPECT_EQ(TextOf(game, S::kKeyValueIds[8]), "use");
  EXPECT_FALSE(Enabled(game, S::kKeyNextIds[8]));
}

// Key row 5 on a keyboard device: "shift", "s", "c", and there it stops.
TEST(SettingsScreen, KeyboardRowFiveSteps) {
  GameHarness game(GameHarness::forMode(14));
  ASSERT_TRUE(game.boot()) << game.startError();
  game.core().settings.keys[5] = 160;
  ASSERT_TRUE(OpenOverCurrent(game, kStateSettings));
  EXPECT_EQ(TextOf(game, S::kKeyLabelIds[5]), "Spell:");
  EXPECT_EQ(TextOf(game, S::kKeyValueIds[5]), "shift");
  game.tapControl(S::kKeyNextIds[5]);
  EXPECT_EQ(TextOf(game, S::kKeyValueIds[5]), "s");
  game.tapControl(S::kKeyNextIds[5]);
  EXPECT_EQ(TextOf(game, S::kKeyValueIds[5]), "c");
  EXPECT_EQ(RegGetDword("KeyboardKey6", 0), 99u);
  EXPECT_EQ(RegGetDword("Key6", 0xDEAD), 0xDEADu) << "the other devices' table is neither read nor written";
  EXPECT_FALSE(Enabled(game, S::kKeyNextIds[5]));
  EXPECT_EQ(game.app().MapKey('c'), 3001u) << "c now casts";
}

// A settings file last written on a small screen (action codes, perhaps a turned start mode) leaves a
// keyboard device its letters: the page shows them as its one table of keys.
TEST(SettingsScreen, KeyboardDeviceShowsItsLettersWhateverASmallScreenStored) {
  const char* const letters[S::kKeyRows] = {"w", "s", "q", "e", "space", "c", "return", "a", "d"};
  const u32 smallScreenKeys[12] = {1000, 1002, 1004, 1006, 3006, 3001, 3004, 3005, 3000, 0, 0, 1};
  for (u32 startMode : {0u, 1u}) {
    GameHarness::Options options = GameHarness::forMode(14);
    options.startMode = startMode;
    for (u32 i = 0; i < 12; ++i) options.settings["Key" + std::to_string(i + 1)] = smallScreenKeys[i];
    GameHarness game(options);
    ASSERT_TRUE(game.boot()) << game.startError();
    ASSERT_TRUE(OpenOverCurrent(game, kStateSettings));
    EXPECT_EQ(TextOf(game, S::kKeysLabelId), "Keys:") << startMode;
    for (u32 i = 0; i < S::kKeyRows; ++i) EXPECT_EQ(TextOf(game, S::kKeyValueIds[i]), letters[i]) << startMode;
    EXPECT_EQ(game.app().MapKey('Q'), 1004u) << startMode;
    EXPECT_EQ(game.app().MapKey(37), 0u) << "the arrows stay unbound";
  }
}

// "Default keys" in left landscape changes only LKey1 to LKey9; close saves and returns.
TEST(SettingsScreen, DefaultKeysChangeOnlyTheCurrentSet) {
  GameHarness game(GameHarness::forMode(6));
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_EQ(game.core().display->Orientation(), 1u);
  SSettings& s = game.core().settings;
  for (u32 i = 0; i < 9; ++i) s.keys[i] = s.lKeys[i] = s.rKeys[i] = 3000;
  s.Save();
  const std::map<std::string, u32> before = StoredKeys();
  ASSERT_TRUE(OpenOverCurrent(game, kStateSettings));
  EXPECT_EQ(TextOf(game, S::kKeysLabelId), "Left landscape keys:");
  game.tapControl(S::kDefaultKeysId);
  const std::map<std::string, u32> after = StoredKeys();
  const u32* defaults = SSettings::DefaultKeys(1, false);
  for (const auto& [name, value] : after) {
    const bool left = name.rfind("LKey", 0) == 0 && std::stoi(name.substr(4)) <= 9;
    if (left) {
      EXPECT_EQ(value, defaults[std::stoi(name.substr(4)) - 1]) << name;
    } else {
      EXPECT_EQ(value, before.at(name)) << name;
    }
  }
  EXPECT_EQ(TextOf(game, S::kKeyValueIds[0]), "turn left");
  const i32 below = game.stateStack().back();
  game.tapControl(S::kCloseId);
  EXPECT_EQ(game.state(), below);
}

// The page as it shows on 240x320 and 800x480.
TEST(SettingsScreen, GoldenPages) {
  for (i32 mode : {7, 14}) {
    GameHarness game(GameHarness::forMode(mode));
    ASSERT_TRUE(game.boot()) << game.startError();
    ASSERT_TRUE(OpenOverCurrent(game, kStateSettings));
    game.frame(2);
    const Os::Panel& panel = game.panel();
    EXPECT_EQ(testpng::CompareGolden("settings_mode" + std::to_string(mode), panel.pixels.data(), panel.width,
                                     panel.height, panel.width),
              "");
  }
}

// A device whose display cannot be made turned: the old mode, orientation and "StartMode" stay and the
// player is told; when not even the old display can be made again, the program ends with the same text,
// as a failure.
TEST(SettingsScreen, AnOrientationTheDeviceCannotShowIsRefused) {
  GameHarness game(GameHarness::forMode(7));
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(OpenOverCurrent(game, kStateSettings));
  Hal::VideoDetect& detector = Hal::VideoDetect::Instance();
  // Only the upright mode is left.
  u32 kept = 0;
  for (u32 i = 0; i < detector.modeCount; ++i)
    if (detector.modes[i].orientation == 0) detector.modes[kept++] = detector.modes[i];
  ASSERT_GT(kept, 0u);
  detector.modeCount = kept;

  game.tapControl(S::kOrientationIds[2]);
  EXPECT_EQ(BoxText(game), "The screen resolution isn't supported.");
  EXPECT_EQ(game.core().displayMode, 7);
  EXPECT_EQ(game.core().display->Orientation(), 0u);
  EXPECT_EQ(RegGetDword("StartMode", 99), 0u);
  EXPECT_TRUE(game.core().DisplayFitsPicture());
  auto* screen = dynamic_cast<SStateSettings*>(game.core().currentState);
  ASSERT_NE(screen, nullptr);
  EXPECT_TRUE(screen->orientationButtons[0].IsLatched());
  EXPECT_FALSE(screen->orientationButtons[2].IsLatched());
  ASSERT_TRUE(TapBoxButton(game, "Ok"));
  EXPECT_EQ(BoxText(game), "");
  EXPECT_EQ(game.state(), kStateSettings);

  detector.modeCount = 0;
  game.tapControl(S::kOrientationIds[1]);
  game.frame(2);
  EXPECT_TRUE(game.ended());
  const auto& boxes = Os::HeadlessWindowSystem()->MessageBoxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().text, "The screen resolution isn't supported.");
  EXPECT_EQ(game.startError(), "The screen resolution isn't supported.") << "what the program's failure says";
  Hal::VideoDetect::ResetInstance();
}
