// The on-screen keyboard: the capital rules, the line's limits, keys typed with the pen, hardware keys that
// type nothing, and accept and cancel reaching the parent with the second click.
#include "UiRig.h"
#include "core/ui/SDialogTextEdit.h"
#include "graphics/SFont.h"

#include <string>

namespace {

// A keyboard opened over a parent that logs its commands; key clicks and the click sounds are logged too.
struct KeyboardRig {
  explicit KeyboardRig(i32 mode = 7, u16 w = 240, u16 h = 320) : rig(mode, w, h), parent("parent", &log) {
    rig.LogClicks(&log);
    auto* clicks = new LoggedSound(&log, "key click");
    static_cast<SResource*>(clicks)->name.Set("bsnd_clicks");
    clicks->record = new SRecordData(new u8[4](), 4);  // resident: nothing to read
    rig.core.world.sounds.sounds.InsertByNameHash(clicks);
    rig.core.world.SetSoundManager(rig.core.soundManager);
    parent.Attach(&rig.core);
    parent.result = 77;
    keyboard.Attach(&rig.core);
    keyboard.Create();
    parent.OpenChild(&keyboard);
  }
  // Types through the keys' command codes: letters, digits, ' ' space, '^' shift, '<' backspace.
  void Type(const std::string& keys) {
    for (char c : keys) {
      u16 code = 0;
      if (c == ' ')
        code = SDialogTextEdit::kSpace;
      else if (c == '^')
        code = SDialogTextEdit::kShift;
      else if (c == '<')
        code = SDialogTextEdit::kBackspace;
      else
        code = u16(SDialogTextEdit::kFirstKey + std::string("qwertyuiopasdfghjklzxcvbnm1234567890").find(c));
      EXPECT_EQ(keyboard.OnCommand(code), 0u) << c;
    }
  }
  // A pen-down and pen-up on a control, in a later frame than the last input.
  u32 Tap(const SCtrl& c) {
    ++rig.core.frameCounter;
    keyboard.OnPen(c.left + c.width / 2, c.top + c.height / 2, 1, 0);
    return keyboard.OnPen(c.left + c.width / 2, c.top + c.height / 2, 0, 0);
  }

  UiRig rig;
  EventLog log;
  LogDialog parent;
  SDialogTextEdit keyboard;
};

TEST(Keyboard, CapitalRules) {
  using K = SDialogTextEdit;
  const struct {
    const char* initial;
    const char* keys;
    const char* text;
    u8 shift;
  } cases[] = {
      {"", "", "", K::kCapitalNext},         {"", "ann", "Ann", K::kLower},       {"", "ann bo", "Ann Bo", K::kLower},
      {"", "ann ", "Ann ", K::kCapitalNext}, {"", "^ab c", "AB C", K::kCapsLock}, {"", "^^ab", "ab", K::kLower},
      {"", "a^b", "AB", K::kLower},          {"", "ab<<", "", K::kCapitalNext},   {"", "ab<<c", "C", K::kLower},
      {"", "ab c<", "Ab ", K::kCapitalNext}, {"", "ab c<d", "Ab D", K::kLower},   {"", "ab<", "A", K::kLower},
      {"", "^ab<<", "", K::kCapsLock},       {"", "<", "", K::kCapitalNext},      {"Tom", "", "Tom", K::kLower},
      {"Tom", "x", "Tomx", K::kLower},       {"Tom", "<<<", "", K::kCapitalNext}, {"", "12 3", "12 3", K::kLower},
      {"", "^1 2", "1 2", K::kCapsLock},     {"", "7a", "7a", K::kLower},
  };
  for (const auto& c : cases) {
    KeyboardRig r;
    r.keyboard.SetText(c.initial);
    r.Type(c.keys);
    EXPECT_STREQ(r.keyboard.GetText(), c.text) << c.initial << " + " << c.keys;
    EXPECT_EQ(r.keyboard.shiftState, c.shift) << c.initial << " + " << c.keys;
    // The captions and the indicator follow the state.
    EXPECT_STREQ(r.keyboard.keys[0].label.CStr(), c.shift == K::kLower ? "q" : "Q") << c.keys;
    EXPECT_EQ(r.keyboard.shiftIndicator.text.IsEmpty(), c.shift == K::kLower) << c.keys;
  }
  // Digits, space, shift and backspace keep their captions.
  KeyboardRig r;
  r.keyboard.SetText("");
  EXPECT_STREQ(r.keyboard.keys[26].label.CStr(), "1");
  EXPECT_STREQ(r.keyboard.keys[35].label.CStr(), "0");
  EXPECT_STREQ(r.keyboard.keys[36].label.CStr(), "space");
  EXPECT_STREQ(r.keyboard.keys[37].label.CStr(), "shift");
  EXPECT_EQ(r.keyboard.shiftIndicator.text.CharAt(0), SDialogTextEdit::kCapitalGlyph);
  r.Type("^");
  EXPECT_EQ(r.keyboard.shiftIndicator.text.CharAt(0), SDialogTextEdit::kCapsLockGlyph);
}

TEST(Keyboard, TheLinesLimits) {
  // On the wide screen fifty narrow letters fit: the 51st is refused.
  KeyboardRig wide(14, 800, 480);
  wide.keyboard.SetText(std::string(60, 'l').c_str());
  EXPECT_EQ(std::string(wide.keyboard.GetText()), std::string(50, 'l')) << "an initial text is cut to the limit";
  wide.keyboard.SetText(std::string(49, 'l').c_str());
  wide.Type("ll");
  EXPECT_EQ(std::string(wide.keyboard.GetText()), std::string(50, 'l'));

  // On the small screen the line fills up first: a character that would reach the edge is refused.
  KeyboardRig small;
  small.keyboard.SetText("");
  for (int i = 0; i < 40; ++i) small.Type("w");
  const std::string text = small.keyboard.GetText();
  EXPECT_LT(text.size(), 40u);
  SFont& font = *small.rig.core.font;
  font.Select(1, 0, 0);
  EXPECT_LT(font.TextWidth(text.c_str()) + 2, small.keyboard.edit.width);
  EXPECT_GE(font.TextWidth((text + "w").c_str()) + 2, small.keyboard.edit.width);
}

TEST(Keyboard, PenKeysHardwareKeysAndTheParent) {
  KeyboardRig r;
  r.keyboard.SetText("");
  SDialogTextEdit& k = r.keyboard;
  // "a" (key 167) and space with the pen, each with its click.
  EXPECT_EQ(r.Tap(k.keys[167 - 157]), 0u);
  EXPECT_EQ(r.Tap(k.keys[193 - 157]), 0u);
  EXPECT_STREQ(k.GetText(), "A ");
  EXPECT_EQ(r.log.Take(), "key click at 10; key click at 10");
  // Shift clicks nothing.
  EXPECT_EQ(r.Tap(k.keys[194 - 157]), 0u);
  EXPECT_EQ(r.log.Take(), "");

  // Hardware keys type nothing, through the parent as through the keyboard.
  for (u32 key : {1000u, 1002u, 3006u, 3007u, 13u, 65u, 97u, 32u, 8u}) {
    ++r.rig.core.frameCounter;
    EXPECT_EQ(r.parent.OnKey(key), 0u) << key;
  }
  EXPECT_STREQ(k.GetText(), "A ");
  EXPECT_EQ(r.log.Take(), "");

  // Accept and cancel: the second click, then the parent's command handler, whose result is the answer.
  EXPECT_EQ(r.Tap(k.accept), 77u);
  EXPECT_EQ(r.log.Take(), "click 2 at 10; parent command 25");
  EXPECT_EQ(r.Tap(k.cancel), 77u);
  EXPECT_EQ(r.log.Take(), "click 2 at 10; parent command 26");
  EXPECT_STREQ(k.GetText(), "A ");
  // Other codes do nothing.
  EXPECT_EQ(k.OnCommand(19), 0u);
  EXPECT_EQ(k.OnCommand(196), 0u);
  EXPECT_EQ(r.log.Take(), "");
}

TEST(Keyboard, LayoutOnEveryScreen) {
  const struct {
    i32 mode;
    u16 w, h;
  } screens[] = {{6, 320, 240},  {7, 240, 320},  {8, 240, 240},  {9, 640, 480},
                 {10, 480, 640}, {11, 480, 480}, {14, 800, 480}, {16, 640, 240}};
  for (const auto& s : screens) {
    KeyboardRig r(s.mode, s.w, s.h);
    const SDialogTextEdit& k = r.keyboard;
    // Centred, every key and both buttons placed, and each control inside the keyboard.
    EXPECT_EQ(k.left, (s.w - k.width) / 2) << s.mode;
    EXPECT_EQ(k.top, (s.h - k.height) / 2) << s.mode;
    EXPECT_EQ(k.controls.Count(), 6 + 39 + 2) << s.mode;
    for (u32 i = 0; i < k.controls.Count(); ++i) {
      const SCtrl* c = k.controls.At(i32(i));
      EXPECT_TRUE(c->left >= k.left && c->top >= k.top && c->left + c->width <= k.left + k.width &&
                  c->top + c->height <= k.top + k.height)
          << s.mode << " control " << c->id;
    }
    EXPECT_EQ(k.edit.maxLength, 50) << s.mode;
  }
}

}  // namespace
