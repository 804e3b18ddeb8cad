// The inventory's character sheet sub-pages, quests page and spells page: which builder each page runs,
// where their commands go, and the sheet's uncommitted raises made permanent on every rebuild and on
// leaving.
#include "screens/SStateInventory.h"

void SStateInventory::AttachPageControls() {
  for (STextCtrl& c : sheetLabels) c.Attach(this);
  for (STextCtrl& c : sheetValues) c.Attach(this);
  for (SButtonCtrl& b : raiseButtons) b.Attach(this);
  for (STopicButtonCtrl& b : filterButtons) b.Attach(this);
  for (SButtonCtrl& b : schoolButtons) b.Attach(this);
  SCtrl* const all[] = {&undoButton,         &fameGauge,       &attributesFrame, &listHeading,
                        &descriptionHeading, &showLabel,       &schoolName,      &listFrame,
                        &descriptionFrame,   &pageList,        &listUp,          &listDown,
                        &descriptionUp,      &descriptionDown, &pageDescription, &pageFill};
  for (SCtrl* c : all) c->Attach(this);
  if (core) raiseBox.Attach(core);
  raiseBox.parent = this;
  raiseText.Attach(&raiseBox);
}

void SStateInventory::BuildSheetSubPage() {
  switch (sheetSubPage) {
    case 0: BuildCharacterPage(); break;
    case 1: BuildSkillsPage(); break;
    default: BuildListPage(CurrentListPage()); break;
  }
}

void SStateInventory::BuildQuestsPage() { BuildListPage(kQuestsList); }

void SStateInventory::BuildSpellsPage() {
  spellsSchool = 1;
  BuildListPage(kSpellsList);
}

void SStateInventory::RefillPageLists() {
  if (CurrentListPage() != kNoList) FillList();
}

u32 SStateInventory::OnSheetPageCommand(u16 code) {
  if (sheetSubPage >= 2) return OnListCommand(code);
  if (sheetSubPage == 0) {
    for (u16 id : kAttributeRaiseIds)
      if (code == id) {
        PlayClick(1);
        RaiseAttribute(code);
        return 0;
      }
    // The two Undo buttons take back quietly: they play no click.
    if (code == kAttributeUndoId) UndoAttributes();
    return 0;
  }
  if (code >= kFirstPrimaryRaiseId && code < kFirstPrimaryRaiseId + kPrimarySkills) {
    PlayClick(1);
    RaisePrimarySkill(code);
  } else if (code >= kFirstOtherRaiseId && code < kFirstOtherRaiseId + kOtherSkills) {
    PlayClick(1);
    RaiseOtherSkill(code);
  } else if (code == kSkillUndoId) {
    UndoSkills();
  }
  return 0;
}

u32 SStateInventory::OnQuestsCommand(u16 code) { return OnListCommand(code); }

u32 SStateInventory::OnSpellsCommand(u16 code) { return OnListCommand(code); }

void SStateInventory::DiscardSheetPoints() {
  ClearAttributeUndo();
  ClearSkillUndo();
}
