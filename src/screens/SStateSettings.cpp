#include "screens/SStateSettings.h"

#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "core/ui/SRgb.h"
#include "foundation/SSettings.h"
#include "graphics/SDisplay.h"
#include "platform/sound/SSoundManager.h"

namespace {

constexpr u32 kTextColour = RgbWord(0xC8C8C8), kEdgeColour = RgbWord(0x161616), kValueColour = RgbWord(0x64C8C8);
constexpr u32 kRadioColour = RgbWord(0x64C8C8), kRadioHighlight = STopicButtonCtrl::kYellow,
              kRadioShade = RgbWord(0x161616);
constexpr u32 kLitColour = RgbWord(0xC8C8C8), kDarkColour = RgbWord(0x585858);
constexpr char kUnsupported[] = "The screen resolution isn't supported.";

struct SNamedCode {
  const char* name;
  u32 code;
};

constexpr SNamedCode kActionTable[SStateSettings::kActions] = {
    {"none", 0},           {"forward", 1000},      {"back", 1002},  {"turn left", 1004}, {"turn right", 1006},
    {"strafe left", 3004}, {"strafe right", 3005}, {"spell", 3001}, {"hit", 3000},       {"use", 3006}};

constexpr SNamedCode kModifierChoices[] = {{"none", 0},   {"space", 32},  {"return", 13}, {"tab", 9},
                                           {"ctrl", 162}, {"shift", 160}, {"s", 115},     {"c", 99}};
struct SKeyChoices {
  SNamedCode choices[SStateSettings::kMaxChoices];
  u32 count;
};
constexpr SKeyChoices kKeyChoices[SStateSettings::kKeyRows] = {
    {{{"none", 0}, {"up arrow", 38}, {"w", 119}}, 3},
    {{{"none", 0}, {"down arrow", 40}, {"s", 115}}, 3},
    {{{"none", 0}, {"left arrow", 37}, {"q", 113}, {"a", 97}}, 4},
    {{{"none", 0}, {"right arrow", 39}, {"e", 101}, {"d", 100}}, 4},
    {{kModifierChoices[0], kModifierChoices[1], kModifierChoices[2], kModifierChoices[3], kModifierChoices[4],
      kModifierChoices[5]},
     6},
    {{kModifierChoices[0], kModifierChoices[1], kModifierChoices[2], kModifierChoices[3], kModifierChoices[4],
      kModifierChoices[5], kModifierChoices[6], kModifierChoices[7]},
     8},
    {{kModifierChoices[0], kModifierChoices[1], kModifierChoices[2], kModifierChoices[3], kModifierChoices[4],
      kModifierChoices[5]},
     6},
    {{{"none", 0}, {"a", 97}, {"q", 113}, {"left arrow", 37}}, 4},
    {{{"none", 0}, {"d", 100}, {"e", 101}, {"right arrow", 39}}, 4},
};

constexpr const char* kKeyboardLabels[SStateSettings::kKeyRows] = {
    "Foward:", "Backward:", "Turn left:", "Turn right:", "Use:", "Spell:", "Hit:", "Strafe left:", "Strafe right:"};
constexpr const char* kHardwareLabels[SStateSettings::kKeyRows] = {
    "Up arrow:", "Down arrow:", "Left arrow:", "Right arrow:", "Select:",
    "Calendar:", "Contacts:",   "Messaging:",  "Home:"};
constexpr const char* kViewSizeNames[3] = {"largest", "moderate", "smallest"};

bool ModeIn(i32 mode, std::initializer_list<i32> modes) {
  for (i32 m : modes)
    if (m == mode) return true;
  return false;
}

}  // namespace

// ---- the tables

bool SStateSettings::TurnableMode(i32 mode) { return ModeIn(mode, {3, 4, 6, 7, 9, 10}); }
bool SStateSettings::ViewSizeMode(i32 mode) { return ModeIn(mode, {2, 3, 4, 9, 10, 11, 14, 15}); }

i32 SStateSettings::ModeForOrientation(i32 mode, u32 o) {
  const bool landscape = o != 0;
  if (mode == 3 || mode == 4) return landscape ? 4 : 3;
  if (mode == 6 || mode == 7) return landscape ? 6 : 7;
  if (mode == 9 || mode == 10) return landscape ? 9 : 10;
  return mode;
}

u32 SStateSettings::FindAction(u32 code) {
  for (u32 i = 0; i < kActions; ++i)
    if (kActionTable[i].code == code) return i;
  return 0;
}

const char* SStateSettings::ActionName(u32 index) { return index < kActions ? kActionTable[index].name : "none"; }
u32 SStateSettings::ActionCode(u32 index) { return index < kActions ? kActionTable[index].code : 0; }
u32 SStateSettings::KeyChoiceCount(u32 row) { return row < kKeyRows ? kKeyChoices[row].count : 1; }

u32 SStateSettings::FindKeyChoice(u32 row, u32 code) {
  for (u32 i = 0; i < KeyChoiceCount(row) && row < kKeyRows; ++i)
    if (kKeyChoices[row].choices[i].code == code) return i;
  return 0;
}

const char* SStateSettings::KeyChoiceName(u32 row, u32 index) {
  return row < kKeyRows && index < kKeyChoices[row].count ? kKeyChoices[row].choices[index].name : "none";
}

u32 SStateSettings::KeyChoiceCode(u32 row, u32 index) {
  return row < kKeyRows && index < kKeyChoices[row].count ? kKeyChoices[row].choices[index].code : 0;
}

// ---- the settings of the current orientation

u32* SStateSettings::KeySet() const {
  if (!core) return nullptr;
  SSettings& s = core->settings;
  // Keyboard devices bind by character in their one table, whatever the orientation.
  if (KeyboardMode(core->displayMode)) return s.keys;
  return orientation == 1 ? s.lKeys : orientation == 2 ? s.rKeys : s.keys;
}

u32 SStateSettings::GetKeyEntry(u32 i) const {
  const u32* set = KeySet();
  return set && i < kKeyRows ? set[i] : 0;
}

void SStateSettings::SetKeyEntry(u32 i, u32 value) {
  if (u32* set = KeySet(); set && i < kKeyRows) set[i] = value;
}

u32 SStateSettings::ViewSize() const {
  if (!core) return 0;
  const SSettings& s = core->settings;
  return orientation == 1 ? s.lViewSize : orientation == 2 ? s.rViewSize : s.viewSize;
}

void SStateSettings::SetViewSize(u32 value) {
  if (!core) return;
  SSettings& s = core->settings;
  (orientation == 1 ? s.lViewSize : orientation == 2 ? s.rViewSize : s.viewSize) = value;
}

// ---- entering and leaving

void SStateSettings::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  SCtrl* const all[] = {&title,  &soundLabel, &musicLabel, &orientationLabel, &viewLabel, &viewValue,
                        &viewUp, &viewDown,   &keysLabel,  &defaultKeys,      &close};
  for (SCtrl* c : all) c->Attach(this);
  for (u32 k = 0; k < kLevels; ++k) {
    soundBoxes[k].Attach(this);
    musicBoxes[k].Attach(this);
    soundBoxes[k].inputMask = musicBoxes[k].inputMask = SCtrl::kInputPen;
  }
  for (STopicButtonCtrl& b : orientationButtons) b.Attach(this);
  for (u32 i = 0; i < kKeyRows; ++i) {
    keyLabels[i].Attach(this);
    keyValues[i].Attach(this);
    keyPrevious[i].Attach(this);
    keyNext[i].Attach(this);
  }
  if (gameCore) box.Attach(gameCore);
}

void SStateSettings::Enter(u32 w0, u32 w1, u32 w2, u32 w3) {
  SState::Enter(w0, w1, w2, w3);
  orientation = core && core->display ? core->display->Orientation() : 0;
  if (orientation > 2) orientation = 0;
  BuildPage();
  Paint();
  ResetInputGuard();
}

void SStateSettings::Leave(u32 next) {
  SState::Leave(next);
  child = nullptr;
}

void SStateSettings::BuildPage() {
  ClearControls();
  SetLayout(kLayout);
  left = top = 0;
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  const i32 mode = core ? core->displayMode : 0;
  SImageEntry* const* pictures = core ? core->pictures : nullptr;
  auto label = [&](STextCtrl& c, u16 id, const char* text, u32 align) {
    if (AddLayoutControl(&c, id)) c.SetTextStyled(text, align, 1, kTextColour, kEdgeColour);
  };
  auto pictureButton = [&](SButtonCtrl& b, u16 id, u32 slot, u32 key) {
    if (AddLayoutControl(&b, id)) b.SetPicture(pictures ? &pictures[slot] : nullptr, id, key);
  };

  if (AddLayoutControl(&title, kTitleId))
    title.SetTextStyled("Settings", STextCtrl::kCentred, 2, kTextColour, kEdgeColour);
  label(soundLabel, kSoundLabelId, "Sound volume:", STextCtrl::kLeft);
  for (u32 k = 0; k < kLevels; ++k) AddLayoutControl(&soundBoxes[k], SoundBoxId(k));
  label(musicLabel, kMusicLabelId, "Music volume:", STextCtrl::kLeft);
  for (u32 k = 0; k < kLevels; ++k) AddLayoutControl(&musicBoxes[k], MusicBoxId(k));
  RefreshVolumeBoxes();

  if (TurnableMode(mode)) {
    label(orientationLabel, kOrientationLabelId, "Orientation:", STextCtrl::kLeft);
    const char* names[3] = {"Portrait", "Left Landscape", "Right Landscape"};
    for (u32 o = 0; o < 3; ++o)
      if (AddLayoutControl(&orientationButtons[o], kOrientationIds[o]))
        orientationButtons[o].SetText(names[o], kOrientationIds[o], kRadioColour, kRadioHighlight, kRadioShade);
    MarkOrientation();
  }

  if (ViewSizeMode(mode)) {
    const char* text = orientation == 1                 ? "Left landscape view size:"
                       : orientation == 2               ? "Right landscape view size:"
                       : ModeIn(mode, {11, 14, 15, 16}) ? "View size:"
                                                        : "Portrait view size:";
    label(viewLabel, kViewLabelId, text, STextCtrl::kLeft | STextCtrl::kBottom);
    pictureButton(viewUp, kViewUpId, 449, 0);
    if (AddLayoutControl(&viewValue, kViewValueId))
      viewValue.SetTextStyled("", STextCtrl::kCentred, 1, kValueColour, kEdgeColour);
    pictureButton(viewDown, kViewDownId, 451, 0);
    ViewSizeName();
  }

  const bool keyboard = KeyboardMode(mode);
  const char* keysText = keyboard                        ? "Keys:"
                         : orientation == 1              ? "Left landscape keys:"
                         : orientation == 2              ? "Right landscape keys:"
                         : ModeIn(mode, {2, 5, 8, 11}) ? "Keys:"
                                                         : "Portrait keys:";
  label(keysLabel, kKeysLabelId, keysText, STextCtrl::kLeft);
  for (u32 i = 0; i < kKeyRows; ++i) {
    label(keyLabels[i], kKeyLabelIds[i], keyboard ? kKeyboardLabels[i] : kHardwareLabels[i], STextCtrl::kLeft);
    pictureButton(keyPrevious[i], kKeyPreviousIds[i], 449, 0);
    if (AddLayoutControl(&keyValues[i], kKeyValueIds[i]))
      keyValues[i].SetTextStyled("", STextCtrl::kCentred, 1, kValueColour, kEdgeColour);
    pictureButton(keyNext[i], kKeyNextIds[i], 451, 0);
  }
  if (AddLayoutControl(&defaultKeys, kDefaultKeysId))
    defaultKeys.SetText("Default keys", kDefaultKeysId, kRadioColour, kRadioHighlight, kRadioShade);
  RefreshKeyRows();
  pictureButton(close, kCloseId, 145, kUseAction);
  SetFullRepaint();
}

// ---- what the page shows

void SStateSettings::RefreshVolumeBoxes() {
  const u32 sound = core ? core->settings.soundVolume : 0, music = core ? core->settings.musicVolume : 0;
  for (u32 k = 0; k < kLevels; ++k) {
    soundBoxes[k].SetColour(k <= sound ? kLitColour : kDarkColour);
    musicBoxes[k].SetColour(k <= music ? kLitColour : kDarkColour);
  }
}

void SStateSettings::MarkOrientation() {
  for (u32 o = 0; o < 3; ++o) orientationButtons[o].SetLatched(o == orientation);
}

void SStateSettings::RefreshKeyRows() {
  const bool keyboard = core && KeyboardMode(core->displayMode);
  for (u32 i = 0; i < kKeyRows; ++i) {
    const u32 entry = GetKeyEntry(i);
    u32 index = 0, last = 0;
    const char* name = nullptr;
    if (keyboard) {
      index = FindKeyChoice(i, entry);
      last = KeyChoiceCount(i) - 1;
      name = KeyChoiceName(i, index);
    } else {
      index = FindAction(entry);
      last = kActions - 1;
      name = ActionName(index);
    }
    keyValues[i].SetText(name);
    keyPrevious[i].Enable(index >= 1);
    keyNext[i].Enable(index < last);
  }
}

void SStateSettings::ViewSizeName() {
  u32 size = ViewSize();
  if (size > 2) {
    size = 0;
    SetViewSize(0);
    if (core) core->SaveSettings();
  }
  viewValue.SetText(kViewSizeNames[size]);
  viewUp.Enable(size < 2);
  viewDown.Enable(size >= 1);
}

// ---- commands

u32 SStateSettings::OnCommand(u16 code) {
  if (child == &box) {
    if (code != SDialogMessage::kOk) return 0;
    CloseChild();
    SetFullRepaint();
    return 0;
  }
  if (code == kCloseId) {
    if (core) {
      core->PlayClick(1);
      core->SaveSettings();
    }
    return u32(kStateReturn);
  }
  for (u32 k = 0; k < kLevels; ++k) {
    if (code == SoundBoxId(k)) SetSoundVolume(k);
    if (code == MusicBoxId(k)) SetMusicVolume(k);
  }
  for (u32 o = 0; o < 3; ++o)
    if (code == kOrientationIds[o]) SetOrientation(o);
  if (code == kViewUpId) ViewSizeUp();
  if (code == kViewDownId) ViewSizeDown();
  for (u32 i = 0; i < kKeyRows; ++i) {
    if (code == kKeyPreviousIds[i]) PreviousKey(i);
    if (code == kKeyNextIds[i]) NextKey(i);
  }
  if (code == kDefaultKeysId) DefaultKeys();
  return 0;
}

void SStateSettings::SetSoundVolume(u32 level) {
  if (!core) return;
  core->settings.soundVolume = level;
  core->SaveSettings();
  if (core->soundManager) core->soundManager->SetVolumes(i32(level), i32(core->settings.musicVolume));
  core->PlayClick(0);
  RefreshVolumeBoxes();
}

void SStateSettings::SetMusicVolume(u32 level) {
  if (!core) return;
  core->settings.musicVolume = level;
  core->SaveSettings();
  // The click sounds at the new music level, then the sound volume is back.
  const u32 sound = core->settings.soundVolume;
  if (core->soundManager) {
    core->soundManager->SetVolumes(i32(level), i32(level));
    core->PlayClick(0);
    core->soundManager->SetVolumes(i32(sound), i32(level));
  }
  core->settings.soundVolume = sound;
  RefreshVolumeBoxes();
}

bool SStateSettings::ApplyMode() {
  return core && core->display && core->display->ApplyScreenMode(false) && core->DisplayFitsPicture();
}

void SStateSettings::SetOrientation(u32 o) {
  if (!core || !core->display || o > 2 || o == orientation) return;
  core->PlayClick(0);
  const u32 oldOrientation = orientation, oldStartMode = core->settings.startMode;
  const i32 oldMode = core->displayMode;
  orientation = o;
  core->display->SetOrientation(o);
  core->settings.startMode = o;
  core->SaveSettings();
  core->SetDisplayMode(u32(ModeForOrientation(oldMode, o)));
  core->Present();
  if (!ApplyMode()) {
    // Refused as a start on such a screen is refused: the previous orientation and mode come back.
    orientation = oldOrientation;
    core->display->SetOrientation(oldOrientation);
    core->settings.startMode = oldStartMode;
    core->SaveSettings();
    core->SetDisplayMode(u32(oldMode));
    if (!ApplyMode()) {
      if (DuskmireApp* app = DuskmireApp::Application()) app->EndWith(kUnsupported);
      return;
    }
    core->BeginFrame();
    BuildPage();
    if (core->observer) core->observer->OnMessage("settings", "message box", kUnsupported, SDialogMessage::kOk);
    core->ShowMessageBox(kUnsupported, SDialogMessage::kOk, &boxText, &box, this);
    Paint();
    return;
  }
  core->BeginFrame();
  BuildPage();
  Paint();
}

void SStateSettings::ViewSizeUp() {
  core->PlayClick(0);
  SetViewSize(ViewSize() + 1);
  core->SaveSettings();
  ViewSizeName();
  SetFullRepaint();
}

void SStateSettings::ViewSizeDown() {
  core->PlayClick(0);
  const u32 size = ViewSize();
  SetViewSize(size > 0 ? size - 1 : 0);
  core->SaveSettings();
  ViewSizeName();
  SetFullRepaint();
}

void SStateSettings::NextKey(u32 row) {
  if (!core) return;
  core->PlayClick(0);
  const u32 entry = GetKeyEntry(row);
  if (KeyboardMode(core->displayMode)) {
    const u32 index = FindKeyChoice(row, entry);
    SetKeyEntry(row, KeyChoiceCode(row, index + 1 < KeyChoiceCount(row) ? index + 1 : index));
  } else {
    // An action the table does not know starts again at "forward".
    const u32 index = FindAction(entry);
    const bool known = ActionCode(index) == entry;
    SetKeyEntry(row, !known ? ActionCode(1) : ActionCode(index + 1 < kActions ? index + 1 : index));
  }
  core->SaveSettings();
  RefreshKeyRows();
  SetFullRepaint();
}

void SStateSettings::PreviousKey(u32 row) {
  if (!core) return;
  core->PlayClick(0);
  const u32 entry = GetKeyEntry(row);
  if (KeyboardMode(core->displayMode)) {
    const u32 index = FindKeyChoice(row, entry);
    SetKeyEntry(row, KeyChoiceCode(row, index > 0 ? index - 1 : 0));
  } else {
    const u32 index = FindAction(entry);
    SetKeyEntry(row, ActionCode(index > 0 ? index - 1 : 0));
  }
  core->SaveSettings();
  RefreshKeyRows();
  SetFullRepaint();
}

void SStateSettings::DefaultKeys() {
  if (!core) return;
  core->PlayClick(0);
  const u32* defaults = SSettings::DefaultKeys(orientation, KeyboardMode(core->displayMode));
  for (u32 i = 0; i < kKeyRows; ++i) SetKeyEntry(i, defaults[i]);
  core->SaveSettings();
  RefreshKeyRows();
  SetFullRepaint();
}
