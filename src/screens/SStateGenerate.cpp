#include "screens/SStateGenerate.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/SStateNumbers.h"
#include "core/ui/SRgb.h"
#include "game/SStateGame.h"
#include "platform/sound/SSoundManager.h"
#include "screens/SStateMain.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr u32 kSmallPanels = 77, kLargePanels = 16, kOkSlot = 145, kCancelSlot = 143, kPreviousSlot = 135,
              kNextSlot = 137, kPanelUp = PictureRole::kMenuButtonUp, kPanelDown = PictureRole::kMenuButtonDown;
constexpr u32 kLabelColour = RgbWord(0xC8C8C8), kEdgeColour = RgbWord(0x161616), kHighlight = STopicButtonCtrl::kYellow;
constexpr u16 kFrameIds[6] = {19, 551, 552, 553, 558, 559};
constexpr u16 kNameFrame = 155;
constexpr struct {
  u16 id;
  const char* text;
} kLabels[5] = {{139, "Name:"}, {145, "Gender:"}, {142, "Race:"}, {148, "Face:"}, {150, "Skills:"}};

}  // namespace

u32 SStateGenerate::RaceSkill(u32 race, u32 skill) {
  if (race == kRasvim && skill == kHealMagic) return kUndeadMagic;
  if (race != kRasvim && skill == kUndeadMagic) return kHealMagic;
  return skill;
}

void SStateGenerate::RaceFace(u32 race, const char* raceName, SString& out) {
  out.Assign("bres_head00_race");
  std::string tail = race == kRasvim ? "undead" : (raceName ? raceName : "");
  for (char& c : tail) c = char(std::tolower(static_cast<unsigned char>(c)));
  out.Append(tail.c_str());
}

void SStateGenerate::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  for (SBorderCtrl& f : frames) f.Attach(this);
  for (SCtrl* c :
       std::initializer_list<SCtrl*>{&title, &hint, &modifyText, &nameText, &raceText, &rename, &female, &male,
                                     &changeRace, &selectClass, &previousFace, &nextFace, &ok, &cancel, &face})
    c->Attach(this);
  for (STextCtrl& l : labels) l.Attach(this);
  for (STopicButtonCtrl& b : skillButtons) b.Attach(this);
}

void SStateGenerate::Enter(u32 w0, u32 w1, u32 w2, u32 w3) {
  SState::Enter(w0, w1, w2, w3);
  newPlayer = SNewPlayer{};
  for (SDialog* d :
       std::initializer_list<SDialog*>{&loading, &keyboard, &raceDialog, &classDialog, &skillDialog, &report})
    d->Attach(core);
  reportText.Attach(&report);
  LayOut();
  BuildFaces();
  ShowFace();
  FillSkills();
  subMode = kScreen;
  Paint();
  ResetInputGuard();
}

void SStateGenerate::LayOut() {
  ClearControls();
  SetLayout(kLayout);
  SetPos(0, 0);
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  const bool compact = core && core->IsCompact();
  SImageEntry* const* small = core ? &core->pictures[kSmallPanels] : nullptr;
  if (AddLayoutControl(&frames[0], kFrameIds[0]))
    frames[0].SetFrame(core ? &core->pictures[compact ? kSmallPanels : kLargePanels] : nullptr, 0, 0, 15);
  for (u32 i = 1; i < 6; ++i)
    if (AddLayoutControl(&frames[i], kFrameIds[i])) frames[i].SetFrame(small, 0, 0, 15);
  if (AddLayoutControl(&frames[6], kNameFrame)) frames[6].SetFrame(small, 0, 0, 15);
  if (AddLayoutControl(&title, 16))
    title.SetTextStyled("Create new player", STextCtrl::kCentred, 1, RgbWord(0xFFFFFF), kEdgeColour);
  for (u32 i = 0; i < 5; ++i)
    if (AddLayoutControl(&labels[i], kLabels[i].id))
      labels[i].SetTextStyled(kLabels[i].text, STextCtrl::kLeft, 1, kLabelColour, kEdgeColour);
  const i32 mode = core ? core->displayMode : 0;
  const bool shortHint = mode == 5 || mode == 6 || mode == 7 || mode == 8 || mode == 12 || mode == 13 || mode == 16;
  if (AddLayoutControl(&hint, 152))
    hint.SetTextStyled(shortHint ? "a pre-defined class," : "select a pre-defined class:", STextCtrl::kLeft, 1,
                       kLabelColour, kEdgeColour);
  if (AddLayoutControl(&modifyText, 156))
    modifyText.SetTextStyled("and/or modify the primary skills:", STextCtrl::kLeft, 1, kLabelColour, kEdgeColour);
  if (AddLayoutControl(&nameText, kNameText))
    nameText.SetTextStyled(newPlayer.name.CStr(), STextCtrl::kLeft, 1, kLabelColour, 0);
  if (AddLayoutControl(&raceText, kRaceText))
    raceText.SetTextStyled(newPlayer.raceName.CStr(), STextCtrl::kLeft, 1, kHighlight, 0);
  SImageEntry* const* up = core ? &core->pictures[kPanelUp] : nullptr;
  SImageEntry* const* down = core ? &core->pictures[kPanelDown] : nullptr;
  for (auto [button, id, text] : {std::tuple{&rename, kRename, "Rename"}, std::tuple{&female, kFemale, "Female"},
                                  std::tuple{&male, kMale, "Male"}, std::tuple{&changeRace, kChangeRace, "Change"},
                                  std::tuple{&selectClass, kSelectClass, "Select"}})
    if (AddLayoutControl(button, id))
      button->CreatePanel(down, up, text, id, 1, kLabelColour, kEdgeColour, kHighlight, kEdgeColour, 0);
  if (AddLayoutControl(&face, kFace)) face.ClearFace();
  if (AddLayoutControl(&previousFace, kPreviousFace))
    previousFace.SetPicture(core ? &core->pictures[kPreviousSlot] : nullptr, kPreviousFace, 0);
  if (AddLayoutControl(&nextFace, kNextFace))
    nextFace.SetPicture(core ? &core->pictures[kNextSlot] : nullptr, kNextFace, 0);
  for (u32 i = 0; i < 6; ++i)
    if (AddLayoutControl(&skillButtons[i], u16(kFirstSkill + i)))
      skillButtons[i].SetText("", kFirstSkill + i, RgbWord(0x64C8C8), kHighlight, kEdgeColour);
  if (AddLayoutControl(&ok, kOk)) ok.SetPicture(core ? &core->pictures[kOkSlot] : nullptr, kOk, 0);
  if (AddLayoutControl(&cancel, kCancel)) cancel.SetPicture(core ? &core->pictures[kCancelSlot] : nullptr, kCancel, 0);
  ShowGender();
  SetFullRepaint();
}

void SStateGenerate::BuildFaces() {
  faces.clear();
  if (core)
    for (const SFace* f : core->world.faces.records)
      if (f && f->selectable) faces.push_back(f->name.Text());
  // Byte order; a face without a name goes last.
  std::stable_sort(faces.begin(), faces.end(), [](const char* a, const char* b) {
    if (!a || !b) return a && !b;
    return std::strcmp(a, b) < 0;
  });
  faceIndex = -1;
  for (size_t i = 0; i < faces.size(); ++i)
    if (faces[i] && newPlayer.portrait.Equals(faces[i])) faceIndex = i32(i);
}

void SStateGenerate::ShowFace() {
  face.SetFace(newPlayer.portrait.CStr());
  face.MarkDirty();
}

void SStateGenerate::FillSkills() {
  for (u32 i = 0; i < 6; ++i) {
    const char* name = core ? core->world.rules.skills.MediumName(newPlayer.majorSkills[i]) : nullptr;
    // The topic button draws its bullet glyph before the caption itself.
    skillButtons[i].SetCaption(name ? name : "");
    skillButtons[i].MarkDirty();
  }
}

void SStateGenerate::ApplyRaceExchange() {
  for (u32& s : newPlayer.majorSkills) s = RaceSkill(newPlayer.race, s);
}

void SStateGenerate::ShowGender() {
  female.SetLatched(newPlayer.sex == 0);
  male.SetLatched(newPlayer.sex == 1);
  female.MarkDirty();
  male.MarkDirty();
}

void SStateGenerate::Click(u32 which) {
  if (core && core->soundManager && core->clickSounds[which])
    core->soundManager->PlaySound(core->clickSounds[which], 10);
}

u32 SStateGenerate::OnCommand(u16 code) {
  if (subMode != kScreen) return ChildAnswered(code);
  switch (code) {
    case kRename:
      Click(0);
      keyboard.Create();
      keyboard.SetText(newPlayer.name.CStr());
      OpenChild(&keyboard);
      subMode = kKeyboard;
      return 0;
    case kFemale:
    case kMale:
      Click(0);
      newPlayer.sex = code == kMale ? 1 : 0;
      ShowGender();
      return 0;
    case kChangeRace:
      Click(0);
      raceDialog.Open(newPlayer.race);
      OpenChild(&raceDialog);
      subMode = kRaceDialog;
      return 0;
    case kSelectClass:
      Click(0);
      classDialog.Open();
      OpenChild(&classDialog);
      subMode = kClassDialog;
      return 0;
    case kPreviousFace:
    case kNextFace: {
      Click(0);
      const i32 last = i32(faces.size()) - 1;
      if (code == kPreviousFace && faceIndex > 0) --faceIndex;
      if (code == kNextFace && faceIndex < last) ++faceIndex;
      if (faceIndex >= 0 && faceIndex <= last && faces[size_t(faceIndex)])
        newPlayer.portrait.Assign(faces[size_t(faceIndex)]);
      ShowFace();
      previousFace.Enable(code == kNextFace || faceIndex != 0);
      nextFace.Enable(code == kPreviousFace || faceIndex < last);
      previousFace.MarkDirty();
      nextFace.MarkDirty();
      return 0;
    }
    case kOk: Click(1); return StartGame();
    case kCancel:
      Click(1);
      params[0] = 1;
      params[1] = params[2] = params[3] = 0;
      keep = 0;
      return kStateMain;
    default:
      if (code >= kFirstSkill && code < kFirstSkill + 6) {
        Click(0);
        editedSlot = code - kFirstSkill;
        skillDialog.Open(newPlayer.majorSkills[editedSlot]);
        OpenChild(&skillDialog);
        subMode = kSkillDialog;
      }
      return 0;
  }
}

u32 SStateGenerate::ChildAnswered(u16 code) {
  const u32 mode = subMode;
  subMode = kScreen;
  CloseChild();
  SetFullRepaint();
  if (mode == kRaceDialog) raceDialog.Reset();
  if (mode == kReport) {
    // The game did not start: back to the menu, with no game.
    params[0] = 1;
    params[1] = params[2] = params[3] = 0;
    keep = 0;
    return kStateMain;
  }
  if (code != kOk) return 0;
  switch (mode) {
    case kKeyboard:
      newPlayer.name.Assign(keyboard.GetText());
      nameText.SetText(newPlayer.name.CStr());
      break;
    case kRaceDialog:
      if (raceDialog.chosenRace >= 1 && raceDialog.chosenRace <= 5) {
        newPlayer.race = raceDialog.chosenRace;
        const SRaceRow* row = core ? core->world.rules.races.Row(newPlayer.race) : nullptr;
        newPlayer.raceName.Assign(row && row->name.CStr() ? row->name.CStr() : "");
        raceText.SetText(newPlayer.raceName.CStr());
        RaceFace(newPlayer.race, newPlayer.raceName.CStr(), newPlayer.portrait);
        ShowFace();
        ApplyRaceExchange();
        FillSkills();
      }
      break;
    case kClassDialog:
      if (const SClassRow* row = core ? core->world.rules.classes.Row(classDialog.chosenClass) : nullptr) {
        for (u32 i = 0; i < 6; ++i) newPlayer.majorSkills[i] = row->skills[i];
        ApplyRaceExchange();
        FillSkills();
      }
      break;
    case kSkillDialog: {
      const u32 chosen = RaceSkill(newPlayer.race, skillDialog.selectedSkill);
      if (chosen < 1 || chosen > SDialogSelectSkill::kSkills) break;
      // The six stay distinct: a slot that holds the choice takes the edited slot's old skill.
      for (u32 i = 0; i < 6; ++i)
        if (i != editedSlot && newPlayer.majorSkills[i] == chosen)
          newPlayer.majorSkills[i] = newPlayer.majorSkills[editedSlot];
      newPlayer.majorSkills[editedSlot] = chosen;
      FillSkills();
      break;
    }
    default: break;
  }
  return 0;
}

u32 SStateGenerate::StartGame() {
  if (core->stateGame) core->stateGame->StopMusic();
  loading.Layout();
  OpenChild(&loading);
  const i32 started = core->saveGame.StartNewGame(&loading);
  if (core->stateGame) core->stateGame->keep = 0;
  CloseChild();
  ResetInputGuard();
  if (started != 1) {
    // No half-built world is kept; the player is told, and the menu follows.
    SStateMain::KeepOnlyMusic(core);
    if (core->stateGame) core->stateGame->SelectMusic();
    subMode = kReport;
    core->ShowMessageBox("The world could not be loaded.", SDialogMessage::kOk, &reportText, &report, this);
    return 0;
  }
  params[0] = 1;
  params[1] = params[2] = params[3] = 0;
  keep = 0;
  return kStateGame;
}
