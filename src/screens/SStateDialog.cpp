#include "screens/SStateDialog.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/SStateNumbers.h"
#include "core/ui/SRgb.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "os/Clock.h"
#include "platform/sound/SSoundManager.h"
#include "player/SPlayer.h"
#include "screens/SServicePrices.h"
#include "script/SDialogConditions.h"
#include "script/SDialogEntry.h"
#include "script/SGlobalVariables.h"
#include "script/SScriptContext.h"
#include "script/SScriptInterpreter.h"
#include "world/SPeopleTables.h"
#include "world/SSoundTable.h"

#include <algorithm>

namespace {

constexpr u32 kVolume = 10;
constexpr u32 kFollowPauseMs = 200;
constexpr u32 kMostFollowUps = 64;
constexpr u16 kContinueKey = 3006, kExitKey = 1002;
constexpr u32 kSmallFrames = 77;
// The standard button panels of the game core, up and pressed.
constexpr u32 kButtonUp = PictureRole::kMenuButtonUp, kButtonDown = PictureRole::kMenuButtonDown;
// The services by flag, in the column's order.
struct Service {
  u8 flag;
  u16 code;
  const char* label;
};
constexpr Service kServices[5] = {{1, SStateDialog::kBuySell, "Buy/sell"},
                                  {2, SStateDialog::kTraining, "Training"},
                                  {8, SStateDialog::kRepair, "Repair"},
                                  {4, SStateDialog::kEnchant, "Enchant"},
                                  {64, SStateDialog::kCards, "Cards"}};

}  // namespace

SStateDialog::SStateDialog() = default;

SStateDialog::~SStateDialog() { RemoveTopics(); }

u32 SStateDialog::PersonWord(const SGameCore* core, const SNpc* p) {
  if (!core || !p) return 0;
  if (core->stateGame && p == &core->stateGame->temporaryPerson) return kTemporaryPerson;
  const i32 at = core->world.rules.people.records.IndexOf(const_cast<SNpc*>(p));
  return at < 0 ? 0 : u32(at) + 1;
}

SNpc* SStateDialog::PersonFromCore(SGameCore* core, u32 word) {
  if (!core || word == 0) return nullptr;
  if (word == kTemporaryPerson) return core->stateGame ? &core->stateGame->temporaryPerson : nullptr;
  return core->world.rules.people.records.At(i32(word - 1));
}

void SStateDialog::ShowSpeaker(SDialog& screen, const SNpc* person, SFaceCtrl& portrait, u16 portraitId,
                               STextCtrl& name, u16 nameId) {
  SGameCore* core = screen.core;
  if (screen.AddLayoutControl(&portrait, portraitId)) {
    if (person && person->texts[1] && *person->texts[1])
      portrait.SetFaceByName(person->texts[1]);
    else
      portrait.SetFace(core && core->scriptContext ? core->scriptContext->GetSpeakerPortraitName() : nullptr);
  }
  if (screen.AddLayoutControl(&name, nameId))
    name.SetTextStyled(person && person->texts[0] ? person->texts[0] : "", 18, 1, RgbWord(0xBEC8D2), RgbWord(0x161616));
}

void SStateDialog::Attach(SGameCore* gameCore) {
  SState::Attach(gameCore);
  for (SBorderCtrl& f : frames) f.Attach(this);
  SCtrl* const all[] = {&portrait,       &name, &text,   &column,   &separator, &exitSeparator, &exitButton,
                        &continueButton, &list, &pageUp, &pageDown, &listOk,    &listCancel};
  for (SCtrl* c : all) c->Attach(this);
  for (STopicButtonCtrl& s : services) s.Attach(this);
  for (STopicButtonCtrl& c : choiceButtons) c.Attach(this);
  doorFlag = 0;
}

bool SStateDialog::IsLargeScreen() const { return core && core->IsLarge(); }

void SStateDialog::PlayClick(u32 which) {
  if (core && core->soundManager && core->clickSounds[which])
    core->soundManager->PlaySound(core->clickSounds[which], kVolume);
}

void SStateDialog::PlaceButton(SButtonCtrl& button, const char* label, u16 code, u32 key) {
  SImageEntry* const* pictures = core ? core->pictures : nullptr;
  button.CreatePanel(pictures ? &pictures[kButtonDown] : nullptr, pictures ? &pictures[kButtonUp] : nullptr, label,
                     code, 1, RgbWord(0xC8C8C8), RgbWord(0x585858), RgbWord(0xFFFFFF), RgbWord(0x585858), key);
  const i32 w = (font ? font->TextWidth(label) : 6 * i32(StrLength(label))) + (core && core->IsCompact() ? 16 : 24);
  const i32 h = (font ? font->LineHeight() : 10) + (core && core->IsCompact() ? 4 : 8);
  button.SetRect(button.left, button.top, u16(w), u16(h));
  button.id = code;
}

// ---- entering and leaving

void SStateDialog::Enter(u32 w0, u32 w1, u32 w2, u32 w3) {
  SState::Enter(w0, w1, w2, w3);
  marker = kNone;
  if (core && core->stateGame) core->stateGame->StopAmbientSounds(false);
  // A second conversation of one visit is entered without the game state: its entries write here.
  if (core && core->scriptContext) core->scriptContext->output = kOutputConversation;
  if (core) {
    repairShop.Attach(core);
    training.Attach(core);
    enchanting.Attach(core);
    cardBet.Attach(core);
    box.Attach(core);
  }

  ClearControls();
  SetLayout(kLayout);
  left = top = 0;
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  const i32 mode = core ? core->displayMode : 0;
  const u32 fourth = (mode == 5 || mode == 7 || mode == 8) ? 6 : (mode == 10 || mode == 11 || mode == 16) ? 2 : 4;
  const u32 styles[4] = {15, 2, 4, fourth};
  // The outer frame by the screen's size, the inner ones (the separators) from the small set.
  for (u32 i = 0; i < 4; ++i)
    if (AddLayoutControl(&frames[i], kFrameIds[i]))
      frames[i].SetFrame(core ? (i == 0 ? core->FrameSet() : &core->pictures[kSmallFrames]) : nullptr, 0, 0, styles[i]);
  margin = IsLargeScreen() ? 10 : 1;

  person = PersonFromWord(w1);
  speakerWord = w2;
  finished = goNext = goFirst = 0;
  currentList = nullptr;
  currentEntry = nullptr;
  listActive = 0;
  choicesShown = 0;
  choiceLines = 0;
  if (person && core) person->UpdateWillingness(core->world.rules);

  ShowSpeaker(*this, person, portrait, kPortraitId, name, kNameId);
  text.Clear();
  text.waiting.Clear();
  // The text redraws its page over the screen's background as it scrolls.
  if (AddLayoutControl(&text, kTextId))
    text.SetStyle(1, RgbWord(0xE6D2C8), RgbWord(0xC8F0FA), RgbWord(0x20BABA), RgbWord(0x585858),
                  core ? core->pictures[0] : nullptr);
  text.pageMode = 0;
  // The column's rectangle only: it is never painted.
  if (AddLayoutControl(&column, kColumnId)) {
    columnX = column.left;
    columnY = column.top;
    columnWidth = column.width;
    columnHeight = column.height;
    RemoveControl(&column);
  } else {
    columnX = columnY = columnWidth = columnHeight = 0;
  }
  list.Clear();
  list.SetFont(1, RgbWord(0xFFFFFF), RgbWord(0x161616), nullptr);
  SetFullRepaint();
  greetingPending = 1;
}

void SStateDialog::Leave(u32 next) {
  // Messages from outside a script reach the game's message line again.
  if (core && core->scriptContext) core->scriptContext->output = kOutputGameMessage;
  RemoveTopics();
  SState::Leave(next);
}

// ---- the text

void SStateDialog::AddLine(const char* line, u32 colour, bool bullet) {
  if (!line) return;
  SString expanded(line);
  if (core && core->scriptContext) core->scriptContext->ExpandTextMacros(expanded);
  text.AddText(expanded.CStr(), colour, bullet && !goNext && !goFirst ? 1 : 0);
}

void SStateDialog::AddScriptText(const char* line) {
  if (line) text.AddText(line, 2, 0);
}

i32 SStateDialog::ChoiceLines() {
  SChoice* shown[4] = {};
  if (!currentEntry) return 0;
  SelectChoicesWhoseConditionHolds(*currentEntry, shown, person, core);
  i32 lines = 0;
  for (SChoice* c : shown) {
    if (!c || !font) continue;
    SString caption(c->answer ? c->answer : "");
    if (core && core->scriptContext) core->scriptContext->ExpandTextMacros(caption);
    i32 w = 0, n = 0;
    font->MeasureText(caption.CStr(), text.width - margin, &w, &n);
    lines += n > 0 ? n : 1;
  }
  return lines;
}

bool SStateDialog::Stopped() const { return text.HasWaitingLines() && text.rowsPerPage > 0; }

bool SStateDialog::Overflows(u32 choiceCount) {
  // A text without rows (no place in the layout) never fills a page.
  if (!choiceCount || text.rowsPerPage <= 0) return false;
  const i32 pending = i32(text.WaitingCount());
  const i32 lines = ChoiceLines();
  return pending + lines >= text.rowsPerPage - 1;
}

void SStateDialog::ShowEntry() {
  // A chain of follow-ups (gonext, gofirst) runs here entry after entry: the flags stay set from one entry
  // to the next, so the next text joins without a bullet and without a page stop in between. Data whose
  // chain comes back to itself (gofirst on its own list) would run for ever: the chain stops after so
  // many entries and the topics come back.
  u32 followUps = 0;
  while (currentEntry) {
    if (followUps++ >= kMostFollowUps) {
      goNext = goFirst = 0;
      currentEntry = nullptr;
      OfferTopics();
      return;
    }
    SDialogEntry& e = *currentEntry;
    text.greetingMark = greetingPending;
    text.pageMode = greetingPending || text.HasWaitingLines() ? 1 : 0;
    AddLine(e.text, 0, true);
    goNext = goFirst = 0;
    DisableColumn();

    SScriptInterpreter* interpreter = core ? core->scriptInterpreter : nullptr;
    // A failing run reports "Script error!" itself; the conversation goes on.
    if (e.script && e.scriptLength && interpreter) {
      interpreter->LoadProgram(e.script, e.scriptLength, e.scriptOffset);
      interpreter->Run();
    }
    SChoice* shown[4] = {};
    const u32 count = e.HasChoices() ? SelectChoicesWhoseConditionHolds(e, shown, person, core) : 0;
    const bool overflow = Overflows(count);
    // A follow-up's text waits for the next entry's: only a painted page can stop with lines waiting.
    const bool painted = !goNext && !goFirst;
    if (painted) text.Redraw();
    if ((painted && Stopped()) || overflow) {
      ShowContinue();
      return;
    }
    // An entry none of whose choices holds goes on as one without choices.
    if (count) {
      ShowChoices();
      goNext = 0;
      return;
    }
    if (listActive) {
      ShowChoiceList();
      goNext = goFirst = 0;
      return;
    }
    if (core && core->scriptContext) core->scriptContext->lastAnswer = 0;
    BuildColumn();
    EnableColumn();
    if (finished || (!goNext && !goFirst)) {
      goNext = goFirst = 0;
      return;
    }
    SDialogEntry* next = FindNextEntryWhoseConditionsHold(currentList, person, goNext ? currentEntry : nullptr, core);
    text.DrawPage();
    Os::Clocks().Sleep(kFollowPauseMs);
    currentEntry = next;
    if (!next) {
      goNext = goFirst = 0;
      OfferTopics();
      return;
    }
  }
}

void SStateDialog::ShowContinue() {
  DisableColumn();
  if (!text.IsInDialog()) return;  // placed on the text: nowhere without it
  const bool large = IsLargeScreen();
  PlaceButton(continueButton, "Continue", kContinue, kContinueKey);
  const i32 x = text.left + text.width - continueButton.width + (large ? -5 : 1);
  const i32 y = text.top + (text.rowsPerPage - 1) * (text.glyphHeight + 1) + (large ? -3 : 2);
  continueButton.SetPos(u16(x > 0 ? x : 0), u16(y > 0 ? y : 0));
  RemoveControl(&continueButton);
  AddControl(&continueButton);
  continueButton.MarkDirty();
}

void SStateDialog::ShowChoices() {
  SChoice* shown[4] = {};
  if (!currentEntry) return;
  choicesShown = SelectChoicesWhoseConditionHolds(*currentEntry, shown, person, core);
  u32 button = 0;
  i32 lines = 0;
  for (u32 slot = 0; slot < 4; ++slot) {
    if (!shown[slot]) continue;
    STopicButtonCtrl& b = choiceButtons[button++];
    SString caption(shown[slot]->answer ? shown[slot]->answer : "");
    if (core && core->scriptContext) core->scriptContext->ExpandTextMacros(caption);
    b.Setup(caption.CStr(), kChoice + slot, text.left + margin, 0, text.width - margin, 0, RgbWord(0x64F0FA),
            RgbWord(0x585858), 0);
    b.id = u16(kChoice + slot);
    RemoveControl(&b);
    // Placed on the text's lines: nowhere without a text (the choices still answer their commands).
    if (text.IsInDialog()) AddControl(&b);
    lines += b.lineCount > 0 ? b.lineCount : 1;
  }
  choiceLines = lines;
  text.pageMode = 1;
  for (i32 i = 0; i < lines; ++i) {
    STextLine blank;
    blank.text = " ";
    blank.colour = 1;
    text.waiting.Add(blank);
  }
  text.Redraw();
  const i32 mode = core ? core->displayMode : 0;
  if ((mode == 5 || mode == 8) && lines >= 8) text.pageMode = 0;
  i32 y = text.top + (text.writeRow - lines) * (text.glyphHeight + 1);
  for (u32 i = 0; i < button; ++i) {
    STopicButtonCtrl& b = choiceButtons[i];
    b.SetPos(b.left, u16(y > 0 ? y : 0));
    b.MarkDirty();
    y += (b.lineCount > 0 ? b.lineCount : 1) * (text.glyphHeight + 1);
  }
}

void SStateDialog::ShowChoiceList() {
  list.LayoutRows(text.width - 10);
  text.pageMode = 1;
  const i32 visible = list.PageSize();
  for (i32 i = 0; i < visible + 1; ++i) {
    STextLine blank;
    blank.text = " ";
    blank.colour = 1;
    text.waiting.Add(blank);
  }
  text.Redraw();
  const i32 lineStep = text.glyphHeight + 1;
  i32 y = text.top + (text.writeRow - visible - 1) * lineStep;
  const i32 w = list.width > text.width * 2 / 3 ? list.width : text.width * 2 / 3;
  list.SetRect(u16(text.left + margin), u16(y > 0 ? y : 0), u16(w), list.height);
  list.id = kList;
  RemoveControl(&list);
  if (!text.IsInDialog()) return;  // placed on the text: nowhere without it
  AddControl(&list);
  SImageEntry* const* pictures = core ? core->pictures : nullptr;
  if (list.RowCount() > u32(visible)) {
    pageUp.SetPicture(pictures ? &pictures[135] : nullptr, kPageUp, 0);
    pageDown.SetPicture(pictures ? &pictures[137] : nullptr, kPageDown, 0);
    pageUp.id = kPageUp;
    pageDown.id = kPageDown;
    pageUp.SetRect(u16(list.left + list.width + 5), list.top, 20, 12);
    pageDown.SetRect(u16(list.left + list.width + 5), u16(list.top + list.height - 12), 20, 12);
    AddControl(&pageUp);
    AddControl(&pageDown);
  }
  PlaceButton(listOk, "Ok", kListOk, 0);
  PlaceButton(listCancel, "Cancel", kListCancel, 0);
  listOk.SetPos(u16(list.left + 20), u16(list.top + list.height + 5));
  listCancel.SetPos(u16(listOk.left + listOk.width + 10), listOk.top);
  AddControl(&listOk);
  AddControl(&listCancel);
  SetFullRepaint();
}

void SStateDialog::StartChoiceList() {
  list.Clear();
  listActive = 1;
  list.Enable(true);
  list.Select(-1);
}

void SStateDialog::AddListEntry(const char* id, const char* title) {
  if (!listActive) return;
  static constexpr char kCompactPrefix[] = {'-', 11, 0};
  SString row(IsLargeScreen() ? "- " : kCompactPrefix);
  row.Append(title ? title : "");
  list.AddRowWithKey(id ? id : "", row.CStr(), 0);
}

// ---- the topic column

void SStateDialog::RemoveTopics() {
  for (u32 i = 0; i < topics.Count(); ++i) RemoveControl(&topics[i32(i)]->button);
  topics.DeleteAll();
}

void SStateDialog::BuildColumn() {
  RemoveTopics();
  for (STopicButtonCtrl& s : services) RemoveControl(&s);
  RemoveControl(&exitButton);
  RemoveControl(&separator);
  RemoveControl(&exitSeparator);
  // After goodbye only the exit button is offered.
  if (person && core && !finished) {
    SValueArray<SNpcTopic> found{4};
    person->CollectTopics(core->world.rules, found);
    for (u32 i = 0; i < found.Count(); ++i) {
      auto* t = new (std::nothrow) SDialogTopic;
      if (!t) break;
      t->title = found[i].title;
      t->list = static_cast<SDialogEntryList*>(found[i].list);
      t->entry = static_cast<SDialogEntry*>(found[i].entry);
      t->button.Attach(this);
      if (!topics.Add(t)) delete t;
    }
  }
  if (!columnWidth) return;  // no column in the layout: nothing to place
  const bool compact = core && core->IsCompact();
  i32 y = columnY, lastBottom = columnY;
  const bool hasInterior = person && person->texts[3] && *person->texts[3];
  if (person && person->params[3] && !hasInterior && !finished) {
    for (u32 i = 0; i < 5; ++i) {
      if (!(person->params[3] & kServices[i].flag)) continue;
      services[i].Setup(kServices[i].label, kServices[i].code, columnX + margin, y, columnWidth - margin, 0,
                        RgbWord(0xFFFFFF), RgbWord(0x585858), 0);
      services[i].id = kServices[i].code;
      AddControl(&services[i]);
      // A button taller than the step (the large font's) would hide the next: it keeps apart from it, and the
      // separator placed 3 pixels above the next y stays below the last of them.
      const i32 step = compact ? 16 : 22, tall = services[i].height;
      lastBottom = y + tall;
      y += tall > step ? tall + (IsLargeScreen() ? 3 : 0) : step;
    }
    if (IsLargeScreen()) {
      // Never over the last button: a caption's descenders would meet the line.
      separator.SetFrame(core ? &core->pictures[kSmallFrames] : nullptr, 0, 0, 1);
      separator.SetRect(u16(columnX + 2), u16(std::max(y - 3, lastBottom)), u16(columnWidth - 4), 4);
      AddControl(&separator);
    }
    y += 3;
  }
  for (u32 i = 0; i < topics.Count(); ++i) {
    SDialogTopic& t = *topics[i32(i)];
    t.button.Setup(t.title ? t.title : "", kTopic + i, columnX + margin, y, columnWidth - margin, 0, RgbWord(0xFFFFFF),
                   RgbWord(0x161616), 0);
    t.button.id = u16(kTopic + i);
    AddControl(&t.button);
    y += t.button.height;
  }
  const i32 mode = core ? core->displayMode : 0;
  exitButton.Setup(hasInterior ? "Back" : "Goodbye", kExit, 0, 0, columnWidth - margin, 0, RgbWord(0xFFFFFF),
                   RgbWord(0x585858), kExitKey);
  exitButton.id = kExit;
  if (mode == 5 || mode == 7 || mode == 8) {
    // Under the portrait's frame, no wider than it: the topic column lies beside it.
    const i32 w = frames[3].width - margin - 10;
    exitButton.SetRect(u16(frames[3].left + margin + 10), u16(frames[3].top + frames[3].height + 2), u16(w > 0 ? w : 0),
                       exitButton.height);
  } else {
    const bool large = IsLargeScreen();
    const bool small = mode == 2 || mode == 6 || mode == 12 || mode == 13 || mode == 16;
    const i32 d = small ? 20 : large ? 36 : 26;
    const i32 e = compact ? 16 : large ? 28 : 22;
    exitSeparator.SetFrame(core ? &core->pictures[kSmallFrames] : nullptr, 0, 0, 1);
    exitSeparator.SetRect(u16(columnX + 2), u16(columnY + columnHeight - d), u16(columnWidth - 4), 4);
    AddControl(&exitSeparator);
    exitButton.SetPos(u16(columnX + margin), u16(columnY + columnHeight - e));
  }
  AddControl(&exitButton);
  SetFullRepaint();
}

void SStateDialog::EnableColumn() {
  for (STopicButtonCtrl& s : services) {
    s.Enable(!finished);
    s.Show(!finished);
  }
  for (u32 i = 0; i < topics.Count(); ++i) {
    topics[i32(i)]->button.Enable(!finished);
    topics[i32(i)]->button.Show(!finished);
  }
  exitButton.Enable(true);
  SetFullRepaint();
}

void SStateDialog::DisableColumn() {
  for (STopicButtonCtrl& s : services) s.Disable();
  for (u32 i = 0; i < topics.Count(); ++i) topics[i32(i)]->button.Disable();
  exitButton.Disable();
}

void SStateDialog::OfferTopics() {
  if (core && core->scriptContext) core->scriptContext->lastAnswer = 0;
  text.Redraw();
  BuildColumn();
  EnableColumn();
}

void SStateDialog::Goodbye() {
  finished = 1;
  BuildColumn();
  EnableColumn();
  SetFullRepaint();
}

// ---- commands

void SStateDialog::FollowWith(SDialogEntry* next) {
  text.DrawPage();
  Os::Clocks().Sleep(kFollowPauseMs);
  currentEntry = next;
  if (next) {
    ShowEntry();
    return;
  }
  OfferTopics();
}

void SStateDialog::PickChoice(u32 slot) {
  if (!currentEntry || slot > 3 || !currentEntry->choices[slot]) return;
  if (core && core->scriptContext) core->scriptContext->lastAnswer = i32(slot) + 1;
  const i32 mode = core ? core->displayMode : 0;
  if (mode == 8 || (mode == 5 && text.linesShown >= text.rowsPerPage - 1)) text.Clear();
  text.writeRow -= choiceLines;
  if (text.writeRow < 0) text.writeRow = 0;
  AddLine(currentEntry->choices[slot]->answer, 1, true);
  SDialogEntry* next = goFirst ? FindNextEntryWhoseConditionsHold(currentList, person, nullptr, core)
                               : FindNextEntryWhoseConditionsHold(currentList, person, currentEntry, core);
  for (STopicButtonCtrl& b : choiceButtons) RemoveControl(&b);
  choicesShown = 0;
  choiceLines = 0;
  SetFullRepaint();
  FollowWith(next);
}

void SStateDialog::CloseChoiceList(bool ok) {
  const SListRow* row = list.SelectedRow();
  if (ok && !row) return;
  text.writeRow -= list.PageSize() + 1;
  if (text.writeRow < 0) text.writeRow = 0;
  SScriptContext* context = core ? core->scriptContext : nullptr;
  if (ok) {
    const char* title = list.SelectedText();
    AddLine(title && StrLength(title) >= 2 ? title + 2 : "", 1, true);
    if (context) context->chosenText.Assign(list.SelectedKeyText() ? list.SelectedKeyText() : "");
  } else {
    AddLine("...", 1, true);
    if (context) context->chosenText.Assign("");
  }
  SDialogEntry* next = FindNextEntryWhoseConditionsHold(currentList, person, currentEntry, core);
  SCtrl* const gone[] = {&list, &pageUp, &pageDown, &listOk, &listCancel};
  for (SCtrl* c : gone) RemoveControl(c);
  listActive = 0;
  SetFullRepaint();
  FollowWith(next);
}

u32 SStateDialog::OpenService(u16 code) {
  switch (code) {
    case kBuySell:
      params[0] = 0;
      params[1] = PersonWord(core, person);
      params[2] = speakerWord;
      keep = 1;
      return kStateShop;
    case kRepair:
      marker = kRepairShop;
      repairShop.Open(ServicePrices::PriceFactor(core, person));
      OpenChild(&repairShop);
      return 0;
    case kEnchant:
      marker = kEnchanting;
      enchanting.Open(person, person ? u32(person->params[2]) * 3 : 0, 0);
      OpenChild(&enchanting);
      return 0;
    case kTraining:
      marker = kTrainer;
      training.Open(person);
      OpenChild(&training);
      return 0;
    case kCards:
      marker = kCardBet;
      cardBet.Open(person);
      OpenChild(&cardBet);
      return 0;
    default: return 0;
  }
}

u32 SStateDialog::Exit() {
  if (core && core->scriptContext) core->scriptContext->output = kOutputGameMessage;
  if (doorFlag) {
    doorFlag = 0;
    if (core) core->world.sounds.PlayByName("bsnd_cdoorclose", kVolume);
  } else {
    if (!(core && core->stateGame && core->stateGame->HasQueuedMessage())) PlayClick(1);
    doorFlag = 0;
  }
  return 99;
}

u32 SStateDialog::OnCommand(u16 code) {
  if (marker == kCardBet) {
    marker = kNone;
    CloseChild();
    SetFullRepaint();
    if (code != SDialogCardBet::kAccept) return 0;
    if (core && core->player.HasMoney(u32(cardBet.bet))) {
      params[0] = u32(cardBet.bet);
      params[1] = PersonWord(core, person);
      params[2] = 0;
      keep = 1;
      return kStateCard;
    }
    if (core) core->ShowMessageBox("You don't have enough money.", SDialogMessage::kOk, &boxText, &box, this);
    return 0;
  }
  if (marker != kNone) {
    marker = kNone;
    CloseChild();
    SetFullRepaint();
    return 0;
  }
  if (code == SDialogMessage::kOk && child == &box) {
    CloseChild();
    SetFullRepaint();
    return 0;
  }
  if (child) return 0;
  if (code == kContinue) {
    PlayClick(0);
    RemoveControl(&continueButton);
    text.linesShown = 0;
    text.pageMode = text.HasWaitingLines() ? 1 : 0;
    text.Redraw();
    const bool hasChoices = currentEntry && currentEntry->HasChoices();
    SChoice* shown[4] = {};
    const u32 count = hasChoices ? SelectChoicesWhoseConditionHolds(*currentEntry, shown, person, core) : 0;
    const i32 mode = core ? core->displayMode : 0;
    bool overflow = false;
    if (count && text.rowsPerPage > 0) {
      const i32 pending = i32(text.WaitingCount()), lines = ChoiceLines();
      overflow =
          (mode == 5 || mode == 8) ? pending + lines > text.rowsPerPage : pending + lines >= text.rowsPerPage - 1;
    }
    if (Stopped() || overflow) {
      ShowContinue();
      return 0;
    }
    if (count) {
      ShowChoices();
    } else if (listActive) {
      ShowChoiceList();
      goNext = goFirst = 0;
    } else {
      OfferTopics();
    }
    return 0;
  }
  if (code >= kChoice && code < kChoice + 4) {
    PickChoice(code - kChoice);
    return 0;
  }
  if (code == kExit) return Exit();
  if (code >= kBuySell && code < kExit) return OpenService(code);
  if (code == kPageUp || code == kPageDown) {
    if (code == kPageUp)
      list.PageUp();
    else
      list.PageDown();
    list.MarkDirty();
    return 0;
  }
  if (code == kListOk || code == kListCancel) {
    if (listActive) CloseChoiceList(code == kListOk);
    return 0;
  }
  if (code >= kTopic && code < kTopic + topics.Count()) {
    SDialogTopic& t = *topics[i32(code - kTopic)];
    currentList = t.list;
    if (currentList && currentList->secondText) AddLine(currentList->secondText, 1, true);
    currentEntry = t.entry;
    ShowEntry();
    return 0;
  }
  return 0;
}

u32 SStateDialog::OnTick(u32 frameCounter, SDisplay* screen) {
  if (greetingPending) {
    currentList = nullptr;
    currentEntry = nullptr;
    void* greetingList = nullptr;
    void* greetingEntry = nullptr;
    if (person && core && person->ChooseGreeting(core->world.rules, greetingList, greetingEntry)) {
      currentList = static_cast<SDialogEntryList*>(greetingList);
      currentEntry = static_cast<SDialogEntry*>(greetingEntry);
      ShowEntry();
    } else {
      AddLine("(silence)", 0, true);
      text.Redraw();
      BuildColumn();
      EnableColumn();
      goNext = goFirst = 0;
    }
    greetingPending = 0;
  }
  return SState::OnTick(frameCounter, screen);
}
