#include "core/ui/SDialogTextEdit.h"

#include "core/SGameCore.h"
#include "platform/sound/SSoundManager.h"

namespace {

// The characters of keys 157 to 192, in key order: three rows of letters, then the digits 1 to 9 and 0.
constexpr char kKeyCharacters[] = "qwertyuiopasdfghjklzxcvbnm1234567890";
static_assert(sizeof(kKeyCharacters) - 1 == SDialogTextEdit::kCharacterKeys);

constexpr u32 kUsedKeys = SDialogTextEdit::kBackspace - SDialogTextEdit::kFirstKey + 1;
static_assert(kUsedKeys <= SDialogTextEdit::kKeyCount);

// The frames of the layout: the keyboard's own, and the separator under the edit line (bottom side only).
constexpr u32 kFrame = 19, kSeparator = 197, kKeyBackground = 198, kEditFrame = 199, kEditLine = 40,
              kShiftIndicator = 196;

bool IsLetter(char c) { return c >= 'a' && c <= 'z'; }
char Upper(char c) { return IsLetter(c) ? char(c - 'a' + 'A') : c; }

}  // namespace

void SDialogTextEdit::Create() {
  ClearControls();
  SetLayout(kLayout);
  CenterOnScreen();
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  SImageEntry* const* small = core ? &core->pictures[77] : nullptr;
  SImageEntry* const* own = core ? core->FrameSet() : nullptr;

  frames[0].Attach(this);
  if (AddLayoutControl(&frames[0], kFrame)) frames[0].SetFrame(own, 0, 0, 15);
  frames[1].Attach(this);
  if (AddLayoutControl(&frames[1], kSeparator)) frames[1].SetFrame(small, 0, 0, 4);
  keyBackground.Attach(this);
  if (AddLayoutControl(&keyBackground, kKeyBackground)) {
    keyBackground.SetPicture(core ? core->Picture(262) : nullptr);
    keyBackground.tileMode = 1;
  }
  editFrame.Attach(this);
  if (AddLayoutControl(&editFrame, kEditFrame)) editFrame.SetFrame(small, 1, 0, 15);
  edit.Attach(this);
  if (AddLayoutControl(&edit, kEditLine)) edit.SetDefaults();
  edit.maxLength = kMaxLength;
  shiftIndicator.Attach(this);
  if (AddLayoutControl(&shiftIndicator, kShiftIndicator))
    shiftIndicator.SetTextStyled("", STextCtrl::kCentred, 1, 0xC8C8C8, 0);

  SImageEntry* const* up = core ? &core->pictures[256] : nullptr;
  SImageEntry* const* down = core ? &core->pictures[259] : nullptr;
  for (u32 i = 0; i < kUsedKeys; ++i) {
    const u32 code = kFirstKey + i;
    char caption[2] = {i < kCharacterKeys ? kKeyCharacters[i] : kBackspaceGlyph, 0};
    const char* label = code == kSpace ? "space" : code == kShift ? "shift" : caption;
    SButtonCtrl& key = keys[i];
    key.Attach(this);
    // No key has a hot key: the hardware keys type nothing.
    if (AddLayoutControl(&key, code)) key.CreatePanel(down, up, label, code, 1, 0, 0x666E80, 0, 0x8CA5CE, 0);
  }
  accept.Attach(this);
  if (AddLayoutControl(&accept, kAccept)) accept.SetPicture(core ? &core->pictures[145] : nullptr, kAccept, 0);
  cancel.Attach(this);
  if (AddLayoutControl(&cancel, kCancel)) cancel.SetPicture(core ? &core->pictures[143] : nullptr, kCancel, 0);
  ResetInputGuard();
}

void SDialogTextEdit::SetText(const char* initial) {
  edit.SetText(initial);
  shiftState = edit.Text()[0] ? kLower : kCapitalNext;
  RefreshKeys();
}

void SDialogTextEdit::Click() {
  if (core) core->world.sounds.PlayByName("bsnd_clicks", 10);
}

void SDialogTextEdit::PressKey(char c) {
  Click();
  if (shiftState != kLower) c = Upper(c);
  edit.AddChar(c);
  if (c == ' ' && shiftState != kCapsLock) {
    shiftState = kCapitalNext;
    RefreshKeys();
  } else if (shiftState == kCapitalNext) {
    shiftState = kLower;
    RefreshKeys();
  }
}

void SDialogTextEdit::Backspace() {
  Click();
  edit.Backspace();
  const char* text = edit.Text();
  const u32 n = StrLength(text);
  const u8 before = shiftState;
  if (n && text[n - 1] != ' ') {
    if (shiftState == kCapitalNext) shiftState = kLower;
  } else if (shiftState != kCapsLock) {
    shiftState = kCapitalNext;
  }
  if (shiftState != before) RefreshKeys();
}

void SDialogTextEdit::CycleShift() {
  shiftState = u8((shiftState + 1) % 3);
  RefreshKeys();
}

void SDialogTextEdit::RefreshKeys() {
  const char indicator[2] = {shiftState == kCapitalNext ? kCapitalGlyph : kCapsLockGlyph, 0};
  shiftIndicator.SetText(shiftState == kLower ? "" : indicator);
  for (u32 i = 0; i < kLetterKeys; ++i) {
    const char caption[2] = {shiftState == kLower ? kKeyCharacters[i] : Upper(kKeyCharacters[i]), 0};
    keys[i].SetLabel(caption);
  }
}

u32 SDialogTextEdit::OnCommand(u16 code) {
  if (code >= kFirstKey && code < kFirstKey + kCharacterKeys) {
    PressKey(kKeyCharacters[code - kFirstKey]);
    return 0;
  }
  switch (code) {
    case kSpace: PressKey(' '); return 0;
    case kShift: CycleShift(); return 0;
    case kBackspace: Backspace(); return 0;
    case kAccept:
    case kCancel:
      if (core && core->soundManager && core->clickSounds[1]) core->soundManager->PlaySound(core->clickSounds[1], 10);
      return parent ? parent->OnCommand(code) : code;
    default: return 0;
  }
}
