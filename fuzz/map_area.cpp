// Loads arbitrary bytes as the records of one map (cells, outdoor cell offsets, monsters, objects,
// containers) and a saved state of it, enters the map through the game state so that the whole scene is
// built, runs a frame's scene work, and writes the map's state back. Input: u8 data version, u8 flags
// (bit 0: outdoor, bit 1: dark), u8 stored x, y, width, height, then six chunks of u16 length + bytes: records R..R+4
// and the saved state. The type and monster positions follow the sample world's lists, whose maps seed
// the corpus.
#include "common/Outcome.h"
#include "core/SGameCore.h"
#include "foundation/SDatabase.h"
#include "foundation/SStream.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "os/headless/MemoryFiles.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SMapObjectType.h"
#include "world/SWorldModule.h"

#include <string>
#include <vector>

namespace {

struct Fixed {
  Fixed() {
    core.random = new SRandom;
    core.random->Seed(&core, 1);
    state.Attach(&core);
    // The classes of the sample world's "C" list, in its order (0: a name no type has).
    static const u8 kClasses[] = {3, 1, 1, 1, 5, 11, 39, 14, 16, 33, 0, 20, 26, 25, 3, 5, 19, 2, 18, 17, 5};
    for (u8 c : kClasses) {
      SMapObjectType* t = c ? SMapObjectType::Create(&core.world.mapObjectTypes, c) : nullptr;
      if (t) {
        names.push_back("base_t" + std::to_string(typeItems.size()));
        t->name.Set(names.back().c_str());
        for (u16 image = 1; image <= 3; ++image) {
          t->imageNames.Add(const_cast<char*>("img"));
          t->imageIndices.Add(image);
        }
        t->frameCountA = 2;
        t->animated = c == 3;
        core.world.mapObjectTypes.AddType(t);
      }
      typeItems.push_back(t);
    }
    static const u8 kKinds[] = {2, 3, 1, 4};
    for (u8 kind : kKinds) {
      SMonster* m = new SMonster;
      names.push_back("base_m" + std::to_string(monsterItems.size()));
      m->name.Set(names.back().c_str());
      m->maxHp = u16(kind == 4 ? 0 : 10 * kind);  // a template without hit points is faced too
      m->kind = kind;
      m->label = kind == 4 ? "A merchant whose name is far too long for the label panel of the game view" : "Rat";
      core.world.monsters.monsters.Add(m);
      monsterItems.push_back(m);
    }
  }
  SGameCore core;
  SStateGame state;
  std::vector<std::string> names;
  std::vector<void*> typeItems{nullptr}, monsterItems{nullptr};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  static Fixed fixed;
  static Os::MemoryFileSystem files;
  if (size < 6) return 0;
  FuzzOutcome outcome;
  const u8 version = data[0];
  const u8 flags = data[1];
  std::vector<std::vector<u8>> chunks;
  size_t at = 6;
  for (u32 i = 0; i < 6; ++i) {
    u32 n = 0;
    if (at + 2 <= size) {
      n = u32(data[at] | data[at + 1] << 8);
      at += 2;
    }
    if (n > size - at) n = u32(size - at);
    chunks.emplace_back(data + at, data + at + n);
    at += n;
  }

  Os::InstallFiles(&files);
  SFileStore store("/fuzz/");
  SDatabaseWriter writer(&store);
  writer.InitSavedGameHeader("fuzzmap");
  for (u32 i = 0; i < 5; ++i)
    if (!chunks[i].empty()) writer.AddRecord(u16(10 + i), chunks[i].data(), u32(chunks[i].size()));
  writer.Write("fuzzmap");
  {
    SDatabase db(&store);
    if (db.Open("fuzzmap", kSavedGameCode)) {
      SStateGame& state = fixed.state;
      fixed.core.random->Seed(&fixed.core, 1);  // each input draws the same numbers, alone or after others
      SMapWindow& window = state.window;
      SWorldEnv env;
      env.tables = &fixed.core.world.tables;
      env.game = &window;
      SWorldModule module;
      module.SetEnv(&env);
      module.typeList.items = fixed.typeItems.data();
      module.typeList.count = u16(fixed.typeItems.size() - 1);
      module.monsterList.items = fixed.monsterItems.data();
      module.monsterList.count = u16(fixed.monsterItems.size() - 1);
      for (SMonster* m : fixed.core.world.monsters.monsters) window.InternMonster(m);

      SMapArea* area = new SMapArea;
      area->module = &module;
      area->recordId = 10;
      area->flags = (flags & 1) ? SMapArea::kOutdoor : 0;
      if (flags & 2) area->flags |= 256;  // a dark map
      area->width = area->height = area->IsOutdoor() ? 21 : 35;
      area->storedX = data[2];
      area->storedY = data[3];
      area->storedWidth = data[4];
      area->storedHeight = data[5];
      area->visibility = u8(data[2] * 7);
      area->AllocateAutomap();
      module.maps.Add(area);
      module.SetCurrentMap(area);
      fixed.core.SetCurrentWorld(&module);
      if (area->LoadContent(db, version)) {
        window.minutes = 100;
        window.playerX = data[2] % 35;
        window.playerY = data[3] % 35;
        state.facing = (data[4] % 4) * 90;
        state.EnterMap();
        // A frame's scene work near the player.
        state.CollectVisibleCells(true, true);
        state.CollectObjects();
        state.AnimateTextures();
        state.BuildMonsterSprites();
        state.AnimateMonsterSprites(true, true);
        state.MarkAutomapSeen();
        state.UpdateFacedLabel();
        SStream saved(120);
        saved.OpenForRead(chunks[5].data(), u32(chunks[5].size()));
        area->ReadSavedState(saved, 120);
        for (SMapMonster* m : area->monsters) {
          area->AddMonsterEffect(m->id, 30, 2, SMapArea::kPoison, 0, nullptr);
          area->TickMonsterEffects(m->id, 1);
        }
        SStream out(120);
        if (out.OpenForWriteOwned()) area->WriteSavedState(out, 120);  // the buffer the game writes a record in
        outcome.Add(out.Data(), out.BytesUsed());
        // Entering again rebuilds every cell from the state read.
        window.minutes = 100 + 20000;
        state.EnterMap();
        if (state.scene.IsAllocated()) {
          const SSceneTables& scene = state.scene;
          outcome.Add(scene.cells, sizeof(u16) * SSceneTables::kCells * RenderWords::kCellWords);
          outcome.Add(scene.words, sizeof(u16) * SSceneTables::kWordRecords * RenderWords::kObjectWords);
        }
      }
      // Nothing of this input outlives it.
      window.Enter(nullptr);
      fixed.core.SetCurrentWorld(nullptr);
      module.typeList.items = nullptr;
      module.monsterList.items = nullptr;
      module.maps.DeleteAll();
    }
  }
  Os::InstallFiles(nullptr);
  return 0;
}
