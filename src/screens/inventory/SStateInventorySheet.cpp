// The character sheet's Main and Skills sub-pages: the player's values, and the attribute and skill points
// spent with raise buttons, which can be taken back with Undo until the page is built again.
#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "core/SPictureRoles.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "screens/SStateInventory.h"
#include "screens/inventory/SInventoryPictures.h"
#include "world/SCharacterTables.h"

namespace {

constexpr u32 kLabelColour = RgbWord(0xBEC8D2), kValueColour = RgbWord(0xC8C8C8), kShade = RgbWord(0x161616);

bool IsShortLabelMode(i32 mode) { return mode == 5 || mode == 7 || mode == 8; }

struct SheetLabel {
  u16 id;
  const char* text;
  const char* shortText;  // on modes 5, 7 and 8 (null: the same)
};

// The Main sub-page's labels.
const SheetLabel kMainLabels[] = {
    {142, "Race:", nullptr},
    {367, "Level:", nullptr},
    {365, "Xp:", "Level:"},
    {378, "Fame:", nullptr},
    {381, "Crime:", nullptr},
    {389, "Damage:", nullptr},
    {391, "Ac:", nullptr},
    {393, "Hp:", nullptr},
    {395, "Sp:", nullptr},
    {396, "Outfit:", nullptr},
    {563, "Attributes:", nullptr},
    {369, "Strength:", "Str:"},
    {371, "Dexterity:", "Dex:"},
    {375, "Endurance:", "End:"},
    {383, "Intelligence:", "Int:"},
    {386, "Personality:", "Per:"},
    {398, "Available points:", nullptr},  // "Available pts:" on the compact modes
    {401, "Resistances:", nullptr},
    {402, "Magic:", nullptr},
    {404, "Poison:", nullptr},
    {406, "Paralysis:", nullptr},
    {408, "Diseases:", nullptr},
};
constexpr u16 kPointsLabelId = 398;

// The Main sub-page's values, by these indices.
enum MainValue : u32 {
  kRace,
  kLevel,
  kXp,
  kFameWord,
  kCrime,
  kDamage,
  kAc,
  kHp,
  kSp,
  kOutfit,
  kFirstAttribute,
  kAttributePoints = kFirstAttribute + 5,
  kMagic,
  kPoison,
  kParalysis,
  kDiseases,
  kMainValues
};
constexpr u16 kMainValueIds[kMainValues] = {143, 368, 366, 380, 382, 390, 392, 394, 410, 397,
                                            370, 372, 376, 384, 387, 399, 403, 405, 407, 409};

// The Skills sub-page: its headings and points label, then the skill names and values (primary first).
constexpr u16 kPrimaryHeadingId = 564, kOtherHeadingId = 565, kSkillPointsLabelId = 452, kSkillPointsId = 453;
constexpr u32 kSkillRows = SStateInventory::kPrimarySkills + SStateInventory::kOtherSkills;
constexpr u16 SkillNameId(u32 row) {
  return u16(row < SStateInventory::kPrimarySkills ? 412 + 2 * row : 424 + 2 * (row - SStateInventory::kPrimarySkills));
}
constexpr u16 SkillRaiseId(u32 row) {
  return u16(row < SStateInventory::kPrimarySkills
                 ? SStateInventory::kFirstPrimaryRaiseId + row
                 : SStateInventory::kFirstOtherRaiseId + row - SStateInventory::kPrimarySkills);
}

// A number in the first glyph set, or the second when the value holds a bonus.
void AppendNumber(SString& out, const char* format, i32 value, bool bonus) {
  SString part;
  part.Format(format, value);
  if (bonus) {
    SGameCore::ConvertNumberGlyphsAlt(part);
  } else {
    SGameCore::ConvertNumberGlyphs(part);
  }
  out.Append(part.CStr());
}

void SetNumber(STextCtrl& c, const char* format, i32 value, bool bonus) {
  SString text;
  AppendNumber(text, format, value, bonus);
  c.SetText(text.CStr());
}

// The Undo button of a page, hidden until a raise is made.
void PlaceUndoButton(SDialog& page, STopicButtonCtrl& undo, u16 id) {
  if (!page.AddLayoutControl(&undo, id)) return;
  undo.fontNumber = 1;
  undo.SetText("Undo", id, RgbWord(0x64C8C8), STopicButtonCtrl::kYellow, kShade);
  undo.Hide();
}

}  // namespace

// ---- building

void SStateInventory::BuildCharacterPage() {
  const i32 mode = core ? core->displayMode : 0;
  u32 n = 0;
  for (const SheetLabel& l : kMainLabels) {
    STextCtrl& c = sheetLabels[n++];
    if (!AddLayoutControl(&c, l.id)) continue;
    const char* text = IsShortLabelMode(mode) && l.shortText ? l.shortText : l.text;
    if (l.id == kPointsLabelId && SGameCore::IsCompactMode(mode)) text = "Available pts:";
    c.SetTextStyled(text, STextCtrl::kLeft | STextCtrl::kMiddle, 1, kLabelColour, kShade);
  }
  for (u32 i = 0; i < kMainValues; ++i)
    if (AddLayoutControl(&sheetValues[i], kMainValueIds[i]))
      sheetValues[i].SetTextStyled("", STextCtrl::kLeft | STextCtrl::kMiddle, 1, kValueColour, kShade);
  if (AddLayoutControl(&fameGauge, kFameGaugeId)) {
    fameGauge.SetDefaults();  // -100 to 100 through 0
  }
  if (AddLayoutControl(&attributesFrame, kAttributesFrameId))
    attributesFrame.SetFrame(InventoryPicture::Border(core, SGameCore::IsCompactMode(mode) ? 'S' : 'M'), 0, 0, 15);
  for (u32 a = 0; a < 5; ++a)
    if (PlaceButton(*this, raiseButtons[a], kAttributeRaiseIds[a], PictureRole::kRaise)) raiseButtons[a].keyed = 1;
  PlaceUndoButton(*this, undoButton, kAttributeUndoId);
  RefreshCharacterValues();
}

void SStateInventory::BuildSkillsPage() {
  const i32 mode = core ? core->displayMode : 0;
  const bool compact = SGameCore::IsCompactMode(mode);
  const struct {
    u16 id;
    const char* text;
    u32 colour;
  } headings[] = {{kPrimaryHeadingId, "Primary skills:", RgbWord(0xFFFFFF)},
                  {kOtherHeadingId, "Other skills:", RgbWord(0xFFFFFF)},
                  {kSkillPointsLabelId, compact ? "Available pts:" : "Available points:", kLabelColour}};
  const SSkillTable* table = core ? &core->world.rules.skills : nullptr;
  for (u32 row = 0; row < kSkillRows; ++row) {
    STextCtrl& name = sheetLabels[row];
    if (AddLayoutControl(&name, SkillNameId(row))) {
      const u32 skill = row < kPrimarySkills ? core->player.majorSkills[row] : core->player.minorSkills[row - 6];
      const char* text = mode == 14                                                       ? table->FullName(skill)
                         : mode == 3 || mode == 5 || mode == 7 || mode == 8 || mode == 10 ? table->ShortName(skill)
                                                                                          : table->MediumName(skill);
      SString label;
      label.Format("%s:", text ? text : "");
      name.SetTextStyled(label.CStr(), STextCtrl::kLeft | STextCtrl::kMiddle, 1,
                         RgbWord(row < kPrimarySkills ? 0x64C8C8 : 0xB4BEC8), kShade);
    }
    if (AddLayoutControl(&sheetValues[row], u16(SkillNameId(row) + 1)))
      sheetValues[row].SetTextStyled("", STextCtrl::kLeft | STextCtrl::kMiddle, 1, kValueColour, kShade);
    if (PlaceButton(*this, raiseButtons[row], SkillRaiseId(row), PictureRole::kRaise)) raiseButtons[row].keyed = 1;
  }
  u32 n = kSkillRows;
  for (const auto& h : headings) {
    STextCtrl& c = sheetLabels[n++];
    if (AddLayoutControl(&c, h.id)) c.SetTextStyled(h.text, STextCtrl::kLeft | STextCtrl::kMiddle, 1, h.colour, kShade);
  }
  if (AddLayoutControl(&sheetValues[kSkillRows], kSkillPointsId))
    sheetValues[kSkillRows].SetTextStyled("", STextCtrl::kLeft | STextCtrl::kMiddle, 1, kValueColour, kShade);
  PlaceUndoButton(*this, undoButton, kSkillUndoId);
  RefreshSkillValues();
}

// ---- the Main sub-page's values

void SStateInventory::RefreshCharacterValues() {
  if (!core) return;
  SPlayer& p = core->player;
  SWorldRules& rules = core->world.rules;
  const i32 mode = core->displayMode;
  SString text, xp, next;

  const SRaceRow* race = rules.races.Row(p.race);
  sheetValues[kRace].SetText(race ? race->name.CStr() : "");
  SetNumber(sheetValues[kLevel], "%d", p.level, false);
  FormatMoneyText(p.xp, xp);
  FormatMoneyText(p.nextLevelXp, next);
  if (mode == 5 || mode == 7 || mode == 8) {
    text.Format("%u, xp: %s (next lvl: %s)", u32(p.level), xp.CStr(), next.CStr());
  } else if (mode == 16) {
    text.Format("%s\r(next lvl: %s)", xp.CStr(), next.CStr());
  } else if (SGameCore::IsCompactMode(mode)) {
    text.Format("%s (next lvl: %s)", xp.CStr(), next.CStr());
  } else {
    text.Format("%s (next level: %s)", xp.CStr(), next.CStr());
  }
  SGameCore::ConvertNumberGlyphs(text);
  sheetValues[kXp].SetText(text.CStr());

  fameGauge.SetValue(p.fame);
  fameGauge.MarkDirty();
  sheetValues[kFameWord].SetText(p.GetFameWord());
  FormatMoneyText(p.crime, text);
  SGameCore::ConvertNumberGlyphs(text);
  sheetValues[kCrime].SetText(text.CStr());

  i32 low = 0, high = 0;
  p.GetWeaponDamageRange(low, high, false);
  text.Format("%u-%u", u32(low > 0 ? low : 0), u32(high > 0 ? high : 0));
  SGameCore::ConvertNumberGlyphs(text);
  sheetValues[kDamage].SetText(text.CStr());
  bool bonus = false;
  const i32 ac = p.GetArmorClass(&bonus, 1);
  SetNumber(sheetValues[kAc], "%d", ac > 0 ? ac : 0, bonus);

  // Hit and spell points: the current value in the second set above the maximum.
  const i32 maxHp = p.GetMaxHpForDisplay(&bonus);
  text = "";
  AppendNumber(text, "%d/", p.hp, p.hp > maxHp);
  AppendNumber(text, "%d", maxHp > 0 ? maxHp : 0, bonus);
  sheetValues[kHp].SetText(text.CStr());
  const i32 maxSp = p.GetMaxManaForDisplay(&bonus);
  text = "";
  AppendNumber(text, "%d/", p.mana, p.mana > maxSp);
  AppendNumber(text, "%d", maxSp > 0 ? maxSp : 0, bonus);
  sheetValues[kSp].SetText(text.CStr());

  const i32 outfit = p.GetOutfitScore(&bonus);
  text = "";
  if (mode != 5 && mode != 8) {
    text.Append(p.GetOutfitWord());
    text.Append(" (");
  }
  AppendNumber(text, "%d", outfit > 0 ? outfit : 0, bonus);
  if (mode != 5 && mode != 8) text.Append(")");
  sheetValues[kOutfit].SetText(text.CStr());

  for (u32 a = 1; a <= 5; ++a) {
    // The value with load modifiers (drink included): that form always reports a bonus, so the value
    // takes the second glyph set and the base the first.
    i32 base = 0;
    const i32 value = p.GetAttribute(a, &bonus, &base, true);
    text = "";
    AppendNumber(text, "%d", value, bonus);
    text.AppendChar(11);
    AppendNumber(text, "(%d)", base, false);
    sheetValues[kFirstAttribute + a - 1].SetText(text.CStr());
    SButtonCtrl& b = raiseButtons[a - 1];
    if (b.IsInDialog()) b.Show(p.attributePoints > 0 && p.attributeAllowance[a] > 0);
  }
  SetNumber(sheetValues[kAttributePoints], "%d", p.attributePoints, false);
  bool bonuses[4] = {};
  const i32 resistances[4] = {p.GetMagicResistance(&bonuses[0]), p.GetPoisonResistance(&bonuses[1]),
                              p.GetParalysisResistance(&bonuses[2]), p.GetDiseaseResistance(&bonuses[3])};
  for (u32 i = 0; i < 4; ++i) SetNumber(sheetValues[kMagic + i], "%d%%", resistances[i], bonuses[i]);
  if (undoButton.IsInDialog()) undoButton.Show(attributeUndoCount > 0);
  SetFullRepaint();
}

void SStateInventory::RaiseAttribute(u16 code) {
  if (!core) return;
  SPlayer& p = core->player;
  for (u32 a = 1; a <= 5; ++a) {
    if (code != kAttributeRaiseIds[a - 1]) continue;
    // The button shows only when the raise is allowed; a code from elsewhere changes nothing.
    if (p.attributePoints == 0 || p.attributeAllowance[a] == 0) return;
    p.RaiseAttribute(a);
    ++attributeUndoCount;
    ++attributeUndo[a];
    RefreshCharacterValues();
    return;
  }
}

void SStateInventory::UndoAttributes() {
  if (!core) return;
  SPlayer& p = core->player;
  p.attributePoints = u16(p.attributePoints + attributeUndoCount);
  for (u32 a = 1; a <= 5; ++a) {
    p.attributeAllowance[a] = u16(p.attributeAllowance[a] + attributeUndo[a]);
    p.attributes[a] = u16(p.attributes[a] - attributeUndo[a]);
  }
  ClearAttributeUndo();
  RefreshCharacterValues();
}

void SStateInventory::ClearAttributeUndo() {
  attributeUndoCount = 0;
  for (u32& n : attributeUndo) n = 0;
}

// ---- the Skills sub-page's values

void SStateInventory::RefreshSkillValues() {
  if (!core) return;
  SPlayer& p = core->player;
  const SSkillTable& table = core->world.rules.skills;
  for (u32 row = 0; row < kSkillRows; ++row) {
    const bool primary = row < kPrimarySkills;
    const u32 skill = primary ? p.majorSkills[row] : p.minorSkills[row - kPrimarySkills];
    const bool known = skill >= 1 && skill <= kPlayerSkills;
    const bool barred = known && skill == BarredSkill(p.race);
    STextCtrl& value = sheetValues[row];
    SButtonCtrl& b = raiseButtons[row];
    bool shown = known && !(!primary && barred);
    if (!known || barred) {
      SetNumber(value, "%d", 0, !primary && barred);
    } else {
      bool bonus = false;
      const i32 sum = p.skills[skill] + p.SumEffects(kCategoryFortifySkill, skill, nullptr, &bonus);
      SetNumber(value, "%d", sum, bonus);
    }
    if (known) {
      shown = shown && (primary ? p.skillPoints > 0 : p.skillPoints >= 2) && p.skillAllowance[skill] > 0 &&
              p.skills[skill] < 100;
    }
    if (!b.IsInDialog()) continue;
    b.Show(shown);
    if (shown) {
      const u32 attribute = table.Attribute(skill);
      const u32 limit = attribute >= 1 && attribute <= 5 ? 2u * p.attributes[attribute] : 0;
      const bool refused = barred || p.skills[skill] >= limit;
      b.pictures = InventoryPicture::Set(core, refused ? PictureRole::kCannotRaise : PictureRole::kRaise);
      b.MarkDirty();
    }
  }
  SetNumber(sheetValues[kSkillRows], "%d", p.skillPoints, false);
  if (undoButton.IsInDialog()) undoButton.Show(skillUndoCount > 0);
  SetFullRepaint();
}

void SStateInventory::RaisePrimarySkill(u16 code) {
  if (code >= kFirstPrimaryRaiseId && code < kFirstPrimaryRaiseId + kPrimarySkills)
    RaiseSkillRow(code - kFirstPrimaryRaiseId);
}

void SStateInventory::RaiseOtherSkill(u16 code) {
  if (code >= kFirstOtherRaiseId && code < kFirstOtherRaiseId + kOtherSkills)
    RaiseSkillRow(kPrimarySkills + code - kFirstOtherRaiseId);
}

void SStateInventory::RaiseSkillRow(u32 row) {
  if (!core || row >= kSkillRows) return;
  SPlayer& p = core->player;
  const bool primary = row < kPrimarySkills;
  const u32 skill = primary ? p.majorSkills[row] : p.minorSkills[row - kPrimarySkills];
  if (skill < 1 || skill > kPlayerSkills) return;
  if (!p.CanRaiseSkill(skill)) return RefuseSkillRaise(skill);
  // The button shows only when the raise is allowed; a code from elsewhere changes nothing.
  if (p.skillPoints < (primary ? 1 : 2) || p.skillAllowance[skill] == 0 || p.skills[skill] >= 100) return;
  const u32 spent = p.RaiseSkill(skill);
  skillUndoCount += spent;
  skillUndoPoints[skill] += spent;
  ++skillUndoRaises[skill];
  RefreshSkillValues();
}

void SStateInventory::RefuseSkillRaise(u32 skill) {
  if (!core) return;
  SWorldRules& rules = core->world.rules;
  const char* skillName = rules.skills.FullName(skill);
  const char* attributeName = rules.attributes.Name(rules.skills.Attribute(skill));
  SString text;
  text.Format(
      "You can't improve this skill.\rThe %s skill's base value cannot be higher than the double of its governing "
      "attribute's base value (%s).",
      skillName ? skillName : "", attributeName ? attributeName : "");
  if (core->observer) core->observer->OnMessage("inventory", "message box", text.CStr(), SDialogMessage::kOk);
  core->ShowMessageBox(text.CStr(), SDialogMessage::kOk, &raiseText, &raiseBox, this);
  ResetInputGuard();
  SetFullRepaint();
}

void SStateInventory::UndoSkills() {
  if (!core) return;
  SPlayer& p = core->player;
  p.skillPoints = u16(p.skillPoints + skillUndoCount);
  for (u32 s = 1; s <= kPlayerSkills; ++s) {
    p.skills[s] = u16(p.skills[s] - skillUndoRaises[s]);
    p.skillAllowance[s] = u16(p.skillAllowance[s] + skillUndoRaises[s]);
  }
  ClearSkillUndo();
  RefreshSkillValues();
}

void SStateInventory::ClearSkillUndo() {
  skillUndoCount = 0;
  for (u32& n : skillUndoPoints) n = 0;
  for (u32& n : skillUndoRaises) n = 0;
}
