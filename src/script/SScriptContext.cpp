#include "script/SScriptContext.h"

#include "core/SGameCore.h"
#include "foundation/SString.h"
#include "game/SStateGame.h"

void SScriptContext::ShowMessage(const char* text, u32 flag) {
  // The text is copied first: callers format it in buffers that the output may reuse.
  SString copy(text ? text : "");
  if (core && core->stateGame) core->stateGame->AppendToMessage(copy.CStr(), flag ? 2 : 0);
}
