// A game core without its start-up: a screen in memory, and on request the layout record of the built
// sample world for the display mode. Small states, dialogs and controls write what happens to them into
// one log, so that a test reads the order of events as text.
#pragma once
#include "core/SGameCore.h"
#include "core/ui/SState.h"
#include "graphics/SDisplay.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

struct EventLog {
  std::string text;
  void Add(const std::string& what) { text += (text.empty() ? "" : "; ") + what; }
  std::string Take() { return std::exchange(text, std::string()); }
};

struct CoreRig {
  explicit CoreRig(i32 mode = 7, u16 width = 240, u16 height = 320) : pixels(size_t(width) * height, 0) {
    core.SetDisplayMode(u32(mode));
    core.display = new SDisplay;
    core.display->UseMemory(pixels.data(), width, height);
  }
  // The layout record the game reads for the display mode, from the built sample world.
  bool LoadSampleLayouts() {
    core.fileStore.SetFolder(DUSKMIRE_DATA_DIR);
    if (!core.data.IsOpen() && !core.data.Open("DuskmireData")) return false;
    auto record = core.data.ReadRecord(u16(SLayoutTable::RecordForMode(core.displayMode)));
    return record && core.layouts.Load(record->data, record->size);
  }
  u16 Pixel(i32 x, i32 y) const { return pixels[size_t(y) * core.display->Width() + size_t(x)]; }

  std::vector<u16> pixels;  // outlives the display, which the core deletes
  SGameCore core;
};

class LogCtrl : public SCtrl {
 public:
  LogCtrl(std::string n, EventLog* l, u32 result = 0, u8 mask = kInputKeys | kInputPen | kInputTick)
      : name(std::move(n)), log(l), code(result) {
    inputMask = mask;
  }
  u32 OnKey(u32) override { return Note("key"); }
  u32 OnPen(i32, i32, u32, u32) override { return Note("pen"); }
  u32 OnTick(u32) override { return Note("tick"); }
  void Paint() override { log->Add(name + " paint"); }
  bool PaintsWhole() const override { return whole; }

  std::string name;
  EventLog* log;
  u32 code;
  bool whole = true;  // false: leaves what lies beneath showing, which its dialog then repaints with it

 private:
  u32 Note(const char* what) {
    log->Add(name + " " + what);
    return code;
  }
};

class LogDialog : public SDialog {
 public:
  LogDialog(std::string n, EventLog* l) : name(std::move(n)), log(l) {}
  u32 OnCommand(u16 code) override {
    log->Add(name + " command " + std::to_string(code));
    return result;
  }
  void Paint() override {
    ++paints;
    SDialog::Paint();
  }

  std::string name;
  EventLog* log;
  u32 result = 0;
  int paints = 0;
};

// A state whose input handlers answer a set next-state code without the dialog routing.
class LogState : public SState {
 public:
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override {
    log->Add(name + " enter " + std::to_string(w0) + " " + std::to_string(w1) + " " + std::to_string(w2) + " " +
             std::to_string(w3));
    SState::Enter(w0, w1, w2, w3);
  }
  void Leave(u32 code) override {
    log->Add(name + " leave " + std::to_string(code));
    SState::Leave(code);
  }
  void Resume() override {
    log->Add(name + " resume");
    SState::Resume();
  }
  void Paint() override { log->Add(name + " paint"); }
  u32 OnKey(u32) override { return Note("key"); }
  u32 OnPen(i32, i32, u32, u32) override { return Note("pen"); }
  u32 OnTick(u32, SDisplay*) override { return Note("tick"); }

  std::string name;
  EventLog* log = nullptr;
  u32 next = 0;  // what the input handlers return

 private:
  u32 Note(const char* what) {
    log->Add(name + " " + what);
    return next;
  }
};
