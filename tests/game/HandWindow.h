// A game core and game state whose window is filled by hand: one stand-alone area of 35 x 35 cells in
// every slot (or, after Joined, an outdoor tile in the centre with a second area around it), types made
// by class number with image ids set directly, objects placed by hand. For the rules of the window and
// the scene without any archive.
#pragma once
#include "core/SGameCore.h"
#include "game/SStateGame.h"

#include <string>
#include <vector>

struct HandWindow {
  HandWindow() {
    core.random = new SRandom;
    core.random->Seed(&core, 5);
    state.Attach(&core);
    module = core.AddWorldModule();
    core.SetCurrentWorld(module);
    area = NewArea("base_hand", 0);
    module->SetCurrentMap(area);
    for (SMapWindow::SSlot& slot : state.window.slots) slot = SMapWindow::SSlot{area, 0, 0, 0, 0, 35, 35, 0, 0};
    state.window.playerX = state.window.playerY = 17;
  }
  ~HandWindow() { module->maps.DeleteAll(); }

  SMapArea* NewArea(const char* name, u16 flags) {
    auto* a = new SMapArea;
    a->module = module;
    a->name.SetOwns();
    a->name.Set(name);
    a->flags = flags;
    a->width = a->height = (flags & SMapArea::kOutdoor) ? 21 : 35;
    a->AllocateAutomap();
    module->maps.Add(a);
    return a;
  }
  // The window joined: the area becomes the centre tile and a second outdoor area lies all around it.
  SMapArea* Joined() {
    area->flags |= SMapArea::kOutdoor;
    area->width = area->height = 21;
    area->AllocateAutomap();
    SMapArea* other = NewArea("base_around", SMapArea::kOutdoor);
    for (u32 i = 0; i < 9; ++i) {
      const i32* p = SMapWindow::kPlacement[i];
      state.window.slots[i] = SMapWindow::SSlot{i == 4 ? area : other, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]};
    }
    return other;
  }
  SMapArea* SecondArea() { return Joined(); }

  SMapCell& Cell(i32 x, i32 y) { return *state.window.Cell(x, y); }
  SMapCellFaces& Faces(i32 x, i32 y) { return *state.window.Faces(x, y); }
  // A type of the class, its images the ids given.
  SMapObjectType* Make(u32 classNumber, const char* name, std::vector<u16> images = {}) {
    SMapObjectType* t = SMapObjectType::Create(&core.world.mapObjectTypes, classNumber);
    names.push_back(std::string("base_") + name);
    t->name.Set(names.back().c_str());
    for (u16 id : images) {
      t->imageNames.Add(const_cast<char*>("img"));
      t->imageIndices.Add(id);
    }
    core.world.mapObjectTypes.AddType(t);
    return t;
  }
  SMapObjectInst* AddObject(u8 id, u8 x, u8 y, u8 stateBits = 1) {
    auto* o = new SMapObjectInst;
    o->id = id;
    o->cellX = x;
    o->cellY = y;
    o->state = stateBits;
    area->objects.Add(o);
    return o;
  }

  SGameCore core;
  SStateGame state;
  SWorldModule* module = nullptr;
  SMapArea* area = nullptr;
  std::vector<std::string> names;
};
