#include "script/SScriptContext.h"

#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "core/ui/SDialogListCtrl.h"
#include "foundation/StrUtil.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "screens/SStateDialog.h"
#include "screens/SStateScene.h"
#include "script/SDialogEntry.h"
#include "script/SScriptInterpreter.h"
#include "script/SScriptValue.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SMapObjectType.h"
#include "world/SWorldModule.h"

#include <cstring>
#include <new>

namespace {

constexpr u8 kPersonClass = 12;
constexpr u8 kWallClass = 5;
constexpr u32 kSetVisible = 110, kSetHidden = 111;

SNpc* PersonNamed(SGameCore* core, const SMapObjectInst* object) {
  if (!core || !object || !object->name.Text()) return nullptr;
  return core->world.rules.people.FindByName(object->name.Text());
}

}  // namespace

SScriptContext::SScriptContext() = default;

SScriptContext::~SScriptContext() {
  delete list_;
  delete standIn_;
  delete plainType_;
}

SStateGame* SScriptContext::Game() const { return core ? core->stateGame : nullptr; }

void SScriptContext::Bind(SGameCore* gameCore) {
  core = gameCore;
  interpreter = core ? core->scriptInterpreter : nullptr;
  if (interpreter) interpreter->SetContext(this);
  if (core && !plainType_) {
    // A map object whose type is not known where it lies still takes the calls every kind shares.
    plainType_ = new (std::nothrow) SMapObjectType;
    if (plainType_) plainType_->table = &core->world.mapObjectTypes;
  }
  BuildCatalogue();
}

void SScriptContext::BuildCatalogue() {
  u32 counts[kIdLists] = {};
  static constexpr u8 kFlags[kIdLists] = {ScriptTarget::kObject, ScriptTarget::kMonster, ScriptTarget::kPlayer,
                                          ScriptTarget::kGlobal};
  const bool listed = interpreter && interpreter->Function(kFirstScriptFunction);
  for (const SScriptCatalogueRow& row : kScriptCatalogue) {
    if (interpreter && !listed) interpreter->AddFunction(row.name, row.id, row.argumentCount, row.help, row.targets);
    for (u32 l = 0; l < kIdLists; ++l)
      if ((row.targets & kFlags[l]) && counts[l] < kIdListSize) idLists_[l][counts[l]++] = row.id;
  }
  for (u32 l = 0; l < kIdLists; ++l) idLists_[l][counts[l]] = 0;
}

// ---- the target

void SScriptContext::DropList() {
  delete list_;
  list_ = nullptr;
}

void SScriptContext::ClearTarget() {
  thisKind = SScriptTarget::kNone;
  thisObject = nullptr;
  thisArea = nullptr;
  thisCell = nullptr;
  thisType = nullptr;
  thisMonster = nullptr;
  speaker = nullptr;
  thisX = thisY = 0;
  thisSide = -1;
  thisLayer = 1;
}

void SScriptContext::Reset() {
  ClearTarget();
  eventCode = 0;
  output = kOutputGameMessage;
  lastAnswer = 0;
  listStarted = 0;
  listTitle.Assign("");
  chosenText.Assign("");
  DropList();
  damage = 0;
  SetSpell("", 0);
  SetBlowWeapons(nullptr, nullptr);
  changedObjects.Clear();
  delete standIn_;
  standIn_ = nullptr;
}

void SScriptContext::OnMonsterFreed(SMapArea* area, SMapMonster* monster) {
  if (!monster || monster != thisMonster) return;
  (void)area;
  thisMonster = nullptr;
  thisCell = nullptr;
  speaker = nullptr;
}

void SScriptContext::SetThisObject(u32 event, SMapObjectInst* object, SMapArea* area, SMapCell* cell,
                                   SMapObjectType* type, i32 x, i32 y, i32 side, u32 layer, u32 outputKind) {
  ClearTarget();
  thisKind = object || type ? SScriptTarget::kObject : SScriptTarget::kNone;
  eventCode = event;
  thisObject = object;
  thisArea = area;
  thisCell = cell;
  thisType = type;
  thisX = x;
  thisY = y;
  thisSide = side;
  thisLayer = layer;
  output = outputKind;
  speaker = type && type->classNumber == kPersonClass && object ? PersonNamed(core, object) : nullptr;
  lastAnswer = 0;
  listStarted = 0;
  DropList();
}

void SScriptContext::SetThisMonster(u32 event, SMapObjectInst* object, SMapArea* area, SMapMonster* monster,
                                    u32 outputKind) {
  ClearTarget();
  thisKind = object || monster ? SScriptTarget::kMonster : SScriptTarget::kNone;
  eventCode = event;
  thisObject = object;
  thisArea = area;
  thisMonster = monster;
  output = outputKind;
  SStateGame* game = Game();
  if (game && area && monster && game->window.LocateMonster(*area, *monster, thisX, thisY))
    thisCell = game->window.Cell(thisX, thisY);
  speaker = PersonNamed(core, object);
  lastAnswer = 0;
  listStarted = 0;
  DropList();
}

void SScriptContext::SetTalkingMonster(SMapObjectInst* object, SMapArea* area, SMapMonster* monster, SNpc* person) {
  SetThisMonster(MapEvent::kUse, object, area, monster, kOutputConversation);
  speaker = person;
}

void SScriptContext::SetBlowWeapons(SItem* first, SItem* second) {
  SItem* const items[2] = {first, second};
  for (u32 i = 0; i < 2; ++i) {
    blowItems[i] = items[i];
    const SItemType* type = items[i] ? items[i]->type : nullptr;
    blowNames[i].Assign(type && type->name.Text() ? type->name.Text() : "");
  }
}

void SScriptContext::SetSpell(const char* name, i32 number) {
  spellName.Assign(name ? name : "");
  spellNumber = number;
}

bool SScriptContext::ResolveTarget(const char* name, SScriptTarget& out) {
  out = SScriptTarget{};
  if (!name) return false;
  if (StrCompareNoCase(name, "player") == 0) {
    out.kind = SScriptTarget::kPlayer;
    return true;
  }
  if (StrCompareNoCase(name, "(this)") == 0) {
    // A monster that has died and was bound to no object leaves no target.
    if (thisKind == SScriptTarget::kNone || (!thisObject && !thisMonster)) return false;
    out.kind = thisKind;
    out.object = thisObject;
    out.area = thisArea ? thisArea : (Game() ? Game()->window.CurrentArea() : nullptr);
    out.monster = thisMonster;
    out.type = thisType;
    out.placed = thisCell != nullptr;
    out.x = thisX;
    out.y = thisY;
    out.side = thisSide;
    out.layer = thisLayer;
    return true;
  }
  const SWorldModule* world = core ? core->world.modules.current : nullptr;
  SMapArea* area = nullptr;
  SMapMonster* monster = nullptr;
  SMapObjectInst* object = world ? world->FindObjectAndMonster(name, monster, area) : nullptr;
  if (!object || !area) return false;
  out.object = object;
  out.area = area;
  SStateGame* game = Game();
  if (object->monsterPlaceholder) {
    out.kind = SScriptTarget::kMonster;
    out.monster = monster;
    out.placed = game && monster && game->window.LocateMonster(*area, *monster, out.x, out.y);
    return true;
  }
  out.kind = SScriptTarget::kObject;
  SMapWindow::SPlace place;
  if (game && game->window.LocateObject(*area, *object, place)) {
    out.placed = true;
    out.x = place.x;
    out.y = place.y;
    out.side = place.side;
    out.layer = u32(place.layer);
    out.type = game->window.GetPlacedObjectType(*area, *object);
  }
  return true;
}

SMonster* SScriptContext::StandInMonster() {
  if (standIn_) return standIn_;
  SMonsterBaseType* base = core ? core->world.monsters.FindBaseType("bres_cyclops") : nullptr;
  if (!base) return nullptr;
  standIn_ = new (std::nothrow) SMonster;
  if (standIn_) standIn_->SetType(base);
  return standIn_;
}

// ---- dispatch

u32 SScriptContext::CallFunction(const char* target, u32 id, const SScriptValue& first, const SScriptValue& second,
                                 const SScriptValue& third, SScriptValue*& result) {
  result = nullptr;
  const SScriptCatalogueRow* row = FindScriptFunction(id);
  if (!row) return SScriptInterpreter::kInvalidMethod;
  // A global function ignores the name it is called on.
  if (row->targets & ScriptTarget::kGlobal) return CallGlobalFunction(id, first, second, third, result);
  SScriptTarget t;
  if (!ResolveTarget(target, t)) return SScriptInterpreter::kNotAnObject;
  bool changed = false;
  u32 code = 0;
  switch (t.kind) {
    case SScriptTarget::kPlayer: return CallPlayerFunction(id, first, second, third, result);
    case SScriptTarget::kObject: {
      if (!t.object) return SScriptInterpreter::kNotAnObject;
      SMapObjectType* type = t.type ? t.type : plainType_;
      if (!type) return 0;
      code = CallObjectFunction(*type, t, id, first, second, result, changed);
      if (changed && t.placed) {
        AddChangedObject(t.area, t.x, t.y, t.side, t.layer);
        // A wall shows the object on all four of its sides.
        if (type->classNumber == kWallClass && (id == kSetVisible || id == kSetHidden))
          for (i32 side = 0; side < 4; ++side) AddChangedObject(t.area, t.x, t.y, side, t.layer);
      }
      return code;
    }
    case SScriptTarget::kMonster: {
      SMonster* monster = t.monster ? t.monster->monster : StandInMonster();
      if (!monster) return 0;
      code = CallMonsterFunction(*monster, t, id, first, second, third, result, changed);
      if (changed && t.placed) AddChangedObject(t.area, t.x, t.y, -1, 1);
      return code;
    }
    default: return 0;
  }
}

u32 SScriptContext::CallPlayerFunction(u32 id, const SScriptValue& first, const SScriptValue& second,
                                       const SScriptValue& third, SScriptValue*& result) {
  return core ? core->player.CallScriptFunction(id, first, second, third, result) : 0;
}

u32 SScriptContext::CallObjectFunction(SMapObjectType& type, const SScriptTarget& target, u32 id,
                                       const SScriptValue& first, const SScriptValue& second, SScriptValue*& result,
                                       bool& changed) {
  // No map-object function takes a third argument.
  const SMapScriptArg a{first.Int(), first.Text()}, b{second.Int(), second.Text()};
  const SScriptCatalogueRow* row = FindScriptFunction(id);
  i32 value = 0;
  if (type.ScriptCall(target.area, target.object, target.x, target.y, i32(id), a, b, row ? row->argumentCount : 0,
                      value, changed))
    result = SScriptValue::MakeInt(value);
  return 0;
}

u32 SScriptContext::CallMonsterFunction(SMonster& monster, const SScriptTarget& target, u32 id,
                                        const SScriptValue& first, const SScriptValue& second,
                                        const SScriptValue& third, SScriptValue*& result, bool& changed) {
  return monster.CallScriptFunction(target.object, target.area, target.monster, target.x, target.y, id, result, first,
                                    second, third, changed);
}

void SScriptContext::AddChangedObject(SMapArea* area, i32 x, i32 y, i32 side, u32 layer) {
  for (const SChangedObject& c : changedObjects)
    if (c.area == area && c.layer == layer && c.x == x && c.y == y && c.side == side) return;
  changedObjects.Add(SChangedObject{area, layer, x, y, side});
}

void SScriptContext::DoDefaultAction() {
  bool changed = false;
  // Read before the reaction: a talk turns the output to the conversation it opens.
  const bool forGame = output == kOutputGameMessage;
  i32 next = 0;
  if (thisKind == SScriptTarget::kObject && thisType) {
    next = thisType->OnEvent(u16(eventCode), thisArea, thisObject, thisCell, thisX, thisY, changed);
    if (changed) AddChangedObject(thisArea, thisX, thisY, thisSide, thisLayer);
  } else if (thisKind == SScriptTarget::kMonster && thisMonster && thisMonster->monster) {
    next = thisMonster->monster->HandleAction(eventCode, thisArea, thisMonster, thisObject, thisCell, thisX, thisY,
                                              changed);
    if (changed && thisCell) AddChangedObject(thisArea, thisX, thisY, -1, 1);
  }
  // The screen the reaction asks for (a person's conversation) is the game's to switch to once the
  // script has run, as a chest's inventory is; a conversation or scene running a script stays itself.
  SStateGame* game = Game();
  if (next > 0 && forGame && game) game->requestedState = u32(next);
}

// ---- messages

void SScriptContext::ShowMessage(const char* text, u32 flag) {
  // The text is copied first: callers format it in buffers that the output may reuse.
  SString copy(text ? text : "");
  ExpandTextMacros(copy);
  const char* shown = copy.CStr() ? copy.CStr() : "";
  SStateGame* game = Game();
  const char* where = "nowhere";
  if (output == kOutputGameMessage && game) where = "game message";
  if (output == kOutputConversation && core && core->states[kStateDialog]) where = "conversation";
  if (output == kOutputScene && core && core->states[kStateScene]) where = "scene";
  if (core && core->observer) core->observer->OnMessage("script", where, shown, flag);
  if (output == kOutputGameMessage && game) {
    game->AppendToMessage(shown, flag ? 2 : 0);
  } else if (output == kOutputConversation && core && core->states[kStateDialog]) {
    static_cast<SStateDialog*>(core->states[kStateDialog])->AddScriptText(shown);
  } else if (output == kOutputScene && core && core->states[kStateScene]) {
    static_cast<SStateScene*>(core->states[kStateScene])->AddScriptText(shown);
  }
}

// ---- running again after a question

void SScriptContext::ResumeAfterDialog() {
  if (!core || !thisObject || !thisObject->scriptName || !*thisObject->scriptName) return;
  const SNamedScript* script = core->world.scripts.Find(thisObject->scriptName);
  if (script && script->HasProgram() && interpreter &&
      interpreter->LoadProgram(script->program, script->length, script->programOffset))
    interpreter->Run();
  if (SStateGame* game = Game()) game->RebuildChangedCells();
}

// ---- the clock and the accessors

u32 SScriptContext::GetTime() const {
  const SStateGame* game = Game();
  return game ? game->GetClockMinutes() : 0;
}

u32 SScriptContext::HoursSinceGlobal(const char* name) const {
  const SGlobalVariable* v = core && name ? core->world.globals.Find(name) : nullptr;
  return v ? HoursSince(u32(v->value.Int())) : 0;
}

u32 SScriptContext::DaysSinceGlobal(const char* name) const {
  const SGlobalVariable* v = core && name ? core->world.globals.Find(name) : nullptr;
  return v ? DaysSince(u32(v->value.Int())) : 0;
}

i32 SScriptContext::GetGlobalValue(const char* name) const {
  return core && name ? core->world.globals.GetValue(name) : 0;
}

const char* SScriptContext::GetGlobalText(const char* name) const {
  const SGlobalVariable* v = core && name ? core->world.globals.Find(name) : nullptr;
  return v ? v->value.Text() : nullptr;
}

void SScriptContext::SetGlobalInt(const char* name, i32 value) {
  if (SGlobalVariable* v = core && name ? core->world.globals.Find(name) : nullptr) v->value.SetInt(value);
}

void SScriptContext::SetGlobalText(const char* name, const char* text) {
  if (SGlobalVariable* v = core && name ? core->world.globals.Find(name) : nullptr) v->value.SetText(text);
}

i32 SScriptContext::Random(i32 n) {
  if (n < 1) return 0;
  if (core && core->random) return core->random->Next(n);
  SStateGame* game = Game();
  return game ? game->window.Random()->Next(n) : 0;
}

bool SScriptContext::IsCurrentWorld(const char* name) const {
  const SWorldModule* world = core ? core->world.modules.current : nullptr;
  return world && name && world->name.Equals(name);
}

bool SScriptContext::IsCurrentMap(const char* name) const {
  const SStateGame* game = Game();
  const SMapArea* map = game ? game->window.CurrentArea() : nullptr;
  if (!map && core && core->world.modules.current) map = core->world.modules.current->currentMap;
  return map && name && map->name.Text() && std::strcmp(map->name.Text(), name) == 0;
}

bool SScriptContext::IsWeapon(const char* name) const {
  if (eventCode != MapEvent::kStruck || !name) return false;
  return blowNames[0].Equals(name) || blowNames[1].Equals(name);
}

i32 SScriptContext::ItemValue(const char* name) const {
  const SItemType* type = core && name ? core->world.items.FindType(name) : nullptr;
  if (!type) return 0;
  const u64 value = u64(type->value) + (type->enchantment ? type->enchantment->worth : 0);
  return value > 0x7FFFFFFF ? 0x7FFFFFFF : i32(value);
}

bool SScriptContext::MonsterHas(const SMapArea* area, const SMapMonster* monster, i8 attribute) {
  if (!area || !monster) return false;
  if (attribute == 0) {
    const SMonsterEffectHolder* h = area->FindEffectHolder(monster->id);
    if (!h) return false;
    for (const SMonsterEffect* e : h->effects)
      if (e->kind == SMonsterEffect::kDisease) return true;
    return false;
  }
  return area->SumMonsterEffects(monster->id, attribute) != 0;
}

bool SScriptContext::IsThisMonsterParalyzed() const { return MonsterHas(thisArea, thisMonster, SMapArea::kParalysis); }
bool SScriptContext::IsThisMonsterCursed() const { return MonsterHas(thisArea, thisMonster, SMapArea::kCursed); }
bool SScriptContext::IsThisMonsterPoisoned() const { return MonsterHas(thisArea, thisMonster, SMapArea::kPoison); }
bool SScriptContext::ThisMonsterHasAnyEffect() const { return MonsterHas(thisArea, thisMonster, 0); }

bool SScriptContext::IsThisMonsterType(const char* name) const {
  const SMonster* m = thisMonster ? thisMonster->monster : nullptr;
  return m && name && m->name.Text() && std::strcmp(m->name.Text(), name) == 0;
}

bool SScriptContext::NamedMonsterHas(const char* object, i8 attribute) const {
  SMapArea* area = nullptr;
  SMapMonster* monster = nullptr;
  const SWorldModule* world = core ? core->world.modules.current : nullptr;
  if (!world || !object || !world->FindObjectAndMonster(object, monster, area)) return false;
  return MonsterHas(area, monster, attribute);
}

bool SScriptContext::IsMonsterParalyzed(const char* object) const {
  return NamedMonsterHas(object, SMapArea::kParalysis);
}
bool SScriptContext::IsMonsterCursed(const char* object) const { return NamedMonsterHas(object, SMapArea::kCursed); }
bool SScriptContext::IsMonsterPoisoned(const char* object) const { return NamedMonsterHas(object, SMapArea::kPoison); }
bool SScriptContext::MonsterHasAnyEffect(const char* object) const { return NamedMonsterHas(object, 0); }

bool SScriptContext::GetObjectListResult(const char*& text) const {
  text = "";
  if (output == kOutputConversation || (output == kOutputGameMessage && listStarted)) {
    text = chosenText.CStr() ? chosenText.CStr() : "";
    return true;
  }
  return output == kOutputGameMessage;
}

const char* SScriptContext::GetSpeakerPortraitName() const {
  if (thisKind == SScriptTarget::kObject && thisType && thisType->classNumber == kPersonClass)
    return thisType->imageNames.Count() >= 2 ? thisType->ImageName(1) : nullptr;
  if (thisKind == SScriptTarget::kMonster && thisMonster && thisMonster->monster) {
    const SMonsterBaseType* base = thisMonster->monster->baseType;
    // People have a picture of their own for a face: their last one.
    if (base) return base->kind == 4 ? base->LastFrameName() : base->FrameName(0);
  }
  return "bres_headunknown";
}

SDialogEntryList* FindDialogEntryListForSpeaker(const SDialogEntryListTable& table, const SWorldModuleList& worlds,
                                                const char* speakerName) {
  // Without a current world there is no prefix to look a name up with.
  if (!speakerName || !worlds.current) return nullptr;
  auto withPrefix = [&](const SWorldModule* module) -> SDialogEntryList* {
    if (!module || module->resourcePrefix.Length() < 5) return nullptr;
    const char* prefix = module->resourcePrefix.CStr();
    SString name;
    if (StrLength(speakerName) >= 5 && std::strncmp(speakerName, prefix, 5) == 0) {
      name.Assign(speakerName);
    } else {
      // The name's own prefix goes (its fifth character is "_"), the module's comes in front.
      const char* rest = StrLength(speakerName) >= 5 && speakerName[4] == '_' ? speakerName + 5 : speakerName;
      name.Assign("");
      name.AppendN(prefix, 5);
      name.Append(rest);
    }
    return table.FindSecond(name.CStr());
  };
  if (SDialogEntryList* list = withPrefix(worlds.current)) return list;
  return withPrefix(worlds.FindByName("bres"));
}
