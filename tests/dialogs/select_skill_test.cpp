// The new player's skill picker: which of the skills' names its buttons show on each display mode.
#include "core/CoreRig.h"
#include "dialogs/SDialogSelectSkill.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void Put(std::vector<u8>& b, size_t at, u16 v) {
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = u8(v);
  b[at + 1] = u8(v >> 8);
}

// A layout record holding the picker's screen with its twenty skill buttons, one variant per mode: the
// screen table, the screen's variant list right after it, then the variants.
std::vector<u8> PickerLayout(const std::vector<u16>& modes) {
  std::vector<u8> b;
  Put(b, 0, 1);
  Put(b, 2, 6);
  Put(b, 4, u16(SDialogSelectSkill::kLayout));
  Put(b, 6, u16(modes.size()));
  b.resize(8 + 4 * modes.size());
  for (size_t v = 0; v < modes.size(); ++v) {
    const size_t at = b.size();
    Put(b, 8 + 4 * v, u16(at));
    Put(b, 10 + 4 * v, modes[v]);
    Put(b, at, 236);
    Put(b, at + 2, 308);
    Put(b, at + 4, u16(SDialogSelectSkill::kSkills));
    for (u16 s = 0; s < SDialogSelectSkill::kSkills; ++s) {
      const u16 item[5] = {u16(SDialogSelectSkill::kFirstButtonId + s), u16(10 + 110 * (s / 10)),
                           u16(30 + 17 * (s % 10)), 106, 16};
      for (size_t f = 0; f < 5; ++f) Put(b, at + 6 + 10 * s + 2 * f, item[f]);
    }
  }
  return b;
}

}  // namespace

// Medium names on the small screens of modes 5, 6, 7, 8, 12, 13 and 16; full names on mode 2, small too,
// and on every larger screen.
TEST(SelectSkill, TheButtonsNameTheSkillsAsTheScreenHasRoomFor) {
  const struct {
    u16 mode;
    const char* third;  // Heavy Weapon, whose medium name is shorter
  } cases[] = {{2, "Heavy Weapon"},  {5, "Heavy Weap"},    {6, "Heavy Weap"},   {7, "Heavy Weap"},
               {8, "Heavy Weap"},    {9, "Heavy Weapon"},  {10, "Heavy Weapon"}, {11, "Heavy Weapon"},
               {12, "Heavy Weap"},   {13, "Heavy Weap"},   {14, "Heavy Weapon"}, {15, "Heavy Weapon"},
               {16, "Heavy Weap"}};
  std::vector<u16> modes;
  for (const auto& c : cases) modes.push_back(c.mode);
  const std::vector<u8> layout = PickerLayout(modes);
  CoreRig rig;
  ASSERT_TRUE(rig.core.layouts.Load(layout.data(), u32(layout.size())));
  rig.core.world.rules.skills.Fill();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    rig.core.SetDisplayMode(c.mode);
    SDialogSelectSkill picker;
    picker.Attach(&rig.core);
    picker.Open(3);
    EXPECT_STREQ(picker.buttons[2].caption.CStr(), c.third);
    EXPECT_STREQ(picker.buttons[1].caption.CStr(), "Light Weapon") << "the same in both";
  }
}
