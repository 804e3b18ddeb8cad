// Arbitrary bytes as a script of the built sample world, run by the game's own interpreter and script context
// with the player in the cellar: as a blob at both record alignments, and compiled as statements. Each is
// run with the target a map object (the lever), a monster placeholder (the cyclops), a monster without an
// object (a skeleton) and none, so that calls reach the global handler, the player, map objects' kinds and
// monsters. A run ends and queues "Script error!" once when it fails, never otherwise.
#include "common/Outcome.h"
#include "ScriptCompiler.h"
#include "core/SGameCore.h"
#include "foundation/SStream.h"
#include "game/SStateGame.h"
#include "player/SSaveGame.h"
#include "script/SScriptContext.h"
#include "script/SScriptInterpreter.h"
#include "world/SMapObjectType.h"
#include "world/SWorldModule.h"

#include <string>
#include <string_view>
#include <vector>

namespace {

// The sample world opened on a core made by hand (no screen), the game state attached and the window
// filled around the player in the cellar. Made once per fuzzing process and never destroyed.
struct World {
  World() : files(std::string(DUSKMIRE_DATA_DIR) + "/") {
    core.world.SetFileStore(&files);
    core.random = new SRandom;
    core.random->Seed(&core, 7);
    ok = core.world.modules.OpenGameArchives(nullptr);
    core.PrepareWorldTables(nullptr);
    core.BindWorldResources(nullptr);
    state.Attach(&core);
    core.states[kStateGame] = &state;
    core.stateGame = &state;
    core.scriptContext = &context;
    cellar = core.world.modules.FindMap("base_dungeon1");
    ok = ok && cellar && cellar->module;
    if (!ok) return;
    core.SetCurrentWorld(cellar->module);
    cellar->module->SetCurrentMap(cellar);
    state.window.playerX = 10;
    state.window.playerY = 1;
    state.EnterMap();
    SStream saved(kSaveVersion);
    if (saved.OpenForWriteOwned() && core.world.globals.WriteSaved(saved, kSaveVersion))
      globals.assign(saved.Data(), saved.Data() + saved.BytesUsed());
    minutes = state.window.minutes;
  }
  // What a script changes that the next input would see: the global variables, the time and the random
  // numbers back to the world's.
  void Restore() {
    SStream saved(kSaveVersion);
    saved.OpenForRead(globals.data(), u32(globals.size()));
    core.world.globals.ReadSaved(saved, kSaveVersion);
    state.window.minutes = minutes;
    core.random->Seed(&core, 7);
  }

  // A fresh interpreter for each input: variables outlive runs, and inputs would pile them up.
  void NewInterpreter() {
    delete core.scriptInterpreter;
    core.scriptInterpreter = new SScriptInterpreter;
    core.scriptInterpreter->Init(&core);
    context.Bind(&core);
  }

  void SetTarget(u32 which) {
    context.Reset();
    SMapArea* area = state.window.CurrentArea();
    if (!area) return;
    switch (which) {
      case 0: {
        SMapObjectInst* lever = area->FindObjectByName("base_obj_lever");
        SMapCell* cell = state.window.Cell(10, 0);
        context.SetThisObject(MapEvent::kUse, lever, area, cell, cell ? cell->sideType[2] : nullptr, 10, 0, 2, 1,
                              kOutputGameMessage);
        break;
      }
      case 1: {
        SMapObjectInst* cyclops = area->FindObjectByName("base_obj_cyclops");
        context.SetThisMonster(64, cyclops, area, area->FindMonsterOfObject(cyclops), kOutputGameMessage);
        break;
      }
      case 2: context.SetThisMonster(MapEvent::kStruck, nullptr, area, area->FindMonsterById(1), kOutputScene); break;
      default: break;
    }
  }

  void Run(const u8* blob, size_t size, u32 offset, u32 target) {
    SetTarget(target);
    state.events.DeleteAll();
    SScriptInterpreter& interpreter = *core.scriptInterpreter;
    interpreter.LoadProgram(blob, u32(size), offset);
    const u32 code = interpreter.Execute();
    const bool failed = code != 0 && code != SScriptInterpreter::kReturn;
    if (seen) {
      seen->AddValue(u64(code) << 32 | state.events.Count());
      for (const SGameEvent* e : state.events) seen->Add(e->textA.CStr(), e->textA.Length());
    }
    u32 errors = 0;
    for (const SGameEvent* e : state.events)
      errors += e->kind == kEventMessage && e->buttons == 1 && e->textA.Equals("Script error!");
    if (errors != (failed ? 1u : 0u) || interpreter.IsRunning()) __builtin_trap();
    // What the game does with the cells a script changed.
    state.RebuildChangedCells();
  }

  SFileStore files;
  SGameCore core;
  SStateGame state;
  SScriptContext context;
  SMapArea* cellar = nullptr;
  std::vector<u8> globals;
  decltype(SMapWindow::minutes) minutes{};
  bool ok = false;
  FuzzHash* seen = nullptr;  // the running input's outcome
};

World& TheWorld() {
  static World* world = new World;
  return *world;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  FuzzOutcome outcome;
  World& w = TheWorld();
  if (!w.ok) __builtin_trap();  // the sample world must be built
  w.seen = &outcome;
  w.Restore();
  w.NewInterpreter();
  for (u32 target = 0; target < 4; ++target) w.Run(data, size, target & 1 ? 2 : 0, target);
  scriptc::Options options;
  options.lineMarkers = false;
  const scriptc::Result r =
      scriptc::CompileStatements(std::string_view(reinterpret_cast<const char*>(data), size), options);
  for (const scriptc::Program& p : r.programs) {
    const scriptc::Bytes blob = scriptc::Serialize(p, 0);
    for (u32 target = 0; target < 4; ++target) w.Run(blob.data(), blob.size(), 0, target);
  }
  return 0;
}
