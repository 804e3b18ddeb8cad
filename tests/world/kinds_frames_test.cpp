// Frames of doors and switches in their states: the kinds build their render records, the renderer draws
// them in a small corridor, and each frame is compared with a stored picture.
#include "kinds_fake.h"
#include "renderer/Scene.h"
#include "support/Png.h"
#include "world/kinds/SMapObjectDoor.h"
#include "world/kinds/SMapObjectSwitch.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const std::vector<std::string> kCorridor = {"#######", "#.....#", "#.....#", "#.....#", "#.....#", "#######"};

struct FrameFixture : KindFixture {
  std::unique_ptr<scene::Scene> view;

  explicit FrameFixture(double camY = 4.5) {
    scene::Options o;
    o.rows = kCorridor;
    o.camX = 3.5;
    o.camY = camY;
    o.sky = false;
    view = std::make_unique<scene::Scene>(o);
    for (u16 id = 1; id < scene::kImageCount; ++id)
      if (const SImage* image = view->view.images[id]) game.imageSizes[id] = {image->width, image->height};
  }
  SMapObjectType* Typed(const char* name, u32 classNumber, std::vector<u16> images) {
    SMapObjectType* t = Make(name, classNumber);
    for (u16 id : images) {
      t->imageNames.Add(const_cast<char*>("img"));
      t->imageIndices.Add(id);
    }
    return t;
  }
  std::string Check(const char* name) {
    SRenderer renderer;
    view->Render(renderer);
    const std::vector<u16> frame = view->Viewport();
    return testpng::CompareGolden(name, frame.data(), view->options.viewWidth, view->options.viewHeight,
                                  view->options.viewWidth);
  }
};

TEST(KindsFrames, DoorClosedAndOpen) {
  struct Step {
    const char* golden;
    u32 ticks;  // animation ticks after using the closed door
  };
  const Step steps[] = {{"kinds_door_closed", 0}, {"kinds_door_open", 30}};
  for (const Step& step : steps) {
    FrameFixture f;
    // The door type gives the backdrop (image 0) and a sign over it (image 1); the type of the cell's
    // second layer gives the leaf, which an open door leaves out.
    auto* door = static_cast<SMapObjectDoor*>(f.Typed("door", 20, {scene::kArch, scene::kShield, scene::kDoor}));
    door->decalX = 20;
    door->decalY = 40;
    f.game.handles[2] = scene::kHandle;
    SMapObjectType* frame = f.Typed("leaf", 21, {scene::kDoor});
    SMapCell cell;
    cell.centreType = door;
    cell.styleType = frame;
    cell.cellFlags = 2 << 2;  // free to open, facing north-south
    SMapObjectInst inst;
    inst.state = 1 | SMapObjectDoor::kClosed;
    u16 record[MapRecord::kObjectWords] = {};
    u16 light = 256;
    door->BuildCell(&inst, &cell, record, light);
    if (step.ticks) {
      bool changed = false;
      door->OnEvent(MapEvent::kUse, nullptr, &inst, &cell, 3, 2, changed);
      for (u32 i = 0; i < step.ticks; ++i) door->AnimateTick(&inst, 3, 2, &cell, record, light);
    }
    f.view->SetCell(3, 2, 1, f.view->AddObject(std::vector<u16>(record, record + MapRecord::kObjectWords)));
    EXPECT_EQ(f.Check(step.golden), "") << step.golden;
  }
}

TEST(KindsFrames, LeverOffAndOn) {
  for (bool on : {false, true}) {
    FrameFixture f(2.5);
    SMapObjectType* lever = f.Typed("lever", 16, {scene::kShield, scene::kBanner, scene::kShield, scene::kBanner});
    lever->decalX = 10;
    lever->placement[3] = 12;
    SMapObjectInst inst;
    lever->InitInstance(&inst);
    if (on) {
      bool changed = false;
      lever->OnEvent(MapEvent::kUse, nullptr, &inst, nullptr, 3, 0, changed);
    }
    // The lever hangs on the north wall, seen from the open cell in front of it (its side 2 there).
    SMapCell wall;
    wall.sideType[2] = lever;
    u16 face[MapRecord::kFaceWords] = {};
    u16 light = 256;
    lever->BuildSide(&inst, &wall, 2, face, light);
    // Side 2 of the wall cell faces south: it is the north wall (s' = 0) of the cell below.
    f.view->SetCell(3, 1, 2, f.view->AddWallFace(std::vector<u16>(face, face + MapRecord::kFaceWords)));
    EXPECT_EQ(f.Check(on ? "kinds_lever_on" : "kinds_lever_off"), "");
  }
}

}  // namespace
