#include "screens/SStateMain.h"

#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "core/SPictureTable.h"
#include "core/SStateNumbers.h"
#include "core/ui/SRgb.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "platform/sound/SSoundManager.h"

#include <cstdio>

namespace {

constexpr struct {
  const char* text;
  u32 code;
  bool onlyInGame;
} kRows[] = {{"Continue game", SStateMain::kContinue, true}, {"Start new game", SStateMain::kNewGame, false},
             {"Load Game", SStateMain::kLoad, false},        {"Save Game", SStateMain::kSave, true},
             {"Settings", SStateMain::kSettings, false},     {"Additional worlds", SStateMain::kWorlds, false},
             {"Credits", SStateMain::kCredits, false},       {"Exit", SStateMain::kExit, false}};

}  // namespace

void SStateMain::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  for (SPicCtrl& p : pictures) p.Attach(this);
  list.Attach(this);
  version.Attach(this);
}

bool SStateMain::GameInProgress() const { return core && core->stateGame && core->stateGame->gameInProgress; }

bool SStateMain::GameAlive() const { return GameInProgress() && core->player.hp > 0; }

u32 SStateMain::SceneWord(SGameCore* core, const char* name) {
  if (!core || !name) return 0;
  const SSceneTable& scenes = core->world.rules.scenes;
  const SScene* scene = scenes.FindByName(name);
  const i32 index = scene ? scenes.records.IndexOf(scene) : -1;
  return index < 0 ? 0 : u32(index) + 1;
}

void SStateMain::KeepOnlyMusic(SGameCore* core) {
  if (!core) return;
  core->UnloadWorld();
  core->world.modules.OpenArchive("DuskmireMusic");
}

void SStateMain::BuildMenu() {
  ClearControls();
  SetLayout(kLayout);
  SetPos(0, 0);
  SetBlackBackground();
  for (u32 i = 0; i < 4; ++i)
    if (AddLayoutControl(&pictures[i], kPictureIds[i]))
      pictures[i].SetPicture(core ? core->Picture(SPictureTable::MenuRuns()[i].firstSlot) : nullptr, i == 3, 0);
  list.Clear();
  if (AddLayoutControl(&list, kListId)) {
    list.SetFont(2, RgbWord(0xFFFFFF), 0, nullptr);
    list.SetOwnHighlight();
    list.highlightBarColour = SDialogListCtrl::kHighlightBar;
    list.highlightTextColour = RgbWord(0xFFFFFF);
    if (font) font->Select(2, 0, 0);
    list.rowHeight = (font ? font->LineHeight() : 12) + (core && core->IsCompact() ? 1 : 2);
    list.deselectOutside = 1;
    list.confirmBySecondTap = 1;
    const bool alive = GameAlive();
    for (const auto& row : kRows)
      if (!row.onlyInGame || alive) list.AddRow(row.code, row.text);
    list.rowsPerPage = list.rowHeight > 0 ? list.height / list.rowHeight : 0;
    list.firstRow = 0;
    list.selected = -1;
  }
  if (AddLayoutControl(&version, kVersionId)) {
    char text[16];
    std::snprintf(text, sizeof text, "v%s", kVersion);
    version.SetTextStyled(text, 0, 1, RgbWord(0xFFFFFF), 0);
  }
  SetFullRepaint();
}

void SStateMain::Enter(u32 w0, u32 w1, u32 w2, u32 w3) {
  SState::Enter(w0, w1, w2, w3);
  if (core) core->LoadMenuPictures();
  prompt.Attach(core);
  promptText.Attach(&prompt);
  loading.Attach(core);
  promptMode = kNoPrompt;
  BuildMenu();
  if (core && core->stateGame) core->stateGame->SelectMusic();
  if (core && !GameInProgress()) {
    if (SSaveSlotInfo* info = core->saveGame.ReadSlotInfo(0)) {
      info->Free();
      delete info;
      list.flags &= u16(~SCtrl::kShown);
      ShowPrompt("Do you want to load\rthe auto-saved game?", SDialogMessage::kYes | SDialogMessage::kNo,
                 kAutoSavePrompt);
    }
  }
  Paint();
  ResetInputGuard();
}

void SStateMain::Resume() {
  list.selected = -1;
  promptMode = kNoPrompt;
  BuildMenu();
  if (core && core->stateGame) core->stateGame->SelectMusic();
  SState::Resume();
}

void SStateMain::Paint() {
  const bool full = NeedsFullRepaint();
  SState::Paint();
  if (full && child) {
    child->SetFullRepaint();
    child->Paint();
  }
}

void SStateMain::ShowPrompt(const char* text, u32 buttons, u32 mode) {
  promptMode = mode;
  if (core) core->ShowMessageBox(text, buttons, &promptText, &prompt, this);
}

u32 SStateMain::OnCommand(u16 code) {
  if (promptMode != kNoPrompt) {
    const u32 mode = promptMode;
    promptMode = kNoPrompt;
    CloseChild();
    SetFullRepaint();
    ResetInputGuard();
    switch (mode) {
      case kAutoSavePrompt: {
        list.flags |= SCtrl::kShown;
        list.MarkDirty();
        if (code != SDialogMessage::kYes) return 0;
        if (core->stateGame) core->stateGame->StopMusic();
        loading.Layout();
        OpenChild(&loading);
        core->PopAllStates();
        const i32 loaded = core->saveGame.Load(0, &loading);
        CloseChild();
        ResetInputGuard();
        if (loaded != 1) {
          // Nothing of the slot stays: the menu goes on without a game.
          if (core->stateGame) core->stateGame->SelectMusic();
          ShowPrompt("The saved game could not be loaded.", SDialogMessage::kOk, kReport);
          return 0;
        }
        params[0] = 0;
        return kStateGame;
      }
      case kNewGamePrompt: return code == SDialogMessage::kYes ? LoadWorld() : 0;
      case kExitPrompt:
        if (code == SDialogMessage::kYes) ExitGame();
        return 0;
      default: return 0;
    }
  }
  if (code != kListId) return 0;
  Paint();
  if (display) display->FlipAndBegin();
  const SListRow* row = list.SelectedRow();
  if (!row) return 0;
  if (list.lastAction != SDialogListCtrl::kConfirmed) {
    if (core && core->soundManager && core->clickSounds[0]) core->soundManager->PlaySound(core->clickSounds[0], 10);
    return 0;
  }
  switch (row->code) {
    case kNewGame:
      if (GameAlive()) {
        ShowPrompt("Are you sure you want to start a new game?", SDialogMessage::kYes | SDialogMessage::kNo,
                   kNewGamePrompt);
        return 0;
      }
      return LoadWorld();
    case kLoad:
    case kSave:
      params[0] = row->code == kLoad ? 1 : 0;
      params[1] = params[2] = params[3] = 0;
      keep = 1;
      return kStateLoadSave;
    case kExit: {
      SString text("Are you sure you want to exit?");
      if (GameAlive()) text.Append("\nThe active game will be saved.");
      ShowPrompt(text.CStr(), SDialogMessage::kYes | SDialogMessage::kNo, kExitPrompt);
      return 0;
    }
    case kContinue:
      core->PopToFirstState();
      Leave(kStateReturn);
      return kStateReturn;
    case kSettings:
    case kWorlds:
      params[0] = params[1] = params[2] = params[3] = 0;
      keep = 1;
      return row->code == kSettings ? kStateSettings : kStateAddWorlds;
    case kCredits:
      params[0] = 2;
      params[1] = SceneWord(core, "bmus_credits");
      params[2] = params[3] = 0;
      keep = 1;
      return kStateScene;
    default: return 0;
  }
}

u32 SStateMain::LoadWorld() {
  const SWorldModule* current = core->CurrentWorld();
  if (!current || current->name.Equals("bmus")) {
    if (core->stateGame) core->stateGame->StopMusic();
    loading.Layout();
    OpenChild(&loading);
    loading.ShowLoadingText();
    loading.Begin(3);
    const bool opened = core->world.modules.OpenGameArchives(&loading);
    CloseChild();
    ResetInputGuard();
    if (!opened) {
      KeepOnlyMusic(core);
      if (core->stateGame) core->stateGame->SelectMusic();
      ShowPrompt("The world could not be loaded.", SDialogMessage::kOk, kReport);
      return 0;
    }
  }
  CloseChild();
  ResetInputGuard();
  params[0] = 0;
  params[1] = SceneWord(core, "bres_intro");
  params[2] = params[3] = 0;
  return kStateScene;
}

void SStateMain::ExitGame() {
  if (core && core->soundManager) {
    core->soundManager->StopMusic();
    core->soundManager->StopSounds();
  }
  // Quitting saves a game in progress; when that fails and the player keeps the game, the menu stays.
  QuitGame();
  if (core && core->stateGame) core->stateGame->SelectMusic();
}
