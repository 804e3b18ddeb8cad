// A game core for the controls and the message box: a screen in memory of the display mode's size, a
// virtual clock, and from the built sample world the layouts, the 3D view rectangle, the fonts and the
// picture slots, as start-up leaves them. A sound record stands in for each click sound and notes every
// play, so that a test reads which clicks were heard.
#pragma once
#include "core/CoreRig.h"
#include "graphics/SFont.h"
#include "os/headless/VirtualClock.h"
#include "platform/hal/Game.h"
#include "platform/sound/SSoundManager.h"
#include "support/Png.h"
#include "world/SSoundTable.h"

#include <string>

// A click sound that writes "click N" into the log each time it is played (at any volume step).
class LoggedSound : public SResource {
 public:
  LoggedSound(EventLog* l, std::string n) : log(l), name(std::move(n)) {}
  void LoadVolumeSlot(i32 level) override { log->Add(name + " at " + std::to_string(level)); }
  EventLog* log;
  std::string name;
};

// Time in the controls passes only when they wait or a test advances it.
struct VirtualTime {
  VirtualTime() {
    Os::InstallClock(&clock);
    Hal::ResetTimer();
  }
  ~VirtualTime() {
    Os::InstallClock(nullptr);
    Hal::ResetTimer();
  }
  Os::VirtualClock clock;
};

struct UiRig : VirtualTime, CoreRig {
  UiRig(i32 mode, u16 width, u16 height) : CoreRig(mode, width, height) {
    ready = LoadSampleLayouts();
    core.display->SetGameCore(&core);
    core.display->SetViewRect();
    core.font = new SFont;
    ready = ready && core.font->Create(&core, core.display, &core.data);
    filled = core.LoadPictures();
  }
  // Swaps the click sounds for logged ones and gives the core a sound manager without a speaker.
  void LogClicks(EventLog* log) {
    for (u32 i = 0; i < 2; ++i) {
      delete core.clickSounds[i];
      core.clickSounds[i] = new LoggedSound(log, "click " + std::to_string(i + 1));
    }
    if (!core.soundManager) core.soundManager = new SSoundManager;
  }
  // The screen as a picture behind dialogs: the background picture tiled.
  void FillBackground() {
    if (const SImage* b = core.Picture(0))
      core.display->TileImage(0, 0, core.display->Width(), core.display->Height(), b);
  }
  std::string Golden(const std::string& name) {
    return testpng::CompareGolden(name, pixels.data(), core.display->Width(), core.display->Height(),
                                  core.display->Width());
  }

  bool ready = false;
  u32 filled = 0;
};

// A picture slot entry over an encoded picture, owned by whoever holds the slot (the core deletes its own).
SImageEntry* MakePictureEntry(const std::vector<u8>& record);
