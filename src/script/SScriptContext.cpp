#include "script/SScriptContext.h"

#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "foundation/StrUtil.h"
#include "game/SStateGame.h"
#include "script/SDialogEntry.h"
#include "script/SScriptCatalogue.h"
#include "script/SScriptInterpreter.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SMapObjectType.h"
#include "world/SWorldModule.h"

#include <cstring>

namespace {

constexpr u8 kPersonClass = 12;

SNpc* PersonNamed(SGameCore* core, const SMapObjectInst* object) {
  if (!core || !object || !object->name.Text()) return nullptr;
  return core->world.rules.people.FindByName(object->name.Text());
}

}  // namespace

void SScriptContext::Bind(SGameCore* gameCore) {
  core = gameCore;
  interpreter = core ? core->scriptInterpreter : nullptr;
  if (interpreter) interpreter->SetContext(this);
}

void SScriptContext::SetThisObject(u32 event, SMapObjectInst* object, SMapArea* area, SMapCell* cell,
                                   SMapObjectType* type, i32 x, i32 y, i32 side, u32 layer, u32 outputKind) {
  eventCode = event;
  thisObject = object;
  thisArea = area;
  thisCell = cell;
  thisType = type;
  thisX = x;
  thisY = y;
  thisSide = side;
  thisLayer = layer;
  thisMonster = nullptr;
  output = outputKind;
  speaker = type && type->classNumber == kPersonClass && object ? PersonNamed(core, object) : nullptr;
  lastAnswer = 0;
  listStarted = 0;
}

void SScriptContext::SetThisMonster(u32 event, SMapObjectInst* object, SMapArea* area, SMapMonster* monster,
                                    u32 outputKind) {
  eventCode = event;
  thisObject = object;
  thisArea = area;
  thisMonster = monster;
  thisType = nullptr;
  thisSide = -1;
  thisLayer = 1;
  thisCell = nullptr;
  thisX = thisY = 0;
  output = outputKind;
  SStateGame* game = core ? core->stateGame : nullptr;
  if (game && area && monster && game->window.LocateMonster(*area, *monster, thisX, thisY))
    thisCell = game->window.Cell(thisX, thisY);
  speaker = PersonNamed(core, object);
  lastAnswer = 0;
  listStarted = 0;
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

void SScriptContext::ShowMessage(const char* text, u32 flag) {
  // The text is copied first: callers format it in buffers that the output may reuse.
  SString copy(text ? text : "");
  const bool toGame = output == kOutputGameMessage && core && core->stateGame;
  if (core && core->observer)
    core->observer->OnMessage("script", toGame ? "game message" : "nowhere", copy.CStr(), flag);
  if (toGame) core->stateGame->AppendToMessage(copy.CStr(), flag ? 2 : 0);
}

u32 SScriptContext::CallFunction(const char* /*target*/, u32 id, const SScriptValue& /*first*/,
                                 const SScriptValue& /*second*/, const SScriptValue& /*third*/, SScriptValue*& result) {
  result = nullptr;
  if (!FindScriptFunction(id)) return 15;  // "invalid method"
  // The functions' handlers act on the world; until they are bound a call does nothing and gives no value.
  return 0;
}

void SScriptContext::AddChangedObject(SMapArea* area, i32 x, i32 y, i32 side, u32 layer) {
  for (const SChangedObject& c : changedObjects)
    if (c.area == area && c.layer == layer && c.x == x && c.y == y && c.side == side) return;
  changedObjects.Add(SChangedObject{area, layer, x, y, side});
}

void SScriptContext::PassTimeTo(const char* text) {
  SStateGame* game = core ? core->stateGame : nullptr;
  const u32 length = text ? StrLength(text) : 0;
  if (!game || length < 3) return;
  i32 n = StrToInt(text);
  if (n >= 0 && n <= 99) n *= 100;
  if (n < 0 || n >= 1300) return;
  const bool am = StrCompareNoCase(text + length - 2, "am") == 0;
  if (am) {
    if (n >= 1200) n -= 1200;  // 12 am is midnight
  } else if (n < 1200) {
    n += 1200;
  }
  const u32 target = u32(n / 100 * 60 + n % 100);
  const u32 now = game->GetClockMinutes() % 1440;
  const u32 span = (target + 1440 - now) % 1440;
  game->PassTime(0, span / 60, span % 60);
}

void SScriptContext::ResumeAfterDialog() {
  if (!core || !thisObject || !thisObject->scriptName || !*thisObject->scriptName) return;
  const SNamedScript* script = core->world.scripts.Find(thisObject->scriptName);
  if (script && script->HasProgram() && interpreter &&
      interpreter->LoadProgram(script->program, script->length, script->programOffset))
    interpreter->Run();
  if (core->stateGame) core->stateGame->RebuildChangedCells();
}

SDialogEntryList* FindDialogEntryListForSpeaker(const SDialogEntryListTable& table, const SWorldModuleList& worlds,
                                                const char* speakerName) {
  if (!speakerName) return nullptr;
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
