#include "screens/SStateLoadSave.h"

#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "core/ui/SRgb.h"
#include "game/SStateGame.h"

#include <cstring>

namespace {

constexpr u32 kSelectedColour = RgbWord(0xC8C8C8), kTextColour = RgbWord(0xC8C8C8), kEdgeColour = RgbWord(0x161616);
constexpr u32 kThumbnailWidth = 80, kThumbnailHeight = 50;

}  // namespace

SStateLoadSave::~SStateLoadSave() { FreeSlots(); }

void SStateLoadSave::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  SCtrl* const all[] = {&frame, &title, &action, &remove, &close};
  for (SCtrl* c : all) c->Attach(this);
  for (u32 k = 0; k < kRows; ++k) {
    rowFrames[k].Attach(this);
    rowPictures[k].Attach(this);
    rowTexts[k].Attach(this);
  }
  if (gameCore) {
    loading.Attach(gameCore);
    box.Attach(gameCore);
  }
}

// ---- the slots

void SStateLoadSave::FreeSlot(i32 row) {
  if (row < 0 || row >= i32(kRows) || !slots[row]) return;
  slots[row]->Free();
  delete slots[row];
  slots[row] = nullptr;
}

void SStateLoadSave::FreeSlots() {
  for (u32 k = 0; k < kRows; ++k) FreeSlot(i32(k));
}

void SStateLoadSave::ReadSlots() {
  FreeSlots();
  if (!core) return;
  for (u32 k = 0; k < kRows; ++k) slots[k] = core->saveGame.ReadSlotInfo(k + 1);
}

void SStateLoadSave::SlotText(i32 row) {
  if (row < 0 || row >= i32(kRows)) return;
  SPicCtrl& picture = rowPictures[row];
  const SSaveSlotInfo* info = slots[row];
  // Only a whole thumbnail of the expected size is shown; the reader drops any other.
  const bool thumbnail = info && info->thumbnail && info->width == kThumbnailWidth &&
                         info->height == kThumbnailHeight && u32(info->width) * info->height * 2 == kThumbnailBytes;
  if (thumbnail) {
    std::memcpy(thumbnails[row], info->thumbnail, kThumbnailBytes);
    picture.SetRawPixels(thumbnails[row], kThumbnailWidth, kThumbnailHeight);
  } else {
    picture.SetRawPixels(nullptr, 0, 0);
  }
  // A row without a thumbnail shows the frame's fill where it would be.
  if (picture.IsInDialog()) picture.Show(thumbnail);
  SString text;
  if (info) {
    text.Format("%s\r%s", info->place.CStr() ? info->place.CStr() : "", info->date.CStr() ? info->date.CStr() : "");
  } else {
    text.Assign("- empty -");
  }
  STextCtrl& t = rowTexts[row];
  const bool centred = core && core->displayMode == 16;
  t.SetTextStyled(text.CStr(), (centred ? STextCtrl::kCentred : STextCtrl::kLeft) | STextCtrl::kMiddle, 1, t.colour,
                  t.shade);
}

// ---- entering and leaving

void SStateLoadSave::Enter(u32 mode, u32 w1, u32 w2, u32 w3) {
  SState::Enter(mode, w1, w2, w3);
  loadMode = mode != 0;
  selected = -1;
  prompt = kPromptNone;
  ReadSlots();

  ClearControls();
  SetLayout(kLayout);
  left = top = 0;
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  SImageEntry* const* pictures = core ? core->pictures : nullptr;
  if (AddLayoutControl(&frame, kFrameId)) frame.SetFrame(core ? core->FrameSet() : nullptr, 0, 0, 15);
  if (AddLayoutControl(&title, kTitleId))
    title.SetTextStyled(loadMode ? "Load a game" : "Save a game", STextCtrl::kLeft, 2, kTextColour, kEdgeColour);
  for (u32 k = 0; k < kRows; ++k) {
    if (AddLayoutControl(&rowFrames[k], kRowFrameIds[k]))
      rowFrames[k].SetFrame(pictures ? &pictures[77] : nullptr, 1, 0, 15);
    AddLayoutControl(&rowPictures[k], kThumbnailIds[k]);
    rowPictures[k].fill = 1;
    rowPictures[k].fillColour = 0;
    if (AddLayoutControl(&rowTexts[k], kTextIds[k])) {
      rowTexts[k].colour = kTextColour;
      rowTexts[k].shade = kEdgeColour;
    }
    SlotText(i32(k));
  }
  if (AddLayoutControl(&action, kActionId)) action.SetPicture(pictures ? &pictures[145] : nullptr, kActionId, 0);
  if (AddLayoutControl(&remove, kRemoveId)) remove.SetPicture(pictures ? &pictures[147] : nullptr, kRemoveId, 0);
  if (AddLayoutControl(&close, kCloseId)) close.SetPicture(pictures ? &pictures[143] : nullptr, kCloseId, 0);

  SelectRow(-1);
  Paint();
  ResetInputGuard();
}

void SStateLoadSave::Leave(u32 next) {
  SState::Leave(next);
  FreeSlots();
  child = nullptr;
  prompt = kPromptNone;
}

// ---- the selection

void SStateLoadSave::SelectRow(i32 row) {
  selected = row >= 0 && row < i32(kRows) ? row : -1;
  for (u32 k = 0; k < kRows; ++k) {
    const bool on = i32(k) == selected;
    rowFrames[k].fillColour = on ? kSelectedColour : 0;
    rowFrames[k].MarkDirty();
    rowPictures[k].fillColour = on ? kSelectedColour : 0;
    rowPictures[k].MarkDirty();
    rowTexts[k].SetColour(on ? kEdgeColour : kTextColour);
    rowTexts[k].shade = on ? kSelectedColour : 0;
  }
  ApplyButtonRule();
  SetFullRepaint();
}

void SStateLoadSave::ApplyButtonRule() {
  const bool occupied = SlotHoldsGame(selected);
  // Hidden and shown only while listed: a button the layout lacks stays out of the dialog.
  if (action.IsInDialog()) action.Show(selected >= 0 && (!loadMode || occupied));
  if (remove.IsInDialog()) remove.Show(occupied);
}

u32 SStateLoadSave::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  // Rows take the pen-down that the dialog's guard takes; a tap between rows keeps the selection.
  if (!child && touching && !moving && !IsOpeningTick()) {
    for (u32 k = 0; k < kRows; ++k) {
      const SBorderCtrl& f = rowFrames[k];
      if (!f.IsVisible() || x < f.left || y < f.top || x >= f.left + f.width || y >= f.top + f.height) continue;
      if (core) core->PlayClick(0);
      SelectRow(i32(k));
      break;
    }
  }
  return SState::OnPen(x, y, touching, moving);
}

// ---- questions and notices

void SStateLoadSave::Ask(const char* text, u32 buttons, u32 mode) {
  prompt = mode;
  if (!core) return;
  if (core->observer) core->observer->OnMessage("load/save", "message box", text, buttons);
  core->ShowMessageBox(text, buttons, &boxText, &box, this);
  SetFullRepaint();
}

u32 SStateLoadSave::OnCommand(u16 code) {
  if (prompt != kPromptNone) {
    if (code != kOk && code != kYes && code != kNo) return 0;
    const u32 mode = prompt;
    prompt = kPromptNone;
    CloseChild();
    SetFullRepaint();
    if (mode == kPromptSaved) return u32(kStateReturn);
    // The states under this screen were left before the load: the main menu starts afresh.
    if (mode == kPromptLoadFailed) return u32(kStateMain);
    if (mode == kPromptOverwrite && code == kYes) SaveSelected();
    if (mode == kPromptRemove && code == kYes) RemoveSelected();
    return 0;
  }
  switch (code) {
    case kCloseId:
      if (core) core->PlayClick(1);
      return u32(kStateReturn);
    case kActionId:
      if (selected < 0) return 0;
      if (loadMode) return SlotHoldsGame(selected) ? LoadSelected() : 0;
      if (SlotHoldsGame(selected)) {
        Ask("Do you want to overwrite this saved game?", kYes | kNo, kPromptOverwrite);
      } else {
        SaveSelected();
      }
      return 0;
    case kRemoveId:
      if (!SlotHoldsGame(selected)) return 0;
      if (core) core->PlayClick(1);
      Ask("Do you want to physically remove this saved game?", kYes | kNo, kPromptRemove);
      return 0;
    default: return 0;
  }
}

// ---- the actions

void SStateLoadSave::SaveSelected() {
  if (selected < 0 || !core) return;
  const u32 slot = u32(selected) + 1;
  FreeSlot(selected);
  const bool saved = core->saveGame.Write(slot) == 1;
  // A failed save left the slot's previous file as it was: the row shows what the file holds now.
  slots[selected] = core->saveGame.ReadSlotInfo(slot);
  SlotText(selected);
  ApplyButtonRule();
  Paint();
  if (saved) {
    Ask("Game saved.", kOk, kPromptSaved);
  } else {
    Ask("The game could not be saved.", kOk, kPromptNotice);
  }
  Paint();
}

void SStateLoadSave::RemoveSelected() {
  if (selected < 0 || !core) return;
  const u32 slot = u32(selected) + 1;
  FreeSlot(selected);
  const bool removed = core->saveGame.DeleteSlot(slot) == 1;
  // A file still there keeps its row.
  if (!removed) slots[selected] = core->saveGame.ReadSlotInfo(slot);
  SlotText(selected);
  ApplyButtonRule();
  SetFullRepaint();
  Ask(removed ? "The saved game has been removed." : "The saved game could not be removed.", kOk, kPromptNotice);
}

u32 SStateLoadSave::LoadSelected() {
  if (!core) return 0;
  SetFullRepaint();
  if (core->stateGame) core->stateGame->StopMusic();
  loading.Layout();
  OpenChild(&loading);
  core->PopAllStates();
  const bool loaded = core->saveGame.Load(u32(selected) + 1, &loading) == 1;
  CloseChild();
  ResetInputGuard();
  if (!loaded) {
    // Whatever the load left, the game that ran is gone with the states: no game to continue.
    if (core->stateGame) core->stateGame->gameInProgress = 0;
    Ask("The saved game could not be loaded.", kOk, kPromptLoadFailed);
    return 0;
  }
  params[0] = 0;
  return u32(kStateGame);
}
