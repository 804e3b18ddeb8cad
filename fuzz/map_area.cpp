// Loads arbitrary bytes as the records of one map (cells, outdoor cell offsets, monsters, objects,
// containers) and a saved state of it, enters the map through the game's window, and writes its state
// back. Input: u8 data version, u8 flags (bit 0: outdoor), u8 stored x, y, width, height, then six
// chunks of u16 length + bytes: records R..R+4 and the saved state.
#include "foundation/SDatabase.h"
#include "foundation/SStream.h"
#include "game/SMapWindow.h"
#include "game/SMonster.h"
#include "os/headless/MemoryFiles.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SMapObjectType.h"
#include "world/SWorldModule.h"

#include <vector>

namespace {

struct Fixed {
  Fixed() {
    static const u8 kClasses[] = {1, 3, 5, 7, 11, 14, 20, 25, 26, 39, 41};
    for (u8 c : kClasses) {
      SMapObjectType* t = SMapObjectType::Create(&types, c);
      names.push_back("base_t" + std::to_string(c));
      t->name.Set(names.back().c_str());
      types.AddType(t);
      typeItems.push_back(t);
    }
    for (u32 i = 0; i < 3; ++i) {
      SMonster* m = new SMonster;
      m->maxHp = u16(10 + 20 * i);
      m->kind = u8(i == 2 ? 4 : 1);
      monsters.monsters.Add(m);
      monsterItems.push_back(m);
    }
  }
  SMapObjectTypeTable types;
  SMonsterTable monsters;
  std::vector<std::string> names;
  std::vector<void*> typeItems{nullptr}, monsterItems{nullptr};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  static Fixed fixed;
  static Os::MemoryFileSystem files;
  if (size < 6) return 0;
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
      SWorldTables tables;
      SItemTable items;
      tables[kBlockItems] = &items;
      SMapWindow window;
      window.monsterTable = &fixed.monsters;
      window.savedItemNames.table = &items;
      SWorldEnv env;
      env.tables = &tables;
      env.game = &window;
      SWorldModule module;
      module.SetEnv(&env);
      module.typeList.items = fixed.typeItems.data();
      module.typeList.count = u16(fixed.typeItems.size() - 1);
      module.monsterList.items = fixed.monsterItems.data();
      module.monsterList.count = u16(fixed.monsterItems.size() - 1);
      for (SMonster* m : fixed.monsters.monsters) window.InternMonster(m);

      SMapArea* area = new SMapArea;
      area->module = &module;
      area->recordId = 10;
      area->flags = (flags & 1) ? SMapArea::kOutdoor : 0;
      area->width = area->height = area->IsOutdoor() ? 21 : 35;
      area->storedX = data[2];
      area->storedY = data[3];
      area->storedWidth = data[4];
      area->storedHeight = data[5];
      area->AllocateAutomap();
      module.maps.Add(area);
      if (area->LoadContent(db, version)) {
        window.minutes = 100;
        window.Enter(area);
        SStream state(120);
        state.OpenForRead(chunks[5].data(), u32(chunks[5].size()));
        area->ReadSavedState(state, 120);
        for (SMapMonster* m : area->monsters) {
          area->AddMonsterEffect(m->id, 30, 2, SMapArea::kPoison, 0, nullptr);
          area->TickMonsterEffects(m->id, 1);
        }
        SStream out(120);
        if (out.OpenForWriteOwned(1u << 20)) area->WriteSavedState(out, 120);
        window.minutes = 100 + 20000;
        window.Enter(area);
      }
      module.typeList.items = nullptr;
      module.monsterList.items = nullptr;
      module.maps.DeleteAll();
    }
  }
  Os::InstallFiles(nullptr);
  return 0;
}
