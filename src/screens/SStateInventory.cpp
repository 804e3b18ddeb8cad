#include "screens/SStateInventory.h"

#include "core/SGameCore.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "foundation/SStream.h"
#include "foundation/TimeUtil.h"
#include "game/SMapWindow.h"
#include "game/SStateGame.h"
#include "screens/inventory/SInventoryPictures.h"

namespace {

bool IsSecondButtonSetMode(i32 mode) { return mode == 3 || mode == 5 || mode == 7 || mode == 8; }
bool IsFrameStyle4Mode(i32 mode) { return mode == 2 || mode == 3 || mode == 5 || mode == 7 || mode == 8; }

// A frame style: its low bits the sides drawn, bit 128 a filled inside.
void SetFrameStyle(SBorderCtrl& frame, SImageEntry* const* set, u32 style) {
  frame.SetFrame(set, (style & 128) ? 1 : 0, 0, style & 15);
}

// The slot of the n-th button set of a run of sets of three (up, down, disabled).
u32 NthSet(u32 first, u32 n) { return first == InventoryPicture::kNone ? first : first + 3 * n; }

}  // namespace

SStateInventory::SStateInventory() = default;

void SStateInventory::PrepareEntry(SItemContainer* bag, SMapObjectInst* object, SMapArea* area) {
  pendingContainer_ = bag;
  pendingObject_ = object;
  pendingArea_ = area;
  pendingSet_ = 1;
}

void SStateInventory::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  SCtrl* const all[] = {&pageFrame,       &goldFrame,      &tabFrame,        &contentFrame,    &goldText,
                        &mainMenu,        &closeButton,    &headerFrame,     &sheetStripFrame, &subPageFrame,
                        &portrait,        &nameText,       &renameButton,    &faceButton,      &grid,
                        &equipment,       &description,    &showDescription, &hideDescription, &descriptionPrev,
                        &descriptionNext, &gridPrev,       &gridNext,        &takeButton,      &dropButton,
                        &useButton,       &itemsFrames[0], &itemsFrames[1],  &itemsFrames[2]};
  for (SCtrl* c : all) c->Attach(this);
  for (SButtonCtrl& b : tabs) b.Attach(this);
  for (STopicButtonCtrl& b : subPageButtons) b.Attach(this);
  for (SButtonCtrl& b : categoryButtons) b.Attach(this);
  SDialog* const children[] = {&reading, &alchemy, &repair, &faceSelect, &nameEdit, &handBox};
  for (SDialog* d : children) {
    if (gameCore) d->Attach(gameCore);
    d->parent = this;
  }
  handText.Attach(&handBox);
  AttachPageControls();
}

// ---- entering and leaving

void SStateInventory::Enter(u32 w0, u32 w1, u32 w2, u32 w3) {
  SState::Enter(w0, w1, w2, w3);
  openedByBagButton = w0 != 0;
  container = pendingSet_ ? pendingContainer_ : nullptr;
  mapObject = pendingSet_ ? pendingObject_ : nullptr;
  mapArea = pendingSet_ ? pendingArea_ : nullptr;
  pendingContainer_ = nullptr;
  pendingObject_ = nullptr;
  pendingArea_ = nullptr;
  pendingSet_ = 0;
  page = previousPage = kItemsPage;
  sheetSubPage = 0;
  effectsFilter = questsFilter = 0;
  category = 0;
  statusTimer = 0;
  lastTapped = -1;
  // A bag or chest opened from the world shows its contents; the bag button shows the pack.
  containerView = container && !openedByBagButton ? 1 : 0;
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  Rebuild();
  Paint();
  ResetInputGuard();
}

void SStateInventory::Leave(u32 next) {
  SState::Leave(next);
  child = nullptr;
}

void SStateInventory::Resume() {
  SState::Resume();
  SetFullRepaint();
}

// ---- commands

u32 SStateInventory::OnCommand(u16 code) {
  if (code >= kItemsTab && code <= kSpellsTab) {
    PlayClick(1);
    page = code - kItemsTab;
    if (code == kItemsTab) category = 0;
    Rebuild();
  } else if (code == kMainMenuId) {
    DiscardSheetPoints();
    if (core && core->stateGame) core->stateGame->StopAmbientSounds(false);
    PlayClick(1);
    keep = 1;
    for (u32& w : params) w = 0;
    return kStateMain;
  } else if (code == kCloseId) {
    return Close();
  }
  switch (page) {
    case kItemsPage: return OnItemsCommand(code);
    case kSheetPage: return OnSheetCommand(code);
    case kQuestsPage: return OnQuestsCommand(code);
    case kSpellsPage: return OnSpellsCommand(code);
    case kFacePage: return OnFaceSelectClosed(code);
    case kNamePage: return OnNameEditClosed(code);
    case kReadingPage: return code == SDialogItemRead::kCloseId ? OnChildClosed() : 0;
    case kAlchemyPage: return code == SDialogAlchemy::kCloseId ? OnChildClosed() : 0;
    case kRepairPage: return code == SDialogRepair::kCloseId ? OnChildClosed() : 0;
    case kHandPage: return OnHandChosen(code);
    default: return 0;
  }
}

u32 SStateInventory::Close() {
  DiscardSheetPoints();
  PlaySoundByName("bsnd_bagclose");
  SStateGame* game = core ? core->stateGame : nullptr;
  if (container && game) {
    if (mapObject) {
      game->TriggerUseOnCurrentTarget(mapArea);
    } else if (const SMapCell* cell = game->GetCell(game->window.playerX, game->window.playerY);
               cell && SMapWindow::TypeNumber(cell->centreType) == 4 && cell->centreObjectId) {
      game->TriggerUseOnCurrentTarget(mapArea);
    }
  }
  if (core) {
    SPlayer& player = core->player;
    const i64 weight = player.GetInventoryWeight(), capacity = player.GetCarryCapacity();
    if (weight > capacity && game) {
      game->QueueMessage(weight > capacity * 3 / 2 ? "You carry way too much - you can't move."
                                                   : "You carry too much - your attack capabilities are decreased.",
                         1, "");
    }
  }
  return 99;
}

u32 SStateInventory::OnTick(u32 frameCounter, SDisplay* screen) {
  if (statusTimer && i32(GetTicks() - statusDeadline) >= 0) {
    statusTimer = 0;
    if (page == kItemsPage) RefreshDescription();
  }
  return SState::OnTick(frameCounter, screen);
}

void SStateInventory::OpenPageChild(u32 childPage, SDialog* dialog) {
  page = childPage;
  OpenChild(dialog);
}

void SStateInventory::ClosePageChild(u32 nextPage) {
  page = nextPage;
  CloseChild();
  SetFullRepaint();
}

// ---- building a page

void SStateInventory::Rebuild() {
  DiscardSheetPoints();
  BuildPage();
  SetGoldPackText();
  if (page == kItemsPage) {
    RebuildItemGrid(false);
  } else {
    RefillPageLists();
  }
  MarkPageTab();
  SetFullRepaint();
}

void SStateInventory::BuildPage() {
  ClearControls();
  const u32 sub = sheetSubPage < kSubPages ? sheetSubPage : 0;
  switch (page) {
    case kSheetPage: SetLayout(kSheetLayouts[sub]); break;
    case kQuestsPage: SetLayout(kQuestsLayout); break;
    case kSpellsPage: SetLayout(kSpellsLayout); break;
    default: SetLayout(kItemsLayout); break;
  }
  left = top = 0;
  BuildCommonControls();
  const i32 mode = core ? core->displayMode : 0;
  switch (page) {
    case kItemsPage: BuildItemsPage(IsFrameStyle4Mode(mode) ? 4 : 2); break;
    case kSheetPage:
      BuildSheetHeader();
      BuildSheetSubPage();
      break;
    case kQuestsPage: BuildQuestsPage(); break;
    case kSpellsPage: BuildSpellsPage(); break;
    default: break;  // a child's page word: the common controls only
  }
}

void SStateInventory::BuildCommonControls() {
  const i32 mode = core ? core->displayMode : 0;
  const bool compact = SGameCore::IsCompactMode(mode), large = SGameCore::IsLargeMode(mode);
  if (AddLayoutControl(&pageFrame, kPageFrameId))
    SetFrameStyle(pageFrame, InventoryPicture::Border(core, compact ? 'S' : 'L'), 15);
  if (AddLayoutControl(&goldFrame, kGoldFrameId)) {
    const u32 style = IsSecondButtonSetMode(mode) || mode == 2 ? 130 : (large || mode == 16) ? 133 : 129;
    SetFrameStyle(goldFrame, InventoryPicture::Border(core, large ? 'L' : 'S'), style);
  }
  if (AddLayoutControl(&tabFrame, kTabFrameId))
    SetFrameStyle(tabFrame, InventoryPicture::Border(core, large ? 'L' : 'S'), mode == 3 ? 4 : 2);
  if (AddLayoutControl(&goldText, kGoldTextId))
    goldText.SetTextStyled("", STextCtrl::kCentred | STextCtrl::kMiddle, 18, RgbWord(0xC8C8C8), RgbWord(0x161616));
  const u32 firstSet = InventoryPicture::kTabs;
  for (u32 i = 0; i < 4; ++i) PlaceButton(*this, tabs[i], u16(kItemsTab + i), NthSet(firstSet, i));
  PlaceButton(*this, mainMenu, kMainMenuId, NthSet(firstSet, 4));
  PlaceButton(*this, closeButton, kCloseId, NthSet(firstSet, 5), kCloseAction);
  if (AddLayoutControl(&contentFrame, kContentFrameId))
    SetFrameStyle(contentFrame, InventoryPicture::Border(core, mode == 2 || mode >= 5 ? 'S' : 'L'),
                  IsFrameStyle4Mode(mode) ? 4 : 2);
}

void SStateInventory::MarkPageTab() {
  for (u32 i = 0; i < 4; ++i) {
    tabs[i].SetLatched(page == i);
    tabs[i].MarkDirty();
  }
}

void SStateInventory::BuildSheetHeader() {
  const i32 mode = core ? core->displayMode : 0;
  const bool compact = SGameCore::IsCompactMode(mode);
  if (AddLayoutControl(&headerFrame, kHeaderFrameId))
    SetFrameStyle(headerFrame, InventoryPicture::Border(core, compact ? 'S' : 'M'), 6);
  if (AddLayoutControl(&portrait, kPortraitId)) {
    const char* face = core ? core->player.portrait.CStr() : nullptr;
    if (core && face && core->world.faces.FindByName(face)) {
      portrait.SetFaceByName(face);
    } else {
      portrait.SetPicture(core ? core->Picture(InventoryPicture::kDefaultFace) : nullptr);
    }
  }
  if (AddLayoutControl(&nameText, kNameId))
    nameText.SetTextStyled(core ? core->player.name.CStr() : "", STextCtrl::kLeft | STextCtrl::kMiddle, 18,
                           RgbWord(0xC8C8C8), RgbWord(0x161616));
  PlaceButton(*this, renameButton, kRenameId, InventoryPicture::kRename);
  PlaceButton(*this, faceButton, kFaceId, InventoryPicture::kFace);
  static constexpr const char* kCaptions[kSubPages] = {"Main", "Skills", "Abilities", "Diseases", "Active effects"};
  for (u32 i = 0; i < kSubPages; ++i) {
    STopicButtonCtrl& b = subPageButtons[i];
    if (!AddLayoutControl(&b, kSubPageIds[i])) continue;
    b.fontNumber = 1;
    b.SetText(kCaptions[i], kSubPageIds[i], RgbWord(0xFFFFFF), RgbWord(0x96FFFF), RgbWord(0x585858));
    b.SetLatched(i == sheetSubPage);
  }
  if (AddLayoutControl(&sheetStripFrame, kSheetStripFrameId))
    SetFrameStyle(sheetStripFrame, InventoryPicture::Border(core, compact ? 'S' : 'L'), 4);
  if (mode != 10 && AddLayoutControl(&subPageFrame, kSubPageFrameId))
    SetFrameStyle(subPageFrame, InventoryPicture::Border(core, compact ? 'S' : 'L'),
                  mode == 5 || mode == 7 || mode == 8 ? 4 : 2);
}

// ---- the character sheet's commands

u32 SStateInventory::OnSheetCommand(u16 code) {
  switch (code) {
    case SDialogMessage::kOk:
      PlayClick(0);
      CloseChild();
      SetFullRepaint();
      return 0;
    case kRenameId:
      PlayClick(0);
      previousPage = page;
      nameEdit.Create();
      OpenPageChild(kNamePage, &nameEdit);
      nameEdit.SetText(core ? core->player.name.CStr() : "");
      return 0;
    case kFaceId:
      PlayClick(0);
      previousPage = page;
      faceSelect.Open();
      OpenPageChild(kFacePage, &faceSelect);
      return 0;
    default: break;
  }
  for (u32 i = 0; i < kSubPages; ++i)
    if (code == kSubPageIds[i]) {
      PlayClick(1);
      sheetSubPage = i;
      Rebuild();
      return 0;
    }
  return OnSheetPageCommand(code);
}

u32 SStateInventory::OnNameEditClosed(u16 code) {
  if (code == SDialogTextEdit::kAccept && core) core->player.name = nameEdit.GetText();
  ClosePageChild(previousPage);
  Rebuild();
  return 0;
}

u32 SStateInventory::OnFaceSelectClosed(u16 code) {
  if (code == SDialogFaceSelect::kOkId && core) {
    if (faceSelect.index == -1) {
      core->player.portrait = "";
    } else if (const char* name = faceSelect.SelectedFace()) {
      core->player.portrait = name;
    }
  }
  ClosePageChild(previousPage);
  Rebuild();
  return 0;
}

// ---- the gold and pack text

void SStateInventory::SetGoldPackText() {
  if (!core) return;
  SPlayer& player = core->player;
  SString money;
  FormatMoneyText(player.GetMoney(), money);
  const u32 weight = player.GetInventoryWeight();
  const i32 capacitySigned = player.GetCarryCapacity();
  const u32 capacity = capacitySigned > 0 ? u32(capacitySigned) : 0;
  const u32 w1 = weight / 100, w2 = (weight - w1 * 100) / 10, c1 = capacity / 100, c2 = (capacity - c1 * 100) / 10;
  const i32 mode = core->displayMode;
  const char* format = "Gold:\r%s%c\rPack:\r%u.%u/\r%u.%u";
  if (IsSecondButtonSetMode(mode) || mode == 2) {
    format = "Gold: %s%c\rPack: %u.%u/%u.%u";
  } else if (mode == 16) {
    format = "Gold:\r%s%c\r\rPack:\r%u.%u/\r%u.%u";
  }
  SString text;
  if (mode == 6 || mode == 12 || mode == 13) {
    text.Format("Gold:\r%s\rPack:\r%u.%u/\r%u.%u", money.CStr(), w1, w2, c1, c2);
  } else {
    text.Format(format, money.CStr(), 9, w1, w2, c1, c2);
  }
  SGameCore::ConvertNumberGlyphs(text);
  goldText.SetText(text.CStr());
  goldText.UpdateLayout();
  goldFrame.MarkDirty();
}

// ---- the saved view

void SStateInventory::SerializeViewOnSave(SStream& s, u32 /*version*/) {
  s.SerializeMarker('X');
  u32* const fields[kViewFields] = {&page,     &previousPage,  &sheetSubPage, &descriptionView,
                                    &category, &effectsFilter, &questsFilter, &spellsSchool};
  for (u32* field : fields) s.SerializeU32(*field);
}

bool SStateInventory::SerializeViewOnLoad(SStream& s, u32 /*version*/) {
  // Read into a copy: a record that ends early leaves the view as it was.
  u32 read[kViewFields] = {};
  s.SerializeMarker('X');
  for (u32& field : read) s.SerializeU32(field);
  if (s.Failed()) return false;
  // A saved game is outside data: a page that opens a child, or a word past its list, could show
  // nothing or index past a table, so each comes back in its range.
  page = read[0] <= kSpellsPage ? read[0] : kItemsPage;
  previousPage = read[1] <= kSpellsPage ? read[1] : kItemsPage;
  sheetSubPage = read[2] < kSubPages ? read[2] : 0;
  descriptionView = read[3] ? 1 : 0;
  category = read[4] < kCategories ? read[4] : 0;
  effectsFilter = read[5] <= 2 ? read[5] : 0;
  questsFilter = read[6] <= 3 ? read[6] : 0;
  spellsSchool = read[7] >= 1 && read[7] <= 7 ? read[7] : 1;
  return true;
}
