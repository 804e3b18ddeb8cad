// A headless window system and screen for the display layer's tests, installed for one test.
#pragma once
#include "os/Gdi.h"
#include "os/WindowManager.h"
#include "platform/video/VideoDetect.h"

#include <memory>
#include <string>
#include <vector>

struct ScreenRig {
  ScreenRig(int w = 240, int h = 320, int depth = 16)
      : windows(std::make_unique<Os::WindowManager>(w, h)), gdi(std::make_unique<Os::PanelGdi>(w, h, depth)) {
    Os::InstallWindows(windows.get());
    Os::InstallGraphics(gdi.get());
    Hal::VideoDetect::ResetInstance();
  }
  ~ScreenRig() {
    for (Os::WindowId w : created) windows->DestroyWindow(w);
    Hal::VideoDetect::ResetInstance();
    Os::InstallGraphics(nullptr);
    Os::InstallWindows(nullptr);
  }
  static Os::LResult Proc(Os::WindowId w, u32 m, Os::WParam wp, Os::LParam lp) {
    log().push_back(m);
    return Os::Windows().DefWindowProc(w, m, wp, lp);
  }
  static std::vector<u32>& log() {
    static std::vector<u32> messages;
    return messages;
  }
  Os::WindowId NewWindow() {
    windows->RegisterClass("rig", Proc);
    const Os::WindowId w =
        windows->CreateWindow("rig", "rig", 0, 0, windows->ScreenWidth(), windows->ScreenHeight(), 0);
    created.push_back(w);
    return w;
  }
  std::unique_ptr<Os::WindowManager> windows;
  std::unique_ptr<Os::PanelGdi> gdi;
  std::vector<Os::WindowId> created;
};
