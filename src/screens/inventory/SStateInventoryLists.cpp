// The inventory's list pages: the sheet's Abilities, Diseases and Active effects sub-pages, the quests page
// and the spells page. Each shows a list of names and, for the selected one, a titled description that
// scrolls a line at a time.
#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "screens/SStateInventory.h"
#include "screens/inventory/SInventoryPictures.h"
#include "world/SCharacterTables.h"
#include "world/SItemTable.h"
#include "world/SPeopleTables.h"
#include "world/SSpell.h"
#include "world/SWorldExtras.h"

#include <cstdlib>

namespace {

// The list arrows of the fixed picture slots (up and pressed each).
constexpr u32 kUpArrow = 60, kDownArrow = 62;

struct ListIds {
  u16 heading, listFrame, list, listUp, listDown, descriptionFrame, description, descriptionUp, descriptionDown;
};
// By list page (abilities, diseases, active effects, quests, spells).
constexpr ListIds kListIds[5] = {{523, 521, 522, 524, 525, 528, 520, 526, 527},
                                 {513, 511, 512, 516, 517, 514, 515, 518, 519},
                                 {502, 500, 501, 503, 504, 498, 499, 505, 506},
                                 {333, 334, 335, 339, 340, 337, 338, 341, 342},
                                 {349, 350, 215, 216, 217, 351, 352, 241, 242}};
constexpr const char* kHeadings[5] = {"Abilities:", "Diseases:", "Active effects:", "Quests", "Spells"};

constexpr u16 kEffectsShowId = 510, kQuestsShowId = 343, kQuestsDescriptionId = 336, kSpellsDescriptionId = 566,
              kQuestsFillId = 348, kSpellsFillId = 207;

const ListIds* IdsOf(u32 which) {
  return which >= SStateInventory::kAbilitiesList && which <= SStateInventory::kSpellsList ? &kListIds[which - 1]
                                                                                           : nullptr;
}

bool IsConstantSource(u32 sourceType) {
  return sourceType == kSourceEquipment || sourceType == kSourceDisease || sourceType == kSourceAbility;
}

bool EffectShown(const SPlayerEffect& e, u32 filter) {
  return filter == 2 || (filter == 1) == IsConstantSource(e.sourceType);
}

// A quest entry's group: 0 solved, 1 failed, 2 active (a solved entry that also failed counts as solved).
u8 QuestGroup(u8 state) { return state & 1 ? 0 : state & 2 ? 1 : 2; }

bool QuestShown(u8 group, u32 filter) {
  return filter == 0 || (filter == 1 && group == 2) || (filter == 2 && group == 0) || (filter == 3 && group == 1);
}

// The magnitude of the offset form: within -100..100 as it is, else 100 nearer to zero.
i32 Folded(i32 m) { return m > 100 ? m - 100 : m < -100 ? m + 100 : m; }

// An item's effect list for the magic items page: its own for subtypes 3 and 5, its type's otherwise.
const SEffectList* CarrierList(const SItem& item) {
  if (!item.type) return nullptr;
  if (item.type->subtype == 3 || item.type->subtype == 5) return item.enchantments;
  return item.type->enchantment;
}

// A key's number; -1 for a key that is not a plain number.
i32 KeyNumber(const char* key) {
  if (!key || !*key) return -1;
  char* end = nullptr;
  const unsigned long v = std::strtoul(key, &end, 10);
  return *end || v > 0x7FFFFFFF ? -1 : i32(v);
}

}  // namespace

u32 SStateInventory::CurrentListPage() const {
  switch (page) {
    case kSheetPage:
      return sheetSubPage == 2   ? kAbilitiesList
             : sheetSubPage == 3 ? kDiseasesList
             : sheetSubPage == 4 ? kEffectsList
                                 : kNoList;
    case kQuestsPage: return kQuestsList;
    case kSpellsPage: return kSpellsList;
    default: return kNoList;
  }
}

// ---- building

void SStateInventory::BuildListPage(u32 which) {
  const ListIds* ids = IdsOf(which);
  if (!ids) return;
  const i32 mode = core ? core->displayMode : 0;
  const bool sheet = which <= kEffectsList, quests = which == kQuestsList, spells = which == kSpellsList;
  const u32 headingColour = RgbWord(quests ? 0x293052 : 0xC8C8C8), headingEdge = RgbWord(quests ? 0x5A8A87 : 0x161616);
  const u32 rowColour = RgbWord(sheet ? 0xB4BEC8 : quests ? 0xAAAAB4 : 0x6496C8);
  const u32 rowEdge = RgbWord(sheet ? 0x000F14 : 0x00141E);

  // The quests page's headings and filters are dark, its rows light: the page is light parchment, the list
  // draws its own dark ground and the description fills its place with its shade.
  if (quests && AddLayoutControl(&pageFill, kQuestsFillId)) {
    pageFill.SetPicture(core ? core->Picture(PictureRole::kParchment) : nullptr);
    pageFill.tileMode = 1;
  }
  if (spells && AddLayoutControl(&pageFill, kSpellsFillId)) {
    pageFill.SetPicture(core ? core->Picture(InventoryPicture::kListPage) : nullptr);
    pageFill.tileMode = 1;
  }
  if (AddLayoutControl(&listHeading, ids->heading))
    listHeading.SetTextStyled(kHeadings[which - 1], STextCtrl::kLeft | STextCtrl::kMiddle, 1, headingColour,
                              headingEdge);
  if ((quests || spells) && AddLayoutControl(&descriptionHeading, quests ? kQuestsDescriptionId : kSpellsDescriptionId))
    descriptionHeading.SetTextStyled("Description:", STextCtrl::kLeft | STextCtrl::kMiddle, 1, headingColour,
                                     headingEdge);
  for (SBorderCtrl* frame : {&listFrame, &descriptionFrame})
    if (AddLayoutControl(frame, frame == &listFrame ? ids->listFrame : ids->descriptionFrame))
      frame->SetFrame(InventoryPicture::Border(core, 'S'), 0, 0, 15);
  if (AddLayoutControl(&pageList, ids->list)) {
    pageList.SetFont(1, rowColour, rowEdge, nullptr);
    pageList.framed = 0;
    if (quests) {
      for (u32 i = 0; i < 3; ++i) questIcons[i] = core ? core->Picture(PictureRole::kQuestStatus + i) : nullptr;
      pageList.SetRightIcons(questIcons, 3);
    }
  }
  PlaceButton(*this, listUp, ids->listUp, kUpArrow);
  PlaceButton(*this, listDown, ids->listDown, kDownArrow);
  if (AddLayoutControl(&pageDescription, ids->description)) {
    pageDescription.Setup(1, RgbWord(0xFFFFFF), rowColour, rowEdge, quests ? 1 : 0, 4, 2, RgbWord(0xFFFFFF),
                          RgbWord(0xFFFFFF));
    pageDescription.lineScroll = 1;
  }
  PlaceButton(*this, descriptionUp, ids->descriptionUp, kUpArrow);
  PlaceButton(*this, descriptionDown, ids->descriptionDown, kDownArrow);

  if (which == kEffectsList) {
    if (AddLayoutControl(&showLabel, kEffectsShowId))
      showLabel.SetTextStyled("Show:", STextCtrl::kLeft | STextCtrl::kMiddle, 1, headingColour, headingEdge);
    const bool shortLabels = mode == 2 || mode == 3 || (mode >= 5 && mode <= 16);
    static constexpr const char* kLabels[2][3] = {{"Dynamic only", "Constant only", "All effects"},
                                                  {"Dynamic", "Constant", "All"}};
    for (u32 i = 0; i < 3; ++i) {
      STopicButtonCtrl& b = filterButtons[i];
      if (!AddLayoutControl(&b, kEffectsFilterIds[i])) continue;
      b.fontNumber = 1;
      b.SetText(kLabels[shortLabels][i], kEffectsFilterIds[i], RgbWord(0xFFFFFF), RgbWord(0x96FFFF), RgbWord(0x585858));
      b.SetLatched(i == effectsFilter);
    }
  } else if (quests) {
    if (AddLayoutControl(&showLabel, kQuestsShowId))
      showLabel.SetTextStyled("Show:", STextCtrl::kLeft | STextCtrl::kMiddle, 1, headingColour, headingEdge);
    static constexpr const char* kLabels[4] = {"All", "Active", "Solved", "Failed"};
    for (u32 i = 0; i < 4; ++i) {
      STopicButtonCtrl& b = filterButtons[i];
      if (!AddLayoutControl(&b, kQuestsFilterIds[i])) continue;
      b.fontNumber = 1;
      b.SetText(kLabels[i], kQuestsFilterIds[i], RgbWord(0x2D2D2D), RgbWord(0x96F0FF), RgbWord(0x5A8A87));
      // The chosen filter's light colour stands on a dark ground of its own: no one ground reads both
      // captions. They differ by 10.7:1, so the best ground between them reads each at 3.3:1, below 4.5:1.
      b.groundWhenLit = true;
      b.litGround = RgbWord(0x1E2028);
      b.SetLatched(i == questsFilter);
    }
  } else if (spells) {
    for (u32 i = 0; i < kSchools; ++i)
      if (PlaceButton(*this, schoolButtons[i], u16(kFirstSchoolId + i), InventoryPicture::kSchools + 3 * i))
        schoolButtons[i].SetLatched(i + 1 == spellsSchool);
    if (AddLayoutControl(&schoolName, kSchoolNameId))
      schoolName.SetTextStyled(core ? core->world.rules.spells.SchoolName(spellsSchool) : "?",
                               STextCtrl::kLeft | STextCtrl::kMiddle, 1, rowColour, rowEdge);
  }
}

// ---- filling and showing

void SStateInventory::FillList() {
  const u32 which = CurrentListPage();
  pageList.Clear();
  if (core) {
    SPlayer& p = core->player;
    SWorldRules& rules = core->world.rules;
    SString key, text;
    switch (which) {
      case kAbilitiesList:
        for (const SAbility* a : p.abilities)
          if (a) pageList.AddRowWithKey(a->name.Text(), a->text ? a->text : "", 0);
        break;
      case kDiseasesList:
        for (const SDisease* d : p.diseases)
          if (d) pageList.AddRowWithKey(d->name.Text(), d->text ? d->text : "", 0);
        break;
      case kEffectsList:
        for (u32 c = 1; c < kEffectCategories; ++c) {
          bool any = false;
          for (const SPlayerEffect* e : p.effects[c]) any = any || (e && EffectShown(*e, effectsFilter));
          if (!any) continue;
          key.Format("%u", c);
          pageList.AddRowWithKey(key.CStr(), SPlayer::CategoryName(c), 0);
        }
        break;
      case kQuestsList:
        for (const SQuestState* q : p.quests) {
          if (!q) continue;
          const u8 group = QuestGroup(q->state);
          if (!QuestShown(group, questsFilter)) continue;
          const SQuest* record = rules.quests.FindByName(q->name.Text());
          pageList.AddRowWithKey(q->name.Text(), record && record->texts[0] ? record->texts[0] : "", group);
        }
        break;
      case kSpellsList:
        if (spellsSchool >= 1 && spellsSchool <= 6) {
          for (const SSpell* s : p.knownSpells[spellsSchool])
            if (s) pageList.AddRowWithKey(s->name.Text(), s->DisplayName(), 0);
          break;
        }
        {
          // The magic items: scrolls grouped by type, then what has charges left. An item of a school
          // barred for the player is left out.
          const SItemContainer& pack = p.inventory;
          const u32 count = pack.GetItemCount();
          auto barred = [&](const SItem& item) {
            const SEffectList* list = item.Enchantment();
            return list && (p.IsUndead() ? list->HasHealSpell(rules) : list->HasUndeadSpell(rules));
          };
          auto magic = [&](const SItem* item) { return item && item->type && item->type->itemClass == kItemMagic; };
          for (u32 i = 0; i < count; ++i) {
            const SItem* item = pack.GetItem(i32(i));
            if (!magic(item) || barred(*item)) continue;
            const u32 sub = item->type->subtype;
            if (sub != 1 && !(sub == 3 && item->enchantments)) continue;
            bool seen = false;
            u32 same = 0;
            for (u32 j = 0; j < count; ++j) {
              const SItem* other = pack.GetItem(i32(j));
              if (!magic(other) || other->type != item->type || barred(*other)) continue;
              if (other->type->subtype == 3 && !other->enchantments) continue;
              if (j < i) seen = true;
              ++same;
            }
            if (seen) continue;
            SString name;
            item->type->GetDisplayName(rules, item, name, false);
            text.Format("%c%s", 181, name.CStr());
            if (same > 1) text.FormatAppend(" (%u)", same);
            key.Format("%u", i);
            pageList.AddRowWithKey(key.CStr(), text.CStr(), 0);
          }
          for (u32 i = 0; i < count; ++i) {
            const SItem* item = pack.GetItem(i32(i));
            if (!magic(item) || barred(*item)) continue;
            const u32 sub = item->type->subtype;
            if (sub <= 3 || item->count == 0) continue;
            if (sub == 5 && (!item->enchantments || item->enchantments->Count() == 0)) continue;
            SString name;
            item->type->GetDisplayName(rules, item, name, false);
            text.Format("%c%s", 182, name.CStr());
            const SEffectList* list = sub == 4 ? item->type->enchantment : sub == 5 ? item->enchantments : nullptr;
            if (const SEffect* first = list ? list->Entry(0) : nullptr) {
              if (item->count == u32(first->base)) {
                text.FormatAppend(" (%u ch)", u32(item->count));
              } else {
                text.FormatAppend(" (%u/%d ch)", u32(item->count), i32(first->base));
              }
            }
            key.Format("%u", i);
            pageList.AddRowWithKey(key.CStr(), text.CStr(), 0);
          }
        }
        break;
      default: break;
    }
  }
  pageList.ResetView(false);
  ShowSelectedRow();
  UpdateListButtons();
}

void SStateInventory::ShowSelectedRow() {
  const u32 which = CurrentListPage();
  const SListRow* row = pageList.SelectedRow();
  SString title, body;
  if (row && core) {
    SWorldRules& rules = core->world.rules;
    SPlayer& p = core->player;
    const char* key = row->keyText.CStr() ? row->keyText.CStr() : "";
    switch (which) {
      case kAbilitiesList:
        if (const SAbility* a = rules.abilities.FindByName(key)) {
          title = a->text ? a->text : "";
          a->DescribeAll(rules, body);
        }
        break;
      case kDiseasesList:
        if (const SDisease* d = rules.diseases.FindByName(key)) {
          title = d->text ? d->text : "";
          d->Describe(rules, body);
        }
        break;
      case kEffectsList: {
        const i32 c = KeyNumber(key);
        if (c < 1 || u32(c) >= kEffectCategories) break;
        title = SPlayer::CategoryName(u32(c));
        SString line;
        for (const SPlayerEffect* e : p.effects[c]) {
          if (!e || !EffectShown(*e, effectsFilter)) continue;
          DescribePlayerEffect(rules, *e, u32(c), line);
          body.Append(line.CStr());
          body.AppendChar('\r');
        }
        SGameCore::ConvertNumberGlyphs(body);
        break;
      }
      case kQuestsList:
        if (const SQuest* q = rules.quests.FindByName(key)) {
          title = q->texts[0] ? q->texts[0] : "";
          body = q->texts[1] ? q->texts[1] : "";
        }
        break;
      case kSpellsList: {
        SString part;
        auto effectLines = [&](const SSpell& spell, i32 level) {
          for (const SEffect* e : spell.effects.entries) {
            if (!e) continue;
            part = "";
            e->Describe(rules, kItemKindSpell, level, part, false, false);
            if (part.IsEmpty()) continue;
            SGameCore::ConvertNumberGlyphs(part);
            body.Append("\r- ");
            body.Append(part.CStr());
          }
        };
        if (spellsSchool >= 1 && spellsSchool <= 6) {
          const SSpell* spell = rules.spells.FindByName(key);
          if (!spell) break;
          const u32 skill = rules.spells.SchoolSkill(spell);
          const i32 level = skill >= 1 ? p.GetSkill(skill) : 0;
          title = spell->DisplayName();
          body = spell->texts[1] ? spell->texts[1] : "";
          effectLines(*spell, level);
          part.Format("\rCosts %u sp", spell->CostAtLevel(level));
          SGameCore::ConvertNumberGlyphs(part);
          body.Append(part.CStr());
          break;
        }
        const i32 index = KeyNumber(key);
        const SItem* item = index >= 0 ? p.inventory.GetItem(index) : nullptr;
        if (!item || !item->type) break;
        item->type->GetDisplayName(rules, item, title, false);
        const SEffectList* list = CarrierList(*item);
        if (!list) break;
        list->Describe(rules, item->type->GetEnchantKind(), item->count, body, false);
        SGameCore::ConvertNumberGlyphs(body);
        body.Append("\r");
        const SEffect* first = list->Entry(0);
        if (const SSpell* spell = first && first->name ? rules.spells.FindByName(first->name) : nullptr)
          effectLines(*spell, first->perLevel);
        break;
      }
      default: break;
    }
    // The compact screens leave the sheet sub-pages' titles out for room.
    if (which <= kEffectsList && core->IsCompact()) title = "";
  }
  pageDescription.SetText(title.CStr() ? title.CStr() : "", body.CStr() ? body.CStr() : "", 0, 0);
  UpdateDescriptionButtons();
}

void SStateInventory::UpdateListButtons() {
  listUp.Enable(pageList.firstRow != 0);
  listDown.Enable(i32(pageList.RowCount()) > pageList.firstRow + pageList.PageSize());
  listUp.MarkDirty();
  listDown.MarkDirty();
}

void SStateInventory::UpdateDescriptionButtons() {
  descriptionUp.Enable(pageDescription.firstLine > 0);
  descriptionDown.Enable(i32(pageDescription.LineCount()) > pageDescription.firstLine + 1);
  descriptionUp.MarkDirty();
  descriptionDown.MarkDirty();
  pageDescription.MarkDirty();
}

// ---- commands

u32 SStateInventory::OnListCommand(u16 code) {
  const u32 which = CurrentListPage();
  const ListIds* ids = IdsOf(which);
  if (!ids) return 0;
  if (code == ids->list) {
    PlayClick(0);
    ShowSelectedRow();
  } else if (code == ids->listUp || code == ids->listDown) {
    PlayClick(0);
    if (code == ids->listUp ? pageList.PageUp() : pageList.PageDown()) ShowSelectedRow();
    UpdateListButtons();
  } else if (code == ids->descriptionUp) {
    PlayClick(0);
    if (pageDescription.firstLine > 0) pageDescription.ScrollTo(pageDescription.firstLine - 1);
    UpdateDescriptionButtons();
  } else if (code == ids->descriptionDown) {
    PlayClick(0);
    if (i32(pageDescription.LineCount()) > pageDescription.firstLine + 1)
      pageDescription.ScrollTo(pageDescription.firstLine + 1);
    UpdateDescriptionButtons();
  } else if (which == kEffectsList || which == kQuestsList) {
    // The filters: the effects' by kind of source, the quests' by outcome.
    const bool effects = which == kEffectsList;
    const u16* filterIds = effects ? kEffectsFilterIds : kQuestsFilterIds;
    const u32 count = effects ? 3 : 4;
    for (u32 i = 0; i < count; ++i) {
      if (code != filterIds[i]) continue;
      PlayClick(1);
      (effects ? effectsFilter : questsFilter) = i;
      for (u32 j = 0; j < count; ++j) filterButtons[j].SetLatched(j == i);
      FillList();
    }
  } else if (which == kSpellsList && code >= kFirstSchoolId && code < kFirstSchoolId + kSchools) {
    spellsSchool = code - kFirstSchoolId + 1;
    for (u32 j = 0; j < kSchools; ++j) schoolButtons[j].SetLatched(j + 1 == spellsSchool);
    if (core) schoolName.SetText(core->world.rules.spells.SchoolName(spellsSchool));
    FillList();
    PlayClick(1);
  }
  return 0;
}

// ---- an active effect's line

void SStateInventory::DescribePlayerEffect(SWorldRules& rules, const SPlayerEffect& e, u32 category, SString& out) {
  const i32 m = e.strength, folded = Folded(m);
  out = "";
  switch (category) {
    case 1: {
      // The index byte comes from item, ability and saved data: a skill number outside the table names none.
      const char* skill = rules.skills.FullName(e.sub);
      out.Format("%+d %s", m, skill ? skill : "unknown skill");
      break;
    }
    case 2: {
      const char* attribute = rules.attributes.Name(e.sub);
      out.Format("%+d %s", m, attribute ? attribute : "unknown attribute");
      break;
    }
    case 3:
    case 4:
    case 5:
    case 6:
    case 10:
    case 20: out.Format("%+d", m); break;
    case 7:
    case 8:
    case 11:
    case 12:
    case 15:
    case 16: out.Format("%+d%%", folded); break;
    case 9: {
      const SDisease* d = e.text ? rules.diseases.FindByName(e.text) : nullptr;
      out.Format("%+d%% %s", folded, d ? (d->text ? d->text : "") : "unknown disease");
      break;
    }
    case 13:
    case 14: {
      const SSpell* s = e.text ? rules.spells.FindByName(e.text) : nullptr;
      out.Format("%+d%% %s", folded, s ? s->DisplayName() : "unknown spell");
      break;
    }
    case 17: out = "Immunity"; break;
    case 18: out = "Detect secrets"; break;
    case 19: out.Format("%d%%", folded); break;
    case 21: out = "Paralysis"; break;
    case 22: out = "Curse"; break;
    case 23: out.Format("-%d hp/turn", m); break;
    default: break;
  }
  const u32 rounds = e.duration ? e.duration - 1u : 0;
  if ((e.sourceType == kSourceItem || e.sourceType == kSourceSpell || e.sourceType == kSourceCondition) && rounds)
    out.FormatAppend(", %u round%s", rounds, rounds == 1 ? "" : "s");
  out.Append(", ");
  SString name;
  switch (e.sourceType) {
    case kSourceEquipment:
      if (const SItem* item = static_cast<const SItem*>(e.source); item && item->type)
        item->type->GetDisplayName(rules, item, name, false);
      out.FormatAppend("(%s)", name.CStr() ? name.CStr() : "");
      break;
    case kSourceItem:
      // The type's own name: the full display name of a potion already ends in "potion".
      if (const SItemType* type = static_cast<const SItemType*>(e.source))
        name = type->text3 ? type->text3 : type->name.Text();
      out.FormatAppend("(%s potion)", name.CStr() ? name.CStr() : "");
      break;
    case kSourceSpell: {
      const SSpell* s = static_cast<const SSpell*>(e.source);
      out.FormatAppend("(%s spell)", s ? s->DisplayName() : "");
      break;
    }
    case kSourceDisease: {
      const SDisease* d = static_cast<const SDisease*>(e.source);
      out.FormatAppend("(%s disease)", d && d->text ? d->text : "");
      break;
    }
    case kSourceAbility: {
      const SAbility* a = static_cast<const SAbility*>(e.source);
      out.FormatAppend("(%s ability)", a && a->text ? a->text : "");
      break;
    }
    default: break;
  }
}
