#include "script/SScriptContext.h"

#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "foundation/SString.h"
#include "game/SStateGame.h"
#include "script/SScriptCatalogue.h"
#include "script/SScriptInterpreter.h"

void SScriptContext::Bind(SGameCore* gameCore) {
  core = gameCore;
  interpreter = core ? core->scriptInterpreter : nullptr;
  if (interpreter) interpreter->SetContext(this);
}

void SScriptContext::ShowMessage(const char* text, u32 flag) {
  // The text is copied first: callers format it in buffers that the output may reuse.
  SString copy(text ? text : "");
  if (core && core->observer)
    core->observer->OnMessage("script", core->stateGame ? "game message" : "nowhere", copy.CStr(), flag);
  if (core && core->stateGame) core->stateGame->AppendToMessage(copy.CStr(), flag ? 2 : 0);
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
