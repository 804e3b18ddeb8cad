// A world of nine joined outdoor tiles (columns and rows 1 to 3, 21 x 21 cells of grass each), written
// with the world builder's writer into a temporary folder and opened into a game core with the game
// state attached, so that the centre tile fills the whole window. Each tile marks itself with a wall at
// its own cell (column, row); the centre tile holds two rats in one cell, a bag and a strip of water.
#pragma once
#include "ImageEncode.h"
#include "WorldMaps.h"
#include "WorldWriter.h"
#include "core/SGameCore.h"
#include "game/SStateGame.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

class JoinedWorld {
 public:
  // Positions in the "C" list of map-object types and the "E" list of monster templates.
  enum : u16 { kGrass = 1, kWater, kWall, kTree, kShore };
  enum : u16 { kRat = 1, kMerchant };
  static constexpr u32 kVersion = 114;

  JoinedWorld() {
    static std::atomic<int> serial{0};
    dir = std::filesystem::temp_directory_path() /
          ("duskmire-joined-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(dir);
    files.SetFolder(dir.string() + "/");
    core.world.SetFileStore(&files);
    core.random = new SRandom;
    core.random->Seed(&core, 3);
    state.Attach(&core);
    Write();
    opened = core.world.modules.OpenArchive("DuskmireBase") == SArchiveResult::kOpened;
    module = core.world.modules.current;
    if (module) core.SetCurrentWorld(module);
  }
  ~JoinedWorld() {
    core.UnloadWorld();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  SMapArea* Tile(u32 column, u32 row) const { return module ? module->FindMapByGrid(column, row) : nullptr; }
  SMapObjectType* Type(u16 position) const {
    return module ? static_cast<SMapObjectType*>(module->MapObjectTypeAt(position)) : nullptr;
  }
  // Enters a tile with the player on a window cell.
  bool Enter(u32 column, u32 row, i32 x, i32 y) {
    SMapArea* map = Tile(column, row);
    if (!map) return false;
    module->SetCurrentMap(map);
    state.window.playerX = x;
    state.window.playerY = y;
    return state.EnterMap();
  }

  std::filesystem::path dir;
  SFileStore files;
  SGameCore core;
  SStateGame state;
  SWorldModule* module = nullptr;
  bool opened = false;

 private:
  void Write() {
    using worldbuild::CellDef;
    worldbuild::WorldArchiveSpec spec;
    spec.name = "base";
    spec.version = u8(kVersion);
    spec.mapPrefix = "base_out";
    spec.tileColumns = 4;
    spec.tileRows = 4;
    spec.mapPicture = imageenc::Encode(imageenc::Picture(84, 84, 0x1234), 0);
    spec.typeList = {"base_grass", "base_water", "base_wall", "base_tree", "base_shore"};
    spec.monsterList = {"base_rat", "base_merchant"};

    SMapObjectTypeTable types;
    const struct {
      const char* name;
      u32 classNumber;
    } kTypes[] = {{"base_grass", 1}, {"base_water", 3}, {"base_wall", 5}, {"base_tree", 26}, {"base_shore", 2}};
    for (const auto& t : kTypes) {
      SMapObjectType* type = SMapObjectType::Create(&types, t.classNumber);
      type->name.Set(t.name);
      types.AddType(type);
    }
    spec.blocks[kBlockMapObjectTypes] = {worldbuild::TypeBlockRecord(types, kVersion)};

    SMonsterTable templates;
    for (auto [name, kind] : {std::pair{"base_rat", 2}, std::pair{"base_merchant", 4}}) {
      auto* m = new SMonster;
      m->name.Set(name);
      m->maxHp = 10;
      m->kind = u8(kind);
      m->flags = 4;
      templates.monsters.InsertByNameHash(m);
    }
    auto record = [](auto fn) {
      worldbuild::Bytes out;
      worldbuild::StreamRecord(out, kVersion, fn, 1u << 20);
      return out;
    };
    spec.blocks[kBlockMonsters] = {record([&](SStream& s) { templates.SerializeBaseTypes(s, kVersion); }),
                                   record([&](SStream& s) { templates.SerializeMonsters(s, kVersion); })};

    for (u32 row = 1; row <= 3; ++row)
      for (u32 column = 1; column <= 3; ++column) {
        worldbuild::MapDef d;
        char name[16];
        std::snprintf(name, sizeof name, "base_out%02u%02u", column, row);
        d.title = name;
        d.name = name;
        d.flags = SMapArea::kOutdoor;
        d.storedWidth = d.storedHeight = 21;
        d.texturePosition = kGrass;
        std::vector<CellDef> cells(21 * 21);
        for (CellDef& c : cells) c.base1 = kGrass;
        cells[row * 21 + column].centre = kWall;
        std::vector<worldbuild::MonsterDef> monsters;
        std::vector<SItemContainer*> bags;
        if (column == 2 && row == 2) {
          // Two rats share the tile's cell (10, 4); a bag lies on (12, 12); water on rows 15..17.
          monsters = {{kRat, 1, 2, 0, 10, 4}, {kRat, 2, 2, 0, 10, 4}};
          auto* bag = new SItemContainer;
          bag->id = 1;
          bag->cellX = bag->cellY = 12;
          bags.push_back(bag);
          for (u32 y = 15; y <= 17; ++y)
            for (u32 x = 2; x <= 8; ++x) {
              cells[y * 21 + x].base1 = kWater;
              cells[y * 21 + x].base1Second = kShore;
            }
          // One cell of water at (15, 5): narrow enough to cross.
          cells[5 * 21 + 15].base1 = kWater;
        }
        std::vector<u16> offsets;
        d.content[0] = worldbuild::CellRecord(cells, kVersion, &offsets);
        d.content[1] = worldbuild::OffsetRecord(offsets);
        d.content[2] = worldbuild::MonsterRecord(monsters, 3, kVersion);
        d.content[4] = worldbuild::ContainerRecord(bags, 2, kVersion);
        for (SItemContainer* b : bags) delete b;
        spec.maps.push_back(d);
      }
    worldbuild::Archive archive;
    archive.name = "DuskmireBase";
    std::string error;
    EXPECT_TRUE(worldbuild::WriteWorldArchive(archive, spec, nullptr, error)) << error;
    EXPECT_TRUE(worldbuild::WriteArchive(archive, dir / "DuskmireBase.pdb", error)) << error;
  }
};
