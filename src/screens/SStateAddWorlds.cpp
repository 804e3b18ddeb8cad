#include "screens/SStateAddWorlds.h"

#include "core/SGameCore.h"
#include "core/ui/SRgb.h"

namespace {

constexpr u32 kTextColour = RgbWord(0xC8C8C8), kEdgeColour = RgbWord(0x161616), kRowColour = RgbWord(0x64C8C8);

// Shown only while listed: a control the layout lacks stays out of the dialog.
void ShowListed(SCtrl& c, bool on) {
  if (c.IsInDialog()) c.Show(on);
}

}  // namespace

u32 SStateAddWorlds::RowsPerPage(i32 mode) {
  switch (mode) {
    case 2:
    case 4:
    case 6:
    case 11:
    case 16: return 7;
    case 5:
    case 8: return 6;
    default: return 10;
  }
}

u32 SStateAddWorlds::Count() const { return core ? core->world.modules.additional.Count() : 0; }

void SStateAddWorlds::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  SCtrl* const all[] = {&title, &explanation, &empty, &previous, &next, &close};
  for (SCtrl* c : all) c->Attach(this);
  for (STextCtrl& h : headers) h.Attach(this);
  for (u32 r = 0; r < kRows; ++r) {
    SCtrl* const row[] = {&names[r], &types[r], &enabled[r], &disabled[r], &remove[r]};
    for (SCtrl* c : row) c->Attach(this);
  }
}

void SStateAddWorlds::BuildPage() {
  ClearControls();
  SetLayout(kLayout);
  left = top = 0;
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  SImageEntry* const* pictures = core ? core->pictures : nullptr;
  auto text = [&](STextCtrl& c, u16 id, const char* value, u32 mode, u32 fontNumber, u32 colour) {
    if (AddLayoutControl(&c, id)) c.SetTextStyled(value, mode, fontNumber, colour, kEdgeColour);
  };
  auto button = [&](SButtonCtrl& b, u16 id, u32 slot, u32 key) {
    if (AddLayoutControl(&b, id)) b.SetPicture(pictures ? &pictures[slot] : nullptr, id, key);
  };
  text(title, kTitleId, "Additional worlds", STextCtrl::kCentred, 2, RgbWord(0xFFFFFF));
  text(explanation, kExplanationId,
       "Here you can enable, disable or physically delete the installed additional worlds.", STextCtrl::kCentred, 1,
       kTextColour);
  const char* headerTexts[4] = {"Name", "Type", "Enable", "Delete"};
  for (u32 i = 0; i < 4; ++i) text(headers[i], kHeaderIds[i], headerTexts[i], STextCtrl::kCentred, 1, kTextColour);
  for (u32 r = 0; r < kRows; ++r) {
    text(names[r], kNameIds[r], "", STextCtrl::kLeft, 1, kRowColour);
    text(types[r], kTypeIds[r], "", STextCtrl::kLeft, 1, kRowColour);
    button(enabled[r], kEnabledIds[r], 438, 0);
    button(disabled[r], kDisabledIds[r], 440, 0);
    button(remove[r], kDeleteIds[r], 442, 0);
    SCtrl* const row[] = {&names[r], &types[r], &enabled[r], &disabled[r], &remove[r]};
    for (SCtrl* c : row) ShowListed(*c, false);
  }
  button(previous, kPreviousId, 135, 0);
  button(next, kNextId, 137, 0);
  text(empty, kEmptyId, "No additional worlds are installed.", STextCtrl::kCentred, 2, kTextColour);
  button(close, kCloseId, 145, kUseAction);
  for (SCtrl* c : {static_cast<SCtrl*>(&previous), static_cast<SCtrl*>(&next), static_cast<SCtrl*>(&empty)})
    ShowListed(*c, false);
  rowsPerPage = RowsPerPage(core ? core->displayMode : 0);
}

void SStateAddWorlds::Enter(u32 w0, u32 w1, u32 w2, u32 w3) {
  SState::Enter(w0, w1, w2, w3);
  BuildPage();
  page = 0;
  RefreshRows();
  const u32 count = Count();
  if (count >= rowsPerPage) {
    ShowListed(previous, true);
    ShowListed(next, true);
    UpdatePageButtons();
  }
  if (count == 0) {
    ShowListed(empty, true);
    for (STextCtrl& h : headers) ShowListed(h, false);
  }
  SetFullRepaint();
  Paint();
  ResetInputGuard();
}

void SStateAddWorlds::RefreshRows() {
  for (u32 r = 0; r < kRows; ++r) {
    SCtrl* const row[] = {&names[r], &types[r], &enabled[r], &disabled[r], &remove[r]};
    for (SCtrl* c : row) ShowListed(*c, false);
  }
  const u32 count = Count();
  u32 r = 0;
  for (u64 i = u64(page) * rowsPerPage; i < u64(page + 1) * rowsPerPage && i < count && r < kRows; ++i, ++r) {
    const SAdditionalWorld* world = core->world.modules.additional.At(i32(i));
    if (!world) continue;
    names[r].SetText(world->name.CStr() ? world->name.CStr() : "");
    types[r].SetText(world->official ? "Official" : "3rd party");
    ShowListed(names[r], true);
    ShowListed(types[r], true);
    ShowListed(world->enabled ? enabled[r] : disabled[r], true);
    ShowListed(remove[r], true);
  }
  SetFullRepaint();
}

void SStateAddWorlds::UpdatePageButtons() {
  previous.Enable(page > 0);
  next.Enable(u64(Count()) >= u64(page + 1) * rowsPerPage);
}

u32 SStateAddWorlds::OnCommand(u16 code) {
  switch (code) {
    case kCloseId:
      if (core) core->PlayClick(0);
      return u32(kStateReturn);
    case kPreviousId:
      // The button is disabled on the first page; a page never goes below it.
      if (page > 0) --page;
      RefreshRows();
      UpdatePageButtons();
      return 0;
    case kNextId:
      ++page;
      RefreshRows();
      UpdatePageButtons();
      return 0;
    default:
      // The row buttons have no action yet.
      return 0;
  }
}
