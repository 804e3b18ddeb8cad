// The game event queue: the builders, the processing of one event per idle frame, and what the boxes and
// lists the events open answer.
#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "core/ui/SDialogList.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "foundation/StrUtil.h"
#include "foundation/TimeUtil.h"
#include "game/SStateGame.h"
#include "graphics/SFont.h"
#include "screens/SStateDialog.h"
#include "screens/SStateDialogInterior.h"
#include "screens/SStateShop.h"
#include "script/SScriptContext.h"
#include "world/SPeopleTables.h"
#include "world/SSoundTable.h"
#include "world/SWorldModule.h"

#include <new>

SGameEvent::~SGameEvent() {
  delete message;
  delete list;
}

SGameEvent* SStateGame::AddEvent(u32 kind, bool first) {
  auto* e = new (std::nothrow) SGameEvent;
  if (!e) return nullptr;
  e->kind = kind;
  if (!(first ? events.InsertFirst(e) : events.Add(e))) {
    delete e;
    return nullptr;
  }
  return e;
}

bool SStateGame::IsCurrentWorldPosition(const char* position) const {
  const SWorldModule* world = core ? core->world.modules.current : nullptr;
  if (!world || !position || StrLength(position) < 5 || world->resourcePrefix.Length() < 5) return false;
  return StrCompareNoCaseN(position, world->resourcePrefix.CStr(), 5) == 0;
}

bool SStateGame::HasQueuedMessage() const {
  for (const SGameEvent* e : events)
    if (e && e->kind == kEventMessage) return true;
  return false;
}

void SStateGame::QueueEventOfKind(u32 kind, u8 flag) {
  if (SGameEvent* e = AddEvent(kind)) e->flag = flag;
}

void SStateGame::QueueMessage(const char* text, u32 buttonMask, const char* sound) {
  if (core && core->observer) core->observer->OnMessage("queued", "message box", text ? text : "", buttonMask);
  SGameEvent* e = AddEvent(kEventMessage);
  if (!e) return;
  e->textA.Assign(text ? text : "");
  e->buttons = buttonMask;
  e->sound.Assign(sound ? sound : "bsnd_click");
  // The text control is made now: the paragraphs that follow are added to it.
  e->message = new (std::nothrow) SDialogTextCtrl;
  if (!e->message) return;
  e->message->Attach(this);
  e->message->width = u16(view.viewWidth * 4 / 5);
  if (core) core->StyleMessageText(e->message);
  if (font) font->Select(1, SGameCore::kMessageTextColour, SGameCore::kMessageShadeColour);
  e->message->AddText(text, 1, 0);
}

void SStateGame::AppendToMessage(const char* text, u32 flag) {
  if (core && core->observer) core->observer->OnMessage("appended", "last message box", text ? text : "", flag);
  SGameEvent* last = events.At(i32(events.Count()) - 1);
  if (!last || last->kind != kEventMessage) {
    QueueMessage("", 0, nullptr);
    last = events.At(i32(events.Count()) - 1);
    if (!last || last->kind != kEventMessage) return;
  }
  if (!last->textA.IsEmpty()) last->textA.Append("\r");
  last->textA.Append(text ? text : "");
  if (last->message) {
    if (font) font->Select(1, SGameCore::kMessageTextColour, SGameCore::kMessageShadeColour);
    last->message->AddText(text, flag, 0);
  }
}

void SStateGame::QueueTeleport(const char* position, u32 transition) {
  if (!IsCurrentWorldPosition(position)) return;
  if (SGameEvent* e = AddEvent(kEventTeleport)) {
    e->textA.Assign(position);
    e->numberA = transition;
  }
}

void SStateGame::QueueMapTransition(const char* position, const char* prompt, u32 transition, u32 stepBack) {
  if (!IsCurrentWorldPosition(position)) return;
  if (SGameEvent* e = AddEvent(kEventMapTransition)) {
    e->textA.Assign(position);
    e->textB.Assign(prompt ? prompt : "");
    e->numberA = transition;
    e->numberB = stepBack;
  }
}

void SStateGame::QueueTurnTo(u32 quarter) {
  if (SGameEvent* e = AddEvent(kEventTurnTo)) e->numberC = quarter;
}

void SStateGame::QueueCellMove(i32 x, i32 y) {
  if (SGameEvent* e = AddEvent(kEventCellMove)) {
    e->numberD = u32(x);
    e->numberE = u32(y);
  }
}

void SStateGame::QueueTransition(const char* position, u32 transition) {
  if (SGameEvent* e = AddEvent(kEventTransition)) {
    e->textA.Assign(position ? position : "");
    e->numberA = transition;
  }
}

void SStateGame::QueueTransitionFirst(const char* position, u32 transition) {
  if (SGameEvent* e = AddEvent(kEventTransition, true)) {
    e->textA.Assign(position ? position : "");
    e->numberA = transition;
  }
}

void SStateGame::QueueCellTransition(SWorldModule* module, SMapArea* area, i32 x, i32 y, i32 quarter, u32 transition) {
  if (SGameEvent* e = AddEvent(kEventTransition)) {
    e->module = module;
    e->area = area;
    e->numberD = u32(x);
    e->numberE = u32(y);
    e->numberC = u32(quarter);
    e->numberA = transition;
  }
}

void SStateGame::QueueJail(const char* text) {
  if (SGameEvent* e = AddEvent(kEventJail)) e->textD.Assign(text ? text : "");
}

void SStateGame::QueueStepBack() { AddEvent(kEventStepBack); }

void SStateGame::QueueChoiceList(SDialogListCtrl* list) {
  SGameEvent* e = list ? AddEvent(kEventChoiceList) : nullptr;
  if (e)
    e->list = list;
  else
    delete list;
}

void SStateGame::QueueService(const char* name, SMapArea* doorArea, SMapObjectInst* door) {
  if (!name || !*name || !core || !Answers(core->world.rules.people.FindByName(name))) {
    QueueMessage("No answer", 0, nullptr);
    return;
  }
  if (SGameEvent* e = AddEvent(kEventService)) {
    e->textC.Assign(name);
    e->area = doorArea;
    e->inst = door;
  }
}

void SStateGame::QueuePrompt(const char* text, SMapArea* area, SMapObjectInst* inst, SMapCell* cell,
                             SMapObjectType* type, i32 word, u8 disarm, u8 pick, u8 open) {
  SGameEvent* e = AddEvent(kEventPrompt);
  if (!e) return;
  e->textA.Assign(text ? text : "");
  e->area = area;
  e->inst = inst;
  e->cell = cell;
  e->type = type;
  e->word = word;
  e->choices[0] = disarm;
  e->choices[1] = pick;
  e->choices[2] = open;
}

void SStateGame::QueueRestPrompt(const char* text) {
  if (SGameEvent* e = AddEvent(kEventRestPrompt)) e->textB.Assign(text ? text : "");
}

void SStateGame::QueueScene(const char* name) {
  if (SGameEvent* e = AddEvent(kEventScene)) e->textA.Assign(name ? name : "");
}

void SStateGame::QueueTravel(const char* textA, const char* textB) {
  if (SGameEvent* e = AddEvent(kEventTravel)) {
    e->textA.Assign(textA ? textA : "");
    e->textB.Assign(textB ? textB : "");
  }
}

// ---- processing

u32 SStateGame::ProcessEvents(bool last) {
  const i32 count = i32(events.Count());
  if (!count) return 0;
  SGameEvent* e = events.RemoveAt(last ? count - 1 : 0);
  if (!e) return 0;
  u32 next = 0;
  switch (e->kind) {
    case kEventTeleport:
      if (e->numberA)
        QueueTransitionFirst(e->textA.CStr(), e->numberA);
      else
        TeleportToPosition(e->textA.CStr(), 0);
      break;
    case kEventMapTransition: BeginMapTransition(*e); break;
    case kEventTurnTo: StartTurnTo(i32(e->numberC & 3)); break;
    case kEventCellMove:
      if (SMapWindow::Inside(i32(e->numberD), i32(e->numberE))) {
        window.playerX = i32(e->numberD);
        window.playerY = i32(e->numberE);
        ArriveAt(false);
      }
      break;
    case kEventTransition:
      if (e->numberA == 1 && !e->soundPlayed) {
        if (core) core->world.sounds.PlayByName("bsnd_spellteleport", 10);
        e->soundPlayed = 1;
      }
      if (!e->textA.IsEmpty())
        PlayTransitionSound(e->textA.CStr(), e->numberA);
      else
        BeginCellTransition(e->module, e->area, i32(e->numberD), i32(e->numberE), i32(e->numberC), e->numberA);
      break;
    case kEventStepBack: StepBack(); break;
    case kEventMessage: OpenMessageDialog(*e); break;
    case kEventChoiceList: OpenChoiceList(*e); break;
    case kEventService: next = RunService(e->textC.CStr(), e->area, e->inst); break;
    case kEventPrompt: ShowPrompt(*e); break;
    case kEventRestPrompt:
      QueueMessage(e->textB.CStr(), SDialogMessage::kYes | SDialogMessage::kNo, nullptr);
      ProcessEvents(true);
      subMode = kQuestion;
      break;
    case kEventScene: next = PlayScene(e->textA.CStr()); break;
    case kEventJail: SendToJail(e->textD.CStr()); break;
    case kEventMark: BeginMark(); break;
    case kEventRecall: BeginRecall(); break;
    case kEventTownPortal: BeginTownPortal(); break;
    case kEventTheft: AskSteal(*e); break;
    case kEventTargetInfo: ShowTargetInfo(e->area, e->monster, e->flag); break;
    case kEventTravel: OpenShipTravel(e->textA.CStr(), e->textB.CStr()); break;
    case kEventRechargeWand: BeginRechargeWand(); break;
    case kEventEnchantItem: BeginEnchantItem(e->flag); break;
    default:
      // Kind 13 and unknown kinds go without effect.
      break;
  }
  delete e;
  return next;
}

void SStateGame::OpenMessageDialog(SGameEvent& event) {
  if (!core) return;
  auto* box = new (std::nothrow) SDialogMessage;
  if (!box) return;
  box->Attach(core);
  SDialogTextCtrl* text = event.message;
  if (!text) {
    // No control could be made when the message was queued: one now, with the whole text.
    text = new (std::nothrow) SDialogTextCtrl;
    if (!text) {
      delete box;
      return;
    }
    text->Attach(this);
    text->width = u16(view.viewWidth * 4 / 5);
    if (font) font->Select(1, SGameCore::kMessageTextColour, SGameCore::kMessageShadeColour);
    text->AddText(event.textA.CStr(), 1, 0);
  }
  event.message = nullptr;  // the box owns it from now on
  core->StyleMessageText(text);
  box->SetOwnsText(1);
  box->Setup(text, event.buttons, 0);
  core->StyleMessageText(text);
  box->ResetInputGuard();
  DestroyEventDialog();
  eventBox = box;
  eventBoxButtons = event.buttons;
  OpenSubDialog(box, kMessageBox);
  if (!event.sound.IsEmpty()) core->world.sounds.PlayByName(event.sound.CStr(), 10);
}

void SStateGame::OpenChoiceList(SGameEvent& event) {
  if (!core || !event.list) return;
  auto* dialog = new (std::nothrow) SDialogList;
  if (!dialog) return;
  dialog->Attach(core);
  event.list->Attach(dialog);
  dialog->Create(event.list);
  dialog->SetFullRepaint();
  DestroyEventDialog();
  eventList = dialog;
  // The list control goes with the dialog from now on.
  event.list = nullptr;
  OpenSubDialog(dialog, kChoiceList);
}

void SStateGame::BeginMapTransition(SGameEvent& event) {
  QueueMessage(event.textB.CStr(), SDialogMessage::kYes | SDialogMessage::kNo, nullptr);
  ProcessEvents(true);
  transitionTarget.Assign(event.textA.CStr());
  transitionKind = event.numberA;
  stepBackOnRefusal = event.numberB;
  subMode = kTransitionPrompt;
}

void SStateGame::ShowPrompt(SGameEvent& event) {
  u32 mask = SDialogMessage::kCancel;
  if (event.choices[2]) mask |= SDialogMessage::kOpen;
  if (event.choices[1]) mask |= SDialogMessage::kPick;
  if (event.choices[0]) mask |= SDialogMessage::kDisarm;
  QueueMessage(event.textA.CStr(), mask, nullptr);
  ProcessEvents(true);
  trappedArea = event.area;
  trappedInst = event.inst;
  trappedCell = event.cell;
  trappedType = event.type;
  trappedWord = event.word;
  trappedNumber = 20;
  subMode = kTrapPrompt;
}

void SStateGame::DestroyEventDialog() {
  if (subDialog && (subDialog == static_cast<SDialog*>(eventBox) || subDialog == static_cast<SDialog*>(eventList)))
    CloseSubDialog();
  if (eventList) {
    delete eventList->list;
    eventList->list = nullptr;
  }
  delete eventBox;
  delete eventList;
  eventBox = nullptr;
  eventList = nullptr;
}

u32 SStateGame::OnSubDialogResult(u32 code) {
  if (subMode < kMessageBox || subMode > kShipTravel) return 0;
  const i32 mode = subMode;
  SScriptContext* context = core ? core->scriptContext : nullptr;
  switch (mode) {
    case kMessageBox:
    case kTransitionPrompt:
    case kChoiceList:
    case kTrapPrompt:
    case kQuestion:
    case kStealing: {
      const u32 offered = eventBoxButtons;
      SString chosen;
      if (eventList) chosen.Assign(eventList->result.CStr() ? eventList->result.CStr() : "");
      DestroyEventDialog();
      subMode = kWalking;
      if (mode == kMessageBox) {
        // Only a question waits for its answer: a box of two or more buttons.
        if (CountBits16(offered) >= 2 && context) {
          context->lastAnswer = i32(code);
          context->ResumeAfterDialog();
        }
      } else if (mode == kTransitionPrompt) {
        if (code == SDialogMessage::kYes) {
          if (transitionKind)
            QueueTransitionFirst(transitionTarget.CStr(), transitionKind);
          else
            TeleportToPosition(transitionTarget.CStr(), 0);
        } else if (stepBackOnRefusal) {
          StepBack();
        }
      } else if (mode == kChoiceList) {
        if (context) {
          context->chosenText.Assign(chosen.CStr());
          context->ResumeAfterDialog();
        }
      } else if (mode == kTrapPrompt) {
        if (code == SDialogMessage::kOpen) OpenTrappedDoor();
        if (code == SDialogMessage::kDisarm) DisarmTrap();
        if (code == SDialogMessage::kPick) OpenLockpick();
      } else if (mode == kQuestion) {
        if (code == SDialogMessage::kYes) RestAfterYes();
      } else if (mode == kStealing) {
        if (code == SDialogMessage::kYes)
          Steal();
        else if (theftPerson && theftArea && theftArea->monsters.IndexOf(theftPerson) >= 0)
          FaceThePlayer(*theftPerson);
        theftPerson = nullptr;
        theftArea = nullptr;
      }
      return 0;
    }
    case kMarkRecall:
    case kEnchanting:
    case kShipTravel: CloseSubDialog(); return 0;
    default: return 0;
  }
}

// ---- the service and scene events

u32 SStateGame::RunService(const char* name, SMapArea* doorArea, SMapObjectInst* door) {
  SNpc* person = core && name ? core->world.rules.people.FindByName(name) : nullptr;
  if (!person) {
    QueueMessage("No answer", 0, nullptr);
    return 0;
  }
  if (SScriptContext* context = core->scriptContext) {
    // Through a city door the context stays bound to the door the player used. Called by a script, nothing
    // of that script goes along: a pending answer would keep every entry that does not test it from being
    // chosen. The area (the door's, else the current map) holds the stock a shop's speaker names.
    if (!door) context->Reset();
    context->thisArea = door ? doorArea : window.CurrentArea();
  }
  return TalkTo(person, door ? SStateShop::SpeakerWord(door->containerId) : 0, door != nullptr);
}

u32 SStateGame::TalkTo(SNpc* person, u32 speakerWord, bool door) {
  if (!core || !person) return 0;
  if (core->scriptContext) {
    core->scriptContext->speaker = person;
    core->scriptContext->output = kOutputConversation;
  }
  params[0] = 0;
  params[1] = SStateDialog::PersonWord(core, person);
  params[2] = speakerWord;
  params[3] = 0;
  keep = 1;
  if (person->texts[3] && *person->texts[3]) {
    // Entered through a city door, the interior closes the door behind the player on leaving.
    if (auto* interior = static_cast<SStateDialogInterior*>(core->states[kStateDialogInterior]); interior && door)
      interior->doorFlag = 1;
    return kStateDialogInterior;
  }
  if (auto* conversation = static_cast<SStateDialog*>(core->states[kStateDialog])) conversation->doorFlag = door;
  return kStateDialog;
}

u32 SStateGame::TalkToMonster(SMapObjectInst* object, SMapArea* area, SMapMonster* monster) {
  if (!core || !monster || !monster->monster) return 0;
  SDialogEntryList* own =
      FindDialogEntryListForSpeaker(core->world.dialogs, core->world.modules, monster->monster->name.Text());
  if (!own) return 0;
  temporaryConversation.Forget();
  temporaryConversation.second.Add(own);
  if (SDialogEntryList* common = core->world.dialogs.FindSecond("bres_monster"))
    temporaryConversation.second.Add(common);
  temporaryPerson.conversation = &temporaryConversation;
  temporaryPerson.texts[0] = monster->monster->label;
  temporaryPerson.params[3] = 0;
  if (core->scriptContext) core->scriptContext->SetTalkingMonster(object, area, monster, &temporaryPerson);
  return TalkTo(&temporaryPerson, 0, false);
}

u32 SStateGame::PlayScene(const char* name) { return EnterScene(name); }
