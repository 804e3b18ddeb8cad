#include "dialogs/enchant/SDialogEnchantEntryOther.h"

#include "core/SGameCore.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "dialogs/enchant/SEnchantRules.h"
#include "world/SCharacterTables.h"
#include "world/SEffect.h"
#include "world/SPeopleTables.h"

#include <new>

namespace {
constexpr u32 kOffset = 100;
constexpr const char* kCreatureKindNames[] = {"Humanoids", "Creatures", "Undeads"};
}  // namespace

SDialogEnchantEntryOther::KindRule SDialogEnchantEntryOther::RuleFor(u32 kind) {
  KindRule r;
  switch (kind) {
    case 1: r = {kSkills, true, false, 1, 50}; break;
    case 2: r = {kAttributes, true, false, 1, 20}; break;
    case 5:
    case 8:
    case 10:
    case 20:
    case 58: r = {kNoData, true, false, 1, 100}; break;
    case 11: r = {kNoData, true, false, 1, 10}; break;
    case 15:
    case 16:
    case 22:
    case 33:
    case 36:
    case 38: r = {kNoData, true, true, 1, 100}; break;
    case 17: r = {kDiseases, true, true, 1, 100}; break;
    case 23: r = {kMonsterTypes, true, false, 1, 50}; break;
    case 24: r = {kCreatureKinds, true, false, 1, 50}; break;
    case 25: r = {kNoData, true, false, 1, 50}; break;
    case 32: r = {kDiseases, false, false, 1, 100}; break;
    default: break;  // 26 to 30 and the rest: no datum, no value
  }
  return r;
}

SDialogEnchantEntryOther::SDialogEnchantEntryOther() = default;

SDialogEnchantEntryOther::~SDialogEnchantEntryOther() { delete edited; }

void SDialogEnchantEntryOther::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame,      &valueFrame, &title,       &typeLabel,  &kindsLabel,     &dataLabel,
                        &valueLabel, &valueText,  &neededLabel, &neededText, &availableLabel, &availableText,
                        &constant,   &strike,     &kinds,       &data,       &kindsUp,        &kindsDown,
                        &dataUp,     &dataDown,   &valueUp,     &valueDown,  &valueUp10,      &valueDown10,
                        &keep,       &discard};
  for (SCtrl* c : all) c->Attach(this);
}

void SDialogEnchantEntryOther::Open(const SEffect* entry, i32 availableStorage, const SNpc* enchanter, u32 kindOfItem) {
  delete edited;
  edited = entry ? entry->Copy() : new (std::nothrow) SEffect(kindOfItem);
  itemKind = kindOfItem;
  available = availableStorage;
  person = enchanter;

  using namespace Enchanting;
  LayOut(this, kLayout);
  PlaceFrame(this, frame, kFrameId, true);
  PlaceTitle(this, title, kTitleId, "Enchant entry");
  PlaceLabel(this, typeLabel, kTypeLabel, "Type:");
  if (AddLayoutControl(&constant, kConstant))
    constant.SetText("Constant", kConstant, RgbWord(0xC8C8C8), STopicButtonCtrl::kYellow, RgbWord(0x161616));
  if (AddLayoutControl(&strike, kStrike))
    strike.SetText("Strike", kStrike, RgbWord(0xC8C8C8), STopicButtonCtrl::kYellow, RgbWord(0x161616));
  PlaceLabel(this, kindsLabel, kKindsLabel, "Enchant types:");
  PlaceList(this, kinds, kKinds);
  PlaceButton(*this, kindsUp, kKindsUp, 135);
  PlaceButton(*this, kindsDown, kKindsDown, 137);
  PlaceLabel(this, dataLabel, kDataLabel, "Enchant data:");
  PlaceList(this, data, kData);
  PlaceButton(*this, dataUp, kDataUp, 135);
  PlaceButton(*this, dataDown, kDataDown, 137);
  PlaceLabel(this, valueLabel, kValueLabel, "Value:");
  PlaceFrame(this, valueFrame, kValueFrame, false);
  PlaceValue(this, valueText, kValueText);
  PlaceButton(*this, valueUp, kValueUp, 451);
  PlaceButton(*this, valueDown, kValueDown, 449);
  PlaceButton(*this, valueUp10, kValueUp10, 137);
  PlaceButton(*this, valueDown10, kValueDown10, 135);
  PlaceEditorFooter(this, neededLabel, neededText, availableLabel, availableText, keep, discard);

  // Only weapons and staves choose between a constant effect and one on a strike.
  const bool chooses = itemKind == 3 || itemKind == 14;
  SCtrl* const typeControls[] = {&typeLabel, &constant, &strike};
  for (SCtrl* c : typeControls) c->Show(chooses);
  if (edited && edited->mode != kModeConstant && edited->mode != kModeStrike)
    edited->mode = itemKind == 15 ? kModeStrike : kModeConstant;

  SString text;
  text.Format("%d", available);
  SGameCore::ConvertNumberGlyphs(text);
  availableText.SetText(text.CStr());
  FillKinds();
  ResetInputGuard();
}

void SDialogEnchantEntryOther::FillKinds() {
  kinds.Clear();
  if (core && edited) {
    const SEffectTable& table = core->world.rules.effects;
    const u8* allowed = table.Allowed(itemKind);
    for (u32 i = 0; i < SEffectTable::kMaxAllowed && allowed[i]; ++i)
      if (table.AllowedMode(itemKind, allowed[i]) == edited->mode) {
        const char* name = table.KindName(allowed[i]);
        kinds.AddRow(allowed[i], name ? name : "");
      }
  }
  kinds.rowsPerPage = kinds.rowHeight >= 1 ? kinds.height / kinds.rowHeight : 1;
  kinds.firstRow = 0;
  if (kinds.RowCount())
    kinds.SelectByCode(edited ? edited->kind : 0);
  else
    kinds.Select(-1);
  if (edited) edited->kind = u8(kinds.SelectedRow() ? kinds.SelectedCode() : 0);
  ShowTypeToggles();
  ApplyKind();
}

void SDialogEnchantEntryOther::ShowTypeToggles() {
  if (!edited) return;
  constant.SetLatched(edited->mode == kModeConstant);
  constant.SetPressed(edited->mode == kModeConstant);
  strike.SetLatched(edited->mode == kModeStrike);
  strike.SetPressed(edited->mode == kModeStrike);
  constant.MarkDirty();
  strike.MarkDirty();
}

i32 SDialogEnchantEntryOther::ShownValue() const {
  if (!edited) return 0;
  return edited->base > i16(kOffset) ? edited->base - i32(kOffset) : edited->base;
}

void SDialogEnchantEntryOther::SetShownValue(i32 shown) {
  if (!edited) return;
  edited->base = i16(rule.offset ? shown + i32(kOffset) : shown);
}

void SDialogEnchantEntryOther::ApplyKind() {
  if (!edited) return;
  rule = RuleFor(edited->kind);
  if (!rule.hasValue) {
    edited->base = 1;
  } else {
    const i32 shown = ShownValue();
    SetShownValue(shown < rule.least ? rule.least : shown > rule.most ? rule.most : shown);
  }
  FillData();
  dataLabel.Show(rule.data != kNoData);
  data.Show(rule.data != kNoData);
  dataUp.Show(rule.data != kNoData);
  dataDown.Show(rule.data != kNoData);
  SCtrl* const valueControls[] = {&valueLabel, &valueFrame, &valueText, &valueUp, &valueDown, &valueUp10, &valueDown10};
  for (SCtrl* c : valueControls) c->Show(rule.hasValue);
  SetFullRepaint();
  ShowValue();
}

void SDialogEnchantEntryOther::FillData() {
  data.Clear();
  if (core && edited) {
    SWorldRules& rules = core->world.rules;
    switch (rule.data) {
      case kSkills:
        for (u32 n = 1; n <= kSkillCount; ++n) data.AddRow(n, rules.skills.FullName(n) ? rules.skills.FullName(n) : "");
        break;
      case kAttributes:
        for (u32 n = 1; n <= kAttributeCount; ++n)
          data.AddRow(n, rules.attributes.Name(n) ? rules.attributes.Name(n) : "");
        break;
      case kDiseases:
        for (const SDisease* d : rules.diseases.records)
          if (d && d->name.Text()) data.AddRowWithKey(d->name.Text(), d->text ? d->text : d->name.Text(), 0);
        break;
      case kMonsterTypes:
        // People are no target of a weapon's bane.
        for (const SMonsterBaseType* b : core->world.monsters.baseTypes)
          if (b && b->kind != 4 && b->name.Text())
            data.AddRowWithKey(b->name.Text(), b->text1 ? b->text1 : b->name.Text(), 0);
        break;
      case kCreatureKinds:
        for (u32 n = 1; n <= 3; ++n) data.AddRow(n, kCreatureKindNames[n - 1]);
        break;
      case kNoData: break;
    }
  }
  data.rowsPerPage = data.rowHeight >= 1 ? data.height / data.rowHeight : 1;
  data.firstRow = 0;
  if (!data.RowCount()) {
    data.Select(-1);
  } else if (rule.data == kDiseases || rule.data == kMonsterTypes) {
    data.SelectByKey(edited ? edited->name : nullptr);
  } else {
    data.SelectByCode(edited ? edited->sub : 0);
  }
  TakeDataRow(false);
}

void SDialogEnchantEntryOther::TakeDataRow(bool fromList) {
  if (!edited) return;
  const SListRow* row = data.SelectedRow();
  if (rule.data == kNoData || !row) {
    UpdatePaging();
    ShowNeededStorage();
    return;
  }
  if (fromList) {
    // A chosen row: its code, and its key or none.
    edited->sub = u8(row->code);
    edited->SetName(row->keyText.IsEmpty() ? nullptr : row->keyText.CStr());
  } else if (rule.data == kDiseases || rule.data == kMonsterTypes) {
    edited->SetName(row->keyText.CStr());
    edited->sub = 0;
  } else {
    edited->sub = u8(row->code);
    if (rule.data == kCreatureKinds) edited->SetName(nullptr);
  }
  UpdatePaging();
  ShowNeededStorage();
}

void SDialogEnchantEntryOther::ShowValue() {
  const i32 shown = ShownValue();
  SString text;
  text.Format("%u", u32(shown < 0 ? 0 : shown));
  valueText.SetText(text.CStr());
  valueUp.Enable(rule.hasValue && shown < rule.most);
  valueUp10.Enable(rule.hasValue && shown < rule.most);
  valueDown.Enable(rule.hasValue && shown > rule.least);
  valueDown10.Enable(rule.hasValue && shown > rule.least);
  ShowNeededStorage();
}

void SDialogEnchantEntryOther::ShowNeededStorage() {
  if (!edited || !core) return;
  i32 storage = 0, price = 0;
  if (itemKind != kItemKindIngredient) edited->GetEnchantCost(core->world.rules, itemKind, storage, price);
  SString text;
  text.Format("%d", storage);
  SGameCore::ConvertNumberGlyphs(text);
  neededText.SetText(text.CStr());
}

void SDialogEnchantEntryOther::UpdatePaging() {
  kindsUp.Enable(kinds.firstRow > 0);
  kindsDown.Enable(kinds.firstRow + kinds.PageSize() < i32(kinds.RowCount()));
  dataUp.Enable(data.firstRow > 0);
  dataDown.Enable(data.firstRow + data.PageSize() < i32(data.RowCount()));
}

u32 SDialogEnchantEntryOther::OnCommand(u16 code) {
  switch (code) {
    case kKeep:
    case kDiscard: return parent ? parent->OnCommand(code) : code;
    case kConstant:
    case kStrike: {
      Enchanting::Click(core, 0);
      const u8 mode = code == kConstant ? kModeConstant : kModeStrike;
      if (edited && edited->mode != mode) {
        edited->mode = mode;
        FillKinds();
      }
      return 0;
    }
    case kKinds:
      Enchanting::Click(core, 0);
      if (edited && kinds.SelectedRow()) {
        edited->kind = u8(kinds.SelectedCode());
        ApplyKind();
      }
      return 0;
    case kData:
      Enchanting::Click(core, 0);
      TakeDataRow(true);
      return 0;
    case kKindsUp:
    case kKindsDown:
    case kDataUp:
    case kDataDown: {
      Enchanting::Click(core, 0);
      SDialogListCtrl& list = code == kKindsUp || code == kKindsDown ? kinds : data;
      if (code == kKindsUp || code == kDataUp)
        list.PageUp();
      else
        list.PageDown();
      UpdatePaging();
      return 0;
    }
    case kValueUp:
    case kValueDown:
    case kValueUp10:
    case kValueDown10: {
      Enchanting::Click(core, 0);
      if (!rule.hasValue) return 0;
      const i32 step = code == kValueUp ? 1 : code == kValueDown ? -1 : code == kValueUp10 ? 10 : -10;
      const i32 shown = ShownValue() + step;
      SetShownValue(shown < rule.least ? rule.least : shown > rule.most ? rule.most : shown);
      ShowValue();
      return 0;
    }
    default: return 0;
  }
}
