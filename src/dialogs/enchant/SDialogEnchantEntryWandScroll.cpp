#include "dialogs/enchant/SDialogEnchantEntryWandScroll.h"

#include "core/SGameCore.h"
#include "core/ui/SPlaceControls.h"
#include "dialogs/enchant/SEnchantRules.h"
#include "world/SEffect.h"
#include "world/SSpell.h"

#include <new>

namespace {
constexpr u8 kWandMode = 2, kCastSpell = 31;

i16 AtLeastOne(i16 v) { return v < 1 ? 1 : v; }
// A step is bounded only in its own direction: "-" stops at 1, "+" at the most, so that a value the data
// gave above the most steps down by its step rather than dropping to the most.
i16 Stepped(i32 v, i32 step, i32 most) {
  const i32 n = v + step;
  return i16(step < 0 ? (n < 1 ? 1 : n) : (n > most ? most : n));
}
}  // namespace

SDialogEnchantEntryWandScroll::SDialogEnchantEntryWandScroll() = default;

SDialogEnchantEntryWandScroll::~SDialogEnchantEntryWandScroll() { delete edited; }

void SDialogEnchantEntryWandScroll::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame,      &title,       &spellsLabel, &chargesLabel,   &chargesText,   &skillLabel,
                        &skillText,  &neededLabel, &neededText,  &availableLabel, &availableText, &chargesFrame,
                        &skillFrame, &spells,      &spellsUp,    &spellsDown,     &chargesUp,     &chargesDown,
                        &skillUp,    &skillDown,   &skillUp10,   &skillDown10,    &keep,          &discard};
  for (SCtrl* c : all) c->Attach(this);
}

void SDialogEnchantEntryWandScroll::Open(const SEffect* entry, i32 availableStorage, const SNpc* enchanter,
                                         bool scroll) {
  delete edited;
  edited = entry ? entry->Copy() : new (std::nothrow) SEffect;
  isScroll = scroll;
  available = availableStorage;
  person = enchanter;
  if (edited) {
    edited->mode = kWandMode;
    edited->kind = kCastSpell;
    edited->base = AtLeastOne(edited->base);
    edited->perLevel = AtLeastOne(edited->perLevel);
  }

  using namespace Enchanting;
  LayOut(this, kLayout);
  PlaceFrame(this, frame, kFrameId, true);
  PlaceTitle(this, title, kTitleId, "Enchant entry");
  PlaceLabel(this, spellsLabel, kSpellsLabel, "Spells:");
  PlaceList(this, spells, kSpells);
  PlaceButton(*this, spellsUp, kSpellsUp, 135);
  PlaceButton(*this, spellsDown, kSpellsDown, 137);
  PlaceLabel(this, chargesLabel, kChargesLabel, "Charges:");
  PlaceFrame(this, chargesFrame, kChargesFrame, false);
  PlaceValue(this, chargesText, kChargesText);
  PlaceButton(*this, chargesUp, kChargesUp, 451);
  PlaceButton(*this, chargesDown, kChargesDown, 449);
  PlaceLabel(this, skillLabel, kSkillLabel, "Skill:");
  PlaceFrame(this, skillFrame, kSkillFrame, false);
  PlaceValue(this, skillText, kSkillText);
  PlaceButton(*this, skillUp, kSkillUp, 451);
  PlaceButton(*this, skillDown, kSkillDown, 449);
  PlaceButton(*this, skillUp10, kSkillUp10, 137);
  PlaceButton(*this, skillDown10, kSkillDown10, 135);
  PlaceEditorFooter(this, neededLabel, neededText, availableLabel, availableText, keep, discard);

  // A scroll holds one charge: its charge controls are left out.
  SCtrl* const chargeControls[] = {&chargesLabel, &chargesFrame, &chargesText, &chargesUp, &chargesDown};
  for (SCtrl* c : chargeControls) c->Show(!isScroll);

  SString text;
  text.Format("%u", u32(available < 0 ? 0 : available));
  SGameCore::ConvertNumberGlyphs(text);
  availableText.SetText(text.CStr());
  FillSpells();
  ShowValues();
  ResetInputGuard();
}

void SDialogEnchantEntryWandScroll::FillSpells() {
  spells.Clear();
  if (core) {
    SPlayer& player = core->player;
    for (u32 school = 1; school <= 6 && school < kPlayerSchools; ++school)
      for (const SSpell* spell : player.knownSpells[school]) {
        if (!spell) continue;
        const char* shown = spell->texts[0] ? spell->texts[0] : spell->name.Text();
        spells.AddRowWithKey(spell->name.Text(), shown ? shown : "", 0);
      }
  }
  spells.rowsPerPage = spells.rowHeight >= 1 ? spells.height / spells.rowHeight : 1;
  spells.firstRow = 0;
  if (spells.RowCount())
    spells.SelectByKey(edited ? edited->name : nullptr);
  else
    spells.Select(-1);
  SelectSpell();
}

void SDialogEnchantEntryWandScroll::SelectSpell() {
  if (!edited) return;
  const char* key = spells.SelectedKeyText();
  edited->SetName(key ? key : "");
  const SSpell* spell = core ? core->world.rules.spells.FindByName(edited->name) : nullptr;
  const bool graded = spell && spell->HasGradedEffect();
  SCtrl* const skillControls[] = {&skillLabel, &skillFrame, &skillText, &skillUp, &skillDown, &skillUp10, &skillDown10};
  for (SCtrl* c : skillControls) c->Show(graded);
  if (!graded) SetFullRepaint();
  UpdatePaging();
  ShowNeededStorage();
}

void SDialogEnchantEntryWandScroll::ShowValues() {
  if (!edited) return;
  SString text;
  text.Format("%u", u32(edited->base));
  chargesText.SetText(text.CStr());
  text.Format("%u", u32(edited->perLevel));
  skillText.SetText(text.CStr());
  chargesUp.Enable(!isScroll && edited->base < kMost);
  chargesDown.Enable(!isScroll && edited->base > 1);
  skillUp.Enable(edited->perLevel < kMost);
  skillUp10.Enable(edited->perLevel < kMost);
  skillDown.Enable(edited->perLevel > 1);
  skillDown10.Enable(edited->perLevel > 1);
  ShowNeededStorage();
}

void SDialogEnchantEntryWandScroll::ShowNeededStorage() {
  if (!edited || !core) return;
  i32 storage = 0, price = 0;
  edited->GetEnchantCost(core->world.rules, isScroll ? 11 : 10, storage, price);
  SString text;
  text.Format("%u", u32(storage < 0 ? 0 : storage));
  SGameCore::ConvertNumberGlyphs(text);
  neededText.SetText(text.CStr());
}

void SDialogEnchantEntryWandScroll::UpdatePaging() {
  spellsUp.Enable(spells.firstRow > 0);
  spellsDown.Enable(spells.firstRow + spells.PageSize() < i32(spells.RowCount()));
}

u32 SDialogEnchantEntryWandScroll::OnCommand(u16 code) {
  switch (code) {
    case kKeep:
      Enchanting::Click(core, 1);
      return parent ? parent->OnCommand(edited && edited->name ? kKeep : kDiscard) : code;
    case kDiscard: Enchanting::Click(core, 1); return parent ? parent->OnCommand(kDiscard) : code;
    case kSpells:
      Enchanting::Click(core, 0);
      SelectSpell();
      return 0;
    case kSpellsUp:
    case kSpellsDown:
      Enchanting::Click(core, 0);
      if (code == kSpellsUp ? spells.PageUp() : spells.PageDown()) SelectSpell();
      return 0;
    case kChargesUp:
    case kChargesDown:
    case kSkillUp:
    case kSkillDown:
    case kSkillUp10:
    case kSkillDown10:
      Enchanting::Click(core, 0);
      if (!edited) return 0;
      if (code == kChargesUp || code == kChargesDown) {
        // A scroll keeps the charges it came with.
        if (!isScroll) edited->base = Stepped(edited->base, code == kChargesUp ? 1 : -1, kMost);
      } else {
        const i32 step = code == kSkillUp ? 1 : code == kSkillDown ? -1 : code == kSkillUp10 ? 10 : -10;
        edited->perLevel = Stepped(edited->perLevel, step, kMost);
      }
      ShowValues();
      return 0;
    default: return 0;
  }
}
